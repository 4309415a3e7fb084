// Regular expressions: the device-address split in one pass against a
// search with its pattern, both against the standard library's ECMAScript
// engine compiling the pattern on every call (as the program did before),
// and the program's patterns on texts of 40,000 characters. Prints the time
// per call of each and the ratios.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <regex>
#include <string>

#include "QlDev/DeviceAddress.h"
#include "RunBenchmarks.h"
#include "common/Regex.h"
#include "platform/Utf.h"

namespace {

using namespace NsOvrin;
using Clock = std::chrono::steady_clock;

const char* const kSplitPattern = R"(^\s*(.+?)\.(.+?)\s*$)";

// Nanoseconds per call of the run with the most iterations, by name.
std::map<std::string, std::pair<int64_t, double>> measures;

template <typename F>
void Run(benchmark::State& state, const std::string& name, F call) {
  const Clock::time_point start = Clock::now();
  for (auto _ : state) benchmark::DoNotOptimize(call());
  const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count() /
                    static_cast<double>(state.iterations());
  auto& m = measures[name];
  if (state.iterations() >= m.first) m = {state.iterations(), ns};
}

const std::string kShortAddress = " PLC1.D100 ";
const std::string kDotsAddress = "PLC1" + std::string(20000, '.') + "\nx";

void BM_SplitOnePass(benchmark::State& state) {
  const std::string& text = state.range(0) == 0 ? kShortAddress : kDotsAddress;
  Run(state, state.range(0) == 0 ? "split short" : "split dots", [&] {
    std::string node, address;
    return NsTermination::SplitDeviceAddress(text, node, address);
  });
}

void BM_SplitBySearch(benchmark::State& state) {
  const std::string& text = state.range(0) == 0 ? kShortAddress : kDotsAddress;
  Run(state, state.range(0) == 0 ? "search short" : "search dots", [&] {
    RegexQuery q;
    q.subject = text;
    return RegexSearch(kSplitPattern, q);
  });
}

// The former way: the pattern compiled for every call, wide text.
void BM_SplitByStdRegex(benchmark::State& state) {
  Run(state, "std short", [] {
    const std::wregex re(NsPlatform::Utf8ToWide(kSplitPattern), std::regex::ECMAScript);
    std::wsmatch m;
    const std::wstring subject = NsPlatform::Utf8ToWide(kShortAddress);
    return std::regex_search(subject, m, re);
  });
}

// A text of 40,000 characters per pattern kind: an address range, an
// instruction, an instruction's number and a typed value.
void BM_LongText(benchmark::State& state) {
  static const std::string han = [] {
    std::string s;
    for (int i = 0; i < 40000; ++i) s += "页";
    return s;
  }();
  struct Case {
    const char* name;
    const char* pattern;
    std::string subject;
  };
  static const Case cases[] = {
      {"long range", R"(^\S*([0134][xX])\[(\d+)~(\d+)\]\s*$)", std::string(40000, 'a') + "4x[0~7]"},
      {"long toast", R"(^\s*短消息\s+["“]([^"”]+)["”]\s*$)", "短消息 \"" + han + "\""},
      {"long literal", R"(^([\+\-])?(\d+)$)", "-" + std::string(40000, '9')},
      {"long value", "^[+-]?[0-9]+(\\.[0-9]+)?$", "1." + std::string(40000, '5')},
  };
  const Case& c = cases[state.range(0)];
  Run(state, c.name, [&] { return RegexTest(c.subject, c.pattern); });
}

using NsOvrin::NsBench::OnceWhenQuick;
BENCHMARK(BM_SplitOnePass)->Arg(0)->Arg(1)->Apply(OnceWhenQuick);
BENCHMARK(BM_SplitBySearch)->Arg(0)->Arg(1)->Apply(OnceWhenQuick);
BENCHMARK(BM_SplitByStdRegex)->Apply(OnceWhenQuick);
BENCHMARK(BM_LongText)->DenseRange(0, 3)->Apply(OnceWhenQuick);

}  // namespace

int main(int argc, char** argv) {
  if (!NsOvrin::NsBench::RunBenchmarks(argc, argv)) return 1;
  auto ns = [](const char* name) {
    const auto it = measures.find(name);
    return it == measures.end() ? 0.0 : it->second.second;
  };
  for (const auto& [name, m] : measures) std::printf("%-14s %12.0f ns per call\n", name.c_str(), m.second);
  const bool shortGiven = ns("split short") > 0 && ns("search short") > 0 && ns("std short") > 0;
  if (shortGiven)
    std::printf("address split: search / one pass %.1f, std::wregex per call / search %.1f\n",
                ns("search short") / ns("split short"), ns("std short") / ns("search short"));
  const bool dotsGiven = ns("split dots") > 0 && ns("search dots") > 0;
  if (dotsGiven)
    std::printf("20,000 dots before a line break: search / one pass %.0f\n",
                ns("search dots") / ns("split dots"));
  return NsOvrin::NsBench::FiguresGiven(shortGiven && dotsGiven);
}
