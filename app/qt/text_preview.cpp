#include "text_preview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

#include "control_tips.h"
#include "dialog_layout.h"
#include "metrics_format.h"
#include "preview_font.h"

namespace {

constexpr int kGlyphCacheLimit = 4096;

QColor ColorOf(PreviewInk ink) {
  const PreviewColor color = PreviewColorOf(ink);
  return QColor(color.red, color.green, color.blue, color.alpha);
}

// The whole pixels a box covers within area (PixelsOfBox), as a Qt rectangle.
QRect PixelRect(const PreviewRect& box, const QRect& area) {
  const PixelArea pixels =
      PixelsOfBox(box, {area.left(), area.top(), area.right() + 1, area.bottom() + 1});
  if (IsEmptyArea(pixels)) return QRect();
  return QRect(pixels.left, pixels.top, pixels.right - pixels.left, pixels.bottom - pixels.top);
}

// The outline as a Qt path in its own units, filled by its own rule.
QPainterPath PathOfOutline(const GlyphOutline& outline) {
  QPainterPath path;
  path.setFillRule(outline.evenOdd ? Qt::OddEvenFill : Qt::WindingFill);
  const auto point = [](const OutlinePoint& p) {
    return QPointF(static_cast<qreal>(p.x), static_cast<qreal>(p.y));
  };
  for (const OutlineCommand& command : outline.commands) {
    const OutlinePoint* p = command.points;
    switch (command.verb) {
      case OutlineVerb::MoveTo: path.moveTo(point(p[0])); break;
      case OutlineVerb::LineTo: path.lineTo(point(p[0])); break;
      case OutlineVerb::ConicTo: path.quadTo(point(p[0]), point(p[1])); break;
      case OutlineVerb::CubicTo: path.cubicTo(point(p[0]), point(p[1]), point(p[2])); break;
    }
  }
  return path;
}

}  // namespace

