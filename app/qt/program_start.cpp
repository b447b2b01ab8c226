#include "program_start.h"

#include <cstring>

bool TakeFirstArgument(const char* argument, char* path, size_t pathSize) {
  if (pathSize == 0) return false;
  path[0] = '\0';
  if (!argument) return false;
  const size_t length = std::strlen(argument);
  if (length + 1 > pathSize) return false;
  std::memcpy(path, argument, length + 1);
  return true;
}
