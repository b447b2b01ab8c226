// The Qt program's start and run: the editor dialog, inside the window with the
// workspace, on the file named by argv[1].
#pragma once

class QApplication;
class QTranslator;
class QtDialog;

// Starts the editor as the program does; the Qt behaviour suite starts it the same
// way. Keeps the module handle, puts argv[1] into the document's path buffer when
// given and when it fits (empty otherwise), builds the window with the workspace
// (which then listens to the editor's events), makes the dialog inside it, which
// loads the file, and shows the window. Returns the dialog, or null when it cannot
// be made. The QApplication must exist.
QtDialog* StartQtEditor(int argc, char** argv);

// Deletes the window started last and the dialog in it, whatever state they are in.
void StopQtEditor();

// Starts as above and runs until the dialog ends; returns the dialog's result (0
// after a normal close).
int RunEditorProgram(int argc, char** argv);

// What the program sets up once QApplication exists: its name (under which the
// window's settings and recent files are kept) and Qt's own texts in the user's
// language through translator, which must live as long as the application.
void SetUpQtProgram(QApplication& application, QTranslator& translator);
