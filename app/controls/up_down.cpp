#include "up_down.h"

#include <algorithm>

namespace {

constexpr uint32_t kAutoBuddyStyle = 0x0010;  // UDS_AUTOBUDDY

bool IsBuddySpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// The decimal number at p with its optional sign, saturated to 32 bits as the
// control's conversion saturates; *end after its last digit. False without digits.
bool ParseSaturatedNumber(const char* p, int32_t* number, const char** end) {
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  if (*p < '0' || *p > '9') return false;
  const int64_t limit = negative ? int64_t{INT32_MAX} + 1 : INT32_MAX;
  int64_t value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) value = std::min(value * 10 + (*p - '0'), limit);
  *number = static_cast<int32_t>(negative ? -value : value);
  *end = p;
  return true;
}

std::string PositionText(int32_t position) { return std::to_string(position); }

}  // namespace

int32_t ClampUpDownPosition(const UpDownState& state, int32_t position) {
  int32_t low = std::min(state.lower, state.upper);
  int32_t high = std::max(state.lower, state.upper);
  return std::clamp(position, low, high);
}

bool ReadUpDownBuddy(const UpDownState& state, const char* buddyText, int32_t* position) {
  if (!buddyText) return false;
  if (*buddyText == '\0') {  // an empty buddy reads as 0
    *position = 0;
    return true;
  }
  const char* p = buddyText;
  while (IsBuddySpace(*p)) ++p;
  int32_t number = 0;
  if (!ParseSaturatedNumber(p, &number, &p) || *p != '\0') return false;
  if (ClampUpDownPosition(state, number) != number) return false;
  *position = number;
  return true;
}

void SetUpDownRange(UpDownState& state, intptr_t lower, intptr_t upper) {
  state.lower = static_cast<int32_t>(lower);
  state.upper = static_cast<int32_t>(upper);
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
  *newText = PositionText(state.position);
  return previous;
}

bool StepUpDown(UpDownState& state, const char* buddyText, bool up, std::string* newText) {
  int32_t current = 0;
  if (ReadUpDownBuddy(state, buddyText, &current)) state.position = current;
  int32_t delta = (state.upper >= state.lower) == up ? 1 : -1;
  int64_t next = int64_t{state.position} + delta;
  if (ClampUpDownPosition(state, static_cast<int32_t>(next)) != next) return false;
  state.position = static_cast<int32_t>(next);
  *newText = PositionText(state.position);
  return true;
}

bool AutoBuddyIndex(uint32_t upDownStyle, size_t index, size_t* buddy) {
  if (!(upDownStyle & kAutoBuddyStyle) || index == 0) return false;
  *buddy = index - 1;
  return true;
}
