#include "x87_reference.h"

#if QUORVEL_HAVE_X87_REFERENCE

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

#include "exact_powers_of_ten.h"

namespace {

// Control word: exceptions masked (bits 0-5), precision control 10 = 53 bits
// (bits 8-9), rounding control 00 = to nearest (bits 10-11).
constexpr uint16_t kDoublePrecisionControl = 0x027F;

uint16_t ReadControlWord() {
  uint16_t word;
  __asm__ __volatile__("fnstcw %0" : "=m"(word) : : "memory");
  return word;
}

void WriteControlWord(uint16_t word) { __asm__ __volatile__("fldcw %0" : : "m"(word) : "memory"); }

// The 80-bit value significand * 2^(exponent - 63), assembled bit by bit so that
// no arithmetic (and no precision control) touches it.
long double LongDoubleFromParts(uint64_t significand, int32_t exponent) {
  unsigned char bytes[sizeof(long double)] = {};
  uint16_t biased = static_cast<uint16_t>(exponent + 16383);
  std::memcpy(bytes, &significand, 8);
  std::memcpy(bytes + 8, &biased, 2);
  long double value;
  std::memcpy(&value, bytes, sizeof value);
  return value;
}

struct PowerTables {
  long double units[16];      // 10^0 ... 10^15
  long double sixteens[16];   // 10^0, 10^16 ... 10^240
  long double multiples[19];  // 10^0, 10^256 ... 10^4608
};

const PowerTables& Tables() {
  static const PowerTables tables = [] {
    PowerTables t;
    auto power = [](int k) {
      RoundedPower p = RoundedPowerOfTen(k);
      return LongDoubleFromParts(p.significand, p.exponent);
    };
    for (int i = 0; i < 16; ++i) t.units[i] = power(i);
    for (int i = 0; i < 16; ++i) t.sixteens[i] = power(16 * i);
    for (int i = 0; i < 19; ++i) t.multiples[i] = power(256 * i);
    return t;
  }();
  return tables;
}

// The rounding store of the x87 to a double.
__attribute__((noinline)) double StoreDouble(long double x) { return static_cast<double>(x); }

}  // namespace

__attribute__((noinline)) long double ReferenceScalePowerOfTen(long double x, long long n) {
  unsigned long long m = n < 0 ? 0ull - static_cast<unsigned long long>(n) : static_cast<unsigned long long>(n);
  if (m >= 4864) {
    if (x == 0) return 0;
    return n > 0 ? HUGE_VALL : 0;
  }
  const PowerTables& t = Tables();
  // p starts at 1 as a run-time value, so that the compiler keeps the first
  // multiplication (which rounds the table value to 53 bits).
  volatile long double one = 1;
  long double p = one;
  if (m & 15) p = p * t.units[m & 15];
  if ((m >> 4) & 15) p = p * t.sixteens[(m >> 4) & 15];
  if (m >> 8) p = p * t.multiples[m >> 8];
  return n >= 0 ? x * p : x / p;
}

X87DoublePrecision::X87DoublePrecision() : saved_(ReadControlWord()) {
  Tables();
  WriteControlWord(kDoublePrecisionControl);
}

X87DoublePrecision::~X87DoublePrecision() { WriteControlWord(saved_); }

void ReferenceFormatNumber(double value, char* out) {
  std::string text;
  if (value == 0) {
    text = "0";
  } else if (std::isnan(value)) {
    text = "nan";
  } else if (std::isinf(value)) {
    text = value < 0 ? "-inf" : "inf";
  } else {
    if (value < 0) text = "-";
    double magnitude = std::fabs(value);
    int e = static_cast<int>(std::lround(std::ilogb(magnitude) * 0.301029995663981195));
    if (e >= 0 && e <= 15 && magnitude == std::floor(magnitude)) {
      text += std::to_string(static_cast<unsigned long long>(magnitude));
    } else {
      long double y = ReferenceScalePowerOfTen(magnitude, 6 - e);
      if (y < 1e6L) {
        y = y * 10;
        --e;
      }
      long long rounded = std::llrint(y);  // in the current mode: to nearest, ties to even
      if (rounded == 10000000) {
        rounded = 1000000;
        ++e;
      }
      std::string digits = std::to_string(rounded);
      if (e >= -1 && e <= 6) {
        std::string fixed = e == -1 ? "0." + digits : digits.substr(0, e + 1) + "." + digits.substr(e + 1);
        fixed.erase(fixed.find_last_not_of('0') + 1);
        if (fixed.back() == '.') fixed.pop_back();
        text += fixed;
      } else {
        char exponent[16];
        std::snprintf(exponent, sizeof exponent, "e%c%03d", e < 0 ? '-' : '+', e < 0 ? -e : e);
        text += digits.substr(0, 1) + "." + digits.substr(1) + exponent;
      }
    }
  }
  std::memcpy(out, text.c_str(), text.size() + 1);
}

const char* ReferenceParseNumber(const char* text, double* out) {
  const char* p = text;
  bool negative = *p == '-';
  if (*p == '+' || *p == '-') ++p;
  if (*p == '\0') return p;
  volatile long double zero = 0;
  long double acc = zero;
  long long digits = 0;
  long long point = -1;
  for (;; ++p) {
    if (*p >= '0' && *p <= '9') {
      acc = acc * 10;
      acc = acc + (*p - '0');
      ++digits;
    } else if (*p == '.') {
      point = digits;
    } else {
      break;
    }
  }
  long long exponent = 0;
  if (*p == 'e' || *p == 'E') {
    ++p;
    bool exponentNegative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    // Exponents count with their full size; past 10^15 nothing changes any more.
    for (; *p >= '0' && *p <= '9'; ++p) {
      if (exponent < 1000000000000000) exponent = exponent * 10 + (*p - '0');
    }
    if (exponentNegative) exponent = -exponent;
  }
  if (point >= 0) exponent -= digits - point;
  double result = StoreDouble(ReferenceScalePowerOfTen(acc, exponent));
  *out = negative ? -result : result;
  return p;
}

#endif
