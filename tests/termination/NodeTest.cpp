#include "termination/Node.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "LogCapture.h"
#include "PtyPeer.h"
#include "ScriptedCodec.h"
#include "TcpPeer.h"
#include "platform/Clock.h"
#include "termination/NodeMemModbus.h"

namespace NsOvrin::NsTermination {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Testing::CodecRecord;
using Testing::LogCapture;
using Testing::PeerReply;
using Testing::PtyPeer;
using Testing::ScriptedCodec;
using Testing::TcpPeer;

bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 10s) {
  const auto deadline = Clock::now() + timeout;
  while (!done()) {
    if (Clock::now() >= deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

// Lets a test run scheduler passes itself.
class TestNode : public Node {
 public:
  using Node::Node;
  using Node::Schedule;
};

// A serial line whose readiness the test decides: while it is closed the
// polling thread of a started node never runs a pass.
class GatedSerial : public DevSerialImpl {
 public:
  bool IsReady(uint32_t, LinkFailCount&) override { return open.load(); }
  std::atomic<bool> open{false};
};

TermAddr Parse(const std::string& text) {
  NodeMemModbus mem;
  TermAddr addr;
  EXPECT_EQ(mem.ParseAddress(text, addr), kAddrOk) << text;
  return addr;
}

class NodeTestBase : public ::testing::Test {
 protected:
  std::unique_ptr<ProtocolBase> MakeCodec() { return std::make_unique<ScriptedCodec>(record); }

  std::shared_ptr<TaskReadData> AddTask(Node& target, const std::string& text, uint32_t interval,
                                        bool subscribe, const std::string& name = "") {
    const size_t before = target.GetTasks().size();
    EXPECT_TRUE(
        target.AddReadTask(BlockDescriptor{Parse(text), static_cast<uint16_t>(interval)}, name, true));
    auto tasks = target.GetTasks();
    EXPECT_EQ(tasks.size(), before + 1);
    if (subscribe) tasks.back()->AddSubscriber();
    return tasks.back();
  }

  std::shared_ptr<CodecRecord> record = std::make_shared<CodecRecord>();
  std::shared_ptr<NodeMemModbus> mem = std::make_shared<NodeMemModbus>();
};

// ---- a node on a serial line (pseudo-terminal) ----

class SerialNodeTest : public NodeTestBase {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.IsOpen());
    const int fd = peer.OpenSlave();
    ASSERT_GE(fd, 0);
    device->SetPortHandle(fd);
    peer.Start();
    node = std::make_shared<TestNode>("PLC1", mem, MakeCodec(), device);
  }

  void SetReadTotal(uint32_t ms) {
    NsCommServer::SerialTimeouts timeouts;
    timeouts.readTotal = ms;
    device->GetClient().SetTimeouts(timeouts);
  }

  PtyPeer peer;
  std::shared_ptr<GatedSerial> device = std::make_shared<GatedSerial>();
  std::shared_ptr<TestNode> node;
};

TEST_F(SerialNodeTest, NewNodeIsIdle) {
  WorkerCtrl& worker = node->GetWorkerCtrl();
  EXPECT_TRUE(worker.IsRunning());
  EXPECT_FALSE(worker.IsAlive());
  EXPECT_EQ(worker.GetLastTick(), 0xFFFFFFFFu);
  EXPECT_EQ(worker.GetResendTimes(), 2u);
  EXPECT_EQ(node->GetLinkFailCount(), 0);
  EXPECT_EQ(node->GetName(), "PLC1");
  EXPECT_TRUE(node->GetDescription().empty());
  EXPECT_FALSE(node->GetDeviceParams().has_value());
  EXPECT_EQ(node->GetDeviceImpl(), device);

  OneWayWrapper<Node> handle = node->GetHandle();
  EXPECT_FALSE(handle.IsOwner());
  EXPECT_EQ(handle.Lock().get(), node.get());
  node.reset();
  EXPECT_FALSE(handle.IsValid());
  EXPECT_TRUE(record->destroyed.load()) << "the protocol goes with the node";
}

TEST_F(SerialNodeTest, NeverStartedNodeMakesNoExchangeButRestartsElapsed) {
  auto task = AddTask(*node, "4x[10~19]", 100, true);
  node->Schedule(40);  // not due yet
  EXPECT_EQ(task->GetElapsed(), 40u);
  EXPECT_FALSE(node->ExecuteTask(task.get()));
  EXPECT_EQ(task->GetElapsed(), 0u);
  EXPECT_EQ(record->readBuilds.load(), 0);
  EXPECT_EQ(peer.RequestCount(), 0u);
}

TEST_F(SerialNodeTest, RejectedReplyIsRetriedOnce) {
  LogCapture warnings(4);
  peer.SetHandler([](const std::string&, size_t index) {
    return PeerReply::Line(index == 0 ? "E\n" : "A1234\n");
  });
  auto task = AddTask(*node, "4x[10~19]", 100, true);
  node->Start();
  EXPECT_TRUE(node->ExecuteTask(task.get()));
  EXPECT_EQ(peer.Requests(), (std::vector<std::string>{"R10:10", "R10:10"}));
  EXPECT_EQ(record->readBuilds.load(), 1) << "the request is built once and reused";
  EXPECT_EQ(record->resets.load(), 2);
  EXPECT_EQ(warnings.Count("接收 PLC1.4x[00010~00019], 接收数据发生错误."), 1u);
  EXPECT_EQ(node->GetLinkFailCount(), 0);
  EXPECT_EQ(task->GetCacheBlock()->GetUpdateCount(), CacheVarBlock::kInitialCount + 1);
}

TEST_F(SerialNodeTest, LinkFailCountStopsAtFiveAndClearsOnSuccess) {
  std::atomic<bool> good{false};
  peer.SetHandler([&good](const std::string&, size_t) {
    return PeerReply::Line(good ? "A1234\n" : "E\n");
  });
  auto task = AddTask(*node, "4x1", 100, true);
  node->Start();
  EXPECT_FALSE(node->ExecuteTask(task.get()));
  EXPECT_EQ(node->GetLinkFailCount(), 4) << "two tries, each raising it at start and on failure";
  for (int i = 0; i < 3; ++i) {
    EXPECT_FALSE(node->ExecuteTask(task.get()));
    EXPECT_EQ(node->GetLinkFailCount(), 5);
  }
  good = true;
  EXPECT_TRUE(node->ExecuteTask(task.get()));
  EXPECT_EQ(node->GetLinkFailCount(), 0);
}

TEST_F(SerialNodeTest, SplitReplyIsAssembled) {
  peer.SetHandler([](const std::string&, size_t) {
    return PeerReply{{"A1", "23", "4\n"}, 60, false};
  });
  auto task = AddTask(*node, "4x[0~1]", 100, true);
  node->Start();
  EXPECT_TRUE(node->ExecuteTask(task.get()));
  const std::vector<int> passes = record->PassesPerExchange();
  ASSERT_EQ(passes.size(), 1u);
  EXPECT_GE(passes[0], 2) << "the reply came in several receives";
  char text[5] = {};
  task->GetCacheBlock()->ReadBytes(0, reinterpret_cast<uint8_t*>(text), 4);
  EXPECT_STREQ(text, "1234");
}

TEST_F(SerialNodeTest, TenReceivesWithoutAFrameFail) {
  peer.SetHandler([](const std::string&, size_t index) {
    if (index > 0) return PeerReply::None();
    // Bytes keep coming, never a line end.
    return PeerReply{std::vector<std::string>(60, "x"), 30, false};
  });
  auto task = AddTask(*node, "4x1", 100, true);
  node->Start();
  EXPECT_FALSE(node->ExecuteTask(task.get()));
  EXPECT_EQ(record->PassesPerExchange(), (std::vector<int>{10, 10}));
}

TEST_F(SerialNodeTest, WriteTaskIsRebuiltOnlyForAnotherValue) {
  peer.SetHandler([](const std::string& request, size_t) {
    return PeerReply::Line(request[0] == 'W' ? "K\n" : "A1234\n");
  });
  node->Start();
  uint16_t first = 0x0102;
  uint16_t second = 0x0304;
  TaskWriteData task(Parse("4x7"), kTypeUInt16);
  task.SetValue(&first);
  EXPECT_TRUE(node->ExecuteTask(&task));
  task.SetValue(&first);
  EXPECT_TRUE(node->ExecuteTask(&task));
  EXPECT_EQ(record->writeBuilds.load(), 1);
  task.SetValue(&second);
  EXPECT_TRUE(node->ExecuteTask(&task));
  EXPECT_EQ(record->writeBuilds.load(), 2);
  const auto requests = peer.Requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[0], requests[1]);
  EXPECT_NE(requests[1], requests[2]);
}

