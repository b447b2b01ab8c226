// The editor's behaviour as its user sees it: typing, selecting, applying, opening,
// closing. Written once against editor_driver.h and run over every window layer
// with the same expectations.
#include <gtest/gtest.h>

#include <strings.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "editor_dialog.h"
#include "editor_driver.h"
#include "editor_events.h"
#include "editor_state.h"
#include "metrics_format.h"
#include "modal_calls.h"
#include "modal_script.h"
#include "resources/resource.h"
#include "test_files.h"

namespace {

constexpr int kValueFields[] = {IDC_WIDTH,         IDC_HEIGHT,   IDC_SPACING_LEFT,
                                IDC_SPACING_RIGHT, IDC_OFFSET_Y, IDC_LINE_SPACING};

// The values of a test file: every code c has Width c, Height c + 0.5,
// SpacingLeft c / 4, SpacingRight 2, OffsetY -1.25; the line spacing is 16. All
// other bytes are a pattern, so that a stray write shows.
float BaseValue(int code, int value) {
  switch (value) {
    case 0: return static_cast<float>(code);
    case 1: return code + 0.5f;
    case 2: return code / 4.0f;
    case 3: return 2.0f;
    default: return -1.25f;
  }
}
constexpr float kBaseLineSpacing = 16;

Bytes MetricsFile() {
  Bytes bytes = PatternedFile(7);
  WriteSingle(bytes.data(), kLineSpacingOffset, kBaseLineSpacing);
  for (int code = 0; code < 255; ++code) {  // code 255's record ends inside the file too
    for (int i = 0; i < 5; ++i) {
      WriteSingle(bytes.data(), ValueOffset(code, Width + i), BaseValue(code, i));
    }
  }
  WriteSingle(bytes.data(), ValueOffset(255, Width), BaseValue(255, 0));
  return bytes;
}

// What the six value fields show for code of the test file, Width first.
std::vector<std::string> ShownValues(int code) {
  static const char* const kQuarters[] = {"", ".25", ".5", ".75"};
  std::string quarter = std::to_string(code / 4) + kQuarters[code % 4];
  return {std::to_string(code), std::to_string(code) + ".5", quarter, "2", "-1.25", "16"};
}

std::vector<std::string> FieldTexts() {
  std::vector<std::string> texts;
  for (int id : kValueFields) texts.push_back(ControlText(id));
  return texts;
}

const std::vector<std::string> kZeroFields(6, "0");

std::string CommandLine(const std::string& path) { return "\"C:\\QUORVEL.exe\" \"" + path + "\""; }

// The editor on a fresh copy of the test file (or none), with its modal windows
// answered by the scenario.
class EditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    InstallModalScript();
    path_ = folder_.Path("my metrics.fnt");
    WriteWholeFile(path_, MetricsFile());
  }
  void TearDown() override { StopEditor(); }

  void StartOnFile() { StartEditor(CommandLine(path_)); }

  void TypeValues(const std::vector<std::string>& texts) {
    for (size_t i = 0; i < texts.size(); ++i) TypeInto(kValueFields[i], texts[i]);
  }

  Bytes OnDisk() const { return ReadWholeFile(path_); }

  TempFolder folder_;
  std::string path_;
};

// ---- Start-up

TEST_F(EditorTest, StartWithoutArgumentShowsZerosAndNoFile) {
  StartEditor("\"C:\\QUORVEL.exe\"");
  EXPECT_EQ(Caption(), "QUORVEL");
  EXPECT_EQ(FieldTexts(), kZeroFields);
  EXPECT_EQ(ControlText(IDC_CHARACTER), "");
  EXPECT_EQ(ControlText(IDC_NUMBER), "");
  EXPECT_TRUE(IsChecked(IDC_ABSOLUTE));
  EXPECT_FALSE(IsChecked(IDC_RELATIVE));
  for (int id : {IDC_SCOPE_FULLWIDTH, IDC_SCOPE_HALFKANA, IDC_SCOPE_HALFALNUM}) {
    EXPECT_FALSE(IsChecked(id)) << id;
  }
  EXPECT_TRUE(IsEnabled(IDC_CHARACTER));
  EXPECT_TRUE(IsEnabled(IDC_NUMBER));
  EXPECT_EQ(FocusedControl(), IDC_CHARACTER);
  EXPECT_TRUE(MessagesShown().empty());
}

TEST_F(EditorTest, StartWithQuotedArgumentWithSpacesLoadsIt) {
  StartOnFile();
  EXPECT_EQ(Caption(), "QUORVEL - my metrics.fnt");
  EXPECT_EQ(ControlText(IDC_NUMBER), "0");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "");
  EXPECT_EQ(FieldTexts(), ShownValues(0));
  EXPECT_TRUE(MessagesShown().empty());
}

TEST_F(EditorTest, StartWithMissingFileReportsItAndShowsZeros) {
  StartEditor(CommandLine(folder_.Path("missing.fnt")));
  ASSERT_EQ(MessagesShown().size(), 1u);
  EXPECT_EQ(MessagesShown()[0].text, "File Handle Error");
  EXPECT_EQ(Caption(), "QUORVEL");
  EXPECT_EQ(FieldTexts(), kZeroFields);
}

TEST_F(EditorTest, StartWithWrongSizeFileReportsError) {
  Bytes shorter = MetricsFile();
  shorter.pop_back();
  WriteWholeFile(path_, shorter);
  StartOnFile();
  ASSERT_EQ(MessagesShown().size(), 1u);
  const MessageShown& message = MessagesShown()[0];
  EXPECT_EQ(message.text, "Error");
  EXPECT_EQ(message.caption, "QUORVEL");
  EXPECT_EQ(message.type, static_cast<unsigned>(MB_ICONERROR | MB_OK));
  EXPECT_EQ(message.owner, EditorWindow());
  EXPECT_EQ(Caption(), "QUORVEL");
}

