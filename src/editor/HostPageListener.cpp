#include "editor/HostPageListener.h"

#include <algorithm>
#include <vector>

namespace NsOvrin::NsQlElemEditor {

HostPageListener::HostPageListener() { PageListener::Register(this); }

HostPageListener::~HostPageListener() {
  std::vector<PageListener*>& registry = PageListener::GetRegistry();
  registry.erase(std::remove(registry.begin(), registry.end(), static_cast<PageListener*>(this)),
                 registry.end());
}

}  // namespace NsOvrin::NsQlElemEditor
