// The arithmetic behind the number text, emulated with integers: values with the
// wide exponent range of the 80-bit extended format, every sum, product and
// quotient rounded to 53 significant bits (double precision), to nearest, ties to
// even. Doing it with integers gives the same bits on every compiler and CPU and
// never touches the caller's floating-point mode.
#pragma once

#include <cstdint>

// A non-negative value: significand * 2^(exponent - 63), with bit 63 of the
// significand set, so that 2^exponent <= value < 2^(exponent + 1).
// Results of arithmetic hold 53 significant bits (the low 11 bits are zero), fewer
// below kExtendedMinExponent; the power-of-ten tables hold all 64. Zero has a zero
// significand; infinity has the exponent kExtendedInfinityExponent.
struct ExtendedFloat {
  uint64_t significand;
  int32_t exponent;
};

// The 15-bit exponent range of the extended format (bias 16383).
constexpr int32_t kExtendedMaxExponent = 16383;
constexpr int32_t kExtendedMinExponent = -16382;
constexpr int32_t kExtendedInfinityExponent = kExtendedMaxExponent + 1;

// The significand bits below double precision: 64 - 53.
constexpr int kExtendedExtraBits = 11;

constexpr ExtendedFloat kExtendedZero = {0, 0};
constexpr ExtendedFloat kExtendedInfinity = {uint64_t{1} << 63, kExtendedInfinityExponent};

inline bool IsExtendedZero(ExtendedFloat x) { return x.significand == 0; }
inline bool IsExtendedInfinite(ExtendedFloat x) { return x.exponent == kExtendedInfinityExponent; }

// value rounded to 53 bits: ExtendedFromInteger(9007199254740993) -> 2^53.
ExtendedFloat ExtendedFromInteger(uint64_t value);

// The magnitude of a finite double, exactly (subnormals are normalised).
ExtendedFloat ExtendedFromDouble(double value);

// x rounded to 53 bits (a table value taken as the first factor of a product).
ExtendedFloat RoundExtended(ExtendedFloat x);

// x as a double, as storing an extended value to memory does: rounded (again) to
// the double's precision, which is less than 53 bits for subnormal results; ties to
// even; infinity above the double range, zero below half its smallest subnormal.
double ExtendedToDouble(ExtendedFloat x);

// a * b, a / b and a + b rounded to 53 bits; infinity beyond the extended range,
// gradual underflow below it.
// Zero times infinity is never formed by the callers; it gives zero.
// The divisor must not be zero or infinite.
ExtendedFloat MultiplyExtended(ExtendedFloat a, ExtendedFloat b);
ExtendedFloat DivideExtended(ExtendedFloat a, ExtendedFloat b);
ExtendedFloat AddExtended(ExtendedFloat a, ExtendedFloat b);

// a < b, for finite values.
bool ExtendedLess(ExtendedFloat a, ExtendedFloat b);

// x rounded to an integer, ties to even; x must be finite and below 2^63.
uint64_t RoundExtendedToInteger(ExtendedFloat x);
