// The program as a whole: help, version, and arguments it cannot use.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli_process.h"

namespace {

const char* const kSubcommands[] = {"show", "set", "export", "import", "diff", "new", "check"};

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

}  // namespace
