#include "text_preview.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QSpinBox>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

#include "control_tips.h"
#include "dialog_layout.h"
#include "metrics_format.h"
#include "qt_dialog.h"

const char kDefaultSampleText[] = "漢字かなｶﾅ Abc 123";

namespace {

constexpr int kGlyphCacheLimit = 4096;
constexpr int kMaxZoom = 8;

QColor ColorOf(PreviewInk ink) {
  const PreviewColor color = PreviewColorOf(ink);
  return QColor(color.red, color.green, color.blue, color.alpha);
}

// The whole pixels a box covers within area (at least one pixel each way, so that
// a box of no width still shows as a line), or an empty rectangle when it lies
// outside. Clamping first keeps far-off coordinates from overflowing an int.
QRect PixelRect(const QRectF& box, const QRect& area) {
  const double left = area.left() - 2, right = area.right() + 3;
  const double top = area.top() - 2, bottom = area.bottom() + 3;
  if (box.right() < left || box.left() > right || box.bottom() < top || box.top() > bottom) {
    return QRect();
  }
  const auto pixel = [](double value, double low, double high) {
    return static_cast<int>(std::lround(std::clamp(value, low, high)));
  };
  const int x0 = pixel(box.left(), left, right), x1 = pixel(box.right(), left, right);
  const int y0 = pixel(box.top(), top, bottom), y1 = pixel(box.bottom(), top, bottom);
  return QRect(QPoint(x0, y0), QPoint(std::max(x1, x0 + 1) - 1, std::max(y1, y0 + 1) - 1));
}

}  // namespace

PreviewCanvas::PreviewCanvas(QWidget* parent)
    : QWidget(parent), font_(DialogFont(kMainDialogFrame)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void PreviewCanvas::ShowLayout(TextLayout layout, std::string utf8) {
  layout_ = std::move(layout);
  utf8_ = std::move(utf8);
  FitAndRedraw();
}

void PreviewCanvas::SetOptions(const PreviewOptions& options) {
  options_ = options;
  options_.zoom = std::clamp(options_.zoom, 1, kMaxZoom);
  FitAndRedraw();
}

// The widget takes the zoomed canvas's size, so that the scroll area scrolls it.
void PreviewCanvas::FitAndRedraw() {
  PreviewPlanOptions planOptions;
  planOptions.frames = options_.outlines;
  planOptions.grid = options_.grid;
  plan_ = PlanPreview(layout_, planOptions);
  resize(CanvasSize() * options_.zoom);
  setMinimumSize(size());
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
    const QRectF exact(box.rect.x, box.rect.y, box.rect.width, box.rect.height);
    const QRect pixels = PixelRect(exact, area);
    if (pixels.isEmpty()) continue;
    if (box.filled) painter.fillRect(pixels, ColorOf(PreviewInk::PlaceholderFill));
    if (box.drawsCharacter) DrawGlyph(painter, box, exact.toRect());
    if (box.drawsFrame) {
      painter.setPen(ColorOf(box.frameInk));
      painter.drawRect(pixels.adjusted(0, 0, -1, -1));
    }
  }
  return image;
}

// The glyph's advance and line height scaled to the box: the character fills it.
void PreviewCanvas::DrawGlyph(QPainter& painter, const PreviewBox& box, const QRect& rect) {
  if (rect.width() < 1 || rect.height() < 1) return;
  const QString text =
      QString::fromUtf8(utf8_.data() + box.textOffset, static_cast<qsizetype>(box.textLength));
  const QString key = text + QLatin1Char(' ') + QString::number(rect.width()) + QLatin1Char('x') +
                      QString::number(rect.height());
  auto found = glyphs_.constFind(key);
  if (found == glyphs_.constEnd()) {
    if (glyphs_.size() >= kGlyphCacheLimit) glyphs_.clear();
    QImage glyph(rect.size(), QImage::Format_ARGB32_Premultiplied);
    glyph.fill(Qt::transparent);
    QFont font = font_;
    font.setPixelSize(rect.height());
    const QFontMetricsF metrics(font);
    const qreal advance = metrics.horizontalAdvance(text);
    if (advance > 0) {
      QPainter glyphPainter(&glyph);
      glyphPainter.setRenderHint(QPainter::TextAntialiasing);
      glyphPainter.setFont(font);
      glyphPainter.setPen(Qt::black);
      glyphPainter.scale(rect.width() / advance, rect.height() / metrics.height());
      glyphPainter.drawText(QPointF(0, metrics.ascent()), text);
    }
    found = glyphs_.insert(key, glyph);
  }
  painter.drawImage(rect.topLeft(), *found);
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
  zoom_->setRange(1, kMaxZoom);
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
  layout->addLayout(options);
  layout->addWidget(scroll_, 1);

  connect(sample_, &QPlainTextEdit::textChanged, this, [this] { Refresh(); });
  connect(outlines_, &QCheckBox::toggled, this, [this] { ApplyOptions(); });
  connect(grid_, &QCheckBox::toggled, this, [this] { ApplyOptions(); });
  connect(zoom_, &QSpinBox::valueChanged, this, [this] { ApplyOptions(); });
  ApplyOptions();
}

void TextPreview::ShowImage(const uint8_t* image) {
  if (image) {
    image_.assign(image, image + kMetricsImageSize);
  } else {
    image_.clear();
  }
  Refresh();
}

void TextPreview::Refresh() {
  if (image_.empty()) {
    canvas_->ShowLayout(TextLayout(), std::string());
    return;
  }
  std::string utf8 = sample_->toPlainText().toStdString();
  TextLayout layout = LayOutUtf8Text(image_.data(), utf8.data(), utf8.size());
  canvas_->ShowLayout(std::move(layout), std::move(utf8));
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
