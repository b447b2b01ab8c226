// Value editing over the image: field texts, stores, scopes and companion slots.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "test_files.h"
#include "value_edit.h"

namespace {

// A byte range [begin, end) of the image that an edit may write.
using Range = std::pair<uint32_t, uint32_t>;

Bytes PatternedImage(uint32_t seed = 1) {
  Bytes image = PatternedFile(seed);
  image.resize(kMetricsImageSize, 0);
  return image;
}

Bytes ZeroImage() { return Bytes(kMetricsImageSize, 0); }

RecordEdit Edit(ValueMode mode, std::vector<const char*> values, const char* lineSpacing = "") {
  RecordEdit edit;
  edit.mode = mode;
  for (size_t i = 0; i < kEditedValueCount; ++i) edit.values[i] = ReadFieldText(values.at(i));
  edit.lineSpacing = ReadFieldText(lineSpacing);
  return edit;
}

uint32_t Bits(float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

float Value(const Bytes& image, uint8_t code, uint32_t value) {
  return ReadRecordValue(image.data(), code, value);
}

void SetValues(Bytes& image, uint8_t code, float width, float height, float left, float right,
               float offsetY) {
  const float values[] = {width, height, left, right, offsetY};
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    WriteSingle(image.data(), ValueOffset(code, kFirstEditedValue + i), values[i]);
  }
}

Range EditedValues(uint8_t code) {
  return {ValueOffset(code, kFirstEditedValue), ValueOffset(code, kFirstEditedValue + kEditedValueCount)};
}
Range WholeRecord(uint8_t code) { return {RecordOffset(code), RecordOffset(code) + kRecordSize}; }
constexpr Range kLineSpacingBytes{0, 4};

// Every byte outside the ranges is as before.
void ExpectOnlyWritten(const Bytes& before, const Bytes& after, const std::vector<Range>& ranges) {
  ASSERT_EQ(before.size(), after.size());
  for (uint32_t i = 0; i < before.size(); ++i) {
    bool writable = false;
    for (const auto& range : ranges) writable |= i >= range.first && i < range.second;
    if (!writable) {
      ASSERT_EQ(before[i], after[i]) << "byte " << i << " changed";
    }
  }
}

const std::vector<const char*> kAllSet = {"1", "2", "3", "4", "5"};

// --- Field texts ------------------------------------------------------------

TEST(ReadFieldText, ReadsTheLeadingNumberOrNothing) {
  struct Case {
    const char* text;
    bool present;
    double value;
  } cases[] = {
      {"12", true, 12},    {"12abc", true, 12}, {"abc", true, 0},  {" 5", true, 0},
      {"+-5", true, 0},    {"-1.5", true, -1.5}, {"0.1", true, 0.1}, {"", false, 0},
      {"+", false, 0},     {"-", false, 0},
  };
  for (const auto& c : cases) {
    FieldValue field = ReadFieldText(c.text);
    EXPECT_EQ(field.present, c.present) << '"' << c.text << '"';
    if (c.present) {
      EXPECT_EQ(field.value, c.value) << '"' << c.text << '"';
    }
  }
  FieldValue negativeZero = ReadFieldText("-abc");
  EXPECT_TRUE(negativeZero.present);
  EXPECT_TRUE(std::signbit(negativeZero.value));
}

TEST(FormatRecordFields, ShowsTheFiveValuesThenTheLineSpacing) {
  Bytes image = ZeroImage();
  SetValues(image, 65, 12, -3, 0.5f, 1.1f, 123.456f);
  WriteSingle(image.data(), kLineSpacingOffset, 4);
  RecordTexts texts;
  FormatRecordFields(image.data(), 65, &texts);
  const char* expected[] = {"12", "-3", "0.5", "1.1", "123.456", "4"};
  for (int i = 0; i < kValueFieldCount; ++i) EXPECT_STREQ(texts.field[i], expected[i]) << i;
}

// --- Storing into one record ------------------------------------------------

TEST(StoreRecordValues, AbsoluteStoresTheLeadingNumber) {
  Bytes image = ZeroImage();
  StoreRecordValues(image.data(), 65, Edit(ValueMode::Absolute, {"12abc", "abc", " 5", "7", "-2"}));
  EXPECT_EQ(Value(image, 65, Width), 12.0f);
  EXPECT_EQ(Value(image, 65, Height), 0.0f);
  EXPECT_EQ(Value(image, 65, SpacingLeft), 0.0f) << "a leading space ends the number";
  EXPECT_EQ(Value(image, 65, SpacingRight), 7.0f);
  EXPECT_EQ(Value(image, 65, OffsetY), -2.0f);
}

TEST(StoreRecordValues, RelativeAddsToTheStoredValue) {
  Bytes image = ZeroImage();
  SetValues(image, 65, 10, 10, 10, 10, 10);
  StoreRecordValues(image.data(), 65, Edit(ValueMode::Relative, {"-1.5", "abc", "2", "0", "1e1"}));
  EXPECT_EQ(Value(image, 65, Width), 8.5f);
  EXPECT_EQ(Value(image, 65, Height), 10.0f) << "no number adds nothing";
  EXPECT_EQ(Value(image, 65, SpacingLeft), 12.0f);
  EXPECT_EQ(Value(image, 65, SpacingRight), 10.0f);
  EXPECT_EQ(Value(image, 65, OffsetY), 20.0f);
}

TEST(StoreRecordValues, PointOneIsStoredAsTheNearestSingleAndShowsAgainAsPointOne) {
  Bytes image = ZeroImage();
  StoreRecordValues(image.data(), 65, Edit(ValueMode::Absolute, {"0.1", "", "", "", ""}));
  EXPECT_EQ(Bits(Value(image, 65, Width)), 0x3DCCCCCDu);
  RecordTexts texts;
  FormatRecordFields(image.data(), 65, &texts);
  EXPECT_STREQ(texts.field[0], "0.1");
}

TEST(StoreRecordValues, RoundsTheDoubleSumOnceToNearestEven) {
  Bytes image = ZeroImage();
  SetValues(image, 65, 1, 16777216, 0, 0, 0);
  // 1 + 2^-24 is a tie between 1 and the next single: it goes to the even one, 1.
  // 2^24 + 1 is a tie between 2^24 and 2^24 + 2: even is 2^24.
  StoreRecordValues(image.data(), 65,
                    Edit(ValueMode::Relative, {"5.9604644775390625e-8", "1", "", "", ""}));
  EXPECT_EQ(Value(image, 65, Width), 1.0f);
  EXPECT_EQ(Value(image, 65, Height), 16777216.0f);
  // 2^24 + 3 ties between 2^24 + 2 and 2^24 + 4: even mantissa is 2^24 + 4.
  StoreRecordValues(image.data(), 65, Edit(ValueMode::Absolute, {"", "16777219", "", "", ""}));
  EXPECT_EQ(Value(image, 65, Height), 16777220.0f);
}

TEST(StoreRecordValues, OutOfRangeNumbersBecomeInfinityOrZero) {
  Bytes image = ZeroImage();
  StoreRecordValues(image.data(), 65, Edit(ValueMode::Absolute, {"1e400", "-1e39", "1e-400", "1e-46", ""}));
  EXPECT_EQ(Value(image, 65, Width), INFINITY);
  EXPECT_EQ(Value(image, 65, Height), -INFINITY);
  EXPECT_EQ(Value(image, 65, SpacingLeft), 0.0f);
  EXPECT_EQ(Value(image, 65, SpacingRight), 0.0f);
}

TEST(StoreRecordValues, Code255WritesTheLastTwentyBytesOfTheFileOnly) {
  Bytes before = PatternedImage(), after = before;
  StoreRecordValues(after.data(), 255, Edit(ValueMode::Absolute, kAllSet));
  ExpectOnlyWritten(before, after, {{14612, 14632}});
  EXPECT_EQ(Value(after, 255, OffsetY), 5.0f);
}

// --- Empty fields: the value stays ------------------------------------------

TEST(EmptyFields, LeaveEveryValueAsItIsInBothModes) {
  for (ValueMode mode : {ValueMode::Absolute, ValueMode::Relative}) {
    for (const char* empty : {"", "+", "-"}) {
      Bytes before = PatternedImage(3), after = before;
      RecordEdit edit = Edit(mode, {empty, empty, empty, empty, empty}, empty);
      for (EditScope scope : {EditScope::CurrentCode, EditScope::HalfKana, EditScope::HalfAlnum}) {
        ApplyRecordEdit(after.data(), edit, scope, 65);
      }
      EXPECT_EQ(after, before) << "mode " << static_cast<int>(mode) << " text \"" << empty << '"';
    }
  }
}

TEST(EmptyFields, SetOnlyTheWidthOfAClass) {
  Bytes before = PatternedImage(4), after = before;
  ApplyRecordEdit(after.data(), Edit(ValueMode::Absolute, {"9", "", "", "", ""}), EditScope::HalfAlnum, 0);
  std::vector<Range> widths;
  for (int code = 0x20; code <= 0x7F; ++code) {
    EXPECT_EQ(Value(after, static_cast<uint8_t>(code), Width), 9.0f) << code;
    uint32_t offset = ValueOffset(static_cast<uint8_t>(code), Width);
    widths.push_back({offset, offset + 4});
  }
  ExpectOnlyWritten(before, after, widths);
}

TEST(EmptyFields, LineSpacingStaysWhenItsFieldIsEmpty) {
  Bytes image = ZeroImage();
  WriteSingle(image.data(), kLineSpacingOffset, 4);
  ApplyRecordEdit(image.data(), Edit(ValueMode::Absolute, kAllSet, ""), EditScope::CurrentCode, 65);
  EXPECT_EQ(ReadLineSpacing(image.data()), 4.0f);
  ApplyRecordEdit(image.data(), Edit(ValueMode::Relative, kAllSet, "-"), EditScope::CurrentCode, 65);
  EXPECT_EQ(ReadLineSpacing(image.data()), 4.0f);
}

// --- Scopes -----------------------------------------------------------------

TEST(ScopeFromBoxes, FirstCheckedBoxDecides) {
  struct Case {
    bool full, kana, alnum;
    EditScope scope;
  } cases[] = {
      {false, false, false, EditScope::CurrentCode}, {false, false, true, EditScope::HalfAlnum},
      {false, true, false, EditScope::HalfKana},     {false, true, true, EditScope::HalfKana},
      {true, false, false, EditScope::FullWidth},    {true, false, true, EditScope::FullWidth},
      {true, true, false, EditScope::FullWidth},     {true, true, true, EditScope::FullWidth},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ScopeFromBoxes(c.full, c.kana, c.alnum), c.scope) << c.full << c.kana << c.alnum;
  }
}

