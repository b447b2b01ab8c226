#include "path_text.h"

// Both sides are UTF-8.
std::string PathFromWindowText(const char* text) { return text; }

std::string WindowTextFromPath(const char* path) { return path; }
