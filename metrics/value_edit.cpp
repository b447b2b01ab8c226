#include "value_edit.h"

#include <cmath>
#include <cstring>

#include "number_parse.h"

namespace {

// Rounds to the nearest integer, ties to even, whatever the rounding mode of the
// floating-point environment: 3.5 -> 4, 2.5 -> 2, -0.5 -> -0.
double RoundHalfEven(double x) {
  if (!(std::fabs(x) < 4503599627370496.0)) return x;  // 2^52 and up, inf, NaN: integral
  double whole = std::trunc(x);
  double fraction = std::fabs(x - whole);  // exact below 2^52
  bool awayFromZero = fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0);
  if (!awayFromZero) return whole;
  return whole + (x < 0 ? -1.0 : 1.0);
}

// Writes a field's value at offset: the number itself, or in relative mode the
// stored value plus the number, added in double precision; rounded once to single
// precision. A field without a number leaves the bytes alone.
void StoreField(uint8_t* image, uint32_t offset, const FieldValue& field, ValueMode mode) {
  if (!field.present) return;
  if (field.exact && mode == ValueMode::Absolute) {
    WriteSingle(image, offset, field.exactValue);
    return;
  }
  double value = field.value;
  if (mode == ValueMode::Relative) value += static_cast<double>(ReadSingle(image, offset));
  WriteSingle(image, offset, static_cast<float>(value));
}

// Full-width metrics live in two slots that receive the same edit; 17 and 22 are
// cleared, and 19 and 24 carry the half-width advance derived from the new width.
void ApplyFullWidth(uint8_t* image, const RecordEdit& edit) {
  StoreRecordValues(image, kFullWidthSlot, edit);
  StoreRecordValues(image, kFullWidthTwinSlot, edit);

  uint8_t buffer[kRecordSize] = {};
  CopyRecordIn(image, kFullWidthClearedSlot, buffer);
  CopyRecordIn(image, kFullWidthClearedTwinSlot, buffer);

  WriteSingle(buffer, 4 * Width, HalfWidthOfFullWidth(image));
  CopyRecordIn(image, kHalfWidthSlot, buffer);
  CopyRecordIn(image, kHalfWidthTwinSlot, buffer);
}

void ApplyToCodes(uint8_t* image, const RecordEdit& edit, int first, int last) {
  for (int code = first; code <= last; ++code) {
    StoreRecordValues(image, static_cast<uint8_t>(code), edit);
  }
}

}  // namespace

float HalfWidthOfFullWidth(const uint8_t* image) {
  double half = static_cast<double>(ReadRecordValue(image, kFullWidthSlot, Width)) / 2.0;
  return static_cast<float>(RoundHalfEven(half));
}

void FormatRecordFields(const uint8_t* image, uint8_t code, RecordTexts* out) {
  FormatNumber(static_cast<double>(ReadLineSpacing(image)), out->field[kLineSpacingField]);
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    float value = ReadRecordValue(image, code, kFirstEditedValue + i);
    FormatNumber(static_cast<double>(value), out->field[i]);
  }
}

void ShowRecordFields(const uint8_t* image, uint8_t code, ShownFields* shown) {
  FormatRecordFields(image, code, &shown->texts);
  shown->values[kLineSpacingField] = ReadLineSpacing(image);
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    shown->values[i] = ReadRecordValue(image, code, kFirstEditedValue + i);
  }
  shown->remembered = true;
}

void KeepShownValue(const ShownFields& shown, int field, const char* text, FieldValue* value) {
  if (!shown.remembered || std::strcmp(text, shown.texts.field[field]) != 0) return;
  value->exact = true;
  value->exactValue = shown.values[field];
}

FieldValue ReadFieldText(const char* text) {
  FieldValue field;
  const char* afterSign = (text[0] == '+' || text[0] == '-') ? text + 1 : text;
  if (*afterSign == 0) return field;  // empty, or a sign with no number after it
  field.present = true;
  ParseNumber(text, &field.value);
  return field;
}

EditScope ScopeFromBoxes(bool fullWidth, bool halfKana, bool halfAlnum) {
  if (fullWidth) return EditScope::FullWidth;
  if (halfKana) return EditScope::HalfKana;
  if (halfAlnum) return EditScope::HalfAlnum;
  return EditScope::CurrentCode;
}

void StoreRecordValues(uint8_t* image, uint8_t code, const RecordEdit& edit) {
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    StoreField(image, ValueOffset(code, kFirstEditedValue + i), edit.values[i], edit.mode);
  }
}

void StoreLineSpacing(uint8_t* image, const RecordEdit& edit) {
  StoreField(image, kLineSpacingOffset, edit.lineSpacing, edit.mode);
}

void CopyRecordOut(const uint8_t* image, uint8_t code, uint8_t* buffer) {
  std::memcpy(buffer, image + RecordOffset(code), kRecordSize);
}

void CopyRecordIn(uint8_t* image, uint8_t code, const uint8_t* buffer) {
  std::memcpy(image + RecordOffset(code), buffer, kRecordSize);
}

void ApplyRecordEdit(uint8_t* image, const RecordEdit& edit, EditScope scope, uint8_t currentCode) {
  StoreLineSpacing(image, edit);
  switch (scope) {
    case EditScope::FullWidth:
      ApplyFullWidth(image, edit);
      break;
    case EditScope::HalfKana:
      StoreRecordValues(image, kHalfKanaSlot, edit);
      StoreRecordValues(image, kHalfKanaTwinSlot, edit);
      ApplyToCodes(image, edit, kHalfKanaFirst, kHalfKanaLast);
      break;
    case EditScope::HalfAlnum:
      ApplyToCodes(image, edit, kHalfAlnumFirst, kHalfAlnumLast);
      break;
    case EditScope::CurrentCode:
      StoreRecordValues(image, currentCode, edit);
      break;
  }
}
