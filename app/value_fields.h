// The value fields of the dialog and the metrics image: show a record, clear the
// fields, and read the fields into the change command's edit. Showing does nothing
// when no document is loaded.
#pragma once

#include <cstdint>
#include <string>

#include "value_edit.h"

// Shows the line spacing and code's five values in the value fields, and remembers
// the texts shown and the exact values behind them.
void ShowRecord(uint8_t code);

// Sets the six value fields to "0" and forgets the values shown. The image is not
// touched.
void ClearValueFields();

// Forgets the values shown: after a load they belong to another file.
void ForgetShownValues();

// The first value field, in tab order, whose text is not a number: its index (0-5)
// and its text as the field gave it.
struct BadField {
  int field = -1;
  std::string text;
};

// The change command's edit from the fields as they are now: the mode, the six
// values (a field still showing its shown text keeps its exact value) and the scope
// of the first checked box. False, with *bad set, when a field's text is not a
// number; nothing is to be stored then. Reports nothing: the change command and
// the pending view read the fields alike.
bool ReadChangeQuietly(RecordEdit* edit, EditScope* scope, BadField* bad);

// What the change command says of a bad field: `幅: "abc" is not a number`.
std::string BadFieldMessage(const BadField& bad);

// ReadChangeQuietly, reporting the bad field in a message box.
bool ReadChange(RecordEdit* edit, EditScope* scope);
