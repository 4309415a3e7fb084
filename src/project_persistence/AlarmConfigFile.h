#pragma once
// The alarm configuration file "alarm_config": the alarm groups (a start
// address and one message per bit) and the capacity of the alarm history.
// Each group becomes an alarm segment bound to the data block that holds its
// bits, so the channels and data-block files must have been read first.
#include <string>
#include <vector>

namespace NsOvrin {

// Adds a segment per group to the alarm manager (nothing is cleared first)
// and takes the history capacity. A project may lack the file: nothing at the
// path, or a directory there, is success with nothing read. False for an
// empty path, an unreadable or unparsable file, a root that is not an object
// or no "alarm-list" array. A group without a "message-list" array ends the
// reading (the result stays true): that group and every later one are
// appended to unreadGroups as "第<n>组(<address>)", n counted from 1 in the
// file. A group with more messages than its bits can number keeps the ones
// they can, and is appended as "第<n>组(<address>)中超出<most>条的消息". A
// group without messages is kept with its address (it raises nothing); a
// group whose address does not resolve is added unbound.
bool ReadAlarmConfigFile(const std::string& path, std::vector<std::string>* unreadGroups = nullptr);

// The history capacity and every segment of the alarm manager in order, each
// with its address as entered and its bits' messages. True when the file was
// written; a failed write leaves the old file as it was.
bool WriteAlarmConfigFile(const std::string& path);

}  // namespace NsOvrin
