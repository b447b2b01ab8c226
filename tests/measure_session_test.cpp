// The measure session behind フォントから測定: the size offered first, the sample
// fields' check, the font kept open, and what a measurement or a failure leaves.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>

#include "measure_session.h"
#include "metrics_format.h"
#include "test_files.h"

namespace {

constexpr char kVlGothic[] = "/usr/share/fonts/truetype/vlgothic/VL-Gothic-Regular.ttf";
constexpr char kIpaGothic[] = "/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf";

Bytes ImageWithFullWidthHeight(float height) {
  Bytes image = PatternedFile(7);
  image.resize(kMetricsImageSize, 0);
  WriteSingle(image.data(), ValueOffset(kFullWidthSlot, Height), height);
  return image;
}

// Only the alphanumerics, from the family given: 95 codes (0x7F has no character).
MeasureChoices AlnumChoices(const std::string& font) {
  MeasureChoices choices;
  choices.font = font;
  choices.pixelSize = 16;
  choices.halfAlnum = true;
  return choices;
}

TEST(MeasureSession, FirstSizeIsAWholeFullWidthHeightInRangeElse24) {
  const struct {
    const char* name;
    float height;
    int size;
  } cases[] = {
      {"whole", 17, 17},
      {"smallest size", 1, 1},
      {"largest size", 1000, 1000},
      {"fraction", 23.5f, 24},
      {"NaN", std::numeric_limits<float>::quiet_NaN(), 24},
      {"infinity", std::numeric_limits<float>::infinity(), 24},
      {"zero", 0, 24},
      {"beyond the largest", 1001, 24},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FirstSize(ImageWithFullWidthHeight(c.height).data()), c.size) << c.name;
  }
  Bytes image = ImageWithFullWidthHeight(17);
  EXPECT_EQ(StartMeasureSession(image.data(), nullptr, kNoSelectedCode).choices.pixelSize, 17);
}

// A sample field counts only when its class is measured; it holds exactly one
// character, of its class.
TEST(MeasureSession, SampleFieldsHoldOneCharacterOfTheirClass) {
  const std::string kOne = "A sample field needs exactly one character";
  const struct {
    const char* name;
    bool fullWidth, halfKana;
    std::string fullWidthSample, halfKanaSample;
    std::string refusal;  // "" when measured
  } cases[] = {
      {"empty", true, false, "", "ｱ", kOne},
      {"two characters", true, false, "国国", "ｱ", kOne},
      {"katakana field empty", false, true, "国", "", kOne},
      {"field of a class not measured", false, true, "", "ｱ", ""},
      {"ASCII as full width", true, false, "A", "ｱ",
       "The full-width sample \"A\" is not a full-width character (such as 国)"},
      {"full width", true, false, "国", "ｱ", ""},
      {"katakana", false, true, "国", "ｱ", ""},
      {"full width as katakana", false, true, "国", "国",
       "The half-width katakana sample \"国\" is not a half-width katakana (such as ｱ)"},
  };
  Bytes image = ImageWithFullWidthHeight(16);
  MeasureSession session = StartMeasureSession(image.data(), nullptr, kNoSelectedCode);
  for (const auto& c : cases) {
    MeasureChoices choices = AlnumChoices("VL Gothic");
    choices.fullWidth = c.fullWidth, choices.halfKana = c.halfKana;
    choices.fullWidthSample = c.fullWidthSample, choices.halfKanaSample = c.halfKanaSample;
    RemeasureSession(session, choices);
    if (c.refusal.empty()) {
      EXPECT_TRUE(session.applyAllowed) << c.name << ": " << session.reportText;
    } else {
      EXPECT_EQ(session.reportText, c.refusal) << c.name;
      EXPECT_FALSE(session.applyAllowed) << c.name;
      EXPECT_EQ(session.measured, image) << c.name << ": the preview shows the file as it is";
    }
  }
  EndMeasureSession(session);
}

