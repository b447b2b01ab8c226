// render FILE TEXT -o OUT.svg [--scale N] [--font F]: the text laid out with the
// file's values, drawn as the editor's preview draws it, as an SVG picture.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "commands.h"
#include "output_file.h"
#include "preview_font.h"
#include "preview_plan.h"
#include "report.h"
#include "text_layout.h"

namespace {

constexpr char kRenderHelp[] =
    R"(TEXT is UTF-8; each character is laid out with its own record, a double-byte
character with the full-width record (code 16), as the editor's preview does.
Glyph boxes are outlined in blue; a character without a usable record is a red
square. A line break in TEXT starts a new line.

Each character is drawn as a <path> from the font's outline of its glyph: the
glyph's ink box (the control box of its unhinted outline) is stretched onto the
box, edge onto edge. Values measured from the same font (measure) therefore
draw each glyph where the font itself renders it. --font takes a font file or
an installed family as measure does; without it the editor dialog's font is
used (MS Gothic, else VL Gothic, else IPAGothic). With none of them installed
only the boxes are drawn, and a warning says so. A character the font lacks,
and a code without a visible character (control codes, 0x80, 0xA0,
0xFD-0xFF), draw their box only.

Coordinates are the file's units times --scale: a box at x 12.5 is drawn at
x="37.5" with --scale 3, numbers written so that they read back exactly. "-o -"
writes the picture to standard output.

OUT.svg is written to a new file beside it, which then replaces it in one step:
a failure leaves an old OUT.svg as it was. The metrics file read (under any of
its names), and a symbolic link, directory, FIFO or device at OUT.svg, are
refused and left alone.)";

// One stroke width of room around the layout, so that outlines on its edge show
// whole (the preview keeps a margin for the same reason).
constexpr double kStrokeWidth = 1;

// "--scale" must be a positive finite number; CLI11 reports the text returned.
std::string CheckScale(const std::string& text) {
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  bool number = !text.empty() && !std::isspace(static_cast<unsigned char>(text[0])) &&
                end == text.c_str() + text.size();
  if (number && std::isfinite(value) && value > 0) return "";
  return "\"" + text + "\" is not a positive finite number";
}

// The shortest text that reads back as value, so that coordinates compare exactly.
std::string SvgNumber(double value) {
  char text[32];
  std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
  return std::string(text, written.ptr);
}

bool IsFinite(const PreviewRect& rect) {
  return std::isfinite(rect.x) && std::isfinite(rect.y) && std::isfinite(rect.width) &&
         std::isfinite(rect.height);
}

std::string RectAttributes(const PreviewRect& rect) {
  return "x=\"" + SvgNumber(rect.x) + "\" y=\"" + SvgNumber(rect.y) + "\" width=\"" +
         SvgNumber(rect.width) + "\" height=\"" + SvgNumber(rect.height) + "\"";
}

// A path coordinate: seven significant digits keep a glyph's shape to a
// ten-millionth of where it stands, at any --scale, in a few characters. "" when
// not finite.
std::string PathNumber(double value) {
  if (!std::isfinite(value)) return "";
  char text[32];
  std::to_chars_result written =
      std::to_chars(text, text + sizeof text, value, std::chars_format::general, 7);
  return std::string(text, written.ptr);
}

// The glyphs loaded so far, by character: each is loaded once however often it is
// drawn.
using GlyphCache = std::map<uint32_t, PreviewGlyph>;

const PreviewGlyph& GlyphOf(const FontFace& face, uint32_t character, GlyphCache& cache) {
  auto found = cache.find(character);
  if (found == cache.end())
    found = cache.emplace(character, LoadPreviewGlyph(face, character)).first;
  return found->second;
}

