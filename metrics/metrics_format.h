// The glyph-metrics file: a line spacing, opaque header bytes, and one record of
// fourteen little-endian single-precision values per single-byte code.
#pragma once

#include <cstdint>
#include <string>

// Offsets and sizes of the file, in bytes.
constexpr uint32_t kLineSpacingOffset = 0;
constexpr uint32_t kFirstHeaderByte = 4;       // the opaque header bytes run 4-299
constexpr uint32_t kHeaderSize = 300;          // line spacing + 296 opaque bytes
constexpr uint32_t kRecordValueCount = 14;
constexpr uint32_t kRecordSize = kRecordValueCount * 4;   // 56
constexpr uint32_t kLastRecordFileSize = 13 * 4;          // code 255 keeps values 0-12 only
constexpr uint32_t kMetricsFileSize = kHeaderSize + 255 * kRecordSize + kLastRecordFileSize;
static_assert(kMetricsFileSize == 14632, "the only valid file size");

// The image is 8 bytes longer than the file and zero-filled, so that record 255's
// value 13 lies inside it; that tail is never written back.
constexpr uint32_t kMetricsImageSize = kMetricsFileSize + 8;
static_assert(kMetricsImageSize >= kHeaderSize + 256 * kRecordSize, "every record fits");

// Single-byte codes: one record each.
constexpr int kCodeCount = 256;
constexpr uint8_t kLastCode = kCodeCount - 1;

// A code as the tables and quorvel-cli write it in hexadecimal: "0x41", "0x0A".
std::string HexCode(uint8_t code);

// The values of code's record that the file holds: 14, but 13 for the last code.
constexpr uint32_t ValueCountInFile(uint8_t code) {
  return code == kLastCode ? kLastRecordFileSize / 4 : kRecordValueCount;
}

// The five values the editor shows and edits, by their index in a record.
enum GlyphValue : uint32_t {
  Width = 8,
  Height = 9,
  SpacingLeft = 10,
  SpacingRight = 11,
  OffsetY = 12,
};
constexpr uint32_t kFirstEditedValue = Width;
constexpr uint32_t kEditedValueCount = 5;

// The two single-byte classes of Shift-JIS that the editor edits as a whole.
constexpr uint8_t kHalfAlnumFirst = 0x20, kHalfAlnumLast = 0x7F;  // JIS X 0201 Roman
constexpr uint8_t kHalfKanaFirst = 0xA1, kHalfKanaLast = 0xDF;    // JIS X 0201 katakana

// Record slots with a meaning of their own (see the class edit in value_edit.h).
constexpr uint8_t kFullWidthSlot = 16;        // edited together with 21
constexpr uint8_t kFullWidthTwinSlot = 21;
constexpr uint8_t kFullWidthClearedSlot = 17; // zeroed on a full-width edit, with 22
constexpr uint8_t kFullWidthClearedTwinSlot = 22;
constexpr uint8_t kHalfKanaSlot = 18;         // edited with the katakana codes, with 23
constexpr uint8_t kHalfKanaTwinSlot = 23;
constexpr uint8_t kHalfWidthSlot = 19;        // Width = half the full width, with 24
constexpr uint8_t kHalfWidthTwinSlot = 24;

// What a code's record is to the class edits: edited with the full-width class
// (16, 21), zeroed by it (17, 22), set to half its width (19, 24), edited with the
// half-width katakana (18, 23 and the katakana codes), with the half-width
// alphanumerics, or with no class.
enum class CodeRole {
  None,
  FullWidth,
  FullWidthCleared,
  HalfOfFullWidth,
  HalfKanaMetrics,
  HalfKana,
  HalfAlnum,
};
CodeRole RoleOfCode(uint8_t code);

constexpr uint32_t RecordOffset(uint8_t code) { return kHeaderSize + kRecordSize * code; }
constexpr uint32_t ValueOffset(uint8_t code, uint32_t value) {
  return RecordOffset(code) + 4 * value;
}

// Little-endian single-precision access at a byte offset of the image.
float ReadSingle(const uint8_t* image, uint32_t offset);
void WriteSingle(uint8_t* image, uint32_t offset, float value);

inline float ReadLineSpacing(const uint8_t* image) { return ReadSingle(image, kLineSpacingOffset); }
inline float ReadRecordValue(const uint8_t* image, uint8_t code, uint32_t value) {
  return ReadSingle(image, ValueOffset(code, value));
}
