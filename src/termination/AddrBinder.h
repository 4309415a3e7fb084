#pragma once
// Binding an address text once: resolve it to a node and a descriptor, write
// the text back in canonical form and, when asked, subscribe the node's read
// task whose block holds the address. A read task is polled only while it has
// subscribers, so the bindings decide which data blocks are read online.
#include <cstdint>
#include <memory>
#include <string>

#include "QlDev/MemArea.h"
#include "common/OneWayWrapper.h"
#include "term_data/TermAddr.h"
#include "termination/Node.h"
#include "termination/Task.h"

namespace NsOvrin::NsTermination {

// What a binding fills in; every pointer may be null.
struct AddrBinder {
  // Receives the node; null: a temporary handle dropped on return.
  OneWayWrapper<Node>* node = nullptr;
  // Receives the parsed address; null: a temporary one.
  TermAddr* addr = nullptr;
  // The type the address will be read as: decides whether a 32-bit value
  // must fit in the block.
  uint16_t dataType = kTypeBit;
  // Receives the subscribed read task; null: no subscription wanted.
  std::shared_ptr<TaskReadData>* task = nullptr;
  // Receives the position inside the task's block: bits for a bit address,
  // bytes for a word address. Needed for a subscription.
  uint16_t* offset = nullptr;
};

// Removes blanks (spaces, tabs, line ends) from both ends in place.
void TrimBlanks(std::string& text);

// Ends the previous binding, then binds "node.address" (no sole-node
// shorthand). Rewrites the text canonically once the address parsed; false
// when it does not resolve or when a wanted subscription finds no block.
bool BindAddress(std::string& text, const AddrBinder& binder);
// The same for a run of count units from the address (1 when count is 0).
bool BindAddressWithCount(std::string& text, uint16_t count, const AddrBinder& binder);
// The area row of the address; trims the caller's text. False for a text
// without a node part, an unknown node, a node without a memory map or an
// address that does not parse.
bool LookupAddressArea(std::string& text, MemArea& area);
// Drops one subscription (the count never goes below 0) and the pointer.
void ReleaseReadTaskRef(std::shared_ptr<TaskReadData>& task);
// Undoes a binding: task released, offset 0, node handle reset, descriptor
// cleared.
void ReleaseBinding(const AddrBinder& binder);

}  // namespace NsOvrin::NsTermination