TEST_F(SerialNodeTest, RequestThatCannotBeBuiltIsLoggedPerTry) {
  LogCapture warnings(4);
  auto task = AddTask(*node, "4x99", 100, true);
  node->Start();
  EXPECT_FALSE(node->ExecuteTask(task.get()));
  EXPECT_FALSE(node->ExecuteTask(task.get()));
  EXPECT_EQ(warnings.Count("创建指令 (PLC1.4x00099) 错误."), 4u);
  EXPECT_EQ(record->readBuilds.load(), 1) << "a failed build is not retried";
  EXPECT_EQ(node->GetLinkFailCount(), 4) << "raised once per try, at its start";
  EXPECT_EQ(peer.RequestCount(), 0u);
}

TEST_F(SerialNodeTest, UnsubscribedTasksProduceNoTraffic) {
  node->Start();
  AddTask(*node, "4x1", 0, false);
  AddTask(*node, "4x2", 10, false);
  auto disabled = AddTask(*node, "4x3", 10, true);
  disabled->SetEnable(false);
  for (int i = 0; i < 5; ++i) node->Schedule(1000000);
  EXPECT_EQ(record->readBuilds.load(), 0);
  EXPECT_EQ(peer.RequestCount(), 0u);
  EXPECT_EQ(disabled->GetElapsed(), 0u) << "only polled tasks count time";
}

