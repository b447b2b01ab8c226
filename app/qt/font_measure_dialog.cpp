#include "font_measure_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFontInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

#include "font_measure.h"
#include "metrics_format.h"
#include "text_preview.h"

namespace {

// The size offered first: the file's full-width height when it is a whole number of
// pixels that can be measured at, since a file is usually made for one size.
constexpr int kFallbackSize = 24;

int FirstSize(const uint8_t* image) {
  float height = ReadSingle(image, ValueOffset(kFullWidthSlot, Height));
  bool usable = std::isfinite(height) && height == std::floor(height) &&
                height >= kMinMeasureSize && height <= kMaxMeasureSize;
  return usable ? static_cast<int>(height) : kFallbackSize;
}

// The one character of a sample field, or 0 when it holds none or several.
uint32_t SampleCharacter(const QLineEdit* field) {
  QList<uint> characters = field->text().toUcs4();
  return characters.size() == 1 ? characters[0] : 0;
}

QString CharacterText(uint32_t character) {
  char32_t text[] = {static_cast<char32_t>(character), 0};
  return QString::fromUcs4(text, 1);
}

// "VL-Gothic-Regular.ttf: 96 codes set" and what was left, the first few by name.
QString ReportText(const MeasureReport& report) {
  constexpr size_t kLeftShown = 3;
  QString text = QString::fromStdString(report.fontFile) +
                 QStringLiteral(": %1 codes set").arg(report.setCodes.size());
  if (report.left.empty()) return text;
  text += QStringLiteral("; %1 left as they were: ").arg(report.left.size());
  for (size_t i = 0; i < report.left.size() && i < kLeftShown; ++i) {
    const LeftCode& left = report.left[i];
    text += QStringLiteral("%1code 0x%2 (%3)")
                .arg(i == 0 ? "" : ", ")
                .arg(left.code, 2, 16, QLatin1Char('0'))
                .arg(QString::fromStdString(LeftCodeReason(left)));
  }
  return report.left.size() > kLeftShown ? text + QStringLiteral(", ...") : text;
}

}  // namespace

FontMeasureDialog::FontMeasureDialog(const uint8_t* image, QWidget* parent)
    : QDialog(parent), original_(image, image + kMetricsImageSize), measured_(original_) {
  setWindowTitle(QStringLiteral("フォントから測定"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildForm());
  report_ = new QLabel(this);
  report_->setWordWrap(true);
  report_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(report_);
  preview_ = new TextPreview(this);
  layout->addWidget(preview_, 1);
  buttons_ = new QDialogButtonBox(this);
  apply_ = buttons_->addButton(QStringLiteral("適用"), QDialogButtonBox::AcceptRole);
  apply_->setDefault(true);
  buttons_->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons_);
  resize(720, 560);
  Remeasure();
}

FontMeasureDialog::~FontMeasureDialog() { CloseFontFace(&face_); }

