// The differences between two metrics images (image_compare.h) as text, for `diff`
// and for `set --dry-run`.
#pragma once

#include <cstdint>
#include <string>

#include "image_compare.h"

// One line per difference, after prefix:
//   line_spacing: 12 -> 14
//   header byte 17: 0x00 -> 0x3F
//   0x41 A width: 10 -> 12
//   0x10 value 3: 0.1 -> 0.1 (0x3DCCCCCD -> 0x3DCCCCCE)
// Values show as the editor's fields show them; where those texts are equal, the
// bit patterns follow.
std::string DescribeDifference(const uint8_t* before, const uint8_t* after, const Difference& difference);

// What a dry run prints on standard output: "PATH: " and each difference, one per
// line, or "PATH: no change".
void PrintChanges(const char* path, const uint8_t* before, const uint8_t* after);
