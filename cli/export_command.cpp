// export FILE [--format json|csv]: the whole file as JSON (rebuilt by import), or
// the shown values as CSV for spreadsheets.
#include <cstdio>
#include <string>

#include "code_text.h"
#include "commands.h"
#include "metrics_json.h"
#include "value_edit.h"
#include "value_names.h"

namespace {

constexpr char kExportHelp[] = R"(JSON (the default) holds every byte of the file, and import rebuilds it exactly:
  {"format": "quorvel-metrics", "version": 1, "line_spacing": 12,
   "header": "...296 opaque bytes (offsets 4-299) in hexadecimal...",
   "records": [{"code": 0, "char": "", "values": [v0, ..., v13]}, ...]}
256 records in code order, one per line; values 8-12 are width, height,
spacing-left, spacing-right and offset-y, and code 255 has 13 values (the file
ends there). Finite values are exact numbers; infinities, NaNs and -0 are bit
patterns ("0x7FC00000").

CSV has a heading row, then one row per code: code (decimal), char, and the five
values as the editor's fields show them.)";

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

void PrintCsv(const uint8_t* image) {
  std::string heading = "code,char";
  for (const ValueName& name : kValueNames) heading += std::string(",") + name.key;
  std::printf("%s\n", heading.c_str());
  RecordTexts texts;
  for (int code = 0; code < kCodeCount; ++code) {
    auto byte = static_cast<uint8_t>(code);
    FormatRecordFields(image, byte, &texts);
    std::string row = std::to_string(code) + "," + CsvField(DisplayedCharacter(byte));
    for (uint32_t i = 0; i < kEditedValueCount; ++i) row += "," + CsvField(texts.field[i]);
    std::printf("%s\n", row.c_str());
  }
}

}  // namespace

void DeclareExport(CLI::App& app, CommandOptions& options) {
  app.description("Writes a metrics file as JSON (every byte, for import) or CSV to standard output.");
  app.add_option("FILE", options.file, "the metrics file")->required();
  app.add_option("--format", options.exportFormat, "json or csv")->check(CLI::IsMember({"json", "csv"}));
  app.footer(kExportHelp);
}

int RunExport(const CommandOptions& options, LoadedFiles& loaded) {
  if (options.exportFormat == "csv") {
    PrintCsv(loaded.docs[0].image);
  } else {
    std::fputs(MetricsJsonText(loaded.docs[0].image).c_str(), stdout);
  }
  return kExitOk;
}