// The choices, each remeasuring at once: the font (an installed family or a file),
// the pixel size, the classes, rounding, and the classes' sample characters.
QWidget* FontMeasureDialog::BuildForm() {
  auto* form = new QWidget(this);
  auto* fields = new QFormLayout(form);
  font_ = new QComboBox(form);
  for (const std::string& family : InstalledFontFamilies()) {
    font_->addItem(QString::fromStdString(family));
  }
  int dialogFamily =
      font_->findText(QFontInfo(parentWidget() ? parentWidget()->font() : font()).family());
  font_->setCurrentIndex(dialogFamily >= 0 ? dialogFamily : 0);
  auto* pick = new QPushButton(QStringLiteral("ファイル(&I)..."), form);
  auto* fontRow = new QHBoxLayout;
  fontRow->addWidget(font_, 1);
  fontRow->addWidget(pick);
  fields->addRow(QStringLiteral("フォント(&F)"), fontRow);
  size_ = new QSpinBox(form);
  size_->setRange(kMinMeasureSize, kMaxMeasureSize);
  size_->setValue(FirstSize(original_.data()));
  size_->setSuffix(QStringLiteral(" px"));
  fields->addRow(QStringLiteral("サイズ(&S)"), size_);
  fullWidth_ = new QCheckBox(QStringLiteral("全角"), form);
  halfKana_ = new QCheckBox(QStringLiteral("半角カナ"), form);
  halfAlnum_ = new QCheckBox(QStringLiteral("半角英数"), form);
  for (QCheckBox* box : {fullWidth_, halfKana_, halfAlnum_}) box->setChecked(true);
  auto* scopeRow = new QHBoxLayout;
  for (QCheckBox* box : {fullWidth_, halfKana_, halfAlnum_}) scopeRow->addWidget(box);
  scopeRow->addStretch();
  fields->addRow(QStringLiteral("範囲"), scopeRow);
  round_ = new QCheckBox(QStringLiteral("端を整数に丸める(&R)"), form);
  fields->addRow(QString(), round_);
  fullWidthSample_ = new QLineEdit(CharacterText(kDefaultFullWidthSample), form);
  halfKanaSample_ = new QLineEdit(CharacterText(kDefaultHalfKanaSample), form);
  for (QLineEdit* field : {fullWidthSample_, halfKanaSample_}) field->setMaxLength(2);
  fields->addRow(QStringLiteral("全角の見本"), fullWidthSample_);
  fields->addRow(QStringLiteral("半角カナの見本"), halfKanaSample_);

  connect(font_, &QComboBox::currentIndexChanged, this, [this] { Remeasure(); });
  connect(pick, &QPushButton::clicked, this, [this] { PickFontFile(); });
  connect(size_, &QSpinBox::valueChanged, this, [this] { Remeasure(); });
  for (QCheckBox* box : {fullWidth_, halfKana_, halfAlnum_, round_}) {
    connect(box, &QCheckBox::toggled, this, [this] { Remeasure(); });
  }
  for (QLineEdit* field : {fullWidthSample_, halfKanaSample_}) {
    connect(field, &QLineEdit::textChanged, this, [this] { Remeasure(); });
  }
  return form;
}

// A font file instead of a family: added to the list by its path and chosen.
void FontMeasureDialog::PickFontFile() {
  QString path = QFileDialog::getOpenFileName(
      this, QStringLiteral("フォントファイル"), QString(),
      QStringLiteral("フォント (*.ttf *.otf *.ttc *.otc *.pfb *.woff);;すべて (*)"));
  if (path.isEmpty()) return;
  int index = font_->findText(path);
  if (index < 0) {
    font_->addItem(path);
    index = font_->count() - 1;
  }
  font_->setCurrentIndex(index);
}

// Opens the font chosen unless it is the one open already.
bool FontMeasureDialog::OpenChosenFont(std::string* failure) {
  std::string chosen = font_->currentText().toStdString();
  if (chosen == openedFont_ && face_.data) return true;
  CloseFontFace(&face_);
  openedFont_ = chosen;
  FontOpenResult opened = OpenFontFace(chosen, &face_);
  if (opened.status == FontOpenStatus::Opened) return true;
  *failure = chosen + ": " + FontOpenFailureReason(opened);
  return false;
}

void FontMeasureDialog::ShowFailure(const QString& text) {
  report_->setText(text);
  measured_ = original_;
  preview_->ShowImage(measured_.data());
  apply_->setEnabled(false);
}

// Measures into a fresh copy of the image and shows it; 適用 is offered only for a
// measurement that stored something.
void FontMeasureDialog::Remeasure() {
  std::string failure;
  if (font_->count() == 0) return ShowFailure(QStringLiteral("No font is installed"));
  if (!OpenChosenFont(&failure)) return ShowFailure(QString::fromStdString(failure));
  MeasureRequest request;
  request.pixelSize = size_->value();
  request.roundEdges = round_->isChecked();
  request.fullWidth = fullWidth_->isChecked();
  request.halfKana = halfKana_->isChecked();
  request.halfAlnum = halfAlnum_->isChecked();
  request.fullWidthSample = SampleCharacter(fullWidthSample_);
  request.halfKanaSample = SampleCharacter(halfKanaSample_);
  if ((request.fullWidth && request.fullWidthSample == 0) ||
      (request.halfKana && request.halfKanaSample == 0)) {
    return ShowFailure(QStringLiteral("A sample field needs exactly one character"));
  }
  std::vector<uint8_t> image = original_;
  MeasureReport report;
  if (!MeasureIntoImage(face_, request, image.data(), &report)) {
    return ShowFailure(QStringLiteral("%1: cannot be measured at %2 px")
                           .arg(QString::fromStdString(face_.file))
                           .arg(request.pixelSize));
  }
  measured_ = image;
  report_->setText(ReportText(report));
  preview_->ShowImage(measured_.data());
  apply_->setEnabled(!report.setCodes.empty());
}
