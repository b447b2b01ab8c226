#include "preview_canvas.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <unordered_map>
#include <utility>

#include "font_face.h"
#include "preview_font.h"
#include "text_layout.h"

namespace {

constexpr size_t kGlyphCacheLimit = 4096;
// Each pixel of a glyph is filled as 4 x 4 samples: 16 levels of coverage at its
// edges, as a font renderer's antialiasing gives.
constexpr int kSamples = 4;
// Outline points are passed to GDI three times their 26.6 value, so that a
// quadratic's cubic control points, at two thirds, stay whole numbers.
constexpr int kPointScale = 3;
constexpr int kScrollLine = 16;
constexpr uint32_t kWhite = 0xFFFFFF;

// A character's outline and its ink box, from the preview font.
struct Glyph {
  bool drawable = false;
  GlyphOutline outline;
  InkBox ink;
};

// A glyph filled into a box: its coverage, 0-255, one byte per pixel; empty when
// nothing is drawn.
struct GlyphDrawing {
  int width = 0, height = 0;
  std::vector<uint8_t> coverage;
};

// A font opened at a size, on a thread of its own or in place: what to open, and
// the face or why it failed.
struct FontOpening {
  std::string font;
  int size = 0;
  FontFace face;  // nothing open: failure says why
  std::string failure;
};

// An opening on a thread of its own: the thread owns opening until it ends.
struct OpeningThread {
  HANDLE thread = nullptr;
  std::unique_ptr<FontOpening> opening;
};

struct Canvas {
  TextLayout layout;
  std::string utf8;
  std::bitset<kCodeCount> pendingCodes;
  PreviewOptions options;
  PreviewPlan plan;  // what layout shows with options
  FontFace face;     // nothing open: boxes only
  std::string font;  // the font to open at the first glyph, and its size
  int fontSize = 0;
  bool fontTried = true;    // opened, or failed: fontFailure says why
  std::string fontFailure;
  OpeningThread ahead;  // the font being opened ahead, if any
  std::unordered_map<uint32_t, Glyph> glyphs;
  std::unordered_map<std::string, GlyphDrawing> drawings;  // by character and box
  int scrollX = 0, scrollY = 0;                  // in screen pixels
};

Canvas* CanvasOf(HWND window) {
  return reinterpret_cast<Canvas*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// color with alpha over what pixel holds.
uint32_t Blend(uint32_t pixel, PreviewColor color, int alpha) {
  const auto channel = [alpha](int over, int under) {
    return (over * alpha + under * (255 - alpha) + 127) / 255;
  };
  const int red = channel(color.red, (pixel >> 16) & 0xFF);
  const int green = channel(color.green, (pixel >> 8) & 0xFF);
  const int blue = channel(color.blue, pixel & 0xFF);
  return static_cast<uint32_t>(red << 16 | green << 8 | blue);
}

// The part of the canvas being drawn, with its pixels.
struct Target {
  PixelArea area;
  PreviewPixels* out;
  void Put(int x, int y, PreviewColor color, int alpha) {
    if (x < area.left || x >= area.right || y < area.top || y >= area.bottom) return;
    uint32_t& pixel = out->pixels[size_t(y - area.top) * out->width + (x - area.left)];
    pixel = Blend(pixel, color, alpha);
  }
};

// A top-down bitmap of bits per pixel.
BITMAPINFOHEADER BitmapHeader(int width, int height, WORD bits) {
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = -height;
  header.biPlanes = 1;
  header.biBitCount = bits;
  header.biCompression = BI_RGB;
  return header;
}

// A dashed line of width 1 is 4 pixels drawn and 2 left, from its start.
bool DrawsAt(int step, bool dashed) { return !dashed || step % 6 < 4; }

void DrawFrame(Target& target, const PixelArea& box, PreviewColor color, bool dashed) {
  // Around the rectangle from its top-left corner, so that a dash turns corners.
  int step = 0;
  const int right = box.right - 1, bottom = box.bottom - 1;
  for (int x = box.left; x < right; ++x, ++step)
    if (DrawsAt(step, dashed)) target.Put(x, box.top, color, color.alpha);
  for (int y = box.top; y < bottom; ++y, ++step)
    if (DrawsAt(step, dashed)) target.Put(right, y, color, color.alpha);
  for (int x = right; x > box.left; --x, ++step)
    if (DrawsAt(step, dashed)) target.Put(x, bottom, color, color.alpha);
  for (int y = bottom; y > box.top; --y, ++step)
    if (DrawsAt(step, dashed)) target.Put(box.left, y, color, color.alpha);
  if (right == box.left && bottom == box.top) target.Put(box.left, box.top, color, color.alpha);
}

void FillBox(Target& target, const PixelArea& box, PreviewColor color) {
  for (int y = std::max(box.top, target.area.top); y < std::min(box.bottom, target.area.bottom);
       ++y)
    for (int x = std::max(box.left, target.area.left); x < std::min(box.right, target.area.right);
         ++x)
      target.Put(x, y, color, color.alpha);
}

void DrawGrid(const Canvas& canvas, Target& target) {
  for (const PreviewLine& line : canvas.plan.lines) {
    const int y = static_cast<int>(line.y);
    if (y < target.area.top || y >= target.area.bottom) continue;
    const PreviewColor color = PreviewColorOf(line.ink);
    for (int x = target.area.left; x < target.area.right; ++x)
      if (DrawsAt(x - target.area.left, line.dashed)) target.Put(x, y, color, color.alpha);
  }
}

// The outline as a GDI path in kPointScale times its 26.6 units; a quadratic
// becomes the cubic that draws the same curve.
void AddOutlinePath(HDC dc, const GlyphOutline& outline) {
  BeginPath(dc);
  POINT last = {};
  for (const OutlineCommand& command : outline.commands) {
    POINT p[3];
    for (int i = 0; i < PointsOfVerb(command.verb); ++i)
      p[i] = {LONG(command.points[i].x * kPointScale), LONG(command.points[i].y * kPointScale)};
    switch (command.verb) {
      case OutlineVerb::MoveTo:
        CloseFigure(dc);
        MoveToEx(dc, p[0].x, p[0].y, nullptr);
        break;
      case OutlineVerb::LineTo: LineTo(dc, p[0].x, p[0].y); break;
      case OutlineVerb::ConicTo: {
        const POINT cubic[3] = {
            {last.x + 2 * (p[0].x - last.x) / 3, last.y + 2 * (p[0].y - last.y) / 3},
            {p[1].x + 2 * (p[0].x - p[1].x) / 3, p[1].y + 2 * (p[0].y - p[1].y) / 3},
            p[1]};
        PolyBezierTo(dc, cubic, 3);
        break;
      }
      case OutlineVerb::CubicTo: PolyBezierTo(dc, p, 3); break;
    }
    last = p[PointsOfVerb(command.verb) - 1];
  }
  CloseFigure(dc);
  EndPath(dc);
}

// The glyph filled with its ink on the box within, into a one-bit bitmap kSamples
// times larger each way, and each pixel's share of filled samples.
GlyphDrawing DrawGlyph(const Glyph& glyph, const PreviewRect& within) {
  GlyphDrawing drawing;
  InkTransform ink;
  if (!glyph.drawable || !MapInkToBox(glyph.ink, within, &ink)) return drawing;
  drawing.width = static_cast<int>(std::ceil(within.x + within.width)) + 1;
  drawing.height = static_cast<int>(std::ceil(within.y + within.height)) + 1;
  const int width = drawing.width * kSamples, height = drawing.height * kSamples;
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colours[2];
  } info = {BitmapHeader(width, height, 1), {{0, 0, 0, 0}, {255, 255, 255, 0}}};
  void* bits = nullptr;
  const HDC dc = CreateCompatibleDC(nullptr);
  const HBITMAP bitmap =
      CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) {
    DeleteDC(dc);
    return GlyphDrawing();
  }
  const HGDIOBJ old = SelectObject(dc, bitmap);
  PatBlt(dc, 0, 0, width, height, WHITENESS);
  SetGraphicsMode(dc, GM_ADVANCED);
  const XFORM transform = {FLOAT(ink.scaleX * kSamples / kPointScale),
                           0,
                           0,
                           FLOAT(ink.scaleY * kSamples / kPointScale),
                           FLOAT(ink.offsetX * kSamples),
                           FLOAT(ink.offsetY * kSamples)};
  SetWorldTransform(dc, &transform);
  SetPolyFillMode(dc, glyph.outline.evenOdd ? ALTERNATE : WINDING);
  AddOutlinePath(dc, glyph.outline);
  SelectObject(dc, GetStockObject(BLACK_BRUSH));
  FillPath(dc);
  GdiFlush();
  const int stride = ((width + 31) / 32) * 4;
  const auto* rows = static_cast<const uint8_t*>(bits);
  drawing.coverage.assign(size_t(drawing.width) * drawing.height, 0);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (!(rows[size_t(y) * stride + x / 8] & (0x80 >> (x % 8))))
        drawing.coverage[size_t(y / kSamples) * drawing.width + x / kSamples] += 1;
  for (uint8_t& share : drawing.coverage) share = uint8_t(share * 255 / (kSamples * kSamples));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  return drawing;
}

