#pragma once
// The events file "events": every variable event of the project with the
// instruction lines of each of its triggers, as stored (neither normalised
// nor compiled). Bit and integer events are read back; an integer event
// without an address (as older files hold them) is skipped.
#include <memory>
#include <string>
#include <vector>

#include "events/QlVarEventBase.h"

namespace NsOvrin {

using VarEventList = std::vector<std::shared_ptr<NsQlEvent::QlVarEventBase>>;

// Every event in order, each trigger's lines with the empty ones. True when
// the file was written; a failed write leaves the old file as it was.
bool WriteEventsFile(const std::string& path, const VarEventList& events);

// Appends the events of the file to events. A project may lack the
// file: nothing at the path, or a directory there, is success with nothing
// read. False for an empty path, an unreadable or unparsable file, a root
// that is not an object or no "var-list" array. An event without an
// "event-list" array ends the reading (the result stays true), keeping the
// events read before it.
// What is not read the next save does not write; unread receives it, each
// event as "第<n>个(<address>)" (n counted from 1 in the file, "第<n>个" for
// an event without an address): every event from the one that ended the
// reading to the end of the file, every entry skipped (an integer event
// without an address, an unknown type), and, followed by "中的部分指令",
// every event read without some of the non-empty instruction lines its
// entry holds.
bool ReadEventsFile(const std::string& path, VarEventList& events,
                    std::vector<std::string>* unread = nullptr);

}  // namespace NsOvrin
