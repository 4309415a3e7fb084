#pragma once
// The variable-event dialog as the project store reaches it: a double click
// on an event line of the error check opens it. The dialog belongs to the
// widget layer, which installs it at start-up; tests install a double.
#include "ui_services/MessageBoxService.h"

namespace NsOvrin {

class VarEventDialog {
 public:
  virtual ~VarEventDialog() = default;

  // Modal over parent; it edits the project's events by itself.
  virtual void Run(ParentWindow* parent) = 0;

  // Process-wide, not owned; null removes it. User-interface thread only.
  static void Install(VarEventDialog* dialog);
  static VarEventDialog* Installed();
};

}  // namespace NsOvrin
