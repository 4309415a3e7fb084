#pragma once
// The new-page dialog ("新建页面") as the project store sees it: shown with a
// proposed name, it ends with OK and the entered name or with Cancel. The
// dialog itself belongs to the widget layer, which installs it at start-up;
// tests install a scripted double.
#include <string>

#include "ui_services/MessageBoxService.h"

namespace NsOvrin {

class NewPageDialog {
 public:
  virtual ~NewPageDialog() = default;

  // Modal over parent, name proposed in the edit. True when it ended with
  // OK: name then holds the entered name as CheckName left it. False on
  // Cancel, name untouched.
  virtual bool Run(ParentWindow* parent, std::string& name) = 0;

  // What OK runs before it closes the dialog. Trims name in place, then
  // refuses, with the message the dialog shows (caption "提示", error icon)
  // while it stays open, a name that is no usable file name as it stands
  // ("无效的页面名称!") and one the project's page list already holds
  // ("页面名称已经存在!"). Other names pass: the page list has its own rule.
  static bool CheckName(std::string& name, std::string& message);

  // Process-wide, not owned; null removes it. User-interface thread only.
  static void Install(NewPageDialog* dialog);
  static NewPageDialog* Installed();
};

}  // namespace NsOvrin
