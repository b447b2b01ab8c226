// An independent reference for the number text, for tests only: the same steps
// written over long double on the x87 unit with its precision control at 53 bits,
// which rounds every result to double precision while keeping the 15-bit exponent
// range, and stores to double as the number text must. Available where long double
// is the x87's 80-bit format (x86 and x86-64 with GCC or Clang, MinGW included).
#pragma once

#include <cfloat>
#include <cstdint>

#if (defined(__x86_64__) || defined(__i386__)) && (defined(__GNUC__) || defined(__clang__)) && \
    LDBL_MANT_DIG == 64
#define QUORVEL_HAVE_X87_REFERENCE 1

// Sets the x87 control word for its lifetime: 53-bit precision, round to nearest,
// every exception masked. The reference functions need one in the calling thread.
class X87DoublePrecision {
 public:
  X87DoublePrecision();
  ~X87DoublePrecision();
  X87DoublePrecision(const X87DoublePrecision&) = delete;
  X87DoublePrecision& operator=(const X87DoublePrecision&) = delete;

 private:
  uint16_t saved_;
};

// x * 10^n on the x87, x of at most 53 significant bits: the table products and
// the final step each rounded to 53 bits.
long double ReferenceScalePowerOfTen(long double x, long long n);

// The texts and values the number text must give, computed on the x87.
// out holds at least 32 bytes.
void ReferenceFormatNumber(double value, char* out);
const char* ReferenceParseNumber(const char* text, double* out);

#else
#define QUORVEL_HAVE_X87_REFERENCE 0
#endif
