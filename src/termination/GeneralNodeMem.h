#pragma once
// The operations shared by every memory map, written once on top of the area
// table and six model-specific operations.
#include "termination/NodeMem.h"

namespace NsOvrin::NsTermination {

class GeneralNodeMem : public NodeMem {
 public:
  AddrCheckCode ParseAddress(const std::string& text, TermAddr& addr) const override;
  uint16_t GetByteCount(const TermAddr& addr) const override;
  bool SetCountFromBytes(TermAddr& addr, uint16_t bytes) const override;
  bool Relocate(TermAddr& addr, const std::string& text) const override;
  std::shared_ptr<CacheVarBlock> CreateCacheFor(const TermAddr& addr) const override;
  AddrCheckCode CheckBlockRange(const TermAddr& addr) const override;
  std::string NormalizeText(const std::string& text) const override;

  // A new, zeroed cache block in the device family's byte order.
  virtual std::shared_ptr<CacheVarBlock> CreateCache(uint16_t bytes) const = 0;
  virtual void NormalizePrefix(std::string& prefix) const = 0;
  // Units from first to last as written; false with count 0 when last < first.
  virtual bool CountUnits(const std::string& prefix, uint32_t first, uint32_t last,
                          uint64_t& count) const = 0;
  virtual const std::string& GetRangePattern() const = 0;
  virtual const std::string& GetSinglePattern() const = 0;
  // Whether the number is spelled with digits the area allows.
  virtual bool CheckDigits(const std::string& prefix, uint32_t number) const = 0;

  // The first area of the prefix holding count units from start (in linear
  // positions) is copied to area when given. The count is taken in full width.
  AddrCheckCode CheckAreaRange(const std::string& prefix, uint32_t start, uint64_t count,
                               MemArea* area) const;

 private:
  AddrCheckCode ParseAddressText(const std::string& text, TermAddr& addr) const;

 protected:
  // Building blocks of the letter maps, whose X and Y areas count in octal.
  static bool IsOctalPrefix(const std::string& prefix);
  static bool StepLetterAddress(TermAddr& addr);
  static void AlignLetterBitBlock(TermAddr& addr);
  static bool CountLetterUnits(const std::string& prefix, uint32_t first, uint32_t last,
                               uint64_t& count);
  static bool CheckLetterDigits(const std::string& prefix, uint32_t number);
  static const std::string& LetterRangePattern();
  static const std::string& LetterSinglePattern();
  static MemArea LetterArea(const char* prefix, uint32_t size, uint16_t writable, uint32_t kind);
};

}  // namespace NsOvrin::NsTermination
