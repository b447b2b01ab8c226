// render FILE TEXT -o OUT.svg [--scale N]: the text laid out with the file's values,
// drawn as the editor's preview draws it, as an SVG picture.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "commands.h"
#include "output_file.h"
#include "preview_plan.h"
#include "report.h"
#include "text_layout.h"

namespace {

constexpr char kRenderHelp[] =
    R"(TEXT is UTF-8; each character is laid out with its own record, a double-byte
character with the full-width record (code 16), as the editor's preview does.
Glyph boxes are outlined in blue with the character fitted into the box (none
for a code without a visible character: control codes, 0x80, 0xA0, 0xFD-0xFF);
a character without a usable record is a red square. A line break in TEXT
starts a new line.

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

// The character as XML text.
std::string XmlText(const std::string& character) {
  std::string text;
  for (char c : character) {
    switch (c) {
      case '&': text += "&amp;"; break;
      case '<': text += "&lt;"; break;
      case '>': text += "&gt;"; break;
      case '"': text += "&quot;"; break;
      case '\'': text += "&apos;"; break;
      default: text += c;
    }
  }
  return text;
}

bool IsFinite(const PreviewRect& rect) {
  return std::isfinite(rect.x) && std::isfinite(rect.y) && std::isfinite(rect.width) &&
         std::isfinite(rect.height);
}

std::string RectAttributes(const PreviewRect& rect) {
  return "x=\"" + SvgNumber(rect.x) + "\" y=\"" + SvgNumber(rect.y) + "\" width=\"" +
         SvgNumber(rect.width) + "\" height=\"" + SvgNumber(rect.height) + "\"";
}

// How far a gothic Japanese font's baseline lies below the top of its line, and a
// character's nominal advance, in ems: a whole em for a double-byte character, half
// for a single-byte one.
constexpr double kAscentEms = 0.88;
constexpr double kFullWidthAdvanceEms = 1.0;
constexpr double kHalfWidthAdvanceEms = 0.5;

// The character fitted to its box. The preview scales the glyph's advance to the
// box width and the font's line height to the box height; SVG knows no font
// metrics, so the em takes the box height, the advance is pinned to its nominal
// width (textLength, for renderers that honour it) and then stretched to the box
// width by the transform, which every renderer applies. A box too flat for that
// stretch to be a number (a height near the smallest double, whose half-em advance
// rounds to 0) gets no text: "" then, and the box shows its frame only.
std::string GlyphText(const PreviewBox& box, const std::string& character) {
  const PreviewRect& rect = box.rect;
  double em = rect.height;
  double advance = em * (box.doubleByte ? kFullWidthAdvanceEms : kHalfWidthAdvanceEms);
  double stretch = rect.width / advance;
  if (!std::isfinite(stretch)) return "";
  return "<text transform=\"translate(" + SvgNumber(rect.x) + " " + SvgNumber(rect.y) + ") scale(" +
         SvgNumber(stretch) + " 1)\" y=\"" + SvgNumber(em * kAscentEms) + "\" font-size=\"" +
         SvgNumber(em) + "\" textLength=\"" + SvgNumber(advance) +
         "\" lengthAdjust=\"spacingAndGlyphs\">" + character + "</text>\n";
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

// One box as the plan draws it: its rectangle, then its character.
std::string BoxElements(const PreviewBox& box, const std::string& utf8) {
  std::string elements;
  if (box.filled || box.drawsFrame) elements += RectElement(box);
  if (box.drawsCharacter) {
    elements += GlyphText(box, XmlText(utf8.substr(box.textOffset, box.textLength)));
  }
  return elements;
}

// The whole picture, or "" when the layout at this scale is beyond a double.
std::string SvgText(const TextLayout& layout, const std::string& utf8, double scale) {
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
  svg += "<g stroke-width=\"" + SvgNumber(kStrokeWidth) + "\" font-family=\"sans-serif\">\n";
  // The layout's own coordinates, every glyph outlined, text at any size.
  PreviewPlanOptions options;
  options.scale = scale;
  options.onCanvas = false;
  options.capGlyphSide = false;
  for (const PreviewBox& box : PlanPreview(layout, options).boxes) svg += BoxElements(box, utf8);
  return svg + "</g>\n</svg>\n";
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
  app.footer(kRenderHelp);
}

int RunRender(const CommandOptions& options, LoadedFiles& loaded) {
  const std::string& text = options.render.text;
  TextLayout layout = LayOutUtf8Text(loaded.docs[0].image, text.data(), text.size());
  std::string svg = SvgText(layout, text, options.render.scale);
  if (svg.empty()) {
    ReportError("render", "the layout times --scale " + SvgNumber(options.render.scale) +
                              " is too large to draw");
    return kExitError;
  }
  ReadFile input = FileBehindInput(options.file);
  return WriteOutput(options.render.output, svg, input) ? kExitOk : kExitError;
}
