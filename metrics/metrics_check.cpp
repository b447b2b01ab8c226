#include "metrics_check.h"

#include <cmath>
#include <cstring>

#include "metrics_format.h"
#include "value_edit.h"

namespace {

bool SameBits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

bool IsEditedValue(uint32_t value) {
  return value >= kFirstEditedValue && value < kFirstEditedValue + kEditedValueCount;
}

// Whether value of code's record differs from what the full-width edit stores
// there, for the slots it overwrites (17, 22, 19, 24); fills in kind and expected.
bool IsOutOfStepWithFullWidth(const uint8_t* image, ValueFault* fault) {
  CodeRole role = RoleOfCode(fault->code);
  if (role != CodeRole::FullWidthCleared && role != CodeRole::HalfOfFullWidth) return false;
  bool half = role == CodeRole::HalfOfFullWidth && fault->value == Width;
  fault->kind = half ? ValueFaultKind::NotHalfOfFullWidth : ValueFaultKind::NotZero;
  fault->expected = half ? HalfWidthOfFullWidth(image) : 0.0f;
  return !SameBits(fault->found, fault->expected);
}

// Whether an edited value is NaN or infinite, or a negative Width or Height.
bool IsBadEditedValue(ValueFault* fault) {
  if (!IsEditedValue(fault->value)) return false;
  fault->expected = 0;
  if (!std::isfinite(fault->found)) {
    fault->kind = ValueFaultKind::NotFinite;
    return true;
  }
  fault->kind = ValueFaultKind::Negative;
  return (fault->value == Width || fault->value == Height) && fault->found < 0;
}

}  // namespace

std::vector<ValueFault> FindValueFaults(const uint8_t* image) {
  std::vector<ValueFault> faults;
  float lineSpacing = ReadLineSpacing(image);
  if (!std::isfinite(lineSpacing)) {
    ValueFault fault;
    fault.isLineSpacing = true;
    fault.found = lineSpacing;
    faults.push_back(fault);
  }
  for (int code = 0; code < kCodeCount; ++code) {
    auto byte = static_cast<uint8_t>(code);
    for (uint32_t value = 0; value < ValueCountInFile(byte); ++value) {
      ValueFault fault;
      fault.code = byte;
      fault.value = value;
      fault.found = ReadRecordValue(image, byte, value);
      if (IsOutOfStepWithFullWidth(image, &fault) || IsBadEditedValue(&fault)) {
        faults.push_back(fault);
      }
    }
  }
  return faults;
}
