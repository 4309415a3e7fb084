#pragma once
// A project was created, opened, or is about to close.
#include <vector>

namespace NsOvrin {

class ProjectListener {
 public:
  virtual ~ProjectListener();

  // The default channels exist, the first page not yet.
  virtual void OnProjectCreated() = 0;
  virtual void OnProjectOpened() = 0;
  // The project's data is still in place.
  virtual void OnProjectClosing() = 0;

  // Process-wide, in registration order; never owns its listeners.
  static std::vector<ProjectListener*>& GetRegistry();
  static void Register(ProjectListener* listener);
};

}  // namespace NsOvrin
