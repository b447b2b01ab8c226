#include "failure_reason.h"

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

std::string ReplacedReason(FileKind kind) {
  if (kind == FileKind::SymbolicLink)
    return "is a symbolic link now, not the file that was read: not written";
  if (kind == FileKind::Directory)
    return "is a directory now, not the file that was read: not written";
  return "is no longer a regular file: not written";
}

// A short write has no system error: the count says what happened.
std::string WriteFailureDetail(const SaveResult& result) {
  if (result.systemError != 0) return FileErrorText(result.systemError);
  return ShortWriteDetail(result.written);
}

}  // namespace

std::string ShortWriteDetail(uint32_t written) {
  return "wrote " + std::to_string(written) + " of " + std::to_string(kMetricsFileSize) + " bytes";
}

std::string LoadFailureReason(const LoadResult& result) {
  switch (result.status) {
    case LoadStatus::Loaded: return "loaded";
    case LoadStatus::NoPath: return "empty file name";
    case LoadStatus::CannotOpen:
      return std::string("cannot open: ") + FileErrorText(result.systemError);
    case LoadStatus::NotRegularFile: return NotRegularReason(result);
    case LoadStatus::WrongSize: return WrongSizeReason(result);
    case LoadStatus::OutOfMemory: return "out of memory";
    case LoadStatus::ReadFailed: return "read failed or was cut short";
    case LoadStatus::CannotWrite:
      return std::string("cannot open for writing: ") + FileErrorText(result.systemError);
    case LoadStatus::Locked: return "locked by another program for too long";
  }
  return "cannot load";
}

std::string SaveFailureReason(const SaveResult& result) {
  switch (result.status) {
    case SaveStatus::Saved: return "saved";
    case SaveStatus::NoDocument: return "nothing loaded to write";
    case SaveStatus::CannotOpen:
      return std::string("cannot open for writing: ") + FileErrorText(result.systemError);
    case SaveStatus::NotRegularFile: return ReplacedReason(result.kind);
    case SaveStatus::Locked: return "locked by another program for too long: not written";
    case SaveStatus::ChangedOutside:
      return "changed by another program since it was read: not written";
    case SaveStatus::WriteFailed:
      return std::string(result.written == 0 ? "write failed, nothing written: "
                                             : "write failed, the file may be damaged: ") +
             WriteFailureDetail(result);
  }
  return "cannot write";
}
