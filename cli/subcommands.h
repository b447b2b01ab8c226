// The table of quorvel-cli's subcommands: the dispatcher runs them, and the
// completion scripts and the manual page are made from it.
#pragma once

#include <cstddef>

#include "commands.h"

struct Subcommand {
  const char* name;
  const char* description;
  FileUse files;  // what is loaded before run, and how a failed load counts
  // Declares the description, options and footer on app.
  void (*declare)(CLI::App& app, CommandOptions& options);
  // Checks and converts the options before any file is read; false after reporting
  // the first bad one. nullptr: nothing to check.
  bool (*resolve)(const CLI::App& app, CommandOptions& options);
  // Does the work on the loaded files and returns the exit code.
  int (*run)(const CommandOptions& options, LoadedFiles& loaded);
};

extern const Subcommand kSubcommands[];
extern const size_t kSubcommandCount;
