// Paths where the window layer hands them to the file layer and back. A path the
// window layer gives (the file dialog's choice, the command line's argument) is
// UTF-8 everywhere, as the file layer takes it. A path shown goes into the
// window layer's texts: Shift-JIS (code page 932) on Windows, UTF-8 elsewhere.
#pragma once

#include <cstddef>
#include <string>

#include "metrics_document.h"

// The window side's path buffers (the file dialog's result, the command line's
// argument): the document's size, which on Windows holds any MAX_PATH name.
constexpr size_t kWindowPathSize = kPathBufferSize;

// A path as the window layer gave it, as the file layer takes it.
std::string PathFromWindowText(const char* text);

// A path, or any text of the file layer (an error's reason), as the window layer
// shows it. On Windows a character outside code page 932 cannot be shown as itself
// there (the caption, an error's file name); the file opens and saves all the same.
std::string WindowTextFromPath(const char* path);
