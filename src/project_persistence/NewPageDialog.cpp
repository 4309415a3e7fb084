#include "project_persistence/NewPageDialog.h"

#include <algorithm>
#include <climits>
#include <string_view>

#include "project/ProgramDefaults.h"
#include "project/QlEProject.h"

namespace NsOvrin {

namespace {

NewPageDialog* installedDialog = nullptr;

// ASCII white space and the full-width space of Chinese input methods, as
// the page list trims.
constexpr std::string_view kAsciiBlanks = " \t\r\n\v\f";
constexpr std::string_view kIdeographicSpace = "\xE3\x80\x80";

void TrimText(std::string& text) {
  std::string_view rest(text);
  for (;;) {
    if (!rest.empty() && kAsciiBlanks.find(rest.front()) != std::string_view::npos) {
      rest.remove_prefix(1);
    } else if (rest.starts_with(kIdeographicSpace)) {
      rest.remove_prefix(kIdeographicSpace.size());
    } else {
      break;
    }
  }
  for (;;) {
    if (!rest.empty() && kAsciiBlanks.find(rest.back()) != std::string_view::npos) {
      rest.remove_suffix(1);
    } else if (rest.ends_with(kIdeographicSpace)) {
      rest.remove_suffix(kIdeographicSpace.size());
    } else {
      break;
    }
  }
  text = std::string(rest);
}

// A clean-up of the name into a file name would change it: it holds a
// character that no file name may hold here or on the panels' Windows
// hosts, or the page file's name or path would be cut to fit.
bool NeedsCleanup(const std::string& name, const std::string& directory) {
  constexpr std::string_view kForbidden = "\\/:*?\"<>|";
  const bool badCharacter = std::any_of(name.begin(), name.end(), [&](char c) {
    return static_cast<unsigned char>(c) < 0x20 || kForbidden.find(c) != std::string_view::npos;
  });
  if (badCharacter) return true;
  const std::size_t fileNameLength = name.size() + PageFileExtension.size();
  if (fileNameLength > NAME_MAX) return true;
  return !directory.empty() && directory.size() + 1 + fileNameLength >= PATH_MAX;
}

}  // namespace

bool NewPageDialog::CheckName(std::string& name, std::string& message) {
  TrimText(name);
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
