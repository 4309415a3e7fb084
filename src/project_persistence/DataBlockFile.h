#pragma once
// The data-block file "acq_db": the data blocks every device polls. Each
// block becomes a read task of its node as it is read, so the channels file
// must have been read first; writing walks the nodes' read tasks.
#include <string>
#include <vector>

namespace NsOvrin {

// Adds a read task per block to the nodes of the channel manager (nothing is
// cleared first). False for an empty path, a missing or unparsable file, a
// root that is not an object or no "nodes" array. A node object naming no
// device is skipped; one without an "acq-data-block-array" array ends the
// reading (the result stays true); a block whose address does not parse
// against its device's memory map is dropped. A block larger than one
// request of its device's protocol carries is kept, and named in oversized
// ("<device>.<address>", in file order) when that is given. The blocks not
// read, which the next save does not write, are named in unread the same
// way, with the address as stored ("<device>(<block name>)" for a block
// without an address; one with neither is not named): those of a device that
// does not exist, those whose address does not parse, and every block after
// the reading ended.
bool ReadDataBlocksFile(const std::string& path, std::vector<std::string>* oversized = nullptr,
                        std::vector<std::string>* unread = nullptr);

// Every node of the manager, channel by channel, with its read tasks in
// order (an empty array for a node without any). True when the file was
// written; a failed write leaves the old file as it was.
bool WriteDataBlocksFile(const std::string& path);

}  // namespace NsOvrin