// The path data of an outline placed by transform: "M x y L x y Q ... Z", each
// contour closed; "" when a point lands beyond a double.
std::string PathData(const GlyphOutline& outline, const InkTransform& transform) {
  static const char kLetters[] = {'M', 'L', 'Q', 'C'};
  std::string data;
  for (const OutlineCommand& command : outline.commands) {
    if (command.verb == OutlineVerb::MoveTo && !data.empty()) data += "Z";
    data += kLetters[static_cast<int>(command.verb)];
    for (int i = 0; i < PointsOfVerb(command.verb); ++i) {
      const OutlinePoint& point = command.points[i];
      const std::string x =
          PathNumber(transform.scaleX * static_cast<double>(point.x) + transform.offsetX);
      const std::string y =
          PathNumber(transform.scaleY * static_cast<double>(point.y) + transform.offsetY);
      if (x.empty() || y.empty()) return "";
      data += (i == 0 ? "" : " ") + x + " " + y;
    }
  }
  return data.empty() ? data : data + "Z";
}

// The character's glyph with its ink box on the box; "" for a character the font
// lacks, a glyph with no ink, and a box the ink cannot be stretched to in finite
// numbers (the box then shows its frame only).
std::string GlyphPath(const PreviewBox& box, const std::string& utf8, const FontFace& face,
                      GlyphCache& cache) {
  const PreviewGlyph& glyph = GlyphOf(face, CharacterOfBox(box, utf8), cache);
  InkTransform transform;
  if (!glyph.drawable || !MapInkToBox(glyph.ink, box.rect, &transform)) return "";
  const std::string data = PathData(glyph.outline, transform);
  if (data.empty()) return "";
  const char* rule = glyph.outline.evenOdd ? " fill-rule=\"evenodd\"" : "";
  return "<path class=\"character\" d=\"" + data + "\"" + rule + "/>\n";
}

std::string SvgColor(PreviewInk ink) { return SvgColorText(PreviewColorOf(ink)); }

// A box's rectangle: filled (a placeholder) or not, outlined or not.
std::string RectElement(const PreviewBox& box) {
  const PreviewInk fill = PreviewInk::PlaceholderFill;
  std::string paint = box.filled ? "fill=\"" + SvgColor(fill) + "\" fill-opacity=\"" +
                                       SvgOpacityText(PreviewColorOf(fill)) + "\""
                                 : "fill=\"none\"";
  paint += " stroke=\"" + (box.drawsFrame ? SvgColor(box.frameInk) : "none") + "\"";
  const char* kind = box.kind == BoxKind::Placeholder ? "placeholder" : "glyph";
  return std::string("<rect class=\"") + kind + "\" " + RectAttributes(box.rect) + " " + paint +
         "/>\n";
}

// One box as the plan draws it: its rectangle, then its character when there is a
// font to draw it with.
std::string BoxElements(const PreviewBox& box, const std::string& utf8, const FontFace* face,
                        GlyphCache& cache) {
  std::string elements;
  if (box.filled || box.drawsFrame) elements += RectElement(box);
  if (box.drawsCharacter && face) elements += GlyphPath(box, utf8, *face, cache);
  return elements;
}

// The whole picture, or "" when the layout at this scale is beyond a double.
std::string SvgText(const TextLayout& layout, const std::string& utf8, double scale,
                    const FontFace* face) {
  PreviewRect view = {layout.left * scale - kStrokeWidth, layout.top * scale - kStrokeWidth,
                      (layout.right - layout.left) * scale + 2 * kStrokeWidth,
                      (layout.bottom - layout.top) * scale + 2 * kStrokeWidth};
  if (!IsFinite(view)) return "";
  std::string size =
      "width=\"" + SvgNumber(view.width) + "\" height=\"" + SvgNumber(view.height) + "\"";
  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" " +
      size + " viewBox=\"" + SvgNumber(view.x) + " " + SvgNumber(view.y) + " " +
      SvgNumber(view.width) + " " + SvgNumber(view.height) + "\">\n";
  svg += "<rect class=\"background\" " + RectAttributes(view) + " fill=\"white\"/>\n";
  svg += "<g stroke-width=\"" + SvgNumber(kStrokeWidth) + "\">\n";
  // The layout's own coordinates, every glyph outlined, paths at any size.
  PreviewPlanOptions options;
  options.scale = scale;
  options.onCanvas = false;
  options.capGlyphSide = false;
  GlyphCache glyphs;
  for (const PreviewBox& box : PlanPreview(layout, options).boxes) {
    svg += BoxElements(box, utf8, face, glyphs);
  }
  return svg + "</g>\n</svg>\n";
}

