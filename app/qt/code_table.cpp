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
#include <cmath>
#include <cstring>

#include "character_text.h"
#include "metrics_format.h"
#include "shift_jis.h"
#include "value_edit.h"

namespace {

enum Column { kDecimal, kHex, kCharacter, kFirstValue, kRole = kFirstValue + kEditedValueCount };
constexpr int kColumnCount = kRole + 1;
constexpr int kSortRole = Qt::UserRole;

const char* const kHeaders[kColumnCount] = {"番号",     "16進",     "文字",  "幅",  "高さ",
                                            "字間(左)", "字間(右)", "Y座標", "役割"};

// Filters by class, in the order of the filter box.
enum class ClassFilter { All, FullWidth, HalfKana, HalfAlnum, None };
const char* const kFilterNames[] = {"すべて", "全角", "半角カナ", "半角英数", "その他"};

const char* RoleText(CodeRole role) {
  switch (role) {
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

// The character field's text for code: empty for lead bytes and control codes.
QString CharacterText(uint8_t code) {
  const int32_t character = ShiftJisByteToUnicode(code);
  if (character < 0x20 || (character >= 0x7F && character < 0xA0)) return QString();
  const char bytes[2] = {static_cast<char>(code), '\0'};
  return ShiftJisToFieldText(bytes);
}

}  // namespace

// The rows' texts and values, computed once per image.
class CodeTableModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  // While a file stays loaded the rows are updated in place, so that the view keeps
  // its scroll position and selection.
  void ShowImage(const uint8_t* image, const uint8_t* before) {
    const bool sameRows = loaded_ && image;
    if (!sameRows) beginResetModel();
    loaded_ = image != nullptr;
    if (loaded_) {
      for (int code = 0; code < kCodeCount; ++code) FillRow(image, before, code);
    }
    if (!sameRows) {
      endResetModel();
    } else {
      emit dataChanged(index(0, 0), index(kCodeCount - 1, kColumnCount - 1));
    }
  }

  bool ValueChanged(int code, int value) const { return rows_[code].changed[value]; }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() || !loaded_ ? 0 : kCodeCount;
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : kColumnCount;
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return QVariant();
    return QString::fromUtf8(kHeaders[section]);
  }

  QVariant data(const QModelIndex& index, int role) const override {
    const int code = index.row();
    const int column = index.column();
    const Row& row = rows_[code];
    const bool isValue = column >= kFirstValue && column < kRole;
    const int value = column - kFirstValue;
    switch (role) {
      case Qt::DisplayRole: return DisplayText(code, column);
      case kSortRole:
        if (isValue) return row.values[value];
        if (column == kCharacter || column == kRole) return DisplayText(code, column);
        return code;
      case Qt::TextAlignmentRole:
        return QVariant::fromValue(column == kCharacter || column == kRole
                                       ? Qt::AlignLeft | Qt::AlignVCenter
                                       : Qt::AlignRight | Qt::AlignVCenter);
      case Qt::BackgroundRole:
        if (isValue && row.changed[value]) return QColor(255, 221, 120);
        return QVariant();
    }
    return QVariant();
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
  }

 private:
  struct Row {
    char texts[kEditedValueCount][kNumberTextSize];
    double values[kEditedValueCount];
    bool changed[kEditedValueCount];
  };

  void FillRow(const uint8_t* image, const uint8_t* before, int code) {
    Row& row = rows_[code];
    RecordTexts texts;
    FormatRecordFields(image, static_cast<uint8_t>(code), &texts);
    for (uint32_t i = 0; i < kEditedValueCount; ++i) {
      std::memcpy(row.texts[i], texts.field[i], kNumberTextSize);
      const uint32_t offset = ValueOffset(static_cast<uint8_t>(code), kFirstEditedValue + i);
      row.values[i] = ReadSingle(image, offset);
      row.changed[i] = before && std::memcmp(image + offset, before + offset, 4) != 0;
    }
  }