TEST_F(EditorTest, StartWithAFolderReportsFileHandleError) {
  std::filesystem::remove(path_);
  std::filesystem::create_directory(path_);
  StartOnFile();
  ASSERT_EQ(MessagesShown().size(), 1u);
  EXPECT_EQ(MessagesShown()[0].text, "File Handle Error") << "the same on every system";
}

// ---- Selecting a code

TEST_F(EditorTest, TypingACharacterSelectsItsCode) {
  StartOnFile();
  TypeInto(IDC_CHARACTER, "A");
  EXPECT_EQ(ControlText(IDC_NUMBER), "65");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "A");
  int start = -1, end = -1;
  Selection(IDC_CHARACTER, &start, &end);
  EXPECT_EQ(start, 0);
  EXPECT_EQ(end, 1);
  EXPECT_EQ(FieldTexts(), ShownValues(65));
  // The next keystroke replaces the character.
  TypeText("B");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "B");
  EXPECT_EQ(ControlText(IDC_NUMBER), "66");
  EXPECT_EQ(FieldTexts(), ShownValues(66));
}

TEST_F(EditorTest, TypingANumberEchoesItsCharacter) {
  StartOnFile();
  TypeInto(IDC_NUMBER, "97");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "a");
  EXPECT_EQ(ControlText(IDC_NUMBER), "97");
  EXPECT_EQ(FieldTexts(), ShownValues(97));
}

// Each kind of code echoes as its own byte, read back unchanged (the ends of each
// range), and only Shift-JIS lead bytes leave the character field empty.
TEST_F(EditorTest, EveryCodeEchoesAsItselfButLeadBytes) {
  struct Range {
    const char* label;
    int first, last;
    bool leadBytes;
  };
  const Range ranges[] = {
      {"control codes", 0x01, 0x1F, false}, {"ASCII", 0x20, 0x7F, false},
      {"0x80", 0x80, 0x80, false},          {"lead bytes", 0x81, 0x9F, true},
      {"0xA0", 0xA0, 0xA0, false},          {"half-width katakana", 0xA1, 0xDF, false},
      {"lead bytes", 0xE0, 0xFC, true},     {"0xFD-0xFF", 0xFD, 0xFF, false},
  };
  StartOnFile();
  for (const Range& range : ranges) {
    for (int code : {range.first, range.last}) {
      SCOPED_TRACE(std::string(range.label) + " " + std::to_string(code));
      TypeInto(IDC_NUMBER, std::to_string(code));
      EXPECT_EQ(ControlText(IDC_NUMBER), std::to_string(code));
      EXPECT_EQ(ControlText(IDC_CHARACTER),
                range.leadBytes ? "" : std::string(1, static_cast<char>(code)));
    }
  }
}

TEST_F(EditorTest, NumberAboveRangeKeepsTheLastValidCode) {
  StartOnFile();
  TypeInto(IDC_NUMBER, "300");
  // "30" was the last valid number; the echo of code 30 moves the selector back
  // to it, which rewrites the field.
  EXPECT_EQ(ControlText(IDC_NUMBER), "30");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "\x1E");
  EXPECT_EQ(FieldTexts(), ShownValues(30));
}

TEST_F(EditorTest, ClearingTheNumberFieldSelectsCodeZero) {
  StartOnFile();
  TypeInto(IDC_CHARACTER, "A");
  FocusControl(IDC_NUMBER);
  PressKey(Key::Backspace);
  EXPECT_EQ(ControlText(IDC_NUMBER), "");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "");
  EXPECT_EQ(FieldTexts(), ShownValues(0));
}

TEST_F(EditorTest, NumberFieldTakesDigitsOnlyAndThreeOfThem) {
  StartOnFile();
  TypeInto(IDC_NUMBER, "1x2");
  EXPECT_EQ(ControlText(IDC_NUMBER), "12");
  TypeInto(IDC_NUMBER, "2000");
  EXPECT_EQ(ControlText(IDC_NUMBER), "200");
  EXPECT_EQ(FieldTexts(), ShownValues(200));
}

TEST_F(EditorTest, ArrowKeysStopAtZeroAnd255) {
  StartOnFile();
  FocusControl(IDC_NUMBER);
  PressKey(Key::Down);
  EXPECT_EQ(ControlText(IDC_NUMBER), "0");
  EXPECT_EQ(FieldTexts(), ShownValues(0));
  PressKey(Key::Up);
  EXPECT_EQ(ControlText(IDC_NUMBER), "1");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "\x01");
  EXPECT_EQ(FieldTexts(), ShownValues(1));

  TypeInto(IDC_NUMBER, "255");
  PressKey(Key::Up);
  EXPECT_EQ(ControlText(IDC_NUMBER), "255");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "\xFF");
  PressKey(Key::Down);
  EXPECT_EQ(ControlText(IDC_NUMBER), "254");
  EXPECT_EQ(FieldTexts(), ShownValues(254));
}

TEST_F(EditorTest, HalfWidthKatakanaThroughBothFields) {
  StartOnFile();
  TypeInto(IDC_CHARACTER, "\xB1");  // ｱ
  EXPECT_EQ(ControlText(IDC_NUMBER), "177");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "\xB1");
  EXPECT_EQ(FieldTexts(), ShownValues(177));
  TypeInto(IDC_NUMBER, "223");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "\xDF");  // ﾟ
  EXPECT_EQ(FieldTexts(), ShownValues(223));
}

// A lead byte alone is no character: its echo would come back as another one
// (0x81 0x45) and select code 129. The character field stays empty instead.
TEST_F(EditorTest, LeadByteCodeThroughBothFields) {
  StartOnFile();
  TypeInto(IDC_NUMBER, "224");
  EXPECT_EQ(ControlText(IDC_NUMBER), "224");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "");
  EXPECT_EQ(FieldTexts(), ShownValues(224));

  TypeInto(IDC_CHARACTER, "\x83\x41");  // full-width ア: its lead byte is 0x83
  EXPECT_EQ(ControlText(IDC_NUMBER), "131");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "");
  EXPECT_EQ(FieldTexts(), ShownValues(131));

  TypeInto(IDC_CHARACTER, "\x95\x5C");  // 表, whose second byte is a backslash
  EXPECT_EQ(ControlText(IDC_NUMBER), "149");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "");
}

