#include "report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "file_io.h"

namespace {

std::string NotRegularReason(const LoadResult& result) {
  if (result.kind == FileKind::Directory) return "is a directory, not a metrics file";
  return "not a regular file (a device, FIFO or socket)";
}

std::string WrongSizeReason(const LoadResult& result) {
  return "wrong size: " + std::to_string(result.size) + " bytes, a metrics file has exactly " +
         std::to_string(kMetricsFileSize) + " bytes";
}

}  // namespace

void ReportError(const std::string& subject, const std::string& reason) {
  std::fprintf(stderr, "quorvel-cli: %s: %s\n", subject.c_str(), reason.c_str());
}

std::string LoadFailureReason(const LoadResult& result) {
  switch (result.status) {
    case LoadStatus::Loaded: return "loaded";
    case LoadStatus::NoPath: return "empty file name";
    case LoadStatus::CannotOpen: return std::string("cannot open: ") + FileErrorText(result.systemError);
    case LoadStatus::NotRegularFile: return NotRegularReason(result);
    case LoadStatus::WrongSize: return WrongSizeReason(result);
    case LoadStatus::OutOfMemory: return "out of memory";
    case LoadStatus::ReadFailed: return "read failed or was cut short";
  }
  return "cannot load";
}

std::string SaveFailureReason(SaveStatus status) {
  switch (status) {
    case SaveStatus::Saved: return "saved";
    case SaveStatus::NoDocument: return "nothing loaded to write";
    case SaveStatus::CannotOpen: return std::string("cannot open for writing: ") + LastFileErrorText();
    case SaveStatus::WriteFailed:
      return std::string("write failed, the file may be damaged: ") + LastFileErrorText();
  }
  return "cannot write";
}

std::string CreateFailureReason(CreateStatus status) {
  switch (status) {
    case CreateStatus::Created: return "created";
    case CreateStatus::NoDocument: return "nothing to write";
    case CreateStatus::AlreadyExists: return "already exists (use --force to replace it)";
    case CreateStatus::NotRegularFile: return "exists and is not a regular file: not replaced";
    case CreateStatus::CannotOpen: return std::string("cannot create: ") + LastFileErrorText();
    case CreateStatus::WriteFailed:
      return std::string("write failed, nothing written: ") + LastFileErrorText();
    case CreateStatus::CannotReplace:
      return std::string("cannot replace, left as it was: ") + LastFileErrorText();
  }
  return "cannot create";
}

int FinishOutput(int exitCode) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return exitCode;
  ReportError("standard output", std::string("write failed: ") + std::strerror(errno));
  return kExitError;
}
