// The Qt program's run: the editor dialog on the file named by argv[1].
#pragma once

// Runs the editor dialog modally, on argv[1] when given and when it fits the path
// buffer; returns the dialog's result (0 after a normal close). The QApplication
// must exist.
int RunEditorProgram(int argc, char** argv);
