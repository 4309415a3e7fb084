#pragma once
// The project store's new-project dialog: CDlgNewProject, modal.
#include "ui_services/NewProjectDialog.h"

namespace NsOvrin {

class QtNewProjectDialog : public NewProjectDialog {
 public:
  bool Run(ParentWindow* parent, Fields& fields) override;
};

}  // namespace NsOvrin
