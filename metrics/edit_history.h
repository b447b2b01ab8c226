// The undo history of the loaded file: each change that was written to the file is
// one step, kept as the whole image before and after it. Plain data: undoing or
// redoing writes one of these images back through the guarded save, and only a
// write that succeeded moves the history.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <vector>

// Steps kept; recording one more forgets the oldest.
constexpr size_t kHistoryDepth = 100;

struct HistoryStep {
  std::vector<uint8_t> before;  // kMetricsImageSize bytes each
  std::vector<uint8_t> after;
  std::time_t writtenAt = 0;  // when the change was first written, to name it in undo and redo
};

struct EditHistory {
  std::vector<HistoryStep> steps;  // oldest first
  size_t applied = 0;              // steps[0, applied) are in the file; the rest are redoable
};

// A change was written at writtenAt: before and after are images
// (kMetricsImageSize bytes). The steps that were undone can no longer be redone.
void RecordStep(EditHistory& history, const uint8_t* before, const uint8_t* after,
                std::time_t writtenAt);

bool CanUndo(const EditHistory& history);
bool CanRedo(const EditHistory& history);

// The image an undo (or a redo) writes; null when there is nothing to undo (redo).
const uint8_t* ImageToUndo(const EditHistory& history);
const uint8_t* ImageToRedo(const EditHistory& history);

// The step the last undo took back (the one a redo would write again), and the
// step the last redo wrote again; null when there is none.
const HistoryStep* StepUndone(const EditHistory& history);
const HistoryStep* StepRedone(const EditHistory& history);

// After that image was written: the history moves one step back (forward).
void UndoDone(EditHistory& history);
void RedoDone(EditHistory& history);

// Another file is open: nothing to undo or redo.
void ClearHistory(EditHistory& history);
