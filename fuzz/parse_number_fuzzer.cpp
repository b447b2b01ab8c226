// ParseNumber on arbitrary bytes (up to the first NUL): no crash and no read past
// the text, a stop position inside it, a value written exactly when the text holds
// more than a lone sign, never a NaN, and the same bits and stop as the x87
// reference.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "number_parse.h"
#include "x87_reference.h"

namespace {

// A NaN with a payload ParseNumber never writes: tells whether out was written.
constexpr uint64_t kUnwrittenBits = 0x7FF4000000C0FFEEu;

uint64_t Bits(double value) {
  uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

double Unwritten() {
  double value;
  std::memcpy(&value, &kUnwrittenBits, sizeof value);
  return value;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // An exactly sized copy, so that the address sanitizer catches any read past the NUL.
  std::unique_ptr<char[]> text(new char[size + 1]);
  std::memcpy(text.get(), data, size);
  text[size] = '\0';
  const char* begin = text.get();
  size_t length = std::strlen(begin);

  double value = Unwritten();
  const char* stop = ParseNumber(begin, &value);
  Check(stop >= begin && stop <= begin + length);
  bool written = Bits(value) != kUnwrittenBits;
  bool loneSign = length == 1 && (begin[0] == '+' || begin[0] == '-');
  Check(written == !(length == 0 || loneSign));
  if (written) Check(!std::isnan(value));

#if QUORVEL_HAVE_X87_REFERENCE
  X87DoublePrecision precision;
  double expected = Unwritten();
  const char* expectedStop = ReferenceParseNumber(begin, &expected);
  Check(stop == expectedStop);
  Check(Bits(value) == Bits(expected));
#endif
  return 0;
}
