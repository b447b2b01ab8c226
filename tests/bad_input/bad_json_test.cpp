// Hostile JSON for quorvel-cli import: each case is refused promptly with exit 2
// and one line on stderr that holds no terminal escape, and nothing is written.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cli_process.h"
#include "message_text.h"
#include "metrics_format.h"
#include "metrics_json.h"
#include "test_files.h"

namespace fs = std::filesystem;

namespace {

// The export of a patterned file, for the cases that change one thing in it.
std::string ValidJson() {
  Bytes image = PatternedFile(3);
  image.resize(kMetricsImageSize, 0);
  return MetricsJsonText(image.data());
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  return text.replace(text.find(from), from.size(), to);
}

std::string Nested(size_t depth) { return std::string(depth, '[') + std::string(depth, ']'); }

std::string JsonFile(const TempFolder& folder, const std::string& text) {
  std::string path = folder.Path("in.json");
  WriteWholeFile(path, Bytes(text.begin(), text.end()));
  return path;
}

struct HostileCase {
  const char* name;
  std::function<std::string(const TempFolder&)> input;  // makes FILE.json, returns its path
  std::vector<std::string> mentions;
};

HostileCase Text(const char* name, const std::string& text, std::vector<std::string> mentions) {
  return {name, [text](const TempFolder& folder) { return JsonFile(folder, text); }, std::move(mentions)};
}

TEST(BadJson, HostileInputsAreRefusedOnOneLineAndNothingIsWritten) {
  const std::string valid = ValidJson();
  const std::string record7 = "{\"code\":7,";
  const HostileCase cases[] = {
      Text("80,000 levels in a value that a message names",
           Replaced(valid, "\"quorvel-metrics\"", Nested(80000)), {"nested deeper than 64 levels"}),
      Text("65 levels", Nested(65), {"nested deeper than 64 levels"}),
      Text("64 levels are read", Nested(64), {"expected an object, found array"}),
      Text("duplicate key at the top", Replaced(valid, "{", "{\"version\": 1,"),
           {": duplicate key \"version\""}),
      Text("duplicate key in a record", Replaced(valid, record7, record7 + "\"code\":7,"),
           {"records[7]: duplicate key \"code\""}),
      Text("misspelt widht", Replaced(valid, record7, record7 + "\"widht\":1,"),
           {"records[7]: unknown key \"widht\""}),
      Text("misspelt vlaues", Replaced(valid, "\"values_0_to_7\"", "\"vlaues_0_to_7\""),
           {"records[0]: unknown key \"vlaues_0_to_7\""}),
      Text("1 MiB and 1 byte", valid + std::string(kMaxJsonTextSize + 1 - valid.size(), ' '),
           {"larger than 1 MiB"}),
      Text("string of 500,000 bytes", Replaced(valid, "quorvel-metrics", std::string(500000, 'x')),
           {"format: \"" + std::string(40, 'x') + "...\", expected"}),
      Text("number token of 500,000 digits", "[1" + std::string(500000, '0') + "]",
           {"number overflow parsing '1" + std::string(39, '0') + "...'"}),
      Text("key with ESC and a newline",
           Replaced(valid, "{", "{\"\\u001b[2J\\nquorvel-cli: all\": 1,"),
           {"unknown key \"\\x1B[2J\\nquorvel-cli: all\""}),
      {"device /dev/zero",
       [](const TempFolder&) { return std::string("/dev/zero"); },
       {"/dev/zero: is a device"}},
      {"FIFO without a writer",
       [](const TempFolder& folder) {
         mkfifo(folder.Path("p.json").c_str(), 0600);
         return folder.Path("p.json");
       },
       {"p.json: not valid JSON", "unexpected end of input"}},
      {"directory",
       [](const TempFolder& folder) { return folder.Root().string(); },
       {"is a directory"}},
  };
  for (const HostileCase& c : cases) {
    TempFolder folder;
    std::string out = folder.Path("out.fnt");
    auto start = std::chrono::steady_clock::now();
    CliResult result = RunCli({"import", c.input(folder), out});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << c.name;
    EXPECT_TRUE(IsOneLineError(result, c.mentions)) << c.name;
    EXPECT_EQ(result.err.find('\x1B'), std::string::npos) << c.name;
    EXPECT_FALSE(fs::exists(out)) << c.name;
  }
}

TEST(BadJson, StandardInputIsReadNoFurtherThanTheLimit) {
  TempFolder folder;
  CliRun shell;
  shell.program = "/bin/sh";
  std::string out = folder.Path("out.fnt");
  CliResult result = RunCli({"-c", "exec \"$0\" import - \"$1\" </dev/zero", QUORVEL_CLI_PATH, out}, shell);
  EXPECT_TRUE(IsOneLineError(result, {"standard input: larger than 1 MiB"}));
  EXPECT_FALSE(fs::exists(out));
}

TEST(BadJson, TextOfExactly1MiBAndAPipeByPathAreRead) {
  TempFolder folder;
  std::string valid = ValidJson();
  std::string full = JsonFile(folder, valid + std::string(kMaxJsonTextSize - valid.size(), '\n'));
  CliRun shell;
  shell.program = "/bin/sh";
  std::vector<std::string> runs[] = {
      {"import", full, folder.Path("full.fnt")},
      {"-c", "cat \"$1\" | \"$0\" import /dev/stdin \"$2\"", QUORVEL_CLI_PATH, full, folder.Path("pipe.fnt")},
  };
  for (const auto& arguments : runs) {
    CliResult result = RunCli(arguments, arguments[0] == "-c" ? shell : CliRun{});
    EXPECT_EQ(result.exitCode, 0) << arguments.back() << ": " << result.err;
    EXPECT_EQ(ReadWholeFile(arguments.back()), PatternedFile(3)) << arguments.back();
  }
}

TEST(EscapedText, ControlsAreEscapedOthersPassAndCutsKeepWholeCharacters) {
  const struct {
    std::string_view text;
    size_t maxLength;
    const char* expected;
  } cases[] = {
      {"a\nb\rc\td", 0, "a\\nb\\rc\\td"},
      {"\x1B[2J", 0, "\\x1B[2J"},
      {std::string_view("\0\x1F\x7F", 3), 0, "\\x00\\x1F\\x7F"},
      {"\xC2\x85 \xC2\x9F", 0, "\\xC2\\x85 \\xC2\\x9F"},                                // C1 controls in UTF-8
      {"\xC2\xA0 \xE8\xA1\xA8 \x95\x5C \\n", 0, "\xC2\xA0 \xE8\xA1\xA8 \x95\x5C \\n"},  // UTF-8, Shift-JIS
      {"abcdef", 3, "abc..."},
      {"abc", 3, "abc"},
      {"a\xE8\xA1\xA8", 3, "a..."},
      {"ab\xF0\x9F\x98\x80", 5, "ab..."},
      {"a\xC2\x85", 2, "a..."},
      {"\n\n", 1, "\\n..."},
  };
  for (const auto& c : cases) EXPECT_EQ(EscapedText(c.text, c.maxLength), c.expected) << c.text;
}

}  // namespace
