#include "text_layout.h"

#include <algorithm>
#include <cmath>

#include "metrics_format.h"
#include "shift_jis.h"

namespace {

constexpr double kDefaultPlaceholderSide = 16;

// The running state of a layout: the pen, the line top and the result so far.
struct Pen {
  const uint8_t* image = nullptr;
  double x = 0;
  double lineTop = 0;
  TextLayout layout;
};

double RecordValue(const uint8_t* image, uint8_t code, uint32_t value) {
  return ReadRecordValue(image, code, value);
}

// The extent grows to hold a point; points that are not finite are never stored.
void Include(TextLayout& layout, double x, double y) {
  if (!std::isfinite(x) || !std::isfinite(y)) return;
  layout.left = std::min(layout.left, x);
  layout.right = std::max(layout.right, x);
  layout.top = std::min(layout.top, y);
  layout.bottom = std::max(layout.bottom, y);
}

void AddBox(Pen& pen, const TextBox& box) {
  pen.layout.boxes.push_back(box);
  Include(pen.layout, box.x, box.y);
  Include(pen.layout, box.x + box.width, box.y + box.height);
}

void StartPen(Pen& pen) {
  const double fullHeight = RecordValue(pen.image, kFullWidthSlot, Height);
  const bool usable = std::isfinite(fullHeight) && fullHeight > 0;
  pen.layout.placeholderSide = usable ? fullHeight : kDefaultPlaceholderSide;
  const double step = fullHeight + ReadLineSpacing(pen.image);
  pen.layout.lineStep = std::isfinite(step) ? step : pen.layout.placeholderSide;
}

void BreakLine(Pen& pen) {
  pen.x = 0;
  pen.lineTop += pen.layout.lineStep;
  ++pen.layout.lineCount;
  Include(pen.layout, 0, pen.lineTop);
}

void PlacePlaceholder(Pen& pen, TextBox box) {
  box.kind = BoxKind::Placeholder;
  box.x = pen.x;
  box.y = pen.lineTop;
  box.width = box.height = pen.layout.placeholderSide;
  AddBox(pen, box);
  pen.x += pen.layout.placeholderSide;
  Include(pen.layout, pen.x, pen.lineTop);
}

// A record places its character when its five values are finite and not all zero.
bool IsUsableRecord(const uint8_t* image, uint8_t code) {
  bool anyNonZero = false;
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    const double value = RecordValue(image, code, kFirstEditedValue + i);
    if (!std::isfinite(value)) return false;
    anyNonZero = anyNonZero || value != 0;
  }
  return anyNonZero;
}

void PlaceCharacter(Pen& pen, TextBox box) {
  const uint8_t code = box.code;
  if (!IsUsableRecord(pen.image, code)) {
    PlacePlaceholder(pen, box);
    return;
  }
  const double left = RecordValue(pen.image, code, SpacingLeft);
  box.x = pen.x + left;
  box.y = pen.lineTop + RecordValue(pen.image, code, OffsetY);
  box.width = RecordValue(pen.image, code, Width);
  box.height = RecordValue(pen.image, code, Height);
  if (box.width != 0 || box.height != 0) AddBox(pen, box);
  pen.x += left + box.width + RecordValue(pen.image, code, SpacingRight);
  Include(pen.layout, pen.x, pen.lineTop);
}

// The length of a line break at text, or 0 when none starts there.
size_t LineBreakLength(const char* text, size_t remaining) {
  if (text[0] == '\n') return 1;
  if (text[0] != '\r') return 0;
  return remaining > 1 && text[1] == '\n' ? 2 : 1;
}

// One character of Shift-JIS: its box before placing (code and text span), or a
// placeholder when the bytes are no character.
TextBox ShiftJisCharacterAt(const char* text, size_t remaining, uint32_t offset, bool* known) {
  TextBox box;
  box.textOffset = offset;
  const auto first = static_cast<uint8_t>(text[0]);
  if (!IsShiftJisLeadByte(first)) {
    box.code = first;
    box.textLength = 1;
    *known = true;
    return box;
  }
  box.code = kFullWidthSlot;
  if (remaining < 2) {
    box.textLength = 1;
    *known = false;
    return box;
  }
  // CharacterOfShiftJis reads a NUL-terminated pair.
  const char pair[3] = {text[0], text[1], '\0'};
  size_t length = 0;
  *known = CharacterOfShiftJis(pair, &length) >= 0;
  box.textLength = static_cast<uint32_t>(length);
  return box;
}

// One character of UTF-8, by its Shift-JIS form.
TextBox Utf8CharacterAt(const char* text, size_t remaining, uint32_t offset, bool* known) {
  TextBox box;
  box.textOffset = offset;
  box.textLength = 1;
  box.code = kFullWidthSlot;
  *known = false;
  // DecodeUtf8 reads a NUL-terminated text: give it at most one character's bytes.
  char bytes[5] = {};
  std::copy_n(text, std::min<size_t>(remaining, 4), bytes);
  uint32_t codePoint = 0;
  const size_t length = DecodeUtf8(bytes, &codePoint);
  if (length == 0) return box;
  box.textLength = static_cast<uint32_t>(length);
  const ShiftJisCharacter character = ShiftJisOfCharacter(codePoint);
  if (character.length == 0) return box;
  *known = true;
  box.code = character.length == 1 ? character.bytes[0] : kFullWidthSlot;
  return box;
}

template <typename ReadCharacter>
TextLayout LayOut(const uint8_t* image, const char* text, size_t length, ReadCharacter read) {
  Pen pen;
  pen.image = image;
  StartPen(pen);
  size_t at = 0;
  while (at < length) {
    if (size_t breakLength = LineBreakLength(text + at, length - at)) {
      BreakLine(pen);
      at += breakLength;
      continue;
    }
    bool known = false;
    TextBox box = read(text + at, length - at, static_cast<uint32_t>(at), &known);
    if (known) {
      PlaceCharacter(pen, box);
    } else {
      PlacePlaceholder(pen, box);
    }
    at += box.textLength;
  }
  return std::move(pen.layout);
}

}  // namespace

TextLayout LayOutText(const uint8_t* image, const char* shiftJis, size_t length) {
  return LayOut(image, shiftJis, length, ShiftJisCharacterAt);
}

TextLayout LayOutUtf8Text(const uint8_t* image, const char* utf8, size_t length) {
  return LayOut(image, utf8, length, Utf8CharacterAt);
}
