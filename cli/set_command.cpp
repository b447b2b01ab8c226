// set FILE... [target] [values] [--relative] [--dry-run]: the editor's change
// command from the command line: the same field texts, scopes and companion slots,
// saved as every change is saved.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "backup.h"
#include "code_text.h"
#include "commands.h"
#include "field_text.h"
#include "image_diff.h"
#include "message_text.h"
#include "report.h"
#include "shift_jis.h"
#include "value_edit.h"
#include "value_names.h"

namespace {

constexpr char kSetHelp[] =
    R"(Applies one edit to each FILE in turn, exactly as the editor's change command
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

Values are checked as the editor checks its fields, before any file is read: a
decimal number with an optional exponent (12, -1.5, .5, 2e-3), with spaces around
it and full-width forms (１３, －１．５) allowed. Anything else ("12abc", "1,5",
"nan", a number beyond single precision) is an error and no file is written. A
value not given, given empty, or only "+" or "-" stays as it is. With --relative
every number is added to the stored value. Negative numbers: --width -1.5 or
--width=-1.5. Results are stored as single-precision values, rounded to nearest.

Each file is written in place, only if it is still the file that was read: it is
locked from the read to the write (parallel runs wait for each other), and a file
that another program changed or replaced meanwhile, or that became a symbolic link
or anything but a regular file, is not written. A file named twice (also as
./name, through a link or a hard link) is set once, with a warning. With --verbose
each file written is named on standard output ("FILE: written"), so that an
interrupted batch can be resumed with the rest.

With --backup each file's old contents are first kept as FILE~ (--suffix S for
another ending), replacing what was there; a file whose copy cannot be made is
not written.

A file that cannot be read or written is reported and left alone; the others are
still set. Exit status: 0 when every file was set, 2 otherwise.)";

constexpr EditScope kScopes[] = {EditScope::FullWidth, EditScope::HalfKana, EditScope::HalfAlnum};

// Whether an option was given, even with an empty text.
bool Given(const CLI::App& app, const std::string& name) {
  return app.count(name) > 0;
}

// The target of the edit; reports a bad one.
bool ResolveTarget(const CLI::App& app, SetOptions& options) {
  if (Given(app, "--code")) {
    options.scope = EditScope::CurrentCode;
    CodeTextStatus status = ParseCodeText(options.code, &options.targetCode);
    if (status != CodeTextStatus::Ok) ReportError("set --code", CodeTextError(options.code, status));
    return status == CodeTextStatus::Ok;
  }
  if (Given(app, "--char")) {
    options.scope = EditScope::CurrentCode;
    CharacterStatus status = CodeFromCharacter(options.character, &options.targetCode);
    if (status != CharacterStatus::Ok) ReportError("set --char", CharacterError(options.character, status));
    return status == CharacterStatus::Ok;
  }
  for (size_t i = 0; i < std::size(kScopeNames); ++i) {
    if (options.scopeName == kScopeNames[i]) options.scope = kScopes[i];
  }
  return true;
}

// Checks an option's text as the editor checks a field's, after converting it from
// UTF-8 to Shift-JIS; reports a text that is not a number.
bool ReadOptionText(const std::string& option, const std::string& text, FieldValue* field) {
  std::string shiftJis = Utf8ToShiftJis(text.c_str(), SIZE_MAX);
  if (CheckFieldText(shiftJis.c_str(), field) != FieldTextStatus::NotANumber) return true;
  ReportError("set", option + ": \"" + EscapedText(text, kQuotedTextCut) + "\" is not a number");
  return false;
}

// The edit from the option texts: an option not given is an empty field. The first
// text that is not a number, in option order, is reported.
bool BuildEdit(const CLI::App& app, SetOptions& options) {
  bool hasTarget = Given(app, "--code") || Given(app, "--char") || Given(app, "--scope");
  bool anyValue = false;
  RecordEdit* edit = &options.edit;
  edit->mode = options.relative ? ValueMode::Relative : ValueMode::Absolute;
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    std::string name = kValueNames[i].option;
    if (!Given(app, name)) continue;
    if (!hasTarget) {
      ReportError("set", name + " needs a target: give --code, --char or --scope");
      return false;
    }
    if (!ReadOptionText(name, options.values[i], &edit->values[i])) return false;
    anyValue = true;
  }
  if (Given(app, kLineSpacingOption) && !ReadOptionText(kLineSpacingOption, options.lineSpacing, &edit->lineSpacing)) {
    return false;
  }
  if (!anyValue && !Given(app, kLineSpacingOption)) {
    ReportError("set", "nothing to set: give --width, --height, --spacing-left, "
                       "--spacing-right, --offset-y or --line-spacing");
    return false;
  }
  return true;
}

}  // namespace

void DeclareSet(CLI::App& app, CommandOptions& all) {
  SetOptions& options = all.set;
  app.description(
      "Sets values of codes or classes in metrics files, as the "
      "editor's change command does.");
  app.add_option("FILE", all.files, "metrics files to change")->required();
  CLI::Option* code = app.add_option("--code", options.code, "the code to set (65 or 0x41)")->type_name("N");
  CLI::Option* character = app.add_option("--char", options.character, "the character to set (A, ｱ)")
                               ->type_name("C");
  CLI::Option* scope = app.add_option("--scope", options.scopeName, "the class of codes to set")
                           ->type_name("S")
                           ->check(CLI::IsMember({kScopeNames[0], kScopeNames[1], kScopeNames[2]}));
  code->excludes(character)->excludes(scope);
  character->excludes(scope);
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    std::string name = kValueNames[i].option;
    app.add_option(name, options.values[i], std::string("text of the ") + kValueNames[i].key + " field")
        ->type_name("T");
  }
  app.add_option(kLineSpacingOption, options.lineSpacing, "text of the line_spacing field")->type_name("T");
  app.add_flag("--relative", options.relative, "add the numbers to the stored values");
  app.add_flag("--dry-run", options.dryRun, "print what would change, write nothing");
  app.add_flag("--verbose", options.verbose, "name each file written on standard output");
  DeclareBackupOptions(app, all.backup);
  app.footer(kSetHelp);
}

// The target and the edit, before any file is read; the first bad one is reported.
bool ResolveSetEdit(const CLI::App& app, CommandOptions& options) {
  options.writesLoadedFiles = !options.set.dryRun;
  return ResolveTarget(app, options.set) && BuildEdit(app, options.set);
}

// Edits a copy of one loaded file and writes it back, or only prints the
// changes.
int RunSet(const CommandOptions& all, LoadedFiles& loaded) {
  const SetOptions& options = all.set;
  MetricsDocument& doc = loaded.docs[0];
  std::vector<uint8_t> edited(doc.image, doc.image + kMetricsImageSize);
  ApplyRecordEdit(edited.data(), options.edit, options.scope, options.targetCode);
  if (options.dryRun) {
    PrintChanges(loaded.path, doc.image, edited.data());
    return kExitOk;
  }
  if (!SaveLoadedFile(all.backup, loaded.path, doc, edited.data())) return kExitError;
  // Flushed at once: after a kill the lines out are exactly the files written.
  if (options.verbose) {
    std::printf("%s: written\n", EscapedText(loaded.path, 0).c_str());
    std::fflush(stdout);
  }
  return kExitOk;
}
