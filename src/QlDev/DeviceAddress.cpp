#include "QlDev/DeviceAddress.h"

#include <limits>

#include "common/Regex.h"
#include "platform/Format.h"

namespace NsOvrin::NsTermination {
namespace {

uint32_t GroupNumber(const RegexQuery& query, std::size_t k) {
  return query.GroupMatched(k) ? NsPlatform::ParseDecimalU32Saturating(query.Group(k)) : 0;
}

}  // namespace

std::string JoinDeviceAddress(const std::string& node, const std::string& address) {
  if (node.empty() || address.empty()) return {};
  // Every binding joins its canonical text: no printf. Each part ends at a
  // NUL, as %s would end it.
  const std::string_view name(node.c_str());
  const std::string_view where(address.c_str());
  std::string text;
  text.reserve(name.size() + 1 + where.size());
  text.append(name).append(1, '.').append(where);
  return text;
}

bool SplitDeviceAddress(const std::string& text, std::string& node, std::string& address) {
  RegexQuery query;
  query.subject = text;
  if (!RegexSearch(R"(^\s*(.+?)\.(.+?)\s*$)", query)) return false;
  node = query.Group(1);
  address = query.Group(2);
  return true;
}

bool MatchRangeForm(const std::string& text, const std::string& pattern, std::string& prefix,
                    uint32_t& first, uint32_t& last) {
  RegexQuery query;
  query.subject = text;
  if (!RegexSearch(pattern, query)) return false;
  prefix = query.Group(1);
  first = GroupNumber(query, 2);
  last = GroupNumber(query, 3);
  return true;
}

bool MatchSingleForm(const std::string& text, const std::string& pattern, std::string& prefix,
                     uint32_t& number, int32_t& bit) {
  RegexQuery query;
  query.subject = text;
  if (!RegexSearch(pattern, query)) return false;
  prefix = query.Group(1);
  number = GroupNumber(query, 2);
  bit = -1;
  if (!query.Group(4).empty()) {
    const uint32_t b = GroupNumber(query, 4);
    constexpr uint32_t kMax = std::numeric_limits<int32_t>::max();
    bit = static_cast<int32_t>(b > kMax ? kMax : b);
  }
  return true;
}

std::string FormatAddressText(const std::string& prefix, uint32_t start, uint16_t count,
                              LastAddressFn lastAddress) {
  if (prefix.empty() || count == 0) return {};
  if (count == 1) return NsPlatform::StrFormat("%s%u", prefix.c_str(), start);
  const unsigned long long last =
      lastAddress ? lastAddress(start, count) : uint64_t{start} + count - 1;
  return NsPlatform::StrFormat("%s[%u~%llu]", prefix.c_str(), start, last);
}

}  // namespace NsOvrin::NsTermination
