// Importing 65,535 alarm messages from a CSV file into the selected group of
// the alarm configuration dialog, as the Import button does: the group takes
// the messages and the dialog's message table is filled again. Prints the
// time of one import.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "RunBenchmarks.h"
#include "TempFolder.h"
#include "alarm/AlarmManager.h"
#include "alarm/AlarmSegCvb.h"
#include "dialogs/CDlgAlarmCfg.h"
#include "wui/DlgItem.h"
#include "wui/OvReportCtrl.h"
#include "support/ScriptedUiServices.h"
#include "wui/WReportCtrl.h"

namespace {

using namespace NsOvrin;
using NsAlarm::AlarmManager;
using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr int kMessages = 65535;

double secondsPerImport = 0;
int64_t rowsShown = 0;

// The export's header line (in CP936), then one numbered message a line.
std::string WriteCsv(const fs::path& folder) {
  const std::string path = (folder / "alarms.csv").string();
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "\xD0\xF2\xBA\xC5, \xBE\xAF\xB1\xA8\xCF\xFB\xCF\xA2\r\n";
  for (int i = 1; i <= kMessages; ++i) out << i << ", alarm message " << i << "\r\n";
  return path;
}

void BM_AlarmImport65535(benchmark::State& state) {
  const NsBench::TempFolder folder("ovrin-alarm-bench");
  if (!folder.Ok()) {
    state.SkipWithError("no folder");
    return;
  }
  const std::string csv = WriteCsv(folder.Path());

  NsWui::ScriptedUiServices ui;
  AlarmManager& manager = AlarmManager::Instance();
  manager.Clear();
  auto group = std::make_shared<NsAlarm::AlarmSegCvb>();
  group->SetAddress("PLC1.0x0");
  group->SetMessages({"old"});
  manager.AddSeg(group);

  auto dialog = std::make_unique<CDlgAlarmCfg>();
  dialog->show();
  NsWui::WReportCtrl& list = *dialog->groupList;
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.topLevelItem(0)).center());
  auto* import = NsWui::DlgItem<QPushButton>(dialog.get(), CDlgAlarmCfg::IDC_IMPORT);
  if (import == nullptr) {
    state.SkipWithError("no import button");
    return;
  }

  Clock::duration spent{};
  for (auto _ : state) {
    ui.PushPath(csv);
    const Clock::time_point start = Clock::now();
    import->click();
    spent += Clock::now() - start;
  }
  secondsPerImport = std::chrono::duration<double>(spent).count() / static_cast<double>(state.iterations());
  rowsShown = dialog->messageTable->GetRowCount();
  state.counters["rows"] = static_cast<double>(rowsShown);
  state.counters["messages"] = static_cast<double>(group->GetBits().size());

  dialog.reset();
  manager.Clear();
}

BENCHMARK(BM_AlarmImport65535)->Unit(benchmark::kMillisecond)->UseRealTime()->Apply(NsOvrin::NsBench::Iterations<3>);

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  if (!NsOvrin::NsBench::RunBenchmarks(argc, argv)) return 1;
  if (secondsPerImport > 0) {
    std::printf("alarm import of %d messages: %.3f s per import, %lld rows shown (bound <= 2 s)\n", kMessages,
                secondsPerImport, static_cast<long long>(rowsShown));
  }
  return NsOvrin::NsBench::FiguresGiven(secondsPerImport > 0);
}
