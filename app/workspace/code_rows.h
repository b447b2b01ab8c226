// 一覧, the table of every code beside the dialog, as plain data: its columns, the
// texts and values of its 256 rows and of the line spacing above them, which values
// the last change altered, the class filter and the sort order. A front end maps
// these to its widgets (a QAbstractTableModel, an owner-data list view) and decides
// nothing itself.
//
// Texts are in the host's encoding, as this library is compiled: UTF-8 natively,
// code page 932 (Shift-JIS) in the Windows build, like the rest of the editor there.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "metrics_format.h"

// The columns, left to right: the code in decimal and in hexadecimal, its
// character, its five edited values (Width ... OffsetY) and its role in the class
// edits.
enum CodeColumn : int {
  kDecimalColumn,
  kHexColumn,
  kCharacterColumn,
  kFirstValueColumn,
  kRoleColumn = kFirstValueColumn + kEditedValueCount,
  kCodeColumnCount,
};

enum class CellAlignment { Left, Right };

// How a column orders its rows; ties, and the code columns, go by code.
enum class ColumnOrder { ByCode, ByText, ByValue };

struct CodeColumnInfo {
  const char* title;
  CellAlignment alignment;
  ColumnOrder order;
};
extern const CodeColumnInfo kCodeColumns[kCodeColumnCount];

// The class filter, in the order its names are offered.
enum class ClassFilter { All, FullWidth, HalfKana, HalfAlnum, None };
constexpr int kClassFilterCount = 5;
extern const char* const kClassFilterNames[kClassFilterCount];  // "すべて", "全角", ...

// True when code's row shows under filter: every row under All; under a class the
// codes whose role belongs to it (the full-width slots with their companions, the
// half-width katakana with their slots, the half-width alphanumerics); under None
// the rest.
bool RowInClass(uint8_t code, ClassFilter filter);

// What code's record is to the class edits, as the role column says it:
// "全角の寸法" for 16, "半角英数" for 0x41, "" for a code of no class.
const char* RoleText(uint8_t code);

struct CodeRow {
  std::string cells[kCodeColumnCount];    // "65", "0x41", "A", the value fields' texts, role
  double values[kEditedValueCount] = {};  // the values behind the texts, for sorting
  bool changed[kEditedValueCount] = {};   // altered by the last change: highlighted
  bool pending[kEditedValueCount] = {};   // the change command would alter it now
};

struct CodeRows {
  CodeRow rows[kCodeCount];     // by code
  std::string lineSpacingText;  // "行間 12"
  bool lineSpacingChanged = false;
  bool lineSpacingPending = false;
};

// Fills rows from image (not null: with no file there are no rows). before is the
// image before the last change, or null (nothing is highlighted, as after a load);
// a value is changed when its bits differ, so 0 -> -0 and a new NaN payload count.
// pending is the image the change command would write now, or null: the rows then
// show its values, and those whose bits differ from image's are pending.
void FillCodeRows(const uint8_t* image, const uint8_t* before, CodeRows* rows,
                  const uint8_t* pending = nullptr);

// True when code a's row sorts before code b's in column (ascending): values as
// numbers, with NaN after every number; texts by their bytes (natively the order
// of their characters); the code columns, and every tie (-0 and 0 too), by code.
bool CodeRowSortsBefore(const CodeRows& rows, int column, uint8_t a, uint8_t b);

// The advance of one character (a Unicode code point) in a front end's font, in
// any unit.
using CharacterAdvance = std::function<double(uint32_t codePoint)>;

// The text of column's widest cell, by the sum of its characters' advances: the
// one text a front end then measures whole (kerning and all) to make the column
// wide enough for every cell, without measuring 256 texts at every refresh.
// Ties go to the lowest code.
const std::string& WidestCellText(const CodeRows& rows, int column,
                                  const CharacterAdvance& advance);

// The most characters a cell of column holds: with the font's widest character,
// a bound that spares a front end measuring a column whose title is wider anyway.
size_t MostCharactersInColumn(const CodeRows& rows, int column);

// The background of a changed value and of a changed line spacing.
struct RgbColour {
  uint8_t red, green, blue;
};
constexpr RgbColour kChangedColour = {255, 221, 120};
// The background of a value the change command would alter now (see pending_change.h).
constexpr RgbColour kPendingColour = {170, 215, 255};
