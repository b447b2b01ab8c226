// Codes and characters as the command line reads them: codes as decimal (65) or
// hexadecimal with 0x (0x41), characters in UTF-8 mapped to their single-byte
// Shift-JIS code. Writing them is the core's: HexCode (metrics_format.h) and
// DisplayedCharacter (shift_jis.h), included here for every command.
#pragma once

#include <cstdint>
#include <string>

#include "metrics_format.h"
#include "shift_jis.h"

enum class CodeTextStatus {
  Ok,
  NotANumber,  // not decimal digits, nor 0x and hexadecimal digits
  OutOfRange,  // a number above 255
};

// Reads "65" or "0x41" (or "0X41"); nothing may follow the digits.
// "0x" alone, "+1", "-1", " 1" and "1.0" are not numbers.
CodeTextStatus ParseCodeText(const std::string& text, uint8_t* code);

enum class CharacterStatus {
  Ok,
  NotOneCharacter,   // empty, several characters or not UTF-8
  NoSingleByteCode,  // written with two bytes in Shift-JIS: a full-width character
  NotInCodePage,     // Shift-JIS has no such character at all
};

// The single-byte code of text, which must be exactly one UTF-8 character, as the
// editor's character field selects it: "A" -> 0x41, "ｱ" -> 0xB1, "¥" -> 0x5C;
// "あ" is full-width, "é" not in Shift-JIS.
CharacterStatus CodeFromCharacter(const std::string& text, uint8_t* code);

// The error text for a --code or a code argument that is not one, and for a
// character without a code (for a full-width one, with the hint that full-width
// characters share the full-width slots).
std::string CodeTextError(const std::string& text, CodeTextStatus status);
std::string CharacterError(const std::string& text, CharacterStatus status);
