#include "code_table.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

#include "code_rows.h"

namespace {

QColor ColourOf(RgbColour colour) { return QColor(colour.red, colour.green, colour.blue); }

QString BackgroundStyleSheet(RgbColour colour) {
  return QStringLiteral("background-color: rgb(%1, %2, %3);")
      .arg(colour.red)
      .arg(colour.green)
      .arg(colour.blue);
}

}  // namespace

// The rows of code_rows.h as a Qt model: one row per code, in code order.
class CodeTableModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  // While a file stays loaded the rows are updated in place, so that the view keeps
  // its scroll position and selection.
  void ShowImage(const uint8_t* image, const uint8_t* before) {
    const bool sameRows = loaded_ && image;
    if (!sameRows) beginResetModel();
    loaded_ = image != nullptr;
    image_.assign(image, image ? image + kMetricsImageSize : image);
    before_.assign(before, before ? before + kMetricsImageSize : before);
    if (loaded_) FillCodeRows(image, before, &rows_);
    if (!sameRows) {
      endResetModel();
    } else {
      emit dataChanged(index(0, 0), index(kCodeCount - 1, kCodeColumnCount - 1));
    }
  }

  // The image shown with pending's values over it, flagged (null: none pending).
  void ShowPending(const uint8_t* pending) {
    if (!loaded_) return;
    FillCodeRows(image_.data(), before_.empty() ? nullptr : before_.data(), &rows_, pending);
    emit dataChanged(index(0, 0), index(kCodeCount - 1, kCodeColumnCount - 1));
  }

  bool loaded() const { return loaded_; }
  const CodeRows& rows() const { return rows_; }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() || !loaded_ ? 0 : kCodeCount;
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : kCodeColumnCount;
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    return QString::fromUtf8(kCodeColumns[section].title);
  }

  QVariant data(const QModelIndex& index, int role) const override {
    const CodeRow& row = rows_.rows[index.row()];
    const int column = index.column();
    switch (role) {
      case Qt::DisplayRole: return QString::fromUtf8(row.cells[column]);
      case Qt::TextAlignmentRole:
        return QVariant::fromValue(kCodeColumns[column].alignment == CellAlignment::Left
                                       ? Qt::AlignLeft | Qt::AlignVCenter
                                       : Qt::AlignRight | Qt::AlignVCenter);
      case Qt::BackgroundRole: {
        const bool isValue = column >= kFirstValueColumn && column < kRoleColumn;
        if (isValue && row.pending[column - kFirstValueColumn]) return ColourOf(kPendingColour);
        if (isValue && row.changed[column - kFirstValueColumn]) return ColourOf(kChangedColour);
        return QVariant();
      }
    }
    return QVariant();
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
  }

 private:
  bool loaded_ = false;
  std::vector<uint8_t> image_, before_;  // what rows_ shows, for the pending values over it
  CodeRows rows_;
};

namespace {

// Sorts and filters by the core's rules (code_rows.h).
class CodeTableProxy : public QSortFilterProxyModel {
 public:
  CodeTableProxy(CodeTableModel* source, QObject* parent)
      : QSortFilterProxyModel(parent), source_(source) {
    setSourceModel(source);
  }
  ClassFilter filter = ClassFilter::All;

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex&) const override {
    return RowInClass(static_cast<uint8_t>(sourceRow), filter);
  }

  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
    return CodeRowSortsBefore(source_->rows(), left.column(), static_cast<uint8_t>(left.row()),
                              static_cast<uint8_t>(right.row()));
  }

 private:
  const CodeTableModel* source_;
};

// Widths from the font's character sizes rather than from every cell: measuring
// 256 rows (or even shaping the titles) at start-up would cost more than the rest
// of the window. A full-width character is as wide as the font is high; the user
// can widen any column.
int EstimatedWidth(const QFontMetrics& metrics, const char* utf8) {
  int width = 0;
  for (const QChar character : QString::fromUtf8(utf8)) {
    width += character.unicode() < 0x80 ? metrics.averageCharWidth() : metrics.height();
  }
  return width;
}

void SetColumnWidths(QTableView* view) {
  const QFontMetrics metrics(view->font());
  constexpr int kPadding = 16;
  for (int column = 0; column < kCodeColumnCount; ++column) {
    const int width = std::max(EstimatedWidth(metrics, kCodeColumns[column].widestSample),
                               EstimatedWidth(metrics, kCodeColumns[column].title));
    view->setColumnWidth(column, width + kPadding);
  }
  view->horizontalHeader()->setStretchLastSection(true);
}

