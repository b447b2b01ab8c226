// Why a load or a write-back failed, in words, from what it saw: the one source of
// these reasons for quorvel-cli's error lines and the editor's message details.
#pragma once

#include <cstdint>
#include <string>

#include "metrics_document.h"

std::string LoadFailureReason(const LoadResult& result);
std::string SaveFailureReason(const SaveResult& result);

// "wrote N of 14632 bytes": what a write cut short without a system error did.
std::string ShortWriteDetail(uint32_t written);
