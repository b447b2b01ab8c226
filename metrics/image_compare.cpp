#include "image_compare.h"

#include "metrics_format.h"

uint32_t SingleBits(const uint8_t* image, uint32_t offset) {
  // Read as bytes, never through a float, so that every NaN keeps its payload.
  const uint8_t* p = image + offset;
  return uint32_t{p[0]} | uint32_t{p[1]} << 8 | uint32_t{p[2]} << 16 | uint32_t{p[3]} << 24;
}

std::vector<Difference> CompareImages(const uint8_t* before, const uint8_t* after) {
  std::vector<Difference> differences;
  if (SingleBits(before, kLineSpacingOffset) != SingleBits(after, kLineSpacingOffset)) {
    differences.push_back({DifferenceKind::LineSpacing, kLineSpacingOffset, 0, 0});
  }
  for (uint32_t offset = kFirstHeaderByte; offset < kHeaderSize; ++offset) {
    if (before[offset] != after[offset]) {
      differences.push_back({DifferenceKind::HeaderByte, offset, 0, 0});
    }
  }
  for (int code = 0; code < kCodeCount; ++code) {
    auto byte = static_cast<uint8_t>(code);
    for (uint32_t value = 0; value < ValueCountInFile(byte); ++value) {
      uint32_t offset = ValueOffset(byte, value);
      if (SingleBits(before, offset) != SingleBits(after, offset)) {
        differences.push_back({DifferenceKind::RecordValue, offset, byte, value});
      }
    }
  }
  return differences;
}