TEST(ApplyRecordEdit, CurrentCodeWritesTheLineSpacingAndThatRecordOnly) {
  Bytes before = PatternedImage(5), after = before;
  ApplyRecordEdit(after.data(), Edit(ValueMode::Absolute, kAllSet, "6"), EditScope::CurrentCode, 65);
  ExpectOnlyWritten(before, after, {kLineSpacingBytes, EditedValues(65)});
  EXPECT_EQ(ReadLineSpacing(after.data()), 6.0f);
  EXPECT_EQ(Value(after, 65, Width), 1.0f);
}

TEST(ApplyRecordEdit, Code255WithNoBoxWritesOffsets0To3And14612To14631) {
  Bytes before = PatternedImage(6), after = before;
  ApplyRecordEdit(after.data(), Edit(ValueMode::Absolute, kAllSet, "1"), EditScope::CurrentCode, 255);
  ExpectOnlyWritten(before, after, {{0, 4}, {14612, 14632}});
}

TEST(ApplyRecordEdit, FullWidthWritesOnlyTheLineSpacingAndItsSixSlots) {
  Bytes before = PatternedImage(7), after = before;
  EditScope scope = ScopeFromBoxes(true, true, true);
  ApplyRecordEdit(after.data(), Edit(ValueMode::Absolute, kAllSet, "1"), scope, 65);
  ExpectOnlyWritten(before, after,
                    {kLineSpacingBytes, EditedValues(16), EditedValues(21), WholeRecord(17),
                     WholeRecord(22), WholeRecord(19), WholeRecord(24)});
  for (uint8_t slot : {uint8_t{17}, uint8_t{22}}) {
    EXPECT_EQ(Bytes(after.begin() + RecordOffset(slot), after.begin() + RecordOffset(slot) + kRecordSize),
              Bytes(kRecordSize, 0))
        << int{slot};
  }
}

