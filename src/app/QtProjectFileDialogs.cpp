#include "app/QtProjectFileDialogs.h"

#include <sys/stat.h>

#include "app/QtMessageBoxService.h"
#include "common/PathUtil.h"
#include "wui/UiServices.h"

namespace NsOvrin {

namespace {

bool IsFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool HasExtension(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  const std::size_t dot = path.rfind('.');
  return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

}  // namespace

bool QtProjectFileDialogs::ChooseFileToOpen(ParentWindow* parent,
                                            const std::string& defaultExtension,
                                            const std::string& filter, std::string& path) {
  std::string chosen;
  if (!NsWui::GetUiServices().GetOpenFileName(QtMessageBoxService::ToWidget(parent), filter,
                                              std::string(), chosen)) {
    return false;
  }
  // A name typed without its extension names the file that has it.
  if (!IsFile(chosen) && !HasExtension(chosen) && !defaultExtension.empty() &&
      IsFile(chosen + defaultExtension)) {
    chosen += defaultExtension;
  }
  path = chosen;
  return true;
}

bool QtProjectFileDialogs::BrowseForFolder(ParentWindow* parent, const std::string& title,
                                           std::string& folder) {
  std::string chosen;
  if (!NsWui::GetUiServices().BrowseForFolder(QtMessageBoxService::ToWidget(parent), title,
                                              std::string(), chosen) ||
      !DirectoryExists(chosen)) {
    return false;
  }
  folder = chosen;
  return true;
}

}  // namespace NsOvrin
