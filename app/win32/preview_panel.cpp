#include "preview_panel.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

#include "child_windows.h"
#include "font_face.h"
#include "preview_canvas.h"
#include "preview_font.h"
#include "program_files.h"
#include "utf16_text.h"
#include "wide_text.h"

namespace {

constexpr int kRowGap = 4;
constexpr int kRowHeight = 24;
constexpr int kSampleLines = 3;

struct Panel {
  HWND parent = nullptr;
  HFONT textFont = nullptr;
  HWND sample = nullptr, font = nullptr, fontFile = nullptr, fontNote = nullptr;
  HWND outlines = nullptr, grid = nullptr, zoom = nullptr, zoomArrows = nullptr;
  HWND canvas = nullptr;
  std::vector<HWND> labels;             // プレビューのフォント, 拡大
  std::vector<uint8_t> image, pending;  // the file's image (empty: none), 変更's over it
  std::bitset<kCodeCount> pendingCodes;
  std::string measuredFont;
  int measuredSize = 0;
  bool quiet = false;  // the controls are being set, not changed by the user
  bool listed = false;  // the installed families are in the font list
  int standIn = -1;     // the dialog's family being tried, while no font was chosen
};
Panel g_panel;

// The text laid out: a line break as the layout reads one.
std::string SampleText() {
  std::string text = Utf16ToUtf8(WindowTextOf(g_panel.sample));
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  return text;
}

void Refresh() {
  const Panel& p = g_panel;
  const uint8_t* image =
      p.pending.empty() ? (p.image.empty() ? nullptr : p.image.data()) : p.pending.data();
  ShowPreviewText(p.canvas, image, SampleText(), p.pendingCodes);
}

PreviewOptions OptionsOfControls() {
  PreviewOptions options;
  options.outlines = SendMessageW(g_panel.outlines, BM_GETCHECK, 0, 0) == BST_CHECKED;
  options.grid = SendMessageW(g_panel.grid, BM_GETCHECK, 0, 0) == BST_CHECKED;
  BOOL valid = FALSE;
  const UINT zoom = GetDlgItemInt(g_panel.parent, kPreviewZoomId, &valid, FALSE);
  options.zoom = valid ? std::clamp(int(zoom), 1, kMaxPreviewZoom) : PreviewOptions().zoom;
  return options;
}

std::string ChosenFont() { return ChosenListEntry(g_panel.font); }

void ShowFontFailure(const std::string& failure) {
  SetWindowTextW(g_panel.fontNote,
                 failure.empty() ? L"" : Utf8ToUtf16(failure + ": boxes only").c_str());
}

// The font measured from is loaded at the size measured at; any other at
// kOutlineSize. A note says why the font chosen draws nothing.
void ApplyFont() {
  const std::string font = ChosenFont();
  const int size = font == g_panel.measuredFont ? g_panel.measuredSize : kOutlineSize;
  UsePreviewFont(g_panel.canvas, font, size);
  ShowFontFailure(font.empty() ? "no font is installed" : "");
}

void ChooseFont(const std::string& font) {
  g_panel.quiet = true;
  SendMessageW(g_panel.font, CB_SETCURSEL, ListEntryOf(g_panel.font, font), 0);
  g_panel.quiet = false;
  ApplyFont();
}

// At start the list holds only the font kept from last time or, when none was,
// the dialog's own: the first of its families that opens (OnFontFailed tries the
// next). The installed families are listed when the list is first used, so that
// starting never waits for the system to name them.
std::string FirstFont() {
  const std::string& kept = g_programSettings.previewFont;
  return kept.empty() ? DialogFontFamilies()[0] : kept;
}

void ChooseFirstFont() {
  g_panel.standIn = g_programSettings.previewFont.empty() ? 0 : -1;
  ChooseFont(FirstFont());
}

// The dialog's family just tried did not open: the next one, until none is left.
void OnFontFailed() {
  Panel& p = g_panel;
  const std::vector<std::string> standIns = DialogFontFamilies();
  if (p.standIn >= 0 && p.standIn + 1 < int(standIns.size()) && !p.listed) {
    SendMessageW(p.font, CB_RESETCONTENT, 0, 0);
    ChooseFont(standIns[++p.standIn]);
    return;
  }
  ShowFontFailure(PreviewFontFailure(p.canvas));
}

// The families by their English names, as the dialog's are named, and the font
// chosen, which stays chosen.
void ListFonts() {
  Panel& p = g_panel;
  if (p.listed) return;
  p.listed = true;
  const std::string chosen = ChosenFont();
  p.quiet = true;
  SendMessageW(p.font, CB_RESETCONTENT, 0, 0);
  for (const std::string& family : InstalledFontFamilies("en"))
    SendMessageW(p.font, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Utf8ToUtf16(family).c_str()));
  if (!chosen.empty()) SendMessageW(p.font, CB_SETCURSEL, ListEntryOf(p.font, chosen), 0);
  p.quiet = false;
}