TEST_F(SerialNodeTest, DueTasksRunOnePerPassRoundRobin) {
  node->Start();
  auto a = AddTask(*node, "4x1", 100, true);
  auto b = AddTask(*node, "4x2", 100, true);
  auto c = AddTask(*node, "4x3", 100, true);
  AddTask(*node, "4x4", 100, false);

  // All due at once: one per pass, in list order.
  node->Schedule(1000);
  node->Schedule(0);
  node->Schedule(0);
  node->Schedule(0);
  EXPECT_EQ(peer.Requests(), (std::vector<std::string>{"R1:1", "R2:1", "R3:1"}));
  for (const auto& task : {a, b, c}) EXPECT_EQ(task->GetElapsed(), 0u);

  // The index goes on from the task after the last one run, so A, due
  // again, waits for C.
  node->Schedule(100);  // index 3 wraps: A
  node->Schedule(100);  // B; A due again
  node->Schedule(100);  // C before A
  node->Schedule(100);  // A
  EXPECT_EQ(peer.Requests(), (std::vector<std::string>{"R1:1", "R2:1", "R3:1", "R1:1", "R2:1",
                                                       "R3:1", "R1:1"}));
}

TEST_F(SerialNodeTest, FirstCyclePollsEveryDueTask) {
  const uint32_t counter = NsPlatform::TimeGetTime();
  if (counter < 20000) GTEST_SKIP() << "the millisecond counter is too small";
  // Due on the first cycle only: its elapsed is the whole counter value.
  const uint32_t interval = std::min<uint32_t>(counter / 2, 65535);
  auto a = AddTask(*node, "4x1", interval, true);
  AddTask(*node, "4x2", interval, false);
  auto b = AddTask(*node, "4x3", interval, true);
  auto c = AddTask(*node, "4x4", interval, true);
  device->open = true;
  node->Start();
  ASSERT_TRUE(peer.WaitForRequests(3));
  ASSERT_TRUE(WaitUntil([&] { return c->GetCacheBlock()->GetUpdateCount() > 2; }));
  std::this_thread::sleep_for(200ms);
  EXPECT_EQ(peer.Requests(), (std::vector<std::string>{"R1:1", "R3:1", "R4:1"}));
  for (const auto& task : {a, b, c}) {
    EXPECT_EQ(task->GetCacheBlock()->GetUpdateCount(), CacheVarBlock::kInitialCount + 1);
  }
  EXPECT_NE(node->GetWorkerCtrl().GetLastTick(), 0xFFFFFFFFu);
}

