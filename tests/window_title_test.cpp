// The window title: file names from paths, string appending and the caption.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "metrics_document.h"
#include "window_title.h"

namespace {

struct NameCase {
  const char* label;
  const char* path;
  const char* name;
};

std::string NameOf(const char* path) {
  char out[kPathBufferSize] = {};
  FileNameFromPath(path, out);
  return out;
}

// Each system's own rule; the Windows build runs its table under Wine.
#ifdef _WIN32
TEST(FileNameFromPath, WindowsPaths) {
  const NameCase cases[] = {
      {"drive and folders", "C:\\fonts\\main.fnt", "main.fnt"},
      {"no separator", "main.fnt", "main.fnt"},
      {"trailing backslash", "C:\\fonts\\", ""},
      {"drive-relative", "C:main.fnt", "main.fnt"},
      {"colon after backslash", "a\\b:c.fnt", "c.fnt"},
      {"empty path", "", ""},
      {"forward slash is no separator", "C:\\x/y.fnt", "x/y.fnt"},
      {"spaces", "C:\\My Fonts\\a b.fnt", "a b.fnt"},
      // 表 is 0x95 0x5C and ソ 0x83 0x5C: the trail byte is not a backslash.
      {"trail byte 0x5C in the name", "C:\\f\\\x95\x5C.fnt", "\x95\x5C.fnt"},
      {"trail byte 0x5C in a folder", "C:\\\x83\x5C\\\x83\x5C\x83\x74\x83\x67.fnt",
       "\x83\x5C\x83\x74\x83\x67.fnt"},
      {"half-width kana are single bytes", "C:\\\xB1\\\xB2.fnt", "\xB2.fnt"},
  };
  for (const auto& c : cases) EXPECT_EQ(NameOf(c.path), c.name) << c.label;
}
#else
TEST(FileNameFromPath, PosixPaths) {
  const NameCase cases[] = {
      {"absolute", "/home/user/main.fnt", "main.fnt"},
      {"no separator", "main.fnt", "main.fnt"},
      {"trailing slash", "/home/user/", ""},
      {"backslash and colon are ordinary", "a\\b:c.fnt", "a\\b:c.fnt"},
      {"utf-8 name", "/tmp/\xE8\xA1\xA8.fnt", "\xE8\xA1\xA8.fnt"},
      {"empty path", "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(NameOf(c.path), c.name) << c.label;
}
#endif

TEST(AppendStrings, AppendsInOrderAndReturnsDest) {
  char dest[32] = "ab";
  EXPECT_EQ(AppendStrings(3, dest, "c", "", "de"), dest);
  EXPECT_STREQ(dest, "abcde");
  EXPECT_STREQ(AppendStrings(1, dest, "f"), "abcdef");
}

TEST(ComposeCaption, TitleSeparatorAndName) {
  char caption[kTextBufferSize];
#ifdef _WIN32
  ComposeCaption("C:\\fonts\\main.fnt", caption);
#else
  ComposeCaption("/fonts/main.fnt", caption);
#endif
  EXPECT_STREQ(caption, "QUORVEL - main.fnt");
  ComposeCaption("main.fnt", caption);
  EXPECT_STREQ(caption, "QUORVEL - main.fnt");
}

TEST(ComposeCaption, LongNameIsCutToTheTextBuffer) {
  // 10 bytes of title and separator + 255 of name = 265: five too many.
  std::string name(255, 'n');
  char caption[kTextBufferSize];
  std::memset(caption, 'x', sizeof caption);
  ComposeCaption(name.c_str(), caption);
  EXPECT_EQ(std::strlen(caption), kTextBufferSize - 1);
  EXPECT_EQ(std::string(caption).substr(0, 10), "QUORVEL - ");
}

TEST(CharacterBoundary, ShiftJisNeverSplitsADoubleByteCharacter) {
  // "a" then 表 (0x95 0x5C): a cut after 2 bytes would leave a lone lead byte.
  EXPECT_EQ(ShiftJisPrefixLength("a\x95\x5C", 2), 1u);
  EXPECT_EQ(ShiftJisPrefixLength("a\x95\x5C", 3), 3u);
  EXPECT_EQ(ShiftJisPrefixLength("ab\xB1", 3), 3u) << "half-width kana are one byte";
  EXPECT_EQ(ShiftJisPrefixLength("abc", 10), 3u);
}

TEST(CharacterBoundary, Utf8NeverSplitsAMultiByteCharacter) {
  // "a" then 表 (E8 A1 A8).
  EXPECT_EQ(Utf8PrefixLength("a\xE8\xA1\xA8", 1), 1u);
  EXPECT_EQ(Utf8PrefixLength("a\xE8\xA1\xA8", 2), 1u);
  EXPECT_EQ(Utf8PrefixLength("a\xE8\xA1\xA8", 3), 1u);
  EXPECT_EQ(Utf8PrefixLength("a\xE8\xA1\xA8", 4), 4u);
  EXPECT_EQ(Utf8PrefixLength("abc", 10), 3u);
  // Bytes that are not UTF-8 cost at most three bytes of the text.
  EXPECT_EQ(Utf8PrefixLength("ab\x80\x80\x80\x80\x80\x80", 6), 3u);
}

}  // namespace
