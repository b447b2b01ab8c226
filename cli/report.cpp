#include "report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "file_io.h"
#include "message_text.h"

namespace {

std::string NotRegularReason(const LoadResult& result) {
  if (result.kind == FileKind::Directory) return "is a directory, not a metrics file";
  return "not a regular file (a device, FIFO or socket)";
}

std::string WrongSizeReason(const LoadResult& result) {
  return "wrong size: " + std::to_string(result.size) + " bytes, a metrics file has exactly " +
         std::to_string(kMetricsFileSize) + " bytes";
}

std::string ReplacedReason(FileKind kind) {
  if (kind == FileKind::SymbolicLink) return "is a symbolic link now, not the file that was read: not written";
  if (kind == FileKind::Directory) return "is a directory now, not the file that was read: not written";
  return "is no longer a regular file: not written";
}

std::string ShortWriteDetail(uint32_t written) {
  return "wrote " + std::to_string(written) + " of " + std::to_string(kMetricsFileSize) + " bytes";
}

// A short write has no system error: the count says what happened.
std::string WriteFailureDetail(const SaveResult& result) {
  if (result.systemError != 0) return FileErrorText(result.systemError);
  return ShortWriteDetail(result.written);
}

}  // namespace

void ReportError(const std::string& subject, const std::string& reason) {
  // The subject is a file name or argument as given, so it may hold anything. It is
  // cut only beyond any path the system opens (4096 bytes on Linux) with room to
  // spare, so that a refused long path still shows whole. The reason is composed by
  // the caller; it is escaped too, uncut, so that no slip can start a second line.
  constexpr size_t kMaxSubjectLength = 8192;
  std::string line = "quorvel-cli: " + EscapedText(subject, kMaxSubjectLength) + ": " + EscapedText(reason, 0) + "\n";
  std::fputs(line.c_str(), stderr);
}

void ReportWarning(const std::string& subject, const std::string& text) { ReportError(subject, "warning: " + text); }

std::string LoadFailureReason(const LoadResult& result) {
  switch (result.status) {
    case LoadStatus::Loaded: return "loaded";
    case LoadStatus::NoPath: return "empty file name";
    case LoadStatus::CannotOpen: return std::string("cannot open: ") + FileErrorText(result.systemError);
    case LoadStatus::NotRegularFile: return NotRegularReason(result);
    case LoadStatus::WrongSize: return WrongSizeReason(result);
    case LoadStatus::OutOfMemory: return "out of memory";
    case LoadStatus::ReadFailed: return "read failed or was cut short";
    case LoadStatus::CannotWrite: return std::string("cannot open for writing: ") + FileErrorText(result.systemError);
    case LoadStatus::Locked: return "locked by another program for too long";
  }
  return "cannot load";
}

std::string SaveFailureReason(const SaveResult& result) {
  switch (result.status) {
    case SaveStatus::Saved: return "saved";
    case SaveStatus::NoDocument: return "nothing loaded to write";
    case SaveStatus::CannotOpen: return std::string("cannot open for writing: ") + FileErrorText(result.systemError);
    case SaveStatus::NotRegularFile: return ReplacedReason(result.kind);
    case SaveStatus::Locked: return "locked by another program for too long: not written";
    case SaveStatus::ChangedOutside: return "changed by another program since it was read: not written";
    case SaveStatus::WriteFailed:
      return std::string(result.written == 0 ? "write failed, nothing written: "
                                             : "write failed, the file may be damaged: ") +
             WriteFailureDetail(result);
  }
  return "cannot write";
}

std::string CreateFailureReason(CreateStatus status, uint32_t written) {
  // A short write leaves no system error: the count says what happened.
  std::string detail = LastFileError() != 0 ? LastFileErrorText() : ShortWriteDetail(written);
  switch (status) {
    case CreateStatus::Created: return "created";
    case CreateStatus::NoDocument: return "nothing to write";
    case CreateStatus::AlreadyExists: return "already exists (use --force to replace it)";
    case CreateStatus::NotRegularFile: return "exists and is not a regular file: not replaced";
    case CreateStatus::CannotOpen: return "cannot create: " + detail;
    case CreateStatus::WriteFailed: return "write failed, nothing written: " + detail;
    case CreateStatus::CannotReplace: return "cannot replace, left as it was: " + detail;
    case CreateStatus::Locked: return "locked by another program for too long: not written";
    case CreateStatus::InPlaceWriteFailed:
      return "write failed, the file may be damaged: " + detail;
    case CreateStatus::NotDurable:
      return "written, but its folder could not be flushed to disk: " + detail;
  }
  return "cannot create";
}

int FinishOutput(int exitCode) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return exitCode;
  ReportError("standard output", std::string("write failed: ") + std::strerror(errno));
  return kExitError;
}
