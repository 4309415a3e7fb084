#include "project_persistence/ProjectLoadSave.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/AtomicFile.h"
#include "project/QlEProject.h"
#include "project/UsersFile.h"
#include "project_base/QlUser.h"
#include "project_persistence/AlarmConfigFile.h"
#include "project_persistence/ChannelsFile.h"
#include "project_persistence/DataBlockFile.h"
#include "project_persistence/EventsFile.h"
#include "project_persistence/MainFile.h"
#include "project_persistence/ProjectPictureStore.h"

namespace NsOvrin {
namespace {

// The path without its last component; a file in the root folder lies in
// "/", a bare file name in no known folder.
std::string FolderOfPath(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// A save killed part-way leaves its temporary file behind; nothing else
// would ever remove it.
void RemoveStaleTemporaries(const std::string& directory) {
  if (directory.empty()) return;
  NsPlatform::RemoveStaleSaveTemporaries(directory);
  NsPlatform::RemoveStaleSaveTemporaries(ProjectPictureFolder(directory));
}

bool EntryMissing(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) != 0 && errno == ENOENT;
}

}  // namespace

bool LoadProjectFiles(const std::string& mainFilePath, QlProjectData& record,
                      ProjectLoadNotes* notes) {
  if (mainFilePath.empty()) return false;
  const std::string directory = FolderOfPath(mainFilePath);
  record.directory = directory;
  RemoveStaleTemporaries(directory);

  if (!ReadChannelsFile(GetChannelsFilePath(directory),
                        notes != nullptr ? &notes->unreadChannels : nullptr,
                        notes != nullptr ? &notes->unreadDevices : nullptr))
    return false;
  if (!ReadDataBlocksFile(GetDataBlocksFilePath(directory),
                          notes != nullptr ? &notes->oversizedBlocks : nullptr,
                          notes != nullptr ? &notes->unreadDataBlocks : nullptr))
    return false;
  if (!ReadAlarmConfigFile(GetAlarmConfigFilePath(directory),
                           notes != nullptr ? &notes->unreadAlarmGroups : nullptr))
    return false;
  if (!ReadMainFile(mainFilePath, record)) return false;

  // A project without a users file opens with no users. One read only in
  // part keeps its users that were read, but the file stays as it is.
  UsersFilePath = GetUsersConfigFilePath(directory);
  UnreadUsersFilePath.clear();
  if (!LoadUsers() && !EntryMissing(UsersFilePath)) {
    UnreadUsersFilePath = UsersFilePath;
    if (notes != nullptr) {
      notes->unreadUsersFile = UsersFilePath;
      notes->someUsersRead = !GetUserList().empty();
    }
  }

  return ReadEventsFile(GetEventsFilePath(directory), record.events,
                        notes != nullptr ? &notes->unreadEvents : nullptr);
}

bool SaveProjectDataFiles(const std::string& directory, const QlProjectData& record) {
  RemoveStaleTemporaries(directory);
  // Every file that fails is noted, for the caller to name.
  using NsPlatform::WriteNoted;
  bool ok = WriteNoted(GetChannelsFilePath(directory), WriteChannelsFile);
  ok = WriteNoted(GetDataBlocksFilePath(directory), WriteDataBlocksFile) && ok;
  ok = WriteNoted(GetAlarmConfigFilePath(directory), WriteAlarmConfigFile) && ok;

  UsersFilePath = GetUsersConfigFilePath(directory);
  // Without a folder the users file would fall back to the program's own
  // "users" file, which is no part of the project.
  ok = WriteNoted(UsersFilePath,
                  [](const std::string& path) {
                    if (path.empty()) return false;
                    if (UnreadUsersFilePath.empty()) return SaveUsers();
                    // A file not read whole goes along as it is.
                    return IsUnreadUsersFile(path) || CarryUnreadUsersFile(path);
                  }) &&
       ok;

  ok = WriteNoted(GetEventsFilePath(directory),
                  [&](const std::string& path) { return WriteEventsFile(path, record.events); }) &&
       ok;
  return ok;
}

bool WriteProjectMainFile(const std::string& directory, const QlProjectData& record) {
  return NsPlatform::WriteNoted(GetMainFilePath(directory),
                                [&](const std::string& path) { return WriteMainFile(path, record); });
}

bool SaveProjectFiles(const std::string& directory, const QlProjectData& record) {
  // The main file is what opens the folder: it comes last, once the rest is
  // on disk.
  return SaveProjectDataFiles(directory, record) && WriteProjectMainFile(directory, record);
}

}  // namespace NsOvrin
