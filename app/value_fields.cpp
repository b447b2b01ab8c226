#include "value_fields.h"

#include <string>

#include "editor_state.h"
#include "error_report.h"
#include "field_text.h"
#include "resources/resource.h"
#include "shift_jis.h"
#include "value_labels.h"

namespace {

ValueMode ReadValueMode() {
  return IsButtonChecked(IDC_RELATIVE) ? ValueMode::Relative : ValueMode::Absolute;
}

// The field's text in code page 932, which the check reads. Windows gives it so;
// the other window layers give the value fields in UTF-8.
std::string CodePageText(const char* text) {
#ifdef _WIN32
  return text;
#else
  return Utf8ToShiftJis(text, kTextBufferSize - 1);
#endif
}

// Reads value field i (0-5) into *value; false, with *bad set, when its text is not
// a number.
bool ReadValueField(int i, FieldValue* value, BadField* bad) {
  // The value fields are consecutive controls, Width first and the line spacing last.
  GetDlgItemTextA(g_editor.dialog, IDC_WIDTH + i, g_textBuffer, kTextBufferSize);
  if (CheckFieldText(CodePageText(g_textBuffer).c_str(), value) == FieldTextStatus::NotANumber) {
    bad->field = i;
    bad->text = g_textBuffer;
    return false;
  }
  KeepShownValue(g_editor.shown, i, g_textBuffer, value);
  return true;
}

}  // namespace

void ShowRecord(uint8_t code) {
  if (!IsDocumentLoaded(g_document)) return;
  ShowRecordFields(g_document.image, code, &g_editor.shown);
  // The line spacing first, then Width ... OffsetY.
  SetDlgItemTextA(g_editor.dialog, IDC_LINE_SPACING, g_editor.shown.texts.field[kLineSpacingField]);
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    SetDlgItemTextA(g_editor.dialog, IDC_WIDTH + i, g_editor.shown.texts.field[i]);
  }
}

void ClearValueFields() {
  for (int id = IDC_WIDTH; id <= IDC_LINE_SPACING; ++id) SetDlgItemTextA(g_editor.dialog, id, "0");
  ForgetShownValues();
}

void ForgetShownValues() { g_editor.shown.remembered = false; }

bool ReadChangeQuietly(RecordEdit* edit, EditScope* scope, BadField* bad) {
  edit->mode = ReadValueMode();
  for (int i = 0; i < kValueFieldCount; ++i) {
    FieldValue* value = i == kLineSpacingField ? &edit->lineSpacing : &edit->values[i];
    if (!ReadValueField(i, value, bad)) return false;
  }
  *scope = ScopeFromBoxes(IsButtonChecked(IDC_SCOPE_FULLWIDTH), IsButtonChecked(IDC_SCOPE_HALFKANA),
                          IsButtonChecked(IDC_SCOPE_HALFALNUM));
  return true;
}

std::string BadFieldMessage(const BadField& bad) {
  return std::string(ValueFieldLabel(static_cast<uint32_t>(bad.field))) + ": \"" + bad.text +
         "\" is not a number";
}

bool ReadChange(RecordEdit* edit, EditScope* scope) {
  BadField bad;
  if (ReadChangeQuietly(edit, scope, &bad)) return true;
  ShowErrorMessage(BadFieldMessage(bad).c_str());
  return false;
}
