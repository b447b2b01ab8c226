// What differs between two metrics images: every byte of the file counts, the
// opaque ones too. quorvel-cli's diff and dry runs describe these differences; the
// editors' tables highlight the values among them.
#pragma once

#include <cstdint>
#include <vector>

enum class DifferenceKind {
  LineSpacing,  // file offset 0
  HeaderByte,   // one opaque byte of 4-299
  RecordValue,  // one of the 14 values of a record (13 for code 255)
};

struct Difference {
  DifferenceKind kind;
  uint32_t offset;  // file offset of the byte or value
  uint8_t code;     // RecordValue: the record's code
  uint32_t value;   // RecordValue: 0-13
};

// The differences in file order; values are compared by their bits, so 0 and -0,
// or two NaNs with different payloads, differ.
std::vector<Difference> CompareImages(const uint8_t* before, const uint8_t* after);

// The bits of the single-precision value at offset, as CompareImages compares them.
uint32_t SingleBits(const uint8_t* image, uint32_t offset);
