// FormatNumber against std::to_chars(general, 7) and snprintf("%.7g") on values
// typical of metrics files: single-precision values widened to double.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdio>
#include <random>
#include <vector>

#include "number_format.h"

namespace {

constexpr size_t kValueCount = 1024;

enum ValueKind { kIntegers, kShortDecimals, kRandomFloats };

// Integers 0-999; short decimals like 1.5, 0.1, 12.25 (k / 10 or k / 100 stored as
// single); random singles between -1000 and 1000.
std::vector<double> Values(ValueKind kind) {
  std::mt19937 random(static_cast<unsigned>(kind) + 1);
  std::vector<double> values;
  for (size_t i = 0; i < kValueCount; ++i) {
    switch (kind) {
      case kIntegers: values.push_back(static_cast<float>(random() % 1000)); break;
      case kShortDecimals: values.push_back(static_cast<float>(random() % 1000) / (random() % 2 ? 10.0f : 100.0f)); break;
      case kRandomFloats: values.push_back(std::uniform_real_distribution<float>(-1000, 1000)(random)); break;
    }
  }
  return values;
}

const char* KindLabel(ValueKind kind) {
  static const char* const labels[] = {"integers", "short decimals", "random floats"};
  return labels[kind];
}

template <typename Format>
void Run(benchmark::State& state, Format format) {
  ValueKind kind = static_cast<ValueKind>(state.range(0));
  std::vector<double> values = Values(kind);
  char text[32];
  size_t i = 0;
  for (auto _ : state) {
    format(values[i], text);
    benchmark::DoNotOptimize(text);
    benchmark::ClobberMemory();
    i = (i + 1) % kValueCount;
  }
  state.SetLabel(KindLabel(kind));
}

void BM_FormatNumber(benchmark::State& state) {
  Run(state, [](double value, char* text) { FormatNumber(value, text); });
}

void BM_ToCharsGeneral7(benchmark::State& state) {
  Run(state, [](double value, char* text) {
    *std::to_chars(text, text + 31, value, std::chars_format::general, 7).ptr = '\0';
  });
}

void BM_SnprintfG7(benchmark::State& state) {
  Run(state, [](double value, char* text) { std::snprintf(text, 32, "%.7g", value); });
}

BENCHMARK(BM_FormatNumber)->DenseRange(kIntegers, kRandomFloats);
BENCHMARK(BM_ToCharsGeneral7)->DenseRange(kIntegers, kRandomFloats);
BENCHMARK(BM_SnprintfG7)->DenseRange(kIntegers, kRandomFloats);

}  // namespace