// A node with its own task execution: counts the calls and the threads they
// come from, and lets them through to the exchange only when asked.
class OwnExecutionNode : public Node {
 public:
  using Node::Node;
  ~OwnExecutionNode() override { GetWorkerCtrl().Stop(); }
  bool ExecuteTask(Task* task) override {
    {
      std::lock_guard lock(mutex);
      threads.push_back(std::this_thread::get_id());
    }
    ++calls;
    return passThrough.load() && Node::ExecuteTask(task);
  }
  std::atomic<int> calls{0};
  std::atomic<bool> passThrough{false};
  std::mutex mutex;
  std::vector<std::thread::id> threads;
};

TEST_F(SerialNodeTest, ThePollingThreadRunsTasksThroughTheNodesOwnExecution) {
  auto own = std::make_shared<OwnExecutionNode>("PLC2", mem, MakeCodec(), device);
  auto task = AddTask(*own, "4x1", 0, true);
  device->open = true;
  own->Start();
  ASSERT_TRUE(WaitUntil([&] { return own->calls.load() >= 3; }));
  // Held back by the node: nothing reached the line.
  EXPECT_EQ(peer.RequestCount(), 0u);
  EXPECT_EQ(task->GetCacheBlock()->GetUpdateCount(), CacheVarBlock::kInitialCount);

  own->passThrough = true;
  ASSERT_TRUE(WaitUntil([&] { return task->GetCacheBlock()->GetUpdateCount() > 2; }));
  EXPECT_GE(peer.RequestCount(), 1u);
  own->GetWorkerCtrl().Stop();
  std::lock_guard lock(own->mutex);
  for (const std::thread::id id : own->threads) EXPECT_NE(id, std::this_thread::get_id());
}

TEST_F(SerialNodeTest, StopWakesAThreadWaitingForASilentPeer) {
  SetReadTotal(30000);
  peer.SetHandler([](const std::string&, size_t) { return PeerReply::None(); });
  AddTask(*node, "4x1", 0, true);
  device->open = true;
  node->Start();
  EXPECT_TRUE(node->GetWorkerCtrl().IsAlive());
  ASSERT_TRUE(peer.WaitForRequests(1));
  std::this_thread::sleep_for(50ms);  // well inside its receive now

  const auto start = Clock::now();
  node->GetWorkerCtrl().Stop();
  EXPECT_LT(Clock::now() - start, 7s);
  EXPECT_FALSE(node->GetWorkerCtrl().IsAlive());
  EXPECT_FALSE(node->GetWorkerCtrl().IsRunning());
  node.reset();
  EXPECT_TRUE(record->destroyed.load()) << "the thread ended and let go of everything";
  EXPECT_EQ(peer.RequestCount(), 1u);
}

TEST_F(SerialNodeTest, StoppedNodeRefusesWrites) {
  node->Start();
  node->GetWorkerCtrl().Stop();
  uint16_t value = 1;
  TaskWriteData task(Parse("4x7"), kTypeUInt16);
  task.SetValue(&value);
  EXPECT_FALSE(node->ExecuteTask(&task));
  EXPECT_EQ(peer.RequestCount(), 0u);
}

// ---- missing parts ----

TEST(NodeMissingParts, ExecuteTaskLogsWhatIsMissing) {
  auto record = std::make_shared<CodecRecord>();
  auto mem = std::make_shared<NodeMemModbus>();
  auto device = std::make_shared<DevSerialImpl>();
  struct Case {
    const char* missing;
    bool withDevice, withCodec, withMem, withTask;
    const char* message;
  };
  const Case cases[] = {
      {"transport", false, true, true, true, "_deviceImpl is null. "},
      {"protocol", true, false, true, true, "_protocol is null. "},
      {"memory map", true, true, false, true, "_nodeMem is null. "},
      {"task", true, true, true, false, "task is null. "},
  };
  for (const Case& c : cases) {
    LogCapture errors(8);
    std::unique_ptr<ProtocolBase> codec;
    if (c.withCodec) codec = std::make_unique<ScriptedCodec>(record);
    Node node("PLC1", c.withMem ? mem : nullptr, std::move(codec),
              c.withDevice ? device : nullptr);
    TaskWriteData task(Parse("4x1"), kTypeUInt16);
    EXPECT_FALSE(node.ExecuteTask(c.withTask ? &task : nullptr)) << c.missing;
    EXPECT_EQ(errors.Texts(), std::vector<std::string>{c.message}) << c.missing;
  }
}

