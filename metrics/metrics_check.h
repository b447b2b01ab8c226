// Faults in the values of a metrics image that load alone does not see: values the
// editor cannot show as numbers, sizes below zero, and companion slots that no
// full-width edit would have left as they are. For quorvel-cli check, and for any
// program that wants to warn about a file it opened.
#pragma once

#include <cstdint>
#include <vector>

enum class ValueFaultKind {
  NotFinite,           // NaN or an infinity: the line spacing or values 8-12 of a code
  Negative,            // Width or Height below zero (-0 is not)
  NotZero,             // a value the full-width edit leaves zero: any of slots 17
                       // and 22, any but Width of slots 19 and 24
  NotHalfOfFullWidth,  // Width of slot 19 or 24 differs from HalfWidthOfFullWidth
};

struct ValueFault {
  ValueFaultKind kind = ValueFaultKind::NotFinite;
  bool isLineSpacing = false;  // the line spacing rather than a record value
  uint8_t code = 0;            // the record's code
  uint32_t value = 0;          // the value's index in the record, 0-13
  float found = 0;             // the stored value
  float expected = 0;          // NotZero, NotHalfOfFullWidth: what the full-width edit stores
};

// The faults of the image in file order (line spacing, then codes and values
// ascending), each value at most once: a companion slot's value that differs from
// what the full-width edit stores is reported as that, otherwise a value that is
// not finite, otherwise a negative Width or Height. Values are compared bit for
// bit, so -0 in a slot that must be zero is a fault.
std::vector<ValueFault> FindValueFaults(const uint8_t* image);
