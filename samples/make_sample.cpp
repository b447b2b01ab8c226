// Writes samples/sample.fnt: a valid metrics file with plausible values, so that the
// editor opened on it shows something real. Usage: make_sample OUT.fnt
#include <cstdio>
#include <cstring>

#include "metrics_format.h"

namespace {

bool IsHalfAlnum(int code) { return code >= 0x20 && code <= 0x7F; }
bool IsHalfKana(int code) { return code >= 0xA1 && code <= 0xDF; }

// Narrow and wide Latin letters, so the widths vary as in a real proportional font.
float AlnumWidth(int code) {
  if (std::strchr("il.,:;'!|", code)) return 6;
  if (std::strchr("fjrt()[]", code)) return 8;
  if (std::strchr("mwMW@", code)) return 14;
  return 12;
}

// Letters with descenders sit lower.
float AlnumOffsetY(int code) { return std::strchr("gjpqy", code) ? 3 : 0; }

// Values 0-7 look like atlas coordinates of a 16 x 16 grid of 32-pixel cells: pixel
// rectangle, then the same normalised. Value 13 is a constant flag.
void WriteOpaqueValues(uint8_t* image, int code) {
  float column = static_cast<float>(code % 16), row = static_cast<float>(code / 16);
  const float values[8] = {column * 32, row * 32, column * 32 + 32, row * 32 + 32,
                           column / 16, row / 16, (column + 1) / 16, (row + 1) / 16};
  for (uint32_t k = 0; k < 8; ++k) WriteSingle(image, ValueOffset(code, k), values[k]);
  if (code != 255) WriteSingle(image, ValueOffset(code, 13), 1);
}

void WriteEditedValues(uint8_t* image, int code, float width, float height, float left,
                       float right, float offsetY) {
  WriteSingle(image, ValueOffset(code, Width), width);
  WriteSingle(image, ValueOffset(code, Height), height);
  WriteSingle(image, ValueOffset(code, SpacingLeft), left);
  WriteSingle(image, ValueOffset(code, SpacingRight), right);
  WriteSingle(image, ValueOffset(code, OffsetY), offsetY);
}

void WriteRecord(uint8_t* image, int code) {
  WriteOpaqueValues(image, code);
  if (code == kFullWidthSlot || code == kFullWidthTwinSlot) {
    WriteEditedValues(image, code, 24, 24, 0.5f, 1.5f, -1);
  } else if (code == kHalfKanaSlot || code == kHalfKanaTwinSlot || IsHalfKana(code)) {
    WriteEditedValues(image, code, 12, 24, 0.25f, 0.75f, 0);
  } else if (code == kHalfWidthSlot || code == kHalfWidthTwinSlot) {
    std::memset(image + RecordOffset(code), 0, kRecordSize);
    WriteSingle(image, ValueOffset(code, Width), 12);
  } else if (code == kFullWidthClearedSlot || code == kFullWidthClearedTwinSlot) {
    std::memset(image + RecordOffset(code), 0, kRecordSize);
  } else if (IsHalfAlnum(code)) {
    WriteEditedValues(image, code, AlnumWidth(code), 24, 0, 1.1f, AlnumOffsetY(code));
  }
}

// The opaque header: a few small numbers, like the other settings of a font.
void WriteHeader(uint8_t* image) {
  WriteSingle(image, kLineSpacingOffset, 4);
  for (uint32_t offset = 4; offset < kHeaderSize; offset += 4) {
    WriteSingle(image, offset, static_cast<float>(offset % 29) * 0.5f);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample OUT.fnt\n");
    return 2;
  }
  static uint8_t image[kMetricsImageSize];
  WriteHeader(image);
  for (int code = 0; code < kCodeCount; ++code) WriteRecord(image, code);
  std::FILE* out = std::fopen(argv[1], "wb");
  if (!out) {
    std::perror(argv[1]);
    return 2;
  }
  bool written = std::fwrite(image, 1, kMetricsFileSize, out) == kMetricsFileSize;
  if (std::fclose(out) != 0 || !written) {
    std::perror(argv[1]);
    return 2;
  }
  return 0;
}
