// One repaint of the alarm configuration dialog's message table: a group of
// 65,535 messages against a group of 30, each in a dialog of its own of the
// same size, so both grids show the same view. The two take turns; prints
// the ratio of their fastest repaints.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "FastestTime.h"
#include "RunBenchmarks.h"
#include "alarm/AlarmManager.h"
#include "alarm/AlarmSegCvb.h"
#include "dialogs/CDlgAlarmCfg.h"
#include "wui/OvReportCtrl.h"

namespace {

using namespace NsOvrin;
using NsAlarm::AlarmManager;
using Clock = std::chrono::steady_clock;

constexpr int kBigGroup = 65535;
constexpr int kSmallGroup = 30;

// The fastest repaint of each table, and its rows.
NsBench::FastestTime bigMeasure;
NsBench::FastestTime smallMeasure;
int bigRows = 0;
int smallRows = 0;

std::shared_ptr<NsAlarm::AlarmSegCvb> Group(const std::string& address, int messages) {
  std::vector<std::string> texts;
  texts.reserve(static_cast<std::size_t>(messages));
  for (int i = 1; i <= messages; ++i) texts.push_back("alarm message " + std::to_string(i));
  auto group = std::make_shared<NsAlarm::AlarmSegCvb>();
  group->SetAddress(address);
  group->SetMessages(texts);
  return group;
}

// A shown dialog with the manager's group of that row selected.
std::unique_ptr<CDlgAlarmCfg> DialogOn(int group) {
  auto dialog = std::make_unique<CDlgAlarmCfg>();
  dialog->show();
  dialog->SelectGroup(group);
  QApplication::processEvents();
  return dialog;
}

// The table scrolled half way, as a user looking through the group sees it.
void ScrollToMiddle(NsWui::OvReportCtrl& table) {
  table.OnVScroll(NsWui::SB_THUMBTRACK, (table.GetRowCount() / 2) * table.rowHeight);
}

void Repaint(NsWui::OvReportCtrl& table, NsBench::FastestTime& measure) {
  const Clock::time_point start = Clock::now();
  table.viewport()->repaint();
  measure.Record(Clock::now() - start);
}

void BM_MessageTableRepaint(benchmark::State& state) {
  AlarmManager& manager = AlarmManager::Instance();
  manager.Clear();
  manager.AddSeg(Group("PLC1.0x0", kBigGroup));
  manager.AddSeg(Group("PLC1.0x20000", kSmallGroup));
  const std::unique_ptr<CDlgAlarmCfg> big = DialogOn(0);
  const std::unique_ptr<CDlgAlarmCfg> small = DialogOn(1);
  NsWui::OvReportCtrl& bigTable = *big->messageTable;
  NsWui::OvReportCtrl& smallTable = *small->messageTable;
  if (bigTable.size() != smallTable.size()) {
    state.SkipWithError("the tables differ in size");
    return;
  }
  ScrollToMiddle(bigTable);
  ScrollToMiddle(smallTable);
  bigRows = bigTable.GetRowCount();
  smallRows = smallTable.GetRowCount();

  for (auto _ : state) {
    Repaint(bigTable, bigMeasure);
    Repaint(smallTable, smallMeasure);
  }
  state.counters["big rows"] = bigRows;
  state.counters["small rows"] = smallRows;
  manager.Clear();
}

BENCHMARK(BM_MessageTableRepaint)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(NsOvrin::NsBench::MinTime<2>);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (!NsOvrin::NsBench::RunBenchmarks(argc, argv)) return 1;
  if (bigMeasure.runs > 0 && smallMeasure.runs > 0) {
    std::printf("message table repaint: %d rows %.3f ms, %d rows %.3f ms, ratio %.2f (bound <= 3)\n",
                bigRows, bigMeasure.seconds * 1e3, smallRows, smallMeasure.seconds * 1e3,
                bigMeasure.seconds / smallMeasure.seconds);
  }
  return NsOvrin::NsBench::FiguresGiven(bigMeasure.runs > 0 && smallMeasure.runs > 0);
}
