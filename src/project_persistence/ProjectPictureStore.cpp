#include "project_persistence/ProjectPictureStore.h"

#include <sys/stat.h>

#include "common/PathUtil.h"
#include "platform/CheckedFile.h"
#include "platform/Format.h"
#include "project/QlEProject.h"
#include "project_persistence/PageFile.h"

namespace NsOvrin {

namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualIgnoringAsciiCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// An existing entry that is not a directory.
bool IsExistingFile(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}


}  // namespace

std::string ProjectPictureFolder(const std::string& projectDirectory) {
  if (projectDirectory.empty()) return {};
  return NsPlatform::StrFormat("%s/images", projectDirectory.c_str());
}

std::string DirectoryOfPath(const std::string& path) {
  const std::size_t last = path.find_last_of("/\\");
  if (last == std::string::npos) return {};
  // A root keeps its separator: "/" and "C:\".
  if (last == 0) return path.substr(0, 1);
  if (last == 2 && path[1] == ':') return path.substr(0, 3);
  return path.substr(0, last);
}

void WritePictureMember(ProjectPictureStore& store, JsonWriter& writer, const char* key,
                        const std::string& path) {
  if (path.empty()) return;
  writer.Key(key);
  WriteUtf8String(writer, path);

  const std::string name = GetFileNameOfPath(path);
  if (!name.empty() && store.handledNames.count(name) != 0) return;
  CopyIntoProject(store, path);
  if (!name.empty()) store.handledNames.insert(name);
}

void CopyIntoProject(const ProjectPictureStore& store, const std::string& path) {
  // Without a project folder the copy would land in "/images".
  if (store.projectDirectory.empty() || path.empty()) return;
  if (EqualIgnoringAsciiCase(DirectoryOfPath(path), ProjectPictureFolder(store.projectDirectory)))
    return;
  const std::string copy = GetProjectPicturePath(store.projectDirectory, path);
  if (IsSameFile(path, copy)) return;
  // The permissions and times travel with the content, as the platform's file
  // copy keeps them: a later save then finds the copy to be the same file.
  NsPlatform::CopyRegularFile(path, copy, true);
}

std::string ResolvePicturePath(const std::string& projectDirectory, const std::string& storedPath) {
  if (IsExistingFile(storedPath)) return storedPath;
  if (!projectDirectory.empty()) {
    const std::string copy = GetProjectPicturePath(projectDirectory, storedPath);
    if (IsExistingFile(copy)) return copy;
  }
  return storedPath;
}

bool ReadPictureMember(const PageReadContext& context, const rapidjson::Value& object,
                       const char* key, std::string& out) {
  if (!context.pictureResolver) return false;
  std::string stored;
  if (!ReadStringMember(object, key, stored)) return false;
  const std::string resolved = context.pictureResolver(context.projectDirectory, stored);
  if (!IsExistingFile(resolved)) return false;
  out = resolved;
  return true;
}

}  // namespace NsOvrin
