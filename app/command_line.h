// The program's first command-line argument: the metrics file to open at start.
#pragma once

#include <cstddef>

// Copies the first argument after the program path into out (outSize bytes) and
// returns 1, or returns 0 with out empty when there is none. Tokens end at one space
// or the end; a double quote starts a quoted token that drops what came before it in
// the token and runs to the next quote, after which one character is the separator.
//   prog "my file.fnt"  -> 1, my file.fnt        prog   -> 0, empty
//   prog_ (one space)   -> 1, empty              prog "a -> 0, empty (unclosed)
// An argument longer than outSize - 1 bytes counts as none: a cut path could name
// another file, which a later save would create or overwrite.
int GetFirstArgument(const char* commandLine, char* out, size_t outSize);
