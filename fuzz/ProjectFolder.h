#pragma once
// What the project harnesses share: answers for the file pickers and message
// boxes the project commands reach, and a folder's files by relative path.
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>

#include "RoundTrip.h"
#include "ui_services/MessageBoxService.h"
#include "ui_services/ProjectFileDialogs.h"
#include "ui_services/QuestionBoxService.h"

namespace NsOvrin::NsFuzz {

// The pickers answer with the path set last; the boxes are not shown, and a
// question is answered Cancel (an unmodified project asks none).
class QuietProjectUi : public ProjectFileDialogs, public MessageBoxService, public QuestionBoxService {
 public:
  QuietProjectUi() {
    ProjectFileDialogs::Install(this);
    MessageBoxService::Install(this);
    QuestionBoxService::Install(this);
  }
  bool ChooseFileToOpen(ParentWindow*, const std::string&, const std::string&, std::string& path) override {
    path = answer;
    return true;
  }
  bool BrowseForFolder(ParentWindow*, const std::string&, std::string& folder) override {
    folder = answer;
    return true;
  }
  void Show(ParentWindow*, const std::string&, const std::string&, MessageIcon) override {}
  QuestionAnswer Ask(ParentWindow*, const std::string&, const std::string&) override {
    return QuestionAnswer::Cancel;
  }

  std::string answer;
};

// An empty folder at path (whatever was there goes).
inline void FreshFolder(const std::string& path) {
  std::error_code error;
  std::filesystem::remove_all(path, error);
  if (!std::filesystem::create_directories(path, error)) std::abort();
}

// Every regular file below folder by its path relative to folder; any other
// kind of entry (a folder excepted) counts by name with no contents.
inline std::map<std::string, std::string> FolderFiles(const std::string& folder) {
  namespace fs = std::filesystem;
  std::map<std::string, std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_directory()) continue;
    const std::string name = fs::relative(entry.path(), folder).string();
    files[name] = entry.is_regular_file() ? ReadBack(entry.path().string()) : "<not a file>";
  }
  return files;
}

}  // namespace NsOvrin::NsFuzz