// ---- The change command

struct ChangeCase {
  const char* label;
  int scopeBox;  // 0: none, the current code
  bool relative;
};

// The file the change command must leave: the typed values (or increments) in the
// records of the scope and in the line spacing, everything else as it was.
Bytes ExpectedAfterChange(const ChangeCase& c, int currentCode, const float typed[5],
                          float typedLineSpacing) {
  Bytes expected = MetricsFile();
  uint8_t* image = expected.data();
  auto store = [&](int code) {
    for (int i = 0; i < 5; ++i) {
      float value = c.relative ? BaseValue(code, i) + typed[i] : typed[i];
      WriteSingle(image, ValueOffset(code, Width + i), value);
    }
  };
  WriteSingle(image, kLineSpacingOffset,
              c.relative ? kBaseLineSpacing + typedLineSpacing : typedLineSpacing);
  switch (c.scopeBox) {
    case IDC_SCOPE_FULLWIDTH: {
      store(16);
      store(21);
      float halfWidth = ReadRecordValue(image, 16, Width) / 2;
      float rounded = static_cast<float>(std::nearbyint(halfWidth));  // ties to even
      for (int code : {17, 19, 22, 24}) {
        std::fill_n(image + RecordOffset(code), kRecordSize, 0);
      }
      WriteSingle(image, ValueOffset(19, Width), rounded);
      WriteSingle(image, ValueOffset(24, Width), rounded);
      break;
    }
    case IDC_SCOPE_HALFKANA:
      store(18);
      store(23);
      for (int code = 0xA1; code <= 0xDF; ++code) store(code);
      break;
    case IDC_SCOPE_HALFALNUM:
      for (int code = 0x20; code <= 0x7F; ++code) store(code);
      break;
    default: store(currentCode);
  }
  return expected;
}

TEST_F(EditorTest, ChangeWritesTheScopeInBothModes) {
  const ChangeCase cases[] = {
      {"current code, absolute", 0, false},
      {"current code, relative", 0, true},
      {"full width, absolute", IDC_SCOPE_FULLWIDTH, false},
      {"full width, relative", IDC_SCOPE_FULLWIDTH, true},
      {"half-width katakana, absolute", IDC_SCOPE_HALFKANA, false},
      {"half-width katakana, relative", IDC_SCOPE_HALFKANA, true},
      {"half-width alphanumerics, absolute", IDC_SCOPE_HALFALNUM, false},
      {"half-width alphanumerics, relative", IDC_SCOPE_HALFALNUM, true},
  };
  // Width 7 gives the half-width slots 3.5 -> 4 (absolute) and 11.5 -> 12
  // (relative, 16 + 7): both ties, rounded to even.
  const float typed[5] = {7, 2.5f, -3, 0.25f, 11};
  const std::vector<std::string> texts = {"7", "2.5", "-3", "0.25", "11", "20"};
  for (const ChangeCase& c : cases) {
    SCOPED_TRACE(c.label);
    WriteWholeFile(path_, MetricsFile());
    StartOnFile();
    TypeInto(IDC_CHARACTER, "A");
    if (c.relative) Click(IDC_RELATIVE);
    if (c.scopeBox) Click(c.scopeBox);
    TypeValues(texts);
    Click(IDC_CHANGE);
    EXPECT_TRUE(OnDisk() == ExpectedAfterChange(c, 'A', typed, 20)) << c.label;
    // The fields keep what was typed.
    EXPECT_EQ(FieldTexts(), texts);
    EXPECT_TRUE(MessagesShown().empty());
    StopEditor();
  }
}

TEST_F(EditorTest, RelativeChangeTwiceAddsTwice) {
  StartOnFile();
  TypeInto(IDC_CHARACTER, "A");
  Click(IDC_RELATIVE);
  TypeValues({"1", "", "", "", "", ""});
  Click(IDC_CHANGE);
  Click(IDC_CHANGE);
  Bytes disk = OnDisk();
  EXPECT_EQ(ReadRecordValue(disk.data(), 'A', Width), 67.0f);
  EXPECT_EQ(ReadRecordValue(disk.data(), 'A', Height), 65.5f);  // empty: unchanged
  EXPECT_EQ(ReadLineSpacing(disk.data()), kBaseLineSpacing);
}

TEST_F(EditorTest, EnterOnTheFocusedChangeButtonClicksIt) {
  StartOnFile();
  TypeInto(IDC_WIDTH, "9");
  FocusControl(IDC_CHANGE);
  PressKey(Key::Enter);
  EXPECT_EQ(ReadRecordValue(OnDisk().data(), 0, Width), 9.0f);
}

TEST_F(EditorTest, EscapeAndEnterInAFieldDoNothing) {
  StartOnFile();
  TypeInto(IDC_WIDTH, "9");
  PressKey(Key::Enter);
  PressKey(Key::Escape);
  // ES_WANTRETURN means nothing to a one-line field.
  TypeInto(IDC_CHARACTER, "A");
  PressKey(Key::Enter);
  PressKey(Key::Escape);
  EXPECT_TRUE(EditorIsOpen());
  EXPECT_EQ(ControlText(IDC_CHARACTER), "A");
  EXPECT_EQ(ControlText(IDC_WIDTH), "65");
  EXPECT_TRUE(OnDisk() == MetricsFile());
  EXPECT_TRUE(MessagesShown().empty());
}

TEST_F(EditorTest, ChangeWithoutFileSaysSoAndWritesNothing) {
  StartEditor("QUORVEL.exe");
  TypeInto(IDC_WIDTH, "9");
  Click(IDC_CHANGE);
  ASSERT_EQ(MessagesShown().size(), 1u);
  EXPECT_EQ(MessagesShown()[0].text, "No file is open");
  EXPECT_EQ(MessagesShown()[0].caption, "QUORVEL");
  EXPECT_TRUE(OnDisk() == MetricsFile());
}

