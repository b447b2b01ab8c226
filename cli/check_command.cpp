// check FILE...: whether each file loads as a metrics file, one line per file.
#include <cstdio>
#include <string>

#include "commands.h"
#include "report.h"

void DeclareCheck(CLI::App& app, CommandOptions& options) {
  app.description("Checks that files are metrics files: regular files of exactly 14632 bytes.");
  app.add_option("FILE", options.files, "the files to check")->required();
  app.footer("Prints \"FILE: ok\" or \"FILE: the reason\" for each file, on standard output.\n"
             "Exit status: 0 when every file is ok, 1 when one is not, 2 on an error.");
}

// The verdict on one file, from its load: on stdout, since it is the answer asked for.
int RunCheck(const CommandOptions&, LoadedFiles& loaded) {
  bool ok = loaded.load.status == LoadStatus::Loaded;
  std::printf("%s: %s\n", loaded.path, ok ? "ok" : LoadFailureReason(loaded.load).c_str());
  return ok ? kExitOk : kExitNo;
}

bool ResolveCheck(const CLI::App&, CommandOptions&) { return true; }
