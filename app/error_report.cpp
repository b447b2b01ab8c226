#include "error_report.h"

#include "editor_state.h"
#include "modal_calls.h"
#include "window_title.h"

void ShowErrorMessage(const char* text) {
  g_messageBox(g_editor.dialog, text, kProgramTitle, MB_ICONERROR | MB_OK);
}

void ReportLoadStatus(LoadStatus status) {
  switch (status) {
    case LoadStatus::Loaded:
    case LoadStatus::NoPath:
      return;
    case LoadStatus::CannotOpen:
    case LoadStatus::NotRegularFile:  // as on Windows, which opens no directory as a file
      ShowErrorMessage("File Handle Error");
      return;
    case LoadStatus::WrongSize:
    case LoadStatus::OutOfMemory:
    case LoadStatus::ReadFailed:
      ShowErrorMessage("Error");
      return;
  }
}

void ReportSaveStatus(SaveStatus status) {
  switch (status) {
    case SaveStatus::Saved:
    case SaveStatus::NoDocument:
      return;
    case SaveStatus::CannotOpen:
      ShowErrorMessage("File Handle Error");
      return;
    case SaveStatus::WriteFailed:
      ShowErrorMessage("Write Error");
      return;
  }
}
