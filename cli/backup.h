// --backup and --suffix for the subcommands that replace a file (set, import
// --force, new --force): a copy of the old file as FILE~ before it is replaced.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "metrics_document.h"

// Adds --backup, and --suffix S (not empty, no "/"), which implies --backup.
void DeclareBackupOptions(CLI::App& app, BackupOptions& options);

// Copies the file at path to path + suffix when a backup is wanted and path names
// a regular file, also through a link. Nothing there, or something that is no file
// (which the replace refuses itself), needs no copy. False after reporting why the
// copy could not be made: the file must then not be replaced.
bool BackUpBeforeReplacing(const BackupOptions& options, const std::string& path);

// The same for a file held open and locked since its load, from the loaded bytes,
// which are exactly the file's.
bool BackUpBeforeReplacing(const BackupOptions& options, const std::string& path,
                           const MetricsDocument& loaded);

// Writes edited over the file loaded and held as doc, in one guarded save, after its
// backup when one is wanted. False after reporting why nothing (or not all) was
// written.
bool SaveLoadedFile(const BackupOptions& options, const std::string& path, MetricsDocument& doc,
                    const uint8_t* edited);
