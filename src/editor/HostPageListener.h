#pragma once
// The page-list side of the hosts that follow the project's pages: on the
// process-wide page-listener list from construction to destruction, every
// notification ignored unless the host overrides it.
#include <string>

#include "project/PageListener.h"

namespace NsOvrin::NsQlElemEditor {

class HostPageListener : public PageListener {
 public:
  HostPageListener(const HostPageListener&) = delete;
  HostPageListener& operator=(const HostPageListener&) = delete;

  void OnPageAdded(const std::string& /*name*/) override {}
  void OnActivatePage(const std::string& /*name*/) override {}
  void OnPageDeleting(const std::string& /*name*/) override {}
  void OnPageDeleted(const std::string& /*name*/) override {}
  void OnPageRenamed(const std::string& /*oldName*/, const std::string& /*newName*/) override {}
  void OnPageChanged(const std::string& /*name*/, const PageProperties& /*properties*/) override {}

 protected:
  HostPageListener();
  // Leaves the list before the host lets its record and binding go.
  ~HostPageListener() override;
};

}  // namespace NsOvrin::NsQlElemEditor
