#pragma once
// Memory map of the Modbus RTU and Modbus TCP devices: coils 0x, discrete
// inputs 1x, input registers 3x and holding registers 4x.
#include "termination/GeneralNodeMem.h"

namespace NsOvrin::NsTermination {

class NodeMemModbus : public GeneralNodeMem {
 public:
  bool StepAddress(TermAddr& addr) const override;
  void AlignBitBlock(TermAddr& addr) const override;
  // Numbers zero-padded to five digits: 4x00010, 4x[00010~00019].
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
