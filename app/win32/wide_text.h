// Texts and paths where the program's own windows meet the wide calls. Paths are
// kept as the document takes them (UTF-8, which the file layer turns into UTF-16);
// every path from or to a wide call goes through these two, so that a change of
// the document's path encoding is made here alone.
#pragma once

#include <string>

// A path from a wide call (a dropped file) as the document takes it.
std::string DocumentPathFromWide(const wchar_t* path);

// UTF-8 (a document path, a menu entry's text) for a wide call.
std::wstring WideFromUtf8(const std::string& text);

// A text of the editor's own (a table cell, a column title), which the Windows build
// keeps in code page 932 as its ...A calls take them, for a wide call.
std::wstring WideFromEditorText(const std::string& text);
