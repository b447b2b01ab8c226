// The rows of the table beside the dialog: cell texts, class filter, sort order and
// the values the last change altered.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "code_rows.h"
#include "test_files.h"

namespace {

// An image of zeros with the given values written into it.
struct Image {
  Bytes bytes = Bytes(kMetricsImageSize, 0);
  Image& Set(uint8_t code, uint32_t value, float number) {
    WriteSingle(bytes.data(), ValueOffset(code, value), number);
    return *this;
  }
  Image& SetBits(uint32_t offset, uint32_t bits) {
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(bits >> (8 * i));
    return *this;
  }
};

std::unique_ptr<CodeRows> RowsOf(const Image& image, const Image* before = nullptr) {
  auto rows = std::make_unique<CodeRows>();
  FillCodeRows(image.bytes.data(), before ? before->bytes.data() : nullptr, rows.get());
  return rows;
}

TEST(CodeRows, CellTextsOfNamedCodes) {
  Image image;
  image.Set(0x41, Width, 12.5f);
  WriteSingle(image.bytes.data(), kLineSpacingOffset, 12);
  const auto rows = RowsOf(image);
  struct Case {
    int code;
    const char *decimal, *hex, *character, *role;
  } cases[] = {
      {0x00, "0", "0x00", "", ""},
      {0x10, "16", "0x10", "", "全角の寸法"},
      {0x11, "17", "0x11", "", "全角で0に"},
      {0x12, "18", "0x12", "", "半角カナの寸法"},
      {0x13, "19", "0x13", "", "全角の幅の半分"},
      {0x20, "32", "0x20", " ", "半角英数"},
      {0x41, "65", "0x41", "A", "半角英数"},
      {0x7F, "127", "0x7F", "", "半角英数"},  // DEL shows nothing
      {0x80, "128", "0x80", "", ""},
      {0x81, "129", "0x81", "", ""},  // a lead byte
      {0xA0, "160", "0xA0", "", ""},  // private use in the code page
      {0xB1, "177", "0xB1", "ｱ", "半角カナ"},
      {0xFD, "253", "0xFD", "", ""},
      {0xFF, "255", "0xFF", "", ""},
  };
  for (const Case& c : cases) {
    const CodeRow& row = rows->rows[c.code];
    EXPECT_EQ(row.cells[kDecimalColumn], c.decimal);
    EXPECT_EQ(row.cells[kHexColumn], c.hex);
    EXPECT_EQ(row.cells[kCharacterColumn], c.character) << c.hex;
    EXPECT_EQ(row.cells[kRoleColumn], c.role) << c.hex;
    EXPECT_STREQ(RoleText(static_cast<uint8_t>(c.code)), c.role) << c.hex;
  }
  const CodeRow& a = rows->rows[0x41];
  EXPECT_EQ(a.cells[kFirstValueColumn], "12.5");
  EXPECT_EQ(a.cells[kFirstValueColumn + 1], "0");
  EXPECT_EQ(a.values[0], 12.5);
  EXPECT_EQ(rows->lineSpacingText, "行間 12");
}

TEST(CodeRows, ClassFilterKeepsEachClassWithItsSlots) {
  struct Case {
    ClassFilter filter;
    int count;
    uint8_t member, outsider;
  } cases[] = {
      {ClassFilter::All, 256, 0x00, 0x00},  // no outsider
      {ClassFilter::FullWidth, 6, 0x16, 0x12},  {ClassFilter::HalfKana, 65, 0x12, 0xA0},
      {ClassFilter::HalfAlnum, 96, 0x7F, 0x1F}, {ClassFilter::None, 89, 0xA0, 0x18},
  };
  for (const Case& c : cases) {
    int count = 0;
    for (int code = 0; code < kCodeCount; ++code)
      count += RowInClass(static_cast<uint8_t>(code), c.filter);
    const char* name = kClassFilterNames[static_cast<int>(c.filter)];
    EXPECT_EQ(count, c.count) << name;
    EXPECT_TRUE(RowInClass(c.member, c.filter)) << name;
    if (c.filter != ClassFilter::All) {
      EXPECT_FALSE(RowInClass(c.outsider, c.filter)) << name;
    }
  }
}

TEST(CodeRows, SortOrder) {
  Image image;
  image.Set(1, Width, NAN).SetBits(ValueOffset(5, Width), 0x7FC00001);  // two NaNs
  image.Set(2, Width, 1).Set(6, Width, -3).Set(7, Width, 10).Set(8, Width, 9);
  image.Set(9, Width, -0.0f);  // 0 in every other row
  const auto rows = RowsOf(image);
  constexpr int kWidth = kFirstValueColumn;
  struct Case {
    const char* name;
    int column;
    uint8_t a, b;
    bool before;
  } cases[] = {
      {"a number before NaN", kWidth, 2, 1, true},
      {"NaN after a number", kWidth, 1, 2, false},
      {"NaN after a negative number", kWidth, 1, 6, false},
      {"NaNs tie by code", kWidth, 1, 5, true},
      {"NaNs tie by code, reversed", kWidth, 5, 1, false},
      {"negative first", kWidth, 6, 0, true},
      {"9 before 10 as numbers", kWidth, 8, 7, true},
      {"-0 ties with 0 by code", kWidth, 4, 9, true},
      {"0 ties with -0 by code", kWidth, 9, 4, false},
      {"roles by text, not code", kRoleColumn, 0xB1, 0x41, true},  // カナ before 英数
      {"equal roles by code", kRoleColumn, 0x42, 0x41, false},
      {"empty character first", kCharacterColumn, 0xA0, 0x41, true},
      {"decimal column by code", kDecimalColumn, 100, 20, false},  // "100" < "20" as text
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CodeRowSortsBefore(*rows, c.column, c.a, c.b), c.before) << c.name;
  }
}

