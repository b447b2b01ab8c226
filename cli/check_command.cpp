// check FILE|FOLDER...: whether each file loads as a metrics file and whether its
// values hold together, one line per finding; folders give their .fnt files.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "code_text.h"
#include "commands.h"
#include "file_io.h"
#include "input_stream.h"
#include "message_text.h"
#include "metrics_check.h"
#include "number_format.h"
#include "report.h"
#include "value_names.h"

// Paths are UTF-8: u8path reads them so, u8string gives them back (the same bytes
// on POSIX).
namespace fs = std::filesystem;

namespace {

constexpr char kCheckHelp[] =
    R"help(Checks each file named, in the order given. A folder named instead gives the
.fnt files in it (the extension in any case), sorted by name, and with --recursive
those of its subfolders too; symbolic links inside a folder are not followed.

A file must be a regular file of exactly 14632 bytes, and its values must hold
together:
  - the line spacing and each code's width, height, spacing_left, spacing_right
    and offset_y are numbers (not nan, inf or -inf);
  - no width or height is negative;
  - the full-width companion slots are as the full-width edit leaves them:
    0x11 and 0x16 all zero, 0x13 and 0x18 zero but for their width, which is
    half the width of slot 0x10, rounded half to even.

Prints one line per finding on standard output ("FILE: code 0x41 width: nan",
"FILE: code 0x13 width: 7, expected 6 (half the full width)"), or "FILE: ok".
A folder without .fnt files is a warning; one that cannot be read or searched,
or whose entries are too deep for a path to name, is an error, and the other
files are still checked.
Exit status: 0 when every file is ok, 1 when one is not, 2 on an error.)help";

bool IsMetricsFileName(const fs::path& name) {
  std::string extension = name.extension().u8string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension == ".fnt";
}

void ReportUnreadableFolder(const std::string& folder, const std::error_code& error,
                            size_t* unreadable) {
  ReportError(folder, "cannot read the folder: " + error.message());
  ++*unreadable;
}

// The entries of folder sorted by name; false after reporting a folder that
// cannot be read.
bool ListFolder(const std::string& folder, std::vector<fs::directory_entry>* entries,
                size_t* unreadable) {
  std::error_code error;
  fs::directory_iterator entry(fs::u8path(folder), error), end;
  for (; !error && entry != end; entry.increment(error)) entries->push_back(*entry);
  if (error) ReportUnreadableFolder(folder, error, unreadable);
  std::sort(entries->begin(), entries->end());
  return !error;
}

// The path of name in folder as check names it: the folder as named, "/", the name.
std::string PathInFolder(const std::string& folder, const fs::path& name) {
  char last = folder.empty() ? '/' : folder.back();
  bool separated = last == '/' || last == static_cast<char>(fs::path::preferred_separator);
  return folder + (separated ? "" : "/") + name.u8string();
}

// Whether the folder at path may be entered: not a symbolic link or another
// reparse point (a junction), which std::filesystem follows on Windows, and not a
// folder entered already by another way (links that Wine shows as plain folders).
bool MayEnter(const std::string& path, std::vector<FileIdentity>* entered) {
  FileFacts named, reached;
  if (LookAtPath(path.c_str(), &named) && named.kind == FileKind::SymbolicLink) return false;
  if (!LookThroughPath(path.c_str(), &reached)) return true;  // the listing reports it
  if (std::find(entered->begin(), entered->end(), reached.identity) != entered->end()) return false;
  entered->push_back(reached.identity);
  return true;
}

// Appends folder's .fnt files, and with recursive those of its subfolders at the
// place of their names. Links are looked at, never followed: no folder is entered
// twice and no loop is possible. An entry that cannot be looked at (a folder that
// may be listed but not searched, a path longer than the system takes) makes the
// folder unreadable, once: what it holds would otherwise pass unchecked. One
// removed since the listing is simply gone.
void AddMetricsFiles(const std::string& folder, bool recursive, std::vector<std::string>* files,
                     size_t* unreadable, std::vector<FileIdentity>* entered) {
  std::vector<fs::directory_entry> entries;
  if (!ListFolder(folder, &entries, unreadable)) return;
  bool reported = false;
  for (const fs::directory_entry& entry : entries) {
    std::error_code error;
    fs::file_type type = entry.symlink_status(error).type();
    if (error && error != std::errc::no_such_file_or_directory && !reported) {
      ReportUnreadableFolder(folder, error, unreadable);
      reported = true;
    }
    std::string path = PathInFolder(folder, entry.path().filename());
    if (type == fs::file_type::regular && IsMetricsFileName(entry.path().filename())) {
      files->push_back(path);
    } else if (type == fs::file_type::directory && recursive && MayEnter(path, entered)) {
      AddMetricsFiles(path, recursive, files, unreadable, entered);
    }
  }
}

