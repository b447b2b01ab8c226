#include "exact_powers_of_ten.h"

#include <cassert>
#include <cstddef>
#include <vector>

namespace {

// An unsigned integer in base 2^32, least significant word first.
using BigInteger = std::vector<uint32_t>;

void MultiplyByTen(BigInteger& value) {
  uint64_t carry = 0;
  for (uint32_t& word : value) {
    uint64_t product = uint64_t{word} * 10 + carry;
    word = static_cast<uint32_t>(product);
    carry = product >> 32;
  }
  if (carry) value.push_back(static_cast<uint32_t>(carry));
}

bool Bit(const BigInteger& value, int index) { return (value[index / 32] >> (index % 32)) & 1; }

int BitLength(const BigInteger& value) {
  int length = static_cast<int>(value.size()) * 32;
  while (!Bit(value, length - 1)) --length;
  return length;
}

// The top 64 bits of value, rounded to nearest with ties to even.
RoundedPower RoundTo64Bits(const BigInteger& value) {
  int length = BitLength(value);
  int32_t exponent = length - 1;
  uint64_t significand = 0;
  for (int i = length - 1; i >= 0 && i >= length - 64; --i) significand = (significand << 1) | Bit(value, i);
  if (length <= 64) return {significand << (64 - length), exponent};
  int roundIndex = length - 65;
  bool roundBit = Bit(value, roundIndex);
  bool sticky = false;
  for (int i = roundIndex - 1; i >= 0 && !sticky; --i) sticky = Bit(value, i);
  if (roundBit && (sticky || (significand & 1))) {
    ++significand;
    if (significand == 0) {  // carried out of 64 bits
      significand = uint64_t{1} << 63;
      ++exponent;
    }
  }
  return {significand, exponent};
}

std::vector<RoundedPower> ComputeAllPowers() {
  std::vector<RoundedPower> powers;
  BigInteger value = {1};
  for (int k = 0; k <= kLargestExactPower; ++k) {
    powers.push_back(RoundTo64Bits(value));
    MultiplyByTen(value);
  }
  return powers;
}

}  // namespace

RoundedPower RoundedPowerOfTen(int k) {
  assert(k >= 0 && k <= kLargestExactPower);
  static const std::vector<RoundedPower> powers = ComputeAllPowers();
  return powers[static_cast<size_t>(k)];
}
