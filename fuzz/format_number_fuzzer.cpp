// FormatNumber on raw 64-bit patterns: a NUL-terminated text of at most 17
// characters inside kNumberTextSize bytes, "inf", "-inf" or "nan" for the special
// values, a finite value read back by ParseNumber to within half a unit of its
// seventh significant digit, and the same text as the x87 reference.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "number_format.h"
#include "number_parse.h"
#include "x87_reference.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

// The decimal exponent of the text's first significant digit: the exponent of the
// scientific form, else from the digits before the point ("0.x" has -1).
int LeadingDigitExponent(const char* text) {
  if (*text == '-') ++text;
  if (const char* e = std::strchr(text, 'e')) return std::atoi(e + 1);
  size_t integerDigits = std::strcspn(text, ".");
  if (integerDigits == 1 && text[0] == '0') return -1;
  return static_cast<int>(integerDigits) - 1;
}

// |read back - value| <= half a unit of the seventh significant digit, with room
// for the rounding of the scaling steps (a few units in 2^53 of the value).
void CheckReadsBack(double value, const char* text) {
  double readBack = 0;
  const char* stop = ParseNumber(text, &readBack);
  Check(*stop == '\0');
  long double unit = std::pow(10.0L, LeadingDigitExponent(text) - 6);
  long double error = std::fabs(static_cast<long double>(readBack) - static_cast<long double>(value));
  Check(error <= unit * (0.5L + 1e-7L));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < sizeof(uint64_t)) return 0;
  double value;
  std::memcpy(&value, data, sizeof value);

  // A marked buffer larger than the text may be, to catch writes past it.
  char text[kNumberTextSize + 8];
  std::memset(text, '#', sizeof text);
  FormatNumber(value, text);
  size_t length = strnlen(text, kNumberTextSize);
  Check(length < kNumberTextSize);
  for (size_t i = kNumberTextSize; i < sizeof text; ++i) Check(text[i] == '#');

  if (std::isnan(value)) {
    Check(std::strcmp(text, "nan") == 0);
  } else if (std::isinf(value)) {
    Check(std::strcmp(text, value < 0 ? "-inf" : "inf") == 0);
  } else {
    CheckReadsBack(value, text);
  }

#if QUORVEL_HAVE_X87_REFERENCE
  X87DoublePrecision precision;
  char expected[32];
  ReferenceFormatNumber(value, expected);
  Check(std::strcmp(text, expected) == 0);
#endif
  return 0;
}
