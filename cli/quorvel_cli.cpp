// quorvel-cli: metrics files from scripts, batch jobs and version control, on the
// editor's own core. The subcommands are a table; each reads its own arguments.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "report.h"

namespace {

struct Subcommand {
  const char* name;
  const char* description;
  int (*function)(int argc, char** argv);
};

const Subcommand kSubcommands[] = {
    {"show", "show the line spacing and the values of codes", RunShow},
    {"set", "set values of a code or a class, as the editor's change command", RunSet},
    {"export", "write a file as JSON (every byte) or CSV", RunExport},
    {"import", "rebuild a file from its JSON", RunImport},
    {"diff", "list the values that differ between two files", RunDiff},
    {"new", "create a file with every value zero", RunNew},
    {"check", "check that files are metrics files", RunCheck},
};

// Spelling hints for mistyped subcommands: within two edits of a name.
constexpr size_t kMaxHintDistance = 2;

size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<size_t> row(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    size_t diagonal = row[0];
    row[0] = i;
    for (size_t j = 1; j <= b.size(); ++j) {
      size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

const Subcommand* FindSubcommand(const std::string& name) {
  for (const Subcommand& subcommand : kSubcommands) {
    if (name == subcommand.name) return &subcommand;
  }
  return nullptr;
}

std::string SpellingHint(const std::string& name) {
  const Subcommand* best = nullptr;
  size_t bestDistance = kMaxHintDistance + 1;
  for (const Subcommand& subcommand : kSubcommands) {
    size_t distance = EditDistance(name, subcommand.name);
    if (distance < bestDistance) best = &subcommand, bestDistance = distance;
  }
  return best ? std::string(", did you mean \"") + best->name + "\"?" : std::string();
}

std::string SubcommandList() {
  std::string text = "Subcommands:\n";
  for (const Subcommand& subcommand : kSubcommands) {
    char line[128];
    std::snprintf(line, sizeof line, "  %-8s %s\n", subcommand.name, subcommand.description);
    text += line;
  }
  return text + "\nRun \"quorvel-cli SUBCOMMAND --help\" for its arguments.\n"
                "Exit status: 0 done, 1 a negative answer (diff: the files differ;\n"
                "check: a file failed), 2 an error (one line on standard error).";
}

int RunSubcommand(std::vector<std::string> arguments) {
  const Subcommand* subcommand = FindSubcommand(arguments[0]);
  if (!subcommand) {
    bool isOption = arguments[0][0] == '-';
    ReportError(arguments[0], std::string(isOption ? "unknown option" : "unknown subcommand") +
                                  (isOption ? "" : SpellingHint(arguments[0])) +
                                  " (see quorvel-cli --help)");
    return kExitError;
  }
  // argv for the subcommand: its name first, as a program's own name.
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  return subcommand->function(static_cast<int>(arguments.size()), argv.data());
}

}  // namespace

int main(int argc, char** argv) {
  CLI::App app{"quorvel-cli: glyph-metrics files (.fnt) from the command line.\n"
               "Usage: quorvel-cli SUBCOMMAND [ARGUMENTS], or one of the options below.",
               "quorvel-cli"};
  app.prefix_command();  // everything from the subcommand on is the subcommand's
  app.set_version_flag("--version", "quorvel-cli " QUORVEL_VERSION);
  app.footer(SubcommandList());
  ArgumentsResult parsed = ParseArguments(app, argc, argv);
  if (parsed != ArgumentsResult::Parsed) return FinishOutput(ExitCodeOf(parsed));
  if (app.remaining().empty()) {
    std::fprintf(stderr, "quorvel-cli: a subcommand is needed (see quorvel-cli --help)\n");
    return kExitError;
  }
  return FinishOutput(RunSubcommand(app.remaining()));
}
