#include "output_file.h"

#include <algorithm>

#include "input_stream.h"
#include "metrics_document.h"
#include "new_metrics_file.h"
#include "report.h"

namespace {

// Why path may not take the output, or "" when it may: nothing there (the create
// then tells what stands in its way), or a regular file other than the file read.
std::string Refusal(const std::string& path, const ReadFile& input) {
  FileFacts named;
  if (!LookAtPath(path.c_str(), &named)) return "";
  if (NamesFileRead(path, input)) return IsFileReadReason(input);
  switch (named.kind) {
    case FileKind::RegularFile: return "";
    case FileKind::Directory: return "is a directory: not replaced";
    case FileKind::SymbolicLink: return "is a symbolic link: not followed, not replaced";
    default: return "exists and is not a regular file: not replaced";
  }
}

// Writes text whole, in as many calls as the system takes.
bool WriteAll(FileHandle file, const std::string& text) {
  constexpr size_t kMaxCall = size_t{1} << 30;
  for (size_t at = 0; at < text.size();) {
    uint32_t count = static_cast<uint32_t>(std::min(text.size() - at, kMaxCall)), written = 0;
    if (!WriteFileBytes(file, text.data() + at, count, &written)) return false;
    if (written == 0) {
      SetLastFileError(kWriteFaultError);
      return false;
    }
    at += written;
  }
  return true;
}

// The old output's owner, group and mode where this user may give them; otherwise,
// as for a new output, what a file created by name gets: 0666 less the umask.
void GiveOutputPermissions(const std::string& path, FileHandle file) {
  if (!CopyOwnerAndAttributes(path.c_str(), file)) GiveNewFilePermissions(file);
}

// Fills the new sibling temporary, open as file, and moves it over path; "" when
// done, else why not, with the sibling removed.
std::string FillAndMoveOver(const std::string& path, const char* temporary, FileHandle file,
                            const std::string& text) {
  GiveOutputPermissions(path, file);
  bool written = WriteAll(file, text) && FlushFileToDisk(file);
  int error = LastFileError();
  bool closed = CloseFileHandle(file);
  if (!written || !closed) {
    RemoveFileQuietly(temporary);
    return std::string("write failed, nothing written: ") +
           FileErrorText(written ? LastFileError() : error);
  }
  if (!MoveFileOver(temporary, path.c_str())) {
    RemoveFileQuietly(temporary);
    return std::string("cannot replace, left as it was: ") + LastFileErrorText();
  }
  if (!FlushParentFolder(path.c_str()))
    return std::string("written, but its folder could not be flushed to disk: ") +
           LastFileErrorText();
  return "";
}

}  // namespace

ReadFile FileBehindInput(const std::string& input) {
  ReadFile file;
  file.name = InputName(input);
  FileFacts facts;
  bool looked = input == "-" ? GetOpenFileFacts(StandardInputHandle(), &facts)
                             : LookThroughPath(input.c_str(), &facts);
  file.isFile = looked && facts.kind == FileKind::RegularFile;
  file.identity = facts.identity;
  return file;
}

bool NamesFileRead(const std::string& path, const ReadFile& input) {
  FileFacts named, reached;
  if (!input.isFile) return false;
  return (LookAtPath(path.c_str(), &named) && named.identity == input.identity) ||
         (LookThroughPath(path.c_str(), &reached) && reached.identity == input.identity);
}

std::string IsFileReadReason(const ReadFile& input) {
  return "is " + input.name + ", which this run reads: not written";
}

bool WriteOutputFile(const std::string& path, const std::string& text, const ReadFile& input) {
  std::string failure = Refusal(path, input);
  char temporary[kPathBufferSize + 8];
  if (failure.empty() && !TemporarySiblingName(path.c_str(), temporary, sizeof temporary)) {
    SetLastFileError(kNameTooLongError);
    failure = std::string("cannot create: ") + LastFileErrorText();
  }
  if (failure.empty()) {
    // Ctrl+C, SIGTERM and SIGHUP wait until the sibling is moved or removed.
    HoldInterruptions();
    FileHandle file = kNoFile;
    if (CreateUniqueFile(temporary, &file) != FileOpenStatus::Opened) {
      failure = std::string("cannot create: ") + LastFileErrorText();
    } else {
      failure = FillAndMoveOver(path, temporary, file, text);
    }
    ReleaseInterruptions();
  }
  if (!failure.empty()) ReportError(path, failure);
  return failure.empty();
}
