#include "history_text.h"

#include <ctime>

std::string HistoryMoveText(const EditHistory& history, HistoryMove move) {
  const bool undone = move == HistoryMove::Undone;
  const HistoryStep* step = undone ? StepUndone(history) : StepRedone(history);
  if (!step) return std::string();
  // std::localtime's buffer is shared; the editor asks from one thread only.
  const std::tm* local = std::localtime(&step->writtenAt);
  char time[16] = "--:--:--";
  if (local) std::strftime(time, sizeof time, "%H:%M:%S", local);
  return std::string(undone ? "元に戻しました: " : "やり直しました: ") + time + " の変更";
}