TEST(ApplyRecordEdit, HalfKanaWritesItsSlotsAndCodesOnly) {
  Bytes before = PatternedImage(8), after = before;
  ApplyRecordEdit(after.data(), Edit(ValueMode::Absolute, kAllSet, "1"), EditScope::HalfKana, 65);
  std::vector<Range> written = {kLineSpacingBytes, EditedValues(18), EditedValues(23)};
  for (int code = 0xA1; code <= 0xDF; ++code) written.push_back(EditedValues(static_cast<uint8_t>(code)));
  ExpectOnlyWritten(before, after, written);
  for (uint8_t code : {uint8_t{18}, uint8_t{23}, uint8_t{0xA1}, uint8_t{0xDF}}) {
    EXPECT_EQ(Value(after, code, Height), 2.0f) << int{code};
  }
}

TEST(ApplyRecordEdit, HalfAlnumNeverTouchesHighCodesOrTheSpecialSlots) {
  Bytes before = PatternedImage(9), after = before;
  ApplyRecordEdit(after.data(), Edit(ValueMode::Absolute, kAllSet, "1"), EditScope::HalfAlnum, 200);
  std::vector<Range> written = {kLineSpacingBytes};
  for (int code = 0x20; code <= 0x7F; ++code) written.push_back(EditedValues(static_cast<uint8_t>(code)));
  ExpectOnlyWritten(before, after, written);
  EXPECT_EQ(Value(after, 0x20, OffsetY), 5.0f);
  EXPECT_EQ(Value(after, 0x7F, OffsetY), 5.0f);
}

