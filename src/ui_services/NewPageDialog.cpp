#include "ui_services/NewPageDialog.h"

#include <algorithm>
#include <climits>
#include <string_view>

#include "common/FileNameCleanup.h"
#include "project/ProgramDefaults.h"
#include "project/QlEProject.h"

namespace NsOvrin {

namespace {

NewPageDialog* installedDialog = nullptr;

// A clean-up of the name into a file name would change it: it holds a
// character that no file name may hold here or on the panels' Windows
// hosts, or the page file's name or path would be cut to fit.
bool NeedsCleanup(const std::string& name, const std::string& directory) {
  if (name.empty() || FileNameCleanupFlags(name + PageFileExtension) != 0) return true;
  const std::size_t fileNameLength = name.size() + PageFileExtension.size();
  return !directory.empty() && directory.size() + 1 + fileNameLength >= PATH_MAX;
}

}  // namespace

bool NewPageDialog::CheckName(std::string& name, std::string& message) {
  TrimPageName(name);
  const QlEProject& project = QlEProject::Instance();
  if (NeedsCleanup(name, project.directory)) {
    message = "无效的页面名称!";
    return false;
  }
  const auto& names = project.pageNames;
  if (std::find(names.begin(), names.end(), name) != names.end()) {
    message = "页面名称已经存在!";
    return false;
  }
  return true;
}

void NewPageDialog::Install(NewPageDialog* dialog) { installedDialog = dialog; }

NewPageDialog* NewPageDialog::Installed() { return installedDialog; }

}  // namespace NsOvrin
