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
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "control_tips.h"
#include "font_measure.h"
#include "text_preview.h"

FontMeasureDialog::FontMeasureDialog(const uint8_t* image, QWidget* parent, int selectedCode,
                                     const MeasureChoices* remembered)
    : QDialog(parent), session_(StartMeasureSession(image, remembered, selectedCode)) {
  setWindowTitle(QStringLiteral("フォントから測定"));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(BuildForm());
  // The report names the font file: shown as it is, never read as markup.
  report_ = new QLabel(this);
  report_->setTextFormat(Qt::PlainText);
  report_->setWordWrap(true);
  report_->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(report_);
  preview_ = new TextPreview(this);
  layout->addWidget(preview_, 1);
  buttons_ = new QDialogButtonBox(this);
  apply_ = buttons_->addButton(QStringLiteral("適用"), QDialogButtonBox::AcceptRole);
  apply_->setDefault(true);
  cancel_ = buttons_->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole);
  connect(buttons_, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons_, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons_);
  resize(720, 560);
  SetTips();
  Remeasure();
}

FontMeasureDialog::~FontMeasureDialog() { EndMeasureSession(session_); }

// The choices, each remeasuring at once: the font (an installed family or a file),
// the pixel size, the classes, rounding, and the classes' sample characters; the
// session's first choices.
QWidget* FontMeasureDialog::BuildForm() {
  const MeasureChoices& first = session_.choices;
  auto* form = new QWidget(this);
  auto* fields = new QFormLayout(form);
  font_ = new QComboBox(form);
  ChooseFirstFont(first.font);
  pick_ = new QPushButton(QStringLiteral("ファイル(&I)..."), form);
  auto* fontRow = new QHBoxLayout;
  fontRow->addWidget(font_, 1);
  fontRow->addWidget(pick_);
  // The label's mnemonic needs its buddy: a row of a layout gets none by itself,
  // and a label without one shows its "&".
  auto* fontLabel = new QLabel(QStringLiteral("フォント(&F)"), form);
  fontLabel->setBuddy(font_);
  fields->addRow(fontLabel, fontRow);
  size_ = new QSpinBox(form);
  size_->setRange(kMinMeasureSize, kMaxMeasureSize);
  size_->setValue(first.pixelSize);
  size_->setSuffix(QStringLiteral(" px"));
  fields->addRow(QStringLiteral("サイズ(&S)"), size_);
  fullWidth_ = new QCheckBox(QStringLiteral("全角"), form);
  halfKana_ = new QCheckBox(QStringLiteral("半角カナ"), form);
  halfAlnum_ = new QCheckBox(QStringLiteral("半角英数"), form);
  fullWidth_->setChecked(first.fullWidth);
  halfKana_->setChecked(first.halfKana);
  halfAlnum_->setChecked(first.halfAlnum);
  auto* scopeRow = new QHBoxLayout;
  for (QCheckBox* box : {fullWidth_, halfKana_, halfAlnum_}) scopeRow->addWidget(box);
  scopeRow->addStretch();
  fields->addRow(QStringLiteral("範囲"), scopeRow);
  round_ = new QCheckBox(QStringLiteral("端を整数に丸める(&R)"), form);
  round_->setChecked(first.roundEdges);
  fields->addRow(QString(), round_);
  fullWidthSample_ = new QLineEdit(QString::fromStdString(first.fullWidthSample), form);
  halfKanaSample_ = new QLineEdit(QString::fromStdString(first.halfKanaSample), form);
  for (QLineEdit* field : {fullWidthSample_, halfKanaSample_}) field->setMaxLength(2);
  fields->addRow(QStringLiteral("全角の見本"), fullWidthSample_);
  fields->addRow(QStringLiteral("半角カナの見本"), halfKanaSample_);

  connect(font_, &QComboBox::currentIndexChanged, this, [this] { Remeasure(); });
  connect(pick_, &QPushButton::clicked, this, [this] { PickFontFile(); });
  connect(size_, &QSpinBox::valueChanged, this, [this] { Remeasure(); });
  for (QCheckBox* box : {fullWidth_, halfKana_, halfAlnum_, round_}) {
    connect(box, &QCheckBox::toggled, this, [this] { Remeasure(); });
  }
  for (QLineEdit* field : {fullWidthSample_, halfKanaSample_}) {
    connect(field, &QLineEdit::textChanged, this, [this] { Remeasure(); });
  }
  return form;
}

// The families by their names in the user's language, each once. The font offered
// is the one remembered: a family when it is installed, a file by its path; else
// the dialog's own family when it is installed.
void FontMeasureDialog::ChooseFirstFont(const std::string& remembered) {
  const std::string language = QLocale().name().toLower().replace('_', '-').toStdString();
  for (const std::string& family : InstalledFontFamilies(language)) {
    font_->addItem(QString::fromStdString(family));
  }
  const QString rememberedText = QString::fromStdString(remembered);
  if (!remembered.empty() && font_->findText(rememberedText) < 0 && rememberedText.contains('/'))
    font_->addItem(rememberedText);
  int index = remembered.empty() ? -1 : font_->findText(rememberedText);
  if (index < 0)
    index = font_->findText(QFontInfo(parentWidget() ? parentWidget()->font() : font()).family());
  font_->setCurrentIndex(index >= 0 ? index : 0);
}

// What each control does, from the workspace's table of tips.
void FontMeasureDialog::SetTips() {
  const struct {
    QWidget* widget;
    WorkspaceControl control;
  } tips[] = {
      {font_, WorkspaceControl::MeasureFont},
      {pick_, WorkspaceControl::MeasureFontFile},
      {size_, WorkspaceControl::MeasureSize},
      {fullWidth_, WorkspaceControl::MeasureFullWidth},
      {halfKana_, WorkspaceControl::MeasureHalfKana},
      {halfAlnum_, WorkspaceControl::MeasureHalfAlnum},
      {round_, WorkspaceControl::MeasureRound},
      {fullWidthSample_, WorkspaceControl::MeasureFullWidthSample},
      {halfKanaSample_, WorkspaceControl::MeasureHalfKanaSample},
      {apply_, WorkspaceControl::MeasureApply},
      {cancel_, WorkspaceControl::MeasureCancel},
  };
  for (const auto& tip : tips)
    tip.widget->setToolTip(QString::fromUtf8(WorkspaceControlTip(tip.control)));
  SetPreviewTips(preview_);
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

MeasureChoices FontMeasureDialog::Choices() const {
  MeasureChoices choices;
  if (font_->count() > 0) choices.font = font_->currentText().toStdString();
  choices.pixelSize = size_->value();
  choices.fullWidth = fullWidth_->isChecked();
  choices.halfKana = halfKana_->isChecked();
  choices.halfAlnum = halfAlnum_->isChecked();
  choices.roundEdges = round_->isChecked();
  choices.fullWidthSample = fullWidthSample_->text().toStdString();
  choices.halfKanaSample = halfKanaSample_->text().toStdString();
  return choices;
}

// Measures into a fresh copy of the image and shows it; 適用 is offered only for a
// measurement that stored something.
void FontMeasureDialog::Remeasure() {
  RemeasureSession(session_, Choices());
  report_->setText(QString::fromStdString(session_.reportText));
  // The preview draws with the font measured, as it renders at the size measured.
  if (session_.face.data)
    preview_->SetMeasuredFont(session_.openedFont, session_.choices.pixelSize);
  preview_->ShowImage(session_.measured.data());
  apply_->setEnabled(session_.applyAllowed);
}
