#pragma once
// The usual Google Benchmark main, for the benchmarks that print their own
// figures after the runs, and the settings of a quick run.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace NsOvrin::NsBench {

// The test suite runs every benchmark once with OVRIN_BENCH_QUICK set, to show
// that it still builds, runs and gives its figures: each benchmark then makes
// a single iteration, whatever its own settings ask.
inline bool QuickRun() {
  static const bool quick = std::getenv("OVRIN_BENCH_QUICK") != nullptr;
  return quick;
}

// A benchmark's run length, given with ->Apply(...) in place of the setting of
// the same name.
template <int Seconds>
void MinTime(benchmark::internal::Benchmark* b) {
  if (QuickRun())
    b->Iterations(1);
  else
    b->MinTime(Seconds);
}
template <int N>
void Repetitions(benchmark::internal::Benchmark* b) {
  if (QuickRun())
    b->Iterations(1);
  else
    b->Repetitions(N);
}
template <int N>
void Iterations(benchmark::internal::Benchmark* b) {
  b->Iterations(QuickRun() ? 1 : N);
}
// For a benchmark that leaves its run length to Google Benchmark.
inline void OnceWhenQuick(benchmark::internal::Benchmark* b) {
  if (QuickRun()) b->Iterations(1);
}

// Runs the benchmarks the command line selects; false, running nothing, on
// an argument Google Benchmark does not know.
inline bool RunBenchmarks(int& argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return false;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return true;
}

// The exit status of a benchmark program: one that could not give all its
// figures (a run skipped on an error, a peer that never answered) failed.
inline int FiguresGiven(bool given) {
  if (!given) std::fprintf(stderr, "some figures are missing: a benchmark did not run to its end\n");
  return given ? 0 : 1;
}

}  // namespace NsOvrin::NsBench
