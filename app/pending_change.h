// The pending view: what the change command would write if it were clicked now,
// found by the command's own rule (the fields read as 変更 reads them, the edit
// applied to a copy of the image) and compared with the file's image. Nothing is
// written here. The front ends show the copy's values as pending in the table and
// the preview, and the summary in one line.
#pragma once

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "value_edit.h"
#include "value_fields.h"

struct PendingChange {
  bool hasBadField = false;  // a field's text is not a number: nothing is pending
  BadField badField;
  std::vector<uint8_t> image;     // what 変更 would write; empty when it would change nothing
  std::bitset<kCodeCount> codes;  // codes with an edited value (Width ... OffsetY) that changes
  int codeCount = 0;              // how many
  int valueCount = 0;             // those values
  bool lineSpacing = false;       // the line spacing changes
  // Relative mode: the fields that hold a number, and so add to the stored values.
  bool relative = false;
  bool adds[kValueFieldCount] = {};
};

// Applies edit to a copy of image (kMetricsImageSize bytes) as the change command
// does and counts the edited values and codes whose bits would differ.
PendingChange PendingChangeOf(const uint8_t* image, const RecordEdit& edit, EditScope scope,
                              uint8_t currentCode);

// Whether the table and the preview show a pending change or an error.
inline bool IsPending(const PendingChange& pending) {
  return pending.hasBadField || !pending.image.empty();
}

// The one line that says what 変更 will do: "変更: 96 コードの 480 値と行間", in
// relative mode followed by the fields that add ("（相対値: 幅, 行間 を加算）"); the
// bad field's message after "変更できません: "; "" when nothing is pending.
std::string PendingSummary(const PendingChange& pending);

// What the dialog holds that the change command reads: the six field texts, the
// scope boxes, the mode and the selected code.
struct DialogInputs {
  std::string texts[kValueFieldCount];
  bool scopeBoxes[3] = {};
  bool relative = false;
  uint8_t code = 0;
};
bool operator==(const DialogInputs& a, const DialogInputs& b);

// The inputs as they were after the last load or write: until they change, nothing
// is pending, so that the fields a change left in place (in relative mode, say) do
// not show that change again.
struct PendingView {
  bool settled = false;
  DialogInputs inputs;
};

// Takes the dialog's inputs now as the settled ones.
void SettlePendingView(PendingView* view);

// The pending change of the dialog's inputs now over the loaded document; nothing
// while no file is loaded or the inputs are the settled ones.
PendingChange ReadPendingChange(const PendingView& view);
