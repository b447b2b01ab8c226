// The value fields of the dialog and the metrics image: show a record, store the
// fields into a record, clear the fields, apply the fields with the chosen scope.
// Each does nothing when no document is loaded.
#pragma once

#include <cstdint>

// With a buffer, copies code's whole 56-byte record into it and leaves the fields
// alone. Without (nullptr), shows the line spacing and code's five values in the
// value fields.
void ShowRecord(uint8_t code, uint8_t* buffer);

// With a buffer, copies its 56 bytes over code's whole record. Without (nullptr),
// stores the five value fields into code's values 8-12, absolute or relative as
// the mode buttons say.
void StoreRecord(uint8_t code, const uint8_t* buffer);

// Sets the six value fields to "0". The image is not touched.
void ClearValueFields();

// The change command's edit: the line spacing, then the current code or the class
// of the first checked scope box, from the fields as they are now.
void ApplyEdits();
