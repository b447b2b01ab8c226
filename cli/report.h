// How quorvel-cli reports: every error is one line on stderr, "quorvel-cli: what:
// reason"; results go to stdout only, so that pipes carry nothing else.
#pragma once

#include <string>

#include "failure_reason.h"
#include "metrics_document.h"
#include "new_metrics_file.h"

// Prints "quorvel-cli: subject: reason" on stderr.
void ReportError(const std::string& subject, const std::string& reason);

// Prints "quorvel-cli: subject: warning: text" on stderr: something done
// differently from what was asked, which is no failure.
void ReportWarning(const std::string& subject, const std::string& text);

// Why a creation failed, in words, with the bytes a short write transferred. Call
// right after the failed call: the system's reason is read from its last error.
std::string CreateFailureReason(CreateStatus status, uint32_t written);

// Flushes stdout. Returns exitCode, or kExitError after reporting that the output
// could not be written (a full disk, a closed pipe).
int FinishOutput(int exitCode);