// A header as high as one line of its font. QHeaderView measures every title in
// bold for its size, which loads a second Japanese font just for that.
class TableHeader : public QHeaderView {
 public:
  explicit TableHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {}
  QSize sizeHint() const override {
    constexpr int kPadding = 8;
    return QSize(length(), fontMetrics().height() + kPadding);
  }
};

}  // namespace

CodeTable::CodeTable(QWidget* parent)
    : QWidget(parent),
      model_(new CodeTableModel(this)),
      proxy_(new CodeTableProxy(model_, this)),
      view_(new QTableView(this)),
      filter_(new QComboBox(this)),
      lineSpacing_(new QLabel(this)) {
  view_->setHorizontalHeader(new TableHeader(view_));
  // Rows of one fixed height, set before the model so that no row is measured.
  view_->verticalHeader()->hide();
  view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
  view_->setModel(proxy_);
  SetColumnWidths(view_);
  view_->setSortingEnabled(true);
  view_->sortByColumn(kDecimalColumn, Qt::AscendingOrder);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setTabKeyNavigation(false);
  view_->setAccessibleName(QStringLiteral("一覧"));
  view_->setAccessibleDescription(
      QStringLiteral("Every code's values; choosing a row selects the code in the dialog."));
  filter_->setAccessibleName(QStringLiteral("分類"));
  lineSpacing_->setTextFormat(Qt::PlainText);

  for (const char* name : kClassFilterNames) filter_->addItem(QString::fromUtf8(name));
  auto* top = new QHBoxLayout;
  top->addWidget(new QLabel(QStringLiteral("分類:"), this));
  top->addWidget(filter_);
  top->addStretch();
  top->addWidget(lineSpacing_);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(view_);

  connect(filter_, &QComboBox::currentIndexChanged, this, [this](int index) {
    static_cast<CodeTableProxy*>(proxy_)->filter = static_cast<ClassFilter>(index);
    proxy_->invalidate();
    followed_.valid = false;
  });
  connect(view_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
          [this](const QModelIndex& current) {
            if (current.isValid()) ChooseRow(current.row());
          });
  connect(view_, &QAbstractItemView::clicked, this,
          [this](const QModelIndex& index) { ChooseRow(index.row()); });
}

void CodeTable::ShowImage(const uint8_t* image, const uint8_t* before) {
  following_ = true;
  model_->ShowImage(image, before);
  following_ = false;
  followed_.valid = false;  // rows may have moved or been rebuilt
  ShowLineSpacing();
}

void CodeTable::ShowPending(const uint8_t* pending) {
  following_ = true;
  model_->ShowPending(pending);
  following_ = false;
  followed_.valid = false;
  ShowLineSpacing();
}

void CodeTable::ShowLineSpacing() {
  const bool loaded = model_->loaded();
  const CodeRows& rows = model_->rows();
  lineSpacing_->setText(loaded ? QString::fromUtf8(rows.lineSpacingText) : QString());
  QString style;
  if (loaded && rows.lineSpacingPending) {
    style = BackgroundStyleSheet(kPendingColour);
  } else if (loaded && rows.lineSpacingChanged) {
    style = BackgroundStyleSheet(kChangedColour);
  }
  lineSpacing_->setStyleSheet(style);
}

void CodeTable::FollowSelection(uint8_t code, bool selectable) {
  // The dialog reports every nested notification; most change nothing here.
  if (followed_.valid && followed_.code == code && followed_.selectable == selectable) return;
  followed_ = {true, code, selectable};
  following_ = true;
  view_->setSelectionMode(selectable ? QAbstractItemView::SingleSelection
                                     : QAbstractItemView::NoSelection);
  const QModelIndex row = proxy_->mapFromSource(model_->index(code, 0));
  if (!selectable || !row.isValid()) {
    view_->clearSelection();
  } else if (view_->currentIndex().row() != row.row() ||
             !view_->selectionModel()->isRowSelected(row.row())) {
    view_->selectionModel()->setCurrentIndex(
        row, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view_->scrollTo(row);
  }
  following_ = false;
}

void CodeTable::ChooseRow(int proxyRow) {
  if (following_ || view_->selectionMode() == QAbstractItemView::NoSelection) return;
  const QModelIndex source = proxy_->mapToSource(proxy_->index(proxyRow, 0));
  if (source.isValid() && codeChosen) codeChosen(static_cast<uint8_t>(source.row()));
}