TEST(ApplyRecordEdit, ClassBoundariesChangeAndTheirNeighboursDoNot) {
  struct Case {
    EditScope scope;
    uint8_t first, last, before, after;
  } cases[] = {
      {EditScope::HalfAlnum, 0x20, 0x7F, 0x1F, 0x80},
      {EditScope::HalfKana, 0xA1, 0xDF, 0xA0, 0xE0},
  };
  for (const auto& c : cases) {
    Bytes image = ZeroImage();
    ApplyRecordEdit(image.data(), Edit(ValueMode::Absolute, kAllSet), c.scope, 0);
    EXPECT_EQ(Value(image, c.first, Width), 1.0f) << int{c.first};
    EXPECT_EQ(Value(image, c.last, Width), 1.0f) << int{c.last};
    Bytes zero(kRecordSize, 0);
    for (uint8_t neighbour : {c.before, c.after}) {
      EXPECT_EQ(Bytes(image.begin() + RecordOffset(neighbour),
                      image.begin() + RecordOffset(neighbour) + kRecordSize),
                zero)
          << int{neighbour};
    }
  }
}

// --- Full width and its companions ------------------------------------------

TEST(FullWidth, RelativeIncrementsWithCompanionSlots) {
  Bytes image = PatternedImage(10);
  SetValues(image, 16, 23, 24, 0.5f, 1.5f, -1);
  SetValues(image, 21, 30, 31, 2, 3, 4);
  ApplyRecordEdit(image.data(), Edit(ValueMode::Relative, {"1", "1", "1", "1", "1"}), EditScope::FullWidth, 0);
  EXPECT_EQ(Value(image, 16, Width), 24.0f);
  EXPECT_EQ(Value(image, 16, OffsetY), 0.0f);
  EXPECT_EQ(Value(image, 21, Width), 31.0f) << "each slot adds to its own value";
  EXPECT_EQ(Value(image, 21, SpacingLeft), 3.0f);
  for (uint8_t slot : {uint8_t{19}, uint8_t{24}}) {
    for (uint32_t k = 0; k < kRecordValueCount; ++k) {
      EXPECT_EQ(Value(image, slot, k), k == Width ? 12.0f : 0.0f) << int{slot} << " value " << k;
    }
  }
}

