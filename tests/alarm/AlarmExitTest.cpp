// The program's alarm manager at process exit: its history is written after
// every polling thread has ended, into "alarm_history" next to the program.
// The test starts a copy of this test program in a folder of its own, which
// sets up polling alarms with the process-wide objects and calls exit().
#include <fcntl.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "alarm/AlarmManager.h"
#include "alarm/AlarmSegCvb.h"
#include "support/ModbusTcpSlave.h"
#include "termination/ChannelManager.h"
#include "termination/DevSetup.h"
#include "termination/NodeDbFixture.h"

extern char** environ;

using namespace NsOvrin::NsAlarm;
using NsOvrin::NsTermination::ChannelManager;
using NsOvrin::NsTermination::Testing::NodeDbFixture;
using NsOvrin::NsTestSupport::ModbusTcpSlave;

namespace {

constexpr const char* kChildVariable = "OVRIN_ALARM_EXIT_CHILD";
// Exit codes of the child's own checks.
constexpr int kStillPolling = 5;
constexpr int kNoHistoryFile = 6;

// The child's node, looked at once the alarm manager is gone.
std::shared_ptr<NsOvrin::NsTermination::Node> g_childNode;

// Registered before the alarm manager is made, so it runs right after the
// manager's destruction and before the channel database's.
void CheckAfterTheAlarmManager() {
  if (g_childNode && g_childNode->GetWorkerCtrl().IsAlive()) std::_Exit(kStillPolling);
  if (!std::filesystem::exists(AlarmHistoryFilePath())) std::_Exit(kNoHistoryFile);
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

void AppendLe(std::vector<uint8_t>& out, uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

}  // namespace

// Runs only in the copy the test below starts; skipped otherwise.
TEST(AlarmManagerExitChild, PollsAlarmsThenExits) {
  if (std::getenv(kChildVariable) == nullptr) GTEST_SKIP() << "the child of AlarmManagerExit";

  // Kept for the whole run: its threads still serve while the program exits.
  static ModbusTcpSlave* const slave = new ModbusTcpSlave;
  ASSERT_TRUE(slave->Start());

  ChannelManager& db = ChannelManager::Instance();
  auto eth = std::make_shared<NsOvrin::NsTermination::ChannelEthernet>("ETH1");
  ASSERT_TRUE(db.AddChannel(eth));
  NsOvrin::NsDevDefine::ENetDevParam param;
  param.name = "PLC1";
  param.deviceId = NsOvrin::NsTermination::kModelModbusTcp;
  param.ipAddr = htonl(INADDR_LOOPBACK);
  param.port = slave->Port();
  param.recvTimeout = 1000;
  ASSERT_TRUE(NsOvrin::NsTermination::AddENetDev(eth->GetHandle(), param));
  std::shared_ptr<NsOvrin::NsTermination::Node> node = eth->GetNodeList().front();
  NsOvrin::NsTermination::BlockDescriptor block;
  ASSERT_EQ(node->GetNodeMem()->ParseAddress("0x[0~15]", block.addr), NsOvrin::NsTermination::kAddrOk);
  block.interval = 10;
  ASSERT_TRUE(node->AddReadTask(block, "alarms", true));
  const auto cache = node->GetTasks().front()->GetCacheBlock();
  g_childNode = node;

  ASSERT_EQ(std::atexit(CheckAfterTheAlarmManager), 0);
  AlarmManager& alarms = AlarmManager::Instance();
  alarms.SetMaxHistCount(3);
  auto seg = std::make_shared<AlarmSegCvb>();
  seg->BindAddress("PLC1.0x0");
  seg->SetMessages({"a0", "报警1"});
  alarms.AddSeg(seg);
  ASSERT_TRUE(seg->IsBound());
  db.SetRunning(true);
  ASSERT_TRUE(eth->Open());

  auto activeCount = [&] {
    std::shared_lock lock(alarms.GetActiveLock());
    return alarms.GetActiveAlarms().size();
  };
  // Four alarms come and go: the ring of three wraps.
  for (int cycle = 0; cycle < 4; ++cycle) {
    slave->SetCoil(0, true);
    ASSERT_TRUE(NodeDbFixture::WaitFor([&] { return activeCount() == 1; }));
    slave->SetCoil(0, false);
    ASSERT_TRUE(NodeDbFixture::WaitFor([&] { return activeCount() == 0; }));
  }
  slave->SetCoil(1, true);  // on at exit: no record
  ASSERT_TRUE(NodeDbFixture::WaitFor([&] { return activeCount() == 1; }));

  // The block keeps changing while the program ends.
  std::thread([] {
    for (bool on = false;; on = !on) {
      slave->SetCoil(9, on);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
  }).detach();
  const uint32_t updates = cache->GetUpdateCount();
  ASSERT_TRUE(NodeDbFixture::WaitFor([&] { return cache->GetUpdateCount() > updates + 3; }));
  std::exit(0);
}

TEST(AlarmManagerExit, HistoryIsWrittenAfterThePollingThreadsEnd) {
  std::string dir = (std::filesystem::temp_directory_path() / "alarmexitXXXXXX").string();
  ASSERT_NE(::mkdtemp(dir.data()), nullptr);
  const std::string program = dir + "/test_alarm_copy";
  const std::string log = dir + "/child.log";
  const std::string history = dir + "/alarm_history";
  {
    std::error_code error;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    std::filesystem::create_hard_link(self, program, error);
    if (error) {
      ASSERT_TRUE(std::filesystem::copy_file(self, program));
    }
  }

  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) env.emplace_back(*e);
  env.push_back(std::string(kChildVariable) + "=1");
  std::vector<char*> envp;
  for (std::string& e : env) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::string filter = "--gtest_filter=AlarmManagerExitChild.*";
  std::vector<char*> argv = {const_cast<char*>(program.c_str()), filter.data(), nullptr};

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_adddup2(&actions, 1, 2);
  pid_t pid = -1;
  const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ASSERT_EQ(spawned, 0);

  int status = 0;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
  while (::waitpid(pid, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      ::kill(pid, SIGKILL);
      ::waitpid(pid, &status, 0);
      FAIL() << "the child hung at exit\n" << ReadText(log);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_TRUE(WIFEXITED(status)) << ReadText(log);
  ASSERT_EQ(WEXITSTATUS(status), 0) << ReadText(log);

  const std::vector<uint8_t> bytes = ReadFile(history);
  AlarmHistoryRing ring(0, 0, false, kAlarmHistoryVersion, history);
  ASSERT_TRUE(ring.Load()) << bytes.size() << " bytes";
  ASSERT_EQ(ring.Count(), 3u);

  // Capacity 3 after four records: head 1, the three latest oldest first.
  std::vector<uint8_t> expected = {0x0C, 0x00, 4, 0, 0, 0, 32, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 3, 0, 0, 0};
  for (uint32_t i = 0; i < 3; ++i) {
    const HistData& r = ring.At(i);
    EXPECT_GT(r.onTime, 0) << i;
    EXPECT_GE(r.offTime, r.onTime) << i;
    AppendLe(expected, static_cast<uint64_t>(r.onTime), 8);
    AppendLe(expected, static_cast<uint64_t>(r.offTime), 8);
    expected.insert(expected.end(), {0xFF, 0xFE, 0xFF, 0x00, 0xFF, 0xFE, 0xFF, 0x02, 'a', 0, '0', 0});
  }
  EXPECT_EQ(bytes, expected);
  std::filesystem::remove_all(dir);
}
