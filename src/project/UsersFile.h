#pragma once
// The users file: one 80-byte scrambled record per user of the list, in list
// order, with no header and no trailer. A record holds, in the ANSI code page,
// "%05zu<name>%05zu<password>%03d" (byte lengths, then the level) followed by
// zero bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "project_base/QlUser.h"

namespace NsOvrin {

inline constexpr std::size_t kUserRecordSize = 80;

// Set by the project load and save just before they read or write the file;
// empty at start.
extern std::string UsersFilePath;

// The users file the open project was loaded from when something is there
// that could not be read whole (no permission, not a regular file, a record
// that does not decode or whose text the code page does not give back);
// empty otherwise. The project save leaves that file as it is, and a save
// into another folder carries its bytes there, until the users are changed
// (ChangedUsers): a file the editor could not read is never replaced by the
// part of it that was read.
extern std::string UnreadUsersFilePath;

// Called when the user changed the user list: from here on the project save
// writes the list, also over a file that could not be read.
void ChangedUsers();
// True when path names the unread users file of the open project.
bool IsUnreadUsersFile(const std::string& path);

// Writes the bytes of UnreadUsersFilePath, unchanged, to target. False when
// that path is empty, when the file cannot be read (noted in the thread's
// WriteFailureRecorders under its own path, with the reason) or when target
// cannot be written (noted under target).
bool CarryUnreadUsersFile(const std::string& target);

// UsersFilePath, or "users" next to the program (or in the redirection
// folder) when it is empty.
std::string GetUsersFilePath();

// Replaces the user list by the file's users. False, with an empty list, when
// the file does not open (only a regular file is read, and a FIFO is never
// waited on). False also when a record does not decode or the file cannot be
// read to its end, and when a record's name or password holds bytes the code
// page does not give back (that user is kept, with U+FFFD for them): the list
// then holds every user read. A final piece shorter than a record is
// ignored.
bool LoadUsers();
// Writes every user of the list to a temporary file beside the target and
// renames it over the target: the old file stays whole when anything fails.
// False when the file cannot be written or a user cannot be stored whole
// (see EncodeUserRecord); an empty list writes an empty file.
bool SaveUsers();

// Appends one scrambled record to file. Refuses (appending nothing) a user
// that would not read back: an empty name, text that is not valid UTF-8 or
// holds a NUL, a level outside 0..999, or, counted in bytes of the ANSI code
// page, a name or password above 40 bytes or both above 69 bytes together.
// Above 66 bytes together the level is written with the 2 or 1 digits left
// (as the reader reads it), so a level that needs more is refused.
bool EncodeUserRecord(std::string& file, const QlUser& user);
// Unscrambles the record in place and parses it; user is written only when
// the record decodes. A record decodes when its name is not empty and its
// level starts inside the record (name and password up to 69 bytes together;
// level digits past the end are not read); EncodeUserRecord writes every
// record it reads.
bool DecodeUserRecord(std::span<uint8_t, kUserRecordSize> record, QlUser& user);

}  // namespace NsOvrin
