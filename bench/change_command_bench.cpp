// The change command's work (read the six field texts, apply them to a copy for
// the half-width alphanumerics, write it back through the guarded save: open
// without following links, lock, compare with what was loaded, write a sibling
// with the file's owner and attributes, flush it, rename it over the file, flush
// the folder) against two baselines: a bare open, write, fsync and close of the
// same 14,632 bytes to the same file (what a save in place pays), and the floor of
// a save that cannot be torn: a bare write of a new sibling, fsync, rename and
// fsync of the folder. The save flushes with fdatasync on Linux, so the bare write
// with fdatasync is a third, stricter baseline.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
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

void BareWrite(benchmark::State& state, int (*flush)(int)) {
  std::vector<uint8_t> bytes(kMetricsFileSize, 0);
  for (auto _ : state) {
    int fd = open(BenchFile().c_str(), O_WRONLY | O_CREAT, 0666);
    if (write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) state.SkipWithError("write");
    if (flush(fd) != 0) state.SkipWithError("flush");
    close(fd);
  }
}

void BM_BareWrite(benchmark::State& state) { BareWrite(state, fsync); }
void BM_BareWriteDatasync(benchmark::State& state) { BareWrite(state, fdatasync); }
BENCHMARK(BM_BareWrite);
BENCHMARK(BM_BareWriteDatasync);

void BM_BareReplace(benchmark::State& state) {
  std::vector<uint8_t> bytes(kMetricsFileSize, 0);
  const std::string sibling = BenchFile() + ".new";
  for (auto _ : state) {
    int fd = open(sibling.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
    if (write(fd, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) state.SkipWithError("write");
    if (fsync(fd) != 0) state.SkipWithError("flush");
    close(fd);
    if (rename(sibling.c_str(), BenchFile().c_str()) != 0) state.SkipWithError("rename");
    int folder = open("/tmp", O_RDONLY | O_DIRECTORY);
    if (fsync(folder) != 0) state.SkipWithError("folder");
    close(folder);
  }
}
BENCHMARK(BM_BareReplace);

void BM_ChangeCommandHalfAlnum(benchmark::State& state) {
  MetricsDocument doc;
  if (LoadMetricsFile(doc, BenchFile().c_str()).status != LoadStatus::Loaded) state.SkipWithError("load");
  const char* fields[kValueFieldCount] = {"12", "24", "0.5", "1.5", "-1", "4"};
  std::vector<uint8_t> edited(kMetricsImageSize);
  for (auto _ : state) {
    RecordEdit edit;
    for (uint32_t i = 0; i < kEditedValueCount; ++i) edit.values[i] = ReadFieldText(fields[i]);
    edit.lineSpacing = ReadFieldText(fields[kLineSpacingField]);
    std::copy(doc.image, doc.image + kMetricsImageSize, edited.begin());
    ApplyRecordEdit(edited.data(), edit, EditScope::HalfAlnum, 0);
    if (SaveEditedImage(doc, edited.data()).status != SaveStatus::Saved)
      state.SkipWithError("save");
  }
  ReleaseMetricsFile(doc);
}
BENCHMARK(BM_ChangeCommandHalfAlnum);

}  // namespace


