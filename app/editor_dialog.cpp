#include "editor_dialog.h"

#include <cstring>
#include <ctime>

#include "editor_events.h"
#include "editor_state.h"
#include "error_report.h"
#include "modal_calls.h"
#include "path_text.h"
#include "resources/resource.h"
#include "value_fields.h"

namespace {

// Filter pairs of the file-open dialog; the array's own NUL ends the list.
constexpr char kOpenFilter[] = "Fntファイル(*.fnt)\0*.fnt\0すべてのファイル(*.*)\0*.*\0";
constexpr char kDefaultExtension[] = ".fnt";

constexpr int kCharacterFieldLimit = 1;  // one character: the next keystroke replaces it
constexpr int kNumberFieldLimit = 3;     // 0-255
// An edit position past any text: EM_SETSEL cuts it to the end of the text.
constexpr WPARAM kEndOfText = 0x7FFFFFFF;

// The change command's edit is made here, on a copy of the image, and becomes the
// document only once it is on disk.
uint8_t g_editedImage[kMetricsImageSize];
// The image the last change command started from, for the program around the dialog.
uint8_t g_imageBeforeChange[kMetricsImageSize];

// The selector's position, cut to a code. The high word, set when the number field
// holds no valid number in range, is dropped: the last valid position counts.
unsigned char SelectedCode() {
  LRESULT position = SendMessageA(g_editor.selector, UDM_GETPOS, 0, 0);
  return static_cast<unsigned char>(position & 0xFF);
}

// After every successful load: codes 0-255, code 0 selected and shown.
void RefreshAfterLoad() {
  SendMessageA(g_editor.selector, UDM_SETRANGE32, 0, kLastCode);
  // Writes "0" into the number field unless it shows 0 already; its change
  // notification selects code 0.
  SendMessageA(g_editor.selector, UDM_SETPOS, 0, MAKELPARAM(0, 0));
  ShowRecord(0);
}

// Loads the document's path; names the window after the file and shows it, or
// reports why it could not be loaded. The values shown before belong to the old
// file either way; after a failure the caption names no file, since none is open.
void LoadDocument() {
  const LoadResult loaded = LoadMetricsFile(g_document, g_document.path);
  ForgetShownValues();
  ClearHistory(g_history);
  if (loaded.status != LoadStatus::Loaded) {
    if (g_editorEvents.documentLoaded) g_editorEvents.documentLoaded();
    ReportLoadResult(loaded, g_document.path);
    if (loaded.status != LoadStatus::NoPath) SetWindowTextA(g_editor.dialog, kProgramTitle);
    return;
  }
  ComposeCaption(WindowTextFromPath(g_document.path).c_str(), g_textBuffer);
  SetWindowTextA(g_editor.dialog, g_textBuffer);
  if (g_editorEvents.documentLoaded) g_editorEvents.documentLoaded();
  RefreshAfterLoad();
}

// WM_INITDIALOG: cache the handles, tie the selector to the number field, limit the
// fields, absolute mode, then the file from the command line.
BOOL OnInitDialog(HWND dialog) {
  g_editor.dialog = dialog;
  g_editor.selector = GetDlgItem(dialog, IDC_UPDOWN);
  g_editor.numberField = GetDlgItem(dialog, IDC_NUMBER);
  g_editor.characterField = GetDlgItem(dialog, IDC_CHARACTER);
  SendMessageA(g_editor.selector, UDM_SETBUDDY, reinterpret_cast<WPARAM>(g_editor.numberField), 0);
  SendMessageA(g_editor.characterField, EM_LIMITTEXT, kCharacterFieldLimit, 0);
  SendMessageA(g_editor.numberField, EM_LIMITTEXT, kNumberFieldLimit, 0);
  CheckDlgButton(dialog, IDC_ABSOLUTE, BST_CHECKED);
  LoadDocument();
  return TRUE;
}

// WM_CLOSE: the only way out of the dialog.
void OnClose() {
  ReleaseMetricsFile(g_document);
  EndDialog(g_editor.dialog, 0);
}

// IDC_OPEN: pick a file and load it; cancelling changes nothing.
void OnOpenClicked() {
  std::memset(g_openFileBuffer, 0, sizeof g_openFileBuffer);
  OPENFILENAMEA& dialog = g_openFileName;
  dialog.lStructSize = sizeof(OPENFILENAMEA);
  dialog.hwndOwner = g_editor.dialog;
  dialog.hInstance = g_moduleHandle;
  dialog.lpstrFilter = kOpenFilter;
  dialog.lpstrFile = g_openFileBuffer;
  dialog.nMaxFile = sizeof g_openFileBuffer;
  dialog.lpstrTitle = kProgramTitle;
  dialog.lpstrDefExt = kDefaultExtension;
  dialog.Flags = OFN_EXPLORER | OFN_LONGNAMES | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST;
  // nFilterIndex is left as the dialog set it: the filter chosen last is preselected.
  if (!g_openFileDialog(&dialog)) return;
  OpenDocument(PathFromWindowText(g_openFileBuffer).c_str());
}

// Writes image over the document's file. A file that another program changed
// meanwhile is written over only when the user says so; the answer may also be to
// load it as it is now, dropping image. Reports a failure; true when image is now
// the file's content.
bool WriteImageToFile(const uint8_t* image) {
  SaveResult saved = SaveEditedImage(g_document, image);
  if (saved.status == SaveStatus::ChangedOutside) {
    switch (AskAboutOutsideChange()) {
      case OutsideChangeAnswer::Overwrite:
        saved = SaveEditedImage(g_document, image, SaveCheck::Overwrite);
        break;
      case OutsideChangeAnswer::Reload: LoadDocument(); return false;
      case OutsideChangeAnswer::Cancel: return false;
    }
  }
  ReportSaveResult(saved, g_document.path);
  return saved.status == SaveStatus::Saved;
}

void NotifyImageWritten() {
  if (g_editorEvents.imageWritten) g_editorEvents.imageWritten(g_imageBeforeChange);
}

// IDC_CHANGE: check the fields, apply them to a copy of the image and write it
// back whole; the copy becomes the document only when the write succeeded, so a
// failed write can be retried without applying the edit twice.
void OnChangeClicked() {
  if (!IsDocumentLoaded(g_document)) {
    ShowErrorMessage("No file is open");
    return;
  }
  RecordEdit edit;
  EditScope scope = EditScope::CurrentCode;
  if (!ReadChange(&edit, &scope)) return;
  std::memcpy(g_imageBeforeChange, g_document.image, kMetricsImageSize);
  std::memcpy(g_editedImage, g_document.image, kMetricsImageSize);
  ApplyRecordEdit(g_editedImage, edit, scope, g_editor.currentCode[0]);
  if (!WriteImageToFile(g_editedImage)) return;
  RecordStep(g_history, g_imageBeforeChange, g_document.image, std::time(nullptr));
  NotifyImageWritten();
}

// Undo and redo: write an image of the history back, then show the selected code's
// values again unless a scope box holds values typed for a class.
void WriteHistoryImage(const uint8_t* image, void (*done)(EditHistory&)) {
  if (!image || !IsDocumentLoaded(g_document)) return;
  std::memcpy(g_imageBeforeChange, g_document.image, kMetricsImageSize);
  if (!WriteImageToFile(image)) return;
  done(g_history);
  UpdateScopeControls();
  NotifyImageWritten();
}

// EN_CHANGE of IDC_NUMBER: select the code the selector reports, echo it as a
// character and show its values.
void OnNumberChanged() {
  g_editor.currentCode[0] = SelectedCode();
  // A lone Shift-JIS lead byte is no character: echoed, it would come back as
  // another character and select another code. The field stays empty instead.
  const char* echo = IsDBCSLeadByte(g_editor.currentCode[0])
                         ? ""
                         : reinterpret_cast<const char*>(g_editor.currentCode);
  SetWindowTextA(g_editor.characterField, echo);  // raises OnCharacterChanged
  ShowRecord(g_editor.currentCode[0]);
}

// EN_CHANGE of IDC_CHARACTER: move the selector to the typed character's first
// byte. The chain of notifications ends here: the selector leaves the number field
// alone when it already shows that number.
void OnCharacterChanged() {
  std::memset(g_textBuffer, 0, 4);
  GetDlgItemTextA(g_editor.dialog, IDC_CHARACTER, g_textBuffer, 4);
  unsigned char first = static_cast<unsigned char>(g_textBuffer[0]);
  if (first == 0) return;
  char numberBefore[4] = {};
  GetDlgItemTextA(g_editor.dialog, IDC_NUMBER, numberBefore, sizeof numberBefore);
  SendMessageA(g_editor.selector, UDM_SETPOS, 0, MAKELPARAM(first, 0));
  // A rewritten number field ("06" -> "6") gets its caret at the end, so that the
  // digits a user goes on typing there follow the ones typed ("6", "5" is 65).
  char numberAfter[4] = {};
  GetDlgItemTextA(g_editor.dialog, IDC_NUMBER, numberAfter, sizeof numberAfter);
  if (std::strcmp(numberBefore, numberAfter) != 0) {
    SendMessageA(g_editor.numberField, EM_SETSEL, kEndOfText, kEndOfText);
  }
  // The whole text selected: the next keystroke replaces the character.
  SendMessageA(g_editor.characterField, EM_SETSEL, 0, -1);
}

void OnCommand(int id, int notification) {
  if (notification == BN_CLICKED) {
    switch (id) {
      case IDC_OPEN: OnOpenClicked(); return;
      case IDC_CHANGE: OnChangeClicked(); return;
      case IDC_CLEAR: ClearValueFields(); return;
      case IDC_SCOPE_FULLWIDTH:
      case IDC_SCOPE_HALFKANA:
      case IDC_SCOPE_HALFALNUM: UpdateScopeControls(); return;
    }
  }
  if (notification == EN_CHANGE) {
    switch (id) {
      case IDC_NUMBER: OnNumberChanged(); return;
      case IDC_CHARACTER: OnCharacterChanged(); return;
    }
  }
}

}  // namespace