// A font file instead of a family: added to the list by its path and chosen.
void PickFontFile() {
  std::string path;
  if (!AskForFontFile(g_panel.parent, &path)) return;
  g_panel.standIn = -1;
  ChooseFont(path);
}

HWND CreateChild(const wchar_t* className, const wchar_t* text, DWORD style, int id,
                 DWORD extendedStyle = 0) {
  return CreateChildControl(g_panel.parent, g_panel.textFont, className, text, style, id,
                            extendedStyle);
}

void CreateOptionControls() {
  Panel& p = g_panel;
  const PreviewOptions& kept = g_programSettings.preview;
  p.outlines = CreateChild(L"BUTTON", L"枠線", WS_TABSTOP | BS_AUTOCHECKBOX, kPreviewOutlinesId);
  p.grid = CreateChild(L"BUTTON", L"行の基準線", WS_TABSTOP | BS_AUTOCHECKBOX, kPreviewGridId);
  SendMessageW(p.outlines, BM_SETCHECK, kept.outlines ? BST_CHECKED : BST_UNCHECKED, 0);
  SendMessageW(p.grid, BM_SETCHECK, kept.grid ? BST_CHECKED : BST_UNCHECKED, 0);
  p.labels.push_back(CreateChild(L"STATIC", L"拡大", SS_RIGHT, 0xFFFF));
  p.zoom = CreateChild(L"EDIT", L"", WS_TABSTOP | ES_NUMBER | ES_RIGHT, kPreviewZoomId,
                       WS_EX_CLIENTEDGE);
  p.zoomArrows = CreateChild(UPDOWN_CLASSW, L"",
                             UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                             kPreviewZoomArrowsId);
  SendMessageW(p.zoomArrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(p.zoom), 0);
  SendMessageW(p.zoomArrows, UDM_SETRANGE32, 1, kMaxPreviewZoom);
  SendMessageW(p.zoomArrows, UDM_SETPOS32, 0, kept.zoom);
}

}  // namespace

void StartOpeningPreviewFont() { OpenPreviewFontAhead(FirstFont(), kOutlineSize); }

void CreatePreviewPanel(HWND parent, HFONT font) {
  Panel& p = g_panel;
  p = Panel{};
  p.parent = parent;
  p.textFont = font;
  RegisterPreviewCanvasClass();
  const std::string sample =
      g_programSettings.hasSampleText ? g_programSettings.sampleText : kDefaultSampleText;
  std::wstring text;
  for (wchar_t c : Utf8ToUtf16(sample)) (c == L'\n' ? text += L"\r\n" : text += c);
  p.quiet = true;
  p.sample = CreateChild(L"EDIT", text.c_str(),
                         WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                         kPreviewSampleId, WS_EX_CLIENTEDGE);
  p.labels.push_back(CreateChild(L"STATIC", L"プレビューのフォント", SS_LEFT, 0xFFFF));
  p.font = CreateChild(L"COMBOBOX", L"", WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST | CBS_SORT,
                       kPreviewFontId);
  p.fontFile = CreateChild(L"BUTTON", L"ファイル...", WS_TABSTOP, kPreviewFontFileId);
  p.fontNote = CreateChild(L"STATIC", L"", SS_LEFT | SS_ENDELLIPSIS, kPreviewFontNoteId);
  CreateOptionControls();
  p.canvas = CreateChild(kPreviewCanvasClass, L"", WS_HSCROLL | WS_VSCROLL, kPreviewCanvasId,
                         WS_EX_CLIENTEDGE);
  p.quiet = false;
  SetPreviewOptions(p.canvas, OptionsOfControls());
  ChooseFirstFont();
  Refresh();
}

namespace {

// The size of a control's text in its font.
SIZE TextSize(HWND control) {
  const std::wstring text = WindowTextOf(control);
  SIZE size = {};
  const HDC dc = GetDC(control);
  const HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
  GetTextExtentPoint32W(dc, text.empty() ? L"0" : text.c_str(),
                        int(std::max<size_t>(1, text.size())), &size);
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return size;
}

}  // namespace