TEST(CodeRows, ChangedFlagsComeFromTheBitsThatDiffer) {
  Image before;
  before.SetBits(ValueOffset(5, Width), 0x7FC00000);
  Image after = before;
  after.Set(0x41, Height, 3).SetBits(ValueOffset(5, Width), 0x7FC00001);  // NaN payload
  after.Set(0x42, 0, 7).SetBits(kFirstHeaderByte, 0xFF);                  // no cell shows these
  WriteSingle(after.bytes.data(), kLineSpacingOffset, 14);

  const auto rows = RowsOf(after, &before);
  int changed = 0;
  for (const CodeRow& row : rows->rows) {
    for (bool flag : row.changed) changed += flag;
  }
  EXPECT_EQ(changed, 2);
  EXPECT_TRUE(rows->rows[0x41].changed[Height - kFirstEditedValue]);
  EXPECT_TRUE(rows->rows[5].changed[0]);
  EXPECT_TRUE(rows->lineSpacingChanged);

  const auto loaded = RowsOf(after);  // no before: nothing highlighted
  EXPECT_FALSE(loaded->rows[0x41].changed[Height - kFirstEditedValue]);
  EXPECT_FALSE(loaded->lineSpacingChanged);
  const auto same = RowsOf(after, &after);
  EXPECT_FALSE(same->rows[5].changed[0]);
  EXPECT_FALSE(same->lineSpacingChanged);
}

// The widest cell by its characters' advances, whatever the host's encoding; a
// tie goes to the lowest code.
TEST(CodeRows, WidestCellTextByCharacterAdvances) {
  Image image;
  image.Set(3, Width, -0.03125f).Set(5, Height, 111111).Set(6, Height, -8);
  const auto rows = RowsOf(image);
  const CharacterAdvance uniform = [](uint32_t) { return 1.0; };
  const CharacterAdvance narrowOnes = [](uint32_t c) { return c == '1' ? 0.1 : 1.0; };
  EXPECT_EQ(WidestCellText(*rows, kFirstValueColumn, uniform), "-3.125000e-002");
  EXPECT_EQ(WidestCellText(*rows, kFirstValueColumn + 1, uniform), "111111");
  EXPECT_EQ(WidestCellText(*rows, kFirstValueColumn + 1, narrowOnes), "-8");
  EXPECT_EQ(WidestCellText(*rows, kRoleColumn, uniform), "半角カナの寸法");  // 18 ties with 19
}

}  // namespace