bool OpenDocument(const char* path) {
  const size_t length = std::strlen(path);
  if (length >= sizeof g_document.path) return false;
  std::memset(g_document.path, 0, sizeof g_document.path);
  std::memcpy(g_document.path, path, length);
  LoadDocument();
  return true;
}

bool WriteImageAsChange(const uint8_t* image) {
  if (!IsDocumentLoaded(g_document)) {
    ShowErrorMessage("No file is open");
    return false;
  }
  std::memcpy(g_imageBeforeChange, g_document.image, kMetricsImageSize);
  if (!WriteImageToFile(image)) return false;
  RecordStep(g_history, g_imageBeforeChange, g_document.image, std::time(nullptr));
  UpdateScopeControls();
  NotifyImageWritten();
  return true;
}

void UndoChange() { WriteHistoryImage(ImageToUndo(g_history), UndoDone); }
void RedoChange() { WriteHistoryImage(ImageToRedo(g_history), RedoDone); }

bool AnyScopeBoxChecked() {
  return IsButtonChecked(IDC_SCOPE_FULLWIDTH) || IsButtonChecked(IDC_SCOPE_HALFKANA) ||
         IsButtonChecked(IDC_SCOPE_HALFALNUM);
}

void UpdateScopeControls() {
  bool any = AnyScopeBoxChecked();
  EnableWindow(g_editor.characterField, !any);
  EnableWindow(g_editor.numberField, !any);
  // The arrows too: a step would select another code and show it over the values
  // typed for the class.
  EnableWindow(g_editor.selector, !any);
  // Unchecking the last box shows the selected code again, dropping typed values.
  if (!any) ShowRecord(SelectedCode());
}

INT_PTR CALLBACK EditorDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_CLOSE: OnClose(); return TRUE;
    case WM_COMMAND:
      // lParam 0: no control sent it (Esc, Enter in a field, a menu, an accelerator).
      if (lParam != 0) OnCommand(LOWORD(wParam), HIWORD(wParam));
      if (g_editorEvents.commandHandled) g_editorEvents.commandHandled();
      return TRUE;
  }
  return FALSE;
}
