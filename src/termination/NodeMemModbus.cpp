#include "termination/NodeMemModbus.h"

#include <cctype>

#include "platform/Format.h"
#include "termination/CacheVarModbus.h"

namespace NsOvrin::NsTermination {
namespace {

MemArea ModbusArea(const char* prefix, uint16_t writable, uint32_t kind) {
  MemArea area;
  area.prefix = prefix;
  area.start = 0;
  area.size = 65534;
  area.writable = writable;
  area.kind = kind;
  area.rangeText = FormatAreaRange;
  return area;
}

}  // namespace

bool NodeMemModbus::StepAddress(TermAddr& addr) const {
  ++addr.start;
  return true;
}

void NodeMemModbus::AlignBitBlock(TermAddr&) const {}

std::string NodeMemModbus::FormatAddress(const std::string& prefix, uint32_t start, uint16_t count,
                                         LastAddressFn) const {
  if (prefix.empty() || count == 0) return {};
  if (count == 1) return NsPlatform::StrFormat("%s%05u", prefix.c_str(), start);
  const unsigned long long last = uint64_t{start} + count - 1;
  return NsPlatform::StrFormat("%s[%05u~%05llu]", prefix.c_str(), start, last);
}

const std::vector<MemArea>& NodeMemModbus::GetAreas() const {
  static const std::vector<MemArea> areas = {
      ModbusArea("0x", 1, kKindBit),
      ModbusArea("1x", 0, kKindBit),
      ModbusArea("3x", 0, kKindWord),
      ModbusArea("4x", 1, kKindWord),
  };
  return areas;
}

std::shared_ptr<CacheVarBlock> NodeMemModbus::CreateCache(uint16_t bytes) const {
  return std::make_shared<CacheVarModbus>(bytes);
}

void NodeMemModbus::NormalizePrefix(std::string& prefix) const {
  for (char& c : prefix) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool NodeMemModbus::CountUnits(const std::string&, uint32_t first, uint32_t last,
                               uint64_t& count) const {
  count = 0;
  if (last < first) return false;
  count = uint64_t{last} - first + 1;
  return true;
}

const std::string& NodeMemModbus::GetRangePattern() const {
  static const std::string pattern = R"(^\S*([0134][xX])\[(\d+)~(\d+)\]\s*$)";
  return pattern;
}

const std::string& NodeMemModbus::GetSinglePattern() const {
  static const std::string pattern = R"(^\s*([0134][xX])(\d+)\s*$)";
  return pattern;
}

bool NodeMemModbus::CheckDigits(const std::string&, uint32_t) const { return true; }

}  // namespace NsOvrin::NsTermination
