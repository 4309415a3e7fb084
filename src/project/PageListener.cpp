#include "project/PageListener.h"

#include "project/ListenerRegistry.h"

namespace NsOvrin {

PageListener::~PageListener() = default;

std::vector<PageListener*>& PageListener::GetRegistry() { return LastingRegistry<PageListener>(); }

void PageListener::Register(PageListener* listener) { RegisterListener(GetRegistry(), listener); }

void PageListener::NotifyPageDeleting(const std::string& name) {
  NotifyListeners(GetRegistry(), [&](PageListener* l) { l->OnPageDeleting(name); });
}

void PageListener::NotifyPageDeleted(const std::string& name) {
  NotifyListeners(GetRegistry(), [&](PageListener* l) { l->OnPageDeleted(name); });
}

void PageListener::NotifyPageChanged(const std::string& name, const PageProperties& properties) {
  NotifyListeners(GetRegistry(), [&](PageListener* l) { l->OnPageChanged(name, properties); });
}

}  // namespace NsOvrin
