// Start-up of the Qt program: the argument vector is already split, so the first
// argument is argv[1] as it stands.
#pragma once

#include <cstddef>

// Copies argument into path (pathSize bytes) and returns true when it fits with its
// NUL; otherwise, or without an argument, path is left empty and the result is
// false: a cut path could name another file, which a later save would create.
bool TakeFirstArgument(const char* argument, char* path, size_t pathSize);
