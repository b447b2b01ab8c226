// import FILE.json OUT.fnt [--force]: rebuilds a metrics file from its JSON form.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>

#include "commands.h"
#include "metrics_json.h"
#include "new_metrics_file.h"
#include "report.h"

namespace {

constexpr char kImportHelp[] = R"(FILE.json is what export writes ("-" reads standard input). It is checked
whole before anything is written: every key present and known, the types, 256
records in code order with 14 values each (13 for code 255), 296 header bytes,
numbers within single precision. Numbers are rounded to the nearest
single-precision value; bit patterns ("0x7FC00000") are taken as they are.

OUT.fnt is written whole, exactly 14632 bytes. An existing OUT.fnt is refused
unless --force is given; then it is replaced in one step, so that it holds either
its old bytes or the new file, never a part of it. A directory or device is never
replaced.)";

// Reads the whole of path ("-": standard input); reports a failure.
bool ReadText(const std::string& path, std::string* text) {
  std::ostringstream buffer;
  if (path == "-") {
    buffer << std::cin.rdbuf();
  } else {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
      ReportError(path, "is a directory, not a JSON file");
      return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      ReportError(path, std::string("cannot open: ") + std::strerror(errno));
      return false;
    }
    buffer << in.rdbuf();
    if (in.bad()) {
      ReportError(path, "read failed");
      return false;
    }
  }
  *text = buffer.str();
  return true;
}

}  // namespace

void DeclareImport(CLI::App& app, CommandOptions& options) {
  app.description("Rebuilds a metrics file from the JSON that export writes.");
  app.add_option("FILE.json", options.jsonInput, "the JSON form (- for standard input)")->required();
  app.add_option("OUT.fnt", options.output, "the metrics file to write")->required();
  app.add_flag("--force", options.force, "replace OUT.fnt when it exists");
  app.footer(kImportHelp);
}

int RunImport(const CommandOptions& options, LoadedFiles&) {
  const std::string& input = options.jsonInput;
  const std::string& output = options.output;
  std::string text, error;
  nlohmann::json json;
  if (!ReadText(input, &text)) return kExitError;
  std::string inputName = input == "-" ? "standard input" : input;
  if (!ParseJsonText(text, &json, &error)) {
    ReportError(inputName, "not valid JSON: " + error);
    return kExitError;
  }
  MetricsDocument doc;
  if (!StartEmptyMetricsDocument(doc)) {
    ReportError(output, "out of memory");
    return kExitError;
  }
  int exitCode = kExitOk;
  if (!MetricsImageFromJson(json, doc.image, &error)) {
    ReportError(inputName, error);
    exitCode = kExitError;
  } else {
    CreateStatus created = CreateMetricsFile(doc, output.c_str(), options.force);
    if (created != CreateStatus::Created) {
      ReportError(output, CreateFailureReason(created));
      exitCode = kExitError;
    }
  }
  ReleaseMetricsFile(doc);
  return exitCode;
}
