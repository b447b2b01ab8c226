// The labels of the six value fields as the dialog's template has them beside the
// fields. Every text outside the dialog that names a value (a refusal of a field's
// text, a table's column titles) takes them from here.
#pragma once

#include <cstdint>

// The label of value field i (0-5: Width, Height, SpacingLeft, SpacingRight,
// OffsetY, then the line spacing): "幅", "高さ", "字間(左)", "字間(右)", "Y座標",
// "行間". In the ...A calls' encoding: code page 932 in the Windows build, UTF-8
// elsewhere.
const char* ValueFieldLabel(uint32_t field);
