#include "path_text.h"

#include "utf16_text.h"

namespace {
constexpr unsigned kShiftJisCodePage = 932;
}

std::string PathFromWindowText(const char* text) { return text; }

std::string WindowTextFromPath(const char* path) { return Utf8ToCodePage(kShiftJisCodePage, path); }
