#include "pending_change.h"

#include "editor_state.h"
#include "image_compare.h"
#include "resources/resource.h"
#include "value_labels.h"

namespace {

constexpr int kScopeBoxIds[3] = {IDC_SCOPE_FULLWIDTH, IDC_SCOPE_HALFKANA, IDC_SCOPE_HALFALNUM};

DialogInputs ReadDialogInputs() {
  DialogInputs inputs;
  char text[kTextBufferSize];
  for (int i = 0; i < kValueFieldCount; ++i) {
    GetDlgItemTextA(g_editor.dialog, IDC_WIDTH + i, text, kTextBufferSize);
    inputs.texts[i] = text;
  }
  for (int i = 0; i < 3; ++i) inputs.scopeBoxes[i] = IsButtonChecked(kScopeBoxIds[i]);
  inputs.relative = IsButtonChecked(IDC_RELATIVE);
  inputs.code = g_editor.currentCode[0];
  return inputs;
}

// "幅, 高さ" for the fields that add.
std::string AddingFieldNames(const PendingChange& pending) {
  std::string names;
  for (int i = 0; i < kValueFieldCount; ++i) {
    if (!pending.adds[i]) continue;
    if (!names.empty()) names += ", ";
    names += ValueFieldLabel(static_cast<uint32_t>(i));
  }
  return names;
}

}  // namespace

PendingChange PendingChangeOf(const uint8_t* image, const RecordEdit& edit, EditScope scope,
                              uint8_t currentCode) {
  PendingChange pending;
  std::vector<uint8_t> copy(image, image + kMetricsImageSize);
  ApplyRecordEdit(copy.data(), edit, scope, currentCode);
  for (const Difference& difference : CompareImages(image, copy.data())) {
    if (difference.kind == DifferenceKind::LineSpacing) pending.lineSpacing = true;
    if (difference.kind != DifferenceKind::RecordValue) continue;
    if (difference.value < kFirstEditedValue ||
        difference.value >= kFirstEditedValue + kEditedValueCount) {
      continue;
    }
    ++pending.valueCount;
    pending.codes.set(difference.code);
  }
  pending.codeCount = static_cast<int>(pending.codes.count());
  if (pending.valueCount > 0 || pending.lineSpacing) pending.image = std::move(copy);
  pending.relative = edit.mode == ValueMode::Relative;
  for (int i = 0; i < kValueFieldCount; ++i) {
    const FieldValue& value = i == kLineSpacingField ? edit.lineSpacing : edit.values[i];
    pending.adds[i] = pending.relative && value.present;
  }
  return pending;
}

std::string PendingSummary(const PendingChange& pending) {
  if (pending.hasBadField) return "変更できません: " + BadFieldMessage(pending.badField);
  if (pending.image.empty()) return std::string();
  std::string line = "変更: ";
  if (pending.valueCount > 0) {
    line += std::to_string(pending.codeCount) + " コードの " + std::to_string(pending.valueCount) +
            " 値";
    if (pending.lineSpacing) line += "と";
  }
  if (pending.lineSpacing) line += ValueFieldLabel(kLineSpacingField);
  const std::string adding = AddingFieldNames(pending);
  if (!adding.empty()) line += "（相対値: " + adding + " を加算）";
  return line;
}

bool operator==(const DialogInputs& a, const DialogInputs& b) {
  for (int i = 0; i < kValueFieldCount; ++i) {
    if (a.texts[i] != b.texts[i]) return false;
  }
  for (int i = 0; i < 3; ++i) {
    if (a.scopeBoxes[i] != b.scopeBoxes[i]) return false;
  }
  return a.relative == b.relative && a.code == b.code;
}

void SettlePendingView(PendingView* view) {
  view->settled = true;
  view->inputs = ReadDialogInputs();
}

PendingChange ReadPendingChange(const PendingView& view) {
  if (!IsDocumentLoaded(g_document) || !g_editor.dialog) return PendingChange();
  if (view.settled && ReadDialogInputs() == view.inputs) return PendingChange();
  PendingChange pending;
  RecordEdit edit;
  EditScope scope = EditScope::CurrentCode;
  if (!ReadChangeQuietly(&edit, &scope, &pending.badField)) {
    pending.hasBadField = true;
    return pending;
  }
  return PendingChangeOf(g_document.image, edit, scope, g_editor.currentCode[0]);
}
