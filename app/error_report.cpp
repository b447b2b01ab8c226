#include "error_report.h"

#include <cstring>
#include <string>

#include "editor_events.h"
#include "editor_state.h"
#include "failure_reason.h"
#include "modal_calls.h"
#include "path_text.h"
#include "window_title.h"

namespace {

constexpr char kOutsideChangeQuestion[] =
    "The file was changed by another program since it was loaded.\nOverwrite "
    "it with this change?";

// Windows' own boxes have no reload button: there No leaves the file alone.
#ifdef _WIN32
constexpr UINT kOutsideChangeButtons = MB_YESNO;
#else
constexpr UINT kOutsideChangeButtons = MB_YESNOCANCEL | kOverwriteReloadButtons;
#endif

// The texts of the boxes; null where nothing is reported.
const char* LoadStatusMessage(LoadStatus status) {
  switch (status) {
    case LoadStatus::Loaded:
    case LoadStatus::NoPath: return nullptr;
    case LoadStatus::CannotOpen:
    case LoadStatus::CannotWrite:
    case LoadStatus::Locked:
    case LoadStatus::NotRegularFile:  // as on Windows, which opens no directory as
                                      // a file
      return "File Handle Error";
    case LoadStatus::WrongSize:
    case LoadStatus::OutOfMemory:
    case LoadStatus::ReadFailed: return "Error";
  }
  return "Error";
}

const char* SaveStatusMessage(SaveStatus status) {
  switch (status) {
    case SaveStatus::Saved:
    case SaveStatus::NoDocument: return nullptr;
    case SaveStatus::CannotOpen:
    case SaveStatus::NotRegularFile:
    case SaveStatus::Locked:
    case SaveStatus::ChangedOutside:  // only after a refused overwrite, which
                                      // cannot happen
      return "File Handle Error";
    case SaveStatus::WriteFailed: return "Write Error";
  }
  return "Write Error";
}

// "name: reason", the name as the caption shows it, in the window layer's text.
std::string Details(const char* path, const std::string& reason) {
  std::string shown = WindowTextFromPath(path);
  std::string name(shown.size() + 1, '\0');
  FileNameFromPath(shown.c_str(), &name[0]);
  name.resize(std::strlen(name.c_str()));
  return name + ": " + WindowTextFromPath(reason.c_str());
}

}  // namespace

void ShowErrorMessage(const char* text, const char* details) {
  if (g_editorEvents.errorShown) g_editorEvents.errorShown(text, details);
  g_errorBox(g_editor.dialog, text, kProgramTitle, MB_ICONERROR | MB_OK, details);
}

void ReportLoadResult(const LoadResult& result, const char* path) {
  const char* text = LoadStatusMessage(result.status);
  if (text) ShowErrorMessage(text, Details(path, LoadFailureReason(result)).c_str());
}

void ReportSaveResult(const SaveResult& result, const char* path) {
  const char* text = SaveStatusMessage(result.status);
  if (text) ShowErrorMessage(text, Details(path, SaveFailureReason(result)).c_str());
}

OutsideChangeAnswer AskAboutOutsideChange() {
  int answer = g_messageBox(g_editor.dialog, kOutsideChangeQuestion, kProgramTitle,
                            MB_ICONWARNING | kOutsideChangeButtons);
  if (answer == IDYES) return OutsideChangeAnswer::Overwrite;
  bool offersReload = (kOutsideChangeButtons & MB_TYPEMASK) == MB_YESNOCANCEL;
  if (answer == IDNO && offersReload) return OutsideChangeAnswer::Reload;
  return OutsideChangeAnswer::Cancel;
}
