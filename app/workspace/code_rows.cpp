#include "code_rows.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "image_compare.h"
#include "shift_jis.h"
#include "value_edit.h"
#include "value_labels.h"

// The value columns are titled as the dialog labels its fields.
const CodeColumnInfo kCodeColumns[kCodeColumnCount] = {
    {"番号", CellAlignment::Right, ColumnOrder::ByCode},
    {"16進", CellAlignment::Right, ColumnOrder::ByCode},
    {"文字", CellAlignment::Left, ColumnOrder::ByText},
    {ValueFieldLabel(0), CellAlignment::Right, ColumnOrder::ByValue},
    {ValueFieldLabel(1), CellAlignment::Right, ColumnOrder::ByValue},
    {ValueFieldLabel(2), CellAlignment::Right, ColumnOrder::ByValue},
    {ValueFieldLabel(3), CellAlignment::Right, ColumnOrder::ByValue},
    {ValueFieldLabel(4), CellAlignment::Right, ColumnOrder::ByValue},
    {"役割", CellAlignment::Left, ColumnOrder::ByText},
};

const char* const kClassFilterNames[kClassFilterCount] = {"すべて", "全角", "半角カナ", "半角英数",
                                                          "その他"};

namespace {

ClassFilter ClassOfRole(CodeRole role) {
  switch (role) {
    case CodeRole::FullWidth:
    case CodeRole::FullWidthCleared:
    case CodeRole::HalfOfFullWidth: return ClassFilter::FullWidth;
    case CodeRole::HalfKanaMetrics:
    case CodeRole::HalfKana: return ClassFilter::HalfKana;
    case CodeRole::HalfAlnum: return ClassFilter::HalfAlnum;
    case CodeRole::None: break;
  }
  return ClassFilter::None;
}

// The character column in the host's encoding (the Windows build's texts are code
// page 932, as its -fexec-charset says): the shared rule's character, which in code
// page 932 is the code's own byte.
std::string CharacterCell(uint8_t code) {
#ifdef _WIN32
  if (VisibleCharacterOfCode(code) < 0) return std::string();
  return std::string(1, static_cast<char>(code));
#else
  return DisplayedCharacter(code);
#endif
}

// The value fields' texts and the values behind them; nothing changed yet.
void FillRow(const uint8_t* image, uint8_t code, CodeRow* row) {
  RecordTexts texts;
  FormatRecordFields(image, code, &texts);
  row->cells[kDecimalColumn] = std::to_string(code);
  row->cells[kHexColumn] = HexCode(code);
  row->cells[kCharacterColumn] = CharacterCell(code);
  for (uint32_t i = 0; i < kEditedValueCount; ++i) {
    row->cells[kFirstValueColumn + i] = texts.field[i];
    row->values[i] = ReadRecordValue(image, code, kFirstEditedValue + i);
    row->changed[i] = false;
    row->pending[i] = false;
  }
  row->cells[kRoleColumn] = RoleText(code);
}

// Marks what differs between from and to as changed (or pending): the edited values
// of each record and the line spacing; the other record values and the header
// bytes have no cell.
void MarkDifferences(const uint8_t* from, const uint8_t* to, bool pending, CodeRows* rows) {
  for (const Difference& difference : CompareImages(from, to)) {
    if (difference.kind == DifferenceKind::LineSpacing) {
      (pending ? rows->lineSpacingPending : rows->lineSpacingChanged) = true;
    }
    if (difference.kind != DifferenceKind::RecordValue) continue;
    if (difference.value < kFirstEditedValue) continue;
    const uint32_t value = difference.value - kFirstEditedValue;
    if (value >= kEditedValueCount) continue;
    CodeRow& row = rows->rows[difference.code];
    (pending ? row.pending : row.changed)[value] = true;
  }
}

// The character at text[*at], in the host's encoding; moves *at past it.
uint32_t NextCharacter(const std::string& text, size_t* at) {
#ifdef _WIN32
  size_t length = 1;
  const int32_t character = CharacterOfShiftJis(text.c_str() + *at, &length);
  *at += length;
  return character < 0 ? kNoCharacterMark : static_cast<uint32_t>(character);
#else
  uint32_t character = 0;
  const size_t length = DecodeUtf8(text.c_str() + *at, &character);
  *at += length == 0 ? 1 : length;
  return length == 0 ? 0xFFFD : character;  // a stray byte shows as one mark
#endif
}

double TextAdvance(const std::string& text, const CharacterAdvance& advance) {
  double sum = 0;
  for (size_t at = 0; at < text.size();) sum += advance(NextCharacter(text, &at));
  return sum;
}

size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (size_t at = 0; at < text.size(); ++count) NextCharacter(text, &at);
  return count;
}

}  // namespace