// A field that is not a number stops the whole change: nothing is stored or
// written, and the first such field in tab order is named with its text. Spaces
// around a number and the full-width forms of an input method are read as ASCII.
TEST_F(EditorTest, ChangeChecksEveryFieldFirst) {
  struct Case {
    const char* label;
    std::vector<std::string> texts;  // Width ... OffsetY, line spacing
    const char* message;             // nullptr: accepted
    float width;                     // stored when accepted
  };
  const Case cases[] = {
      {"letters", {"abc", "", "", "", "", ""}, "幅: \"abc\" is not a number", 0},
      {"a comma", {"5", "1,5", "", "", "", ""}, "高さ: \"1,5\" is not a number", 0},
      {"two points, first refused field named",
       {"5", "", "1.5.", "", "", "x"},
       "字間(左): \"1.5.\" is not a number",
       0},
      {"hexadecimal", {"", "", "", "0x10", "", ""}, "字間(右): \"0x10\" is not a number", 0},
      {"beyond single precision",
       {"", "", "", "", "1e39", ""},
       "Y座標: \"1e39\" is not a number",
       0},
      {"the line spacing too", {"", "", "", "", "", "nan"}, "行間: \"nan\" is not a number", 0},
      {"spaces around a number", {" 1.5\t", "", "", "", "", ""}, nullptr, 1.5f},
      {"full-width digits", {"１３", "", "", "", "", ""}, nullptr, 13},
      {"full-width sign, point and space", {"　－２．５", "", "", "", "", ""}, nullptr, -2.5f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    InstallModalScript();
    WriteWholeFile(path_, MetricsFile());
    StartOnFile();
    TypeInto(IDC_CHARACTER, "A");
    TypeValues(c.texts);
    Click(IDC_CHANGE);
    if (c.message) {
      ASSERT_EQ(MessagesShown().size(), 1u);
      EXPECT_EQ(MessagesShown()[0].text, c.message);
      EXPECT_TRUE(OnDisk() == MetricsFile());
      EXPECT_EQ(FieldTexts(), c.texts) << "kept for correcting";
    } else {
      EXPECT_TRUE(MessagesShown().empty());
      Bytes expected = MetricsFile();
      WriteSingle(expected.data(), ValueOffset('A', Width), c.width);
      EXPECT_TRUE(OnDisk() == expected);
    }
    StopEditor();
  }
}

// A failed write leaves the document as the file was: once the cause is gone, the
// relative change is applied once.
TEST_F(EditorTest, FailedWriteLeavesTheDocumentAsItWas) {
  StartOnFile();
  TypeInto(IDC_CHARACTER, "A");
  Click(IDC_RELATIVE);
  TypeValues({"1", "", "", "", "", "4"});
  std::filesystem::remove(path_);
  std::filesystem::create_directory(path_);
  Click(IDC_CHANGE);
  ASSERT_EQ(MessagesShown().size(), 1u);
  // The file back, with other bytes: written over only when the user says so.
  std::filesystem::remove(path_);
  Bytes other = MetricsFile();
  WriteSingle(other.data(), ValueOffset('B', Width), 99.0f);
  WriteWholeFile(path_, other);
  AnswerNextMessageBox(IDYES);
  Click(IDC_CHANGE);
  Bytes disk = OnDisk();
  EXPECT_EQ(ReadRecordValue(disk.data(), 'A', Width), 66.0f) << "applied once";
  EXPECT_EQ(ReadLineSpacing(disk.data()), kBaseLineSpacing + 4);
}

// ---- A file that another program changed since it was loaded

enum class AfterQuestion { Overwritten, KeptTheirs, Reloaded };
struct QuestionCase {
  int answer;
  AfterQuestion outcome;
};
// Windows' own box has Yes and No; elsewhere the buttons read 上書き,
// 再読み込み and キャンセル.
#ifdef _WIN32
constexpr unsigned kQuestionBox = MB_ICONWARNING | MB_YESNO;
const QuestionCase kQuestionCases[] = {{IDYES, AfterQuestion::Overwritten},
                                       {IDNO, AfterQuestion::KeptTheirs}};
#else
constexpr unsigned kQuestionBox = MB_ICONWARNING | MB_YESNOCANCEL | kOverwriteReloadButtons;
const QuestionCase kQuestionCases[] = {{IDYES, AfterQuestion::Overwritten},
                                       {IDNO, AfterQuestion::Reloaded},
                                       {IDCANCEL, AfterQuestion::KeptTheirs}};
#endif

TEST_F(EditorTest, ChangeOverAFileChangedElsewhereAsksFirst) {
  for (const QuestionCase& c : kQuestionCases) {
    SCOPED_TRACE(c.answer);
    InstallModalScript();
    WriteWholeFile(path_, MetricsFile());
    StartOnFile();
    TypeInto(IDC_CHARACTER, "A");
    TypeInto(IDC_WIDTH, "40");
    Bytes theirs = MetricsFile();
    WriteSingle(theirs.data(), ValueOffset('B', Width), 99.0f);
    WriteWholeFile(path_, theirs);
    AnswerNextMessageBox(c.answer);
    Click(IDC_CHANGE);
    ASSERT_EQ(MessagesShown().size(), 1u);
    EXPECT_EQ(MessagesShown()[0].caption, "QUORVEL");
    EXPECT_NE(MessagesShown()[0].text.find("changed by another program"), std::string::npos);
    EXPECT_EQ(MessagesShown()[0].type, kQuestionBox);
    Bytes ours = MetricsFile();
    WriteSingle(ours.data(), ValueOffset('A', Width), 40.0f);
    EXPECT_EQ(OnDisk(), c.outcome == AfterQuestion::Overwritten ? ours : theirs);
    if (c.outcome == AfterQuestion::Reloaded) {
      EXPECT_EQ(ControlText(IDC_NUMBER), "0") << "loaded afresh, as after opening";
      TypeInto(IDC_CHARACTER, "B");
      EXPECT_EQ(ControlText(IDC_WIDTH), "99");
    }
    if (c.outcome == AfterQuestion::KeptTheirs) {
      AnswerNextMessageBox(IDCANCEL);
      Click(IDC_CHANGE);
      EXPECT_EQ(MessagesShown().size(), 2u) << "the document is still the one loaded: asked again";
      EXPECT_EQ(OnDisk(), theirs);
    }
    StopEditor();
  }
}

// Values that seven digits do not give back are stored bit for bit when their
// field is left as shown, in every record of the scope; a retyped field stores
// what was typed, and Clear forgets the shown values.
TEST_F(EditorTest, UntouchedFieldsKeepTheirExactValues) {
  const float exact = 15.234375f;  // shown as "15.23438"
  Bytes file = MetricsFile();
  for (int code = 0; code < 255; ++code) WriteSingle(file.data(), ValueOffset(code, Height), exact);
  WriteSingle(file.data(), kLineSpacingOffset, exact);
  WriteWholeFile(path_, file);
  StartOnFile();
  TypeInto(IDC_CHARACTER, "A");
  ASSERT_EQ(ControlText(IDC_HEIGHT), "15.23438");
  Click(IDC_SCOPE_HALFALNUM);
  TypeInto(IDC_WIDTH, "9");
  TypeInto(IDC_HEIGHT, "15.23438");  // retyped as shown: still untouched
  Click(IDC_CHANGE);
  Bytes disk = OnDisk();
  for (int code = 0x20; code <= 0x7F; ++code) {
    EXPECT_EQ(ReadRecordValue(disk.data(), code, Width), 9.0f) << code;
    EXPECT_EQ(ReadRecordValue(disk.data(), code, Height), exact) << code;
    EXPECT_EQ(ReadRecordValue(disk.data(), code, SpacingLeft), 16.25f) << "shown for A";
  }
  EXPECT_EQ(ReadLineSpacing(disk.data()), exact);
  Click(IDC_CLEAR);
  TypeValues({"", "15.23438", "", "", "", ""});
  Click(IDC_CHANGE);
  EXPECT_EQ(ReadRecordValue(OnDisk().data(), 'A', Height), 15.23438f) << "typed after Clear";
}

// Typing after the number the selector wrote: the digits follow it.
TEST_F(EditorTest, DigitsTypedAfterARewrittenNumberFollowIt) {
  StartOnFile();
  ASSERT_EQ(ControlText(IDC_NUMBER), "0");
  FocusControl(IDC_NUMBER);
  PressKey(Key::End);
  TypeText("65");
  EXPECT_EQ(ControlText(IDC_NUMBER), "65");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "A");
}

