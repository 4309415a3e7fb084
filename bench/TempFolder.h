#pragma once
// A fresh temporary folder for a benchmark's files, removed with its object.
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace NsOvrin::NsBench {

class TempFolder {
 public:
  // prefix names the folder in the system's temporary folder.
  explicit TempFolder(const std::string& prefix) {
    std::string pattern = (std::filesystem::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  bool Ok() const { return !path_.empty(); }
  // Empty when the folder could not be made.
  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

}  // namespace NsOvrin::NsBench
