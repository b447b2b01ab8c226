// Single-byte codes of Shift-JIS as Windows' code page 932 maps them to Unicode:
// the character a code stands for in the editor's character field.
#pragma once

#include <cstddef>
#include <cstdint>

// Lead bytes start a double-byte character; alone they are no character.
inline bool IsShiftJisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The Unicode character of a single-byte code: ASCII for 0x00-0x7F, half-width
// katakana U+FF61-U+FF9F for 0xA1-0xDF, and the code page's private-use or C1
// characters for 0x80, 0xA0 and 0xFD-0xFF. A lead byte has none: returns -1.
int32_t ShiftJisByteToUnicode(uint8_t code);

// The single-byte code of a Unicode character, or -1 when the code page writes it
// with two bytes or not at all.
int UnicodeToShiftJisByte(uint32_t codePoint);

// Writes the UTF-8 form of codePoint (at most 4 bytes, no NUL) and returns its length.
size_t EncodeUtf8(uint32_t codePoint, char* out);

// Reads one UTF-8 character at text; returns its length (0 at the end of the text or
// on a malformed sequence) and the character in *codePoint.
size_t DecodeUtf8(const char* text, uint32_t* codePoint);
