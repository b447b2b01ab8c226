#include "field_text.h"

#include <cmath>
#include <cstdint>
#include <string>

#include "number_parse.h"
#include "shift_jis.h"

namespace {

// The full-width characters an input method types into a number, by their code
// page 932 codes, and the ASCII character each reads as. The digits ０-９ are the
// run 0x82 0x4F - 0x82 0x58 and need no row.
struct FullWidthForm {
  uint8_t lead, trail;
  char ascii;
};
constexpr FullWidthForm kFullWidthForms[] = {
    {0x81, 0x40, ' '},  // U+3000 full-width space
    {0x81, 0x7B, '+'},  // U+FF0B ＋
    {0x81, 0x7C, '-'},  // U+FF0D －; U+2212 − has the same code
    {0x81, 0x44, '.'},  // U+FF0E ．
    {0x82, 0x64, 'E'},  // U+FF25 Ｅ
    {0x82, 0x85, 'e'},  // U+FF45 ｅ
};
constexpr uint8_t kFullWidthDigitLead = 0x82, kFullWidthZeroTrail = 0x4F;

// Half-way between the largest single (2^128 - 2^104) and 2^128: from here on a
// double rounds to infinity in single precision, the tie too, as the largest
// single's last bit is odd.
constexpr double kSingleOverflow = 0x1.ffffffp127;

// The ASCII character a double-byte character reads as, or 0 for one that has no
// place in a number.
char AsciiOfFullWidth(uint8_t lead, uint8_t trail) {
  if (lead == kFullWidthDigitLead && trail >= kFullWidthZeroTrail && trail <= kFullWidthZeroTrail + 9) {
    return static_cast<char>('0' + (trail - kFullWidthZeroTrail));
  }
  for (const FullWidthForm& form : kFullWidthForms) {
    if (form.lead == lead && form.trail == trail) return form.ascii;
  }
  return 0;
}

// The text with its full-width forms as ASCII; false when a double-byte character
// (or a lead byte without its trail) has no ASCII form.
bool MapFullWidth(const char* text, std::string* ascii) {
  for (const char* p = text; *p; ++p) {
    if (!IsShiftJisLeadByte(static_cast<unsigned char>(*p))) {
      *ascii += *p;
      continue;
    }
    char mapped = p[1] ? AsciiOfFullWidth(static_cast<uint8_t>(p[0]), static_cast<uint8_t>(p[1])) : 0;
    if (!mapped) return false;
    *ascii += mapped;
    ++p;
  }
  return true;
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string TrimBlanks(const std::string& text) {
  size_t first = 0, end = text.size();
  while (first < end && IsBlank(text[first])) ++first;
  while (end > first && IsBlank(text[end - 1])) --end;
  return text.substr(first, end - first);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipDigits(const char* p) {
  while (IsDigit(*p)) ++p;
  return p;
}

const char* SkipSign(const char* p) { return (*p == '+' || *p == '-') ? p + 1 : p; }

// digits ["." digits?] | "." digits: where the mantissa ends, or nullptr.
const char* MatchMantissa(const char* p) {
  const char* whole = SkipDigits(p);
  if (*whole != '.') return whole > p ? whole : nullptr;
  const char* fraction = SkipDigits(whole + 1);
  return (whole > p || fraction > whole + 1) ? fraction : nullptr;
}

// The whole text is [+-]? mantissa ([eE] [+-]? digits)?.
bool MatchesNumber(const char* text) {
  const char* p = MatchMantissa(SkipSign(text));
  if (!p) return false;
  if (*p == 'e' || *p == 'E') {
    const char* digits = SkipSign(p + 1);
    p = SkipDigits(digits);
    if (p == digits) return false;
  }
  return *p == '\0';
}

}  // namespace

FieldTextStatus CheckFieldText(const char* shiftJisText, FieldValue* value) {
  std::string ascii;
  if (!MapFullWidth(shiftJisText, &ascii)) return FieldTextStatus::NotANumber;
  std::string text = TrimBlanks(ascii);
  bool present = !(text.empty() || text == "+" || text == "-");
  if (present && !MatchesNumber(text.c_str())) return FieldTextStatus::NotANumber;
  double number = 0;
  if (present) ParseNumber(text.c_str(), &number);
  if (std::fabs(number) >= kSingleOverflow) return FieldTextStatus::NotANumber;
  value->present = present;
  value->value = number;
  return present ? FieldTextStatus::Number : FieldTextStatus::NoNumber;
}
