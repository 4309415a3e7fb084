#pragma once
// Small helpers of the end-to-end tests: waiting with a deadline, device
// parameters for a loopback slave, subscribed read tasks and one-off writes.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "termination/DevDefine.h"
#include "termination/Node.h"

namespace NsOvrin::NsTermination::E2e {

using namespace std::chrono_literals;

inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = 15s) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(5ms);
  }
  return true;
}

inline NsDevDefine::ENetDevParam LoopbackParam(const std::string& name, uint32_t deviceId,
                                               uint16_t port) {
  NsDevDefine::ENetDevParam param;
  param.name = name;
  param.deviceId = deviceId;
  param.stationNo = 1;
  param.ipAddr = htonl(INADDR_LOOPBACK);
  param.port = port;
  param.recvTimeout = 2000;
  return param;
}

inline TermAddr ParseFor(const Node& node, const std::string& text) {
  TermAddr addr;
  EXPECT_EQ(node.GetNodeMem()->ParseAddress(text, addr), kAddrOk) << text;
  return addr;
}

// A read task for the block, enabled and subscribed as a binding would.
inline std::shared_ptr<TaskReadData> AddPolledBlock(Node& node, const std::string& text,
                                                    uint16_t interval = 20) {
  const TermAddr addr = ParseFor(node, text);
  EXPECT_TRUE(node.AddReadTask(BlockDescriptor{addr, interval}, text, true)) << text;
  std::shared_ptr<TaskReadData> task = node.GetTasks().back();
  task->AddSubscriber();
  return task;
}

// Waits until the block has taken a reply that satisfies the check.
inline bool WaitForBlock(const TaskReadData& task, const std::function<bool(const CacheVarBlock&)>& check) {
  const CacheVarBlock& block = *task.GetCacheBlock();
  return WaitUntil([&] { return block.GetUpdateCount() > CacheVarBlock::kInitialCount && check(block); });
}

inline bool BlockBit(const CacheVarBlock& block, uint32_t index) {
  bool bit = false;
  return block.GetBit(index, bit) && bit;
}

// One write of a value through the node, as a binding's writer does it.
template <typename T>
bool WriteValue(Node& node, const std::string& text, uint32_t dataType, T value) {
  TaskWriteData task(ParseFor(node, text), dataType);
  task.SetValue(&value);
  return node.ExecuteTask(&task);
}

}  // namespace NsOvrin::NsTermination::E2e