// "MS GOTHIC, VL Gothic, IPAGothic".
std::string DialogFontList() {
  std::string list;
  for (const std::string& family : DialogFontFamilies())
    list += (list.empty() ? "" : ", ") + family;
  return list;
}

// Writes text to path; false after reporting why not. Standard output ("-") is
// flushed and its errors reported when the program ends (FinishOutput).
bool WriteOutput(const std::string& path, const std::string& text, const ReadFile& input) {
  if (path == "-") {
    std::fwrite(text.data(), 1, text.size(), stdout);
    return true;
  }
  return WriteOutputFile(path, text, input);
}

}  // namespace

void DeclareRender(CLI::App& app, CommandOptions& options) {
  app.description("Draws text laid out with a metrics file's values as an SVG picture.");
  app.add_option("FILE", options.file, "the metrics file")->required();
  app.add_option("TEXT", options.render.text, "the text to lay out (UTF-8)")->required();
  app.add_option("-o,--output", options.render.output,
                 "the SVG file to write (- for standard output)")
      ->type_name("OUT.svg")
      ->required();
  // Read with strtod: CLI11 reads a double through a long double, which can round twice.
  app.add_option_function<std::string>(
         "--scale",
         [&options](const std::string& text) {
           options.render.scale = std::strtod(text.c_str(), nullptr);
         },
         "multiply every coordinate by N (default 1)")
      ->type_name("N")
      ->check(CLI::Validator(CheckScale, "", "positive finite"));
  app.add_option("--font", options.render.font,
                 "the font file or installed family to draw with (default: the dialog's)")
      ->type_name("FONT");
  app.footer(kRenderHelp);
}

// The font, before the file is read: --font as measure opens it, else the first of
// the dialog's fonts installed, else none. Outlines are loaded at one large size:
// the ink is stretched to each box whatever size it was measured at.
bool ResolveRender(const CLI::App&, CommandOptions& all) {
  RenderOptions& options = all.render;
  FontFace face;
  if (!options.font.empty()) {
    if (!OpenFontOption("render", options.font, &face)) return false;
  } else if (!OpenDialogFontFace(&face)) {
    return true;
  }
  options.face = std::shared_ptr<FontFace>(new FontFace(face), [](FontFace* open) {
    CloseFontFace(open);
    delete open;
  });
  const int sizeError = SetFontPixelSize(face, kOutlineSize);
  if (sizeError != 0 && !options.font.empty()) {
    ReportError(face.file, "has no outlines to draw: " + FontLibraryErrorText(sizeError));
    return false;
  }
  return true;
}

int RunRender(const CommandOptions& options, LoadedFiles& loaded) {
  const std::string& text = options.render.text;
  TextLayout layout = LayOutUtf8Text(loaded.docs[0].image, text.data(), text.size());
  if (!options.render.face) {
    ReportWarning("render",
                  "none of the dialog's fonts is installed (" + DialogFontList() + "): boxes only");
  }
  std::string svg = SvgText(layout, text, options.render.scale, options.render.face.get());
  if (svg.empty()) {
    ReportError("render", "the layout times --scale " + SvgNumber(options.render.scale) +
                              " is too large to draw");
    return kExitError;
  }
  ReadFile input = FileBehindInput(options.file);
  return WriteOutput(options.render.output, svg, input) ? kExitOk : kExitError;
}
