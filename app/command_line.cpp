#include "command_line.h"

#include <cstring>

namespace {

struct Token {
  const char* begin = nullptr;
  const char* end = nullptr;
  const char* next = nullptr;  // where the following token starts; null at the end
  bool complete = false;       // false for a quoted token without closing quote
};

// Scans one token starting at p. The separator (a space, or whatever follows a
// closing quote) is consumed; the end of the text leaves no following token.
Token ScanToken(const char* p) {
  Token token;
  token.begin = p;
  for (;;) {
    if (*p == '"') {
      token.begin = p + 1;
      const char* close = std::strchr(token.begin, '"');
      if (!close) return token;
      token.end = close;
      token.complete = true;
      token.next = close[1] != 0 ? close + 2 : nullptr;
      return token;
    }
    if (*p == ' ' || *p == 0) {
      token.end = p;
      token.complete = true;
      token.next = *p == ' ' ? p + 1 : nullptr;
      return token;
    }
    ++p;
  }
}

}  // namespace

int GetFirstArgument(const char* commandLine, char* out, size_t outSize) {
  std::memset(out, 0, outSize);
  Token program = ScanToken(commandLine);
  if (!program.complete || !program.next) return 0;
  Token argument = ScanToken(program.next);
  if (!argument.complete) return 0;
  size_t length = static_cast<size_t>(argument.end - argument.begin);
  if (length >= outSize) return 0;
  std::memcpy(out, argument.begin, length);
  return 1;
}