const Glyph& GlyphOf(Canvas& canvas, uint32_t character) {
  auto found = canvas.glyphs.find(character);
  if (found != canvas.glyphs.end()) return found->second;
  if (canvas.glyphs.size() >= kGlyphCacheLimit) canvas.glyphs.clear();
  PreviewGlyph loaded = LoadPreviewGlyph(canvas.face, character);
  return canvas.glyphs[character] = Glyph{loaded.drawable, std::move(loaded.outline), loaded.ink};
}

// The character's glyph in black over its box; each drawing is kept by character,
// box size and place within a pixel, and copied where they recur.
void DrawCharacter(Canvas& canvas, Target& target, const PreviewBox& box) {
  if (canvas.face.data == nullptr) return;
  const uint32_t character = CharacterOfBox(box, canvas.utf8);
  const int cornerX = static_cast<int>(std::floor(box.rect.x)) - 1;
  const int cornerY = static_cast<int>(std::floor(box.rect.y)) - 1;
  const PreviewRect within = {box.rect.x - cornerX, box.rect.y - cornerY, box.rect.width,
                              box.rect.height};
  // The character and the box's exact bits.
  const double place[4] = {within.x, within.y, within.width, within.height};
  std::string key(sizeof character + sizeof place, '\0');
  std::memcpy(&key[0], &character, sizeof character);
  std::memcpy(&key[sizeof character], place, sizeof place);
  auto found = canvas.drawings.find(key);
  if (found == canvas.drawings.end()) {
    if (canvas.drawings.size() >= kGlyphCacheLimit) canvas.drawings.clear();
    found = canvas.drawings.emplace(key, DrawGlyph(GlyphOf(canvas, character), within)).first;
  }
  const GlyphDrawing& drawing = found->second;
  constexpr PreviewColor kInk = {0, 0, 0, 255};
  for (int y = 0; y < drawing.height; ++y)
    for (int x = 0; x < drawing.width; ++x)
      if (const int share = drawing.coverage[size_t(y) * drawing.width + x])
        target.Put(cornerX + x, cornerY + y, kInk, share);
}

