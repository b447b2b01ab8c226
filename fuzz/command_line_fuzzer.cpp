// GetFirstArgument on arbitrary command lines: never reads or writes out of bounds,
// the result is 1 exactly when out holds the argument, and out is always terminated.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "command_line.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A small out buffer first, so that long arguments hit the does-not-fit rule.
  std::string commandLine(reinterpret_cast<const char*>(data), size);
  for (size_t outSize : {size_t{8}, size_t{260}}) {
    char* out = static_cast<char*>(std::malloc(outSize));
    int found = GetFirstArgument(commandLine.c_str(), out, outSize);
    size_t length = strnlen(out, outSize);
    if (length == outSize) std::abort();           // not terminated
    if (found == 0 && length != 0) std::abort();   // no argument, yet text
    if (found == 1 && length > 0 && commandLine.find(out) == std::string::npos) std::abort();
    std::free(out);
  }
  return 0;
}
