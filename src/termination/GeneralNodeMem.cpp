#include "termination/GeneralNodeMem.h"

#include <algorithm>
#include <typeinfo>
#include <unordered_map>
#include <vector>

#include "QlDev/DeviceAddress.h"
#include "QlDev/OctalAddress.h"
#include "platform/Format.h"

namespace NsOvrin::NsTermination {
namespace {

// The letters of the X, Y, S, M, D and R areas in both cases.
constexpr const char* kAreaLetters = "xXyYsSmMdDrR";

// Maps hold no state, so a text parses the same for every map of one class:
// each thread remembers the results of the texts it parsed, by class. A
// project binds the same few addresses over and over.
// Long texts are never addresses worth keeping.
constexpr std::size_t kMaxRememberedTexts = 4096;
constexpr std::size_t kMaxRememberedLength = 64;

struct ParsedText {
  AddrCheckCode code = kAddrOk;
  TermAddr addr;
};

struct ParsedTexts {
  const std::type_info* mapClass = nullptr;
  std::unordered_map<std::string, ParsedText> texts;
};

}  // namespace

AddrCheckCode GeneralNodeMem::ParseAddress(const std::string& text, TermAddr& addr) const {
  if (text.size() > kMaxRememberedLength) return ParseAddressText(text, addr);
  thread_local std::vector<ParsedTexts> byClass;
  const std::type_info& mapClass = typeid(*this);
  auto known = std::find_if(byClass.begin(), byClass.end(),
                            [&](const ParsedTexts& p) { return *p.mapClass == mapClass; });
  if (known == byClass.end()) {
    byClass.push_back({&mapClass, {}});
    known = byClass.end() - 1;
  }
  std::unordered_map<std::string, ParsedText>& texts = known->texts;
  auto found = texts.find(text);
  if (found == texts.end()) {
    if (texts.size() >= kMaxRememberedTexts) texts.clear();
    ParsedText parsed;
    parsed.code = ParseAddressText(text, parsed.addr);
    found = texts.emplace(text, std::move(parsed)).first;
  }
  if (found->second.code == kAddrOk) addr = found->second.addr;
  return found->second.code;
}

AddrCheckCode GeneralNodeMem::ParseAddressText(const std::string& text, TermAddr& addr) const {
  std::string prefix;
  uint32_t first = 0;
  uint32_t last = 0;
  // Every range form holds a "[": most addresses are single and skip its search.
  if (text.find('[') != std::string::npos &&
      MatchRangeForm(text, GetRangePattern(), prefix, first, last)) {
    // Numbers saturate rather than wrap, so they compare as unsigned.
    if (last < first) return kAddrBadRange;
  } else {
    int32_t bit = -1;
    if (!MatchSingleForm(text, GetSinglePattern(), prefix, first, bit)) return kAddrFormatError;
    last = first;
  }
  NormalizePrefix(prefix);
  if (!CheckDigits(prefix, first) || !CheckDigits(prefix, last)) return kAddrBadRange;
  uint64_t count = 0;
  if (!CountUnits(prefix, first, last, count)) return kAddrBadType;
  if (count == 0) return kAddrBadLength;
  // The area check takes the full-width count: a run longer than any area
  // is refused there instead of being cut to 16 bits.
  MemArea area;
  const AddrCheckCode code = CheckAreaRange(prefix, first, count, &area);
  if (code != kAddrOk) return code;
  addr.prefix = prefix;
  addr.start = first;
  addr.count = static_cast<uint16_t>(count);
  addr.kind = area.kind;
  addr.writable = area.writable;
  addr.linearPos = area.linearPos;
  addr.lastAddress = area.lastAddress;
  return kAddrOk;
}

uint16_t GeneralNodeMem::GetByteCount(const TermAddr& addr) const {
  if (addr.IsEmpty() || addr.kind != kKindWord || addr.count == 0) return 0;
  return static_cast<uint16_t>(addr.count * 2);
}

bool GeneralNodeMem::SetCountFromBytes(TermAddr& addr, uint16_t bytes) const {
  if (bytes == 0 || bytes % 2 != 0 || addr.IsEmpty() || addr.count == 0 || addr.kind != kKindWord)
    return false;
  addr.count = bytes / 2;
  return true;
}

bool GeneralNodeMem::Relocate(TermAddr& addr, const std::string& text) const {
  if (addr.IsEmpty() || addr.count == 0) return false;
  TermAddr target;
  if (ParseAddress(text, target) != kAddrOk || target.IsEmpty() || target.count != 1) return false;
  addr.prefix = target.prefix;
  addr.start = target.start;
  return true;
}

std::shared_ptr<CacheVarBlock> GeneralNodeMem::CreateCacheFor(const TermAddr& addr) const {
  if (addr.kind == kKindBit) return CreateCache(static_cast<uint16_t>((addr.count + 7) / 8));
  if (addr.kind == kKindWord) return CreateCache(static_cast<uint16_t>(addr.count * 2));
  return nullptr;
}

AddrCheckCode GeneralNodeMem::CheckBlockRange(const TermAddr& addr) const {
  if (!CheckDigits(addr.prefix, addr.start)) return kAddrBadRange;
  return CheckAreaRange(addr.prefix, addr.start, addr.count, nullptr);
}

std::string GeneralNodeMem::NormalizeText(const std::string& text) const {
  std::string prefix;
  uint32_t first = 0;
  uint32_t last = 0;
  if (MatchRangeForm(text, GetRangePattern(), prefix, first, last)) {
    NormalizePrefix(prefix);
    return NsPlatform::StrFormat("%s[%u~%u]", prefix.c_str(), first, last);
  }
  int32_t bit = -1;
  if (MatchSingleForm(text, GetSinglePattern(), prefix, first, bit)) {
    NormalizePrefix(prefix);
    if (bit >= 0) return NsPlatform::StrFormat("%s%u.%d", prefix.c_str(), first, bit);
    return NsPlatform::StrFormat("%s%u", prefix.c_str(), first);
  }
  return text;
}

AddrCheckCode GeneralNodeMem::CheckAreaRange(const std::string& prefix, uint32_t start,
                                             uint64_t count, MemArea* area) const {
  if (count == 0) return kAddrBadLength;
  if (prefix.empty()) return kAddrBadType;
  const std::vector<MemArea>& areas = GetAreas();
  if (areas.empty()) return kAddrSystemError;
  bool prefixKnown = false;
  for (const MemArea& a : areas) {
    if (a.prefix != prefix) continue;
    prefixKnown = true;
    // 64-bit sums: a saturated start plus its count must not wrap into the area.
    const uint64_t first = a.linearPos ? a.linearPos(start) : start;
    const uint64_t areaFirst = a.linearPos ? a.linearPos(a.start) : a.start;
    if (first >= areaFirst && first + count <= areaFirst + a.size) {
      if (area) *area = a;
      return kAddrOk;
    }
  }
  return prefixKnown ? kAddrBadRange : kAddrBadType;
}

bool GeneralNodeMem::IsOctalPrefix(const std::string& prefix) {
  return prefix == "X" || prefix == "Y";
}

bool GeneralNodeMem::StepLetterAddress(TermAddr& addr) {
  addr.start = IsOctalPrefix(addr.prefix) ? OctalIncrement(addr.start) : addr.start + 1;
  return true;
}

void GeneralNodeMem::AlignLetterBitBlock(TermAddr& addr) {
  if (IsOctalPrefix(addr.prefix)) {
    TermAddr::AlignOctal(addr);
  } else if (addr.prefix == "M" || addr.prefix == "S") {
    const uint32_t shift = addr.start % 8;
    addr.start -= shift;
    addr.count = static_cast<uint16_t>(addr.count + shift);
  }
}

bool GeneralNodeMem::CountLetterUnits(const std::string& prefix, uint32_t first, uint32_t last,
                                      uint64_t& count) {
  count = 0;
  if (last < first) return false;
  if (!IsOctalPrefix(prefix)) {
    count = uint64_t{last} - first + 1;
    return true;
  }
  const uint32_t linearFirst = OctalToLinear(first);
  const uint32_t linearLast = OctalToLinear(last);
  // Only reachable with digits 8 or 9, which the caller has not refused.
  if (linearLast < linearFirst) return false;
  count = uint64_t{linearLast} - linearFirst + 1;
  return true;
}

bool GeneralNodeMem::CheckLetterDigits(const std::string& prefix, uint32_t number) {
  if (!IsOctalPrefix(prefix)) return true;
  for (uint32_t n = number; n != 0; n /= 10) {
    if (n % 10 > 7) return false;
  }
  return true;
}

const std::string& GeneralNodeMem::LetterRangePattern() {
  static const std::string pattern =
      NsPlatform::StrFormat(R"(^\S*([%s])\[(\d+)~(\d+)\]\s*$)", kAreaLetters);
  return pattern;
}

const std::string& GeneralNodeMem::LetterSinglePattern() {
  static const std::string pattern = NsPlatform::StrFormat(R"(^\s*([%s])(\d+)\s*$)", kAreaLetters);
  return pattern;
}

MemArea GeneralNodeMem::LetterArea(const char* prefix, uint32_t size, uint16_t writable,
                                   uint32_t kind) {
  MemArea area;
  area.prefix = prefix;
  area.start = 0;
  area.size = size;
  area.writable = writable;
  area.kind = kind;
  if (IsOctalPrefix(area.prefix)) {
    area.rangeText = FormatOctalAreaRange;
    area.linearPos = OctalToLinear;
    area.lastAddress = OctalLastAddress;
  } else {
    area.rangeText = FormatAreaRange;
  }
  return area;
}

}  // namespace NsOvrin::NsTermination
