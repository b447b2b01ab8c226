// The first command-line argument, as the program takes it at start.
#include <gtest/gtest.h>

#include <string>

#include "command_line.h"
#include "metrics_document.h"

namespace {

struct ArgumentCase {
  const char* label;
  const char* commandLine;
  int result;
  const char* argument;
};

TEST(GetFirstArgument, TokenRules) {
  const ArgumentCase cases[] = {
      {"program path alone", "C:\\QUORVEL.exe", 0, ""},
      {"quoted program path alone", "\"C:\\Program Files\\QUORVEL.exe\"", 0, ""},
      {"quoted program, unquoted path", "\"C:\\Q.exe\" C:\\f\\a.fnt", 1, "C:\\f\\a.fnt"},
      {"quoted program, quoted path with spaces", "\"C:\\Q.exe\" \"C:\\My Fonts\\a b.fnt\"", 1,
       "C:\\My Fonts\\a b.fnt"},
      {"program, a space and nothing else", "Q.exe ", 1, ""},
      {"program, two spaces, a path", "Q.exe  a.fnt", 1, ""},
      {"unclosed quote", "Q.exe \"a.fnt", 0, ""},
      {"unclosed quote in the program path", "\"Q.exe a.fnt", 0, ""},
      {"plain program, plain path", "Q.exe a.fnt", 1, "a.fnt"},
      {"further tokens are ignored", "Q.exe a.fnt b.fnt", 1, "a.fnt"},
      {"quote drops what came before it", "Q.exe ab\"c d\"", 1, "c d"},
      {"character after the closing quote is the separator", "\"Q.exe\"xa.fnt", 1, "a.fnt"},
      {"empty quoted argument", "Q.exe \"\"", 1, ""},
      {"tab is no separator", "Q.exe\ta.fnt", 0, ""},
      {"empty command line", "", 0, ""},
  };
  for (const auto& c : cases) {
    char out[kPathBufferSize];
    std::fill(std::begin(out), std::end(out), 'x');
    EXPECT_EQ(GetFirstArgument(c.commandLine, out, sizeof out), c.result) << c.label;
    EXPECT_STREQ(out, c.argument) << c.label;
  }
}

TEST(GetFirstArgument, ArgumentThatDoesNotFitIsNone) {
  char out[260];
  std::string fits = "Q.exe " + std::string(259, 'a');
  EXPECT_EQ(GetFirstArgument(fits.c_str(), out, sizeof out), 1);
  EXPECT_EQ(std::string(out), std::string(259, 'a'));
  std::string tooLong = "Q.exe " + std::string(260, 'a');
  EXPECT_EQ(GetFirstArgument(tooLong.c_str(), out, sizeof out), 0);
  EXPECT_STREQ(out, "");
}

}  // namespace
