// A data block edited while its node polls it on a pseudo-terminal: the
// editor's changes are taken under the exclusive task lock and the polling
// thread picks them up at its next request.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <mutex>
#include <shared_mutex>
#include <thread>

#include "PtyPeer.h"
#include "ScriptedCodec.h"
#include "termination/Node.h"
#include "termination/NodeMemModbus.h"

namespace NsOvrin::NsTermination {
namespace {

using namespace std::chrono_literals;
using Testing::PeerReply;

bool WaitUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + 10s;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

// The transport is always ready: the started node polls on its own thread.
class OpenSerial : public DevSerialImpl {
 public:
  bool IsReady(uint32_t, LinkFailCount&) override { return true; }
};

class TaskEditTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(peer.IsOpen());
    const int fd = peer.OpenSlave();
    ASSERT_GE(fd, 0);
    device->SetPortHandle(fd);
    peer.SetHandler([](const std::string&, size_t) { return PeerReply::Line("A1234\n"); });
    peer.Start();
    node = std::make_shared<Node>("PLC1", mem, std::make_unique<Testing::ScriptedCodec>(record),
                                  device);
  }
  void TearDown() override {
    if (node) node->GetWorkerCtrl().Stop();
  }

  std::shared_ptr<TaskReadData> Add(const std::string& text, const std::string& name) {
    BlockDescriptor block;
    EXPECT_EQ(mem->ParseAddress(text, block.addr), kAddrOk);
    block.interval = 20;
    EXPECT_TRUE(node->AddReadTask(block, name, true));
    auto task = node->GetTasks().back();
    task->AddSubscriber();
    return task;
  }
  bool Requested(const std::string& line) {
    for (const std::string& request : peer.Requests())
      if (request == line) return true;
    return false;
  }

  Testing::PtyPeer peer;
  std::shared_ptr<Testing::CodecRecord> record = std::make_shared<Testing::CodecRecord>();
  std::shared_ptr<NodeMemModbus> mem = std::make_shared<NodeMemModbus>();
  std::shared_ptr<OpenSerial> device = std::make_shared<OpenSerial>();
  std::shared_ptr<Node> node;
};

TEST_F(TaskEditTest, ANewAddressIsPolledIntoItsNewCacheBlock) {
  auto task = Add("4x1", "温度");
  node->Start();
  ASSERT_TRUE(WaitUntil([&] { return Requested("R1:1"); }));
  const auto oldCache = task->GetCacheBlock();

  TermAddr addr;
  ASSERT_EQ(mem->ParseAddress("4x[7~8]", addr), kAddrOk);
  auto cache = mem->CreateCacheFor(addr);
  const uint32_t updates = cache->GetUpdateCount();
  {
    std::unique_lock lock(node->GetTaskLock());
    task->SetBlock(addr, cache);
    task->SetName("压力");
    task->SetInterval(10);
    EXPECT_FALSE(task->IsBuilt());
  }
  EXPECT_EQ(task->GetCacheBlock(), cache);
  EXPECT_EQ(cache->GetName(), "压力");
  EXPECT_EQ(task->GetName(), "压力");
  EXPECT_EQ(task->GetInterval(), 10u);
  ASSERT_TRUE(WaitUntil([&] { return Requested("R7:2"); }));
  ASSERT_TRUE(WaitUntil([&] { return cache->GetUpdateCount() != updates; }));
  const uint32_t oldUpdates = oldCache->GetUpdateCount();
  std::this_thread::sleep_for(100ms);
  EXPECT_EQ(oldCache->GetUpdateCount(), oldUpdates) << "the old block is no longer filled";
}

TEST_F(TaskEditTest, ARemovedTaskIsNoLongerPolledAndTheOthersKeepTheirOrder) {
  auto a = Add("4x1", "a");
  auto b = Add("4x2", "b");
  auto c = Add("4x3", "c");
  node->Start();
  ASSERT_TRUE(WaitUntil([&] { return Requested("R2:1"); }));
  EXPECT_TRUE(node->RemoveReadTask(b.get()));
  EXPECT_FALSE(node->RemoveReadTask(b.get()));
  EXPECT_FALSE(node->RemoveReadTask(nullptr));
  EXPECT_EQ(node->GetTasks(), (std::vector<std::shared_ptr<TaskReadData>>{a, c}));
  const size_t seen = peer.RequestCount();
  ASSERT_TRUE(WaitUntil([&] { return peer.RequestCount() >= seen + 6; }));
  const auto requests = peer.Requests();
  for (size_t i = seen; i < requests.size(); ++i) EXPECT_NE(requests[i], "R2:1") << i;
}

}  // namespace
}  // namespace NsOvrin::NsTermination
