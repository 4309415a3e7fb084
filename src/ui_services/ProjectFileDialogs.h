#pragma once
// The file and folder pickers of the project commands: the open dialog that
// chooses a project's main file and the folder browser of "save as". They
// belong to the widget layer, which installs them at start-up; tests install
// a scripted double.
#include <string>

#include "ui_services/MessageBoxService.h"

namespace NsOvrin {

class ProjectFileDialogs {
 public:
  virtual ~ProjectFileDialogs() = default;

  // An existing file, modal over parent, with no initial name. filter is in
  // the "description|pattern||" form; defaultExtension (with its dot) is
  // added to a name typed without one. False on Cancel, path untouched.
  virtual bool ChooseFileToOpen(ParentWindow* parent, const std::string& defaultExtension,
                                const std::string& filter, std::string& path) = 0;
  // A folder of the file system, modal over parent. False on Cancel and for
  // a choice that is no file-system folder, folder untouched.
  virtual bool BrowseForFolder(ParentWindow* parent, const std::string& title,
                               std::string& folder) = 0;

  // Process-wide, not owned; null removes it. User-interface thread only.
  static void Install(ProjectFileDialogs* dialogs);
  static ProjectFileDialogs* Installed();
};

}  // namespace NsOvrin
