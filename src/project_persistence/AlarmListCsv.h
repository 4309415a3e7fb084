#pragma once
// The CSV file of one alarm group's messages, in the ANSI code page (read as
// UTF-8 when it begins with the UTF-8 byte-order mark): a header line, then
// one "number, message" line per bit.
#include <string>
#include <vector>

namespace NsOvrin {

enum class AlarmCsvWrite { Ok, OpenFailed, WriteFailed };

// Writes "序号, 警报消息" and then "%u, %s" for each message, every line
// ending in CR LF. The file replaces the target only when it was written
// whole; error receives errno of a failure.
AlarmCsvWrite WriteAlarmListCsv(const std::string& path, const std::vector<std::string>& messages,
                                int& error);

// The messages of a file written that way: the first line is skipped; of
// every further line the second comma-separated field, without the one blank
// the writer puts after the comma, or "???" for a line without a comma. A
// message ends at its first NUL byte, as the project files keep it.
// False, with no message, for an empty path, a file that does not open and
// one whose reading fails part-way.
bool ReadAlarmListCsv(const std::string& path, std::vector<std::string>& messages);

}  // namespace NsOvrin
