// The names of the five values the editor edits, in record order (values 8-12): one
// name everywhere (JSON and CSV keys, diff, show, check and messages), written with
// hyphens only as an option ("--spacing-left").
#pragma once

#include <cstdint>
#include <string>

#include "metrics_format.h"

struct ValueName {
  const char* key;     // "spacing_left": data keys, labels and messages
  const char* option;  // "--spacing-left"
};

constexpr ValueName kValueNames[kEditedValueCount] = {
    {"width", "--width"},
    {"height", "--height"},
    {"spacing_left", "--spacing-left"},
    {"spacing_right", "--spacing-right"},
    {"offset_y", "--offset-y"},
};

// The class names of --scope, in the order the editor's scope boxes decide.
constexpr const char* kScopeNames[] = {"fullwidth", "halfkana", "halfalnum"};

constexpr const char kLineSpacingKey[] = "line_spacing";
constexpr const char kLineSpacingOption[] = "--line-spacing";

// How messages and diff name value index of a record: the five by their name, the
// others as "value 3".
inline std::string ValueLabel(uint32_t value) {
  if (value >= kFirstEditedValue && value < kFirstEditedValue + kEditedValueCount) {
    return kValueNames[value - kFirstEditedValue].key;
  }
  return "value " + std::to_string(value);
}