void OpenAtSize(FontOpening* opening) {
  const FontOpenResult opened = OpenFontFace(opening->font, &opening->face);
  if (opened.status != FontOpenStatus::Opened) {
    opening->failure = FontOpenFailureReason(opened);
    return;
  }
  const int sizeError = SetFontPixelSize(opening->face, opening->size);
  if (sizeError == 0) return;
  opening->failure = "cannot be drawn at " + std::to_string(opening->size) +
                     " px: " + FontLibraryErrorText(sizeError);
  CloseFontFace(&opening->face);
}

DWORD WINAPI OpenAtSizeOnThread(void* opening) {
  OpenAtSize(static_cast<FontOpening*>(opening));
  return 0;
}

bool DrawsCharacters(const Canvas& canvas) {
  return std::any_of(canvas.plan.boxes.begin(), canvas.plan.boxes.end(),
                     [](const PreviewBox& box) { return box.drawsCharacter; });
}

// The font being opened ahead, once its thread has ended: the canvas's now.
void FinishOpeningAhead(Canvas& canvas) {
  OpeningThread& ahead = canvas.ahead;
  if (!ahead.thread) return;
  WaitForSingleObject(ahead.thread, INFINITE);
  CloseHandle(ahead.thread);
  canvas.face = ahead.opening->face;
  canvas.fontFailure = ahead.opening->failure;
  ahead = OpeningThread{};
}

