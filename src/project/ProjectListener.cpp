#include "project/ProjectListener.h"

#include "project/ListenerRegistry.h"

namespace NsOvrin {

ProjectListener::~ProjectListener() = default;

std::vector<ProjectListener*>& ProjectListener::GetRegistry() { return LastingRegistry<ProjectListener>(); }

void ProjectListener::Register(ProjectListener* listener) {
  RegisterListener(GetRegistry(), listener);
}

}  // namespace NsOvrin
