// The Qt program's start and run: the editor dialog on the file named by argv[1].
#pragma once

// The start-up before the dialog exists: keeps the module handle, has each dialog
// shown in the program's window with the workspace, and puts argv[1]
// into the document's path buffer when given and when it fits (empty otherwise).
// The program and the Qt behaviour suite both start the editor through it.
void PrepareQtEditorStart(int argc, char** argv);

// Starts as above and runs the editor dialog modally; returns the dialog's result
// (0 after a normal close). The QApplication must exist.
int RunEditorProgram(int argc, char** argv);
