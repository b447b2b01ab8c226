#include "edit_history.h"

#include "metrics_format.h"

void RecordStep(EditHistory& history, const uint8_t* before, const uint8_t* after,
                std::time_t writtenAt) {
  history.steps.resize(history.applied);
  if (history.steps.size() == kHistoryDepth) history.steps.erase(history.steps.begin());
  history.steps.push_back({std::vector<uint8_t>(before, before + kMetricsImageSize),
                           std::vector<uint8_t>(after, after + kMetricsImageSize), writtenAt});
  history.applied = history.steps.size();
}

bool CanUndo(const EditHistory& history) { return history.applied > 0; }

bool CanRedo(const EditHistory& history) { return history.applied < history.steps.size(); }

const uint8_t* ImageToUndo(const EditHistory& history) {
  return CanUndo(history) ? history.steps[history.applied - 1].before.data() : nullptr;
}

const uint8_t* ImageToRedo(const EditHistory& history) {
  return CanRedo(history) ? history.steps[history.applied].after.data() : nullptr;
}

const HistoryStep* StepUndone(const EditHistory& history) {
  return CanRedo(history) ? &history.steps[history.applied] : nullptr;
}

const HistoryStep* StepRedone(const EditHistory& history) {
  return CanUndo(history) ? &history.steps[history.applied - 1] : nullptr;
}

void UndoDone(EditHistory& history) {
  if (CanUndo(history)) --history.applied;
}

void RedoDone(EditHistory& history) {
  if (CanRedo(history)) ++history.applied;
}

void ClearHistory(EditHistory& history) {
  history.steps.clear();
  history.applied = 0;
}