// The font chosen, once a glyph is to be drawn; its parent hears of a failure.
void OpenChosenFont(HWND window, Canvas& canvas) {
  if (canvas.ahead.thread) {
    FinishOpeningAhead(canvas);
  } else {
    if (canvas.fontTried || !DrawsCharacters(canvas)) return;
    FontOpening opening = {canvas.font, canvas.fontSize, FontFace(), ""};
    OpenAtSize(&opening);
    canvas.face = opening.face;
    canvas.fontFailure = opening.failure;
  }
  canvas.fontTried = true;
  if (canvas.face.data) return;
  PostMessageW(GetParent(window), WM_COMMAND,
               MAKEWPARAM(GetDlgCtrlID(window), kPreviewFontFailed),
               reinterpret_cast<LPARAM>(window));
}

// The font being opened ahead for the next canvas that uses it; a canvas that
// uses another ends it.
OpeningThread g_ahead;

void TakeFontOpenedAhead(Canvas& canvas) {
  if (!g_ahead.thread) return;
  canvas.ahead = std::move(g_ahead);
  g_ahead = OpeningThread{};
  const bool wanted =
      canvas.ahead.opening->font == canvas.font && canvas.ahead.opening->size == canvas.fontSize;
  if (wanted) return;
  FinishOpeningAhead(canvas);
  CloseFontFace(&canvas.face);
  canvas.fontFailure.clear();
}

// The font given up: no face, no opening under way.
void DropFont(Canvas& canvas) {
  FinishOpeningAhead(canvas);
  CloseFontFace(&canvas.face);
  canvas.glyphs.clear();
  canvas.drawings.clear();
}

void Replan(Canvas& canvas) {
  PreviewPlanOptions options;
  options.frames = canvas.options.outlines;
  options.grid = canvas.options.grid;
  options.pendingCodes = canvas.pendingCodes;
  canvas.plan = PlanPreview(canvas.layout, options);
}

// The scroll bars over the zoomed canvas; the position kept within them.
void UpdateScrollBars(HWND window, Canvas& canvas) {
  RECT client;
  GetClientRect(window, &client);
  const int zoom = canvas.options.zoom;
  const int extents[2] = {canvas.plan.canvasWidth * zoom, canvas.plan.canvasHeight * zoom};
  const int pages[2] = {int(client.right), int(client.bottom)};
  int* positions[2] = {&canvas.scrollX, &canvas.scrollY};
  for (int bar = 0; bar < 2; ++bar) {
    *positions[bar] = std::max(0, std::min(*positions[bar], extents[bar] - pages[bar]));
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMax = extents[bar] - 1;
    info.nPage = UINT(std::max(0, pages[bar]));
    info.nPos = *positions[bar];
    SetScrollInfo(window, bar == 0 ? SB_HORZ : SB_VERT, &info, TRUE);
  }
}

void Redraw(HWND window) {
  Canvas& canvas = *CanvasOf(window);
  Replan(canvas);
  UpdateScrollBars(window, canvas);
  InvalidateRect(window, nullptr, FALSE);
}

void Scroll(HWND window, int bar, int request) {
  Canvas& canvas = *CanvasOf(window);
  SCROLLINFO info = {};
  info.cbSize = sizeof info;
  info.fMask = SIF_ALL;
  GetScrollInfo(window, bar, &info);
  int position = info.nPos;
  switch (request) {
    case SB_LINEUP: position -= kScrollLine; break;
    case SB_LINEDOWN: position += kScrollLine; break;
    case SB_PAGEUP: position -= int(info.nPage); break;
    case SB_PAGEDOWN: position += int(info.nPage); break;
    case SB_THUMBTRACK: position = info.nTrackPos; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = info.nMax; break;
  }
  (bar == SB_HORZ ? canvas.scrollX : canvas.scrollY) = position;
  UpdateScrollBars(window, canvas);
  InvalidateRect(window, nullptr, FALSE);
}

// The exposed part: the canvas at 1x under it, stretched by the zoom; white beyond.
void Paint(HWND window) {
  Canvas& canvas = *CanvasOf(window);
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window, &paint);
  FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const int zoom = canvas.options.zoom;
  const RECT& exposed = paint.rcPaint;
  const PixelArea area = {
      int(exposed.left + canvas.scrollX) / zoom, int(exposed.top + canvas.scrollY) / zoom,
      std::min(canvas.plan.canvasWidth, int(exposed.right + canvas.scrollX + zoom - 1) / zoom),
      std::min(canvas.plan.canvasHeight, int(exposed.bottom + canvas.scrollY + zoom - 1) / zoom)};
  if (!IsEmptyArea(area)) {
    const PreviewPixels pixels = RenderPreview(window, area);
    BITMAPINFO info = {};
    info.bmiHeader = BitmapHeader(pixels.width, pixels.height, 32);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchDIBits(dc, area.left * zoom - canvas.scrollX, area.top * zoom - canvas.scrollY,
                  pixels.width * zoom, pixels.height * zoom, 0, 0, pixels.width, pixels.height,
                  pixels.pixels.data(), &info, DIB_RGB_COLORS, SRCCOPY);
  }
  EndPaint(window, &paint);
}

