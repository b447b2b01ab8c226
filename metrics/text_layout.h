// Text laid out with the metrics image: where each character's box lands on a
// line, as the file's values place it. The editor's preview draws this layout,
// quorvel-cli renders it, and measurements from a font are checked against it.
//
// The model (y grows downward; all arithmetic in double precision):
// - The pen starts at x = 0 on the first line, whose top is y = 0.
// - A single-byte character uses its own code's record; a double-byte character
//   uses slot 16, the full-width metrics.
// - A character's box is at x = pen + SpacingLeft, y = line top + OffsetY, of size
//   Width x Height; the pen then advances by SpacingLeft + Width + SpacingRight.
// - A record with zero Width and Height but a spacing (a space) advances the pen
//   and leaves no box.
// - A character without a usable record gets a placeholder box: no Shift-JIS code
//   (a lone lead byte, an undefined pair, a character the code page lacks), a record
//   whose five values are all zero, or one holding a value that is not finite (NaN
//   or an infinity places nothing). The placeholder is a square at the pen on the
//   line top, its side slot 16's Height (16 when that is not a positive finite
//   number); the pen advances by the side.
// - A line break ("\n", "\r\n" or "\r") moves the pen back to 0 and the line top
//   down by slot 16's Height + the line spacing (by the placeholder's side when that
//   sum is not finite).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

enum class BoxKind : uint8_t {
  Glyph,        // a character drawn with its record
  Placeholder,  // a character without a usable record
};

struct TextBox {
  BoxKind kind = BoxKind::Glyph;
  uint8_t code = 0;  // the record used: the byte, or 16 for a double-byte character and
                    // for a character without a code
  uint32_t textOffset = 0;  // where the character starts in the text laid out, in bytes
  uint32_t textLength = 0;  // its length in bytes
  double x = 0, y = 0, width = 0, height = 0;
};

// The boxes in text order, and the rectangle that holds them and every position the
// pen reached (the origin included): what a drawing of the layout must show.
struct TextLayout {
  std::vector<TextBox> boxes;
  double left = 0, top = 0, right = 0, bottom = 0;
  int lineCount = 1;
  double lineStep = 0;         // how far each line break moves the line top
  double placeholderSide = 0;  // the side of a placeholder square: the full-width height
};

// Lays out length bytes of Shift-JIS text over image (kMetricsImageSize bytes).
TextLayout LayOutText(const uint8_t* image, const char* shiftJis, size_t length);

// The same for UTF-8 text, each character converted to Shift-JIS on its own; the
// boxes' offsets are into the UTF-8 text. Malformed UTF-8 is one byte without a code.
TextLayout LayOutUtf8Text(const uint8_t* image, const char* utf8, size_t length);