// ---- a thread that outlives the stop wait ----

// A transport whose receive hangs until the test lets it go; it ignores
// interrupts, like a driver that never returns.
class StuckDevice : public DeviceImpl {
 public:
  uint32_t GetKind() const override { return kSerial; }
  void Connect(LinkFailCount&) override {}
  void Purge() override {}
  bool Send(const uint8_t*, uint32_t, LinkFailCount&) override { return true; }
  bool IsReady(uint32_t, LinkFailCount&) override { return true; }
  int32_t Receive(uint8_t*, uint32_t, LinkFailCount&) override {
    std::unique_lock lock(mutex);
    receivers.push_back(std::this_thread::get_id());
    changed.notify_all();
    changed.wait(lock, [this] { return released; });
    return 0;
  }
  void Close() override {}
  void Interrupt() override {}

  void Release() {
    std::lock_guard lock(mutex);
    released = true;
    changed.notify_all();
  }
  std::vector<std::thread::id> Receivers() {
    std::lock_guard lock(mutex);
    return receivers;
  }

  std::mutex mutex;
  std::condition_variable changed;
  bool released = false;
  std::vector<std::thread::id> receivers;
};

class LateThreadTest : public NodeTestBase {
 protected:
  void SetUp() override {
    node = std::make_shared<Node>("PLC1", mem, MakeCodec(), device);
    AddTask(*node, "4x1", 0, true);
    node->Start();
    ASSERT_TRUE(WaitUntil([&] { return !device->Receivers().empty(); }));
  }
  void TearDown() override {
    device->Release();
    node.reset();
    EXPECT_TRUE(WaitUntil([&] { return record->destroyed.load(); }));
  }

  std::shared_ptr<StuckDevice> device = std::make_shared<StuckDevice>();
  std::shared_ptr<Node> node;
};

TEST_F(LateThreadTest, NodeIsDestroyedWhileItsThreadHangs) {
  OneWayWrapper<Node> handle = node->GetHandle();
  node.reset();  // waits the full stop time, then lets the thread go
  EXPECT_FALSE(handle.IsValid());
  EXPECT_FALSE(record->destroyed.load()) << "the hanging thread still holds the shared state";
  device->Release();
  EXPECT_TRUE(WaitUntil([&] { return record->destroyed.load(); }))
      << "the late thread ends and frees the state itself";
}

TEST_F(LateThreadTest, RestartedNodeDoesNotRevive) {
  WorkerCtrl& worker = node->GetWorkerCtrl();
  worker.Stop();
  EXPECT_FALSE(worker.IsAlive()) << "a thread that does not end counts as stopped";
  const std::thread::id late = device->Receivers().front();

  node->Start();  // a new thread; the late one must not resume
  EXPECT_TRUE(worker.IsAlive());
  device->Release();
  ASSERT_TRUE(WaitUntil([&] { return device->Receivers().size() >= 12; }));
  const auto receivers = device->Receivers();
  for (size_t i = receivers.size() - 5; i < receivers.size(); ++i) {
    EXPECT_NE(receivers[i], late);
    EXPECT_EQ(receivers[i], receivers.back());
  }
  EXPECT_TRUE(worker.IsAlive()) << "the late thread's end does not clear the new thread's flag";
}

// ---- a node on an Ethernet link (loopback TCP) ----

class TcpNodeTest : public NodeTestBase {
 protected:
  void SetUp() override { ASSERT_TRUE(peer.IsListening()); }

  std::shared_ptr<Node> MakeNode(uint32_t recvTimeoutMs, bool withMem = true) {
    device = std::make_shared<DevETcpImpl>(TcpPeer::LoopbackNet(), peer.PortNet(), recvTimeoutMs);
    return std::make_shared<Node>("PLC2", withMem ? mem : nullptr, MakeCodec(), device);
  }

