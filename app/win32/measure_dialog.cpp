#include "measure_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "child_windows.h"
#include "companion_window.h"
#include "editor_dialog.h"
#include "editor_state.h"
#include "error_report.h"
#include "measure_session.h"
#include "metrics_document.h"
#include "preview_canvas.h"
#include "preview_font.h"
#include "preview_panel.h"
#include "program_files.h"
#include "resources/measure_ids.h"
#include "utf16_text.h"

namespace {

constexpr UINT kMaxSampleLength = 2;  // one character, or a surrogate pair

// One run of the dialog: its session, and the font the preview draws with.
struct Measuring {
  MeasureSession session;
  std::string previewFont;
  int previewSize = 0;
  bool filling = true;  // the controls are being set up, not changed by the user
};

std::string ItemText(HWND dialog, int id) {
  return Utf16ToUtf8(WindowTextOf(GetDlgItem(dialog, id)));
}

bool IsChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void Check(HWND dialog, int id, bool checked) {
  CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

// The user's language as font names are localized: "ja-jp".
std::string UserLanguage() {
  wchar_t name[LOCALE_NAME_MAX_LENGTH] = L"";
  if (!GetUserDefaultLocaleName(name, LOCALE_NAME_MAX_LENGTH)) return "en";
  std::wstring lower = name;
  for (wchar_t& c : lower) c = static_cast<wchar_t>(std::towlower(c));
  return Utf16ToUtf8(lower);
}

HWND FontList(HWND dialog) { return GetDlgItem(dialog, IDC_MEASURE_FONT); }

// The families by their names in the user's language, each once. The font offered
// is the one remembered (a family when installed, a file by its path), else the
// dialog's own family when it is installed, else the first.
void FillFonts(HWND dialog, const std::string& remembered) {
  const HWND list = FontList(dialog);
  for (const std::string& family : InstalledFontFamilies(UserLanguage())) ListEntryOf(list, family);
  int index = CB_ERR;
  if (!remembered.empty()) {
    index = FindListEntry(list, remembered);
    if (index == CB_ERR && IsFontPath(remembered)) index = ListEntryOf(list, remembered);
  }
  for (const std::string& family : DialogFontFamilies()) {
    if (index != CB_ERR) break;
    index = FindListEntry(list, family);
  }
  SendMessageW(list, CB_SETCURSEL, index != CB_ERR ? index : 0, 0);
}

void ShowChoices(HWND dialog, const MeasureChoices& first) {
  FillFonts(dialog, first.font);
  SendDlgItemMessageW(dialog, IDC_MEASURE_SIZE_ARROWS, UDM_SETRANGE32, kMinMeasureSize,
                      kMaxMeasureSize);
  SendDlgItemMessageW(dialog, IDC_MEASURE_SIZE_ARROWS, UDM_SETPOS32, 0, first.pixelSize);
  Check(dialog, IDC_MEASURE_FULLWIDTH, first.fullWidth);
  Check(dialog, IDC_MEASURE_HALFKANA, first.halfKana);
  Check(dialog, IDC_MEASURE_HALFALNUM, first.halfAlnum);
  Check(dialog, IDC_MEASURE_ROUND, first.roundEdges);
  for (int id : {IDC_MEASURE_FULLWIDTH_SAMPLE, IDC_MEASURE_HALFKANA_SAMPLE})
    SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, kMaxSampleLength, 0);
  SetDlgItemTextW(dialog, IDC_MEASURE_FULLWIDTH_SAMPLE, Utf8ToUtf16(first.fullWidthSample).c_str());
  SetDlgItemTextW(dialog, IDC_MEASURE_HALFKANA_SAMPLE, Utf8ToUtf16(first.halfKanaSample).c_str());
}

MeasureChoices ChoicesOf(HWND dialog) {
  MeasureChoices choices;
  choices.font = ChosenListEntry(FontList(dialog));
  BOOL valid = FALSE;
  choices.pixelSize = int(GetDlgItemInt(dialog, IDC_MEASURE_SIZE, &valid, FALSE));
  if (!valid) choices.pixelSize = 0;
  choices.fullWidth = IsChecked(dialog, IDC_MEASURE_FULLWIDTH);
  choices.halfKana = IsChecked(dialog, IDC_MEASURE_HALFKANA);
  choices.halfAlnum = IsChecked(dialog, IDC_MEASURE_HALFALNUM);
  choices.roundEdges = IsChecked(dialog, IDC_MEASURE_ROUND);
  choices.fullWidthSample = ItemText(dialog, IDC_MEASURE_FULLWIDTH_SAMPLE);
  choices.halfKanaSample = ItemText(dialog, IDC_MEASURE_HALFKANA_SAMPLE);
  return choices;
}

// Measures into a fresh copy of the image and shows it, drawn with the font
// measured at the size measured; 適用 only for a measurement that stored something.
void Remeasure(HWND dialog, Measuring& measuring) {
  MeasureSession& session = measuring.session;
  RemeasureSession(session, ChoicesOf(dialog));
  SetDlgItemTextW(dialog, IDC_MEASURE_REPORT, Utf8ToUtf16(session.reportText).c_str());
  const HWND preview = GetDlgItem(dialog, IDC_MEASURE_PREVIEW);
  if (session.face.data && (session.openedFont != measuring.previewFont ||
                            session.choices.pixelSize != measuring.previewSize)) {
    UsePreviewFont(preview, session.openedFont, session.choices.pixelSize);
    measuring.previewFont = session.openedFont;
    measuring.previewSize = session.choices.pixelSize;
  }
  ShowPreviewText(preview, session.measured.data(), PreviewSampleText(), {});
  EnableWindow(GetDlgItem(dialog, IDOK), session.applyAllowed);
}

// A font file instead of a family: added to the list by its path and chosen.
void PickFontFile(HWND dialog) {
  std::string path;
  if (AskForFontFile(dialog, &path))
    SendMessageW(FontList(dialog), CB_SETCURSEL, ListEntryOf(FontList(dialog), path), 0);
}

// Any change of a choice measures again at once.
bool ChangesChoice(int id, int code) {
  switch (id) {
    case IDC_MEASURE_FONT: return code == CBN_SELCHANGE;
    case IDC_MEASURE_SIZE:
    case IDC_MEASURE_FULLWIDTH_SAMPLE:
    case IDC_MEASURE_HALFKANA_SAMPLE: return code == EN_CHANGE;
    case IDC_MEASURE_FULLWIDTH:
    case IDC_MEASURE_HALFKANA:
    case IDC_MEASURE_HALFALNUM:
    case IDC_MEASURE_ROUND: return code == BN_CLICKED;
  }
  return false;
}

INT_PTR CALLBACK MeasureDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* measuring = reinterpret_cast<Measuring*>(GetWindowLongPtrW(dialog, DWLP_USER));
  if (message == WM_INITDIALOG) {
    measuring = reinterpret_cast<Measuring*>(lParam);
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    ShowChoices(dialog, measuring->session.choices);
    measuring->filling = false;
    Remeasure(dialog, *measuring);
    return TRUE;
  }
  if (message != WM_COMMAND || !measuring) return FALSE;
  const int id = LOWORD(wParam), code = HIWORD(wParam);
  if (id == IDOK || id == IDCANCEL) {
    if (id == IDCANCEL || measuring->session.applyAllowed) EndDialog(dialog, id);
  } else if (id == IDC_MEASURE_FONT_FILE && code == BN_CLICKED) {
    PickFontFile(dialog);
    Remeasure(dialog, *measuring);
  } else if (!measuring->filling && ChangesChoice(id, code)) {
    Remeasure(dialog, *measuring);
  }
  return TRUE;
}

}  // namespace