TEST(FullWidth, HalfWidthIsRoundedHalfToEven) {
  struct Case {
    float width, half;
  } cases[] = {
      {7, 4},  {5, 2},   {9, 4},      {8, 4},   {1, 0},    {3, 2},     {0.5f, 0}, {1.5f, 1},
      {-5, -2}, {-7, -4}, {24.2f, 12}, {25, 12}, {1e30f, 5e29f},
  };
  for (const auto& c : cases) {
    Bytes image = ZeroImage();
    std::string width = std::to_string(c.width);
    ApplyRecordEdit(image.data(), Edit(ValueMode::Absolute, {width.c_str(), "", "", "", ""}),
                    EditScope::FullWidth, 0);
    EXPECT_EQ(Value(image, 19, Width), c.half) << "width " << c.width;
    EXPECT_EQ(Value(image, 24, Width), c.half) << "width " << c.width;
  }
}

TEST(FullWidth, NegativeHalfThatRoundsToZeroKeepsItsSign) {
  Bytes image = ZeroImage();
  ApplyRecordEdit(image.data(), Edit(ValueMode::Absolute, {"-1", "", "", "", ""}), EditScope::FullWidth, 0);
  EXPECT_EQ(Bits(Value(image, 19, Width)), 0x80000000u) << "-0.5 rounds to -0";
}

// --- Repeated and line-spacing edits ----------------------------------------

TEST(Relative, ApplyingTwiceAddsTwice) {
  Bytes image = ZeroImage();
  SetValues(image, 65, 10, 10, 10, 10, 10);
  WriteSingle(image.data(), kLineSpacingOffset, 4);
  RecordEdit edit = Edit(ValueMode::Relative, {"1.5", "-1", "0", "2", "0.25"}, "0.5");
  ApplyRecordEdit(image.data(), edit, EditScope::CurrentCode, 65);
  ApplyRecordEdit(image.data(), edit, EditScope::CurrentCode, 65);
  EXPECT_EQ(Value(image, 65, Width), 13.0f);
  EXPECT_EQ(Value(image, 65, Height), 8.0f);
  EXPECT_EQ(Value(image, 65, SpacingRight), 14.0f);
  EXPECT_EQ(Value(image, 65, OffsetY), 10.5f);
  EXPECT_EQ(ReadLineSpacing(image.data()), 5.0f);
}

// Seven significant digits do not reproduce every single: applying what the fields
// show changes a value that nobody edited.
TEST(Absolute, ShownTextsReadBackMayChangeAnUntouchedValue) {
  Bytes image = ZeroImage();
  const float stored = 0.12345679104328155517578125f;
  WriteSingle(image.data(), kLineSpacingOffset, stored);
  RecordTexts shown;
  FormatRecordFields(image.data(), 65, &shown);
  EXPECT_STREQ(shown.field[kLineSpacingField], "0.1234568");
  RecordEdit edit = Edit(ValueMode::Absolute,
                         {shown.field[0], shown.field[1], shown.field[2], shown.field[3], shown.field[4]},
                         shown.field[kLineSpacingField]);
  ApplyRecordEdit(image.data(), edit, EditScope::CurrentCode, 65);
  EXPECT_EQ(Bits(ReadLineSpacing(image.data())), Bits(0.1234568f));
  EXPECT_NE(Bits(ReadLineSpacing(image.data())), Bits(stored));
}

