// The CSV form of a metrics file's edited values, for spreadsheets:
//
//   code,char,width,height,spacing_left,spacing_right,offset_y
//   line_spacing,,12
//   0,,0,0,0,0,0
//   65,A,10,24,0,0,-2
//   ...
//
// A heading row, the line spacing's row, then one row per code: the code in
// decimal, its character when it has a visible one, and the five values written
// exactly as the JSON form writes them (numbers, or bit patterns such as
// "0x7FC00000" for NaNs, infinities and -0). CSV holds neither the header bytes
// nor the other nine values of a record, so it can only be applied onto an
// existing file.
//
// When read, the heading names the columns: "code" is required, "char" is
// optional (a cell that is not empty must be its row's character, as written
// here), the others are any of the five value names, each once; any other name is
// an error. Rows may be any of the codes (each once, decimal or 0x41) and
// the line_spacing row, whose value stands in the first value column. An empty cell
// leaves its value as it is. Fields may be quoted ("" for a quote inside); lines end
// in LF or CRLF; a UTF-8 byte-order mark at the start is skipped.
#pragma once

#include <cstdint>
#include <string>

#include "metrics_data.h"

// The UTF-8 byte-order mark that spreadsheets look for to read the text as UTF-8.
constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

// The CSV text of image, every code; with byteOrderMark it starts with the mark.
std::string MetricsCsvText(const uint8_t* image, bool byteOrderMark);

// Fills data from CSV text. On the first problem returns false and *error says
// where and what ("line 67, width: "abc" is not a number or a bit pattern").
bool MetricsDataFromCsv(const std::string& text, MetricsData* data, std::string* error);