  QVariant DisplayText(int code, int column) const {
    switch (column) {
      case kDecimal: return QString::number(code);
      case kHex:
        return QStringLiteral("0x") + QString::number(code, 16).rightJustified(2, '0').toUpper();
      case kCharacter: return CharacterText(static_cast<uint8_t>(code));
      case kRole: return QString::fromUtf8(RoleText(RoleOfCode(static_cast<uint8_t>(code))));
    }
    return QString::fromUtf8(rows_[code].texts[column - kFirstValue]);
  }

  bool loaded_ = false;
  Row rows_[kCodeCount] = {};
};

namespace {

// Sorts values as numbers (NaN after every number, ties by code) and keeps the
// rows of the chosen class.
class CodeTableProxy : public QSortFilterProxyModel {
 public:
  using QSortFilterProxyModel::QSortFilterProxyModel;
  ClassFilter filter = ClassFilter::All;

 protected:
  bool filterAcceptsRow(int sourceRow, const QModelIndex&) const override {
    return filter == ClassFilter::All ||
           ClassOfRole(RoleOfCode(static_cast<uint8_t>(sourceRow))) == filter;
  }

  bool lessThan(const QModelIndex& left, const QModelIndex& right) const override {
    const QVariant a = left.data(kSortRole);
    const QVariant b = right.data(kSortRole);
    if (a.typeId() == QMetaType::Double) {
      const double x = a.toDouble(), y = b.toDouble();
      if (std::isnan(x) || std::isnan(y)) {
        if (std::isnan(x) != std::isnan(y)) return std::isnan(y);
      } else if (x != y) {
        return x < y;
      }
      return left.row() < right.row();
    }
    if (a.typeId() == QMetaType::QString && a.toString() != b.toString()) {
      return a.toString() < b.toString();
    }
    return left.row() < right.row();
  }
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
  const char* const kWidest[kColumnCount] = {
      "255", "0xFF", "W", "-0.000000", "-0.000000", "-0.000000", "-0.000000", "-0.000000", ""};
  const QFontMetrics metrics(view->font());
  constexpr int kPadding = 16;
  for (int column = 0; column < kColumnCount; ++column) {
    const int width = std::max(EstimatedWidth(metrics, kWidest[column]),
                               EstimatedWidth(metrics, kHeaders[column]));
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
      proxy_(new CodeTableProxy(this)),
      view_(new QTableView(this)),
      filter_(new QComboBox(this)),
      lineSpacing_(new QLabel(this)) {
  view_->setHorizontalHeader(new TableHeader(view_));
  // Rows of one fixed height, set before the model so that no row is measured.
  view_->verticalHeader()->hide();
  view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 4);
  proxy_->setSourceModel(model_);
  proxy_->setSortRole(kSortRole);
  view_->setModel(proxy_);
  SetColumnWidths(view_);
  view_->setSortingEnabled(true);
  view_->sortByColumn(kDecimal, Qt::AscendingOrder);
  view_->setSelectionBehavior(QAbstractItemView::SelectRows);
  view_->setSelectionMode(QAbstractItemView::SingleSelection);
  view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view_->setTabKeyNavigation(false);
  view_->setAccessibleName(QStringLiteral("一覧"));
  view_->setAccessibleDescription(
      QStringLiteral("Every code's values; choosing a row selects the code in the dialog."));
  filter_->setAccessibleName(QStringLiteral("分類"));

  for (const char* name : kFilterNames) filter_->addItem(QString::fromUtf8(name));
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
  QString text;
  if (image) {
    RecordTexts texts;
    FormatRecordFields(image, 0, &texts);
    text = QStringLiteral("行間 ") + QString::fromUtf8(texts.field[kLineSpacingField]);
  }
  const bool changed =
      image && before && std::memcmp(image + kLineSpacingOffset, before + kLineSpacingOffset, 4);
  lineSpacing_->setText(text);
  lineSpacing_->setStyleSheet(changed ? "background-color: rgb(255, 221, 120);" : "");
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
