// Characters and codes as Windows' code page 932 (Shift-JIS) relates them: the
// character a code stands for in the editor's character field, the code a typed
// character selects, and whole texts both ways. The one home of these answers for
// the editor's window layers and quorvel-cli alike.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

// Lead bytes start a double-byte character; alone they are no character.
inline bool IsShiftJisLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The Unicode character of a single-byte code: ASCII for 0x00-0x7F, half-width
// katakana U+FF61-U+FF9F for 0xA1-0xDF, and the code page's private-use or C1
// characters for 0x80, 0xA0 and 0xFD-0xFF. A lead byte has none: returns -1.
int32_t ShiftJisByteToUnicode(uint8_t code);

// The character shown for a single-byte code everywhere outside the dialog's own
// character field (the editors' tables, quorvel-cli, fonts measured): ASCII and the
// half-width katakana. -1 for the codes whose character has no visible form:
// control codes (0x00-0x1F, 0x7F, 0x80), lead bytes of double-byte characters
// (0x81-0x9F, 0xE0-0xFC) and the code page's private-use characters (0xA0,
// 0xFD-0xFF). The character field differs: it echoes what the code page gives,
// control codes as they are.
int32_t VisibleCharacterOfCode(uint8_t code);

// VisibleCharacterOfCode in UTF-8, empty where it has none: "A" for 0x41, "ｱ" for
// 0xB1, "" for 0x00 and 0xA0.
std::string DisplayedCharacter(uint8_t code);

// The single-byte code of a Unicode character, or -1 when the code page writes it
// with two bytes or not at all.
int UnicodeToShiftJisByte(uint32_t codePoint);

// A character as the code page writes it: one byte, a lead and a trail byte, or
// not at all (length 0). U+00A5 (yen) is 0x5C and U+203E (overline) 0x7E, as on
// Windows; "A" is 0x41, "ｱ" 0xB1, "あ" 0x82 0xA0, "é" none.
struct ShiftJisCharacter {
  uint8_t length = 0;
  uint8_t bytes[2] = {};
};
ShiftJisCharacter ShiftJisOfCharacter(uint32_t codePoint);

// The character at text, one or two bytes of Shift-JIS, with its length in
// *length; -1 for a lone lead byte (length 1) or a pair the code page does not
// define (length 2). text must not be at its end.
int32_t CharacterOfShiftJis(const char* text, size_t* length);

// What a text's lone lead byte or undefined pair turns into through the code page:
// "・" (U+30FB), 0x81 0x45 in Shift-JIS.
constexpr uint32_t kNoCharacterMark = 0x30FB;
constexpr char kNoCharacterMarkShiftJis[] = "\x81\x45";

// True when text is a single lead byte, which the code page holds as no character.
bool IsLoneLeadByte(const char* text);

// A UTF-8 text in Shift-JIS, at most maxBytes bytes, cut before a character that
// would not fit. Characters the code page lacks, and malformed UTF-8, become "?",
// the code page's default character.
std::string Utf8ToShiftJis(const char* text, size_t maxBytes);

// A Shift-JIS text in UTF-8; lone lead bytes and undefined pairs become "・".
std::string ShiftJisToUtf8(const char* text);

// Writes the UTF-8 form of codePoint (at most 4 bytes, no NUL) and returns its length.
size_t EncodeUtf8(uint32_t codePoint, char* out);
// The same as a string: Utf8OfCharacter(0x56FD) is "国".
std::string Utf8OfCharacter(uint32_t codePoint);

// Reads one UTF-8 character at text; returns its length (0 at the end of the text or
// on a malformed sequence) and the character in *codePoint.
size_t DecodeUtf8(const char* text, uint32_t* codePoint);

// A file name's bytes as text to show: UTF-8 as it is; otherwise, when every
// character is one the code page defines (a name from a Japanese archive), read as
// Shift-JIS; otherwise UTF-8 with every byte outside a UTF-8 character written as
// "\xNN".
std::string NameBytesToUtf8(const char* bytes);
