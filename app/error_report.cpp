#include "error_report.h"

#include "editor_events.h"
#include "editor_state.h"
#include "modal_calls.h"
#include "window_title.h"

namespace {

constexpr char kOutsideChangeQuestion[] =
    "The file was changed by another program since it was loaded.\nOverwrite "
    "it with this change?";

// Windows' own boxes have no reload button: there No leaves the file alone.
#ifdef _WIN32
constexpr UINT kOutsideChangeButtons = MB_YESNO;
#else
constexpr UINT kOutsideChangeButtons = MB_YESNOCANCEL | MB_OVERWRITERELOAD;
#endif

}  // namespace

void ShowErrorMessage(const char* text) {
  if (g_editorEvents.errorShown) g_editorEvents.errorShown(text);
  g_messageBox(g_editor.dialog, text, kProgramTitle, MB_ICONERROR | MB_OK);
}

void ReportLoadStatus(LoadStatus status) {
  switch (status) {
    case LoadStatus::Loaded:
    case LoadStatus::NoPath:
      return;
    case LoadStatus::CannotOpen:
    case LoadStatus::CannotWrite:
    case LoadStatus::Locked:
    case LoadStatus::NotRegularFile:  // as on Windows, which opens no directory as
                                      // a file
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
    case SaveStatus::NotRegularFile:
    case SaveStatus::Locked:
    case SaveStatus::ChangedOutside:  // only after a refused overwrite, which
                                      // cannot happen
      ShowErrorMessage("File Handle Error");
      return;
    case SaveStatus::WriteFailed:
      ShowErrorMessage("Write Error");
      return;
  }
}

OutsideChangeAnswer AskAboutOutsideChange() {
  int answer = g_messageBox(g_editor.dialog, kOutsideChangeQuestion, kProgramTitle,
                            MB_ICONWARNING | kOutsideChangeButtons);
  if (answer == IDYES) return OutsideChangeAnswer::Overwrite;
  bool offersReload = (kOutsideChangeButtons & MB_TYPEMASK) == MB_YESNOCANCEL;
  if (answer == IDNO && offersReload) return OutsideChangeAnswer::Reload;
  return OutsideChangeAnswer::Cancel;
}
