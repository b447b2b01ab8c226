// The program as a whole: help, version, and arguments it cannot use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include <sys/stat.h>

#include <chrono>

#include "cli_process.h"
#include "metrics_format.h"
#include "test_files.h"

namespace {

const char* const kSubcommands[] = {"show", "set",   "export", "import",    "diff",
                                    "new",  "check", "render", "completion"};

TEST(QuorvelCli, VersionIsTheProjectVersion) {
  CliResult result = RunCli({"--version"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, "quorvel-cli " QUORVEL_VERSION "\n");
  EXPECT_EQ(result.err, "");
}

TEST(QuorvelCli, HelpListsEverySubcommand) {
  for (const char* flag : {"--help", "-h"}) {
    CliResult result = RunCli({flag});
    EXPECT_EQ(result.exitCode, 0) << flag;
    EXPECT_EQ(result.err, "") << flag;
    for (const char* name : kSubcommands) {
      EXPECT_NE(result.out.find(std::string("  ") + name + " "), std::string::npos) << flag << " " << name;
    }
    // One usage line, which the manual page's synopsis starts with.
    const size_t usage = result.out.find("Usage: quorvel-cli [OPTIONS] SUBCOMMAND [ARGUMENTS]\n");
    EXPECT_NE(usage, std::string::npos) << flag;
    EXPECT_EQ(result.out.find("Usage:", usage + 1), std::string::npos) << flag;
  }
}

TEST(QuorvelCli, EverySubcommandHasHelp) {
  for (const char* name : kSubcommands) {
    CliResult result = RunCli({name, "--help"});
    EXPECT_EQ(result.exitCode, 0) << name;
    EXPECT_EQ(result.err, "") << name;
    EXPECT_NE(result.out.find(std::string("Usage: quorvel-cli ") + name), std::string::npos) << name;
    EXPECT_EQ(result.out.back(), '\n') << name;
  }
}

TEST(QuorvelCli, UnusableArgumentsAreOneLineErrors) {
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    std::vector<std::string> mentions;
  } cases[] = {
      {"no subcommand", {}, {"subcommand is needed"}},
      {"misspelt subcommand", {"sho", "a.fnt"}, {"sho", "unknown subcommand", "did you mean \"show\""}},
      {"misspelt by two", {"chekc"}, {"did you mean \"check\""}},
      {"far from any name", {"frobnicate"}, {"unknown subcommand"}},
      {"unknown top-level option", {"--verbose", "show"}, {"--verbose", "unknown option"}},
      {"unknown subcommand option", {"show", "a.fnt", "--colour"}, {"quorvel-cli show", "--colour"}},
      {"missing file", {"show"}, {"quorvel-cli show", "FILE"}},
      {"misspelt value option", {"set", "a.fnt", "--code", "1", "--widht", "3"}, {"--widht"}},
      {"value not a number", {"set", "a.fnt", "--code", "1", "--width", "12abc"}, {"--width", "\"12abc\" is not a number"}},
      {"bad format", {"export", "a.fnt", "--format", "xml"}, {"xml"}},
      {"one file for diff", {"diff", "a.fnt"}, {"B.fnt"}},
      {"no output for import", {"import", "a.json"}, {"OUT.fnt"}},
  };
  for (const auto& c : cases) {
    CliResult result = RunCli(c.arguments);
    EXPECT_TRUE(IsOneLineError(result, c.mentions)) << c.name;
  }
  EXPECT_FALSE(RunCli({"frobnicate"}).err.find("did you mean") != std::string::npos)
      << "no hint when nothing is close";
}

// Standard input and pipes, such as bash's <(git show HEAD:main.fnt), are read as
// files are, with the same size check, and a FIFO without a writer never hangs.
TEST(QuorvelCli, StandardInputAndPipesAreReadLikeFiles) {
  TempFolder folder;
  std::string a = folder.Path("a.fnt"), b = folder.Path("b.fnt"), fifo = folder.Path("fifo.fnt");
  WriteWholeFile(a, PatternedFile(1));
  Bytes changed = PatternedFile(1);
  WriteSingle(changed.data(), ValueOffset(0x41, Width), 99.0f);
  WriteWholeFile(b, changed);
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  std::string diffLine = RunCli({"diff", a, b}).out;
  ASSERT_NE(diffLine.find("0x41 A width:"), std::string::npos) << diffLine;
  struct Case {
    std::string script;  // run by bash with $0 the program, $1 a.fnt, $2 b.fnt, $3 the FIFO
    int exitCode;
    std::string out;
    std::string errMention;
  } cases[] = {
      {"\"$0\" show - < \"$1\"", 0, RunCli({"show", a}).out, ""},
      {"cat \"$1\" | \"$0\" export -", 0, RunCli({"export", a}).out, ""},
      {"\"$0\" diff <(cat \"$1\") \"$2\"", 1, diffLine, ""},
      {"\"$0\" check \"$3\"", 1,
       fifo + ": wrong size: 0 bytes, a metrics file has exactly 14632 bytes\n", ""},
      {"head -c 14633 /dev/zero | \"$0\" show -", 2, "",
       "standard input: wrong size: more than 14632 bytes"},
      {"head -c 100 /dev/zero | \"$0\" show -", 2, "", "standard input: wrong size: 100 bytes"},
      {"\"$0\" diff - - < \"$1\"", 2, "", "standard input can be read only once"},
      {"\"$0\" set \"$3\" --code 1 --width 1", 2, "", "not a regular file"},
  };
  CliRun bash;
  bash.program = "/bin/bash";
  for (const auto& c : cases) {
    auto start = std::chrono::steady_clock::now();
    CliResult result = RunCli({"-c", c.script, QUORVEL_CLI_PATH, a, b, fifo}, bash);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << c.script;
    EXPECT_EQ(result.exitCode, c.exitCode) << c.script << ": " << result.err;
    EXPECT_EQ(result.out, c.out) << c.script;
    EXPECT_NE(result.err.find(c.errMention), std::string::npos) << c.script << ": " << result.err;
  }
}

}  // namespace
