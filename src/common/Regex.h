#pragma once
// ECMAScript regular expressions over wide text, so that character classes
// holding Chinese or full-width characters work. A pattern that does not
// compile matches nothing.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace NsOvrin {

struct RegexQuery {
  std::string subject;
  // Groups of the last successful search (0 = whole match); nullopt for a
  // group that did not take part.
  std::vector<std::optional<std::string>> groups;
  bool matched = false;

  // Group k of the last successful search; empty when it does not exist or
  // did not take part.
  std::string Group(std::size_t k) const;
  bool GroupMatched(std::size_t k) const { return k < groups.size() && groups[k].has_value(); }
};

bool RegexSearch(const std::string& pattern, RegexQuery& query);
bool RegexTest(const std::string& subject, const std::string& pattern);

}  // namespace NsOvrin
