// The names of the five values the editor edits, in record order (values 8-12):
// as options and labels ("spacing-left") and as JSON and CSV keys ("spacing_left").
#pragma once

#include "metrics_format.h"

struct ValueName {
  const char* label;  // option name without "--", table and diff label
  const char* key;    // JSON and CSV
};

constexpr ValueName kValueNames[kEditedValueCount] = {
    {"width", "width"},
    {"height", "height"},
    {"spacing-left", "spacing_left"},
    {"spacing-right", "spacing_right"},
    {"offset-y", "offset_y"},
};

constexpr const char kLineSpacingLabel[] = "line-spacing";
constexpr const char kLineSpacingKey[] = "line_spacing";
