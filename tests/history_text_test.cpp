// What the status bar says after an undo or a redo: the change named by the time
// of day it was first written.
#include "history_text.h"

#include <gtest/gtest.h>

#include <ctime>
#include <vector>

#include "metrics_format.h"

namespace {

// The moment today at hour:minute:second, local time, as the editor stamps a step.
std::time_t LocalTime(int hour, int minute, int second) {
  std::time_t now = std::time(nullptr);
  std::tm local = *std::localtime(&now);
  local.tm_hour = hour, local.tm_min = minute, local.tm_sec = second;
  local.tm_isdst = -1;
  return std::mktime(&local);
}

TEST(HistoryText, NamesTheChangeUndoneOrRedoneByItsTime) {
  const std::vector<uint8_t> image(kMetricsImageSize, 0);
  EditHistory history;
  EXPECT_EQ(HistoryMoveText(history, HistoryMove::Undone), "") << "nothing recorded";
  RecordStep(history, image.data(), image.data(), LocalTime(12, 4, 31));
  RecordStep(history, image.data(), image.data(), LocalTime(9, 0, 5));
  EXPECT_EQ(HistoryMoveText(history, HistoryMove::Undone), "") << "nothing undone yet";
  UndoDone(history);
  EXPECT_EQ(HistoryMoveText(history, HistoryMove::Undone), "元に戻しました: 09:00:05 の変更");
  UndoDone(history);
  EXPECT_EQ(HistoryMoveText(history, HistoryMove::Undone), "元に戻しました: 12:04:31 の変更");
  RedoDone(history);
  EXPECT_EQ(HistoryMoveText(history, HistoryMove::Redone), "やり直しました: 12:04:31 の変更");
}

}  // namespace
