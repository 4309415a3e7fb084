#include "project/ProjectListener.h"

#include "project/ListenerRegistry.h"

namespace NsOvrin {

ProjectListener::~ProjectListener() = default;

std::vector<ProjectListener*>& ProjectListener::GetRegistry() {
  // Never destroyed: listeners held by other process-wide objects leave it
  // during their own destruction at exit, in any order.
  static auto* registry = new std::vector<ProjectListener*>();
  return *registry;
}

void ProjectListener::Register(ProjectListener* listener) {
  RegisterListener(GetRegistry(), listener);
}

}  // namespace NsOvrin