bool RowInClass(uint8_t code, ClassFilter filter) {
  return filter == ClassFilter::All || ClassOfRole(RoleOfCode(code)) == filter;
}

const char* RoleText(uint8_t code) {
  switch (RoleOfCode(code)) {
    case CodeRole::FullWidth: return "全角の寸法";
    case CodeRole::FullWidthCleared: return "全角で0に";
    case CodeRole::HalfOfFullWidth: return "全角の幅の半分";
    case CodeRole::HalfKanaMetrics: return "半角カナの寸法";
    case CodeRole::HalfKana: return "半角カナ";
    case CodeRole::HalfAlnum: return "半角英数";
    case CodeRole::None: break;
  }
  return "";
}

void FillCodeRows(const uint8_t* image, const uint8_t* before, CodeRows* rows,
                  const uint8_t* pending) {
  const uint8_t* shown = pending ? pending : image;
  for (int code = 0; code < kCodeCount; ++code) {
    FillRow(shown, static_cast<uint8_t>(code), &rows->rows[code]);
  }
  RecordTexts texts;
  FormatRecordFields(shown, 0, &texts);
  rows->lineSpacingText =
      std::string(ValueFieldLabel(kLineSpacingField)) + " " + texts.field[kLineSpacingField];
  rows->lineSpacingChanged = false;
  rows->lineSpacingPending = false;
  if (before) MarkDifferences(before, image, false, rows);
  if (pending) MarkDifferences(image, pending, true, rows);
}

bool CodeRowSortsBefore(const CodeRows& rows, int column, uint8_t a, uint8_t b) {
  const CodeRow& rowA = rows.rows[a];
  const CodeRow& rowB = rows.rows[b];
  switch (kCodeColumns[column].order) {
    case ColumnOrder::ByValue: {
      const double x = rowA.values[column - kFirstValueColumn];
      const double y = rowB.values[column - kFirstValueColumn];
      if (std::isnan(x) != std::isnan(y)) return std::isnan(y);
      if (!std::isnan(x) && x != y) return x < y;
      break;
    }
    case ColumnOrder::ByText: {
      const int order = rowA.cells[column].compare(rowB.cells[column]);
      if (order != 0) return order < 0;
      break;
    }
    case ColumnOrder::ByCode: break;
  }
  return a < b;
}

const std::string& WidestCellText(const CodeRows& rows, int column,
                                  const CharacterAdvance& advance) {
  const std::string* widest = &rows.rows[0].cells[column];
  double widestAdvance = TextAdvance(*widest, advance);
  for (const CodeRow& row : rows.rows) {
    const double rowAdvance = TextAdvance(row.cells[column], advance);
    if (rowAdvance > widestAdvance) widest = &row.cells[column], widestAdvance = rowAdvance;
  }
  return *widest;
}

size_t MostCharactersInColumn(const CodeRows& rows, int column) {
  size_t most = 0;
  for (const CodeRow& row : rows.rows) most = std::max(most, CharacterCount(row.cells[column]));
  return most;
}
