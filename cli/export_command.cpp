// export FILE [--format json|csv] [--bom]: the whole file as JSON (every byte,
// rebuilt by import), or the line spacing and the five values of every code as CSV
// for spreadsheets (applied back with import --onto).
#include <cstdio>
#include <string>

#include "commands.h"
#include "metrics_csv.h"
#include "metrics_json.h"

namespace {

constexpr char kExportHelp[] =
    R"(JSON (the default) holds every byte of the file, and import rebuilds it exactly:
  {"format": "quorvel-metrics", "version": 2, "line_spacing": 12,
   "header_bytes": "...296 opaque bytes (offsets 4-299) in hexadecimal...",
   "records": [
    {"code": 65, "char": "A", "width": 10, "height": 24, "spacing_left": 0,
     "spacing_right": 0, "offset_y": -2, "values_0_to_7": [...], "value_13": 0},
    ...]}
256 records in code order, one per line; "char" only where the code has a visible
character; code 255 has no value_13 (the file ends there). Finite values are exact
numbers; infinities, NaNs and -0 are bit patterns ("0x7FC00000"). show --json
prints the same document, or with codes a partial one.

CSV has a heading row, the line spacing's row, then one row per code:
  code,char,width,height,spacing_left,spacing_right,offset_y
  line_spacing,,12
  65,A,10,24,0,0,-2
with the values written as the JSON writes them. --bom starts the text with a
UTF-8 byte-order mark, so that a spreadsheet reads the characters right. Edit it
and apply it back with "quorvel-cli import FILE.csv --onto FILE.fnt".)";

}  // namespace

void DeclareExport(CLI::App& app, CommandOptions& options) {
  app.description(
      "Writes a metrics file as JSON (every byte, for import) or CSV to standard output.");
  app.add_option("FILE", options.file, "the metrics file (- for standard input)")->required();
  app.add_option("--format", options.exportAs.format, "json or csv")
      ->check(CLI::IsMember({"json", "csv"}));
  app.add_flag("--bom", options.exportAs.byteOrderMark, "CSV: start with a UTF-8 byte-order mark");
  app.footer(kExportHelp);
}

int RunExport(const CommandOptions& options, LoadedFiles& loaded) {
  const uint8_t* image = loaded.docs[0].image;
  bool csv = options.exportAs.format == "csv";
  std::string text =
      csv ? MetricsCsvText(image, options.exportAs.byteOrderMark) : MetricsJsonText(image);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return kExitOk;
}
