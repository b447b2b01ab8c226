// プレビュー's drawing on Windows: a child window of its own class that lays a text
// out with a file's metrics and draws the preview plan (preview_plan.h) with GDI,
// at 1x into a memory bitmap, scaled up by whole pixels without smoothing, and
// scrolled when larger than the window. Each glyph is the preview font's outline
// with its ink box mapped onto the box, as the Qt program draws it.
#pragma once

#include <windows.h>

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "metrics_format.h"
#include "preview_plan.h"

constexpr wchar_t kPreviewCanvasClass[] = L"QuorvelPreview";

// Registers the class (once per process is enough; again is harmless).
void RegisterPreviewCanvasClass();

// Lays utf8 out over image (null: no file, nothing drawn), the boxes of
// pendingCodes outlined dashed, and redraws.
void ShowPreviewText(HWND canvas, const uint8_t* image, const std::string& utf8,
                     const std::bitset<kCodeCount>& pendingCodes);

void SetPreviewOptions(HWND canvas, const PreviewOptions& options);

// Draws the glyphs from font (an installed family or a font file) with outlines
// loaded at pixelSize. The font is opened when a glyph is first drawn, so that a
// preview nobody sees opens none. When it cannot be opened or set to that size,
// the boxes are drawn without glyphs and the canvas tells its parent with a
// WM_COMMAND of kPreviewFontFailed; PreviewFontFailure then says why.
constexpr WORD kPreviewFontFailed = 1;
void UsePreviewFont(HWND canvas, const std::string& font, int pixelSize);
std::string PreviewFontFailure(HWND canvas);

// Starts opening font at pixelSize on a thread of its own, for the canvas that is
// next told to use it: at start, its first drawing then waits only for what is
// left of that, while the windows around are made and drawn.
void OpenPreviewFontAhead(const std::string& font, int pixelSize);

// The canvas at 1x in pixels (the layout's extent and a margin).
SIZE PreviewCanvasSize(HWND canvas);

// The pixels of area of the 1x canvas, as drawn into the memory bitmap: rows top
// to bottom, each pixel 0x00RRGGBB.
struct PreviewPixels {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
};
PreviewPixels RenderPreview(HWND canvas, const PixelArea& area);
