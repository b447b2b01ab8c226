#include "number_parse.h"

#include <cstdint>

#include "extended_float.h"
#include "power_of_ten_tables.h"
#include "scale_power_of_ten.h"

namespace {

constexpr ExtendedFloat kTen = kPowersOfTenBy1[0];

// Below 2^53 every step acc * 10 + digit is exact, so the accumulator stays a plain
// integer while acc * 10 + 9 remains below 2^53.
constexpr uint64_t kExactAccumulatorMax = ((uint64_t{1} << 53) - 10) / 10;

// An exponent stops growing here instead of wrapping around. Any exponent this
// large scales every mantissa to infinity or zero, and it stays that large after
// the digits behind the point (fewer than 2^40 of them) are taken off.
constexpr int64_t kExponentSaturation = int64_t{1} << 40;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The decimal exponent as ScalePowerOfTen takes it. Beyond 32 bits every value
// gives the same result as the limit of its sign.
int32_t ClampScale(int64_t n) {
  if (n > INT32_MAX) return INT32_MAX;
  if (n < INT32_MIN) return INT32_MIN;
  return static_cast<int32_t>(n);
}

// The mantissa loop once acc has left the exact integers: from p on, every
// acc * 10 and every + digit is rounded to 53 bits. Returns where the mantissa ends.
const char* AccumulateRounded(const char* p, const char* mantissa, ExtendedFloat* acc, int64_t* points,
                              int64_t* point) {
  for (;; ++p) {
    if (IsDigit(*p)) {
      *acc = MultiplyExtended(*acc, kTen);
      if (*p != '0') *acc = AddExtended(*acc, ExtendedFromInteger(static_cast<uint64_t>(*p - '0')));
    } else if (*p == '.') {
      *point = (p - mantissa) - *points;
      ++*points;
    } else {
      return p;
    }
  }
}

}  // namespace

const char* ParseNumber(const char* text, double* out) {
  const char* p = text;
  // 1. One sign at most; nothing else is skipped.
  bool negative = false;
  if (*p == '+') {
    ++p;
  } else if (*p == '-') {
    negative = true;
    ++p;
  }
  // 2. An empty text or a lone sign holds no number.
  if (*p == '\0') return p;

  // 3. Mantissa: acc = acc * 10 + digit, each step rounded to 53 bits once the
  // accumulator has left the exact integers; the last point counts. The digits are
  // counted as the characters taken less the points among them.
  const char* mantissa = p;
  uint64_t exact = 0;
  int64_t points = 0;
  int64_t point = -1;
  for (;; ++p) {
    unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
    if (digit <= 9) {
      if (exact > kExactAccumulatorMax) break;
      exact = exact * 10 + digit;
    } else if (*p == '.') {
      point = (p - mantissa) - points;
      ++points;
    } else {
      break;
    }
  }
  // Digits beyond the exact integers (a long digit string) round at every step.
  bool rounding = IsDigit(*p);
  ExtendedFloat acc = ExtendedFromInteger(exact);
  if (rounding) p = AccumulateRounded(p, mantissa, &acc, &points, &point);
  int64_t digits = (p - mantissa) - points;

  // 4. Exponent: an optional sign and digits; "e" alone counts as exponent 0.
  int64_t exponent = 0;
  if (*p == 'e' || *p == 'E') {
    ++p;
    bool exponentNegative = false;
    if (*p == '+') {
      ++p;
    } else if (*p == '-') {
      exponentNegative = true;
      ++p;
    }
    for (; IsDigit(*p); ++p) {
      if (exponent < kExponentSaturation) exponent = exponent * 10 + (*p - '0');
    }
    if (exponentNegative) exponent = -exponent;
  }

  // 5. Scale by 10^(exponent - digits behind the point). An exact integer with no
  // scale converts to a double exactly.
  int64_t n = exponent;
  if (point >= 0) n -= digits - point;
  int32_t scale = ClampScale(n);
  double result;
  if (!rounding && scale == 0) {
    result = static_cast<double>(exact);
  } else {
    result = ExtendedToDouble(ScalePowerOfTen(acc, scale));
  }
  *out = negative ? -result : result;
  return p;
}
