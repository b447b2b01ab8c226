// new OUT.fnt [--force]: a valid metrics file with every byte zero.
#include <string>

#include "backup.h"
#include "commands.h"
#include "new_metrics_file.h"
#include "report.h"

void DeclareNew(CLI::App& app, CommandOptions& options) {
  app.description("Creates a metrics file with every value zero.");
  app.add_option("OUT.fnt", options.newFile.output, "the file to create")->required();
  app.add_flag("--force", options.newFile.force, "replace OUT.fnt when it exists");
  DeclareBackupOptions(app, options.backup);
  app.footer(
      "An existing OUT.fnt is refused unless --force is given; then it is replaced in one\n"
      "step, keeping its mode, owner, group and extended attributes. A file with other\n"
      "names (a hard link, a symbolic link to it), or one whose owner this user cannot\n"
      "keep, is written in place instead. A directory or device is never replaced.\n"
      "With --backup an OUT.fnt that is replaced is first copied to OUT.fnt~.");
}

int RunNew(const CommandOptions& options, LoadedFiles&) {
  if (options.newFile.force && !BackUpBeforeReplacing(options.backup, options.newFile.output))
    return kExitError;
  MetricsDocument doc;
  if (!StartEmptyMetricsDocument(doc)) {
    ReportError(options.newFile.output, "out of memory");
    return kExitError;
  }
  CreateStatus created =
      CreateMetricsFile(doc, options.newFile.output.c_str(), options.newFile.force);
  if (created != CreateStatus::Created)
    ReportError(options.newFile.output, CreateFailureReason(created, doc.bytesTransferred));
  ReleaseMetricsFile(doc);
  return created == CreateStatus::Created ? kExitOk : kExitError;
}
