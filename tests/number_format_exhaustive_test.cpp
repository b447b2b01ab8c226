// FormatNumber on every single-precision value (all 2^32 bit patterns, NaNs and
// infinities included) against the x87 reference. Stops at the first difference
// and prints it in hexfloat. Built with -DQUORVEL_EXHAUSTIVE_TESTS=ON; takes minutes.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <thread>
#include <vector>

#include "number_format.h"
#include "x87_reference.h"

#if QUORVEL_HAVE_X87_REFERENCE

namespace {

std::atomic<bool> g_mismatch{false};
std::atomic<uint64_t> g_checked{0};

// Checks the patterns first, first + stride, ... below 2^32.
void CheckPatterns(uint64_t first, uint64_t stride) {
  X87DoublePrecision precision;
  char actual[kNumberTextSize];
  char expected[32];
  uint64_t checked = 0;
  for (uint64_t pattern = first; pattern <= UINT32_MAX && !g_mismatch; pattern += stride) {
    uint32_t bits = static_cast<uint32_t>(pattern);
    float single;
    std::memcpy(&single, &bits, sizeof single);
    double value = single;
    FormatNumber(value, actual);
    ReferenceFormatNumber(value, expected);
    if (std::strcmp(actual, expected) != 0) {
      if (!g_mismatch.exchange(true)) {
        std::printf("mismatch at 0x%08X (%a): \"%s\", reference \"%s\"\n", bits, value, actual, expected);
      }
      return;
    }
    ++checked;
  }
  g_checked += checked;
}

}  // namespace

int main() {
  auto start = std::chrono::steady_clock::now();
  unsigned threads = std::thread::hardware_concurrency();
  if (threads == 0) threads = 1;
  std::vector<std::thread> workers;
  for (unsigned i = 0; i < threads; ++i) workers.emplace_back(CheckPatterns, i, threads);
  for (auto& worker : workers) worker.join();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%llu of 4294967296 single-precision values checked with %u threads in %.0f s: %s\n",
              static_cast<unsigned long long>(g_checked.load()), threads, seconds,
              g_mismatch ? "MISMATCH" : "all match");
  return g_mismatch ? 1 : 0;
}

#else

int main() {
  std::printf("no x87 unit for the reference: nothing checked\n");
  return 77;
}

#endif
