// import FILE.json OUT.fnt [--force]: rebuilds a metrics file from its JSON form.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>
#include <string>

#include "commands.h"
#include "metrics_json.h"
#include "new_metrics_file.h"
#include "report.h"

namespace {

constexpr char kImportHelp[] = R"(FILE.json is what export writes ("-" reads standard input; a FIFO is read
like a pipe). It is checked whole before anything is written: at most 1 MiB,
nested at most 64 levels, every key present, known and given once, the types,
256 records in code order with 14 values each (13 for code 255), 296 header
bytes, numbers within single precision. Numbers are rounded to the nearest
single-precision value; bit patterns ("0x7FC00000") are taken as they are.

OUT.fnt is written whole, exactly 14632 bytes. An existing OUT.fnt is refused
unless --force is given; then it is replaced in one step, so that it holds either
its old bytes or the new file, never a part of it, keeping its mode, owner, group
and extended attributes. A file with other names (a hard link, a symbolic link to
it), or one whose owner this user cannot keep, is written in place instead. A
directory or device is never replaced.)";

std::string InputName(const std::string& path) { return path == "-" ? "standard input" : path; }

// Why a file of this kind is not read, or "" for the kinds import reads: regular
// files and FIFOs.
std::string UnreadableKindReason(mode_t mode) {
  if (S_ISREG(mode) || S_ISFIFO(mode)) return "";
  if (S_ISDIR(mode)) return "is a directory, not a JSON file";
  if (S_ISSOCK(mode)) return "is a socket, not a JSON file";
  return "is a device, not a JSON file";
}

std::string CannotOpenReason() { return std::string("cannot open: ") + std::strerror(errno); }

// Opens path into *fd, or returns why it is not read. The kind is checked before
// the open, as opening some devices has effects, and again on what was opened.
// O_NONBLOCK lets the open of a FIFO with no writer return at once; it is cleared
// afterwards, so that such a FIFO reads as empty and one with a writer as a pipe.
std::string OpenForReading(const std::string& path, int* fd) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return CannotOpenReason();
  if (std::string refusal = UnreadableKindReason(info.st_mode); !refusal.empty()) return refusal;
  *fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (*fd < 0 || fstat(*fd, &info) != 0) return CannotOpenReason();
  if (std::string refusal = UnreadableKindReason(info.st_mode); !refusal.empty()) return refusal;
  int flags = fcntl(*fd, F_GETFL);
  if (flags < 0 || fcntl(*fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return CannotOpenReason();
  return "";
}

// The open file at path, or -1 after reporting why not.
int OpenJsonFile(const std::string& path) {
  int fd = -1;
  std::string refusal = OpenForReading(path, &fd);
  if (refusal.empty()) return fd;
  if (fd >= 0) close(fd);
  ReportError(path, refusal);
  return -1;
}

// Reads from fd until its end or until maxBytes came; false with errno set when a
// read fails. Standard input may have been left non-blocking by whoever made it:
// then it waits for data rather than failing.
bool ReadAtMost(int fd, size_t maxBytes, std::string* text) {
  char buffer[64 * 1024];
  while (text->size() < maxBytes) {
    ssize_t count = read(fd, buffer, std::min(sizeof buffer, maxBytes - text->size()));
    if (count == 0) return true;
    if (count > 0) {
      text->append(buffer, static_cast<size_t>(count));
    } else if (errno == EAGAIN || errno == EWOULDBLOCK) {
      pollfd wait = {fd, POLLIN, 0};
      poll(&wait, 1, -1);
    } else if (errno != EINTR) {
      return false;
    }
  }
  return true;
}

// Reads path ("-": standard input), one byte beyond the size ParseJsonText takes so
// that it can tell a text over the limit, and never more: /dev/zero on standard
// input ends there too. Reports a failure. The room is taken first, so that running
// out of memory cannot happen while the file is open.
bool ReadJsonText(const std::string& path, std::string* text) {
  text->reserve(kMaxJsonTextSize + 1);
  int fd = path == "-" ? STDIN_FILENO : OpenJsonFile(path);
  if (fd < 0) return false;
  bool read = ReadAtMost(fd, kMaxJsonTextSize + 1, text);
  int readError = errno;
  if (fd != STDIN_FILENO) close(fd);
  if (!read) ReportError(InputName(path), std::string("read failed: ") + std::strerror(readError));
  return read;
}

// Fills image from the JSON at input; reports the first problem.
bool ReadImage(const std::string& input, uint8_t* image) {
  std::string text, error;
  nlohmann::json json;
  if (!ReadJsonText(input, &text)) return false;
  if (!ParseJsonText(text, &json, &error) || !MetricsImageFromJson(json, image, &error)) {
    ReportError(InputName(input), error);
    return false;
  }
  return true;
}

}  // namespace

void DeclareImport(CLI::App& app, CommandOptions& options) {
  app.description("Rebuilds a metrics file from the JSON that export writes.");
  app.add_option("FILE.json", options.dataInput, "the JSON form (- for standard input)")->required();
  app.add_option("OUT.fnt", options.output, "the metrics file to write")->required();
  app.add_flag("--force", options.force, "replace OUT.fnt when it exists");
  app.footer(kImportHelp);
}

int RunImport(const CommandOptions& options, LoadedFiles&) {
  MetricsDocument doc;
  if (!StartEmptyMetricsDocument(doc)) {
    ReportError(options.output, "out of memory");
    return kExitError;
  }
  bool ok = false;
  try {
    ok = ReadImage(options.dataInput, doc.image);
  } catch (const std::bad_alloc&) {
    // The text, its parse and the messages are the only allocations whose size
    // the input decides.
    ReportError(InputName(options.dataInput), "out of memory");
  }
  if (ok) {
    CreateStatus created = CreateMetricsFile(doc, options.output.c_str(), options.force);
    ok = created == CreateStatus::Created;
    if (!ok) ReportError(options.output, CreateFailureReason(created, doc.bytesTransferred));
  }
  ReleaseMetricsFile(doc);
  return ok ? kExitOk : kExitError;
}

bool ResolveImport(const CLI::App&, CommandOptions&) { return true; }
