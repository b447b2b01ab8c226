// FindValueFaults against the full-width edit: the two share one rule, so a file
// the edit wrote never fails the check.
#include "metrics_check.h"

#include <gtest/gtest.h>

#include <vector>

#include "metrics_format.h"
#include "value_edit.h"

namespace {

TEST(MetricsCheck, FullWidthEditLeavesNoFault) {
  for (const char* width : {"13", "7", "-3", "0.75", "3.4028235e38"}) {
    std::vector<uint8_t> image(kMetricsImageSize, 0);
    WriteSingle(image.data(), ValueOffset(kFullWidthClearedSlot, 3), 9);  // stale: cleared
    WriteSingle(image.data(), ValueOffset(kHalfWidthTwinSlot, 13), 9);
    RecordEdit edit;
    edit.values[0] = ReadFieldText(width);
    ApplyRecordEdit(image.data(), edit, EditScope::FullWidth, 0);
    // Only a negative width remains: in slots 16 and 21, and halved in 19 and 24.
    EXPECT_EQ(FindValueFaults(image.data()).size(), width[0] == '-' ? 4u : 0u) << width;
  }
}

}  // namespace
