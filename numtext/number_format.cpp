#include "number_format.h"

#include <cstdint>
#include <cstring>

#include "extended_float.h"
#include "power_of_ten_tables.h"
#include "scale_power_of_ten.h"

namespace {

constexpr int kSignificantDigits = 7;
constexpr uint64_t kSevenDigitsFirst = 1000000;  // 10^6
constexpr uint64_t kSevenDigitsEnd = 10000000;   // 10^7
constexpr int kLargestIntegerExponent = 15;      // exact integers have at most 16 digits
constexpr ExtendedFloat kTen = kPowersOfTenBy1[0];
constexpr ExtendedFloat kOneMillion = kPowersOfTenBy1[5];

// The two-digit texts "00" ... "99".
constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

char* WriteText(char* out, const char* text) {
  size_t length = std::strlen(text);
  std::memcpy(out, text, length + 1);
  return out + length;
}

// round(binaryExponent * log10(2)) for |binaryExponent| <= 1100: 646456993 / 2^31
// is log10(2) to within 1.2e-10, and no exponent of a double lies within 3.5e-5 of
// a half-integer, so the product always rounds the way the exact one does.
int EstimateDecimalExponent(int32_t binaryExponent) {
  const int64_t kLog10Of2Scaled = 646456993;  // log10(2) * 2^31
  const int64_t kHalf = int64_t{1} << 30;
  int64_t scaled = binaryExponent * kLog10Of2Scaled + kHalf;
  // Floor division by 2^31, also for negative products.
  int64_t quotient = scaled >= 0 ? scaled >> 31 : -((-scaled + (int64_t{1} << 31) - 1) >> 31);
  return static_cast<int>(quotient);
}

// The decimal digits of value without leading zeros; returns the end.
char* WriteInteger(char* out, uint64_t value) {
  char buffer[20];
  char* end = buffer + sizeof buffer;
  char* p = end;
  while (value >= 100) {
    p -= 2;
    std::memcpy(p, kDigitPairs + 2 * (value % 100), 2);
    value /= 100;
  }
  if (value >= 10) {
    p -= 2;
    std::memcpy(p, kDigitPairs + 2 * value, 2);
  } else {
    *--p = static_cast<char>('0' + value);
  }
  std::memcpy(out, p, static_cast<size_t>(end - p));
  return out + (end - p);
}

// The seven digits of value (10^6 <= value < 10^7).
void WriteSevenDigits(char* digits, uint32_t value) {
  digits[0] = static_cast<char>('0' + value / 1000000);
  value %= 1000000;
  std::memcpy(digits + 1, kDigitPairs + 2 * (value / 10000), 2);
  std::memcpy(digits + 3, kDigitPairs + 2 * (value / 100 % 100), 2);
  std::memcpy(digits + 5, kDigitPairs + 2 * (value % 100), 2);
}

// digits[0] has the decimal exponent e (-1 ... 6): "0.ddddddd" or "dd.ddddd",
// trailing zeros and then a trailing point removed.
char* WriteFixed(char* out, const char* digits, int e) {
  char* p = out;
  if (e < 0) {
    *p++ = '0';
    *p++ = '.';
    std::memcpy(p, digits, kSignificantDigits);
    p += kSignificantDigits;
  } else {
    int integerDigits = e + 1;
    std::memcpy(p, digits, static_cast<size_t>(integerDigits));
    p += integerDigits;
    *p++ = '.';
    std::memcpy(p, digits + integerDigits, static_cast<size_t>(kSignificantDigits - integerDigits));
    p += kSignificantDigits - integerDigits;
  }
  while (p[-1] == '0') --p;  // stops at the point at the latest
  if (p[-1] == '.') --p;
  return p;
}

// "d.dddddde+xxx": all seven digits, the exponent signed and three digits long.
char* WriteScientific(char* out, const char* digits, int e) {
  char* p = out;
  *p++ = digits[0];
  *p++ = '.';
  std::memcpy(p, digits + 1, kSignificantDigits - 1);
  p += kSignificantDigits - 1;
  *p++ = 'e';
  *p++ = e < 0 ? '-' : '+';
  unsigned magnitude = static_cast<unsigned>(e < 0 ? -e : e);  // at most 324
  *p++ = static_cast<char>('0' + magnitude / 100);
  std::memcpy(p, kDigitPairs + 2 * (magnitude % 100), 2);
  return p + 2;
}

}  // namespace

void FormatNumber(double value, char* out) {
  uint64_t bits = BitsOfDouble(value);
  uint64_t magnitude = bits & ~kDoubleSignBit;
  bool negative = (bits & kDoubleSignBit) != 0;
  // 1. Zero of either sign; infinities and NaNs.
  if (magnitude == 0) {
    WriteText(out, "0");
    return;
  }
  if (magnitude >= kDoubleInfinityBits) {
    WriteText(out, magnitude > kDoubleInfinityBits ? "nan" : negative ? "-inf" : "inf");
    return;
  }
  // 2. The sign, then the magnitude.
  char* p = out;
  if (negative) *p++ = '-';
  ExtendedFloat x = ExtendedFromDouble(value);
  // 3. The decimal exponent of the first digit, or one more.
  int e = EstimateDecimalExponent(x.exponent);
  // 4. Integers from 1 up to below 2^52 (binary exponents 0 ... 51) print exactly.
  if (e >= 0 && e <= kLargestIntegerExponent && x.exponent >= 0) {
    int fractionBits = 63 - x.exponent;
    if ((x.significand & ((uint64_t{1} << fractionBits) - 1)) == 0) {
      p = WriteInteger(p, x.significand >> fractionBits);
      *p = '\0';
      return;
    }
  }
  // 5. Seven significant digits D, with e the decimal exponent of the first one.
  ExtendedFloat y = ScalePowerOfTen(x, kSignificantDigits - 1 - e);
  if (ExtendedLess(y, kOneMillion)) {
    y = MultiplyExtended(y, kTen);
    --e;
  }
  uint64_t rounded = RoundExtendedToInteger(y);
  if (rounded == kSevenDigitsEnd) {
    rounded = kSevenDigitsFirst;
    ++e;
  }
  char digits[kSignificantDigits];
  WriteSevenDigits(digits, static_cast<uint32_t>(rounded));
  // 6-8. Fixed notation from 0.1 up to below 10^7, scientific otherwise.
  p = e >= -1 && e <= kSignificantDigits - 1 ? WriteFixed(p, digits, e) : WriteScientific(p, digits, e);
  *p = '\0';
}
