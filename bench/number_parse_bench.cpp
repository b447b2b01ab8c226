// ParseNumber against strtod and std::from_chars on typical field texts.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstdlib>
#include <cstring>

#include "number_parse.h"

namespace {

const char* const kTexts[] = {"12", "-1.5", "0.1", "123.456", "2.5e-3"};
constexpr int kTextCount = 5;

template <typename Parse>
void Run(benchmark::State& state, Parse parse) {
  const char* text = kTexts[state.range(0)];
  // Texts are copied so that no converter sees a compile-time constant.
  char buffer[16];
  std::strcpy(buffer, text);
  double value = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(buffer);
    parse(buffer, &value);
    benchmark::DoNotOptimize(value);
  }
  state.SetLabel(text);
}

void BM_ParseNumber(benchmark::State& state) {
  Run(state, [](const char* text, double* value) { ParseNumber(text, value); });
}

void BM_Strtod(benchmark::State& state) {
  Run(state, [](const char* text, double* value) { *value = std::strtod(text, nullptr); });
}

void BM_FromChars(benchmark::State& state) {
  Run(state, [](const char* text, double* value) { std::from_chars(text, text + std::strlen(text), *value); });
}

BENCHMARK(BM_ParseNumber)->DenseRange(0, kTextCount - 1);
BENCHMARK(BM_Strtod)->DenseRange(0, kTextCount - 1);
BENCHMARK(BM_FromChars)->DenseRange(0, kTextCount - 1);

}  // namespace
