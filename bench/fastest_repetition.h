// The statistic the benchmarks are compared by. On a shared machine the fastest
// repetition is the one least disturbed: run with --benchmark_repetitions=N and
// compare the "_min" rows.
#pragma once

#include <algorithm>
#include <vector>

inline double FastestRepetition(const std::vector<double>& times) {
  return *std::min_element(times.begin(), times.end());
}
