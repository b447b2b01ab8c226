#include "report.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "commands.h"
#include "file_io.h"
#include "message_text.h"

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
