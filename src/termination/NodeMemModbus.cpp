#include "termination/NodeMemModbus.h"

#include <cctype>
#include <charconv>
#include <string>

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

// value in decimal, at least five digits with leading zeros.
void AppendZeroPadded(std::string& text, uint64_t value) {
  char digits[24];
  const auto [end, error] = std::to_chars(digits, digits + sizeof digits, value);
  (void)error;
  const auto length = static_cast<std::size_t>(end - digits);
  if (length < 5) text.append(5 - length, '0');
  text.append(digits, length);
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
  // Every binding formats its address: "%s%05u" and "%s[%05u~%05llu]" without
  // printf. The prefix ends at a NUL as %s would end it.
  std::string text(prefix.c_str());
  if (count == 1) {
    AppendZeroPadded(text, start);
    return text;
  }
  text += '[';
  AppendZeroPadded(text, start);
  text += '~';
  AppendZeroPadded(text, uint64_t{start} + count - 1);
  text += ']';
  return text;
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
