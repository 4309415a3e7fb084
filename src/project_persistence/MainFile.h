#pragma once
// The main file of a project folder: panel size, home page, server address
// and the page list. One JSON object, written compactly with its keys in a
// fixed order: "ver", "size", "home-page", "server-ip-address", "page-list".
#include <string>

#include "project_persistence/QlProjectData.h"

namespace NsOvrin {

// The format version written; a file of a higher one is refused.
inline constexpr uint32_t kMainFileVersion = 100;

// Takes the file's size, home page, server address and pages into record
// (the page names are appended). False, with record unchanged, for an empty
// path, a missing or unparsable file, a root that is not an object, a "ver"
// that is missing, not an unsigned integer (100.0 included) or above 100,
// and a "page-list" that is missing or not an array. Members of another
// type keep the record's values; a page entry without a string "name" is a
// page with an empty name. Without a home page the first page becomes it.
bool ReadMainFile(const std::string& path, QlProjectData& record);

// Writes the record's fields; the directory and the events are not part of
// the file. False for an empty path or when the file cannot be written; a
// failed write leaves the old file as it was.
bool WriteMainFile(const std::string& path, const QlProjectData& record);
// The text WriteMainFile writes.
std::string MainFileText(const QlProjectData& record);

}  // namespace NsOvrin