  TcpPeer peer;
  std::shared_ptr<DevETcpImpl> device;
  std::shared_ptr<Node> node;
};

TEST_F(TcpNodeTest, SurvivesAPeerThatResetsTheConnection) {
  peer.SetHandler([](const std::string&, size_t index) {
    PeerReply reply = PeerReply::Line("A1234\n");
    reply.reset = index == 0;
    return reply;
  });
  node = MakeNode(2000);
  auto task = AddTask(*node, "4x1", 50, true);
  node->Start();
  ASSERT_TRUE(peer.WaitForAccepted(2));
  ASSERT_TRUE(WaitUntil([&] { return task->GetCacheBlock()->GetUpdateCount() > 2; }));
  const auto ports = peer.ClientPorts();
  ASSERT_GE(ports.size(), 2u);
  EXPECT_NE(ports[0], ports[1]) << "the reconnect uses a new socket";
  EXPECT_EQ(node->GetLinkFailCount(), 0);
}

TEST_F(TcpNodeTest, StopWakesAThreadWaitingForASilentPeer) {
  peer.SetHandler([](const std::string&, size_t) { return PeerReply::None(); });
  node = MakeNode(30000);
  AddTask(*node, "4x1", 0, true);
  node->Start();
  node->Start();  // started already: nothing
  ASSERT_TRUE(peer.WaitForRequests(1));
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(peer.Accepted(), 1u);

  const auto start = Clock::now();
  node->GetWorkerCtrl().Stop();
  EXPECT_LT(Clock::now() - start, 7s);
  EXPECT_FALSE(node->GetWorkerCtrl().IsAlive());
  node.reset();
  EXPECT_TRUE(record->destroyed.load());
}

TEST_F(TcpNodeTest, NodeWithoutMemoryMapOnlyConnects) {
  node = MakeNode(2000, false);
  node->Start();
  EXPECT_TRUE(node->GetWorkerCtrl().IsAlive());
  EXPECT_TRUE(peer.WaitForAccepted(1));
  EXPECT_EQ(device->GetClient().GetState(), NsCommServer::ENetClient::kConnectTried);
  node->GetWorkerCtrl().Stop();
  EXPECT_FALSE(node->GetWorkerCtrl().IsAlive());
  EXPECT_EQ(peer.RequestCount(), 0u);

  Node bare("PLC3", nullptr, MakeCodec(), nullptr);
  bare.Start();
  EXPECT_FALSE(bare.GetWorkerCtrl().IsAlive());
}

// ---- queries ----

class NodeQueryTest : public NodeTestBase {
 protected:
  std::shared_ptr<DevSerialImpl> serial = std::make_shared<DevSerialImpl>();
  Node node{"PLC1", mem, MakeCodec(), serial};
};

TEST_F(NodeQueryTest, AddReadTaskMakesTheCacheBlockThroughTheMap) {
  EXPECT_TRUE(node.AddReadTask(BlockDescriptor{Parse("4x[10~19]"), 500}, "words", true));
  EXPECT_TRUE(node.AddReadTask(BlockDescriptor{Parse("0x[0~8]"), 0}, "bits", false));
  const auto tasks = node.GetTasks();
  ASSERT_EQ(tasks.size(), 2u);
  EXPECT_EQ(tasks[0]->GetName(), "words");
  EXPECT_TRUE(tasks[0]->IsEnabled());
  EXPECT_EQ(tasks[0]->GetInterval(), 500u);
  EXPECT_EQ(tasks[0]->GetCacheBlock()->GetSize(), 20u);
  EXPECT_EQ(tasks[0]->GetCacheBlock()->GetName(), "words");
  EXPECT_EQ(tasks[1]->GetName(), "bits");
  EXPECT_FALSE(tasks[1]->IsEnabled());
  EXPECT_EQ(tasks[1]->GetCacheBlock()->GetSize(), 2u);

  auto copy = node.GetTasks();
  copy.clear();
  EXPECT_EQ(node.GetTasks().size(), 2u) << "GetTasks hands out a copy";

  Node bare("PLC9", nullptr, MakeCodec(), serial);
  EXPECT_FALSE(bare.AddReadTask(BlockDescriptor{Parse("4x1"), 100}, "x", true));
  EXPECT_TRUE(bare.GetTasks().empty());
}

