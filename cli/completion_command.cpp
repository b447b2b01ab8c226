// completion bash|zsh: a completion script made from the subcommand table. Each
// subcommand declares its options on a fresh CLI::App, and the script lists what
// that declared, so that a new option or subcommand completes without a change here.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "commands.h"
#include "subcommands.h"

namespace {

// What the word for an argument or an option's value may be.
struct ValueCompletion {
  std::vector<std::string> words;       // one of these (the option checks its value is)
  std::vector<std::string> extensions;  // a folder or a file with one of these
  bool AnyFile() const { return words.empty() && extensions.empty(); }
};

// One option or positional argument, as CLI11 describes it after the declare step.
struct CompletedArgument {
  std::vector<std::string> names;  // "-o", "--output"; none for a positional argument
  std::string label;               // what the value is called: "FILE", "OUT.svg"
  std::string description;
  bool takesValue = false;
  bool repeats = false;  // a positional argument that takes every further word
  ValueCompletion value;
};

struct CompletedSubcommand {
  const Subcommand* row;
  std::vector<CompletedArgument> options, positionals;
};

// The main program's own options (quorvel_cli.cpp), besides the subcommands.
const char* const kProgramOptions[] = {"-h", "--help", "--version"};

// The help names the metrics file an argument takes "FILE"; other files show their
// extension in their name ("OUT.fnt", "OUT.svg").
constexpr char kMetricsFileLabel[] = "FILE";
constexpr char kMetricsExtension[] = "fnt";

std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1) {
    parts.push_back(text.substr(start, end - start));
  }
  parts.push_back(text.substr(start));
  return parts;
}

// The values a CLI::IsMember check allows: CLI11 appends it to the type name as
// ":{json,csv}".
std::vector<std::string> CheckedValues(const std::string& typeName) {
  size_t open = typeName.find(":{");
  size_t close = typeName.find('}', open);
  if (open == std::string::npos || close == std::string::npos) return {};
  return SplitAt(typeName.substr(open + 2, close - open - 2), ',');
}

// The extensions named in label: "OUT.svg" -> svg; a metrics file's "FILE" -> fnt.
std::vector<std::string> LabelExtensions(const std::string& label) {
  if (label == kMetricsFileLabel) return {kMetricsExtension};
  std::vector<std::string> extensions;
  for (size_t dot = label.find('.'); dot != std::string::npos; dot = label.find('.', dot + 1)) {
    size_t end = dot + 1;
    while (end < label.size() && std::isalnum(static_cast<unsigned char>(label[end]))) ++end;
    if (end > dot + 1) extensions.push_back(label.substr(dot + 1, end - dot - 1));
  }
  return extensions;
}

CompletedArgument DescribeOption(const CLI::Option& option) {
  CompletedArgument argument;
  for (const std::string& name : option.get_snames()) argument.names.push_back("-" + name);
  for (const std::string& name : option.get_lnames()) argument.names.push_back("--" + name);
  std::string typeName = option.get_type_name();
  argument.label = argument.names.empty() ? option.get_name(true) : SplitAt(typeName, ':')[0];
  argument.description = option.get_description();
  argument.takesValue = option.get_items_expected_max() > 0;
  argument.repeats = argument.names.empty() && option.get_items_expected_max() > 1;
  argument.value.words = CheckedValues(typeName);
  if (argument.value.words.empty()) argument.value.extensions = LabelExtensions(argument.label);
  return argument;
}

// The lower-case words of text: "the JSON or CSV" -> the, json, or, csv.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words(1);
  for (char c : text) {
    if (std::isalnum(static_cast<unsigned char>(c))) {
      words.back() += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    } else if (!words.back().empty()) {
      words.emplace_back();
    }
  }
  return words;
}

