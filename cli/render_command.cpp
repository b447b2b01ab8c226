// render FILE TEXT -o OUT.svg: placeholder until the command is written.
#include "commands.h"
#include "report.h"

void DeclareRender(CLI::App& app, CommandOptions& options) {
  app.add_option("FILE", options.file, "the metrics file")->required();
  app.add_option("TEXT", options.render.text, "the text to lay out")->required();
}

int RunRender(const CommandOptions&, LoadedFiles&) {
  ReportError("render", "not built yet");
  return kExitError;
}
