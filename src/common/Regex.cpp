#include "common/Regex.h"

#include <memory>
#include <regex>

#include "platform/Utf.h"

namespace NsOvrin {
namespace {

std::unique_ptr<std::wregex> Compile(const std::string& pattern) {
  try {
    return std::make_unique<std::wregex>(NsPlatform::Utf8ToWide(pattern), std::regex::ECMAScript);
  } catch (const std::regex_error&) {
    return nullptr;
  }
}

}  // namespace

std::string RegexQuery::Group(std::size_t k) const {
  if (!matched || !GroupMatched(k)) return {};
  return *groups[k];
}

bool RegexSearch(const std::string& pattern, RegexQuery& query) {
  auto re = Compile(pattern);
  if (!re) return false;
  const std::wstring subject = NsPlatform::Utf8ToWide(query.subject);
  std::wsmatch m;
  try {
    if (!std::regex_search(subject, m, *re)) return false;
  } catch (const std::regex_error&) {
    return false;
  }
  query.groups.clear();
  for (std::size_t i = 0; i < m.size(); ++i) {
    if (m[i].matched)
      query.groups.emplace_back(NsPlatform::WideToUtf8(m[i].str()));
    else
      query.groups.emplace_back(std::nullopt);
  }
  query.matched = true;
  return true;
}

bool RegexTest(const std::string& subject, const std::string& pattern) {
  auto re = Compile(pattern);
  if (!re) return false;
  try {
    return std::regex_search(NsPlatform::Utf8ToWide(subject), *re);
  } catch (const std::regex_error&) {
    return false;
  }
}

}  // namespace NsOvrin
