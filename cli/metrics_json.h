// The JSON form of a metrics file, which holds every byte of it: export writes it,
// import rebuilds the file from it, byte for byte.
//
// {
//   "format": "quorvel-metrics", "version": 1,
//   "line_spacing": 12,
//   "header": "00ff...",               296 opaque bytes (file offsets 4-299), hex
//   "records": [                       256 records, in code order
//     {"code": 0, "char": "", "values": [v0, ..., v13]},
//     ...                              code 255 has 13 values: the file ends there
//   ]
// }
//
// A value is a JSON number when it is finite and not negative zero: the
// single-precision value exactly, written as the shortest double that reads back
// to it. Otherwise (infinities, NaNs, -0) it is a string with its bit pattern,
// "0x7FC00000". Import takes either form for any value; numbers are rounded to the
// nearest single-precision value and must not overflow it. "char" is for readers
// and is not checked against the code.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include <nlohmann/json.hpp>

// The longest JSON text import reads; a full export is about 31 KB, so anything
// near this is not an export and is refused before it costs memory.
constexpr size_t kMaxJsonTextSize = size_t{1} << 20;  // 1 MiB

// The deepest nesting of arrays and objects import reads; an export has 4 levels.
constexpr size_t kMaxJsonDepth = 64;

// The JSON text of image, one line per record so that version control shows
// which code changed; ends with a newline.
std::string MetricsJsonText(const uint8_t* image);

// Parses text as JSON. On failure returns false and *error says why: text longer
// than kMaxJsonTextSize, nesting deeper than kMaxJsonDepth, a key given twice in one
// object ("records[7]: duplicate key "code""), or a syntax error with its line and
// column. Parts of the text in a message are escaped and cut (message_text.h).
bool ParseJsonText(const std::string& text, nlohmann::json* json, std::string* error);

// Fills the file bytes of image (kMetricsImageSize bytes) from json. On the first
// problem returns false and *error says where and what ("records[65].values: 13
// values, expected 14"; an unknown key anywhere is a problem too); image is then
// partly filled and must not be written. A string from json is quoted at most 40
// bytes long, escaped; an array or object is named by its type, never printed.
bool MetricsImageFromJson(const nlohmann::json& json, uint8_t* image, std::string* error);
