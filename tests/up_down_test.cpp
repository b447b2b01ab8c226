// The number selector's rules as the Windows up-down control applies them.
#include "controls/up_down.h"

#include <gtest/gtest.h>

#include <string>

namespace {

UpDownState Range(int32_t lower, int32_t upper, int32_t position = 0) {
  UpDownState state;
  state.lower = lower;
  state.upper = upper;
  state.position = position;
  return state;
}

TEST(UpDownGetPosition, BuddyTexts) {
  struct Case {
    const char* name;
    const char* buddy;
    int32_t lastPosition;
    uint32_t expected;
  } cases[] = {
      {"number in range", "65", 7, 65},
      {"lower end", "0", 7, 0},
      {"upper end", "255", 7, 255},
      {"leading zero", "065", 7, 65},
      {"empty reads as 0", "", 7, 0},
      {"above the range", "256", 7, 0x10007},
      {"far above", "300", 12, 0x1000C},
      {"not a number", "A", 3, 0x10003},
      {"digits then letter", "12x", 3, 0x10003},
      {"negative", "-1", 3, 0x10003},
      {"overflow", "99999999999", 3, 0x10003},
      {"white space before", " \t\n12", 3, 12},
      {"white space only", " ", 3, 0x10003},
      {"a trailing space", "12 ", 3, 0x10003},
      {"a plus sign", "+12", 3, 12},
      {"no buddy", nullptr, 3, 0x10003},
  };
  for (const auto& c : cases) {
    UpDownState state = Range(0, 255, c.lastPosition);
    EXPECT_EQ(GetUpDownPosition(state, c.buddy), c.expected) << c.name;
  }
}

TEST(UpDownGetPosition, ValidTextBecomesTheLastPosition) {
  UpDownState state = Range(0, 255, 1);
  GetUpDownPosition(state, "200");
  EXPECT_EQ(GetUpDownPosition(state, "300"), 0x100C8u);
}

TEST(UpDownSetPosition, ClampsAndWritesTheNumber) {
  struct Case {
    const char* name;
    int32_t lower, upper, requested;
    const char* text;
  } cases[] = {
      {"inside", 0, 255, 65, "65"},
      {"below", 0, 255, -4, "0"},
      {"above", 0, 255, 300, "255"},
      {"default range runs 100 down to 0", 100, 0, 150, "100"},
  };
  for (const auto& c : cases) {
    UpDownState state = Range(c.lower, c.upper, 9);
    std::string text;
    EXPECT_EQ(SetUpDownPosition(state, c.requested, &text), 9) << c.name;
    EXPECT_EQ(text, c.text) << c.name;
  }
}

TEST(UpDownStep, ArrowsStopAtTheEnds) {
  struct Case {
    const char* name;
    int32_t lower, upper;
    const char* buddy;
    bool up;
    bool moves;
    const char* text;
  } cases[] = {
      {"up from 65", 0, 255, "65", true, true, "66"},
      {"down from 65", 0, 255, "65", false, true, "64"},
      {"up at 255", 0, 255, "255", true, false, ""},
      {"down at 0", 0, 255, "0", false, false, ""},
      {"down from empty (0)", 0, 255, "", false, false, ""},
      {"up from empty (0)", 0, 255, "", true, true, "1"},
      {"invalid buddy steps from the last position", 0, 255, "300", true, true, "11"},
      {"default range: up decreases", 100, 0, "50", true, true, "49"},
      {"default range: down at 100", 100, 0, "100", false, false, ""},
  };
  for (const auto& c : cases) {
    UpDownState state = Range(c.lower, c.upper, 10);
    std::string text;
    EXPECT_EQ(StepUpDown(state, c.buddy, c.up, &text), c.moves) << c.name;
    if (c.moves) {
      EXPECT_EQ(text, c.text) << c.name;
    }
  }
}

}  // namespace