void MeasureFromFont(HWND dialog) {
  if (!IsDocumentLoaded(g_document)) {
    ShowErrorMessage("No file is open");
    return;
  }
  RegisterPreviewCanvasClass();
  ProgramSettings& settings = g_programSettings;
  const int selected = AnyScopeBoxChecked() ? kNoSelectedCode : g_editor.currentCode[0];
  Measuring measuring;
  measuring.session = StartMeasureSession(
      g_document.image, settings.hasMeasureChoices ? &settings.measure : nullptr, selected);
  // The companion shows the dialog's state: it waits too.
  const HWND companion = CompanionWindow();
  if (companion) EnableWindow(companion, FALSE);
  const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), L"MEASURE", dialog,
                                         MeasureDialogProc, reinterpret_cast<LPARAM>(&measuring));
  if (companion) EnableWindow(companion, TRUE);
  MeasureSession& session = measuring.session;
  settings.measure = session.choices;
  settings.hasMeasureChoices = true;
  const std::vector<uint8_t> measured = session.measured;
  const std::string font = session.choices.font;
  const int size = session.choices.pixelSize;
  EndMeasureSession(session);
  if (result == IDOK && WriteImageAsChange(measured.data())) SetPreviewMeasuredFont(font, size);
}

bool HandleMeasureKey(const MSG& message, HWND dialog) {
  if (message.message != WM_KEYDOWN || message.wParam != 'M' || !dialog) return false;
  const HWND root = GetAncestor(message.hwnd, GA_ROOT);
  if ((root != dialog && root != CompanionWindow()) || !IsWindowEnabled(dialog)) return false;
  if (!(GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000)) return false;
  MeasureFromFont(dialog);
  return true;
}