// A value that is no file of a named kind may be data in the formats of an option
// with fixed values: import's DATA, "the JSON or CSV", is a .json or .csv file as
// its --format json|csv says.
void AddNamedFormats(const CompletedSubcommand& subcommand, CompletedArgument& argument) {
  if (!argument.takesValue || !argument.value.AnyFile()) return;
  std::vector<std::string> words = Words(argument.description);
  for (const CompletedArgument& option : subcommand.options) {
    for (const std::string& format : option.value.words) {
      if (std::find(words.begin(), words.end(), format) != words.end())
        argument.value.extensions.push_back(format);
    }
  }
}

CompletedSubcommand DescribeSubcommand(const Subcommand& row) {
  CLI::App app{"", std::string("quorvel-cli ") + row.name};
  CommandOptions options;
  row.declare(app, options);
  CompletedSubcommand subcommand{&row, {}, {}};
  for (const CLI::Option* option : app.get_options()) {
    if (option->get_group().empty()) continue;  // hidden
    CompletedArgument argument = DescribeOption(*option);
    (argument.names.empty() ? subcommand.positionals : subcommand.options).push_back(argument);
  }
  for (CompletedArgument& argument : subcommand.options) AddNamedFormats(subcommand, argument);
  for (CompletedArgument& argument : subcommand.positionals) AddNamedFormats(subcommand, argument);
  return subcommand;
}

std::vector<CompletedSubcommand> DescribeSubcommands() {
  std::vector<CompletedSubcommand> subcommands;
  for (size_t i = 0; i < kSubcommandCount; ++i) {
    subcommands.push_back(DescribeSubcommand(kSubcommands[i]));
  }
  return subcommands;
}

std::string Joined(const std::vector<std::string>& words, const std::string& separator) {
  std::string text;
  for (const std::string& word : words) text += (text.empty() ? "" : separator) + word;
  return text;
}

// text in single quotes for either shell.
std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

// bash ------------------------------------------------------------------------

constexpr char kBashHelpers[] =
    R"(# bash completion for quorvel-cli, written by "quorvel-cli completion bash".

# The words of $1 that start with $cur.
_quorvel_cli_words() {
  mapfile -t COMPREPLY < <(compgen -W "$1" -- "$cur")
}

