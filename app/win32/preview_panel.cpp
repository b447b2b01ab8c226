#include "preview_panel.h"

#include <algorithm>
#include <vector>

#include "child_windows.h"
#include "preview_canvas.h"
#include "preview_font.h"
#include "preview_font_dialog.h"
#include "program_files.h"
#include "utf16_text.h"

namespace {

constexpr int kRowGap = 4;
constexpr int kSampleLines = 3;

struct Panel {
  HWND parent = nullptr;
  HWND sample = nullptr, canvas = nullptr;
  HMENU menu = nullptr;  // プレビュー
  int lineHeight = 0;    // of a line of the parent's text
  RECT fontLine = {};    // where the font and its note are written
  PreviewOptions options;
  std::string font;  // the font chosen, or tried for the dialog's own
  std::wstring fontNote;
  std::vector<uint8_t> image, pending;  // the file's image (empty: none), 変更's over it
  std::bitset<kCodeCount> pendingCodes;
  std::string measuredFont;
  int measuredSize = 0;
  bool quiet = false;  // the controls are being set, not changed by the user
  int standIn = -1;    // the dialog's family being tried, while no font was chosen
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

// The menu's marks as the options are, and the canvas drawn by them.
void ApplyOptions() {
  const Panel& p = g_panel;
  CheckMenuItem(p.menu, kPreviewOutlinesId, p.options.outlines ? MF_CHECKED : MF_UNCHECKED);
  CheckMenuItem(p.menu, kPreviewGridId, p.options.grid ? MF_CHECKED : MF_UNCHECKED);
  CheckMenuRadioItem(p.menu, kPreviewZoomFirstId + 1, kPreviewZoomFirstId + kMaxPreviewZoom,
                     kPreviewZoomFirstId + p.options.zoom, MF_BYCOMMAND);
  SetPreviewOptions(p.canvas, p.options);
}

void ShowFontLine() {
  if (g_panel.parent) InvalidateRect(g_panel.parent, &g_panel.fontLine, TRUE);
}

void ShowFontFailure(const std::string& failure) {
  g_panel.fontNote = failure.empty() ? L"" : Utf8ToUtf16(failure + ": boxes only");
  ShowFontLine();
}

// The font measured from is loaded at the size measured at; any other at
// kOutlineSize. A note will say why the font draws nothing, if it does not open.
void ChooseFont(const std::string& font) {
  g_panel.font = font;
  const int size = font == g_panel.measuredFont ? g_panel.measuredSize : kOutlineSize;
  UsePreviewFont(g_panel.canvas, font, size);
  ShowFontFailure("");
}

// At start the font kept from last time or, when none was, the dialog's own: the
// first of its families that opens (OnFontFailed tries the next).
std::string FirstFont() {
  const std::string& kept = g_programSettings.previewFont;
  return kept.empty() ? DialogFontFamilies()[0] : kept;
}

// The dialog's family just tried did not open: the next one, until none is left.
void OnFontFailed() {
  Panel& p = g_panel;
  const std::vector<std::string> standIns = DialogFontFamilies();
  if (p.standIn >= 0 && p.standIn + 1 < int(standIns.size())) {
    ChooseFont(standIns[++p.standIn]);
    return;
  }
  ShowFontFailure(PreviewFontFailure(p.canvas));
}

// フォント...: another family or a font file, which stays chosen.
void AskForFont() {
  std::string font = g_panel.font;
  if (!AskForPreviewFont(g_panel.parent, &font)) return;
  g_panel.standIn = -1;
  ChooseFont(font);
}

HMENU CreatePreviewMenu() {
  const HMENU menu = CreatePopupMenu(), zoom = CreatePopupMenu();
  for (int times = 1; times <= kMaxPreviewZoom; ++times) {
    const wchar_t digit = wchar_t(L'0' + times);
    const std::wstring item = {digit, L' ', L'倍', L'(', L'&', digit, L')'};
    AppendMenuW(zoom, MF_STRING, kPreviewZoomFirstId + times, item.c_str());
  }
  AppendMenuW(menu, MF_STRING, kPreviewOutlinesId, L"枠線(&F)");
  AppendMenuW(menu, MF_STRING, kPreviewGridId, L"行の基準線(&G)");
  AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(zoom), L"拡大(&Z)");
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kPreviewFontId, L"フォント(&O)...");
  return menu;
}

}  // namespace

