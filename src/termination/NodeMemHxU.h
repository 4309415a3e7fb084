#pragma once
// Memory map of the Inovance H3U/H5U: X and Y points numbered in octal (256
// each), M, S bits and D, R words.
#include "termination/GeneralNodeMem.h"

namespace NsOvrin::NsTermination {

class NodeMemHxU : public GeneralNodeMem {
 public:
  bool StepAddress(TermAddr& addr) const override;
  void AlignBitBlock(TermAddr& addr) const override;
  std::string FormatAddress(const std::string& prefix, uint32_t start, uint16_t count,
                            LastAddressFn lastAddress) const override;
  const std::vector<MemArea>& GetAreas() const override;

  std::shared_ptr<CacheVarBlock> CreateCache(uint16_t bytes) const override;
  void NormalizePrefix(std::string& prefix) const override;
  bool CountUnits(const std::string& prefix, uint32_t first, uint32_t last,
                  uint64_t& count) const override;
  const std::string& GetRangePattern() const override;
  const std::string& GetSinglePattern() const override;
  bool CheckDigits(const std::string& prefix, uint32_t number) const override;
};

}  // namespace NsOvrin::NsTermination
