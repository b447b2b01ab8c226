// set FILE... [target] [values] [--relative] [--dry-run]: the editor's change
// command from the command line: the same field texts, scopes and companion slots,
// written back in place.
#include <cstdio>
#include <string>
#include <vector>

#include "arguments.h"
#include "code_text.h"
#include "commands.h"
#include "image_diff.h"
#include "report.h"
#include "value_edit.h"
#include "value_names.h"

namespace {

constexpr char kSetHelp[] = R"(Applies one edit to each FILE in turn, exactly as the editor's change command
applies its fields, and writes each file back in place.

Target, at most one:
  --code N    one code: 0-255, decimal or hexadecimal (0x41)
  --char C    one character, by its single-byte Shift-JIS code (A, ｱ)
  --scope S   a class, as the editor's scope boxes:
              fullwidth  slots 16 and 21; slots 17 and 22 are cleared and slots
                         19 and 24 get Width = half the new full width, rounded
              halfkana   slots 18 and 23 and the codes 0xA1-0xDF
              halfalnum  the codes 0x20-0x7F
Without a target only --line-spacing may be given.

Values are read as the editor reads its fields: the number at the start of the
text counts ("12abc" is 12, "abc" is 0). A value not given, given empty, or only
"+" or "-" stays as it is. With --relative every number is added to the stored
value. Negative numbers: --width -1.5 or --width=-1.5. Results are stored as
single-precision values, rounded to nearest.

A file that cannot be read or written is reported and left alone; the others are
still set. Exit status: 0 when every file was set, 2 otherwise.)";

constexpr const char* kScopeNames[] = {"fullwidth", "halfkana", "halfalnum"};
constexpr EditScope kScopes[] = {EditScope::FullWidth, EditScope::HalfKana, EditScope::HalfAlnum};

struct SetOptions {
  std::vector<std::string> files;
  std::string code, character, scope;
  std::string values[kEditedValueCount];
  std::string lineSpacing;
  bool relative = false;
  bool dryRun = false;
};

struct GivenOptions {
  CLI::Option* code;
  CLI::Option* character;
  CLI::Option* scope;
  CLI::Option* values[kEditedValueCount];
  CLI::Option* lineSpacing;
};

struct EditTarget {
  EditScope scope = EditScope::CurrentCode;
  uint8_t code = 0;
};

GivenOptions AddSetOptions(CLI::App& app, SetOptions& options) {
  GivenOptions given;
  app.add_option("FILE", options.files, "metrics files to change in place")->required();
  given.code = app.add_option("--code", options.code, "the code to set (65 or 0x41)")->type_name("N");
  given.character = app.add_option("--char", options.character, "the character to set (A, ｱ)")
                        ->type_name("C");
  given.scope = app.add_option("--scope", options.scope, "the class of codes to set")
                    ->type_name("S")
                    ->check(CLI::IsMember({kScopeNames[0], kScopeNames[1], kScopeNames[2]}));
  given.code->excludes(given.character)->excludes(given.scope);
  given.character->excludes(given.scope);
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    std::string name = std::string("--") + kValueNames[i].label;
    given.values[i] = app.add_option(name, options.values[i], std::string("text of the ") +
                                                                  kValueNames[i].label + " field")
                          ->type_name("T");
  }
  given.lineSpacing = app.add_option("--line-spacing", options.lineSpacing, "text of the line-spacing field")
                          ->type_name("T");
  app.add_flag("--relative", options.relative, "add the numbers to the stored values");
  app.add_flag("--dry-run", options.dryRun, "print what would change, write nothing");
  return given;
}

// The target of the edit; reports a bad one.
bool ResolveTarget(const SetOptions& options, const GivenOptions& given, EditTarget* target) {
  if (given.code->count()) {
    target->scope = EditScope::CurrentCode;
    CodeTextStatus status = ParseCodeText(options.code, &target->code);
    if (status != CodeTextStatus::Ok) ReportError("set --code", CodeTextError(options.code, status));
    return status == CodeTextStatus::Ok;
  }
  if (given.character->count()) {
    target->scope = EditScope::CurrentCode;
    CharacterStatus status = CodeFromCharacter(options.character, &target->code);
    if (status != CharacterStatus::Ok) ReportError("set --char", CharacterError(options.character, status));
    return status == CharacterStatus::Ok;
  }
  for (size_t i = 0; i < std::size(kScopeNames); ++i) {
    if (options.scope == kScopeNames[i]) target->scope = kScopes[i];
  }
  return true;
}

// The edit from the option texts: an option not given is an empty field.
bool BuildEdit(const SetOptions& options, const GivenOptions& given, RecordEdit* edit) {
  bool hasTarget = given.code->count() || given.character->count() || given.scope->count();
  bool anyValue = false;
  edit->mode = options.relative ? ValueMode::Relative : ValueMode::Absolute;
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    if (!given.values[i]->count()) continue;
    if (!hasTarget) {
      ReportError("set", std::string("--") + kValueNames[i].label +
                             " needs a target: give --code, --char or --scope");
      return false;
    }
    edit->values[i] = ReadFieldText(options.values[i].c_str());
    anyValue = true;
  }
  if (given.lineSpacing->count()) edit->lineSpacing = ReadFieldText(options.lineSpacing.c_str());
  if (!anyValue && !given.lineSpacing->count()) {
    ReportError("set", "nothing to set: give --width, --height, --spacing-left, "
                       "--spacing-right, --offset-y or --line-spacing");
    return false;
  }
  return true;
}

void PrintChanges(const char* path, const uint8_t* before, const uint8_t* after) {
  std::vector<Difference> differences = CompareImages(before, after);
  if (differences.empty()) std::printf("%s: no change\n", path);
  for (const Difference& difference : differences) {
    std::printf("%s: %s\n", path, DescribeDifference(before, after, difference).c_str());
  }
}

// Loads, edits and writes back one file; false after reporting a failure.
bool SetFile(const char* path, const RecordEdit& edit, const EditTarget& target, bool dryRun,
             MetricsDocument& doc) {
  if (!LoadOrReport(doc, path)) return false;
  std::vector<uint8_t> before;
  if (dryRun) before.assign(doc.image, doc.image + kMetricsImageSize);
  ApplyRecordEdit(doc.image, edit, target.scope, target.code);
  if (dryRun) {
    PrintChanges(path, before.data(), doc.image);
    return true;
  }
  SaveStatus saved = SaveMetricsFile(doc, path);
  if (saved != SaveStatus::Saved) ReportError(path, SaveFailureReason(saved));
  return saved == SaveStatus::Saved;
}

}  // namespace

int RunSet(int argc, char** argv) {
  CLI::App app{"Sets values of codes or classes in metrics files, as the editor's change command does.",
               "quorvel-cli set"};
  SetOptions options;
  GivenOptions given = AddSetOptions(app, options);
  app.footer(kSetHelp);
  ArgumentsResult parsed = ParseArguments(app, argc, argv);
  if (parsed != ArgumentsResult::Parsed) return ExitCodeOf(parsed);

  EditTarget target;
  RecordEdit edit;
  if (!ResolveTarget(options, given, &target) || !BuildEdit(options, given, &edit)) return kExitError;
  MetricsDocument doc;
  bool allSet = true;
  for (const std::string& file : options.files) {
    allSet = SetFile(file.c_str(), edit, target, options.dryRun, doc) && allSet;
  }
  ReleaseMetricsFile(doc);
  return allSet ? kExitOk : kExitError;
}
