#pragma once
// The project store's new-page dialog: CDlgNewPage, modal.
#include <string>

#include "ui_services/NewPageDialog.h"

namespace NsOvrin {

class QtNewPageDialog : public NewPageDialog {
 public:
  bool Run(ParentWindow* parent, std::string& name) override;
};

}  // namespace NsOvrin
