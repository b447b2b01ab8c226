// How quorvel-cli reports: every error is one line on stderr, "quorvel-cli: what:
// reason"; results go to stdout only, so that pipes carry nothing else.
#pragma once

#include <string>

#include "metrics_document.h"
#include "new_metrics_file.h"

// Prints "quorvel-cli: subject: reason" on stderr.
void ReportError(const std::string& subject, const std::string& reason);

// Why a load failed, in words, from what the load saw.
std::string LoadFailureReason(const LoadResult& result);

// Why a write-back or creation failed, in words. Call right after the failed call:
// the system's reason is read from its last error.
std::string SaveFailureReason(SaveStatus status);
std::string CreateFailureReason(CreateStatus status);

// Flushes stdout. Returns exitCode, or kExitError after reporting that the output
// could not be written (a full disk, a closed pipe).
int FinishOutput(int exitCode);
