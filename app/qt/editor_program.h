// The Qt program's start and run: the editor dialog on the file named by argv[1].
#pragma once

class QApplication;
class QTranslator;

// The start-up before the dialog exists: keeps the module handle, has each dialog
// shown in the program's window with the workspace, and puts argv[1]
// into the document's path buffer when given and when it fits (empty otherwise).
// The program and the Qt behaviour suite both start the editor through it.
void PrepareQtEditorStart(int argc, char** argv);

// Starts as above and runs the editor dialog modally; returns the dialog's result
// (0 after a normal close). The QApplication must exist.
int RunEditorProgram(int argc, char** argv);

// What the program sets up once QApplication exists: its name (under which the
// window's settings and recent files are kept) and Qt's own texts in the user's
// language through translator, which must live as long as the application.
void SetUpQtProgram(QApplication& application, QTranslator& translator);
