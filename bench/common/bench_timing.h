// Timing helpers shared by the benchmarks.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>

namespace bench {

using Clock = std::chrono::steady_clock;

// The processor time of the calling thread, in seconds. The benchmarks compare times measured in
// one run on a machine that other work shares: a thread's own processor time leaves out the time
// it waited for a processor, which wall time on a busy machine is mostly made of.
inline double ThreadSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// Processor time of one call, in seconds.
inline double Seconds(const std::function<void()>& f) {
  const double t0 = ThreadSeconds();
  f();
  return ThreadSeconds() - t0;
}

// Processor seconds per call over one round: the call repeated until the round lasts at least
// seconds.
inline double RoundSecondsPerCall(const std::function<void()>& f, double seconds) {
  int n = 0;
  const double start = ThreadSeconds();
  double elapsed;
  do {
    f();
    ++n;
    elapsed = ThreadSeconds() - start;
  } while (elapsed < seconds);
  return elapsed / n;
}

// Processor seconds per call: the best of five rounds, each repeating the call for at least
// 0.15 s, so that short calls are measured over many repetitions and a busy machine's slow rounds
// are dropped.
inline double BestSecondsPerCall(const std::function<void()>& f) {
  double best = 1e9;
  for (int round = 0; round < 5; ++round) best = std::min(best, RoundSecondsPerCall(f, 0.15));
  return best;
}

// The same for two calls measured in turns, round by round, so that a change in the machine's load
// falls on both sides alike: ours and peer receive the best seconds per call of each.
inline void BestSecondsPerCallInTurns(const std::function<void()>& f, const std::function<void()>& g, double& ours,
                                      double& peer) {
  ours = peer = 1e9;
  for (int round = 0; round < 7; ++round) {
    ours = std::min(ours, RoundSecondsPerCall(f, 0.1));
    peer = std::min(peer, RoundSecondsPerCall(g, 0.1));
  }
}

// One row of the table that `make bench` prints (tools/bench/run-bench.sh gathers the rows of
// every benchmark): the job, the peer, the ratio peer time / our time, and the aim the ratio
// should reach.
inline void Row(const char* job, const char* peer, double ratio, double aim) {
  std::printf("ROW\t%s\t%s\t%.2f\t%.2f\n", job, peer, ratio, aim);
}

}  // namespace bench
