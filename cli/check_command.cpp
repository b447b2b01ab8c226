// check FILE...: whether each file loads as a metrics file, one line per file.
#include <cstdio>
#include <string>
#include <vector>

#include "arguments.h"
#include "commands.h"
#include "report.h"

int RunCheck(int argc, char** argv) {
  CLI::App app{"Checks that files are metrics files: regular files of exactly 14632 bytes.",
               "quorvel-cli check"};
  std::vector<std::string> files;
  app.add_option("FILE", files, "the files to check")->required();
  app.footer("Prints \"FILE: ok\" or \"FILE: the reason\" for each file, on standard output.\n"
             "Exit status: 0 when every file is ok, 1 when one is not, 2 on an error.");
  ArgumentsResult parsed = ParseArguments(app, argc, argv);
  if (parsed != ArgumentsResult::Parsed) return ExitCodeOf(parsed);

  MetricsDocument doc;
  bool allOk = true;
  for (const std::string& file : files) {
    LoadResult result = LoadMetricsFile(doc, file.c_str());
    bool ok = result.status == LoadStatus::Loaded;
    std::printf("%s: %s\n", file.c_str(), ok ? "ok" : LoadFailureReason(result).c_str());
    allOk = allOk && ok;
  }
  ReleaseMetricsFile(doc);
  return allOk ? kExitOk : kExitNo;
}
