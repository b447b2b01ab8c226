// Unsigned 128-bit steps of the extended arithmetic: the exact product of two 64-bit
// integers and the division of a 128-bit integer by a 64-bit one. GCC and Clang
// have a native 128-bit integer; the plain versions serve every other compiler
// (MSVC) and are checked against the native ones by a test.
#pragma once

#include <cassert>
#include <cstdint>

#if defined(_MSC_VER) && !defined(__clang__)
#include <intrin.h>
#endif

#if defined(__SIZEOF_INT128__)
// __extension__: the native type is a GNU extension that -Wpedantic would flag.
__extension__ typedef unsigned __int128 NativeUint128;
#endif

struct Uint128 {
  uint64_t high;
  uint64_t low;
};

// Number of zero bits above the highest set bit; value must not be zero.
inline int CountLeadingZeros(uint64_t value) {
  assert(value != 0);
#if defined(__GNUC__) || defined(__clang__)
  return __builtin_clzll(value);
#elif defined(_MSC_VER) && defined(_M_X64)
  unsigned long index;
  _BitScanReverse64(&index, value);
  return 63 - static_cast<int>(index);
#else
  int count = 0;
  while (!(value & (uint64_t{1} << 63))) {
    value <<= 1;
    ++count;
  }
  return count;
#endif
}

// a * b exactly, from four 32x32->64 partial products.
inline Uint128 MultiplyWidePortable(uint64_t a, uint64_t b) {
  const uint64_t mask = 0xFFFFFFFFu;
  uint64_t aLow = a & mask, aHigh = a >> 32;
  uint64_t bLow = b & mask, bHigh = b >> 32;
  uint64_t lowLow = aLow * bLow;
  uint64_t highLow = aHigh * bLow;
  uint64_t lowHigh = aLow * bHigh;
  uint64_t highHigh = aHigh * bHigh;
  // The middle column sums to less than 3 * 2^32 in each half: no carry is lost.
  uint64_t middle = (lowLow >> 32) + (highLow & mask) + (lowHigh & mask);
  Uint128 product;
  product.low = (middle << 32) | (lowLow & mask);
  product.high = highHigh + (highLow >> 32) + (lowHigh >> 32) + (middle >> 32);
  return product;
}

// (high:low) / divisor with its remainder; requires high < divisor, so that the
// quotient fits 64 bits. Long division in 32-bit digits with a normalised divisor
// (Knuth's algorithm D for a two-digit divisor): each estimated quotient digit is
// at most two too large and is corrected before it is used.
inline uint64_t DivideWidePortable(uint64_t high, uint64_t low, uint64_t divisor, uint64_t* remainder) {
  assert(high < divisor);
  const uint64_t base = uint64_t{1} << 32;
  const int shift = CountLeadingZeros(divisor);
  divisor <<= shift;
  const uint64_t divisorHigh = divisor >> 32;
  const uint64_t divisorLow = divisor & 0xFFFFFFFFu;
  // The dividend shifted along with the divisor; its top 64 bits still stay below it.
  const uint64_t top = shift == 0 ? high : (high << shift) | (low >> (64 - shift));
  const uint64_t bottom = low << shift;
  const uint64_t bottomHigh = bottom >> 32;
  const uint64_t bottomLow = bottom & 0xFFFFFFFFu;

  uint64_t quotientHigh = top / divisorHigh;
  uint64_t partial = top - quotientHigh * divisorHigh;
  while (quotientHigh >= base || quotientHigh * divisorLow > ((partial << 32) | bottomHigh)) {
    --quotientHigh;
    partial += divisorHigh;
    if (partial >= base) break;
  }
  // Wraps modulo 2^64 on the way, but the true value is below the divisor.
  const uint64_t middle = ((top << 32) | bottomHigh) - quotientHigh * divisor;

  uint64_t quotientLow = middle / divisorHigh;
  partial = middle - quotientLow * divisorHigh;
  while (quotientLow >= base || quotientLow * divisorLow > ((partial << 32) | bottomLow)) {
    --quotientLow;
    partial += divisorHigh;
    if (partial >= base) break;
  }
  *remainder = (((middle << 32) | bottomLow) - quotientLow * divisor) >> shift;
  return (quotientHigh << 32) | quotientLow;
}

inline Uint128 MultiplyWide(uint64_t a, uint64_t b) {
#if defined(__SIZEOF_INT128__)
  NativeUint128 product = static_cast<NativeUint128>(a) * b;
  return {static_cast<uint64_t>(product >> 64), static_cast<uint64_t>(product)};
#else
  return MultiplyWidePortable(a, b);
#endif
}

inline uint64_t DivideWide(uint64_t high, uint64_t low, uint64_t divisor, uint64_t* remainder) {
  assert(high < divisor);
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
  // One divq: the library call behind a 128-bit '/' tests cases that never arise here.
  uint64_t quotient;
  __asm__("divq %[divisor]"
          : "=a"(quotient), "=d"(*remainder)
          : [divisor] "rm"(divisor), "a"(low), "d"(high)
          : "cc");
  return quotient;
#elif defined(__SIZEOF_INT128__)
  NativeUint128 dividend = (static_cast<NativeUint128>(high) << 64) | low;
  *remainder = static_cast<uint64_t>(dividend % divisor);
  return static_cast<uint64_t>(dividend / divisor);
#else
  return DivideWidePortable(high, low, divisor, remainder);
#endif
}

// (high:low) / divisor with its remainder, for a divisor with bit 63 set that is
// known in advance with its reciprocal floor((2^128 - 1) / divisor) - 2^64;
// requires high < divisor. Two multiplications and two corrections instead of a
// hardware division (Moller and Granlund, "Improved division by invariant
// integers", 2011, algorithm 4).
inline uint64_t DivideWidePreinverted(uint64_t high, uint64_t low, uint64_t divisor, uint64_t reciprocal,
                                      uint64_t* remainder) {
  assert((divisor >> 63) && high < divisor);
  Uint128 estimate = MultiplyWide(reciprocal, high);
  uint64_t estimateLow = estimate.low + low;
  uint64_t quotient = estimate.high + high + 1 + (estimateLow < low ? 1 : 0);
  uint64_t rest = low - quotient * divisor;  // modulo 2^64
  if (rest > estimateLow) {
    --quotient;
    rest += divisor;
  }
  if (rest >= divisor) {
    ++quotient;
    rest -= divisor;
  }
  *remainder = rest;
  return quotient;
}

// The reciprocal DivideWidePreinverted takes: floor((2^128 - 1) / divisor) - 2^64,
// which is (2^128 - 1 - divisor * 2^64) / divisor, for a divisor with bit 63 set.
inline uint64_t ReciprocalForDivision(uint64_t divisor) {
  uint64_t remainder;
  return DivideWide(~divisor, ~uint64_t{0}, divisor, &remainder);
}
