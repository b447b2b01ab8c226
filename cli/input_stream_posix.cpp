// The POSIX side of input_stream.h: regular files, FIFOs and standard input.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "input_stream.h"

namespace {

// Why a file of this kind is not read, or "" for the kinds that are: regular files
// and FIFOs.
std::string UnreadableKindReason(mode_t mode, const char* kindWord) {
  if (S_ISREG(mode) || S_ISFIFO(mode)) return "";
  std::string what = S_ISDIR(mode)    ? "is a directory"
                     : S_ISSOCK(mode) ? "is a socket"
                                      : "is a device";
  return what + ", not a " + kindWord;
}

std::string CannotOpenReason() { return std::string("cannot open: ") + std::strerror(errno); }

// Opens path into *fd, or returns why it is not read. The kind is checked before
// the open, as opening some devices has effects, and again on what was opened.
// O_NONBLOCK lets the open of a FIFO with no writer return at once; it is cleared
// afterwards, so that such a FIFO reads as empty and one with a writer as a pipe.
std::string OpenForReading(const std::string& path, const char* kindWord, int* fd) {
  struct stat info;
  if (stat(path.c_str(), &info) != 0) return CannotOpenReason();
  if (std::string refusal = UnreadableKindReason(info.st_mode, kindWord); !refusal.empty())
    return refusal;
  *fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (*fd < 0 || fstat(*fd, &info) != 0) return CannotOpenReason();
  if (std::string refusal = UnreadableKindReason(info.st_mode, kindWord); !refusal.empty())
    return refusal;
  int flags = fcntl(*fd, F_GETFL);
  if (flags < 0 || fcntl(*fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return CannotOpenReason();
  return "";
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

}  // namespace

bool ReadInputText(const std::string& path, size_t maxBytes, const char* kindWord,
                   std::string* text, std::string* reason) {
  // The room is taken first, so that running out of memory cannot happen while the
  // file is open.
  text->reserve(maxBytes + 1);
  int fd = STDIN_FILENO;
  if (path != "-") {
    *reason = OpenForReading(path, kindWord, &fd);
    if (!reason->empty()) {
      if (fd >= 0) close(fd);
      return false;
    }
  }
  bool read = ReadAtMost(fd, maxBytes + 1, text);
  int readError = errno;
  if (fd != STDIN_FILENO) close(fd);
  if (!read) *reason = std::string("read failed: ") + std::strerror(readError);
  return read;
}

bool IsStreamInput(const std::string& path) {
  struct stat info;
  return path == "-" || (stat(path.c_str(), &info) == 0 && S_ISFIFO(info.st_mode));
}
