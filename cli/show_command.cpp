// show FILE [CODE|CHAR ...]: the line spacing and, per code, its character and its
// five values as the editor's fields show them.
#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "code_text.h"
#include "commands.h"
#include "metrics_json.h"
#include "report.h"
#include "value_edit.h"
#include "value_names.h"

namespace {

constexpr char kShowHelp[] =
    R"(Codes are decimal (65) or hexadecimal (0x41). Any other argument must be one
character, which names its single-byte Shift-JIS code (A, ｱ); to name a digit
character, give its code (0x30-0x39). Without codes every code 0-255 is shown.

The char column shows ASCII and the half-width katakana. It is empty for codes
without a visible character: control codes (0x00-0x1F, 0x7F, 0x80), lead bytes of
double-byte characters (0x81-0x9F, 0xE0-0xFC) and private-use codes (0xA0,
0xFD-0xFF). Full-width characters have no code of their own: their metrics are in
slots 16 and 21.

--json prints the JSON document that export prints (see quorvel-cli export
--help): the whole of it without codes; with codes a partial one, of the line
spacing and those codes' records in code order, which import --onto applies to
another file.)";

struct ShowRow {
  std::string cells[3 + kEditedValueCount];  // code, hex, char, five values
};
constexpr int kCharColumn = 2;

// Resolves the code and character arguments; reports the first bad one.
bool ResolveCodes(const std::vector<std::string>& texts, std::vector<uint8_t>* codes) {
  if (texts.empty()) {
    for (int code = 0; code < kCodeCount; ++code) codes->push_back(static_cast<uint8_t>(code));
    return true;
  }
  for (const std::string& text : texts) {
    uint8_t code = 0;
    CodeTextStatus number = ParseCodeText(text, &code);
    if (number == CodeTextStatus::OutOfRange) {
      ReportError("show", CodeTextError(text, number));
      return false;
    }
    if (number == CodeTextStatus::NotANumber) {
      CharacterStatus character = CodeFromCharacter(text, &code);
      if (character == CharacterStatus::NotOneCharacter) {
        ReportError("show", CodeTextError(text, CodeTextStatus::NotANumber) + ", nor one character");
        return false;
      }
      if (character != CharacterStatus::Ok) {
        ReportError("show", CharacterError(text, character));
        return false;
      }
    }
    codes->push_back(code);
  }
  return true;
}

// Terminal columns of a cell: our characters are ASCII or half-width, one column
// each, so one per UTF-8 character.
size_t Columns(const std::string& text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

void PrintTable(const uint8_t* image, const std::vector<uint8_t>& codes) {
  std::vector<ShowRow> rows(1);
  const char* headings[] = {"code", "hex", "char"};
  for (int i = 0; i < 3; ++i) rows[0].cells[i] = headings[i];
  for (uint32_t i = 0; i < kEditedValueCount; ++i) rows[0].cells[3 + i] = kValueNames[i].key;
  RecordTexts texts;
  for (uint8_t code : codes) {
    FormatRecordFields(image, code, &texts);
    ShowRow row;
    row.cells[0] = std::to_string(code);
    row.cells[1] = HexCode(code);
    row.cells[kCharColumn] = DisplayedCharacter(code);
    for (uint32_t i = 0; i < kEditedValueCount; ++i) row.cells[3 + i] = texts.field[i];
    rows.push_back(row);
  }
  size_t widths[3 + kEditedValueCount] = {};
  for (const ShowRow& row : rows) {
    for (size_t i = 0; i < std::size(widths); ++i) widths[i] = std::max(widths[i], Columns(row.cells[i]));
  }
  FormatRecordFields(image, 0, &texts);
  std::printf("%s: %s\n", kLineSpacingKey, texts.field[kLineSpacingField]);
  for (const ShowRow& row : rows) {
    std::string line;
    for (size_t i = 0; i < std::size(widths); ++i) {
      std::string padding(widths[i] - Columns(row.cells[i]), ' ');
      // Numbers right-aligned, the character left-aligned; two spaces between.
      line += i == kCharColumn ? row.cells[i] + padding : padding + row.cells[i];
      if (i + 1 < std::size(widths)) line += "  ";
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    std::printf("%s\n", line.c_str());
  }
}

// The JSON document: whole without codes, partial with them (each code once, in
// code order, so that import --onto takes it back).
void PrintJson(const uint8_t* image, const std::vector<std::string>& codeTexts,
               std::vector<uint8_t> codes) {
  std::sort(codes.begin(), codes.end());
  codes.erase(std::unique(codes.begin(), codes.end()), codes.end());
  std::string text = MetricsJsonText(image, codeTexts.empty() ? nullptr : &codes);
  std::fwrite(text.data(), 1, text.size(), stdout);
}

}  // namespace

void DeclareShow(CLI::App& app, CommandOptions& options) {
  app.description("Shows the line spacing and the values of codes as the editor shows them.");
  app.add_option("FILE", options.file, "the metrics file (- for standard input)")->required();
  app.add_option("CODE", options.show.codeTexts, "codes or characters to show (default: all)");
  app.add_flag("--json", options.show.asJson, "print JSON instead of a table");
  app.footer(kShowHelp);
}

// The codes to show, before the file is read.
bool ResolveShowCodes(const CLI::App&, CommandOptions& options) {
  return ResolveCodes(options.show.codeTexts, &options.show.codes);
}

int RunShow(const CommandOptions& options, LoadedFiles& loaded) {
  if (options.show.asJson) {
    PrintJson(loaded.docs[0].image, options.show.codeTexts, options.show.codes);
  } else {
    PrintTable(loaded.docs[0].image, options.show.codes);
  }
  return kExitOk;
}
