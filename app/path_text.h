// Paths where the window layer hands them to the file layer and back. On Windows
// the dialog's ...A calls give and show Shift-JIS (code page 932) while the file
// layer takes UTF-8; elsewhere both sides are UTF-8 and nothing is converted.
#pragma once

#include <cstddef>
#include <string>

#include "metrics_document.h"

// The window side's path buffers (the file dialog's result, the command line's
// argument): MAX_PATH bytes of Shift-JIS on Windows, the document's size elsewhere.
#ifdef _WIN32
constexpr size_t kWindowPathSize = 260;
#else
constexpr size_t kWindowPathSize = kPathBufferSize;
#endif

// A path as the window layer gave it, as the file layer takes it.
std::string PathFromWindowText(const char* text);

// A path, or any text of the file layer (an error's reason), as the window layer
// shows it.
std::string WindowTextFromPath(const char* path);
