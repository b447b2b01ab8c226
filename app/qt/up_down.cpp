#include "up_down.h"

#include <algorithm>
#include <cstdlib>

std::string UpDownPositionText(int32_t position) { return std::to_string(position); }

int32_t ClampUpDownPosition(const UpDownState& state, int32_t position) {
  int32_t low = std::min(state.lower, state.upper);
  int32_t high = std::max(state.lower, state.upper);
  return std::clamp(position, low, high);
}

bool ReadUpDownBuddy(const UpDownState& state, const char* buddyText, int32_t* position) {
  const char* p = buddyText;
  while (*p == ' ') ++p;
  if (*p == '\0') {  // an empty buddy reads as 0
    *position = 0;
    return true;
  }
  bool negative = *p == '-';
  if (negative) ++p;
  if (*p < '0' || *p > '9') return false;
  int64_t value = 0;
  while (*p >= '0' && *p <= '9') {
    value = value * 10 + (*p - '0');
    if (value > 0x7FFFFFFF) return false;
    ++p;
  }
  while (*p == ' ') ++p;
  if (*p != '\0') return false;
  if (negative) value = -value;
  int32_t number = static_cast<int32_t>(value);
  if (ClampUpDownPosition(state, number) != number) return false;
  *position = number;
  return true;
}

uint32_t GetUpDownPosition(UpDownState& state, const char* buddyText) {
  int32_t number = 0;
  if (ReadUpDownBuddy(state, buddyText, &number)) {
    state.position = number;
    return static_cast<uint16_t>(number);
  }
  return static_cast<uint16_t>(state.position) | (1u << 16);
}

int32_t SetUpDownPosition(UpDownState& state, int32_t position, std::string* newText) {
  int32_t previous = state.position;
  state.position = ClampUpDownPosition(state, position);
  *newText = UpDownPositionText(state.position);
  return previous;
}

bool StepUpDown(UpDownState& state, const char* buddyText, bool up, std::string* newText) {
  int32_t current = 0;
  if (ReadUpDownBuddy(state, buddyText, &current)) state.position = current;
  int32_t delta = (state.upper >= state.lower) == up ? 1 : -1;
  int32_t next = state.position + delta;
  if (ClampUpDownPosition(state, next) != next) return false;
  state.position = next;
  *newText = UpDownPositionText(next);
  return true;
}
