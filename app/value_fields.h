// The value fields of the dialog and the metrics image: show a record, clear the
// fields, apply the fields with the chosen scope. Showing and applying do nothing
// when no document is loaded.
#pragma once

#include <cstdint>

// Shows the line spacing and code's five values in the value fields.
void ShowRecord(uint8_t code);

// Sets the six value fields to "0". The image is not touched.
void ClearValueFields();

// The change command's edit: the line spacing, then the current code or the class
// of the first checked scope box, from the fields as they are now.
void ApplyEdits();
