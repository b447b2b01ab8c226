// The Qt workspace's refresh after one change, offscreen: the table's 256 rows
// refreshed and repainted, and a 500-character preview laid out again and drawn at
// 1x whole. Each run changes the full-width width to a size not drawn just before,
// so the full-width glyphs are drawn afresh as after a real change. The same for
// the pending view's refresh after one keystroke.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPlainTextEdit>
#include <QTableView>

#include <string>
#include <vector>

#include "code_table.h"
#include "metrics_format.h"
#include "pending_change.h"
#include "text_preview.h"

namespace {

constexpr int kPreviewCharacters = 500;

std::vector<uint8_t> SampleImage() {
  std::vector<uint8_t> image(kMetricsImageSize, 0);
  WriteSingle(image.data(), kLineSpacingOffset, 4);
  for (int code = 0; code < kCodeCount; ++code) {
    WriteSingle(image.data(), ValueOffset(static_cast<uint8_t>(code), Width), 12);
    WriteSingle(image.data(), ValueOffset(static_cast<uint8_t>(code), Height), 24);
    WriteSingle(image.data(), ValueOffset(static_cast<uint8_t>(code), SpacingRight), 1.5f);
  }
  WriteSingle(image.data(), ValueOffset(kFullWidthSlot, Width), 24);
  return image;
}

// The default sample text repeated to kPreviewCharacters characters.
QString LongSample() {
  const QString line = QString::fromUtf8(kDefaultSampleText);
  QString text;
  while (text.size() < kPreviewCharacters) text += line;
  return text.left(kPreviewCharacters);
}

// The table, shown, and the preview of a 500-character sample, both showing image.
struct ShownWorkspace {
  CodeTable table{nullptr};
  TextPreview preview{nullptr};

  explicit ShownWorkspace(const std::vector<uint8_t>& image) {
    table.resize(600, 480);
    table.show();
    preview.sampleText()->setPlainText(LongSample());
    table.ShowImage(image.data(), nullptr);
    preview.ShowImage(image.data());
  }

  // Repaints the table and draws the whole preview, as the screen would show them.
  void Repaint() {
    table.view()->viewport()->repaint();
    PreviewCanvas* canvas = preview.canvas();
    QImage drawn = canvas->Render(QRect(QPoint(0, 0), canvas->CanvasSize()));
    benchmark::DoNotOptimize(drawn.constBits());
  }
};

void BM_RefreshAfterChange(benchmark::State& state) {
  std::vector<uint8_t> image = SampleImage();
  std::vector<uint8_t> before = image;
  ShownWorkspace shown(image);
  int step = 0;
  for (auto _ : state) {
    before = image;
    WriteSingle(image.data(), ValueOffset(kFullWidthSlot, Width),
                16.0f + static_cast<float>(step++ % 64));
    shown.table.ShowImage(image.data(), before.data());
    shown.preview.ShowImage(image.data());
    shown.Repaint();
  }
  state.counters["boxes"] = static_cast<double>(shown.preview.canvas()->layout().boxes.size());
}
BENCHMARK(BM_RefreshAfterChange)->Unit(benchmark::kMillisecond);

// One keystroke in the width field while 半角英数 is checked: the change command's
// edit applied to a copy and compared (96 codes), the table showing the pending
// values and the preview laid out and drawn with them. Each run types another
// width, so the half-width glyphs are drawn afresh.
void BM_PendingRefreshOnKeystroke(benchmark::State& state) {
  std::vector<uint8_t> image = SampleImage();
  ShownWorkspace shown(image);
  RecordEdit edit;
  int step = 0;
  for (auto _ : state) {
    const std::string typed = std::to_string(4 + step++ % 64);
    edit.values[0] = ReadFieldText(typed.c_str());
    const PendingChange pending = PendingChangeOf(image.data(), edit, EditScope::HalfAlnum, 'A');
    shown.table.ShowPending(pending.image.data());
    shown.preview.ShowPending(pending.image.data(), pending.codes);
    shown.Repaint();
  }
  // The same counter as above: the CSV report wants one set of columns.
  state.counters["boxes"] = static_cast<double>(shown.preview.canvas()->layout().boxes.size());
}
BENCHMARK(BM_PendingRefreshOnKeystroke)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