LRESULT CALLBACK PreviewCanvasProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(new Canvas));
      break;
    case WM_NCDESTROY: {
      Canvas* canvas = CanvasOf(window);
      DropFont(*canvas);
      delete canvas;
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      break;
    }
    case WM_SIZE: UpdateScrollBars(window, *CanvasOf(window)); return 0;
    case WM_HSCROLL: Scroll(window, SB_HORZ, LOWORD(wParam)); return 0;
    case WM_VSCROLL: Scroll(window, SB_VERT, LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL:
      Scroll(window, SB_VERT, GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? SB_LINEUP : SB_LINEDOWN);
      return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: Paint(window); return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

void RegisterPreviewCanvasClass() {
  WNDCLASSEXW windowClass = {};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = PreviewCanvasProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  windowClass.lpszClassName = kPreviewCanvasClass;
  RegisterClassExW(&windowClass);
}

void ShowPreviewText(HWND window, const uint8_t* image, const std::string& utf8,
                     const std::bitset<kCodeCount>& pendingCodes) {
  Canvas& canvas = *CanvasOf(window);
  canvas.layout = image ? LayOutUtf8Text(image, utf8.data(), utf8.size()) : TextLayout();
  canvas.utf8 = image ? utf8 : std::string();
  canvas.pendingCodes = image ? pendingCodes : std::bitset<kCodeCount>();
  Redraw(window);
}

void SetPreviewOptions(HWND window, const PreviewOptions& options) {
  Canvas& canvas = *CanvasOf(window);
  canvas.options = options;
  canvas.options.zoom = std::clamp(options.zoom, 1, kMaxPreviewZoom);
  Redraw(window);
}

void UsePreviewFont(HWND window, const std::string& font, int pixelSize) {
  Canvas& canvas = *CanvasOf(window);
  DropFont(canvas);
  canvas.font = font;
  canvas.fontSize = pixelSize;
  canvas.fontTried = false;
  canvas.fontFailure.clear();
  TakeFontOpenedAhead(canvas);
  InvalidateRect(window, nullptr, FALSE);
}

void OpenPreviewFontAhead(const std::string& font, int pixelSize) {
  if (g_ahead.thread) return;
  g_ahead.opening.reset(new FontOpening{font, pixelSize, FontFace(), ""});
  g_ahead.thread = CreateThread(nullptr, 0, OpenAtSizeOnThread, g_ahead.opening.get(), 0, nullptr);
  if (!g_ahead.thread) g_ahead.opening.reset();
}

std::string PreviewFontFailure(HWND window) { return CanvasOf(window)->fontFailure; }

SIZE PreviewCanvasSize(HWND window) {
  const Canvas& canvas = *CanvasOf(window);
  return {canvas.plan.canvasWidth, canvas.plan.canvasHeight};
}

PreviewPixels RenderPreview(HWND window, const PixelArea& area) {
  Canvas& canvas = *CanvasOf(window);
  PreviewPixels out;
  out.width = std::max(0, area.right - area.left);
  out.height = std::max(0, area.bottom - area.top);
  out.pixels.assign(size_t(out.width) * out.height, kWhite);
  Target target = {area, &out};
  OpenChosenFont(window, canvas);
  DrawGrid(canvas, target);
  for (const PreviewBox& box : canvas.plan.boxes) {
    const PixelArea pixels = PixelsOfBox(box.rect, area);
    if (IsEmptyArea(pixels)) continue;
    if (box.filled) FillBox(target, pixels, PreviewColorOf(PreviewInk::PlaceholderFill));
    if (box.drawsCharacter) DrawCharacter(canvas, target, box);
    if (box.drawsFrame) DrawFrame(target, pixels, PreviewColorOf(box.frameInk), box.dashedFrame);
  }
  return out;
}
