#include "termination/Node.h"

#include <algorithm>
#include <functional>
#include <system_error>
#include <utility>

#include "QlDev/DeviceAddress.h"
#include "common/Log.h"
#include "platform/Clock.h"

namespace NsOvrin::NsTermination {

namespace ProtoStatus = NsProtocol::ProtoStatus;

namespace {

constexpr int kMaxLinkFails = 5;
constexpr int kMaxReceivePasses = 10;
constexpr uint32_t kReceiveBufferSize = 2048;
constexpr std::chrono::milliseconds kCyclePause{17};
constexpr std::chrono::milliseconds kRetryPause{50};

void RaiseLinkFails(LinkFailCount& count) {
  int value = count.load();
  while (value < kMaxLinkFails && !count.compare_exchange_weak(value, value + 1)) {
  }
}

}  // namespace

// The part of a node its polling thread uses; shared by the node and the
// thread so that a thread which outlives the stop wait stays safe.
struct NodeState {
  NodeState(const std::string& nodeName, std::shared_ptr<NodeMem> mem,
            std::unique_ptr<ProtocolBase> codec, std::shared_ptr<DeviceImpl> device)
      : name(nodeName),
        nodeMem(std::move(mem)),
        protocol(std::move(codec)),
        deviceImpl(std::move(device)),
        worker(*this) {}

  std::shared_ptr<DeviceImpl> GetDevice() const {
    std::lock_guard lock(deviceMutex);
    return deviceImpl;
  }
  void SetDevice(std::shared_ptr<DeviceImpl> device) {
    std::lock_guard lock(deviceMutex);
    deviceImpl = std::move(device);
  }

  std::string AddressText(const Task& task) const {
    const TermAddr& addr = task.GetAddr();
    const std::string text =
        nodeMem ? nodeMem->FormatAddress(addr.prefix, addr.start, addr.count, addr.lastAddress)
                : std::string();
    return JoinDeviceAddress(name, text);
  }

  bool ExecuteTask(Task* task);
  bool Transact(Task& task, DeviceImpl& device);
  // Runs the due task through execute (the node's ExecuteTask).
  void Schedule(uint32_t elapsed, const std::function<bool(Task*)>& execute);
  // The polling thread's way to a task's execution: the node's own
  // ExecuteTask, so that a node's version of it is the one run; nothing once
  // the node is going.
  bool ExecuteThroughNode(Task* task) {
    Node* const node = owner.load();
    return node != nullptr && node->ExecuteTask(task);
  }

