// プレビュー: a sample text laid out with the file's metrics (see text_layout.h for
// the model), drawn with the dialog's Japanese font. Each glyph is scaled to fit its
// box; characters without a usable record are red placeholder squares.
#pragma once

#include <QHash>
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <string>
#include <vector>

#include "preview_plan.h"
#include "text_layout.h"

class QCheckBox;
class QPlainTextEdit;
class QScrollArea;
class QSpinBox;

struct PreviewOptions {
  bool outlines = true;
  bool grid = false;
  int zoom = 2;  // 1-8: each layout pixel is zoom x zoom screen pixels
};

// The drawing: the layout at 1x, scaled up by the zoom without smoothing.
class PreviewCanvas : public QWidget {
 public:
  explicit PreviewCanvas(QWidget* parent);
  void ShowLayout(TextLayout layout, std::string utf8);
  void SetOptions(const PreviewOptions& options);
  const TextLayout& layout() const { return layout_; }

  // Draws the part area (in 1x canvas pixels) of the layout into an image of its size.
  QImage Render(const QRect& area);
  // The canvas at 1x: the layout's extent with a margin, cut to a sane size.
  QSize CanvasSize() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  void DrawGlyph(class QPainter& painter, const PreviewBox& box, const QRect& rect);
  void DrawGrid(class QPainter& painter, const QRect& area);
  void FitAndRedraw();

  TextLayout layout_;
  std::string utf8_;
  PreviewOptions options_;
  PreviewPlan plan_;  // what layout_ shows with options_
  QFont font_;
  QHash<QString, QImage> glyphs_;  // glyph images by character and size
};

class TextPreview : public QWidget {
 public:
  explicit TextPreview(QWidget* parent);
  // Lays the sample text out again over image (null: no file).
  void ShowImage(const uint8_t* image);

  QPlainTextEdit* sampleText() const { return sample_; }
  PreviewCanvas* canvas() const { return canvas_; }
  // The options' controls (枠線, 行の基準線, 拡大): the window keeps what they are set
  // to across runs.
  QCheckBox* outlinesBox() const { return outlines_; }
  QCheckBox* gridBox() const { return grid_; }
  QSpinBox* zoomBox() const { return zoom_; }

 private:
  void Refresh();
  void ApplyOptions();

  std::vector<uint8_t> image_;  // a copy of the image shown; empty when no file is open
  QPlainTextEdit* sample_;
  QCheckBox* outlines_;
  QCheckBox* grid_;
  QSpinBox* zoom_;
  QScrollArea* scroll_;
  PreviewCanvas* canvas_;
};

// The sample text a new preview starts with: kanji, kana, half-width katakana,
// Latin letters and digits.
extern const char kDefaultSampleText[];

// Sets what each of preview's controls does as its tooltip, from the workspace's
// table of tips.
void SetPreviewTips(TextPreview* preview);