TEST_F(NodeQueryTest, HasTaskMatchesExactNonEmptyNames) {
  node.AddReadTask(BlockDescriptor{Parse("4x1"), 100}, "", true);
  node.AddReadTask(BlockDescriptor{Parse("4x2"), 100}, "Block", true);
  EXPECT_FALSE(node.HasTask(""));
  EXPECT_TRUE(node.HasTask("Block"));
  EXPECT_FALSE(node.HasTask("block"));
  EXPECT_FALSE(node.HasTask("Block "));
}

TEST_F(NodeQueryTest, FindTaskForAddressGivesTheBlockAndOffset) {
  node.AddReadTask(BlockDescriptor{Parse("4x[10~19]"), 100}, "a", true);
  node.AddReadTask(BlockDescriptor{Parse("4x[20~29]"), 100}, "b", true);
  node.AddReadTask(BlockDescriptor{Parse("0x[0~15]"), 100}, "c", true);
  struct Case {
    const char* address;
    DataTypeFlag type;
    const char* block;  // null: none
    uint16_t offset;
  };
  const Case cases[] = {
      {"4x10", kTypeUInt16, "a", 0},   {"4x25", kTypeInt16, "b", 10},
      {"4x18", kTypeUInt32, "a", 16},  {"4x19", kTypeInt32, nullptr, 0},
      {"4x30", kTypeUInt16, nullptr, 0}, {"0x3", kTypeBit, "c", 3},
      {"3x10", kTypeUInt16, nullptr, 0},
  };
  for (const Case& c : cases) {
    uint16_t offset = 0xFFFF;
    const auto task = node.FindTaskForAddress(Parse(c.address), c.type, &offset);
    if (c.block == nullptr) {
      EXPECT_EQ(task, nullptr) << c.address;
      continue;
    }
    ASSERT_NE(task, nullptr) << c.address;
    EXPECT_EQ(task->GetName(), c.block) << c.address;
    EXPECT_EQ(offset, c.offset) << c.address;
  }
  EXPECT_NE(node.FindTaskForAddress(Parse("4x11"), kTypeUInt16, nullptr), nullptr);
}

TEST_F(NodeQueryTest, FormatAddressUsesTheMap) {
  EXPECT_EQ(node.FormatAddress(Parse("4X10")), "4x00010");
  EXPECT_EQ(node.FormatAddress(Parse("4x[10~19]")), "4x[00010~00019]");
  Node bare("PLC9", nullptr, MakeCodec(), serial);
  EXPECT_EQ(bare.FormatAddress(Parse("4x10")), "");
}

TEST_F(NodeQueryTest, CheckBlockNeedsAllPartsAndFitsOneRequest) {
  auto tcp = std::make_shared<DevETcpImpl>(TcpPeer::LoopbackNet(), 0, 1000);
  Node noMap("a", nullptr, MakeCodec(), serial);
  Node noCodec("b", mem, nullptr, serial);
  Node noDevice("c", mem, MakeCodec(), nullptr);
  Node overTcp("d", mem, MakeCodec(), tcp);

  TermAddr past = Parse("4x65530");
  past.count = 5;  // runs over the end of the area
  struct Case {
    const char* what;
    const Node& node;
    TermAddr addr;
    AddrCheckCode code;
  };
  const Case cases[] = {
      {"no map", noMap, Parse("4x1"), kAddrSystemError},
      {"no protocol", noCodec, Parse("4x1"), kAddrSystemError},
      {"no device", noDevice, Parse("4x1"), kAddrSystemError},
      {"past the area", node, past, kAddrBadRange},
      {"121 words serial", node, Parse("4x[0~120]"), kAddrBadLength},
      {"120 words serial", node, Parse("4x[0~119]"), kAddrOk},
      {"101 words TCP", overTcp, Parse("4x[0~100]"), kAddrBadLength},
      {"100 words TCP", overTcp, Parse("4x[0~99]"), kAddrOk},
  };
  for (const Case& c : cases) EXPECT_EQ(c.node.CheckBlock(c.addr), c.code) << c.what;
}

}  // namespace
}  // namespace NsOvrin::NsTermination
