#pragma once
// A communication line of the project, serial or Ethernet. It owns the nodes
// reached through it, starts their polling threads when it opens and stops
// them when it closes. The channel manager hands it the pointer to its
// running flag and opens and closes it with the online mode.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "comm_server/SerialParams.h"
#include "common/OneWayWrapper.h"
#include "termination/DeviceImpl.h"
#include "termination/Node.h"

namespace NsOvrin::NsTermination {

// Type name of a channel in the channels file: 1 "sr", 2 "ethnet", else "".
std::string GetChannelTypeName(uint32_t type);

class Channel {
 public:
  static constexpr uint32_t kTypeSerial = 1;
  static constexpr uint32_t kTypeEthernet = 2;

  explicit Channel(const std::string& name);
  Channel(const Channel&) = delete;
  Channel& operator=(const Channel&) = delete;

  virtual bool IsOpenFailed() const = 0;
  virtual std::string GetParamText() const = 0;
  // kTypeSerial or kTypeEthernet.
  virtual uint32_t GetType() const = 0;
  // Refuses a null node and one already in the list; starts the new node
  // when the system runs.
  virtual bool AddNode(const std::shared_ptr<Node>& node) = 0;
  virtual bool Open() = 0;
  virtual void Close() = 0;
  virtual ~Channel();

  // Clears every node's run flag first, then waits for each in list order,
  // so that all threads of the channel wind down in parallel.
  void StopNodes();
  // The first node of exactly this name (case-sensitive); empty when none.
  OneWayWrapper<Node> FindNode(const std::string& name) const;
  // The same node itself, no handle taken: for the thread that changes the
  // list, on which it stays alive until the list lets it go.
  Node* FindListedNode(const std::string& name) const;
  std::vector<OneWayWrapper<Node>> GetNodes() const;
  // The owned nodes, in order; for the channel manager.
  const std::vector<std::shared_ptr<Node>>& GetNodeList() const { return _nodes; }

  // For the channel manager's device replacement: the old node (by
  // identity) is stopped and the new one takes its place in the list, gets
  // what AddNode gives a node and starts when the system runs. False for a
  // null new node or an old node not in the list (nothing changes).
  bool ReplaceNode(const Node* oldNode, const std::shared_ptr<Node>& newNode);
  // Drops the node (by identity) from the list, keeping the others' order;
  // the list's reference is released. Nothing for a node not in the list.
  void RemoveNode(const Node* node);

  // A non-owning copy of the channel's own handle.
  OneWayWrapper<Channel> GetHandle() const { return _handle; }
  const std::string& GetName() const { return _name; }
  const std::string& GetDescription() const { return _description; }
  void SetDescription(const std::string& text) { _description = text; }
  // The manager's running flag; null until the channel is added to it.
  void SetRunningFlag(const bool* running) { _running = running; }
  // The flag is set.
  bool IsRunning() const { return _running != nullptr && *_running; }

 protected:
  bool HasNode(const Node* node) const;
  // AddNode of both kinds: append, adopt, start when due.
  bool AppendNode(const std::shared_ptr<Node>& node);
  // What a node gets on joining the list (a serial node: the channel's
  // transport); nothing by default.
  virtual void AdoptNode(Node& node);
  // Whether a node joining the list starts now.
  virtual bool StartsJoiningNodes() const { return IsRunning(); }
  void StartNodes();
  // Invalidates the handle (waiting for its holders) and stops the nodes:
  // the first step of every destructor, so that nothing reaches a channel
  // being torn down. Safe to call more than once.
  void Shutdown();

  OneWayWrapper<Channel> _handle;
  std::string _name;
  std::string _description;
  const bool* _running = nullptr;
  std::vector<std::shared_ptr<Node>> _nodes;
};

// Each node has a TCP transport of its own.
class ChannelEthernet : public Channel {
 public:
  explicit ChannelEthernet(const std::string& name) : Channel(name) {}
  ~ChannelEthernet() override;

  bool IsOpenFailed() const override { return false; }
  std::string GetParamText() const override { return std::string(); }
  uint32_t GetType() const override { return kTypeEthernet; }
  bool AddNode(const std::shared_ptr<Node>& node) override;
  // Starts every node; their threads connect their own sockets.
  bool Open() override;
  // Stops the nodes, then closes every node's transport.
  void Close() override;

 private:
  void CloseTransports();
};

// One COM port shared by all nodes of the channel.
class ChannelSerialPort : public Channel {
 public:
  // Settings from "com:%d;param:%s;" text; a text that does not match
  // leaves the defaults (COM1, 9600, even, 7, 1).
  ChannelSerialPort(const std::string& name, const std::string& paramText);
  // Settings given directly (the default channels of a new project).
  ChannelSerialPort(const std::string& name, const NsCommServer::SerialParams& settings);
  ~ChannelSerialPort() override;

  // A new transport, no port open, replacing the channel's.
  void CreateDevice();

  // While the system runs: the transport is missing or has no open port.
  bool IsOpenFailed() const override;
  std::string GetParamText() const override;
  uint32_t GetType() const override { return kTypeSerial; }
  // The node gets the channel's transport (replacing its own).
  bool AddNode(const std::shared_ptr<Node>& node) override;
  // Opens the port (a port already open is kept) and starts every node only
  // when that succeeded.
  bool Open() override;
  // Stops the nodes, then closes the port once for all of them.
  void Close() override;

  const NsCommServer::SerialParams& GetSettings() const { return _settings; }
  const std::shared_ptr<DevSerialImpl>& GetDeviceImpl() const { return _deviceImpl; }

  // Opens this device instead of the one the COM number names (a
  // pseudo-terminal in tests); empty restores the COM rule.
  void SetDevicePath(const std::string& path) { _devicePath = path; }

 protected:
  void AdoptNode(Node& node) override;
  bool StartsJoiningNodes() const override;

 private:
  std::shared_ptr<DevSerialImpl> _deviceImpl;
  NsCommServer::SerialParams _settings;
  std::string _devicePath;
};

}  // namespace NsOvrin::NsTermination