void LayOutPreviewPanel(const RECT& within) {
  const Panel& p = g_panel;
  const int left = within.left, width = std::max(0, int(within.right - within.left));
  int top = within.top;
  const int sampleHeight = TextSize(p.labels[0]).cy * kSampleLines + 8;
  MoveWindow(p.sample, left, top, width, sampleHeight, TRUE);
  top += sampleHeight + kRowGap;
  const int fontLabel = TextSize(p.labels[0]).cx + 8, combo = 180;
  const int button = TextSize(p.fontFile).cx + 16;
  MoveWindow(p.labels[0], left, top + 4, fontLabel, kRowHeight - 4, TRUE);
  MoveWindow(p.font, left + fontLabel, top, combo, 300, TRUE);
  MoveWindow(p.fontFile, left + fontLabel + combo + kRowGap, top, button, kRowHeight, TRUE);
  const int noteLeft = left + fontLabel + combo + button + 2 * kRowGap;
  MoveWindow(p.fontNote, noteLeft, top + 4, std::max(0, left + width - noteLeft), kRowHeight - 4,
             TRUE);
  top += kRowHeight + kRowGap;
  // A check box's text beside its box.
  const int outlines = TextSize(p.outlines).cx + 24, grid = TextSize(p.grid).cx + 24;
  MoveWindow(p.outlines, left, top, outlines, kRowHeight, TRUE);
  MoveWindow(p.grid, left + outlines + 2 * kRowGap, top, grid, kRowHeight, TRUE);
  const int zoomWidth = 56, zoomLabel = TextSize(p.labels[1]).cx + 4;
  MoveWindow(p.labels[1], left + width - zoomWidth - zoomLabel - kRowGap, top + 4, zoomLabel,
             kRowHeight - 4, TRUE);
  MoveWindow(p.zoom, left + width - zoomWidth, top, zoomWidth, kRowHeight, TRUE);
  SendMessageW(p.zoomArrows, UDM_SETBUDDY, reinterpret_cast<WPARAM>(p.zoom), 0);
  top += kRowHeight + kRowGap;
  MoveWindow(p.canvas, left, top, width, std::max(0, int(within.bottom) - top), TRUE);
}

bool HandlePreviewPanelCommand(WPARAM wParam, LPARAM) {
  Panel& p = g_panel;
  if (!p.parent || p.quiet) return false;
  const int id = LOWORD(wParam), code = HIWORD(wParam);
  if (id == kPreviewSampleId && code == EN_CHANGE) {
    Refresh();
  } else if ((id == kPreviewOutlinesId || id == kPreviewGridId) && code == BN_CLICKED) {
    SetPreviewOptions(p.canvas, OptionsOfControls());
  } else if (id == kPreviewZoomId && code == EN_CHANGE) {
    SetPreviewOptions(p.canvas, OptionsOfControls());
  } else if (id == kPreviewFontId && (code == CBN_DROPDOWN || code == CBN_SETFOCUS)) {
    ListFonts();
  } else if (id == kPreviewFontId && code == CBN_SELCHANGE) {
    p.standIn = -1;
    ApplyFont();
  } else if (id == kPreviewFontFileId && code == BN_CLICKED) {
    PickFontFile();
  } else if (id == kPreviewCanvasId && code == kPreviewFontFailed) {
    OnFontFailed();
  } else {
    return false;
  }
  return true;
}

void ShowPreviewImage(const uint8_t* image) {
  Panel& p = g_panel;
  if (!p.canvas) return;
  p.image.assign(image, image ? image + kMetricsImageSize : image);
  p.pending.clear();
  p.pendingCodes.reset();
  Refresh();
}

void ShowPreviewPending(const uint8_t* pending, const std::bitset<kCodeCount>& codes) {
  Panel& p = g_panel;
  if (!p.canvas) return;
  p.pending.assign(pending, pending ? pending + kMetricsImageSize : pending);
  p.pendingCodes = pending ? codes : std::bitset<kCodeCount>();
  Refresh();
}

void SetPreviewMeasuredFont(const std::string& font, int pixelSize) {
  Panel& p = g_panel;
  if (!p.canvas || (font == p.measuredFont && pixelSize == p.measuredSize)) return;
  p.measuredFont = font;
  p.measuredSize = pixelSize;
  p.standIn = -1;
  ChooseFont(font);
}

HWND PreviewSampleField() { return g_panel.sample; }
HWND PreviewCanvas() { return g_panel.canvas; }

std::string PreviewSampleText() {
  return g_panel.sample ? SampleText() : std::string(kDefaultSampleText);
}

void ClosePreviewPanel() {
  if (!g_panel.canvas) return;
  ProgramSettings& settings = g_programSettings;
  settings.preview = OptionsOfControls();
  settings.hasSampleText = true;
  settings.sampleText = SampleText();
  settings.previewFont = ChosenFont();
  g_panel = Panel{};
}
