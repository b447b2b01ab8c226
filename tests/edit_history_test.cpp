// The undo history over a real file: each step is written with the guarded save,
// as the editor writes it, and the file's bytes are what is compared.
#include "edit_history.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "metrics_document.h"
#include "metrics_format.h"
#include "test_files.h"

namespace {

class EditHistoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    path_ = folder_.Path("history.fnt");
    WriteWholeFile(path_, Bytes(kMetricsFileSize, 0));
    ASSERT_EQ(LoadMetricsFile(doc_, path_.c_str()).status, LoadStatus::Loaded);
  }
  void TearDown() override { ReleaseMetricsFile(doc_); }

  // 'c': a change storing width into code 65, written at the time "width"; 'u':
  // undo; 'r': redo; 'o': another file opened.
  void Do(char op, float width) {
    const uint8_t* image = nullptr;
    switch (op) {
      case 'c': {
        std::vector<uint8_t> before(doc_.image, doc_.image + kMetricsImageSize);
        std::vector<uint8_t> edited = before;
        WriteSingle(edited.data(), ValueOffset(65, Width), width);
        ASSERT_EQ(SaveEditedImage(doc_, edited.data()).status, SaveStatus::Saved);
        RecordStep(history_, before.data(), doc_.image, static_cast<std::time_t>(width));
        return;
      }
      case 'u':
        image = ImageToUndo(history_);
        if (image && SaveEditedImage(doc_, image).status == SaveStatus::Saved) UndoDone(history_);
        return;
      case 'r':
        image = ImageToRedo(history_);
        if (image && SaveEditedImage(doc_, image).status == SaveStatus::Saved) RedoDone(history_);
        return;
      case 'o': ClearHistory(history_); return;
    }
  }

  float FileWidth() { return ReadSingle(ReadWholeFile(path_).data(), ValueOffset(65, Width)); }

  TempFolder folder_;
  std::string path_;
  MetricsDocument doc_;
  EditHistory history_;
};

// Each step: the operation, then the width the file holds, what can be undone and
// redone, and the time of the step an undo took back or a redo wrote again (0: none).
TEST_F(EditHistoryTest, StepsMoveTheFileBackAndForth) {
  const struct {
    char op;
    float width;
    float fileWidth;
    bool canUndo, canRedo;
    std::time_t moved;
  } kSteps[] = {
      {'c', 1, 1, true, false, 0},  {'c', 2, 2, true, false, 0}, {'u', 0, 1, true, true, 2},
      {'u', 0, 0, false, true, 1},  {'u', 0, 0, false, true, 1}, {'r', 0, 1, true, true, 1},
      {'c', 3, 3, true, false, 0},  // a change after an undo drops what could be redone
      {'r', 0, 3, true, false, 3},  {'u', 0, 1, true, true, 3},  {'o', 0, 1, false, false, 0},
      {'u', 0, 1, false, false, 0},
  };
  int i = 0;
  for (const auto& step : kSteps) {
    Do(step.op, step.width);
    EXPECT_EQ(FileWidth(), step.fileWidth) << "step " << i;
    EXPECT_EQ(CanUndo(history_), step.canUndo) << "step " << i;
    EXPECT_EQ(CanRedo(history_), step.canRedo) << "step " << i;
    const HistoryStep* moved = step.op == 'u'   ? StepUndone(history_)
                               : step.op == 'r' ? StepRedone(history_)
                                                : nullptr;
    EXPECT_EQ(moved ? moved->writtenAt : 0, step.moved) << "step " << i;
    ++i;
  }
}

TEST_F(EditHistoryTest, KeepsTheLastHundredSteps) {
  for (int width = 1; width <= static_cast<int>(kHistoryDepth) + 1; ++width) Do('c', width);
  for (size_t i = 0; i <= kHistoryDepth; ++i) Do('u', 0);
  EXPECT_EQ(FileWidth(), 1) << "the first change is older than the history";
  EXPECT_FALSE(CanUndo(history_));
}

}  // namespace
