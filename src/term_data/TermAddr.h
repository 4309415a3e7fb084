#pragma once
// The parsed address descriptor shared by data blocks, read tasks, alarm
// segments, element bindings and command operands.
#include <cstdint>
#include <string>

#include "QlDev/DataTypeFlag.h"
#include "QlDev/MemArea.h"

namespace NsOvrin::NsTermination {

struct TermAddr {
  std::string prefix;  // normalised area prefix; empty: not parsed
  uint32_t start = 0;  // first address as written (octal digits for X and Y)
  uint16_t count = 0;  // units: bits or words
  LinearPosFn linearPos = nullptr;
  LastAddressFn lastAddress = nullptr;
  uint32_t kind = kKindWord;
  uint16_t writable = 0;

  bool IsEmpty() const { return prefix.empty(); }
  // Linear position of a written number through this descriptor's function.
  uint32_t LinearPos(uint32_t number) const { return linearPos ? linearPos(number) : number; }
  // Written number of the last unit; start - 1 (possibly -1) for a count of 0
  // without a last-address function.
  int64_t LastAddress() const;

  // Whether the address lies inside this block for a value of the given type.
  // offset (optional) receives the position inside the block: bits for a bit
  // address, bytes for a word address.
  bool Contains(const TermAddr& address, DataTypeFlag type, uint16_t* offset) const;
  // Bit type needs a bit descriptor, the word, double-word and string types a
  // word descriptor.
  bool AcceptsDataType(DataTypeFlag type) const;
  // Widens an octal bit block to start on a whole byte.
  static void AlignOctal(TermAddr& addr);
};

}  // namespace NsOvrin::NsTermination