// A folder in the file's place cannot be opened for writing, even by root; a
// file that is gone is never created anew.
TEST_F(EditorTest, ChangeToAFileThatCannotBeWrittenReportsIt) {
  for (bool folderInItsPlace : {true, false}) {
    SCOPED_TRACE(folderInItsPlace ? "folder" : "removed");
    InstallModalScript();
    WriteWholeFile(path_, MetricsFile());
    StartOnFile();
    std::filesystem::remove(path_);
    if (folderInItsPlace) std::filesystem::create_directory(path_);
    Click(IDC_CHANGE);
    ASSERT_EQ(MessagesShown().size(), 1u);
    EXPECT_EQ(MessagesShown()[0].text, "File Handle Error");
    EXPECT_EQ(MessagesShown()[0].caption, "QUORVEL");
    EXPECT_EQ(MessagesShown()[0].type, static_cast<unsigned>(MB_ICONERROR | MB_OK));
    EXPECT_EQ(std::filesystem::exists(path_), folderInItsPlace);
    StopEditor();
    std::filesystem::remove(path_);
  }
}

// ---- Undo, redo and a whole image written as one change. Undo and redo are
// driven by the editor's own commands, which every front end's keys and menus call.

// The test file with code A's width set to width.
Bytes FileWithWidthOfA(float width) {
  Bytes bytes = MetricsFile();
  WriteSingle(bytes.data(), ValueOffset('A', Width), width);
  return bytes;
}

class UndoTest : public EditorTest {
 protected:
  // Code A's width changed to 40 through the dialog and written.
  void ChangeWidthOfA() {
    StartOnFile();
    TypeInto(IDC_CHARACTER, "A");
    TypeInto(IDC_WIDTH, "40");
    Click(IDC_CHANGE);
    ASSERT_TRUE(OnDisk() == FileWithWidthOfA(40));
  }
};

TEST_F(UndoTest, UndoRestoresTheFileAndTheFields) {
  ChangeWidthOfA();
  UndoChange();
  EXPECT_TRUE(OnDisk() == MetricsFile());
  EXPECT_EQ(FieldTexts(), ShownValues(65));
  EXPECT_FALSE(CanUndo(g_history));
  UndoChange();  // nothing left to undo: nothing written, nothing said
  EXPECT_TRUE(OnDisk() == MetricsFile());
  EXPECT_TRUE(MessagesShown().empty());
}

TEST_F(UndoTest, RedoWritesTheUndoneChangeAgain) {
  ChangeWidthOfA();
  UndoChange();
  RedoChange();
  EXPECT_TRUE(OnDisk() == FileWithWidthOfA(40));
  EXPECT_EQ(ControlText(IDC_WIDTH), "40");
  EXPECT_FALSE(CanRedo(g_history));
  UndoChange();
  TypeInto(IDC_WIDTH, "7");
  Click(IDC_CHANGE);
  EXPECT_FALSE(CanRedo(g_history)) << "a new change drops what was undone";
}

