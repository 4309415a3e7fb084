#pragma once
// The channels file "com_chns": the project's communication channels and the
// devices on each. Reading builds the live channels and nodes in the channel
// manager at once, so that the data-block, alarm and page files read after it
// can name the devices; writing walks the manager.
#include <string>
#include <vector>

namespace NsOvrin {

// Adds the file's channels and devices to the channel manager (nothing is
// cleared first). False for an empty path, a missing or unparsable file, a
// root that is not an object or no "channels" array. A channel of another
// type than "sr" or "ethnet", or one without a "nodes" array, ends the
// reading: what was read stays and the result is true. A device that cannot
// be created (unknown model, name in use, wrong kind of channel) is dropped.
// What is not read the next save does not write; the caller may name it:
// unreadChannels receives every channel left unread, from the first one of
// another type (one without a "nodes" array is itself kept) to the end of
// the file, as "<name>(<device>, ...)" with the names its "nodes" give;
// unreadDevices every dropped device as "<channel>的第<n>个设备(<name>)", n
// counted from 1 in its channel. A channel without a name is "第<n>个通道".
bool ReadChannelsFile(const std::string& path, std::vector<std::string>* unreadChannels = nullptr,
                      std::vector<std::string>* unreadDevices = nullptr);

// Every channel of the manager in order, each with the devices whose stored
// parameters fit its kind. True when the file was written; a failed write
// leaves the old file as it was.
bool WriteChannelsFile(const std::string& path);

}  // namespace NsOvrin