// With the shown values remembered, a field whose text is still the text shown
// stores the exact value behind it, in every record of the scope; other texts are
// read as typed, and relative mode adds the texts as increments.
TEST(ShownFields, UntouchedFieldsStoreTheirExactBits) {
  const float exact = 0.12345679104328155517578125f;  // shown as "0.1234568"
  struct Case {
    const char* label;
    EditScope scope;
    ValueMode mode;
    const char* heightText;  // nullptr: left as shown
    float expectedHeight;
  };
  const Case cases[] = {
      {"current code, untouched", EditScope::CurrentCode, ValueMode::Absolute, nullptr, exact},
      {"current code, retyped as shown", EditScope::CurrentCode, ValueMode::Absolute, "0.1234568", exact},
      {"current code, other digits", EditScope::CurrentCode, ValueMode::Absolute, "0.12345680", 0.1234568f},
      {"full width", EditScope::FullWidth, ValueMode::Absolute, nullptr, exact},
      {"half-width katakana", EditScope::HalfKana, ValueMode::Absolute, nullptr, exact},
      {"half-width alphanumerics", EditScope::HalfAlnum, ValueMode::Absolute, nullptr, exact},
      {"relative: an increment", EditScope::CurrentCode, ValueMode::Relative, nullptr,
       static_cast<float>(static_cast<double>(exact) + 0.1234568)},
  };
  const uint8_t targets[] = {65, kFullWidthSlot, 0xB1, 0x41};
  for (const Case& c : cases) {
    Bytes image = ZeroImage();
    for (int code = 0; code < kCodeCount; ++code) {
      WriteSingle(image.data(), ValueOffset(static_cast<uint8_t>(code), Height), exact);
    }
    ShownFields shown;
    ShowRecordFields(image.data(), 65, &shown);
    ASSERT_STREQ(shown.texts.field[1], "0.1234568");
    RecordEdit edit;
    edit.mode = c.mode;
    const char* text = c.heightText ? c.heightText : shown.texts.field[1];
    edit.values[1] = ReadFieldText(text);
    KeepShownValue(shown, 1, text, &edit.values[1]);
    ApplyRecordEdit(image.data(), edit, c.scope, 65);
    uint8_t target = targets[static_cast<int>(c.scope)];
    EXPECT_EQ(Bits(Value(image, target, Height)), Bits(c.expectedHeight)) << c.label;
  }
}

TEST(ShownFields, ForgottenValuesAreReadAsTyped) {
  Bytes image = ZeroImage();
  WriteSingle(image.data(), kLineSpacingOffset, 15.234375f);  // shown as "15.23438"
  ShownFields shown;
  ShowRecordFields(image.data(), 0, &shown);
  shown.remembered = false;
  FieldValue value = ReadFieldText("15.23438");
  KeepShownValue(shown, kLineSpacingField, "15.23438", &value);
  EXPECT_FALSE(value.exact);
}

TEST(WholeRecordCopies, CopyAll56BytesIncludingTheImageTailOf255) {
  Bytes image = PatternedImage(11);
  uint8_t buffer[kRecordSize];
  CopyRecordOut(image.data(), 40, buffer);
  EXPECT_EQ(std::memcmp(buffer, image.data() + RecordOffset(40), kRecordSize), 0);
  Bytes before = image;
  CopyRecordIn(image.data(), 255, buffer);
  ExpectOnlyWritten(before, image, {WholeRecord(255)});
  EXPECT_EQ(std::memcmp(image.data() + RecordOffset(255), buffer, kRecordSize), 0);
}

}  // namespace
