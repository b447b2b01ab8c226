#include "editor_start.h"

#include "command_line.h"
#include "editor_state.h"

void PrepareEditorStart(HINSTANCE module, const char* commandLine) {
  g_moduleHandle = module;
  GetFirstArgument(commandLine, g_document.path, sizeof g_document.path);
}
