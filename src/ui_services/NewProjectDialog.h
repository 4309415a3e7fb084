#pragma once
// The new-project dialog ("创建新工程...") as the project store sees it: shown
// with a proposed panel size, it ends with OK and the project's name, folder
// and panel size, or with Cancel. The dialog belongs to the widget layer,
// which installs it at start-up; tests install a scripted double.
#include <cstdint>
#include <string>

#include "ui_services/MessageBoxService.h"

namespace NsOvrin {

class NewProjectDialog {
 public:
  // In: the proposed size (name and folder empty). Out on OK: the trimmed
  // name the dialog accepted, the trimmed folder, and the size, each
  // component above 0.
  struct Fields {
    std::string name;
    std::string folder;
    int32_t width = 600;
    int32_t height = 480;
  };

  virtual ~NewProjectDialog() = default;

  // Modal over parent. True when it ended with OK; fields untouched on
  // Cancel.
  virtual bool Run(ParentWindow* parent, Fields& fields) = 0;

  // Process-wide, not owned; null removes it. User-interface thread only.
  static void Install(NewProjectDialog* dialog);
  static NewProjectDialog* Installed();
};

}  // namespace NsOvrin
