// Timing helpers shared by the benchmarks.
#pragma once

#include <algorithm>
#include <chrono>
#include <functional>

namespace bench {

using Clock = std::chrono::steady_clock;

// Wall time of one call, in seconds.
inline double Seconds(const std::function<void()>& f) {
  auto t0 = Clock::now();
  f();
  return std::chrono::duration<double>(Clock::now() - t0).count();
}

// Seconds per call: the best of five rounds, each repeating the call for at least 0.15 s, so that
// short calls are measured over many repetitions and a busy machine's slow rounds are dropped.
inline double BestSecondsPerCall(const std::function<void()>& f) {
  double best = 1e9;
  for (int round = 0; round < 5; ++round) {
    int n = 0;
    auto start = Clock::now();
    double elapsed;
    do {
      f();
      ++n;
      elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    } while (elapsed < 0.15);
    best = std::min(best, elapsed / n);
  }
  return best;
}

}  // namespace bench
