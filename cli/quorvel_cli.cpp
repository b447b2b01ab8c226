// quorvel-cli: metrics files from scripts, batch jobs and version control, on the
// editor's own core. The subcommands are a table whose rows say which metrics
// files to load; loading, reporting a failed load and releasing happen here only.
#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "input_stream.h"
#include "message_text.h"
#include "report.h"
#include "subcommands.h"

namespace {

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
  for (size_t i = 0; i < kSubcommandCount; ++i) {
    const Subcommand& subcommand = kSubcommands[i];
    if (name == subcommand.name) return &subcommand;
  }
  return nullptr;
}

std::string SpellingHint(const std::string& name) {
  const Subcommand* best = nullptr;
  size_t bestDistance = kMaxHintDistance + 1;
  for (size_t i = 0; i < kSubcommandCount; ++i) {
    const Subcommand& subcommand = kSubcommands[i];
    size_t distance = EditDistance(name, subcommand.name);
    if (distance < bestDistance) best = &subcommand, bestDistance = distance;
  }
  return best ? std::string(", did you mean \"") + best->name + "\"?" : std::string();
}

std::string SubcommandList() {
  std::string text = "Subcommands:\n";
  for (size_t i = 0; i < kSubcommandCount; ++i) {
    const Subcommand& subcommand = kSubcommands[i];
    char line[128];
    std::snprintf(line, sizeof line, "  %-10s %s\n", subcommand.name, subcommand.description);
    text += line;
  }
  return text + "\nRun \"quorvel-cli SUBCOMMAND --help\" for its arguments.\n"
                "Exit status: 0 done, 1 a negative answer (diff: the files differ;\n"
                "check: a file failed), 2 an error (one line on standard error).";
}

// Loads path into doc, the one place that loads: a file, or when only read, also
// standard input ("-") or a pipe. A failure is one line on stderr, unless the
// command judges the load itself (check): then *failure holds the reason.
bool LoadFile(FileUse use, const CommandOptions& options, MetricsDocument& doc, const char* path,
              LoadResult* result, std::string* failure) {
  if (!options.writesLoadedFiles && IsStreamInput(path)) {
    *result = LoadStreamedMetricsFile(doc, path, failure);
  } else {
    bool hold = options.writesLoadedFiles && !options.locksAfterInput;
    *result = LoadMetricsFile(doc, path, hold ? LoadMode::Hold : LoadMode::Read);
    *failure = LoadFailureReason(*result);
  }
  bool ok = result->status == LoadStatus::Loaded;
  if (!ok && use != FileUse::EachJudged) ReportError(InputName(path), *failure);
  return ok;
}

// A file loaded once already in this run under this or another name (./a.fnt, a
// link): named on stderr with the name it was first seen under, and skipped, so
// that a relative edit is never applied twice.
constexpr size_t kRepeatNameCut = 200;

struct SeenFile {
  FileIdentity identity;
  const char* path;
};

bool IsRepeat(std::vector<SeenFile>& seen, const MetricsDocument& doc, const char* path) {
  for (const SeenFile& file : seen) {
    if (file.identity != doc.identity) continue;
    ReportWarning(path,
                  "the same file as " + EscapedText(file.path, kRepeatNameCut) + ": done once");
    return true;
  }
  seen.push_back(SeenFile{doc.identity, path});
  return false;
}

// Runs the subcommand once per file in options.files, each loaded in turn into
// docs[0] and released after its run; a file that fails to load does not stop
// the rest. Exit codes rank 0 < 1 < 2: the worst run decides.
int RunOnEachFile(const Subcommand& subcommand, const CommandOptions& options,
                  LoadedFiles& loaded) {
  int exitCode = kExitOk;
  std::vector<SeenFile> seen;
  bool judged = subcommand.files == FileUse::EachJudged;
  for (const std::string& file : options.files) {
    loaded.path = file.c_str();
    bool ok = LoadFile(subcommand.files, options, loaded.docs[0], loaded.path, &loaded.load,
                       &loaded.loadFailure);
    bool repeat = ok && !judged && IsRepeat(seen, loaded.docs[0], loaded.path);
    if (!repeat)
      exitCode = std::max(exitCode, ok || judged ? subcommand.run(options, loaded) : kExitError);
    ReleaseMetricsFile(loaded.docs[0]);
  }
  return exitCode;
}

