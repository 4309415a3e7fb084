#include "termination/NodeMemMitsFx.h"

#include <cctype>

#include "QlDev/DeviceAddress.h"
#include "termination/CacheVarMitsFx.h"

namespace NsOvrin::NsTermination {

bool NodeMemMitsFx::StepAddress(TermAddr& addr) const { return StepLetterAddress(addr); }

void NodeMemMitsFx::AlignBitBlock(TermAddr& addr) const { AlignLetterBitBlock(addr); }

std::string NodeMemMitsFx::FormatAddress(const std::string& prefix, uint32_t start, uint16_t count,
                                LastAddressFn lastAddress) const {
  return FormatAddressText(prefix, start, count, lastAddress);
}

const std::vector<MemArea>& NodeMemMitsFx::GetAreas() const {
  static const std::vector<MemArea> areas = {
      LetterArea("X", 248, 0, kKindBit),
      LetterArea("Y", 248, 1, kKindBit),
      LetterArea("M", 7679, 1, kKindBit),
      LetterArea("S", 4095, 1, kKindBit),
      LetterArea("D", 7999, 1, kKindWord),
      LetterArea("R", 32767, 1, kKindWord),
  };
  return areas;
}

std::shared_ptr<CacheVarBlock> NodeMemMitsFx::CreateCache(uint16_t bytes) const {
  return std::make_shared<CacheVarMitsFx>(bytes);
}

void NodeMemMitsFx::NormalizePrefix(std::string& prefix) const {
  for (char& c : prefix) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

bool NodeMemMitsFx::CountUnits(const std::string& prefix, uint32_t first, uint32_t last,
                      uint64_t& count) const {
  return CountLetterUnits(prefix, first, last, count);
}

const std::string& NodeMemMitsFx::GetRangePattern() const { return LetterRangePattern(); }

const std::string& NodeMemMitsFx::GetSinglePattern() const { return LetterSinglePattern(); }

bool NodeMemMitsFx::CheckDigits(const std::string& prefix, uint32_t number) const {
  return CheckLetterDigits(prefix, number);
}

}  // namespace NsOvrin::NsTermination
