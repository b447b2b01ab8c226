// new OUT.fnt [--force]: a valid metrics file with every byte zero.
#include <string>

#include "arguments.h"
#include "commands.h"
#include "new_metrics_file.h"
#include "report.h"

int RunNew(int argc, char** argv) {
  CLI::App app{"Creates a metrics file with every value zero.", "quorvel-cli new"};
  std::string output;
  bool force = false;
  app.add_option("OUT.fnt", output, "the file to create")->required();
  app.add_flag("--force", force, "replace OUT.fnt when it exists");
  app.footer("An existing OUT.fnt is refused unless --force is given; then it is replaced in one\n"
             "step. A directory or device is never replaced.");
  ArgumentsResult parsed = ParseArguments(app, argc, argv);
  if (parsed != ArgumentsResult::Parsed) return ExitCodeOf(parsed);

  MetricsDocument doc;
  if (!StartEmptyMetricsDocument(doc)) {
    ReportError(output, "out of memory");
    return kExitError;
  }
  CreateStatus created = CreateMetricsFile(doc, output.c_str(), force);
  if (created != CreateStatus::Created) ReportError(output, CreateFailureReason(created));
  ReleaseMetricsFile(doc);
  return created == CreateStatus::Created ? kExitOk : kExitError;
}
