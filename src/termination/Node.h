#pragma once
// One PLC station of a channel: its memory map, transport, codec, name and
// read tasks. A started node with a memory map runs a polling thread of its
// own that executes the due read tasks round-robin, one per cycle; writers
// run their tasks through the same exchange routine on their own thread.
//
// Everything the polling thread touches lives in a block shared by the node
// and its thread, so a thread that outlives the stop wait never reaches a
// destroyed node or transport. The node itself it reaches only to run a due
// task through ExecuteTask, and the node's destructor cuts that way first.
#include <any>
#include <chrono>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <thread>
#include <vector>

#include "QlDev/AddrCheckCode.h"
#include "QlDev/DataTypeFlag.h"
#include "common/OneWayWrapper.h"
#include "protocol/ProtocolBase.h"
#include "termination/DeviceImpl.h"
#include "termination/NodeMem.h"
#include "termination/Task.h"

namespace NsOvrin::NsTermination {

class Node;
struct NodeState;

// Control block of a node's polling thread.
class WorkerCtrl {
 public:
  static constexpr uint32_t kNoTick = 0xFFFFFFFF;
  // Upper bound of a stop's wait for the thread: 80 polls of 100 ms.
  static constexpr std::chrono::milliseconds kStopWait{8000};

  explicit WorkerCtrl(NodeState& state) : _state(state) {}
  WorkerCtrl(const WorkerCtrl&) = delete;
  WorkerCtrl& operator=(const WorkerCtrl&) = delete;
  ~WorkerCtrl();

  // Clears run and waits for the thread.
  void Stop();
  // Clears run and wakes a wait of this node on its transport, without
  // waiting: a channel stops all its nodes this way first, then waits for
  // each, so that the threads wind down in parallel.
  void RequestStop();
  // Waits at most kStopWait for the thread to end. A thread still running
  // then is let go (it ends at its next check and touches only the shared
  // block); the node counts as stopped in every case.
  void WaitStopped();

  bool IsRunning() const { return _run.load() != 0; }
  // Set while the node is started.
  bool IsAlive() const { return _alive.load() != 0; }
  uint32_t GetLastTick() const { return _lastTick.load(); }
  uint16_t GetResendTimes() const { return _resendTimes; }

 private:
  friend class Node;
  friend struct NodeState;
  friend uint32_t NodePollThread(std::shared_ptr<NodeState> state, uint64_t generation);

  // Whether the thread of this generation keeps looping.
  bool ShouldRun(uint64_t generation) const;
  // Ends the pause early when run is cleared.
  void Pause(std::chrono::milliseconds duration);
  void ThreadEnded(uint64_t generation);

  NodeState& _state;
  std::atomic<uint8_t> _run{1};
  std::atomic<uint8_t> _alive{0};
  std::thread _thread;
  OneWayWrapper<Node> _threadHandle;
  std::atomic<uint32_t> _lastTick{kNoTick};
  uint16_t _resendTimes = 2;
  // Each Start begins a new generation; a thread of an older one (let go by
  // a stop that timed out) ends and never clears the flags of the new one.
  std::atomic<uint64_t> _generation{0};
  mutable std::mutex _mutex;
  std::condition_variable _changed;
};

// The polling thread's procedure: connects, then cycles every 17 ms until
// run is cleared. Returns 0.
uint32_t NodePollThread(std::shared_ptr<NodeState> state, uint64_t generation);

class Node {
 public:
  // Takes over the protocol; memory map and transport may be empty (a serial
  // node gets its channel's transport when it is added).
  Node(const std::string& name, std::shared_ptr<NodeMem> nodeMem,
       std::unique_ptr<ProtocolBase> protocol, std::shared_ptr<DeviceImpl> deviceImpl);
  Node(const Node&) = delete;
  Node& operator=(const Node&) = delete;
  virtual ~Node();

  // Runs one task to completion on the calling thread, up to the node's
  // tries 50 ms apart under the transport's exchange lock; true when an
  // exchange succeeded. A node that is not started makes no exchange.
  // The polling thread calls it through this slot; a subclass that overrides
  // it stops the node (GetWorkerCtrl().Stop()) in its own destructor, before
  // what its version uses goes.
  virtual bool ExecuteTask(Task* task);

  // Nothing while started. With a memory map: begins the polling thread;
  // without one: connects the transport (when there is one).
  void Start();
  WorkerCtrl& GetWorkerCtrl();

  // A non-owning copy of the node's own handle.
  OneWayWrapper<Node> GetHandle() const { return _handle; }
  const std::string& GetName() const;
  const std::string& GetDescription() const { return _description; }
  void SetDescription(const std::string& text) { _description = text; }
  // The RsDevParam or ENetDevParam the node was made from.
  const std::any& GetDeviceParams() const { return _deviceParams; }
  void SetDeviceParams(std::any params) { _deviceParams = std::move(params); }

  const std::shared_ptr<NodeMem>& GetNodeMem() const;
  ProtocolBase* GetProtocol() const;
  std::shared_ptr<DeviceImpl> GetDeviceImpl() const;
  void SetDeviceImpl(std::shared_ptr<DeviceImpl> deviceImpl);
  int GetLinkFailCount() const;

  // A read task for the block, with a cache block made by the memory map;
  // false without a memory map.
  bool AddReadTask(const BlockDescriptor& block, const std::string& name, bool enable);
  // The first task whose block contains the address for the data type;
  // offset (optional) receives its position inside the block.
  std::shared_ptr<TaskReadData> FindTaskForAddress(const TermAddr& addr, DataTypeFlag type,
                                                   uint16_t* offset) const;
  std::vector<std::shared_ptr<TaskReadData>> GetTasks() const;
  // Erases the task (by identity) under the exclusive task lock, keeping
  // the order of the others; false when it is not in the list.
  bool RemoveReadTask(const TaskReadData* task);
  // False for an empty name.
  bool HasTask(const std::string& name) const;
  // Empty without a memory map.
  std::string FormatAddress(const TermAddr& addr) const;
  AddrCheckCode CheckBlock(const TermAddr& addr) const;
  // Whether some read task's block holds the address (as a 16-bit word for a
  // word address).
  bool IsInDataBlock(const TermAddr& addr) const;
  // Parses the text with the node's map, then checks it as a block.
  AddrCheckCode CheckBlockText(const std::string& text) const;
  // Guards the task list: shared for readers, exclusive for changes.
  std::shared_mutex& GetTaskLock() const;

 protected:
  // One round-robin pass of the polling thread.
  void Schedule(uint32_t elapsed);
  // One request/reply exchange; the caller holds the exchange lock.
  bool Transact(Task* task);

 private:
  std::any _deviceParams;
  OneWayWrapper<Node> _handle;
  std::shared_ptr<NodeState> _state;
  std::string _description;
};

}  // namespace NsOvrin::NsTermination
