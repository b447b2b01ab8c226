// Start-up of the Qt program: the argument vector is already split, so the first
// argument is argv[1] as it stands.
#pragma once

#include <QByteArray>

#include <cstddef>
#include <string>

// Copies argument into path (pathSize bytes) and returns true when it fits with its
// NUL; otherwise, or without an argument, path is left empty and the result is
// false: a cut path could name another file, which a later save would create.
bool TakeFirstArgument(const char* argument, char* path, size_t pathSize);

// The first local file of a drag's text/uri-list ("file:///dir/name" or
// "file://localhost/dir/name", percent-escapes decoded), as the bytes of its path,
// so that a name that is not UTF-8 stays what it is; empty when there is none.
std::string LocalPathFromUriList(const QByteArray& uriList);

// What the command line asks of the program: run the editor (on file, or on
// nothing), print the help or the version, or refuse (error says why).
struct ProgramOptions {
  enum class Action { Run, Help, Version, Error } action = Action::Run;
  const char* file = nullptr;  // argv's own bytes: a name that is not UTF-8 stays as it is
  std::string error;
};

// Reads --help (-h), --version (-v) and one optional file; after "--" every
// argument is a file, so a name may start with '-'. An unknown option or a second
// file is an error. Needs no QCoreApplication.
ProgramOptions ParseProgramOptions(int argc, char** argv);

// Whether Qt has somewhere to show the window: DISPLAY or WAYLAND_DISPLAY names a
// display, or QT_QPA_PLATFORM names a platform (offscreen, vnc, ...). An empty
// variable counts as unset. Without any, Qt would abort.
bool DisplayAvailable(const char* display, const char* waylandDisplay, const char* platform);

// The text --help prints.
std::string ProgramHelpText();