# Folders and the files with the extensions given, or any file when none is given.
_quorvel_cli_files() {
  compopt -o filenames 2>/dev/null
  if (($# == 0)); then
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
    return
  fi
  mapfile -t COMPREPLY < <(compgen -d -- "$cur")
  local extension
  for extension; do
    mapfile -t -O "${#COMPREPLY[@]}" COMPREPLY < <(compgen -f -X "!*.$extension" -- "$cur")
  done
}

_quorvel_cli() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
  # "--scope=halfkana" comes as three words: --scope, = and the value.
  if [[ $cur == = ]]; then
    cur=""
  elif [[ $prev == = ]]; then
    prev=${COMP_WORDS[COMP_CWORD-2]}
  fi
  COMPREPLY=()
)";

std::string BashAction(const ValueCompletion& value) {
  if (!value.words.empty()) return "_quorvel_cli_words " + Quoted(Joined(value.words, " "));
  if (value.AnyFile()) return "_quorvel_cli_files";
  return "_quorvel_cli_files " + Joined(value.extensions, " ");
}

std::string BashFirstWord(const std::vector<CompletedSubcommand>& subcommands) {
  std::vector<std::string> words;
  for (const CompletedSubcommand& subcommand : subcommands) words.push_back(subcommand.row->name);
  words.insert(words.end(), std::begin(kProgramOptions), std::end(kProgramOptions));
  return "  if ((COMP_CWORD == 1)); then\n    _quorvel_cli_words " + Quoted(Joined(words, " ")) +
         "\n    return\n  fi\n";
}

// Per subcommand, its option names and those of them that take a value.
std::string BashOptionLists(const std::vector<CompletedSubcommand>& subcommands) {
  std::string text = "  local subcommand=${COMP_WORDS[1]} options valued\n  case $subcommand in\n";
  for (const CompletedSubcommand& subcommand : subcommands) {
    std::vector<std::string> all, valued;
    for (const CompletedArgument& option : subcommand.options) {
      all.insert(all.end(), option.names.begin(), option.names.end());
      if (option.takesValue) valued.insert(valued.end(), option.names.begin(), option.names.end());
    }
    text += std::string("    ") + subcommand.row->name + ") options=" + Quoted(Joined(all, " ")) +
            " valued=" + Quoted(Joined(valued, " ")) + " ;;\n";
  }
  return text + "    *) return ;;\n  esac\n";
}

// The value after an option that takes one.
std::string BashOptionValues(const std::vector<CompletedSubcommand>& subcommands) {
  std::string text = "  case \"$subcommand $prev\" in\n";
  for (const CompletedSubcommand& subcommand : subcommands) {
    for (const CompletedArgument& option : subcommand.options) {
      if (!option.takesValue) continue;
      std::vector<std::string> patterns;
      for (const std::string& name : option.names) {
        patterns.push_back(Quoted(std::string(subcommand.row->name) + " " + name));
      }
      text += "    " + Joined(patterns, " | ") + ") " + BashAction(option.value) + "; return ;;\n";
    }
  }
  return text + "  esac\n";
}

// Positional arguments by their place among the words that are neither options nor
// option values.
std::string BashPositionals(const std::vector<CompletedSubcommand>& subcommands) {
  std::string text = R"(  if [[ $cur == -* ]]; then
    _quorvel_cli_words "$options"
    return
  fi
  local i word position=0
  for ((i = 2; i < COMP_CWORD; i++)); do
    word=${COMP_WORDS[i]}
    if [[ $word != -?* ]]; then
      ((position++))
    elif [[ " $valued " == *" $word "* ]]; then
      ((i++))
      if [[ ${COMP_WORDS[i]} == = ]]; then ((i++)); fi
    fi
  done
  case "$subcommand $position" in
)";
  for (const CompletedSubcommand& subcommand : subcommands) {
    const std::vector<CompletedArgument>& positionals = subcommand.positionals;
    for (size_t i = 0; i < positionals.size(); ++i) {
      std::string place = positionals[i].repeats ? "\"*" : std::to_string(i) + "\"";
      text += std::string("    \"") + subcommand.row->name + " " + place + ") " +
              BashAction(positionals[i].value) + " ;;\n";
    }
  }
  return text + "  esac\n}\n\ncomplete -F _quorvel_cli quorvel-cli\n";
}

std::string BashScript() {
  std::vector<CompletedSubcommand> subcommands = DescribeSubcommands();
  return kBashHelpers + BashFirstWord(subcommands) + BashOptionLists(subcommands) +
         BashOptionValues(subcommands) + BashPositionals(subcommands);
}

// zsh -------------------------------------------------------------------------

