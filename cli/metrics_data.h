// What a data file (JSON or CSV) holds of a metrics file: any part of its bytes,
// from one value to every byte. A whole part rebuilds a file; any part can be
// applied onto an existing file. Also the one way values are written as data text
// and read back from it, shared by JSON and CSV so that both read back to the same
// bits.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "metrics_format.h"

struct MetricsData {
  std::vector<uint8_t> bytes = std::vector<uint8_t>(kMetricsImageSize, 0);
  std::vector<bool> given = std::vector<bool>(kMetricsFileSize, false);
};

// Marks the 4 bytes of the value at offset as given, with value's bits.
void GiveValue(MetricsData* data, uint32_t offset, float value);
// Marks one opaque header byte as given.
void GiveByte(MetricsData* data, uint32_t offset, uint8_t byte);

// Whether the data gives every byte of the file.
bool IsWholeFile(const MetricsData& data);

// The first part of the file that data lacks, for a message: "header_bytes",
// "line_spacing", "the record of code 0x41", "value_13 of code 0x41", ...
std::string FirstMissingPart(const MetricsData& data);

// Writes the given bytes over image (kMetricsImageSize bytes); the rest stays.
void ApplyMetricsData(const MetricsData& data, uint8_t* image);

// A value's text in the data: a finite value that is not -0 is its exact number as
// the shortest decimal that reads back to the same double ("24", "0.10000000149011612");
// any other is its bit pattern, "0x7FC00001", "0x80000000".
std::string ValueDataText(const uint8_t* image, uint32_t offset);
bool HasNumberForm(float value);

// A bit pattern "0x" and eight hexadecimal digits, either case.
bool ReadBitPattern(const std::string& text, uint32_t* bits);

// A number read from data, rounded to the nearest single-precision value; false when
// it overflows single precision (the result would be an infinity).
bool SingleFromNumber(double number, float* single);

// "where: what", or "what" alone; always false, for "return Fail(...)".
bool Fail(std::string* error, const std::string& where, const std::string& what);

// The messages of a value that could not be read, shared by JSON and CSV.
std::string OutOfRangeMessage(const std::string& shown);
std::string NotABitPatternMessage(const std::string& shown);

// The message for a char read with code that is not the character export writes
// for it (DisplayedCharacter), or "" when it is. An empty char says nothing, as an
// absent one: both pass. quote turns a text into its quoted form for messages.
std::string CharacterMismatch(uint8_t code, const std::string& given,
                              std::string (*quote)(const std::string&));
