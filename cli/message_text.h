// Untrusted text (file names, JSON keys and strings, command-line values) made
// safe to print inside a one-line message on a terminal or in a log.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Returns text with every byte that could end the line, move the cursor or start a
// terminal command written as an escape: "\n", "\r" and "\t" for those three, and
// "\xHH" (two upper-case hexadecimal digits) for each byte of the other C0 controls
// (0x00-0x1F), DEL (0x7F) and the UTF-8 encodings of U+0080-U+009F (C2 80-C2 9F).
// Every other byte passes unchanged, so UTF-8 and Shift-JIS names stay readable;
// backslashes are not doubled, so the result is for reading, not for parsing back.
// When maxLength is not 0 and text is longer, at most maxLength bytes of it are kept,
// cut before any UTF-8 sequence that would be split, and "..." is added:
//   EscapedText("a<ESC>[2J<LF>b", 0) -> a\x1B[2J\nb
//   EscapedText("abcdef", 3)         -> abc...
std::string EscapedText(std::string_view text, size_t maxLength);

// How much of an outside value a message quotes: enough to recognise it, never a
// whole untrusted text.
constexpr size_t kQuotedTextCut = 40;
