// What quorvel-cli sets up with its system before it parses anything: its
// arguments in UTF-8, and standard streams that carry the UTF-8 it writes.
#pragma once

#include <string>
#include <vector>

// Prepares the standard streams and the signals, and returns the program's
// arguments, its own name first, in UTF-8.
std::vector<std::string> StartProgram(int argc, char** argv);