void StartOpeningPreviewFont() { OpenPreviewFontAhead(FirstFont(), kOutlineSize); }

void CreatePreviewPanel(HWND parent, HFONT font, HMENU menuBar) {
  Panel& p = g_panel;
  p = Panel{};
  p.parent = parent;
  p.options = g_programSettings.preview;
  p.options.zoom = std::clamp(p.options.zoom, 1, kMaxPreviewZoom);
  p.lineHeight = TextLineHeight(parent, font);
  RegisterPreviewCanvasClass();
  const std::string sample =
      g_programSettings.hasSampleText ? g_programSettings.sampleText : kDefaultSampleText;
  std::wstring text;
  for (wchar_t c : Utf8ToUtf16(sample)) (c == L'\n' ? text += L"\r\n" : text += c);
  p.quiet = true;
  p.sample =
      CreateChildControl(parent, font, L"EDIT", text.c_str(),
                         WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN,
                         kPreviewSampleId, WS_EX_CLIENTEDGE);
  p.canvas = CreateChildControl(parent, font, kPreviewCanvasClass, L"", WS_HSCROLL | WS_VSCROLL,
                                kPreviewCanvasId, WS_EX_CLIENTEDGE);
  p.quiet = false;
  p.menu = CreatePreviewMenu();
  AppendMenuW(menuBar, MF_POPUP, reinterpret_cast<UINT_PTR>(p.menu), L"プレビュー(&P)");
  ApplyOptions();
  p.standIn = g_programSettings.previewFont.empty() ? 0 : -1;
  ChooseFont(FirstFont());
  Refresh();
}

void LayOutPreviewPanel(const RECT& within) {
  Panel& p = g_panel;
  const int left = within.left, width = std::max(0, int(within.right - within.left));
  int top = within.top;
  const int sampleHeight = p.lineHeight * kSampleLines + 8;
  MoveWindow(p.sample, left, top, width, sampleHeight, TRUE);
  top += sampleHeight + kRowGap;
  p.fontLine = {left, top, left + width, top + p.lineHeight};
  top += p.lineHeight + kRowGap;
  MoveWindow(p.canvas, left, top, width, std::max(0, int(within.bottom) - top), TRUE);
}

void PaintPreviewPanel(HDC dc) {
  const Panel& p = g_panel;
  std::wstring line = L"プレビューのフォント: " + Utf8ToUtf16(p.font);
  if (!p.fontNote.empty()) line += L"  (" + p.fontNote + L")";
  RECT rect = p.fontLine;
  DrawTextW(dc, line.c_str(), int(line.size()), &rect,
            DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS | DT_VCENTER);
}

bool HandlePreviewPanelCommand(WPARAM wParam, LPARAM) {
  Panel& p = g_panel;
  if (!p.parent || p.quiet) return false;
  const int id = LOWORD(wParam), code = HIWORD(wParam);
  if (id == kPreviewSampleId && code == EN_CHANGE) {
    Refresh();
  } else if (id == kPreviewOutlinesId) {
    p.options.outlines = !p.options.outlines;
    ApplyOptions();
  } else if (id == kPreviewGridId) {
    p.options.grid = !p.options.grid;
    ApplyOptions();
  } else if (id > kPreviewZoomFirstId && id <= kPreviewZoomFirstId + kMaxPreviewZoom) {
    p.options.zoom = id - kPreviewZoomFirstId;
    ApplyOptions();
  } else if (id == kPreviewFontId) {
    AskForFont();
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
std::wstring PreviewFontNote() { return g_panel.fontNote; }

std::string PreviewSampleText() {
  return g_panel.sample ? SampleText() : std::string(kDefaultSampleText);
}

void ClosePreviewPanel() {
  if (!g_panel.canvas) return;
  ProgramSettings& settings = g_programSettings;
  settings.preview = g_panel.options;
  settings.hasSampleText = true;
  settings.sampleText = SampleText();
  settings.previewFont = g_panel.font;
  g_panel = Panel{};
}
