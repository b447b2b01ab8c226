// Reading a subcommand's arguments with CLI11, which reports through exceptions:
// they are caught here and nowhere else.
#pragma once

#include <CLI/CLI.hpp>

enum class ArgumentsResult {
  Parsed,   // run the subcommand
  Answered, // --help or --version was printed: exit 0
  Failed,   // one line on stderr was printed: exit 2
};

// Parses argv (argv[0] is the program or subcommand name) into app's options.
// "--name=" gives the option an empty value.
ArgumentsResult ParseArguments(CLI::App& app, int argc, char** argv);

// The exit code for a result other than Parsed.
int ExitCodeOf(ArgumentsResult result);
