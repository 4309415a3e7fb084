#pragma once
// A whole project folder read and written in a fixed order. The channels,
// data-block and alarm configuration files go straight into the live channel
// database and alarm manager, the users file into the user list; the rest is
// exchanged through a QlProjectData record.
#include <string>

#include "project_persistence/QlProjectData.h"

namespace NsOvrin {

// Loads the folder of mainFilePath in this order, stopping at the first
// failure: the channels file, the data-block file, the alarm configuration
// file (may be missing), the chosen main file itself (whatever its name),
// the users file and the events file (may be missing). The users file never
// stops the load: a missing one leaves the user list empty, and a damaged
// record costs only its own user.
// record.directory becomes the folder of mainFilePath. Loading adds to the
// channel database and the alarm manager and clears nothing: what a failed
// load read stays there until the caller resets them. The temporary files
// of interrupted saves by processes no longer running are removed from the
// folder and its pictures folder first.
bool LoadProjectFiles(const std::string& mainFilePath, QlProjectData& record);

// Writes the main file (from record), the channels, data-block, alarm
// configuration and users files (from the live objects) and the events file
// (from record) into directory, in this order. Every writer runs even after
// one failed; true only when all six succeeded. Each file that fails is
// noted with its reason in the thread's live WriteFailureRecorders. Each file
// is replaced whole or not at all, so a failed save leaves every file either
// old or new. The temporary files of interrupted saves are removed first, as
// by the load.
bool SaveProjectFiles(const std::string& directory, const QlProjectData& record);

}  // namespace NsOvrin
