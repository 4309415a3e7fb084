#pragma once
// The fastest of a series of timed runs: on a shared machine the fastest is
// the one least disturbed by others.
#include <chrono>
#include <cstdint>

namespace NsOvrin::NsBench {

struct FastestTime {
  double seconds = 0;
  int64_t runs = 0;
  void Record(std::chrono::steady_clock::duration spent) {
    const double once = std::chrono::duration<double>(spent).count();
    if (runs == 0 || once < seconds) seconds = once;
    ++runs;
  }
};

}  // namespace NsOvrin::NsBench