// Undo writes the file as the change command does: over another program's change
// only when the user says so.
TEST_F(UndoTest, UndoOverAnOutsideChangeAsksAsTheChangeDoes) {
  for (const QuestionCase& c : kQuestionCases) {
    SCOPED_TRACE(c.answer);
    InstallModalScript();
    WriteWholeFile(path_, MetricsFile());
    ChangeWidthOfA();
    const Bytes theirs = FileWithWidthOfA(99);
    WriteWholeFile(path_, theirs);
    AnswerNextMessageBox(c.answer);
    UndoChange();
    ASSERT_EQ(MessagesShown().size(), 1u);
    EXPECT_EQ(MessagesShown()[0].type, kQuestionBox);
    EXPECT_TRUE(OnDisk() == (c.outcome == AfterQuestion::Overwritten ? MetricsFile() : theirs));
    EXPECT_EQ(CanUndo(g_history), c.outcome == AfterQuestion::KeptTheirs)
        << "undone, or forgotten with the reload";
    StopEditor();
  }
}

TEST_F(UndoTest, AFailedUndoWriteKeepsTheHistory) {
  ChangeWidthOfA();
  std::filesystem::remove(path_);
  std::filesystem::create_directory(path_);
  UndoChange();
  ASSERT_EQ(MessagesShown().size(), 1u);
  EXPECT_EQ(MessagesShown()[0].text, "File Handle Error");
  EXPECT_TRUE(CanUndo(g_history));
  // The file back as the change left it, though not the same file: asked, then undone.
  std::filesystem::remove(path_);
  WriteWholeFile(path_, FileWithWidthOfA(40));
  AnswerNextMessageBox(IDYES);
  UndoChange();
  EXPECT_TRUE(OnDisk() == MetricsFile());
}

TEST_F(UndoTest, ALoadForgetsTheHistory) {
  ChangeWidthOfA();
  const std::string other = folder_.Path("other.fnt");
  WriteWholeFile(other, MetricsFile());
  AnswerNextOpenDialog(other);
  Click(IDC_OPEN);
  EXPECT_FALSE(CanUndo(g_history));
  UndoChange();
  EXPECT_TRUE(ReadWholeFile(other) == MetricsFile());
  EXPECT_TRUE(OnDisk() == FileWithWidthOfA(40));
}

// A whole image (values measured from a font, say) is written as one change: one
// undo step, the fields showing the file's values at once.
TEST_F(UndoTest, AWholeImageIsWrittenAsOneChange) {
  StartOnFile();
  TypeInto(IDC_CHARACTER, "A");
  std::vector<uint8_t> image(g_document.image, g_document.image + kMetricsImageSize);
  WriteSingle(image.data(), ValueOffset('A', Width), 40);
  WriteSingle(image.data(), ValueOffset('B', Height), 3);
  EXPECT_TRUE(WriteImageAsChange(image.data()));
  Bytes expected = FileWithWidthOfA(40);
  WriteSingle(expected.data(), ValueOffset('B', Height), 3);
  EXPECT_TRUE(OnDisk() == expected);
  EXPECT_EQ(ControlText(IDC_WIDTH), "40");
  UndoChange();
  EXPECT_TRUE(OnDisk() == MetricsFile()) << "one step";
  EXPECT_FALSE(CanUndo(g_history));

  StopEditor();
  StartEditor("QUORVEL.exe");
  EXPECT_FALSE(WriteImageAsChange(image.data()));
  ASSERT_EQ(MessagesShown().size(), 1u);
  EXPECT_EQ(MessagesShown()[0].text, "No file is open");
}

// What the program around the dialog hears: each event recorded here, then passed
// on to whatever listened before (the Qt window does).
std::vector<std::string> g_eventsHeard;
EditorEvents g_eventsBefore;

void HearLoad() {
  g_eventsHeard.push_back(g_document.image ? "loaded" : "load failed");
  if (g_eventsBefore.documentLoaded) g_eventsBefore.documentLoaded();
}
void HearWrite(const uint8_t* before) {
  const float widthBefore = ReadSingle(before, ValueOffset('A', Width));
  const float widthNow = ReadSingle(g_document.image, ValueOffset('A', Width));
  g_eventsHeard.push_back("written " + std::to_string(static_cast<int>(widthBefore)) + "->" +
                          std::to_string(static_cast<int>(widthNow)));
  if (g_eventsBefore.imageWritten) g_eventsBefore.imageWritten(before);
}
void HearCommand() {
  if (g_eventsHeard.empty() || g_eventsHeard.back() != "command")
    g_eventsHeard.push_back("command");
  if (g_eventsBefore.commandHandled) g_eventsBefore.commandHandled();
}
void HearError(const char* text, const char* details) {
  g_eventsHeard.push_back(std::string("error ") + text + " / " + details);
  if (g_eventsBefore.errorShown) g_eventsBefore.errorShown(text, details);
}

TEST_F(UndoTest, TheProgramAroundHearsLoadsWritesAndErrors) {
  StartOnFile();
  g_eventsHeard.clear();
  g_eventsBefore = g_editorEvents;
  g_editorEvents = EditorEvents{HearLoad, HearWrite, HearCommand, HearError};
  TypeInto(IDC_CHARACTER, "A");
  TypeInto(IDC_WIDTH, "40");
  Click(IDC_CHANGE);
  UndoChange();
  RedoChange();
  const std::string wrong = folder_.Path("wrong.fnt");
  WriteWholeFile(wrong, Bytes(10, 0));
  AnswerNextOpenDialog(wrong);
  Click(IDC_OPEN);
  g_editorEvents = g_eventsBefore;
  const std::vector<std::string> expected = {
      "command",
      "written 65->40",
      "command",
      "written 40->65",
      "command",
      "written 65->40",
      "load failed",
      "error Error / wrong.fnt: wrong size: 10 bytes, a metrics file has exactly "
      "14632 bytes",
      "command"};
  EXPECT_EQ(g_eventsHeard, expected);
}

// ---- Scope boxes, clear

