// The companion's プレビュー: the sample text (見本の文) above the canvas
// (preview_canvas.h), the font drawn with written between them, and the menu
// プレビュー with 枠線, 行の基準線, 拡大 and フォント... (a family or a font file).
// It shows the file's values, or those 変更 would write while a change is pending,
// and keeps its text, options and font in the settings.
#pragma once

#include <windows.h>

#include <bitset>
#include <cstdint>
#include <string>

#include "metrics_format.h"

// The child ids and the menu's commands (the zoom's are kPreviewZoomFirstId plus
// the factor), for the tests.
constexpr int kPreviewSampleId = 110;
constexpr int kPreviewFontId = 111;
constexpr int kPreviewOutlinesId = 114;
constexpr int kPreviewGridId = 115;
constexpr int kPreviewCanvasId = 118;
constexpr int kPreviewZoomFirstId = 120;

// At start, when the companion will be shown: the font the panel will choose first
// starts opening on a thread of its own while the windows are made.
void StartOpeningPreviewFont();

// Creates the controls in parent with font (the dialog's, which has the Japanese
// characters on a system of any language), as the settings left them, and adds
// the menu プレビュー to menuBar.
void CreatePreviewPanel(HWND parent, HFONT font, HMENU menuBar);

// Places the controls in the rectangle; the canvas takes what the rows leave.
void LayOutPreviewPanel(const RECT& within);

// The parent's WM_PAINT: writes the font line with dc (its font selected).
void PaintPreviewPanel(HDC dc);

// A WM_COMMAND of parent: true when it came from one of the panel's controls or
// menu items.
bool HandlePreviewPanelCommand(WPARAM wParam, LPARAM lParam);

// Lays the sample text out over image (null: no file).
void ShowPreviewImage(const uint8_t* image);
// The values the change command would write (null: the image's own again), the
// boxes of codes dashed.
void ShowPreviewPending(const uint8_t* pending, const std::bitset<kCodeCount>& codes);
// The font the values were last measured from and the size: chosen, its outlines
// loaded at that size, so that glyphs are drawn as the font renders them.
void SetPreviewMeasuredFont(const std::string& font, int pixelSize);

// The sample text field (Ctrl+2) and the canvas.
HWND PreviewSampleField();
HWND PreviewCanvas();

// Why the font drawn with draws nothing ("" when it opened), as written beside it.
std::wstring PreviewFontNote();

// The sample text as typed (UTF-8), for other previews that show it.
std::string PreviewSampleText();

// The companion is going: keeps the text, the options and the font in the
// settings, and forgets the controls.
void ClosePreviewPanel();
