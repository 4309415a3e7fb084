#pragma once
// Changes of the channel/node database and of the online mode.
#include <atomic>
#include <vector>

#include "common/OneWayWrapper.h"

namespace NsOvrin {

namespace NsTermination {
class Node;
}

// The last value given to NodeDbListener::NotifyRunMode; false at start.
// New elements and the project tree read it, possibly off the UI thread.
extern std::atomic<bool> OnlineFlag;

class NodeDbListener {
 public:
  virtual ~NodeDbListener();

  // The data blocks of one node were edited.
  virtual void OnBlocksChanged(const OneWayWrapper<NsTermination::Node>& node) = 0;
  // Channels or devices were added, edited or removed.
  virtual void OnNodeDbChanged() = 0;
  virtual void OnRunModeChanged(bool online) = 0;

  // Process-wide, in registration order; never owns its listeners.
  static std::vector<NodeDbListener*>& GetRegistry();
  static void Register(NodeDbListener* listener);

  static void NotifyBlocksChanged(const OneWayWrapper<NsTermination::Node>& node);
  // Stores the mode in OnlineFlag before any listener hears of it.
  static void NotifyRunMode(bool online);
};

}  // namespace NsOvrin
