#include "metrics_csv.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "code_text.h"
#include "message_text.h"
#include "value_names.h"

namespace {

// ---- Writing

// A CSV field, quoted when it holds a comma, a quote or a line break.
std::string CsvField(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}

// ---- Reading

struct CsvRow {
  size_t line = 0;  // where the row starts, from 1
  std::vector<std::string> fields;
};

// What a column of the heading holds.
enum class Column { Code, Char, Value };

struct CsvColumns {
  std::vector<Column> kinds;
  std::vector<uint32_t> values;  // Value columns: the record value index (8-12)
  std::vector<std::string> names;
  size_t codeColumn = SIZE_MAX;
  int firstValue = -1;  // the column of the line spacing's value
};

std::string Quoted(const std::string& text) {
  return "\"" + EscapedText(text, kQuotedTextCut) + "\"";
}

bool IsLineEnd(const std::string& text, size_t at) { return text[at] == '\n' || text[at] == '\r'; }

// Moves at past a line end (LF, CRLF or CR) and counts the line.
void SkipLineEnd(const std::string& text, size_t* at, size_t* line) {
  if (text[*at] == '\r' && *at + 1 < text.size() && text[*at + 1] == '\n') ++*at;
  ++*at;
  ++*line;
}

// One quoted field from at (on its opening quote) to just past its closing quote.
bool ReadQuotedField(const std::string& text, size_t* at, size_t* line, std::string* field,
                     std::string* error) {
  size_t startLine = *line;
  for (++*at; *at < text.size(); ++*at) {
    if (text[*at] == '"') {
      if (*at + 1 < text.size() && text[*at + 1] == '"') {
        *field += '"';
        ++*at;
        continue;
      }
      ++*at;
      if (*at < text.size() && text[*at] != ',' && !IsLineEnd(text, *at)) {
        return Fail(error, "line " + std::to_string(*line),
                    "a quoted field must end at a comma or a line end");
      }
      return true;
    }
    if (text[*at] == '\n') ++*line;
    *field += text[*at];
  }
  return Fail(error, "line " + std::to_string(startLine), "a quoted field is not closed");
}

// Splits text into rows of fields; blank lines are skipped.
bool SplitCsv(const std::string& text, std::vector<CsvRow>* rows, std::string* error) {
  size_t at = 0, line = 1;
  if (text.compare(0, 3, kUtf8ByteOrderMark) == 0) at = 3;
  while (at < text.size()) {
    CsvRow row;
    row.line = line;
    for (;;) {
      std::string field;
      if (at < text.size() && text[at] == '"') {
        if (!ReadQuotedField(text, &at, &line, &field, error)) return false;
      } else {
        while (at < text.size() && text[at] != ',' && !IsLineEnd(text, at)) field += text[at++];
      }
      row.fields.push_back(field);
      if (at >= text.size() || text[at] != ',') break;
      ++at;
    }
    if (at < text.size()) SkipLineEnd(text, &at, &line);
    if (row.fields.size() > 1 || !row.fields[0].empty()) rows->push_back(row);
  }
  return true;
}

std::string Trimmed(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool ColumnFromName(const std::string& name, CsvColumns* columns) {
  uint32_t value = 0;
  while (value < kEditedValueCount && name != kValueNames[value].key) ++value;
  if (name == "code") {
    columns->codeColumn = columns->kinds.size();
    columns->kinds.push_back(Column::Code);
  } else if (name == "char") {
    columns->kinds.push_back(Column::Char);
  } else if (value < kEditedValueCount) {
    if (columns->firstValue < 0) columns->firstValue = static_cast<int>(columns->kinds.size());
    columns->kinds.push_back(Column::Value);
  } else {
    return false;
  }
  columns->values.push_back(kFirstEditedValue + value);
  columns->names.push_back(name);
  return true;
}

bool ColumnsFromHeading(const CsvRow& heading, CsvColumns* columns, std::string* error) {
  std::string where = "line " + std::to_string(heading.line);
  for (const std::string& field : heading.fields) {
    std::string name = Trimmed(field);
    for (const std::string& earlier : columns->names) {
      if (earlier == name) return Fail(error, where, "column " + Quoted(name) + " is given twice");
    }
    if (!ColumnFromName(name, columns)) return Fail(error, where, "unknown column " + Quoted(name));
  }
  if (columns->codeColumn != SIZE_MAX) return true;
  return Fail(error, where, "no \"code\" column: the heading row names the columns");
}

// A decimal number as a person or a spreadsheet writes it: an optional sign, digits
// with an optional fraction, an optional exponent. No hexadecimal, "inf" or "nan":
// those values are bit patterns.
bool IsDecimalNumber(const std::string& text) {
  size_t at = text[0] == '+' || text[0] == '-' ? 1 : 0;
  size_t digits = 0;
  while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at, ++digits;
  if (at < text.size() && text[at] == '.') {
    ++at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at, ++digits;
  }
  if (digits == 0) return false;
  if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
    ++at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) ++at;
    size_t exponentStart = at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
    if (at == exponentStart) return false;
  }
  return at == text.size();
}

