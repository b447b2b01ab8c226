// Value editing over the metrics image, with no window code: the texts the value
// fields show for a record, and applying the fields' texts to the line spacing and
// to one code or a whole character class. The editor's field glue and quorvel-cli
// both build on these.
#pragma once

#include <cstdint>

#include "metrics_format.h"
#include "number_format.h"

// The six value fields in control order: Width ... OffsetY, then the line spacing.
constexpr int kValueFieldCount = 6;
constexpr int kLineSpacingField = 5;

struct RecordTexts {
  char field[kValueFieldCount][kNumberTextSize];
};

// The texts the value fields show for code: its five values and the line spacing,
// each widened to double and formatted with FormatNumber.
void FormatRecordFields(const uint8_t* image, uint8_t code, RecordTexts* out);

// One field's text as read by ParseNumber. An empty text or a lone sign holds no
// number: the stored value stays as it is, in either mode. A field left as it was
// shown carries the exact value behind it instead: in absolute mode that value is
// stored bit for bit, since seven digits do not always give it back.
struct FieldValue {
  bool present = false;
  double value = 0;
  bool exact = false;    // exactValue is what an absolute change stores
  float exactValue = 0;
};
FieldValue ReadFieldText(const char* text);

// The texts the value fields were last given for a record, and the values behind
// them; remembered is false once the fields were set otherwise (cleared, or no
// record shown yet).
struct ShownFields {
  bool remembered = false;
  RecordTexts texts;
  float values[kValueFieldCount] = {};
};

// Formats code's fields as FormatRecordFields does and remembers their values.
void ShowRecordFields(const uint8_t* image, uint8_t code, ShownFields* shown);

// Marks field (0-5, kLineSpacingField last) as exact when text is still exactly the
// text shown for it.
void KeepShownValue(const ShownFields& shown, int field, const char* text, FieldValue* value);

enum class ValueMode { Absolute, Relative };

// What the change command applies: the mode and the six fields' values.
struct RecordEdit {
  ValueMode mode = ValueMode::Absolute;
  FieldValue values[kEditedValueCount];  // Width ... OffsetY
  FieldValue lineSpacing;
};

enum class EditScope { CurrentCode, FullWidth, HalfKana, HalfAlnum };

// The first checked box decides, in the order full-width, half-width katakana,
// half-width alphanumerics; with none checked the scope is the current code.
EditScope ScopeFromBoxes(bool fullWidth, bool halfKana, bool halfAlnum);

// Stores the edit's five values into values 8-12 of code's record: absolute, or
// added in double precision to the stored value; rounded to single precision
// (nearest, ties to even). Values 0-7 and 13 are never touched.
void StoreRecordValues(uint8_t* image, uint8_t code, const RecordEdit& edit);

// Stores the edit's line spacing at file offset 0, like a record value.
void StoreLineSpacing(uint8_t* image, const RecordEdit& edit);

// Whole-record copies between the image and a 56-byte transfer buffer.
void CopyRecordOut(const uint8_t* image, uint8_t code, uint8_t* buffer);
void CopyRecordIn(uint8_t* image, uint8_t code, const uint8_t* buffer);

// The change command's edit of the image: the line spacing, then the records of the
// scope. Full width stores into 16 and 21, zeroes 17 and 22, and sets 19 and 24 to
// records whose only non-zero value is Width = round-half-even(Width of 16 / 2).
// Half-width katakana stores into 18, 23 and 0xA1-0xDF; half-width alphanumerics
// into 0x20-0x7F; the current code into that one record.
void ApplyRecordEdit(uint8_t* image, const RecordEdit& edit, EditScope scope, uint8_t currentCode);

// The Width that the full-width edit gives slots 19 and 24: Width of slot 16 halved
// in double precision and rounded half to even, then to single precision
// (7 -> 4, 5 -> 2, -1 -> -0).
float HalfWidthOfFullWidth(const uint8_t* image);
