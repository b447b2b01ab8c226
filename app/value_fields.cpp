#include "value_fields.h"

#include "editor_state.h"
#include "resources/resource.h"
#include "value_edit.h"

namespace {

ValueMode ReadValueMode() { return IsButtonChecked(IDC_RELATIVE) ? ValueMode::Relative : ValueMode::Absolute; }

FieldValue ReadField(int id) {
  GetDlgItemTextA(g_editor.dialog, id, g_textBuffer, kTextBufferSize);
  return ReadFieldText(g_textBuffer);
}

// The mode and the five values, each field read once.
RecordEdit ReadRecordEdit() {
  RecordEdit edit;
  edit.mode = ReadValueMode();
  for (uint32_t i = 0; i < kEditedValueCount; ++i) edit.values[i] = ReadField(IDC_WIDTH + i);
  return edit;
}

}  // namespace

void ShowRecord(uint8_t code) {
  if (!IsDocumentLoaded(g_document)) return;
  RecordTexts texts;
  FormatRecordFields(g_document.image, code, &texts);
  SetDlgItemTextA(g_editor.dialog, IDC_LINE_SPACING, texts.field[kLineSpacingField]);
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    SetDlgItemTextA(g_editor.dialog, IDC_WIDTH + i, texts.field[i]);
  }
}

void ClearValueFields() {
  for (int id = IDC_WIDTH; id <= IDC_LINE_SPACING; ++id) SetDlgItemTextA(g_editor.dialog, id, "0");
}

void ApplyEdits() {
  if (!IsDocumentLoaded(g_document)) return;
  RecordEdit edit = ReadRecordEdit();
  edit.lineSpacing = ReadField(IDC_LINE_SPACING);
  EditScope scope = ScopeFromBoxes(IsButtonChecked(IDC_SCOPE_FULLWIDTH), IsButtonChecked(IDC_SCOPE_HALFKANA),
                                   IsButtonChecked(IDC_SCOPE_HALFALNUM));
  ApplyRecordEdit(g_document.image, edit, scope, g_editor.currentCode[0]);
}
