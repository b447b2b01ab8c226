// A font opened with FreeType for measuring glyphs, named by its file's path or
// by an installed family's name, which fontconfig resolves to a file. No family
// is ever a fallback for another, nor for a path: a name that is not installed,
// or a path that names no font, is an error.
#pragma once

#include <string>
#include <vector>

// FreeType's handles, declared here so that users of this header need no FreeType
// header of their own.
struct FT_LibraryRec_;
struct FT_FaceRec_;

// An open font: its own FreeType library instance and one face of the file, with
// the Unicode character map selected. Close it with CloseFontFace.
struct FontFace {
  FT_LibraryRec_* library = nullptr;
  FT_FaceRec_* face = nullptr;
  std::string file;    // the font file opened, as an absolute path with links resolved
  std::string family;  // the face's family name, as the font gives it
};

enum class FontOpenStatus {
  Opened,
  NoSuchFile,     // a path that names nothing, or nothing that can be read
  NotAFile,       // a path that names a directory or a device
  UnknownFamily,  // no installed scalable font has this family name, case aside
  NotAFont,       // FreeType cannot read the file as a font
  NoUnicodeMap,   // the font has no Unicode character map, so characters cannot be found
  LibraryFailed,  // FreeType or fontconfig could not start
};

// What an open saw: the file it tried (the path given, or the file the family
// resolved to; empty for an unknown family) and the system's or FreeType's error
// code of the failure (0 otherwise).
struct FontOpenResult {
  FontOpenStatus status = FontOpenStatus::LibraryFailed;
  std::string file;
  int systemError = 0;
  int freeTypeError = 0;
};

// Whether font is taken as a path: it contains "/" or names something that exists.
// Anything else is a family name.
bool IsFontPath(const std::string& font);

// Opens the font at a path (see IsFontPath) or of an installed family: for a
// family, the file fontconfig ranks best for that family in its default style
// (regular, upright), and the face fontconfig names in it. *face is filled only
// when the result is Opened.
FontOpenResult OpenFontFace(const std::string& font, FontFace* face);

// Releases the face and its library; an empty FontFace is left as it is.
void CloseFontFace(FontFace* face);

// Why an open failed, in words, without the file's name:
//   "cannot open: No such file or directory", "is a directory, not a font file",
//   "not a font FreeType can read: unknown file format",
//   "no installed font family has this name (fc-list : family lists them)".
std::string FontOpenFailureReason(const FontOpenResult& result);

// FreeType's text for one of its error codes ("unknown file format"), from
// FreeType's own table of them; "FreeType error N" for a code not in it.
std::string FreeTypeErrorText(int error);

// The family names of the installed scalable fonts, each once, sorted by their
// bytes; a font with names in several languages gives each of them ("VL Gothic",
// "VL ゴシック"). These are the names OpenFontFace takes.
std::vector<std::string> InstalledFontFamilies();
