#pragma once
// A node's memory map: its areas and address syntax. Parses address texts
// into descriptors, checks, formats, steps and aligns descriptors, and makes
// the cache block of a data block. Maps hold no state and may be shared
// across threads.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QlDev/AddrCheckCode.h"
#include "QlDev/MemArea.h"
#include "term_data/CacheVarBlock.h"
#include "term_data/TermAddr.h"

namespace NsOvrin::NsTermination {

class NodeMem {
 public:
  virtual ~NodeMem() = default;

  // The descriptor is written only when the result is kAddrOk.
  virtual AddrCheckCode ParseAddress(const std::string& text, TermAddr& addr) const = 0;
  // Moves the start to the next unit. Always true.
  virtual bool StepAddress(TermAddr& addr) const = 0;
  // Widens a bit block to whole bytes at its front.
  virtual void AlignBitBlock(TermAddr& addr) const = 0;
  virtual std::string FormatAddress(const std::string& prefix, uint32_t start, uint16_t count,
                                    LastAddressFn lastAddress) const = 0;
  // Bytes of a word descriptor; 0 for an empty or bit descriptor.
  virtual uint16_t GetByteCount(const TermAddr& addr) const = 0;
  // Sets the word count of a word descriptor from an even, non-zero byte count.
  virtual bool SetCountFromBytes(TermAddr& addr, uint16_t bytes) const = 0;
  // Moves a block to the single address of the text, keeping its count,
  // kind, writable flag and functions.
  virtual bool Relocate(TermAddr& addr, const std::string& text) const = 0;
  // Empty for a descriptor that is neither bit nor word.
  virtual std::shared_ptr<CacheVarBlock> CreateCacheFor(const TermAddr& addr) const = 0;
  virtual const std::vector<MemArea>& GetAreas() const = 0;
  virtual AddrCheckCode CheckBlockRange(const TermAddr& addr) const = 0;
  // Canonical spelling of an address text (prefix case, no leading zeros);
  // nothing is validated and a text of no known form is returned unchanged.
  virtual std::string NormalizeText(const std::string& text) const = 0;

  // The area row of the address text.
  AddrCheckCode FindArea(const std::string& text, MemArea& area) const;
};

}  // namespace NsOvrin::NsTermination
