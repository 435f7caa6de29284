// Timing of a peer that runs as a program of its own (POSIX only: the native benchmarks).
#pragma once

#include <cstdlib>
#include <string>

#include <sys/resource.h>

namespace bench {

// Processor seconds of the processes a shell command starts (user and system time of the
// children, which the thread's own time leaves out), best of runs; negative when the command fails.
inline double ChildSeconds(const std::string& command, int runs) {
  double best = 1e9;
  for (int r = 0; r < runs; ++r) {
    rusage before{}, after{};
    getrusage(RUSAGE_CHILDREN, &before);
    if (std::system(command.c_str()) != 0) return -1;
    getrusage(RUSAGE_CHILDREN, &after);
    auto sec = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    double t = sec(after.ru_utime) - sec(before.ru_utime) + sec(after.ru_stime) - sec(before.ru_stime);
    if (t < best) best = t;
  }
  return best;
}

}  // namespace bench
