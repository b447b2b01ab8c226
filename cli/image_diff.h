// What differs between two metrics images, for `diff` and for `set --dry-run`:
// every byte of the file counts, the opaque ones too.
#pragma once

#include <cstdint>
#include <string>
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

// One line per difference, after prefix:
//   line_spacing: 12 -> 14
//   header byte 17: 0x00 -> 0x3F
//   0x41 A width: 10 -> 12
//   0x10 value 3: 0.1 -> 0.1 (0x3DCCCCCD -> 0x3DCCCCCE)
// Values show as the editor's fields show them; where those texts are equal, the
// bit patterns follow.
std::string DescribeDifference(const uint8_t* before, const uint8_t* after, const Difference& difference);

// What a dry run prints on standard output: "PATH: " and each difference, one per
// line, or "PATH: no change".
void PrintChanges(const char* path, const uint8_t* before, const uint8_t* after);
