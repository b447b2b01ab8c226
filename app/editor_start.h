// Start-up before the editor dialog runs.
#pragma once

#include "window_api.h"

// The template of the editor dialog; template names are case-insensitive.
constexpr char kEditorDialogTemplate[] = "Main";

// Keeps the module handle for the dialogs and puts the first argument of
// commandLine (UTF-8) into the document's path buffer (empty when there is none).
void PrepareEditorStart(HINSTANCE module, const char* commandLine);