// A value cell into data at offset; an empty cell gives nothing.
bool ValueFromCell(const std::string& cell, const std::string& where, uint32_t offset,
                   MetricsData* data, std::string* error) {
  std::string text = Trimmed(cell);
  if (text.empty()) return true;
  float single = 0;
  if (text.size() > 1 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    uint32_t bits = 0;
    if (!ReadBitPattern(text, &bits))
      return Fail(error, where, NotABitPatternMessage(Quoted(text)));
    std::memcpy(&single, &bits, sizeof single);
  } else if (!IsDecimalNumber(text)) {
    return Fail(error, where,
                Quoted(text) + " is not a number or a bit pattern such as \"0x7FC00000\"");
  } else if (!SingleFromNumber(std::strtod(text.c_str(), nullptr), &single)) {
    return Fail(error, where, OutOfRangeMessage(Quoted(text)));
  }
  GiveValue(data, offset, single);
  return true;
}

// The row's code, or -1 for the line spacing's row.
bool RowCode(const std::string& cell, const std::string& where, std::vector<bool>* seen, int* code,
             std::string* error) {
  std::string text = Trimmed(cell);
  uint8_t byte = 0;
  if (text == kLineSpacingKey) {
    *code = -1;
  } else if (CodeTextStatus status = ParseCodeText(text, &byte); status != CodeTextStatus::Ok) {
    return Fail(error, where, CodeTextError(EscapedText(text, kQuotedTextCut), status));
  } else {
    *code = byte;
  }
  if ((*seen)[static_cast<size_t>(*code + 1)])
    return Fail(error, where, Quoted(text) + " is given twice");
  (*seen)[static_cast<size_t>(*code + 1)] = true;
  return true;
}

bool RowFromCsv(const CsvRow& row, const CsvColumns& columns, std::vector<bool>* seen,
                MetricsData* data, std::string* error) {
  std::string line = "line " + std::to_string(row.line);
  if (row.fields.size() > columns.kinds.size()) {
    return Fail(error, line,
                std::to_string(row.fields.size()) + " fields, the heading names " +
                    std::to_string(columns.kinds.size()));
  }
  int code = 0;
  std::string codeCell =
      columns.codeColumn < row.fields.size() ? row.fields[columns.codeColumn] : "";
  if (!RowCode(codeCell, line + ", code", seen, &code, error)) return false;
  for (size_t i = 0; i < row.fields.size(); ++i) {
    std::string where = line + ", " + columns.names[i];
    if (columns.kinds[i] == Column::Char && code >= 0) {
      std::string mismatch =
          CharacterMismatch(static_cast<uint8_t>(code), Trimmed(row.fields[i]), Quoted);
      if (!mismatch.empty()) return Fail(error, where, mismatch);
    }
    if (columns.kinds[i] != Column::Value) continue;
    if (code >= 0) {
      uint32_t offset = ValueOffset(static_cast<uint8_t>(code), columns.values[i]);
      if (!ValueFromCell(row.fields[i], where, offset, data, error)) return false;
    } else if (static_cast<int>(i) == columns.firstValue) {
      if (!ValueFromCell(row.fields[i], line + ", " + kLineSpacingKey, kLineSpacingOffset, data,
                         error))
        return false;
    } else if (!Trimmed(row.fields[i]).empty()) {
      return Fail(error, where, "the line_spacing row holds one value, in the first value column");
    }
  }
  return true;
}

}  // namespace

std::string MetricsCsvText(const uint8_t* image, bool byteOrderMark) {
  std::string text = byteOrderMark ? kUtf8ByteOrderMark : "";
  text += "code,char";
  for (const ValueName& name : kValueNames) text += std::string(",") + name.key;
  text +=
      std::string("\n") + kLineSpacingKey + ",," + ValueDataText(image, kLineSpacingOffset) + "\n";
  for (int code = 0; code < kCodeCount; ++code) {
    auto byte = static_cast<uint8_t>(code);
    text += std::to_string(code) + "," + CsvField(DisplayedCharacter(byte));
    for (uint32_t i = 0; i < kEditedValueCount; ++i) {
      text += "," + ValueDataText(image, ValueOffset(byte, kFirstEditedValue + i));
    }
    text += "\n";
  }
  return text;
}

bool MetricsDataFromCsv(const std::string& text, MetricsData* data, std::string* error) {
  std::vector<CsvRow> rows;
  if (!SplitCsv(text, &rows, error)) return false;
  if (rows.empty()) return Fail(error, "", "no heading row: the CSV is empty");
  CsvColumns columns;
  if (!ColumnsFromHeading(rows[0], &columns, error)) return false;
  std::vector<bool> seen(kCodeCount + 1, false);  // the line spacing's row first, then the codes
  for (size_t i = 1; i < rows.size(); ++i) {
    if (!RowFromCsv(rows[i], columns, &seen, data, error)) return false;
  }
  return true;
}
