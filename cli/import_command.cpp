// import DATA OUT.fnt [--force] | import DATA --onto FILE: builds a metrics file
// from a whole JSON document, or applies any JSON document or CSV onto a file.
#include <cctype>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "backup.h"
#include "commands.h"
#include "input_stream.h"
#include "metrics_csv.h"
#include "metrics_json.h"
#include "new_metrics_file.h"
#include "output_file.h"
#include "report.h"

namespace {

constexpr char kImportHelp[] =
    R"(DATA is what export or show --json writes, or a CSV such as export --format csv
writes ("-" reads standard input; a FIFO is read like a pipe). Its format comes
from its name (.csv is CSV, anything else JSON) unless --format says it. It is
checked whole before anything is written: at most 1 MiB, JSON nested at most 64
levels, every key or column known and given once, the types, codes 0-255 each
once, a char that is its code's character (or empty), numbers within single
precision. Numbers are rounded to the nearest single-precision value; bit
patterns ("0x7FC00000") are taken as they are. A key or column that the format
does not define is an error (a misspelt "widht" is never ignored). JSON of
version 1 is read too.

OUT.fnt is built from a whole document (export's, every byte) and written whole,
exactly 14632 bytes. An existing OUT.fnt is refused unless --force is given; then
it is replaced in one step, so that it holds either its old bytes or the new file,
never a part of it, keeping its mode, owner, group and extended attributes. A file
with other names (a hard link, a symbolic link to it), or one whose owner this
user cannot keep, is written in place instead. A directory or device, or
DATA itself, is never replaced.

--onto FILE writes the values DATA holds (a whole or partial document, or a CSV
with any rows and columns) into FILE itself, saved as set saves it, and leaves
every other byte as it was. FILE is read before DATA and locked once DATA is read, so that other
programs need not wait on a slow pipe; it is written only if none of them changed
it meanwhile.

--backup keeps the file that is replaced as FILE~ (--suffix S for FILE + S).)";

std::string Lowercase(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Fills data from the JSON or CSV at input; reports the first problem.
bool ReadData(const std::string& input, bool csv, MetricsData* data) {
  std::string text, error;
  if (!ReadInputText(input, kMaxJsonTextSize, csv ? "CSV file" : "JSON file", &text, &error)) {
    ReportError(InputName(input), error);
    return false;
  }
  bool read = false;
  if (csv) {
    read = text.size() <= kMaxJsonTextSize
               ? MetricsDataFromCsv(text, data, &error)
               : Fail(&error, "", "larger than 1 MiB; an export is about 15 KB");
  } else {
    nlohmann::json json;
    read = ParseJsonText(text, &json, &error) && MetricsDataFromJson(json, data, &error);
  }
  if (!read) ReportError(InputName(input), error);
  return read;
}

// Reads the data; a shortage of memory is reported as such. The text, its parse and
// the messages are the only allocations whose size the input decides.
bool ReadDataReportingMemory(const CommandOptions& options, MetricsData* data) {
  try {
    return ReadData(options.import.dataInput, options.import.dataFormat == "csv", data);
  } catch (const std::bad_alloc&) {
    ReportError(InputName(options.import.dataInput), "out of memory");
    return false;
  }
}

// Builds OUT from a whole document.
int BuildNewFile(const CommandOptions& options, const MetricsData& data) {
  if (!IsWholeFile(data)) {
    ReportError(InputName(options.import.dataInput),
                "not a whole file (it lacks " + FirstMissingPart(data) +
                    "): use --onto FILE to apply it to an existing file");
    return kExitError;
  }
  // DATA given again as OUT.fnt (with --force): the data is all there is of it.
  ReadFile input = FileBehindInput(options.import.dataInput);
  if (NamesFileRead(options.import.output, input)) {
    ReportError(options.import.output, IsFileReadReason(input));
    return kExitError;
  }
  MetricsDocument doc;
  if (!StartEmptyMetricsDocument(doc)) {
    ReportError(options.import.output, "out of memory");
    return kExitError;
  }
  ApplyMetricsData(data, doc.image);
  bool ok = (!options.import.force || BackUpBeforeReplacing(options.backup, options.import.output));
  if (ok) {
    CreateStatus created =
        CreateMetricsFile(doc, options.import.output.c_str(), options.import.force);
    ok = created == CreateStatus::Created;
    if (!ok) ReportError(options.import.output, CreateFailureReason(created, doc.bytesTransferred));
  }
  ReleaseMetricsFile(doc);
  return ok ? kExitOk : kExitError;
}

// Takes the lock of FILE, loaded without it while the data was read: loads it
// again, held, into docs[1], and goes on only when that is the file first loaded,
// with the same bytes. False after reporting why not, in a save's words.
bool HoldUnchangedFile(const CommandOptions& options, LoadedFiles& loaded) {
  const MetricsDocument& first = loaded.docs[0];
  MetricsDocument& held = loaded.docs[1];
  LoadResult result = LoadMetricsFile(held, options.file.c_str(), LoadMode::Hold);
  if (result.status != LoadStatus::Loaded) {
    ReportError(options.file, LoadFailureReason(result));
    return false;
  }
  if (held.identity == first.identity &&
      std::memcmp(held.image, first.image, kMetricsFileSize) == 0) {
    return true;
  }
  SaveResult changed;
  changed.status = SaveStatus::ChangedOutside;
  ReportError(options.file, SaveFailureReason(changed));
  return false;
}

// Writes the data's values over the loaded file, in place.
int ApplyOntoFile(const CommandOptions& options, MetricsDocument& doc, const MetricsData& data) {
  std::vector<uint8_t> edited(doc.image, doc.image + kMetricsImageSize);
  ApplyMetricsData(data, edited.data());
  return SaveLoadedFile(options.backup, options.file, doc, edited.data()) ? kExitOk : kExitError;
}

}  // namespace

void DeclareImport(CLI::App& app, CommandOptions& options) {
  app.description(
      "Builds a metrics file from the JSON that export writes, or applies JSON or CSV "
      "onto an existing file.");
  app.add_option("DATA", options.import.dataInput, "the JSON or CSV (- for standard input)")
      ->required();
  app.add_option("OUT.fnt", options.import.output,
                 "the metrics file to build from a whole document");
  app.add_option("--onto", options.import.onto, "apply the data onto this metrics file itself")
      ->type_name("FILE");
  app.add_option("--format", options.import.dataFormat,
                 "json or csv (default: from DATA's extension)")
      ->check(CLI::IsMember({"json", "csv"}));
  app.add_flag("--force", options.import.force, "replace OUT.fnt when it exists");
  DeclareBackupOptions(app, options.backup);
  app.footer(kImportHelp);
}

// Where the data goes and in which format it is, before anything is read.
bool ResolveImport(const CLI::App&, CommandOptions& options) {
  if (options.import.dataFormat.empty())
    options.import.dataFormat =
        EndsWith(Lowercase(options.import.dataInput), ".csv") ? "csv" : "json";
  std::string refusal;
  if (options.import.output.empty() == options.import.onto.empty()) {
    refusal = "give OUT.fnt to build a new file, or --onto FILE to apply the data to one";
  } else if (!options.import.onto.empty() && options.import.force) {
    refusal = "--force is for OUT.fnt: --onto changes FILE itself";
  } else if (options.import.onto.empty() && options.import.dataFormat == "csv") {
    refusal = "CSV holds only the five values and the line spacing: apply it with --onto FILE";
  }
  if (!refusal.empty()) {
    ReportError("import", refusal);
    return false;
  }
  options.file = options.import.onto;
  options.writesLoadedFiles = !options.import.onto.empty();
  options.locksAfterInput = options.writesLoadedFiles;
  return true;
}

int RunImport(const CommandOptions& options, LoadedFiles& loaded) {
  MetricsData data;
  if (!ReadDataReportingMemory(options, &data)) return kExitError;
  if (options.import.onto.empty()) return BuildNewFile(options, data);
  if (!HoldUnchangedFile(options, loaded)) return kExitError;
  return ApplyOntoFile(options, loaded.docs[1], data);
}