// A folder named on the command line gives its .fnt files; anything else is
// checked as named.
std::vector<std::string> ExpandFolders(const std::vector<std::string>& arguments, bool recursive,
                                       size_t* unreadable) {
  std::vector<std::string> files;
  for (const std::string& argument : arguments) {
    std::error_code error;
    if (!fs::is_directory(fs::u8path(argument), error)) {
      files.push_back(argument);
      continue;
    }
    size_t filesBefore = files.size(), unreadableBefore = *unreadable;
    std::vector<FileIdentity> entered;
    MayEnter(argument, &entered);
    AddMetricsFiles(argument, recursive, &files, unreadable, &entered);
    if (files.size() == filesBefore && *unreadable == unreadableBefore) {
      ReportWarning(argument,
                    recursive ? "no .fnt files in it or its subfolders" : "no .fnt files in it");
    }
  }
  return files;
}

std::string NumberText(float value) {
  char text[kNumberTextSize];
  FormatNumber(static_cast<double>(value), text);
  return text;
}

// The value as the editor's field shows it, with its bits when the field would
// show the same text for the value expected (0 and -0).
std::string ShownValue(float value, float other) {
  std::string text = NumberText(value);
  if (text != NumberText(other)) return text;
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  char hex[16];
  std::snprintf(hex, sizeof hex, " (0x%08X)", bits);
  return text + hex;
}

// "code 0x41 width: nan", "code 0x13 width: 7, expected 6 (half the full width)".
std::string DescribeFault(const ValueFault& fault) {
  std::string place = fault.isLineSpacing
                          ? std::string(kLineSpacingKey)
                          : "code " + HexCode(fault.code) + " " + ValueLabel(fault.value);
  switch (fault.kind) {
    case ValueFaultKind::NotFinite:
    case ValueFaultKind::Negative: return place + ": " + NumberText(fault.found);
    case ValueFaultKind::NotZero:
      return place + ": " + ShownValue(fault.found, fault.expected) + ", expected " +
             ShownValue(fault.expected, fault.found);
    case ValueFaultKind::NotHalfOfFullWidth:
      return place + ": " + ShownValue(fault.found, fault.expected) + ", expected " +
             ShownValue(fault.expected, fault.found) + " (half the full width)";
  }
  return place;
}

}  // namespace

void DeclareCheck(CLI::App& app, CommandOptions& options) {
  app.description("Checks metrics files, and folders of them, for faults in their values.");
  app.add_option("FILE", options.files, "the files, and folders of .fnt files, to check")
      ->required();
  app.add_flag("-r,--recursive", options.check.recursive, "also check the subfolders of folders");
  app.add_flag("-q,--quiet", options.check.quiet, "print only the files that are not ok");
  app.footer(kCheckHelp);
}

// Replaces the folders among the arguments by their .fnt files. With nothing left
// to check after a folder failed, the run ends here with exit 2.
bool ResolveCheck(const CLI::App&, CommandOptions& options) {
  CheckOptions& check = options.check;
  options.files = ExpandFolders(options.files, check.recursive, &check.unreadableFolders);
  return check.unreadableFolders == 0 || !options.files.empty();
}

// The verdict on one file, from its load and its values: on stdout, since it is the
// answer asked for.
int RunCheck(const CommandOptions& options, LoadedFiles& loaded) {
  std::string name = EscapedText(InputName(loaded.path), 0);
  int runEnd = options.check.unreadableFolders > 0 ? kExitError : kExitOk;
  if (loaded.load.status != LoadStatus::Loaded) {
    std::printf("%s: %s\n", name.c_str(), loaded.loadFailure.c_str());
    return std::max(runEnd, kExitNo);
  }
  std::vector<ValueFault> faults = FindValueFaults(loaded.docs[0].image);
  for (const ValueFault& fault : faults) {
    std::printf("%s: %s\n", name.c_str(), DescribeFault(fault).c_str());
  }
  if (faults.empty() && !options.check.quiet) std::printf("%s: ok\n", name.c_str());
  return std::max(runEnd, faults.empty() ? kExitOk : kExitNo);
}
