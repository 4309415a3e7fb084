#pragma once
// The process-wide database of the communication setup: the channels, each
// owning its nodes, and the flag that says whether the system is connected
// to the PLCs. Device dialogs, bindings, the command language and the alarm
// groups look nodes up here; the helpers below resolve and check device
// address texts ("node.address") against it.
//
// All of it runs on the user-interface thread; the channel list has no lock.
#include <memory>
#include <string>
#include <vector>

#include "QlDev/AddrCheckCode.h"
#include "common/OneWayWrapper.h"
#include "term_data/TermAddr.h"
#include "termination/Channel.h"
#include "termination/Node.h"

namespace NsOvrin::NsTermination {

class ChannelManager {
 public:
  static ChannelManager& Instance();

  ChannelManager() = default;
  ChannelManager(const ChannelManager&) = delete;
  ChannelManager& operator=(const ChannelManager&) = delete;
  // Reset: every polling thread ends.
  virtual ~ChannelManager();

  // False for a null channel or one already in the list. The channel gets
  // the running flag and is opened at once while the system runs.
  bool AddChannel(std::shared_ptr<Channel> channel);
  // Node names are unique across channels; empty when no channel has it.
  OneWayWrapper<Node> FindNode(const std::string& name) const;
  // The node itself, without a handle and its lock: valid on this thread
  // until its channel lets it go. Null when no channel has it.
  Node* FindListedNode(const std::string& name) const;
  bool HasNode(const std::string& name) const;
  // True only when the whole database holds exactly one node; node is
  // reset first.
  bool GetSoleNode(OneWayWrapper<Node>& node) const;
  // Channel by channel, each channel's nodes in order.
  std::vector<OneWayWrapper<Node>> GetAllNodes() const;
  // A modified device: the old node is stopped and the new one takes its
  // place (started while the system runs). False for a null new node, an
  // empty handle, a new name that another node has, or an old node that is
  // not in the channel.
  bool ReplaceNode(const OneWayWrapper<Channel>& channel, const OneWayWrapper<Node>& oldNode,
                   std::shared_ptr<Node> newNode);
  // False for an empty handle; true also when the node was not in the channel.
  bool RemoveNode(const OneWayWrapper<Channel>& channel, const OneWayWrapper<Node>& node);
  // Equal names, or an existing old name and a free new one.
  bool CanRenameNode(const std::string& oldName, const std::string& newName) const;
  // Appends one line per channel that failed to open; true when any was.
  bool ReportOpenFailures(std::string& text) const;

  // Closing a project: the running flag is cleared, then every channel is
  // closed (its polling threads end) and let go.
  void Reset();

  // Every cache block of every node back to never read (CacheVarBlock::
  // MarkUnread), so that an online session shows no value of an earlier
  // one. Called with no polling thread running: entering and after leaving
  // online mode.
  void MarkBlocksUnread() const;

  bool IsRunning() const { return _running; }
  // Set before the channels are opened, cleared after they are closed.
  void SetRunning(bool running) { _running = running; }
  const std::vector<std::shared_ptr<Channel>>& GetChannels() const { return _channels; }

 private:
  std::vector<std::shared_ptr<Channel>> _channels;
  bool _running = false;
};


// Resolves "node.address", or a bare address of the only node. Every output
// may be null; the node handle is kept only on success. The text is not
// changed.
AddrCheckCode ResolveDeviceAddress(const std::string& text, std::string* nodeName,
                                   OneWayWrapper<Node>* node, TermAddr* addr);
// The canonical form (PLC1.4x10 becomes PLC1.4x00010) of a text that
// resolves; any other text comes back unchanged.
std::string NormalizeDeviceAddress(const std::string& text);
// ResolveDeviceAddress; with withBlock also the block checks and whether a
// data block holds the address.
AddrCheckCode CheckDeviceAddress(const std::string& text, bool withBlock);
// As CheckDeviceAddress with the block checks, and the address must be of
// the kind expected (kKindBit or kKindWord). An empty text gives kAddrEmpty.
AddrCheckCode CheckDeviceAddressKind(const std::string& text, uint32_t expectedKind);

}  // namespace NsOvrin::NsTermination
