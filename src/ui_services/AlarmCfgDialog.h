#pragma once
// The alarm configuration dialog as the project store reaches it: a double
// click on an alarm line of the error check opens it. The dialog belongs to
// the widget layer, which installs it at start-up; tests install a double.
#include "ui_services/MessageBoxService.h"

namespace NsOvrin {

class AlarmCfgDialog {
 public:
  virtual ~AlarmCfgDialog() = default;

  // Modal over parent; it edits the alarm groups by itself.
  virtual void Run(ParentWindow* parent) = 0;

  // Process-wide, not owned; null removes it. User-interface thread only.
  static void Install(AlarmCfgDialog* dialog);
  static AlarmCfgDialog* Installed();
};

}  // namespace NsOvrin
