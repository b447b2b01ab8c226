// 一覧: every code's values in one table, read-only. The values are the texts the
// value fields show; the values the last change altered are highlighted. Choosing
// a row asks the window to select that code in the dialog; editing stays there.
// While the dialog's fields hold a change not yet written, its values show in the
// pending colour.
// A click on a column's title, or Space in the table, sorts by that column.
#pragma once

#include <QWidget>

#include <cstdint>
#include <functional>

class QComboBox;
class QLabel;
class QSortFilterProxyModel;
class QTableView;
class CodeTableModel;

class CodeTable : public QWidget {
 public:
  explicit CodeTable(QWidget* parent);

  // Shows image (null: no file), highlighting what differs from before (null:
  // nothing, as after a load).
  void ShowImage(const uint8_t* image, const uint8_t* before);

  // Shows the values the change command would write now over the image shown, in the
  // pending colour (null: nothing pending, the image's own values).
  void ShowPending(const uint8_t* pending);

  // Marks code's row as the selected one; with selectable false (a scope box is
  // checked) no row is selected and clicks select nothing.
  void FollowSelection(uint8_t code, bool selectable);

  // Called with the code of a row the user chose.
  std::function<void(uint8_t code)> codeChosen;

  // The width that shows every column whole beside the vertical scroll bar.
  int WidthShowingAllColumns() const;

  QTableView* view() const { return view_; }
  QComboBox* classFilter() const { return filter_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void SortByCurrentColumn();
  void ChooseRow(int proxyRow);
  void ShowLineSpacing();

  CodeTableModel* model_;
  QSortFilterProxyModel* proxy_;
  QTableView* view_;
  QComboBox* filter_;
  QLabel* lineSpacing_;
  bool following_ = false;  // the selection is being set to match the dialog
  struct Followed {
    bool valid = false;
    uint8_t code = 0;
    bool selectable = false;
  } followed_;  // what the selection last matched
};
