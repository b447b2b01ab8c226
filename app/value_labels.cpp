#include "value_labels.h"

#include "value_edit.h"

namespace {

// The literals are in the ...A calls' encoding: the compiler writes them in code
// page 932 for Windows.
constexpr const char* kValueFieldLabels[kValueFieldCount] = {"幅",       "高さ",  "字間(左)",
                                                             "字間(右)", "Y座標", "行間"};
static_assert(kLineSpacingField == kValueFieldCount - 1, "the line spacing comes last");

}  // namespace

const char* ValueFieldLabel(uint32_t field) { return kValueFieldLabels[field]; }
