#include "QlDev/DeviceAddress.h"

#include <algorithm>
#include <limits>
#include <string_view>

#include "common/Regex.h"
#include "platform/Format.h"
#include "platform/Utf.h"

namespace NsOvrin::NsTermination {
namespace {

uint32_t GroupNumber(const RegexQuery& query, std::size_t k) {
  return query.GroupMatched(k) ? NsPlatform::ParseDecimalU32Saturating(query.Group(k)) : 0;
}

// The white space of the address pattern: tab, line feed, vertical tab,
// form feed, carriage return and blank.
bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Bytes of the UTF-8 character at i (the text is valid UTF-8).
std::size_t CharLength(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) return 1;
  if (lead < 0xE0) return 2;
  if (lead < 0xF0) return 3;
  return 4;
}

// Line feed, carriage return, U+2028 and U+2029: what the pattern's "."
// does not take.
bool IsLineEnd(std::string_view text, std::size_t i) {
  if (text[i] == '\n' || text[i] == '\r') return true;
  if (text[i] != '\xE2') return false;
  return text.compare(i, 3, "\xE2\x80\xA8") == 0 || text.compare(i, 3, "\xE2\x80\xA9") == 0;
}

bool HasLineEnd(std::string_view text, std::size_t begin, std::size_t end) {
  for (std::size_t i = begin; i < end; i += CharLength(text, i))
    if (IsLineEnd(text, i)) return true;
  return false;
}

// End of the address after the dot at `dot`, the trailing blanks starting at
// `tail`; npos when no address can follow that dot.
std::size_t AddressEnd(std::string_view text, std::size_t dot, std::size_t tail) {
  const std::size_t first = dot + 1;
  if (first >= text.size()) return std::string_view::npos;
  const std::size_t end = std::max(first + CharLength(text, first), tail);
  return HasLineEnd(text, first, end) ? std::string_view::npos : end;
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

// The result of a search with ^\s*(.+?)\.(.+?)\s*$, found in one pass:
// the search backtracks over every dot and takes time that grows with the
// square of the text. The node is the text from the first non-blank up to
// the first dot after it; when no address can follow that dot, no later one
// can either, and only a node of the single blank before a leading dot is
// left to try.
bool SplitDeviceAddress(const std::string& text, std::string& node, std::string& address) {
  const std::string_view s = text;
  if (!NsPlatform::IsValidUtf8(s)) return false;
  std::size_t start = 0;
  while (start < s.size() && IsBlank(s[start])) ++start;
  if (start == s.size()) return false;
  std::size_t tail = s.size();
  while (IsBlank(s[tail - 1])) --tail;
  auto take = [&](std::size_t nodeBegin, std::size_t dot, std::size_t end) {
    node = text.substr(nodeBegin, dot - nodeBegin);
    address = text.substr(dot + 1, end - dot - 1);
    return true;
  };
  // The node holds at least one character and no line end.
  for (std::size_t i = start; i < s.size() && !IsLineEnd(s, i); i += CharLength(s, i)) {
    if (i == start || s[i] != '.') continue;
    const std::size_t end = AddressEnd(s, i, tail);
    if (end != std::string_view::npos) return take(start, i, end);
    break;
  }
  if (start > 0 && s[start] == '.' && s[start - 1] != '\n' && s[start - 1] != '\r') {
    const std::size_t end = AddressEnd(s, start, tail);
    if (end != std::string_view::npos) return take(start - 1, start, end);
  }
  return false;
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
