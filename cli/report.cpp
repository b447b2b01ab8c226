#include "report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "commands.h"
#include "file_io.h"

namespace {

std::string NotRegularReason(const char* path) {
  std::error_code error;
  if (std::filesystem::is_directory(path, error)) return "is a directory, not a metrics file";
  return "not a regular file (a device, FIFO or socket)";
}

std::string WrongSizeReason(const char* path) {
  std::string expected = "a metrics file has exactly " + std::to_string(kMetricsFileSize) + " bytes";
  std::error_code error;
  uintmax_t size = std::filesystem::file_size(path, error);
  if (error) return "wrong size: " + expected;
  return "wrong size: " + std::to_string(size) + " bytes, " + expected;
}

}  // namespace

void ReportError(const std::string& subject, const std::string& reason) {
  std::fprintf(stderr, "quorvel-cli: %s: %s\n", subject.c_str(), reason.c_str());
}

std::string LoadFailureReason(LoadStatus status, const char* path) {
  switch (status) {
    case LoadStatus::Loaded: return "loaded";
    case LoadStatus::NoPath: return "empty file name";
    case LoadStatus::CannotOpen: return std::string("cannot open: ") + LastFileErrorText();
    case LoadStatus::NotRegularFile: return NotRegularReason(path);
    case LoadStatus::WrongSize: return WrongSizeReason(path);
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

bool LoadOrReport(MetricsDocument& doc, const char* path) {
  char caption[kTextBufferSize];
  LoadStatus status = LoadMetricsFile(doc, path, caption);
  if (status == LoadStatus::Loaded) return true;
  ReportError(path, LoadFailureReason(status, path));
  return false;
}

int FinishOutput(int exitCode) {
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return exitCode;
  ReportError("standard output", std::string("write failed: ") + std::strerror(errno));
  return kExitError;
}
