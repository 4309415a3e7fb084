#pragma once
// The project commands' file and folder pickers through the user-interface
// services.
#include <string>

#include "ui_services/ProjectFileDialogs.h"

namespace NsOvrin {

class QtProjectFileDialogs : public ProjectFileDialogs {
 public:
  bool ChooseFileToOpen(ParentWindow* parent, const std::string& defaultExtension,
                        const std::string& filter, std::string& path) override;
  bool BrowseForFolder(ParentWindow* parent, const std::string& title,
                       std::string& folder) override;
};

}  // namespace NsOvrin