// text inside an _arguments spec, where brackets and colons delimit the parts.
std::string ZshSpecText(const std::string& text) {
  std::string escaped;
  for (char c : text) {
    if (c == '\\' || c == '[' || c == ']' || c == ':') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string ZshAction(const ValueCompletion& value) {
  if (!value.words.empty()) return "(" + Joined(value.words, " ") + ")";
  if (value.AnyFile()) return "_files";
  std::string pattern = value.extensions.size() == 1 ? value.extensions[0]
                                                     : "(" + Joined(value.extensions, "|") + ")";
  return "_files -g \"*." + pattern + "(-.)\"";
}

// "'(-o --output)'{-o,--output=}'[the SVG file]:OUT.svg:_files ...'": the names
// exclude each other; a long name takes its value after "=" or as the next word.
std::string ZshOptionSpec(const CompletedArgument& option) {
  std::string value =
      option.takesValue ? ":" + ZshSpecText(option.label) + ":" + ZshAction(option.value) : "";
  std::string rest = "[" + ZshSpecText(option.description) + "]" + value;
  std::vector<std::string> names;
  for (const std::string& name : option.names) {
    names.push_back(name + (option.takesValue && name.size() > 2 ? "=" : ""));
  }
  if (names.size() == 1) return Quoted(names[0] + rest);
  return Quoted("(" + Joined(option.names, " ") + ")") + "{" + Joined(names, ",") + "}" +
         Quoted(rest);
}

std::string ZshPositionalSpec(const CompletedArgument& argument, size_t index) {
  std::string place = argument.repeats ? "*" : std::to_string(index + 1);
  return Quoted(place + ":" + ZshSpecText(argument.label) + ":" + ZshAction(argument.value));
}

std::string ZshSubcommandFunction(const CompletedSubcommand& subcommand) {
  std::string text = std::string("_quorvel_cli_") + subcommand.row->name + "() {\n  _arguments -s";
  for (const CompletedArgument& option : subcommand.options) {
    text += " \\\n    " + ZshOptionSpec(option);
  }
  for (size_t i = 0; i < subcommand.positionals.size(); ++i) {
    text += " \\\n    " + ZshPositionalSpec(subcommand.positionals[i], i);
  }
  return text + "\n}\n\n";
}

constexpr char kZshMainStart[] = R"(_quorvel_cli() {
  local curcontext=$curcontext state line
  _arguments -C \
    '(- *)'{-h,--help}'[print the help and exit]' \
    '(- *)--version[print the version and exit]' \
    '1: :->subcommand' \
    '*:: :->argument'
  case $state in
    subcommand)
      local -a subcommands
      subcommands=(
)";

std::string ZshMainFunction(const std::vector<CompletedSubcommand>& subcommands) {
  std::string text = kZshMainStart;
  for (const CompletedSubcommand& subcommand : subcommands) {
    text += "        " +
            Quoted(std::string(subcommand.row->name) + ":" + subcommand.row->description) + "\n";
  }
  text +=
      "      )\n      _describe -t subcommands 'quorvel-cli subcommand' subcommands ;;\n"
      "    argument)\n      case $words[1] in\n";
  for (const CompletedSubcommand& subcommand : subcommands) {
    std::string name = subcommand.row->name;
    text += "        " + name + ") _quorvel_cli_" + name + " ;;\n";
  }
  return text + "      esac ;;\n  esac\n}\n\n";
}

// Autoloaded from $fpath the file is the function's body, so it runs the function
// it defines; sourced, it registers the function.
constexpr char kZshEnd[] = R"(if [[ $funcstack[1] == _quorvel_cli ]]; then
  _quorvel_cli "$@"
else
  compdef _quorvel_cli quorvel-cli
fi
)";

std::string ZshScript() {
  std::vector<CompletedSubcommand> subcommands = DescribeSubcommands();
  std::string text =
      "#compdef quorvel-cli\n"
      "# zsh completion for quorvel-cli, written by \"quorvel-cli completion zsh\".\n\n";
  for (const CompletedSubcommand& subcommand : subcommands)
    text += ZshSubcommandFunction(subcommand);
  return text + ZshMainFunction(subcommands) + kZshEnd;
}

struct Shell {
  const char* name;
  std::string (*script)();
};

const Shell kShells[] = {
    {"bash", BashScript},
    {"zsh", ZshScript},
};

}  // namespace

void DeclareCompletion(CLI::App& app, CommandOptions& options) {
  app.description("Prints a completion script for bash or zsh on standard output.");
  std::vector<std::string> names;
  for (const Shell& shell : kShells) names.push_back(shell.name);
  app.add_option("SHELL", options.completion.shell, "the shell")
      ->required()
      ->check(CLI::IsMember(names));
  app.footer(R"(bash:  source <(quorvel-cli completion bash), or save it as
       ~/.local/share/bash-completion/completions/quorvel-cli
zsh:   save it as _quorvel-cli in a folder of $fpath, before compinit runs)");
}

int RunCompletion(const CommandOptions& options, LoadedFiles&) {
  for (const Shell& shell : kShells) {
    if (options.completion.shell == shell.name) std::fputs(shell.script().c_str(), stdout);
  }
  return kExitOk;
}
