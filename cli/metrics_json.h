// The JSON form of a metrics file, for people and programs alike:
//
// {
//   "format": "quorvel-metrics", "version": 2,
//   "line_spacing": 12,
//   "header_bytes": "00ff...",         296 opaque bytes (file offsets 4-299), hex
//   "records": [                       in code order, one per line
//     {"code": 65, "char": "A", "width": 10, "height": 24, "spacing_left": 0,
//      "spacing_right": 0, "offset_y": -2,
//      "values_0_to_7": [v0, ..., v7], "value_13": v13},
//     ...                              code 255 has no value_13: the file ends there
//   ]
// }
//
// The whole document (export, show --json without codes) holds every byte of the
// file. A partial one (show --json with codes) has the line spacing and the records
// asked for, and no header_bytes. When read, every key but "format" and "version" is
// optional and the records may come in any order, each code once: what is there is
// applied, and only a document that gives every byte can build a new file.
//
// A value is a JSON number when it is finite and not negative zero: the
// single-precision value exactly, written as the shortest double that reads back
// to it. Otherwise (infinities, NaNs, -0) it is a string with its bit pattern,
// "0x7FC00000". Reading takes either form for any value; numbers are rounded to the
// nearest single-precision value and must not overflow it. "char" is for readers:
// when given and not empty it must be the code's character, as export writes it
// (a file sorted by one column is refused, not applied to the wrong codes). A key
// the format does not define is an error, so that a misspelt one is never ignored.
//
// Version 1, still read, had every record in code order with all its values in one
// array, "values": [v0, ..., v13], and the header bytes as "header".
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "metrics_data.h"

// The longest JSON text import reads; a full export is about 50 KB, so anything
// near this is not an export and is refused before it costs memory.
constexpr size_t kMaxJsonTextSize = size_t{1} << 20;  // 1 MiB

// The deepest nesting of arrays and objects import reads; an export has 3 levels.
constexpr size_t kMaxJsonDepth = 64;

// The JSON text of image: the whole document, or with codes (in the order given,
// each once) the partial one of those records. One line per record so that version
// control shows which code changed; ends with a newline.
std::string MetricsJsonText(const uint8_t* image, const std::vector<uint8_t>* codes = nullptr);

// Parses text as JSON. On failure returns false and *error says why: text longer
// than kMaxJsonTextSize, nesting deeper than kMaxJsonDepth, a key given twice in one
// object ("records[7]: duplicate key "code""), or a syntax error with its line and
// column. Parts of the text in a message are escaped and cut (message_text.h).
bool ParseJsonText(const std::string& text, nlohmann::json* json, std::string* error);

// Fills data with what json gives, version 1 or 2. On the first problem returns
// false and *error says where and what ("records[65].widht: unknown key"...); data
// is then partly filled and must not be used. A string from json is quoted at most
// 40 bytes long, escaped; an array or object is named by its type, never printed.
bool MetricsDataFromJson(const nlohmann::json& json, MetricsData* data, std::string* error);
