#pragma once
// The usual Google Benchmark main, for the benchmarks that print their own
// figures after the runs.
#include <benchmark/benchmark.h>

namespace NsOvrin::NsBench {

// Runs the benchmarks the command line selects; false, running nothing, on
// an argument Google Benchmark does not know.
inline bool RunBenchmarks(int& argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return false;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return true;
}

}  // namespace NsOvrin::NsBench
