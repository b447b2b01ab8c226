// The editor's window title: the program's name and the loaded file's name, built
// in the editor's fixed text buffer.
#pragma once

#include <cstddef>

// The shared text buffer of the editor (field texts, caption, file-open result).
constexpr size_t kTextBufferSize = 260;

// "QUORVEL": the caption, the title of every message box and of the file-open dialog.
constexpr const char kProgramTitle[] = "QUORVEL";

// Appends count NUL-terminated strings, in order, to the string in dest; returns
// dest. The caller guarantees room for all of them.
char* AppendStrings(int count, char* dest, ...);

// Copies the last component of path into out, which the caller has zero-filled and
// which holds at least strlen(path) + 1 bytes. On Windows a component ends at "\"
// or ":", read as Shift-JIS so that a trail byte 0x5C (as in 表 or ソ) is part of
// its character; elsewhere at "/" only.
void FileNameFromPath(const char* path, char* out);

// The length of text cut to at most limit bytes without splitting a character:
// Shift-JIS on Windows, UTF-8 elsewhere.
size_t ShiftJisPrefixLength(const char* text, size_t limit);
size_t Utf8PrefixLength(const char* text, size_t limit);

// Composes "QUORVEL - name" for path into caption (kTextBufferSize bytes), cut at
// kTextBufferSize - 1 bytes on a character boundary of the host's encoding.
void ComposeCaption(const char* path, char* caption);
