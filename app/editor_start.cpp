#include "editor_start.h"

#include <cstring>

#include "command_line.h"
#include "editor_state.h"
#include "path_text.h"

void PrepareEditorStart(HINSTANCE module, const char* commandLine) {
  g_moduleHandle = module;
  char argument[kWindowPathSize] = {};
  GetFirstArgument(commandLine, argument, sizeof argument);
  // The document's buffer holds any path of the window side's size, converted.
  std::string path = PathFromWindowText(argument);
  std::memset(g_document.path, 0, sizeof g_document.path);
  if (path.size() < sizeof g_document.path) std::memcpy(g_document.path, path.data(), path.size());
}
