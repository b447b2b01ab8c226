// What only the FreeType side of font_face.h offers, for code that works with
// FreeType itself (its tests and benchmarks).
#pragma once

#include <string>

// FreeType's text for one of its error codes ("unknown file format"), from
// FreeType's own table of them; "FreeType error N" for a code not in it.
std::string FreeTypeErrorText(int error);
