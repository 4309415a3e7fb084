// Texts of 40,000 characters (letters, Han characters, digits, blanks) and
// 20,000 dots before a line break, each through the paths that read or
// check them:
// - the data-block file read into the small project's devices, the long
//   address beside a short one;
// - the error check of a project whose page holds a number box with a long
//   address and a multi-function button with long instructions (the check
//   loads the page file itself);
// - the validation rules of a typed value.
// Prints, per path, the time per call of its slowest text.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "ReportLines.h"
#include "RunBenchmarks.h"
#include "TempFolder.h"
#include "alarm/AlarmManager.h"
#include "common/UiValidation.h"
#include "project/QlEProject.h"
#include "project/UsersFile.h"
#include "project_persistence/ChannelsFile.h"
#include "project_persistence/DataBlockFile.h"
#include "project_persistence/ProjectLoadSave.h"
#include "project_persistence/UiErrList.h"
#include "termination/ChannelManager.h"

namespace {

using namespace NsOvrin;
namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The tests' project folders.
const std::string kData = OVRIN_BENCH_DATA;

std::string Repeat(const char* piece, int times) {
  std::string s;
  for (int i = 0; i < times; ++i) s += piece;
  return s;
}

const std::string kLetters(40000, 'a');
const std::string kHan = Repeat("址", 40000);
const std::string kDigits(40000, '7');
const std::string kZeros(40000, '0');
const std::string kBlanks(40000, ' ');
const std::string kDots(20000, '.');

// Seconds per call of the run with the most iterations, by path and text.
struct Measure {
  int64_t iterations = 0;
  double seconds = 0.0;
};
std::map<std::string, std::map<std::string, Measure>> measures;

void Keep(const std::string& path, const std::string& text, int64_t iterations, double seconds) {
  if (iterations == 0) return;
  Measure& m = measures[path][text];
  if (iterations >= m.iterations) m = {iterations, seconds / static_cast<double>(iterations)};
}

bool WriteText(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  return out.good();
}

// Segments first: they hold subscriptions on the nodes' tasks.
void ResetRuntime() {
  NsAlarm::AlarmManager::Instance().Clear();
  NsTermination::ChannelManager::Instance().Reset();
}

std::size_t TaskCount(const std::string& nodeName) {
  for (const auto& channel : NsTermination::ChannelManager::Instance().GetChannels())
    for (const auto& node : channel->GetNodeList())
      if (node->GetName() == nodeName) return node->GetTasks().size();
  return 0;
}

// A JSON string of text.
std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

struct BlockCase {
  const char* label;
  const char* node;
  std::string address;
  bool kept;  // the long block becomes a task beside the short one
};

const BlockCase kBlocks[] = {
    {"letters", "PLC1", kLetters + "4x[0~7]", true},
    {"Han", "PLC1", kHan + "4x[0~7]", true},
    {"zeros in range", "PLC1", "4x[" + kZeros + "~7]", true},
    {"digits", "PLC1", "4x" + kDigits, false},
    {"letters only", "PLC1", kLetters, false},
    {"dots", "PLC1", kDots + "\n4x[0~7]", false},
    {"blanks", "FX1", kBlanks + "D1" + kBlanks, true},
    {"FX letters", "FX1", "D" + kLetters, false},
    {"FX range dots", "FX1", "D[0~7]" + kDots + "\n", false},
    {"FX dots", "FX1", kDots + "\nD1", false},
};

// The read alone is timed; the devices are made again before each read so
// that every read adds its blocks to empty nodes.
void BM_DataBlockFile(benchmark::State& state) {
  const BlockCase& c = kBlocks[state.range(0)];
  state.SetLabel(c.label);
  NsBench::TempFolder temp("ovrin-long");
  const std::string file = temp / "acq_db";
  if (!temp.Ok() ||
      !WriteText(file, std::string(R"({"nodes":[{"name":")") + c.node +
                           R"(","acq-data-block-array":[{"name":"long","address":)" + Quoted(c.address) +
                           R"(},{"name":"good","address":"1x[0~7]"}]}]})")) {
    state.SkipWithError("file not written");
    return;
  }
  double total = 0.0;
  bool failed = false;
  for (auto _ : state) {
    ResetRuntime();
    if (!ReadChannelsFile(kData + "/project_small/com_chns")) {
      state.SkipWithError("channels not read");
      failed = true;
      break;
    }
    const Clock::time_point start = Clock::now();
    const bool read = ReadDataBlocksFile(file);
    const double spent = std::chrono::duration<double>(Clock::now() - start).count();
    if (!read || TaskCount(c.node) != (c.kept ? 2u : 1u)) {
      state.SkipWithError("blocks not read as the tests expect");
      failed = true;
      break;
    }
    state.SetIterationTime(spent);
    total += spent;
  }
  if (!failed) Keep("data-block file read", c.label, state.iterations(), total);
  ResetRuntime();
}

struct PageCase {
  const char* label;
  std::string address;  // the number box's
  std::vector<std::string> instructions;
};

const PageCase kPages[] = {
    {"letters", "PLC1." + kLetters, {"SET PLC1." + kLetters, "页面跳到 \"" + kLetters + "\""}},
    {"Han", "PLC1." + kHan, {"SET PLC1." + kHan, "短消息 \"" + kHan + "\""}},
    {"digits", "PLC1.D" + kDigits, {"MOV " + kDigits + " PLC1.D1", "SET PLC1.M" + kDigits}},
    {"dots", "PLC1" + kDots + "\n", {"SET PLC1" + kDots + "\n", "页面跳到 \"" + kDots + "\n\""}},
    {"blanks", " PLC1.D1" + kBlanks, {"MOV 1 PLC1.D1" + kBlanks}},
    {"no node", kLetters, {kLetters}},
};

using Lines = NsBench::ReportLines;

std::string PageJson(const PageCase& c) {
  std::string list;
  for (const std::string& line : c.instructions) list += (list.empty() ? "" : ",") + Quoted(line);
  return R"({"rect":{"left":0.0,"top":0.0,"right":640.0,"bottom":480.0},"elements":[)"
         R"({"type":"Number","rect":{"left":10.0,"top":40.0,"right":90.0,"bottom":60.0},)"
         R"("data-type":2,"address":)" +
         Quoted(c.address) +
         R"(},{"type":"MultFunc","rect":{"left":10.0,"top":300.0,"right":90.0,"bottom":320.0},)"
         R"("event-func-list":[)" +
         list + "]}]}";
}

// The error-check project copied into a temporary folder with its page 2
// replaced, loaded as the open command loads it; the check of that page
// alone is timed.
void BM_PageCheck(benchmark::State& state) {
  const PageCase& c = kPages[state.range(0)];
  state.SetLabel(c.label);
  NsBench::TempFolder temp("ovrin-long");
  bool written = temp.Ok();
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(kData + "/error_check", error))
    written = written && fs::copy_file(entry.path(), temp / entry.path().filename().string(), error);
  written = written && !error && WriteText(temp / "页面2.ovpg", PageJson(c));
  const std::string savedUsersPath = UsersFilePath;
  ResetRuntime();
  QlProjectData record;
  if (!written || !LoadProjectFiles(temp / "main_.ql", record)) {
    state.SkipWithError("project not loaded");
    ResetRuntime();
    UsersFilePath = savedUsersPath;
    return;
  }
  QlEProject& project = QlEProject::Instance();
  project.Reset("");
  project.SetDirectory(record.directory);
  project.pageNames = {"页面2"};
  project.events = record.events;
  project.open = true;

  Lines lines;
  const Clock::time_point start = Clock::now();
  for (auto _ : state) benchmark::DoNotOptimize(UiErrList::Instance().RunCheck(lines));
  const double spent = std::chrono::duration<double>(Clock::now() - start).count();
  // A page that did not load reports that instead of its elements.
  if (lines.lines.size() < 2 || lines.lines[1] == "导入 页面2 失败.")
    state.SkipWithError("page not loaded");
  else
    Keep("page file error check", c.label, state.iterations(), spent);
  state.counters["check lines"] = static_cast<double>(lines.lines.size());

  UiErrList::Instance().results.clear();
  project.Reset("");
  ResetRuntime();
  UsersFilePath = savedUsersPath;
}

struct ValueCase {
  const char* label;
  int32_t kind;  // 0: the float segment 0.00 ~ 10.00 alone
  std::string text;
};

const ValueCase kValues[] = {
    {"digits as short", 1, kDigits},
    {"signed digits as int", 3, "-" + kDigits},
    {"zeros as unsigned", 4, "0" + kZeros},
    {"zeros then 1", 4, kZeros + "1"},
    {"digits then x", 2, kDigits + "x"},
    {"digits then .5", 1, kDigits + ".5"},
    {"dots", 1, kDots + "\n"},
    {"1 dots 1", 3, "1" + kDots + "\n1"},
    {"blanks then 1", 4, kBlanks + "1"},
    {"float long decimals", 0, "1." + kDigits},
    {"float long both sides", 0, kDigits + "." + kDigits},
    {"float decimals then x", 0, "1." + kDigits + "x"},
    {"float dots", 0, kDots + "\n"},
};

void BM_Validation(benchmark::State& state) {
  const ValueCase& c = kValues[state.range(0)];
  state.SetLabel(c.label);
  const NsUiRule::UiRuleSegFloatRange floats(0.0, 10.0, NsUiRule::kBoundBoth, 2);
  const Clock::time_point start = Clock::now();
  for (auto _ : state) {
    if (c.kind == 0) {
      UiRuleCtx ctx("r", c.text);
      benchmark::DoNotOptimize(floats.Check(ctx));
    } else {
      std::string message;
      benchmark::DoNotOptimize(ValidateDataTypeValue(c.kind, c.text, &message));
    }
  }
  Keep("value validation", c.label, state.iterations(),
       std::chrono::duration<double>(Clock::now() - start).count());
}

using NsOvrin::NsBench::OnceWhenQuick;
BENCHMARK(BM_DataBlockFile)
    ->DenseRange(0, std::size(kBlocks) - 1)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->Apply(OnceWhenQuick);
BENCHMARK(BM_PageCheck)->DenseRange(0, std::size(kPages) - 1)->Unit(benchmark::kMicrosecond)->Apply(OnceWhenQuick);
BENCHMARK(BM_Validation)->DenseRange(0, std::size(kValues) - 1)->Unit(benchmark::kMicrosecond)->Apply(OnceWhenQuick);

}  // namespace

int main(int argc, char** argv) {
  if (!NsOvrin::NsBench::RunBenchmarks(argc, argv)) return 1;
  std::printf("\n");
  for (const auto& [path, texts] : measures) {
    const std::pair<const std::string, Measure>* slowest = nullptr;
    for (const auto& text : texts)
      if (slowest == nullptr || text.second.seconds > slowest->second.seconds) slowest = &text;
    if (slowest != nullptr)
      std::printf("%-22s slowest per text %10.3f ms (%s)  (bound <= 1 s)\n", path.c_str(),
                  slowest->second.seconds * 1e3, slowest->first.c_str());
  }
  // A figure for every text on each of the three paths.
  return NsOvrin::NsBench::FiguresGiven(measures["data-block file read"].size() == std::size(kBlocks) &&
                                        measures["page file error check"].size() == std::size(kPages) &&
                                        measures["value validation"].size() == std::size(kValues));
}
