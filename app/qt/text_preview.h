// プレビュー: a sample text laid out with the file's metrics (see text_layout.h for
// the model). Each glyph is drawn from the outline of a font chosen for the preview
// (プレビューのフォント), its ink box stretched onto its box (MapInkToBox in
// preview_plan.h); characters without a usable record are red placeholder squares.
#pragma once

#include <QHash>
#include <QImage>
#include <QPainterPath>
#include <QWidget>

#include <bitset>
#include <cstdint>
#include <string>
#include <vector>

#include "font_face.h"
#include "preview_plan.h"
#include "text_layout.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QScrollArea;
class QSpinBox;

// The drawing: the layout at 1x, scaled up by the zoom without smoothing.
class PreviewCanvas : public QWidget {
 public:
  explicit PreviewCanvas(QWidget* parent);
  ~PreviewCanvas() override;
  // pendingCodes: the codes whose values in layout are a pending change's.
  void ShowLayout(TextLayout layout, std::string utf8,
                  const std::bitset<kCodeCount>& pendingCodes = {});
  void SetOptions(const PreviewOptions& options);
  const TextLayout& layout() const { return layout_; }
  // Draws the glyphs from font (an installed family or a font file) with its
  // outlines loaded at pixelSize. Returns false with the reason when the font cannot
  // be opened or set to that size; the boxes are then drawn without glyphs.
  bool UseFont(const std::string& font, int pixelSize, std::string* failure);

  // Draws the part area (in 1x canvas pixels) of the layout into an image of its size.
  QImage Render(const QRect& area);
  // The canvas at 1x: the layout's extent with a margin, cut to a sane size.
  QSize CanvasSize() const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  // A character's outline as a path in its 26.6 units, and its ink box.
  struct Glyph {
    bool drawable = false;
    QPainterPath path;
    InkBox ink;
  };

  void DrawGlyph(class QPainter& painter, const PreviewBox& box);
  const Glyph& GlyphOf(uint32_t character);
  static QImage DrawnGlyph(const Glyph& glyph, const PreviewRect& within);
  void DrawGrid(class QPainter& painter, const QRect& area);
  void FitAndRedraw();

  TextLayout layout_;
  std::string utf8_;
  std::bitset<kCodeCount> pendingCodes_;
  PreviewOptions options_;
  PreviewPlan plan_;                 // what layout_ shows with options_
  FontFace face_;                    // nothing open: boxes only
  QHash<uint32_t, Glyph> glyphs_;    // by character, from face_
  QHash<QString, QImage> drawings_;  // glyphs drawn, by character and box (DrawGlyph)
};

class TextPreview : public QWidget {
 public:
  explicit TextPreview(QWidget* parent);
  // Lays the sample text out again over image (null: no file).
  void ShowImage(const uint8_t* image);
  // Lays the text out with the values the change command would write now, the boxes
  // of codes (those it alters) outlined dashed; null: the image's own values again.
  void ShowPending(const uint8_t* pending, const std::bitset<kCodeCount>& codes);
  // The font the values were last measured from (an installed family or a font
  // file) and the size: chosen for the preview, whose outlines are then loaded at
  // that size, so that the glyphs are drawn as the font renders them.
  void SetMeasuredFont(const std::string& font, int pixelSize);

  QPlainTextEdit* sampleText() const { return sample_; }
  PreviewCanvas* canvas() const { return canvas_; }
  QComboBox* fontBox() const { return font_; }
  // The options' controls (枠線, 行の基準線, 拡大): the window keeps what they are set
  // to across runs.
  QCheckBox* outlinesBox() const { return outlines_; }
  QCheckBox* gridBox() const { return grid_; }
  QSpinBox* zoomBox() const { return zoom_; }

 private:
  QLayout* BuildFontRow();
  void PickFontFile();
  int FontIndex(const QString& font);
  void ApplyFont();
  void Refresh();
  void ApplyOptions();

  std::vector<uint8_t> image_;    // a copy of the image shown; empty when no file is open
  std::vector<uint8_t> pending_;  // the pending change's image drawn over it, or empty
  std::bitset<kCodeCount> pendingCodes_;
  QPlainTextEdit* sample_;
  QCheckBox* outlines_;
  QCheckBox* grid_;
  QSpinBox* zoom_;
  QComboBox* font_;
  QLabel* fontNote_;  // why the font chosen draws nothing
  std::string measuredFont_;
  int measuredSize_ = 0;
  QScrollArea* scroll_;
  PreviewCanvas* canvas_;
};

// Sets what each of preview's controls does as its tooltip, from the workspace's
// table of tips.
void SetPreviewTips(TextPreview* preview);
