#include "code_table.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QSortFilterProxyModel>
#include <QTableView>
#include <QVBoxLayout>

#include <QKeyEvent>
#include <QStyle>

#include <algorithm>
#include <array>
#include <cmath>
#include <unordered_map>
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
    if (orientation != Qt::Horizontal) return QVariant();
    // A column clicked for the first time sorts ascending, whatever the last one did.
    if (role == Qt::InitialSortOrderRole) return Qt::AscendingOrder;
    if (role != Qt::DisplayRole) return QVariant();
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

// The room a cell's text leaves free inside its column: the style's margins on
// either side, the grid line and a little air.
int CellPadding(const QWidget* view) {
  const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
  return 2 * margin + 1 + 4;
}

// The room a title needs beside its text: the header's margins and the sort arrow.
int TitlePadding(const QWidget* header) {
  const QStyle* style = header->style();
  const int margin = style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
  return 3 * margin + style->pixelMetric(QStyle::PM_HeaderMarkSize, nullptr, header);
}

// The widths of a font's characters, each looked up once. A text's width is the
// sum of its characters': no shaping, which at start-up would cost more than the
// rest of the table; the texts measured here (numbers, titles, roles) have no
// ligatures, and kerning only narrows them.
class CharacterWidths {
 public:
  explicit CharacterWidths(const QFont& font) : metrics_(font) { ascii_.fill(-1); }

  double Of(uint32_t codePoint) {
    if (codePoint < ascii_.size()) {
      if (ascii_[codePoint] < 0) ascii_[codePoint] = Measure(codePoint);
      return ascii_[codePoint];
    }
    auto found = others_.find(codePoint);
    if (found == others_.end()) found = others_.emplace(codePoint, Measure(codePoint)).first;
    return found->second;
  }

  // Whole pixels, rounded up.
  int OfText(const QString& text) {
    double width = 0;
    for (const char32_t character : text.toUcs4()) width += Of(character);
    return static_cast<int>(std::ceil(width));
  }

 private:
  double Measure(uint32_t codePoint) const {
    if (codePoint <= 0xFFFF)
      return metrics_.horizontalAdvance(QChar(static_cast<char16_t>(codePoint)));
    const char32_t character = codePoint;
    return metrics_.horizontalAdvance(QString::fromUcs4(&character, 1));
  }

  QFontMetricsF metrics_;
  std::array<double, 128> ascii_;
  std::unordered_map<uint32_t, double> others_;
};

// Each column as wide as its title with the sort arrow; the cells' texts then widen
// them (FitColumnsToCells). Measured from the texts themselves, never by the view
// measuring every row, which would cost more at start-up than the rest of the window.
// The last one is not stretched to the view's width: a stretched section shrinks
// with a narrow window and cuts the roles.
void FitColumnsToTitles(QTableView* view) {
  CharacterWidths widths(view->horizontalHeader()->font());
  const int padding = TitlePadding(view->horizontalHeader());
  for (int column = 0; column < kCodeColumnCount; ++column) {
    const QString title = QString::fromUtf8(kCodeColumns[column].title);
    view->setColumnWidth(column, widths.OfText(title) + padding);
  }
}

// Widens each column that is narrower than its widest cell (found by the core from
// the characters' widths), so that no value is cut; a column the user made wider
// stays so. A column whose cells would fit even if each character were the font's
// widest is not measured: every glyph measured is a glyph loaded, and at start-up
// most columns are as wide as their titles already.
void FitColumnsToCells(QTableView* view, const CodeRows& rows) {
  CharacterWidths widths(view->font());
  const CharacterAdvance advance = [&widths](uint32_t codePoint) { return widths.Of(codePoint); };
  const QFontMetricsF metrics(view->font());
  const double widestCharacter = std::max(metrics.maxWidth(), metrics.height());
  const int padding = CellPadding(view);
  for (int column = 0; column < kCodeColumnCount; ++column) {
    const double bound = MostCharactersInColumn(rows, column) * widestCharacter + padding;
    if (bound <= view->columnWidth(column)) continue;
    const QString widest = QString::fromUtf8(WidestCellText(rows, column, advance));
    const int width = widths.OfText(widest) + padding;
    if (view->columnWidth(column) < width) view->setColumnWidth(column, width);
  }
}

// A header as high as one line of its font. QHeaderView measures every title in
// bold for its size, which loads a second Japanese font just for that.
class TableHeader : public QHeaderView {
 public:
  // Clickable like a table's own header: a click sorts by that column.
  explicit TableHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
    setSectionsClickable(true);
  }
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
  FitColumnsToTitles(view_);
  view_->setSortingEnabled(true);
  view_->sortByColumn(kDecimalColumn, Qt::AscendingOrder);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setTabKeyNavigation(false);
  view_->installEventFilter(this);
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
  // After a sort the selected code's row is kept in sight (the view sorts first: it
  // connected to the header before this).
  connect(view_->horizontalHeader(), &QHeaderView::sortIndicatorChanged, this, [this] {
    if (view_->currentIndex().isValid()) view_->scrollTo(view_->currentIndex());
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
  if (loaded) FitColumnsToCells(view_, rows);
}

int CodeTable::WidthShowingAllColumns() const {
  const QMargins margins = layout()->contentsMargins();
  return view_->horizontalHeader()->length() + 2 * view_->frameWidth() +
         view_->verticalScrollBar()->sizeHint().width() + margins.left() + margins.right();
}

// Space sorts by the current cell's column (the arrow keys move it), as a click on
// its title does: ascending first, descending when pressed again.
bool CodeTable::eventFilter(QObject* watched, QEvent* event) {
  if (watched != view_ || event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if (key->key() != Qt::Key_Space || key->modifiers() != Qt::NoModifier) return false;
  SortByCurrentColumn();
  return true;
}

void CodeTable::SortByCurrentColumn() {
  const QHeaderView* header = view_->horizontalHeader();
  const int column = view_->currentIndex().isValid() ? view_->currentIndex().column()
                                                     : header->sortIndicatorSection();
  const bool again = column == header->sortIndicatorSection() &&
                     header->sortIndicatorOrder() == Qt::AscendingOrder;
  view_->sortByColumn(column, again ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void CodeTable::FollowSelection(uint8_t code, bool selectable) {
  // The dialog reports every nested notification; most change nothing here.
  if (followed_.valid && followed_.code == code && followed_.selectable == selectable) return;
  followed_ = {true, code, selectable};
  following_ = true;
  view_->setSelectionMode(selectable ? QAbstractItemView::SingleSelection
                                     : QAbstractItemView::NoSelection);
  // The current cell keeps its column, which Space sorts by.
  const int column = std::max(0, view_->currentIndex().column());
  const QModelIndex row = proxy_->mapFromSource(model_->index(code, column));
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
