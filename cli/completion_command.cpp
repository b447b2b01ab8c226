// completion bash|zsh: placeholder until the command is written.
#include "commands.h"
#include "report.h"

void DeclareCompletion(CLI::App& app, CommandOptions& options) {
  app.add_option("SHELL", options.shell, "bash or zsh")->required();
}

int RunCompletion(const CommandOptions&, LoadedFiles&) {
  ReportError("completion", "not built yet");
  return kExitError;
}
