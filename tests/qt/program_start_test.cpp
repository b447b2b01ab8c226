// The Qt program's start: its command line, the first argument into the path
// buffer (whole or not at all), and the path of a dropped file.
#include "program_start.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

namespace {

TEST(TakeFirstArgument, FitsOrCountsAsNone) {
  struct Case {
    const char* name;
    std::string argument;
    bool missing;
    size_t bufferSize;
    bool taken;
    std::string path;
  } cases[] = {
      {"no argument", "", true, 8, false, ""},
      {"plain path", "a.fnt", false, 8, true, "a.fnt"},
      {"spaces and quotes stay as given", "my \"x\".fnt", false, 16, true, "my \"x\".fnt"},
      {"empty argument", "", false, 8, true, ""},
      {"exactly fills the buffer with its NUL", "1234567", false, 8, true, "1234567"},
      {"one byte too long is refused, not cut", "12345678", false, 8, false, ""},
  };
  for (const auto& c : cases) {
    char path[32];
    std::fill(std::begin(path), std::end(path), 'x');
    EXPECT_EQ(TakeFirstArgument(c.missing ? nullptr : c.argument.c_str(), path, c.bufferSize),
              c.taken)
        << c.name;
    EXPECT_EQ(std::string(path), c.path) << c.name;
  }
}

TEST(ParseProgramOptions, OneOptionalFileAndTwoOptions) {
  using Action = ProgramOptions::Action;
  const struct {
    std::vector<std::string> args;
    Action action;
    const char* file;
  } cases[] = {
      {{}, Action::Run, nullptr},
      {{"main.fnt"}, Action::Run, "main.fnt"},
      {{"--", "-reverse"}, Action::Run, "-reverse"},
      {{"-reverse"}, Action::Error, nullptr},  // never taken as Qt's option
      {{"--bogus", "main.fnt"}, Action::Error, nullptr},
      {{"a.fnt", "b.fnt"}, Action::Error, nullptr},
      {{"--help", "main.fnt"}, Action::Help, nullptr},
      {{"-v"}, Action::Version, nullptr},
      {{"\x82\xa0.fnt"}, Action::Run, "\x82\xa0.fnt"},  // not UTF-8: the bytes as given
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"quorvel"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    std::vector<char*> argv;
    for (std::string& arg : args) argv.push_back(&arg[0]);
    const ProgramOptions options = ParseProgramOptions(static_cast<int>(argv.size()), argv.data());
    const std::string label = args.size() > 1 ? args[1] : "(none)";
    EXPECT_EQ(options.action, c.action) << label;
    EXPECT_EQ(options.file ? std::string(options.file) : "-", c.file ? c.file : "-") << label;
    EXPECT_EQ(options.error.empty(), c.action != Action::Error) << label;
  }
}

TEST(LocalPathFromUriList, FirstLocalFileAsBytes) {
  const struct {
    const char* list;
    const char* path;
  } cases[] = {
      {"file:///home/a/main.fnt\r\n", "/home/a/main.fnt"},
      {"file://localhost/x%20y.fnt", "/x y.fnt"},
      {"# a comment\nhttp://host/x\nfile:///z.fnt\nfile:///second.fnt", "/z.fnt"},
      {"file:///%82%A0.fnt", "/\x82\xa0.fnt"},  // a Shift-JIS name stays as it is
      {"file:///a%00b.fnt", ""},                // a NUL would name another file
      {"http://host/x.fnt", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LocalPathFromUriList(QByteArray(c.list)), c.path) << c.list;
  }
}

}  // namespace
