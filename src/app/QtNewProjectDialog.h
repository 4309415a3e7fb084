#pragma once
// The project store's new-project dialog: CDlgNewProject, modal.
#include "project_persistence/NewProjectDialog.h"

namespace NsOvrin {

class QtNewProjectDialog : public NewProjectDialog {
 public:
  bool Run(ParentWindow* parent, Fields& fields) override;
};

}  // namespace NsOvrin
