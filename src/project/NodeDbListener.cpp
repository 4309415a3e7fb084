#include "project/NodeDbListener.h"

#include "project/ListenerRegistry.h"

namespace NsOvrin {

std::atomic<bool> OnlineFlag{false};

NodeDbListener::~NodeDbListener() = default;

std::vector<NodeDbListener*>& NodeDbListener::GetRegistry() { return LastingRegistry<NodeDbListener>(); }

void NodeDbListener::Register(NodeDbListener* listener) { RegisterListener(GetRegistry(), listener); }

void NodeDbListener::NotifyBlocksChanged(const OneWayWrapper<NsTermination::Node>& node) {
  NotifyListeners(GetRegistry(), [&](NodeDbListener* l) { l->OnBlocksChanged(node); });
}

void NodeDbListener::NotifyRunMode(bool online) {
  OnlineFlag.store(online);
  NotifyListeners(GetRegistry(), [&](NodeDbListener* l) { l->OnRunModeChanged(online); });
}

}  // namespace NsOvrin