TEST_F(EditorTest, ScopeBoxesGreyTheSelectionAndUncheckingReloads) {
  StartOnFile();
  TypeInto(IDC_CHARACTER, "A");
  TypeInto(IDC_WIDTH, "123");
  Click(IDC_SCOPE_FULLWIDTH);
  EXPECT_FALSE(IsEnabled(IDC_CHARACTER));
  EXPECT_FALSE(IsEnabled(IDC_NUMBER));
  EXPECT_FALSE(IsEnabled(IDC_UPDOWN)) << "its arrows would select another code";
  EXPECT_EQ(ControlText(IDC_WIDTH), "123");  // kept: it is what a change applies
  Click(IDC_SCOPE_HALFALNUM);
  Click(IDC_SCOPE_FULLWIDTH);
  EXPECT_FALSE(IsEnabled(IDC_CHARACTER)) << "one box is still checked";
  EXPECT_EQ(ControlText(IDC_WIDTH), "123");
  Click(IDC_SCOPE_HALFALNUM);
  EXPECT_TRUE(IsEnabled(IDC_CHARACTER));
  EXPECT_TRUE(IsEnabled(IDC_NUMBER));
  EXPECT_TRUE(IsEnabled(IDC_UPDOWN));
  EXPECT_EQ(FieldTexts(), ShownValues(65));  // the typed value is gone
  EXPECT_TRUE(OnDisk() == MetricsFile());
}

TEST_F(EditorTest, ScopeBoxesWithoutFileOnlyGreyTheSelection) {
  StartEditor("QUORVEL.exe");
  TypeInto(IDC_WIDTH, "5");
  Click(IDC_SCOPE_HALFKANA);
  EXPECT_FALSE(IsEnabled(IDC_NUMBER));
  Click(IDC_SCOPE_HALFKANA);
  EXPECT_TRUE(IsEnabled(IDC_NUMBER));
  EXPECT_EQ(ControlText(IDC_WIDTH), "5");
}

TEST_F(EditorTest, ClearSetsTheFieldsToZeroWithoutTouchingTheFile) {
  StartOnFile();
  TypeInto(IDC_CHARACTER, "A");
  Click(IDC_CLEAR);
  EXPECT_EQ(FieldTexts(), kZeroFields);
  EXPECT_EQ(ControlText(IDC_NUMBER), "65");
  EXPECT_TRUE(OnDisk() == MetricsFile());
  // Relative zeros change nothing; absolute zeros are stored.
  Click(IDC_RELATIVE);
  Click(IDC_CHANGE);
  EXPECT_TRUE(OnDisk() == MetricsFile());
  Click(IDC_ABSOLUTE);
  Click(IDC_CHANGE);
  Bytes disk = OnDisk();
  EXPECT_EQ(ReadRecordValue(disk.data(), 'A', Width), 0.0f);
  EXPECT_EQ(ReadLineSpacing(disk.data()), 0.0f);
}

// ---- The open command

TEST_F(EditorTest, OpenLoadsTheChosenFileAndRemembersTheFilter) {
  StartOnFile();
  TypeInto(IDC_CHARACTER, "A");
  std::string other = folder_.Path("other.fnt");
  Bytes otherBytes = MetricsFile();
  WriteSingle(otherBytes.data(), kLineSpacingOffset, 3);
  WriteWholeFile(other, otherBytes);
  AnswerNextOpenDialog(other, 2);
  Click(IDC_OPEN);
  EXPECT_EQ(Caption(), "QUORVEL - other.fnt");
  EXPECT_EQ(ControlText(IDC_NUMBER), "0");
  EXPECT_EQ(ControlText(IDC_CHARACTER), "");
  std::vector<std::string> shown = ShownValues(0);
  shown[5] = "3";
  EXPECT_EQ(FieldTexts(), shown);

  CancelNextOpenDialog();
  Click(IDC_OPEN);
  const std::vector<OpenDialogRequest>& requests = OpenDialogRequests();
  ASSERT_EQ(requests.size(), 2u);
  const OpenDialogRequest& first = requests[0];
  EXPECT_EQ(first.structSize, sizeof(OPENFILENAMEA));
  EXPECT_EQ(first.owner, EditorWindow());
  EXPECT_EQ(first.filter, "Fntファイル(*.fnt)|*.fnt|すべてのファイル(*.*)|*.*|");
  EXPECT_EQ(first.filterIndex, 0u);
  EXPECT_EQ(first.title, "QUORVEL");
  EXPECT_EQ(first.defaultExtension, ".fnt");
  EXPECT_EQ(first.flags, 0x281800u);
  EXPECT_GE(first.maxFile, 260u);
  EXPECT_FALSE(first.hasCustomFilter || first.hasFileTitle || first.hasInitialDir ||
               first.hasHook || first.hasTemplate);
  EXPECT_EQ(requests[1].filterIndex, 2u) << "the filter chosen last is preselected";
}

TEST_F(EditorTest, OpenThenCancelKeepsEverything) {
  StartOnFile();
  TypeInto(IDC_CHARACTER, "A");
  CancelNextOpenDialog();
  Click(IDC_OPEN);
  EXPECT_EQ(Caption(), "QUORVEL - my metrics.fnt");
  EXPECT_EQ(ControlText(IDC_NUMBER), "65");
  EXPECT_EQ(FieldTexts(), ShownValues(65));
  TypeInto(IDC_WIDTH, "8");
  Click(IDC_CHANGE);
  EXPECT_EQ(ReadRecordValue(OnDisk().data(), 'A', Width), 8.0f);
  EXPECT_TRUE(MessagesShown().empty());
}

