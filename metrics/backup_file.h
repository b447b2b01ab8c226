// Keeping a copy of a file before a tool replaces it (FILE~), written the guarded
// way: a new file beside the copy's name, moved over that name in one step, so
// that nothing planted at the name (a symbolic link, another file) is written
// through and a reader sees the old copy or the whole new one.
#pragma once

#include <cstdint>

#include "file_io.h"

// Copies the regular file at path to backupPath. The copy is first written to a
// temporary sibling of backupPath under an unpredictable name, flushed, given the
// owner, group and permissions of the file itself (the one a link at path leads to,
// whatever other names it has) where this user may (else it stays readable by its
// owner only), then moved over backupPath, replacing whatever name is there (a
// symbolic link itself, never its target); a directory there is refused. The file
// is locked meanwhile, and the temporary siblings that killed runs left beside
// backupPath are removed first; Ctrl+C, SIGTERM and SIGHUP wait until the new one
// is gone, so that they leave none. Returns false when any step failed, with nothing
// left behind and the last file error telling why (0 when a write stopped short
// without one).
bool BackUpFile(const char* path, const char* backupPath);

// As BackUpFile, with size bytes as the copy's contents, for the file open as
// original, which the caller holds locked and whose bytes it read already.
bool BackUpFileBytes(FileHandle original, const uint8_t* bytes, uint32_t size,
                     const char* backupPath);
