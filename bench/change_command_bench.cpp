// The change command's work (read the six field texts, apply them to the half-width
// alphanumerics, write the file back) against a bare write of the same 14,632
// bytes to the same file, the floor any save has to pay.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "metrics_document.h"
#include "value_edit.h"

namespace {

std::string BenchFile() {
  static std::string path = [] {
    std::string p = "/tmp/quorvel-change-bench-" + std::to_string(getpid()) + ".fnt";
    std::vector<char> zeros(kMetricsFileSize, 0);
    std::FILE* file = std::fopen(p.c_str(), "wb");
    std::fwrite(zeros.data(), 1, zeros.size(), file);
    std::fclose(file);
    return p;
  }();
  return path;
}

void BM_BareWrite(benchmark::State& state) {
  std::vector<uint8_t> bytes(kMetricsFileSize, 0);
  for (auto _ : state) {
    int fd = open(BenchFile().c_str(), O_WRONLY | O_CREAT, 0666);
    if (write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) state.SkipWithError("write");
    close(fd);
  }
}
BENCHMARK(BM_BareWrite);

void BM_ChangeCommandHalfAlnum(benchmark::State& state) {
  MetricsDocument doc;
  if (LoadMetricsFile(doc, BenchFile().c_str()).status != LoadStatus::Loaded) state.SkipWithError("load");
  const char* fields[kValueFieldCount] = {"12", "24", "0.5", "1.5", "-1", "4"};
  for (auto _ : state) {
    RecordEdit edit;
    for (uint32_t i = 0; i < kEditedValueCount; ++i) edit.values[i] = ReadFieldText(fields[i]);
    edit.lineSpacing = ReadFieldText(fields[kLineSpacingField]);
    ApplyRecordEdit(doc.image, edit, EditScope::HalfAlnum, 0);
    if (SaveMetricsFile(doc, BenchFile().c_str()) != SaveStatus::Saved) state.SkipWithError("save");
  }
  ReleaseMetricsFile(doc);
}
BENCHMARK(BM_ChangeCommandHalfAlnum);

}  // namespace


