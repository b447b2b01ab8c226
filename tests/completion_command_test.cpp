// quorvel-cli completion: scripts made from the subcommand table, driven the way
// the shell drives them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "cli_process.h"
#include "subcommands.h"
#include "test_files.h"

namespace {

class CompletionCommandTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CliResult result = RunCli({"completion", "bash"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    WriteWholeFile(script, Bytes(result.out.begin(), result.out.end()));
    for (const char* name : {"a.fnt", "b.txt", "d.json", "e.csv", "p.svg"}) {
      WriteWholeFile(files.Path(name), {});
    }
    std::filesystem::create_directory(files.Path("sub"));
    bash.program = "/bin/bash";
  }

  // What the bash function offers, sorted, for the command line words (the last one
  // being completed), run in the folder of sample files.
  std::string Offered(const std::vector<std::string>& words) {
    std::vector<std::string> arguments = {
        "-c",
        "cd \"$1\" && source \"$2\" && shift 2 && COMP_WORDS=(\"$@\") && COMP_CWORD=$(($# - 1)) "
        "&& _quorvel_cli && printf '%s\\n' \"${COMPREPLY[@]}\"",
        "bash", files.Root().string(), script};
    arguments.insert(arguments.end(), words.begin(), words.end());
    CliResult result = RunCli(arguments, bash);
    EXPECT_EQ(result.err, "");
    std::vector<std::string> offered = Lines(result.out);
    std::sort(offered.begin(), offered.end());
    std::string text;
    for (const std::string& word : offered) text += (text.empty() ? "" : " ") + word;
    return text;
  }

  TempFolder folder, files;
  std::string script = folder.Path("quorvel-cli.bash");
  CliRun bash;
};

TEST_F(CompletionCommandTest, BashOffersWhatTheCommandLineTakes) {
  struct Case {
    const char* name;
    std::vector<std::string> words;
    std::string offered;
  } cases[] = {
      {"subcommand by its start", {"quorvel-cli", "se"}, "set"},
      {"program option", {"quorvel-cli", "--v"}, "--version"},
      {"option by its start", {"quorvel-cli", "set", "--sc"}, "--scope"},
      {"checked values", {"quorvel-cli", "set", "--scope", ""}, "fullwidth halfalnum halfkana"},
      {"checked value after =",
       {"quorvel-cli", "set", "--scope", "=", "half"},
       "halfalnum halfkana"},
      {"metrics files and folders", {"quorvel-cli", "show", ""}, "a.fnt sub"},
      {"file by the extension in its name",
       {"quorvel-cli", "render", "a.fnt", "x", "-o", ""},
       "p.svg sub"},
      {"data in the formats --format takes", {"quorvel-cli", "import", ""}, "d.json e.csv sub"},
      {"second argument after an option's value",
       {"quorvel-cli", "render", "--scale", "2", "a.fnt", ""},
       "a.fnt b.txt d.json e.csv p.svg sub"},
      {"shells", {"quorvel-cli", "completion", ""}, "bash zsh"},
  };
  for (const auto& c : cases) EXPECT_EQ(Offered(c.words), c.offered) << c.name;
}

TEST_F(CompletionCommandTest, BashScriptIsValidAndNamesEverySubcommand) {
  CliResult syntax = RunCli({"-n", script}, bash);
  EXPECT_EQ(syntax.exitCode, 0) << syntax.err;
  std::string offered = " " + Offered({"quorvel-cli", ""}) + " ";
  for (size_t i = 0; i < kSubcommandCount; ++i) {
    EXPECT_NE(offered.find(std::string(" ") + kSubcommands[i].name + " "), std::string::npos)
        << kSubcommands[i].name;
  }
}

// zsh is not needed for the build: without it only the script's outline is checked.
TEST(CompletionCommand, ZshScriptNamesEverySubcommand) {
  CliResult result = RunCli({"completion", "zsh"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out.rfind("#compdef quorvel-cli\n", 0), 0u);
  for (size_t i = 0; i < kSubcommandCount; ++i) {
    std::string name = kSubcommands[i].name;
    EXPECT_NE(result.out.find("\n        '" + name + ":"), std::string::npos) << name;
    EXPECT_NE(result.out.find("\n_quorvel_cli_" + name + "() {"), std::string::npos) << name;
  }
  for (const char* zsh : {"/bin/zsh", "/usr/bin/zsh"}) {
    if (!std::filesystem::exists(zsh)) continue;
    TempFolder folder;
    WriteWholeFile(folder.Path("_quorvel-cli"), Bytes(result.out.begin(), result.out.end()));
    CliRun run;
    run.program = zsh;
    CliResult syntax = RunCli({"-n", folder.Path("_quorvel-cli")}, run);
    EXPECT_EQ(syntax.exitCode, 0) << syntax.err;
    break;
  }
  EXPECT_TRUE(IsOneLineError(RunCli({"completion", "fish"}), {"SHELL", "fish"}));
}

}  // namespace
