// The number selector's rules, as the Windows up-down control with
// UDS_SETBUDDYINT | UDS_NOTHOUSANDS applies them to its buddy's text. Pure
// functions over the selector's state and the buddy text, so that a window layer
// only moves texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct UpDownState {
  // The control's own default range runs from 100 down to 0: its up arrow
  // decreases until a range is set.
  int32_t lower = 100;
  int32_t upper = 0;
  int32_t position = 0;  // the last valid position
};

// Clamps position into the range (whichever way round it is given).
int32_t ClampUpDownPosition(const UpDownState& state, int32_t position);

// Reads the buddy text as the control does: white space (" \t\n\v\f\r"), an
// optional sign, decimal digits and nothing after them; a number beyond 32 bits
// saturates. True with *position when the number is within the range, or when the
// text is empty (0). "+12" and "\t12" read as 12; "12 ", "  " and "1a" are refused.
// A null text (no buddy) is refused.
bool ReadUpDownBuddy(const UpDownState& state, const char* buddyText, int32_t* position);

// UDM_SETRANGE32: the range as given, either way round. The position stays as it
// is until the buddy is read or a new position is set.
void SetUpDownRange(UpDownState& state, intptr_t lower, intptr_t upper);

// UDM_GETPOS: the buddy's number when valid and in range (the state follows it),
// else the last valid position with the high word set to 1.
uint32_t GetUpDownPosition(UpDownState& state, const char* buddyText);

// UDM_SETPOS: clamps and stores the position; returns the previous position. The
// buddy needs rewriting only when *newText differs from its current text.
int32_t SetUpDownPosition(UpDownState& state, int32_t position, std::string* newText);

// One arrow step (up = true toward upper). The buddy's valid number is taken first;
// at the end of the range nothing moves. Returns true with *newText when the
// position changed.
bool StepUpDown(UpDownState& state, const char* buddyText, bool up, std::string* newText);

// UDS_AUTOBUDDY: an up-down created at index binds to the control created just
// before it. Returns false (no buddy) without the style or for the first control.
bool AutoBuddyIndex(uint32_t upDownStyle, size_t index, size_t* buddy);
