#include "termination/NodeMemHxU.h"

#include <cctype>

#include "QlDev/DeviceAddress.h"
#include "termination/CacheVarModbus.h"

namespace NsOvrin::NsTermination {

bool NodeMemHxU::StepAddress(TermAddr& addr) const { return StepLetterAddress(addr); }

void NodeMemHxU::AlignBitBlock(TermAddr& addr) const { AlignLetterBitBlock(addr); }

std::string NodeMemHxU::FormatAddress(const std::string& prefix, uint32_t start, uint16_t count,
                                LastAddressFn lastAddress) const {
  return FormatAddressText(prefix, start, count, lastAddress);
}

const std::vector<MemArea>& NodeMemHxU::GetAreas() const {
  static const std::vector<MemArea> areas = {
      LetterArea("X", 256, 0, kKindBit),
      LetterArea("Y", 256, 1, kKindBit),
      LetterArea("M", 7679, 1, kKindBit),
      LetterArea("S", 4095, 1, kKindBit),
      LetterArea("D", 7999, 1, kKindWord),
      LetterArea("R", 32767, 1, kKindWord),
  };
  return areas;
}

std::shared_ptr<CacheVarBlock> NodeMemHxU::CreateCache(uint16_t bytes) const {
  return std::make_shared<CacheVarModbus>(bytes);
}

void NodeMemHxU::NormalizePrefix(std::string& prefix) const {
  for (char& c : prefix) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool NodeMemHxU::CountUnits(const std::string& prefix, uint32_t first, uint32_t last,
                      uint64_t& count) const {
  return CountLetterUnits(prefix, first, last, count);
}

const std::string& NodeMemHxU::GetRangePattern() const { return LetterRangePattern(); }

const std::string& NodeMemHxU::GetSinglePattern() const { return LetterSinglePattern(); }

bool NodeMemHxU::CheckDigits(const std::string& prefix, uint32_t number) const {
  return CheckLetterDigits(prefix, number);
}

}  // namespace NsOvrin::NsTermination
