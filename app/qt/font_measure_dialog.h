// フォントから測定: the five values of a class or of codes measured from a font
// (see font_measure.h for the model) into a copy of the document's image, shown in
// the text preview before anything is written. 適用 hands the copy back for the
// editor to write as one change; キャンセル changes nothing. The measuring itself is
// the workspace's measure session; the dialog maps its widgets to it.
#pragma once

#include <QDialog>

#include <cstdint>
#include <string>
#include <vector>

#include "measure_session.h"

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class TextPreview;

class FontMeasureDialog : public QDialog {
 public:
  // image: the document's image (kMetricsImageSize bytes), copied. The choices
  // offered are remembered (the last use's, null: none), else the class of
  // selectedCode (see StartMeasureSession).
  FontMeasureDialog(const uint8_t* image, QWidget* parent, int selectedCode = kNoSelectedCode,
                    const MeasureChoices* remembered = nullptr);
  ~FontMeasureDialog() override;

  // The image with the measured values, as the preview shows it.
  const uint8_t* measuredImage() const { return session_.measured.data(); }
  // The font file measured last ("" when none could be opened).
  const std::string& fontFile() const { return session_.face.file; }
  // The choices as last measured, to be offered again next time.
  const MeasureChoices& choices() const { return session_.choices; }
  // What the last measurement set and left.
  const MeasureReport& report() const { return session_.report; }

  QComboBox* fontBox() const { return font_; }
  QSpinBox* sizeBox() const { return size_; }
  QCheckBox* fullWidthBox() const { return fullWidth_; }
  QCheckBox* halfKanaBox() const { return halfKana_; }
  QCheckBox* halfAlnumBox() const { return halfAlnum_; }
  QCheckBox* roundBox() const { return round_; }
  QLineEdit* fullWidthSampleField() const { return fullWidthSample_; }
  QLineEdit* halfKanaSampleField() const { return halfKanaSample_; }
  QLabel* reportLabel() const { return report_; }
  TextPreview* preview() const { return preview_; }
  QPushButton* applyButton() const { return apply_; }

 private:
  QWidget* BuildForm();
  void ChooseFirstFont(const std::string& remembered);
  void SetTips();
  void PickFontFile();
  MeasureChoices Choices() const;
  void Remeasure();

  MeasureSession session_;
  QComboBox* font_;
  QSpinBox* size_;
  QCheckBox* fullWidth_;
  QCheckBox* halfKana_;
  QCheckBox* halfAlnum_;
  QCheckBox* round_;
  QLineEdit* fullWidthSample_;
  QLineEdit* halfKanaSample_;
  QLabel* report_;
  TextPreview* preview_;
  QDialogButtonBox* buttons_;
  QPushButton* apply_;
  QPushButton* pick_;
  QPushButton* cancel_;
};
