// The number selector's rules, as the Windows up-down control with
// UDS_SETBUDDYINT | UDS_NOTHOUSANDS applies them to its buddy's text. Pure
// functions over the selector's state and the buddy text, so that the widget only
// moves texts.
#pragma once

#include <cstdint>
#include <string>

struct UpDownState {
  // The control's own default range runs from 100 down to 0: its up arrow
  // decreases until a range is set.
  int32_t lower = 100;
  int32_t upper = 0;
  int32_t position = 0;  // the last valid position
};

// The decimal text the selector writes into its buddy for a position.
std::string UpDownPositionText(int32_t position);

// Clamps position into the range (whichever way round it is given).
int32_t ClampUpDownPosition(const UpDownState& state, int32_t position);

// Reads the buddy text: true with *position when it is a decimal number within the
// range, or empty (0). Leading and trailing spaces are allowed as Windows allows them.
bool ReadUpDownBuddy(const UpDownState& state, const char* buddyText, int32_t* position);

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
