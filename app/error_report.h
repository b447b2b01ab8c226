// The editor's error boxes: a message box owned by the dialog, titled "QUORVEL",
// with the error icon and an OK button, and the question about a file another
// program changed. The front ends' own notes (a status line, a report in a
// dialog) are theirs.
#pragma once

#include "metrics_document.h"

// details (the file and the reason in words, for a failed load or write) go to the
// program around the dialog, which may show them with the box; the box's text
// stays as it is.
void ShowErrorMessage(const char* text, const char* details = "");

// A file that cannot be opened, or a path that names no regular file, reports
// "File Handle Error"; any other failed load "Error". A successful load and an empty path report
// nothing. The details are path's file name and the reason from what the load saw.
void ReportLoadResult(const LoadResult& result, const char* path);

// A file that cannot be opened for writing, is locked or is no longer a regular
// file reports "File Handle Error", a failed or short write "Write Error". A
// save without a document reports nothing: the change command simply has
// nothing to write then. The details are as for a load.
void ReportSaveResult(const SaveResult& result, const char* path);

// What the user wants done with a file that another program changed since it
// was loaded or written.
enum class OutsideChangeAnswer {
  Overwrite,  // write the change over it
  Reload,     // load the file as it is now (offered where the window layer can)
  Cancel,     // write nothing, keep the document
};

// Asks, in a warning box titled "QUORVEL": Yes/No on Windows, 上書き /
// 再読み込み / キャンセル elsewhere.
OutsideChangeAnswer AskAboutOutsideChange();