TEST(MeasureSession, ReportsWhatWasSetAndLeftAndAllowsApplyOnlyWhenSomethingWasSet) {
  MeasureChoices sumOnly;  // IPA Gothic has no ∑: nothing stored
  sumOnly.font = "IPAGothic", sumOnly.pixelSize = 12, sumOnly.fullWidth = true;
  sumOnly.fullWidthSample = "∑";
  MeasureChoices nothing = AlnumChoices("VL Gothic");
  nothing.halfAlnum = false;
  const struct {
    const char* name;
    MeasureChoices choices;
    std::string text;
    bool apply;
  } cases[] = {
      {"alphanumerics", AlnumChoices("VL Gothic"),
       std::string(kVlGothic) + ": 95 codes will be set", true},
      {"sample missing", sumOnly,
       std::string(kIpaGothic) + ": 0 codes will be set; 1 left as they were: code 0x10 (the font "
                                 "has no glyph for U+2211)",
       false},
      {"no class", nothing, std::string(kVlGothic) + ": 0 codes will be set", false},
      {"no font installed", AlnumChoices(""), "No font is installed", false},
      {"unknown family", AlnumChoices("No Such Family"),
       "No Such Family: no installed font family has this name (fc-list : family lists them)",
       false},
  };
  Bytes image = ImageWithFullWidthHeight(16);
  for (const auto& c : cases) {
    MeasureSession session = StartMeasureSession(image.data(), nullptr, kNoSelectedCode);
    RemeasureSession(session, c.choices);
    EXPECT_EQ(session.reportText, c.text) << c.name;
    EXPECT_EQ(session.applyAllowed, c.apply) << c.name;
    EXPECT_EQ(session.measured != image, c.apply) << c.name;
    EndMeasureSession(session);
  }

  MeasureReport report;
  report.fontFile = "f.ttf";
  report.setCodes = {0x20, 0x21};
  for (uint8_t code : {0x0A, 0x41, 0xB1, 0xDF}) report.left.push_back(LeftCode{code, false, 0x41});
  EXPECT_EQ(ReportText(report, ReportTense::WillBeSet).substr(0, 27),
            "f.ttf: 2 codes will be set;");
  EXPECT_EQ(ReportText(report, ReportTense::Set),
            "f.ttf: 2 codes set; 4 left as they were: code 0x0a (the font has no glyph for "
            "U+0041), code 0x41 (the font has no glyph for U+0041), code 0xb1 (the font has no "
            "glyph for U+0041), ...");
}

// The font stays open while its choice stays the same: a file removed after it was
// opened still measures, until another font is chosen.
TEST(MeasureSession, KeepsTheChosenFontOpen) {
  TempFolder folder;
  std::string copy = folder.Path("copy.ttf");
  WriteWholeFile(copy, ReadWholeFile(kVlGothic));
  std::string opened = std::filesystem::canonical(copy).string();
  Bytes image = ImageWithFullWidthHeight(16);
  MeasureSession session = StartMeasureSession(image.data(), nullptr, kNoSelectedCode);
  RemeasureSession(session, AlnumChoices(copy));
  std::filesystem::remove(copy);
  MeasureChoices larger = AlnumChoices(copy);
  larger.pixelSize = 20;
  RemeasureSession(session, larger);
  EXPECT_EQ(session.reportText, opened + ": 95 codes will be set");
  EXPECT_TRUE(session.applyAllowed);

  RemeasureSession(session, AlnumChoices("VL Gothic"));
  RemeasureSession(session, larger);
  EXPECT_EQ(session.reportText, copy + ": cannot open: No such file or directory");
  EXPECT_FALSE(session.applyAllowed);
  EXPECT_EQ(session.measured, image);
  EndMeasureSession(session);
}

// Nothing remembered: only the class of the code selected in the editor is offered;
// remembered choices come back whole, the selection notwithstanding.
TEST(MeasureSession, OffersTheSelectedCodesClassOrTheRememberedChoices) {
  const struct {
    const char* name;
    int code;
    bool fullWidth, halfKana, halfAlnum;
  } cases[] = {
      {"nothing selected", kNoSelectedCode, false, false, true},
      {"letter A", 0x41, false, false, true},
      {"half-width slot", kHalfWidthTwinSlot, true, false, false},
      {"katakana ｱ", 0xB1, false, true, false},
      {"katakana slot", kHalfKanaSlot, false, true, false},
      {"lead byte 0x82, of no class", 0x82, false, false, true},
  };
  Bytes image = ImageWithFullWidthHeight(20);
  for (const auto& c : cases) {
    MeasureChoices offered = StartMeasureSession(image.data(), nullptr, c.code).choices;
    EXPECT_EQ(offered.fullWidth, c.fullWidth) << c.name;
    EXPECT_EQ(offered.halfKana, c.halfKana) << c.name;
    EXPECT_EQ(offered.halfAlnum, c.halfAlnum) << c.name;
    EXPECT_EQ(offered.pixelSize, 20) << c.name;
  }
  MeasureChoices remembered = AlnumChoices("VL PGothic");
  remembered.halfKanaSample = "ｶ";
  MeasureChoices offered = StartMeasureSession(image.data(), &remembered, 0xB1).choices;
  EXPECT_EQ(offered.font, "VL PGothic");
  EXPECT_EQ(offered.pixelSize, 16);
  EXPECT_TRUE(offered.halfAlnum && !offered.halfKana);
  EXPECT_EQ(offered.halfKanaSample, "ｶ");
}

}  // namespace