TEST_F(EditorTest, OpenWrongSizeFileWhileLoadedDropsTheDocument) {
  StartOnFile();
  TypeInto(IDC_CHARACTER, "A");
  std::string wrong = folder_.Path("wrong.fnt");
  Bytes longer = MetricsFile();
  longer.push_back(0);
  WriteWholeFile(wrong, longer);
  AnswerNextOpenDialog(wrong);
  Click(IDC_OPEN);
  ASSERT_EQ(MessagesShown().size(), 1u);
  EXPECT_EQ(MessagesShown()[0].text, "Error");
  // Nothing is loaded any more: the caption names no file, and the change command
  // says so instead of writing.
  EXPECT_EQ(Caption(), "QUORVEL");
  EXPECT_EQ(FieldTexts(), ShownValues(65));
  TypeInto(IDC_WIDTH, "8");
  Click(IDC_CHANGE);
  EXPECT_TRUE(OnDisk() == MetricsFile());
  EXPECT_TRUE(ReadWholeFile(wrong) == longer);
  ASSERT_EQ(MessagesShown().size(), 2u);
  EXPECT_EQ(MessagesShown()[1].text, "No file is open");
}

// ---- The template

struct ControlCase {
  int id;
  const char* className;
  const char* text;
  uint32_t style;  // besides WS_CHILD | WS_VISIBLE
  bool clientEdge;
};

TEST_F(EditorTest, TemplateHasEveryControl) {
  const uint32_t tab = WS_TABSTOP;
  const ControlCase cases[] = {
      {IDC_CHARACTER, "Edit", "", tab | ES_AUTOHSCROLL | ES_WANTRETURN, true},
      {IDC_NUMBER, "Edit", "", tab | ES_AUTOHSCROLL | ES_NUMBER, true},
      {IDC_UPDOWN, "msctls_updown32", "",
       UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY | UDS_ARROWKEYS | UDS_NOTHOUSANDS, false},
      {IDC_WIDTH, "Edit", "0", tab | ES_AUTOHSCROLL, true},
      {IDC_HEIGHT, "Edit", "0", tab | ES_AUTOHSCROLL, true},
      {IDC_SPACING_LEFT, "Edit", "0", tab | ES_AUTOHSCROLL, true},
      {IDC_SPACING_RIGHT, "Edit", "0", tab | ES_AUTOHSCROLL, true},
      {IDC_OFFSET_Y, "Edit", "0", tab | ES_AUTOHSCROLL, true},
      {IDC_LINE_SPACING, "Edit", "0", tab | ES_AUTOHSCROLL, true},
      {IDC_OPEN, "Button", "開く", tab | BS_PUSHBUTTON, false},
      {IDC_CHANGE, "Button", "変更", tab | BS_PUSHBUTTON, false},
      {IDC_CLEAR, "Button", "クリア", tab | BS_PUSHBUTTON, false},
      {IDC_SCOPE_GROUP, "Button", "変更範囲", BS_GROUPBOX, false},
      {IDC_SCOPE_FULLWIDTH, "Button", "全角", tab | BS_AUTOCHECKBOX, false},
      {IDC_SCOPE_HALFKANA, "Button", "半角カナ", tab | BS_AUTOCHECKBOX, false},
      {IDC_SCOPE_HALFALNUM, "Button", "半角英数", tab | BS_AUTOCHECKBOX, false},
      {IDC_VALUE_GROUP, "Button", "値", BS_GROUPBOX, false},
      {IDC_ABSOLUTE, "Button", "絶対値", tab | BS_AUTORADIOBUTTON, false},
      {IDC_RELATIVE, "Button", "相対値", tab | BS_AUTORADIOBUTTON, false},
      {1300, "Static", "キャラクタ", SS_RIGHT, false},
      {1301, "Static", "番号", SS_RIGHT, false},
      {1302, "Static", "幅", SS_RIGHT, false},
      {1303, "Static", "高さ", SS_RIGHT, false},
      {1305, "Static", "字間(左)", SS_RIGHT, false},
      {1304, "Static", "字間(右)", SS_RIGHT, false},
      {1306, "Static", "Y座標", SS_RIGHT, false},
      {1311, "Static", "行間", SS_RIGHT, false},
  };
  StartEditor("QUORVEL.exe");
  EXPECT_EQ(Caption(), "QUORVEL");
  for (const ControlCase& c : cases) {
    SCOPED_TRACE(c.id);
    ControlFacts facts = DescribeControl(c.id);
    ASSERT_TRUE(facts.exists);
    EXPECT_EQ(strcasecmp(facts.className.c_str(), c.className), 0) << facts.className;
    if (c.id != IDC_UPDOWN) {
      EXPECT_EQ(ControlText(c.id), c.text);
    }
    uint32_t expected = WS_CHILD | WS_VISIBLE | c.style;
    EXPECT_EQ(facts.style & expected, expected);
    EXPECT_EQ(facts.style & WS_GROUP, 0u);
    if (!(c.style & WS_TABSTOP)) {
      EXPECT_EQ(facts.style & WS_TABSTOP, 0u);
    }
    EXPECT_EQ((facts.exStyle & WS_EX_CLIENTEDGE) != 0, c.clientEdge);
  }
}

TEST_F(EditorTest, TabRunsThroughTheTemplateOrder) {
  const int order[] = {IDC_CHARACTER,      IDC_NUMBER,          IDC_WIDTH,    IDC_HEIGHT,
                       IDC_SPACING_LEFT,   IDC_SPACING_RIGHT,   IDC_OFFSET_Y, IDC_LINE_SPACING,
                       IDC_OPEN,           IDC_CHANGE,          IDC_CLEAR,    IDC_SCOPE_FULLWIDTH,
                       IDC_SCOPE_HALFKANA, IDC_SCOPE_HALFALNUM, IDC_ABSOLUTE, IDC_RELATIVE,
                       IDC_CHARACTER};
  StartEditor("QUORVEL.exe");
  for (size_t i = 0; i + 1 < std::size(order); ++i) {
    EXPECT_EQ(NextTabItem(order[i]), order[i + 1]) << "after " << order[i];
  }
  FocusControl(IDC_OFFSET_Y);
  PressKey(Key::Tab);
  EXPECT_EQ(FocusedControl(), IDC_LINE_SPACING);
}

TEST_F(EditorTest, CloseEndsWithZero) {
  StartOnFile();
  int result = -1;
  EXPECT_TRUE(CloseEditor(&result));
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(EditorIsOpen());
}

}  // namespace