  const std::string name;
  const std::shared_ptr<NodeMem> nodeMem;
  const std::unique_ptr<ProtocolBase> protocol;
  mutable std::mutex deviceMutex;
  std::shared_ptr<DeviceImpl> deviceImpl;  // guarded by deviceMutex
  std::vector<std::shared_ptr<TaskReadData>> tasks;
  mutable std::shared_mutex taskLock;
  std::atomic<uint32_t> roundRobin{0};
  LinkFailCount linkFailCount{0};
  // The connection whose byte stream the codec is framing (under the
  // transport's exchange lock).
  uint32_t streamConnection = 0;
  // The node this is the state of; cleared first when the node goes, so that
  // no new call reaches it. A call begun before is waited for by the stop.
  std::atomic<Node*> owner{nullptr};
  WorkerCtrl worker;
};

// ---- WorkerCtrl ----

WorkerCtrl::~WorkerCtrl() {
  // Reached with a joinable thread only when the node never stopped it;
  // the thread holds the state, so this cannot run on a live thread's behalf.
  if (_thread.joinable()) _thread.detach();
}

bool WorkerCtrl::ShouldRun(uint64_t generation) const {
  return _run.load() != 0 && _generation.load() == generation;
}

void WorkerCtrl::Pause(std::chrono::milliseconds duration) {
  std::unique_lock lock(_mutex);
  _changed.wait_for(lock, duration, [this] { return _run.load() == 0; });
}

void WorkerCtrl::RequestStop() {
  {
    std::lock_guard lock(_mutex);
    _run.store(0);
  }
  _changed.notify_all();
  // The thread marks its use of the transport before it checks run, and
  // run is cleared before the mark is read: either the thread sees run
  // cleared, or its wait is woken here.
  if (const std::shared_ptr<DeviceImpl> device = _state.GetDevice()) {
    device->InterruptIfUsedBy(&_state);
  }
}

void WorkerCtrl::Stop() {
  RequestStop();
  WaitStopped();
}

void WorkerCtrl::WaitStopped() {
  if (_thread.joinable()) {
    bool ended;
    {
      std::unique_lock lock(_mutex);
      ended = _changed.wait_for(lock, kStopWait, [this] { return _alive.load() == 0; });
      // A thread let go must not resume when the node is started again.
      if (!ended) _generation.fetch_add(1);
    }
    if (ended) {
      _thread.join();
    } else {
      _thread.detach();
    }
  }
  std::lock_guard lock(_mutex);
  _alive.store(0);
}

void WorkerCtrl::ThreadEnded(uint64_t generation) {
  {
    std::lock_guard lock(_mutex);
    if (_generation.load() == generation) _alive.store(0);
  }
  _changed.notify_all();
}

// ---- polling thread ----

uint32_t NodePollThread(std::shared_ptr<NodeState> state, uint64_t generation) {
  WorkerCtrl& worker = state->worker;
  std::shared_ptr<DeviceImpl> device = state->GetDevice();
  if (device) {
    // Under the exchange lock: a writer may already exchange on the client.
    std::lock_guard lock(device->GetLock());
    DeviceImpl::UseScope use(*device, state.get());
    if (worker.ShouldRun(generation)) device->Connect(state->linkFailCount);
  }
  while (worker.ShouldRun(generation)) {
    const uint32_t now = NsPlatform::TimeGetTime();
    const uint32_t last = worker._lastTick.load();
    uint32_t elapsed;
    if (now > last) {
      elapsed = now - last;
    } else if (now == last) {
      elapsed = 0;
    } else {
      elapsed = (WorkerCtrl::kNoTick - last) + now;
    }
    worker._lastTick.store(now);

    bool ready = false;
    if (device) {
      std::lock_guard lock(device->GetLock());
      DeviceImpl::UseScope use(*device, state.get());
      if (worker.ShouldRun(generation)) ready = device->IsReady(elapsed, state->linkFailCount);
    }
    if (ready && worker.ShouldRun(generation)) {
      state->Schedule(elapsed, [&state](Task* task) { return state->ExecuteThroughNode(task); });
    }
    worker.Pause(kCyclePause);
  }
  worker.ThreadEnded(generation);
  return 0;
}

// ---- exchange ----

void NodeState::Schedule(uint32_t elapsed, const std::function<bool(Task*)>& execute) {
  std::shared_lock lock(taskLock);
  for (const std::shared_ptr<TaskReadData>& task : tasks) {
    if (task && task->IsPolled()) task->AddElapsed(elapsed);
  }
  const size_t count = tasks.size();
  for (size_t examined = 0; examined < count && worker.IsRunning(); ++examined) {
    uint32_t index = roundRobin.load();
    if (index >= count) index = 0;
    roundRobin.store(index + 1);
    const std::shared_ptr<TaskReadData>& task = tasks[index];
    if (task && task->IsPolled() && task->IsDue()) {
      execute(task.get());
      return;
    }
  }
}

bool NodeState::ExecuteTask(Task* task) {
  const std::shared_ptr<DeviceImpl> device = GetDevice();
  if (!device) {
    OV_LOG(8).AppendText("_deviceImpl is null. ");
    return false;
  }
  if (!protocol) {
    OV_LOG(8).AppendText("_protocol is null. ");
    return false;
  }
  if (!nodeMem) {
    OV_LOG(8).AppendText("_nodeMem is null. ");
    return false;
  }
  if (task == nullptr) {
    OV_LOG(8).AppendText("task is null. ");
    return false;
  }

  std::lock_guard lock(device->GetLock());
  // Declared after the lock: the elapsed counter restarts before the lock
  // is left, on every way out.
  struct ResetOnExit {
    Task& task;
    ~ResetOnExit() { task.ResetElapsed(); }
  } reset{*task};
  DeviceImpl::UseScope use(*device, this);

  for (uint16_t attempt = 0;
       attempt < worker._resendTimes && worker.IsAlive() && worker.IsRunning(); ++attempt) {
    if (Transact(*task, *device)) return true;
    worker.Pause(kRetryPause);
  }
  return false;
}

bool NodeState::Transact(Task& task, DeviceImpl& device) {
  RaiseLinkFails(linkFailCount);

  const uint8_t* request = nullptr;
  uint32_t length = 0;
  if (task.GetRequest(protocol.get(), request, length) != ProtoStatus::Built) {
    OV_LOG(4).AppendText("创建指令 (").AppendText(AddressText(task)).AppendText(") 错误.");
    return false;
  }

  bool ok = false;
  if (worker.IsRunning()) {
    uint8_t buffer[kReceiveBufferSize];
    // A TCP connection is one byte stream from connect to close, framed by
    // the codec across exchanges: what came since the last exchange is
    // passed over frame by frame rather than dropped, and only the reply's
    // deadline ends the wait, however many pieces the reply comes in.
    const bool stream = device.GetKind() == DeviceImpl::kTcp;
    device.Purge();
    if (stream) {
      const uint32_t connection = device.GetConnection();
      if (connection != streamConnection) {
        protocol->ResetStream();
        streamConnection = connection;
      }
      for (int32_t n; (n = device.ReceiveWaiting(buffer, kReceiveBufferSize)) > 0;) {
        protocol->PassOver(buffer, std::min(static_cast<uint32_t>(n), kReceiveBufferSize));
      }
    }
    task.BeginExchange(protocol.get());
    device.Send(request, length, linkFailCount);
    protocol->ResetReceive();

    for (int pass = 0; (stream || pass < kMaxReceivePasses) && worker.IsRunning();
         pass += stream ? 0 : 1) {
      const int32_t n = device.Receive(buffer, kReceiveBufferSize, linkFailCount);
      if (n < 1 || static_cast<uint32_t>(n) > kReceiveBufferSize) break;
      const uint8_t result = task.ParseReply(protocol.get(), buffer, static_cast<uint32_t>(n));
      if (result == ProtoStatus::Complete) {
        ok = true;
        break;
      }
      if (result == ProtoStatus::Error) {
        OV_LOG(4).AppendText("接收 ").AppendText(AddressText(task)).AppendText(", 接收数据发生错误.");
        break;
      }
    }
  }

  if (ok) {
    linkFailCount.store(0);
  } else {
    RaiseLinkFails(linkFailCount);
  }
  return ok;
}

// ---- Node ----

Node::Node(const std::string& name, std::shared_ptr<NodeMem> nodeMem,
           std::unique_ptr<ProtocolBase> protocol, std::shared_ptr<DeviceImpl> deviceImpl)
    : _handle(this),
      _state(std::make_shared<NodeState>(name, std::move(nodeMem), std::move(protocol),
                                         std::move(deviceImpl))) {
  _state->owner.store(this);
}

Node::~Node() {
  _state->owner.store(nullptr);
  _handle.Reset();
  WorkerCtrl& worker = _state->worker;
  worker.Stop();
  {
    // A thread let go by the stop may still be in a pass: its tasks then go
    // with the shared state rather than keep this destructor waiting.
    std::unique_lock lock(_state->taskLock, std::try_to_lock);
    if (lock.owns_lock()) _state->tasks.clear();
  }
  worker._threadHandle.Reset();
  worker.Stop();
}

bool Node::ExecuteTask(Task* task) { return _state->ExecuteTask(task); }

void Node::Start() {
  WorkerCtrl& worker = _state->worker;
  if (worker.IsAlive()) return;

  if (!_state->nodeMem) {
    const std::shared_ptr<DeviceImpl> device = _state->GetDevice();
    if (!device) return;
    {
      std::lock_guard lock(device->GetLock());
      device->Connect(_state->linkFailCount);
    }
    std::lock_guard lock(worker._mutex);
    worker._alive.store(1);
    return;
  }

  // A thread that ended by itself (its run flag cleared without a wait).
  if (worker._thread.joinable()) worker._thread.join();
  worker._threadHandle = OneWayWrapper<Node>(this);
  uint64_t generation;
  {
    std::lock_guard lock(worker._mutex);
    generation = worker._generation.fetch_add(1) + 1;
    worker._alive.store(1);
    worker._run.store(1);
  }
  try {
    worker._thread = std::thread(NodePollThread, _state, generation);
  } catch (const std::system_error&) {
    std::lock_guard lock(worker._mutex);
    worker._alive.store(0);
  }
}

WorkerCtrl& Node::GetWorkerCtrl() { return _state->worker; }

const std::string& Node::GetName() const { return _state->name; }

const std::shared_ptr<NodeMem>& Node::GetNodeMem() const { return _state->nodeMem; }

ProtocolBase* Node::GetProtocol() const { return _state->protocol.get(); }

std::shared_ptr<DeviceImpl> Node::GetDeviceImpl() const { return _state->GetDevice(); }

void Node::SetDeviceImpl(std::shared_ptr<DeviceImpl> deviceImpl) {
  _state->SetDevice(std::move(deviceImpl));
}

int Node::GetLinkFailCount() const { return _state->linkFailCount.load(); }

std::shared_mutex& Node::GetTaskLock() const { return _state->taskLock; }

void Node::Schedule(uint32_t elapsed) {
  _state->Schedule(elapsed, [this](Task* task) { return ExecuteTask(task); });
}

bool Node::Transact(Task* task) {
  const std::shared_ptr<DeviceImpl> device = _state->GetDevice();
  if (!device || task == nullptr) return false;
  std::lock_guard lock(device->GetLock());
  DeviceImpl::UseScope use(*device, _state.get());
  return _state->Transact(*task, *device);
}

// ---- queries ----

bool Node::AddReadTask(const BlockDescriptor& block, const std::string& name, bool enable) {
  if (!_state->nodeMem) return false;
  auto task =
      std::make_shared<TaskReadData>(_state->nodeMem->CreateCacheFor(block.addr), block, name);
  task->SetEnable(enable);
  std::unique_lock lock(_state->taskLock);
  _state->tasks.push_back(std::move(task));
  return true;
}

std::shared_ptr<TaskReadData> Node::FindTaskForAddress(const TermAddr& addr, DataTypeFlag type,
                                                       uint16_t* offset) const {
  std::shared_lock lock(_state->taskLock);
  for (const std::shared_ptr<TaskReadData>& task : _state->tasks) {
    if (task && task->GetAddr().Contains(addr, type, offset)) return task;
  }
  return nullptr;
}

std::vector<std::shared_ptr<TaskReadData>> Node::GetTasks() const {
  std::shared_lock lock(_state->taskLock);
  return _state->tasks;
}

bool Node::RemoveReadTask(const TaskReadData* task) {
  if (task == nullptr) return false;
  std::unique_lock lock(_state->taskLock);
  std::vector<std::shared_ptr<TaskReadData>>& tasks = _state->tasks;
  for (auto it = tasks.begin(); it != tasks.end(); ++it) {
    if (it->get() == task) {
      tasks.erase(it);
      return true;
    }
  }
  return false;
}

bool Node::HasTask(const std::string& name) const {
  if (name.empty()) return false;
  std::shared_lock lock(_state->taskLock);
  for (const std::shared_ptr<TaskReadData>& task : _state->tasks) {
    if (task && task->GetName() == name) return true;
  }
  return false;
}

std::string Node::FormatAddress(const TermAddr& addr) const {
  if (!_state->nodeMem) return std::string();
  return _state->nodeMem->FormatAddress(addr.prefix, addr.start, addr.count, addr.lastAddress);
}

AddrCheckCode Node::CheckBlock(const TermAddr& addr) const {
  const std::shared_ptr<DeviceImpl> device = _state->GetDevice();
  if (!_state->nodeMem || !_state->protocol || !device) return kAddrSystemError;
  const AddrCheckCode code = _state->nodeMem->CheckBlockRange(addr);
  if (code != kAddrOk) return code;
  if (_state->protocol->GetMaxUnits(device->GetKind(), addr) < addr.count) return kAddrBadLength;
  return kAddrOk;
}

bool Node::IsInDataBlock(const TermAddr& addr) const {
  for (const std::shared_ptr<TaskReadData>& task : GetTasks()) {
    if (task && task->GetAddr().Contains(addr, kTypeInt16, nullptr)) return true;
  }
  return false;
}

AddrCheckCode Node::CheckBlockText(const std::string& text) const {
  const std::shared_ptr<NodeMem>& mem = GetNodeMem();
  if (!mem) return kAddrSystemError;
  TermAddr addr;
  const AddrCheckCode code = mem->ParseAddress(text, addr);
  if (code != kAddrOk) return code;
  return CheckBlock(addr);
}

}  // namespace NsOvrin::NsTermination
