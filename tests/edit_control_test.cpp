// The selection rule of EM_SETSEL, which the control effects (memory_window_test.cpp)
// cannot read back through the window calls.
#include "controls/edit_control.h"

#include <gtest/gtest.h>

namespace {

TEST(EditSelection, SetSelClampsToTheText) {
  struct Case {
    const char* name;
    intptr_t start, end;
    size_t anchor, caret;
  } cases[] = {
      {"everything", 0, -1, 0, 4},
      {"a start of -1 leaves the caret", -1, 0, 3, 3},
      {"an end past the text", 1, 10, 1, 4},
      {"a start past the text", 10, 2, 4, 2},
      {"backwards keeps its direction", 3, 1, 3, 1},
  };
  for (const auto& c : cases) {
    EditSelection selection = SelectEditRange({1, 3}, c.start, c.end, 4);
    EXPECT_EQ(selection.anchor, c.anchor) << c.name;
    EXPECT_EQ(selection.caret, c.caret) << c.name;
  }
}

}  // namespace
