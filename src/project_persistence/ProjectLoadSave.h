#pragma once
// A whole project folder read and written in a fixed order. The channels,
// data-block and alarm configuration files go straight into the live channel
// database and alarm manager, the users file into the user list; the rest is
// exchanged through a QlProjectData record.
#include <string>
#include <vector>

#include "project_persistence/QlProjectData.h"

namespace NsOvrin {

// What a load kept as stored, or could not read and the next save will not
// write, that the user should hear of.
struct ProjectLoadNotes {
  // The channels the reading did not reach, with their devices (see
  // ReadChannelsFile).
  std::vector<std::string> unreadChannels;
  // The devices of read channels that could not be created.
  std::vector<std::string> unreadDevices;
  // "<device>.<address>" of every data block larger than one request of its
  // device's protocol carries, in file order.
  std::vector<std::string> oversizedBlocks;
  // The data blocks not read (see ReadDataBlocksFile).
  std::vector<std::string> unreadDataBlocks;
  // The alarm groups from the first one that could not be read to the end
  // of the file, "第<n>组(<address>)" (see ReadAlarmConfigFile).
  std::vector<std::string> unreadAlarmGroups;
  // The users file, when something is there that could not be read whole
  // (see UnreadUsersFilePath); empty otherwise.
  std::string unreadUsersFile;
  // Some users of that file were read nonetheless.
  bool someUsersRead = false;
  // The variable events not read, or read without some of their lines (see
  // ReadEventsFile).
  std::vector<std::string> unreadEvents;
};

// Loads the folder of mainFilePath in this order, stopping at the first
// failure: the channels file, the data-block file, the alarm configuration
// file (may be missing), the chosen main file itself (whatever its name),
// the users file and the events file (may be missing). The users file never
// stops the load: a missing one leaves the user list empty, and a damaged
// record costs only its own user; one that could not be read whole is left as
// it is by the saves that follow, and carried unchanged by a save into another
// folder, until the users are changed (UnreadUsersFilePath).
// record.directory becomes the folder of mainFilePath. Loading adds to the
// channel database and the alarm manager and clears nothing: what a failed
// load read stays there until the caller resets them. The temporary files
// of interrupted saves by processes no longer running are removed from the
// folder and its pictures folder first.
bool LoadProjectFiles(const std::string& mainFilePath, QlProjectData& record,
                      ProjectLoadNotes* notes = nullptr);

// Writes the channels, data-block, alarm configuration and users files (from
// the live objects) and the events file (from record) into directory, in
// this order. Every writer runs even after one failed; true only when all
// five succeeded. Each file that fails is noted with its reason in the
// thread's live WriteFailureRecorders. An unread users file of the open
// project is not written, and counts as written; into another folder its
// bytes are copied unchanged (CarryUnreadUsersFile). Each file is replaced
// whole or not at all, so a failed save leaves every file either old or new.
// The temporary files of interrupted saves are removed first, as by the load.
bool SaveProjectDataFiles(const std::string& directory, const QlProjectData& record);
// The main file from record, noted when it fails. The main file is what
// opens the folder: a save writes it last, once every other file it lists
// or needs is on disk.
bool WriteProjectMainFile(const std::string& directory, const QlProjectData& record);
// SaveProjectDataFiles, then the main file only when those all succeeded.
bool SaveProjectFiles(const std::string& directory, const QlProjectData& record);

}  // namespace NsOvrin
