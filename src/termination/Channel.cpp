#include "termination/Channel.h"

#include <algorithm>
#include <utility>

#include "comm_server/SerialPort.h"
#include "common/Log.h"

namespace NsOvrin::NsTermination {

std::string GetChannelTypeName(uint32_t type) {
  switch (type) {
    case Channel::kTypeSerial:
      return "sr";
    case Channel::kTypeEthernet:
      return "ethnet";
    default:
      return std::string();
  }
}

// ---- Channel ----

Channel::Channel(const std::string& name) : _handle(this), _name(name) {}

Channel::~Channel() {
  Shutdown();
  _nodes.clear();
}

void Channel::Shutdown() {
  _handle.Reset();
  StopNodes();
}

void Channel::StopNodes() {
  for (const std::shared_ptr<Node>& node : _nodes) {
    if (node) node->GetWorkerCtrl().RequestStop();
  }
  for (const std::shared_ptr<Node>& node : _nodes) {
    const std::shared_ptr<Node> held = node;
    if (held) held->GetWorkerCtrl().WaitStopped();
  }
}

void Channel::StartNodes() {
  for (const std::shared_ptr<Node>& node : _nodes) {
    if (node) node->Start();
  }
}

OneWayWrapper<Node> Channel::FindNode(const std::string& name) const {
  const Node* node = FindListedNode(name);
  return node != nullptr ? node->GetHandle() : OneWayWrapper<Node>();
}

Node* Channel::FindListedNode(const std::string& name) const {
  for (const std::shared_ptr<Node>& node : _nodes) {
    if (node && node->GetName() == name) return node.get();
  }
  return nullptr;
}

std::vector<OneWayWrapper<Node>> Channel::GetNodes() const {
  std::vector<OneWayWrapper<Node>> handles;
  handles.reserve(_nodes.size());
  for (const std::shared_ptr<Node>& node : _nodes) handles.push_back(node->GetHandle());
  return handles;
}

bool Channel::HasNode(const Node* node) const {
  return std::any_of(_nodes.begin(), _nodes.end(),
                     [node](const std::shared_ptr<Node>& held) { return held.get() == node; });
}

void Channel::AdoptNode(Node&) {}

bool Channel::AppendNode(const std::shared_ptr<Node>& node) {
  if (!node || HasNode(node.get())) return false;
  _nodes.push_back(node);
  AdoptNode(*node);
  if (StartsJoiningNodes()) node->Start();
  return true;
}

bool Channel::ReplaceNode(const Node* oldNode, const std::shared_ptr<Node>& newNode) {
  if (!newNode) return false;
  const auto it = std::find_if(_nodes.begin(), _nodes.end(), [oldNode](const std::shared_ptr<Node>& held) {
    return held.get() == oldNode;
  });
  if (it == _nodes.end()) return false;
  if (newNode.get() != oldNode && HasNode(newNode.get())) return false;
  (*it)->GetWorkerCtrl().Stop();
  *it = newNode;
  AdoptNode(*newNode);
  if (StartsJoiningNodes()) newNode->Start();
  return true;
}

void Channel::RemoveNode(const Node* node) {
  const auto it = std::find_if(_nodes.begin(), _nodes.end(), [node](const std::shared_ptr<Node>& held) {
    return held.get() == node;
  });
  if (it == _nodes.end()) return;
  // A removed device must not keep polling for whoever still holds it.
  const std::shared_ptr<Node> removed = *it;
  _nodes.erase(it);
  removed->GetWorkerCtrl().Stop();
}

// ---- ChannelEthernet ----

ChannelEthernet::~ChannelEthernet() {
  Shutdown();
  CloseTransports();
}

bool ChannelEthernet::AddNode(const std::shared_ptr<Node>& node) { return AppendNode(node); }

bool ChannelEthernet::Open() {
  StartNodes();
  return true;
}

void ChannelEthernet::Close() {
  StopNodes();
  CloseTransports();
}

void ChannelEthernet::CloseTransports() {
  for (const std::shared_ptr<Node>& node : _nodes) {
    if (!node) continue;
    if (const std::shared_ptr<DeviceImpl> device = node->GetDeviceImpl()) device->Close();
  }
}

// ---- ChannelSerialPort ----

ChannelSerialPort::ChannelSerialPort(const std::string& name, const std::string& paramText)
    : Channel(name) {
  std::string lineText;
  if (NsCommServer::ParseSerialParamText(paramText, _settings, lineText)) {
    NsCommServer::ParseSerialLineText(_settings, lineText);
  }
  CreateDevice();
}

ChannelSerialPort::ChannelSerialPort(const std::string& name,
                                     const NsCommServer::SerialParams& settings)
    : Channel(name), _settings(settings) {
  CreateDevice();
}

ChannelSerialPort::~ChannelSerialPort() {
  // Nodes first: the port is closed only once nobody polls it, and it is
  // closed even when a node outlives the channel.
  Shutdown();
  if (_deviceImpl) _deviceImpl->Close();
  _deviceImpl.reset();
}

void ChannelSerialPort::CreateDevice() { _deviceImpl = std::make_shared<DevSerialImpl>(); }

bool ChannelSerialPort::IsOpenFailed() const {
  if (!IsRunning()) return false;
  return !_deviceImpl || _deviceImpl->GetPortHandle() == NsCommServer::kInvalidSerialHandle;
}

std::string ChannelSerialPort::GetParamText() const {
  return NsCommServer::FormatSerialParamText(_settings);
}

void ChannelSerialPort::AdoptNode(Node& node) { node.SetDeviceImpl(_deviceImpl); }

bool ChannelSerialPort::StartsJoiningNodes() const {
  // Like Open: no node polls a port that is not open.
  return IsRunning() && _deviceImpl &&
         _deviceImpl->GetPortHandle() != NsCommServer::kInvalidSerialHandle;
}

bool ChannelSerialPort::AddNode(const std::shared_ptr<Node>& node) { return AppendNode(node); }

bool ChannelSerialPort::Open() {
  if (!_deviceImpl) {
    OV_LOG(8).AppendText("_deviceImpl is null. ");
    return false;
  }
  // Reopening an open port would fail on its exclusive hold and then drop
  // the port the running nodes use.
  if (_deviceImpl->GetPortHandle() == NsCommServer::kInvalidSerialHandle) {
    const int handle = _devicePath.empty() ? NsCommServer::OpenSerialPort(_settings)
                                           : NsCommServer::OpenSerialPort(_settings, _devicePath);
    if (handle == NsCommServer::kInvalidSerialHandle) return false;
    _deviceImpl->SetPortHandle(handle);
  }
  StartNodes();
  return true;
}

void ChannelSerialPort::Close() {
  StopNodes();
  if (_deviceImpl) _deviceImpl->Close();
}

}  // namespace NsOvrin::NsTermination