// Loads what the subcommand needs and runs it; a failed load is exit 2. Of two
// files the second is not read when the first failed: one error line.
int LoadAndRun(const Subcommand& subcommand, const CommandOptions& options, LoadedFiles& loaded) {
  FileUse use = subcommand.files;
  if (use == FileUse::EachInTurn || use == FileUse::EachJudged)
    return RunOnEachFile(subcommand, options, loaded);
  if (use == FileUse::Two && options.file == "-" && options.secondFile == "-") {
    ReportError(subcommand.name, "standard input can be read only once: name one file \"-\"");
    return kExitError;
  }
  bool named = use != FileUse::None && (use != FileUse::NamedOne || !options.file.empty());
  if (named && !LoadFile(use, options, loaded.docs[0], options.file.c_str(), &loaded.load,
                         &loaded.loadFailure)) {
    return kExitError;
  }
  if (use == FileUse::Two && !LoadFile(use, options, loaded.docs[1], options.secondFile.c_str(),
                                       &loaded.load, &loaded.loadFailure)) {
    return kExitError;
  }
  return subcommand.run(options, loaded);
}

// Parses the subcommand's arguments (its name first, as a program's own name),
// resolves them, then loads, runs and releases.
int RunSubcommand(const Subcommand& subcommand, std::vector<std::string> arguments) {
  CLI::App app{"", std::string("quorvel-cli ") + subcommand.name};
  CommandOptions options;
  subcommand.declare(app, options);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  ArgumentsResult parsed = ParseArguments(app, static_cast<int>(arguments.size()), argv.data());
  if (parsed != ArgumentsResult::Parsed) return ExitCodeOf(parsed);
  if (subcommand.resolve && !subcommand.resolve(app, options)) return kExitError;

  LoadedFiles loaded;
  int exitCode = LoadAndRun(subcommand, options, loaded);
  ReleaseMetricsFile(loaded.docs[0]);
  ReleaseMetricsFile(loaded.docs[1]);
  return exitCode;
}

// Finds the subcommand named first; an unknown name or option is one error line.
int RunNamedSubcommand(const std::vector<std::string>& arguments) {
  const Subcommand* subcommand = FindSubcommand(arguments[0]);
  if (subcommand) return RunSubcommand(*subcommand, arguments);
  bool isOption = arguments[0][0] == '-';
  ReportError(arguments[0], std::string(isOption ? "unknown option" : "unknown subcommand") +
                                (isOption ? "" : SpellingHint(arguments[0])) +
                                " (see quorvel-cli --help)");
  return kExitError;
}

// The top-level help's one usage line: the subcommands are dispatched by name
// after CLI11 has read the options, so CLI11 itself does not know them.
class TopLevelHelp : public CLI::Formatter {
 public:
  std::string make_usage(const CLI::App*, std::string name) const override {
    return "Usage: " + name + " [OPTIONS] SUBCOMMAND [ARGUMENTS]\n";
  }
};

}  // namespace

int main(int argc, char** argv) {
  // A write beyond the file-size limit (ulimit -f) then fails with EFBIG and is
  // reported, instead of the signal ending the program half-way.
  std::signal(SIGXFSZ, SIG_IGN);
  CLI::App app{"quorvel-cli: glyph-metrics files (.fnt) from the command line.", "quorvel-cli"};
  app.formatter(std::make_shared<TopLevelHelp>());
  app.prefix_command();  // everything from the subcommand on is the subcommand's
  app.set_version_flag("--version", "quorvel-cli " QUORVEL_VERSION);
  app.footer(SubcommandList());
  ArgumentsResult parsed = ParseArguments(app, argc, argv);
  if (parsed != ArgumentsResult::Parsed) return FinishOutput(ExitCodeOf(parsed));
  if (app.remaining().empty()) {
    std::fprintf(stderr, "quorvel-cli: a subcommand is needed (see quorvel-cli --help)\n");
    return kExitError;
  }
  return FinishOutput(RunNamedSubcommand(app.remaining()));
}
