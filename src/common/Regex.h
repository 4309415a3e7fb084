#pragma once
// ECMAScript regular expressions over UTF-8 text, so that character classes
// holding Chinese or full-width characters work. \d, \w and \s are the ASCII
// classes, "." stops at line terminators and "$" only matches at the end.
// A pattern that does not compile matches nothing. Matching does not recurse
// per character and its work is bounded: a search that reaches the bound, or
// a subject that is not valid UTF-8, counts as no match.
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

// Every pattern is compiled once and kept; both may be called from any thread.
bool RegexSearch(const std::string& pattern, RegexQuery& query);
bool RegexTest(const std::string& subject, const std::string& pattern);

}  // namespace NsOvrin
