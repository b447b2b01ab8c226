// The files QUORVEL.exe opens around the dialog's own 開く: a file dropped on the
// dialog and the recent files, which it remembers with its settings.
#pragma once

#include <windows.h>

#include <string>

#include "settings_file.h"

// Read at start, written at exit; the dialog's position and the recent files.
extern ProgramSettings g_programSettings;

// After every load (the start, 開く, a drop, a recent file): the file loaded becomes
// the newest recent file, by the absolute path the load resolved.
void RememberLoadedFile();

// Opens path as 開く does; a file that cannot be opened leaves the recent files.
void OpenRecentFile(const std::string& path);

// WM_DROPFILES: opens the first file dropped as 開く does, by its wide name.
void OpenDroppedFile(HDROP drop);