PreviewCanvas::PreviewCanvas(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

PreviewCanvas::~PreviewCanvas() { CloseFontFace(&face_); }

bool PreviewCanvas::UseFont(const std::string& font, int pixelSize, std::string* failure) {
  CloseFontFace(&face_);
  glyphs_.clear();
  drawings_.clear();
  update();
  const FontOpenResult opened = OpenFontFace(font, &face_);
  if (opened.status != FontOpenStatus::Opened) {
    *failure = FontOpenFailureReason(opened);
    return false;
  }
  const int sizeError = SetFontPixelSize(face_, pixelSize);
  if (sizeError != 0) {
    *failure = "cannot be drawn at " + std::to_string(pixelSize) +
               " px: " + FontLibraryErrorText(sizeError);
    CloseFontFace(&face_);
    return false;
  }
  return true;
}

void PreviewCanvas::ShowLayout(TextLayout layout, std::string utf8,
                               const std::bitset<kCodeCount>& pendingCodes) {
  layout_ = std::move(layout);
  utf8_ = std::move(utf8);
  pendingCodes_ = pendingCodes;
  FitAndRedraw();
}

void PreviewCanvas::SetOptions(const PreviewOptions& options) {
  options_ = options;
  options_.zoom = std::clamp(options_.zoom, 1, kMaxPreviewZoom);
  FitAndRedraw();
}

// The widget takes the zoomed canvas's size, so that the scroll area scrolls it.
void PreviewCanvas::FitAndRedraw() {
  PreviewPlanOptions planOptions;
  planOptions.frames = options_.outlines;
  planOptions.grid = options_.grid;
  planOptions.pendingCodes = pendingCodes_;
  plan_ = PlanPreview(layout_, planOptions);
  // The minimum first: a smaller zoom shrinks the widget, and with it the scroll.
  setMinimumSize(CanvasSize() * options_.zoom);
  resize(minimumSize());
  update();
}

QSize PreviewCanvas::CanvasSize() const { return QSize(plan_.canvasWidth, plan_.canvasHeight); }

void PreviewCanvas::paintEvent(QPaintEvent* event) {
  const int zoom = options_.zoom;
  const QRect exposed = event->rect();
  const QRect area = QRect(QPoint(exposed.left() / zoom, exposed.top() / zoom),
                           QPoint(exposed.right() / zoom, exposed.bottom() / zoom))
                         .intersected(QRect(QPoint(0, 0), CanvasSize()));
  QPainter painter(this);
  painter.fillRect(exposed, palette().color(QPalette::Base));
  if (area.isEmpty()) return;
  // Drawn at 1x and scaled by whole pixels without smoothing: each layout pixel is
  // a crisp zoom x zoom block.
  painter.drawImage(QRect(area.topLeft() * zoom, area.size() * zoom), Render(area));
}

QImage PreviewCanvas::Render(const QRect& area) {
  QImage image(area.size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.translate(-area.topLeft());
  DrawGrid(painter, area);
  for (const PreviewBox& box : plan_.boxes) {
    const QRect pixels = PixelRect(box.rect, area);
    if (pixels.isEmpty()) continue;
    if (box.filled) painter.fillRect(pixels, ColorOf(PreviewInk::PlaceholderFill));
    if (box.drawsCharacter) DrawGlyph(painter, box);
    if (box.drawsFrame) {
      painter.setPen(
          QPen(ColorOf(box.frameInk), 1, box.dashedFrame ? Qt::DashLine : Qt::SolidLine));
      painter.drawRect(pixels.adjusted(0, 0, -1, -1));
    }
  }
  return image;
}

// The character's outline with its ink box on the box, antialiased as a font
// renderer draws it; nothing for a character the font lacks. Each drawing is kept
// by character, box size and place within a pixel, and copied where they recur,
// which draws the same pixels as filling the outline there.
void PreviewCanvas::DrawGlyph(QPainter& painter, const PreviewBox& box) {
  if (face_.data == nullptr) return;
  const uint32_t character = CharacterOfBox(box, utf8_);
  const QPoint corner(static_cast<int>(std::floor(box.rect.x)) - 1,
                      static_cast<int>(std::floor(box.rect.y)) - 1);
  const PreviewRect within = {box.rect.x - corner.x(), box.rect.y - corner.y(), box.rect.width,
                              box.rect.height};
  const QString key = QString::number(character) + QLatin1Char(' ') +
                      QString::number(within.x, 'g', 17) + QLatin1Char(' ') +
                      QString::number(within.y, 'g', 17) + QLatin1Char(' ') +
                      QString::number(within.width, 'g', 17) + QLatin1Char(' ') +
                      QString::number(within.height, 'g', 17);
  auto found = drawings_.constFind(key);
  if (found == drawings_.constEnd()) {
    if (drawings_.size() >= kGlyphCacheLimit) drawings_.clear();
    found = drawings_.insert(key, DrawnGlyph(GlyphOf(character), within));
  }
  if (!found->isNull()) painter.drawImage(corner, *found);
}

// The glyph with its ink on the box within, in an image one pixel larger on every
// side than the box for the antialiased edge; a null image when nothing is drawn.
QImage PreviewCanvas::DrawnGlyph(const Glyph& glyph, const PreviewRect& within) {
  InkTransform ink;
  if (!glyph.drawable || !MapInkToBox(glyph.ink, within, &ink)) return QImage();
  QImage image(static_cast<int>(std::ceil(within.x + within.width)) + 1,
               static_cast<int>(std::ceil(within.y + within.height)) + 1,
               QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setTransform(QTransform(ink.scaleX, 0, 0, ink.scaleY, ink.offsetX, ink.offsetY));
  painter.fillPath(glyph.path, Qt::black);
  return image;
}

const PreviewCanvas::Glyph& PreviewCanvas::GlyphOf(uint32_t character) {
  auto found = glyphs_.constFind(character);
  if (found != glyphs_.constEnd()) return *found;
  if (glyphs_.size() >= kGlyphCacheLimit) glyphs_.clear();
  const PreviewGlyph loaded = LoadPreviewGlyph(face_, character);
  return *glyphs_.insert(character,
                         Glyph{loaded.drawable, PathOfOutline(loaded.outline), loaded.ink});
}

// The plan's grid lines that cross area, across its whole width.
void PreviewCanvas::DrawGrid(QPainter& painter, const QRect& area) {
  for (const PreviewLine& line : plan_.lines) {
    if (line.y < area.top() - 1 || line.y > area.bottom() + 1) continue;
    painter.setPen(QPen(ColorOf(line.ink), 1, line.dashed ? Qt::DashLine : Qt::SolidLine));
    const int y = static_cast<int>(line.y);
    painter.drawLine(area.left(), y, area.right(), y);
  }
}

TextPreview::TextPreview(QWidget* parent)
    : QWidget(parent),
      sample_(new QPlainTextEdit(QString::fromUtf8(kDefaultSampleText), this)),
      outlines_(new QCheckBox(QStringLiteral("枠線"), this)),
      grid_(new QCheckBox(QStringLiteral("行の基準線"), this)),
      zoom_(new QSpinBox(this)),
      font_(new QComboBox(this)),
      fontNote_(new QLabel(this)),
      scroll_(new QScrollArea(this)),
      canvas_(new PreviewCanvas(this)) {
  sample_->setTabChangesFocus(true);
  sample_->setAccessibleName(QStringLiteral("見本の文"));
  canvas_->setAccessibleName(QStringLiteral("プレビュー"));
  canvas_->setAccessibleDescription(
      QStringLiteral("The sample text laid out with the file's values."));
  zoom_->setAccessibleName(QStringLiteral("拡大"));
  sample_->setFixedHeight(sample_->fontMetrics().height() * 3 + 10);
  outlines_->setChecked(true);
  zoom_->setRange(1, kMaxPreviewZoom);
  zoom_->setValue(PreviewOptions().zoom);
  zoom_->setSuffix(QStringLiteral("x"));
  scroll_->setWidget(canvas_);
  scroll_->setBackgroundRole(QPalette::Base);

  auto* options = new QHBoxLayout;
  options->addWidget(outlines_);
  options->addWidget(grid_);
  options->addStretch();
  options->addWidget(new QLabel(QStringLiteral("拡大"), this));
  options->addWidget(zoom_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(sample_);
  layout->addLayout(BuildFontRow());
  layout->addLayout(options);
  layout->addWidget(scroll_, 1);

  connect(sample_, &QPlainTextEdit::textChanged, this, [this] { Refresh(); });
  connect(outlines_, &QCheckBox::toggled, this, [this] { ApplyOptions(); });
  connect(grid_, &QCheckBox::toggled, this, [this] { ApplyOptions(); });
  connect(zoom_, &QSpinBox::valueChanged, this, [this] { ApplyOptions(); });
  ApplyOptions();
}

// プレビューのフォント: the installed families and the font files picked, first the
// dialog's own family; a note says why the font chosen draws nothing.
QLayout* TextPreview::BuildFontRow() {
  font_->setAccessibleName(QStringLiteral("プレビューのフォント"));
  // English names, as the dialog's font families are named; a font measured from
  // under another name is added when it is chosen.
  for (const std::string& family : InstalledFontFamilies("en")) {
    font_->addItem(QString::fromStdString(family));
  }
  for (const std::string& family : DialogFontFamilies()) {
    const int index = font_->findText(QString::fromStdString(family), Qt::MatchFixedString);
    if (index < 0) continue;
    font_->setCurrentIndex(index);
    break;
  }
  auto* pick = new QPushButton(QStringLiteral("ファイル..."), this);
  fontNote_->setTextFormat(Qt::PlainText);
  auto* row = new QHBoxLayout;
  row->addWidget(new QLabel(QStringLiteral("プレビューのフォント"), this));
  row->addWidget(font_, 1);
  row->addWidget(pick);
  row->addWidget(fontNote_);
  // Tab goes from the sample text to the font, as the rows are laid out.
  setTabOrder(sample_, font_);
  setTabOrder(font_, pick);
  connect(font_, &QComboBox::currentIndexChanged, this, [this] { ApplyFont(); });
  connect(pick, &QPushButton::clicked, this, [this] { PickFontFile(); });
  font_->setToolTip(QString::fromUtf8(WorkspaceControlTip(WorkspaceControl::PreviewFont)));
  pick->setToolTip(QString::fromUtf8(WorkspaceControlTip(WorkspaceControl::PreviewFontFile)));
  ApplyFont();
  return row;
}

// A font file instead of a family: added to the list by its path and chosen.
void TextPreview::PickFontFile() {
  const QString path = QFileDialog::getOpenFileName(
      this, QStringLiteral("フォントファイル"), QString(),
      QStringLiteral("フォント (*.ttf *.otf *.ttc *.otc *.pfb *.woff);;すべて (*)"));
  if (!path.isEmpty()) font_->setCurrentIndex(FontIndex(path));
}

// The list's entry of font, added when it has none.
int TextPreview::FontIndex(const QString& font) {
  int index = font_->findText(font);
  if (index < 0) {
    font_->addItem(font);
    index = font_->count() - 1;
  }
  return index;
}

void TextPreview::SetMeasuredFont(const std::string& font, int pixelSize) {
  if (font == measuredFont_ && pixelSize == measuredSize_) return;
  measuredFont_ = font;
  measuredSize_ = pixelSize;
  {
    const QSignalBlocker quiet(font_);
    font_->setCurrentIndex(FontIndex(QString::fromStdString(font)));
  }
  ApplyFont();
}

// The font measured from is loaded at the size measured at, so that each glyph is
// the font's own outline at that size; any other font at kOutlineSize.
void TextPreview::ApplyFont() {
  const std::string font = font_->currentText().toStdString();
  std::string failure = "no font is installed";
  if (!font.empty()) {
    const int size = font == measuredFont_ ? measuredSize_ : kOutlineSize;
    if (canvas_->UseFont(font, size, &failure)) failure.clear();
  }
  fontNote_->setText(failure.empty() ? QString()
                                     : QString::fromStdString(failure + ": boxes only"));
}

void TextPreview::ShowImage(const uint8_t* image) {
  if (image) {
    image_.assign(image, image + kMetricsImageSize);
  } else {
    image_.clear();
  }
  pending_.clear();
  pendingCodes_.reset();
  Refresh();
}

void TextPreview::ShowPending(const uint8_t* pending, const std::bitset<kCodeCount>& codes) {
  if (pending) {
    pending_.assign(pending, pending + kMetricsImageSize);
  } else {
    pending_.clear();
  }
  pendingCodes_ = pending ? codes : std::bitset<kCodeCount>();
  Refresh();
}

void TextPreview::Refresh() {
  if (image_.empty()) {
    canvas_->ShowLayout(TextLayout(), std::string());
    return;
  }
  std::string utf8 = sample_->toPlainText().toStdString();
  const uint8_t* image = pending_.empty() ? image_.data() : pending_.data();
  TextLayout layout = LayOutUtf8Text(image, utf8.data(), utf8.size());
  canvas_->ShowLayout(std::move(layout), std::move(utf8), pendingCodes_);
}

void TextPreview::ApplyOptions() {
  PreviewOptions options;
  options.outlines = outlines_->isChecked();
  options.grid = grid_->isChecked();
  options.zoom = zoom_->value();
  canvas_->SetOptions(options);
}

void SetPreviewTips(TextPreview* preview) {
  const std::pair<QWidget*, WorkspaceControl> tips[] = {
      {preview->sampleText(), WorkspaceControl::SampleText},
      {preview->outlinesBox(), WorkspaceControl::Outlines},
      {preview->gridBox(), WorkspaceControl::Grid},
      {preview->zoomBox(), WorkspaceControl::Zoom},
  };
  for (const auto& [widget, control] : tips)
    widget->setToolTip(QString::fromUtf8(WorkspaceControlTip(control)));
}
