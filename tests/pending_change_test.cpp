// The pending view against the change command itself: for each set of field texts,
// scope and mode, the cells flagged pending before 変更 are exactly the values that
// clicking 変更 then writes differently, with the texts it writes, and the summary
// line says so. Runs over the in-memory window layer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "code_rows.h"
#include "editor_driver.h"
#include "editor_state.h"
#include "image_compare.h"
#include "metrics_format.h"
#include "modal_script.h"
#include "pending_change.h"
#include "resources/resource.h"
#include "test_files.h"

namespace {

// Every code c has Width c, Height 20 + c % 3, SpacingLeft 1, SpacingRight 2,
// OffsetY 0; the line spacing is 16.
Bytes MetricsFile() {
  Bytes bytes = PatternedFile(3);
  WriteSingle(bytes.data(), kLineSpacingOffset, 16);
  for (int code = 0; code < kCodeCount; ++code) {
    const float values[] = {static_cast<float>(code), 20.0f + code % 3, 1, 2, 0};
    for (int i = 0; i < 5; ++i) {
      WriteSingle(bytes.data(), ValueOffset(static_cast<uint8_t>(code), Width + i), values[i]);
    }
  }
  return bytes;
}

constexpr int kKeep = -1;            // no scope box
const char* const kShown = nullptr;  // the field keeps the text shown

struct PendingCase {
  const char* name;
  int code;              // selected first
  const char* texts[6];  // typed over the shown texts, Width first
  int scopeBox;          // IDC_SCOPE_... or kKeep
  bool relative;
  const char* summary;  // the line that says what 変更 will do
};

// clang-format off
const PendingCase kCases[] = {
    {"WidthOfOneCode", 65, {"9", kShown, kShown, kShown, kShown, kShown}, kKeep, false,
     "変更: 1 コードの 1 値"},
    {"SameTextChangesNothing", 65, {"65", kShown, kShown, kShown, kShown, kShown}, kKeep, false,
     ""},
    // Every Width, and the Height of the 64 codes whose Height is not 65's.
    {"HalfAlnumStoresEveryShownField", 65, {"9", kShown, kShown, kShown, kShown, kShown},
     IDC_SCOPE_HALFALNUM, false, "変更: 96 コードの 160 値"},
    // 16's Width; 21's Width and Height; 17 and 22 zeroed, 19 and 24 set to Width 12
    // (four non-zero values each).
    {"FullWidthWithCompanions", 16, {"24", kShown, kShown, kShown, kShown, "18"},
     IDC_SCOPE_FULLWIDTH, false, "変更: 6 コードの 19 値と行間"},
    // 18, 23 and 0xA1-0xDF; the emptied fields keep their values.
    {"HalfKanaWidthOnly", 0, {"12", "", "", "", "", ""}, IDC_SCOPE_HALFKANA, false,
     "変更: 65 コードの 65 値"},
    // The shown values add to themselves; OffsetY 0 adds nothing.
    {"RelativeAddsEveryShownField", 105, {"1", kShown, kShown, kShown, kShown, kShown}, kKeep,
     true, "変更: 1 コードの 4 値と行間（相対値: 幅, 高さ, 字間(左), 字間(右), Y座標, 行間 を加算）"},
    {"RelativeEmptiedFieldsAddNothing", 105, {"1", "", "", "", "", ""}, kKeep, true,
     "変更: 1 コードの 1 値（相対値: 幅 を加算）"},
    {"BadTextPendsNothing", 65, {"9", "abc", kShown, kShown, kShown, kShown}, kKeep, false,
     "変更できません: 高さ: \"abc\" is not a number"},
};
// clang-format on

constexpr int kValueFieldIds[] = {IDC_WIDTH,         IDC_HEIGHT,   IDC_SPACING_LEFT,
                                  IDC_SPACING_RIGHT, IDC_OFFSET_Y, IDC_LINE_SPACING};

class PendingChangeTest : public ::testing::TestWithParam<PendingCase> {
 protected:
  void SetUp() override {
    InstallModalScript();
    path_ = folder_.Path("p.fnt");
    WriteWholeFile(path_, MetricsFile());
    StartEditor("\"C:\\QUORVEL.exe\" \"" + path_ + "\"");
  }
  void TearDown() override { StopEditor(); }

  TempFolder folder_;
  std::string path_;
};

TEST_P(PendingChangeTest, FlagsExactlyWhatTheChangeWrites) {
  const PendingCase& test = GetParam();
  TypeInto(IDC_NUMBER, std::to_string(test.code));
  PendingView view;
  SettlePendingView(&view);
  for (int i = 0; i < 6; ++i) {
    if (test.texts[i]) TypeInto(kValueFieldIds[i], test.texts[i]);
  }
  if (test.scopeBox != kKeep) Click(test.scopeBox);
  if (test.relative) Click(IDC_RELATIVE);

  const PendingChange pending = ReadPendingChange(view);
  EXPECT_EQ(PendingSummary(pending), test.summary);
  CodeRows rows;
  FillCodeRows(g_document.image, nullptr, &rows,
               pending.image.empty() ? nullptr : pending.image.data());

  const Bytes before = ReadWholeFile(path_);
  Click(IDC_CHANGE);
  const Bytes after = ReadWholeFile(path_);
  CodeRows written;
  FillCodeRows(after.data(), nullptr, &written);
  EXPECT_EQ(rows.lineSpacingPending, SingleBits(before.data(), kLineSpacingOffset) !=
                                         SingleBits(after.data(), kLineSpacingOffset));
  for (int code = 0; code < kCodeCount; ++code) {
    for (uint32_t i = 0; i < kEditedValueCount; ++i) {
      const uint32_t offset = ValueOffset(static_cast<uint8_t>(code), kFirstEditedValue + i);
      const bool differs = SingleBits(before.data(), offset) != SingleBits(after.data(), offset);
      EXPECT_EQ(rows.rows[code].pending[i], differs) << "code " << code << " value " << i;
      EXPECT_EQ(rows.rows[code].cells[kFirstValueColumn + i],
                written.rows[code].cells[kFirstValueColumn + i])
          << "code " << code << " value " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(FieldsScopeMode, PendingChangeTest, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

// After a write the fields keep what was typed; in relative mode 変更 would add it
// again, yet nothing shows pending until an input changes.
TEST_F(PendingChangeTest, NothingPendsAfterAWriteUntilAnInputChanges) {
  TypeInto(IDC_WIDTH, "1");
  Click(IDC_RELATIVE);
  Click(IDC_CHANGE);
  PendingView view;
  SettlePendingView(&view);
  EXPECT_FALSE(IsPending(ReadPendingChange(view)));
  TypeInto(IDC_WIDTH, "2");
  EXPECT_TRUE(IsPending(ReadPendingChange(view)));
}

}  // namespace
