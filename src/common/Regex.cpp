#include "common/Regex.h"

#define PCRE2_CODE_UNIT_WIDTH 8
#include <pcre2.h>

#include <array>
#include <cstdint>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace NsOvrin {
namespace {

// The engine keeps its backtracking on the heap; these bound the steps, the
// nesting and the memory of one search (about a tenth of a second of work).
// The program's patterns stay far below them on texts of hundreds of
// thousands of characters; a search that would otherwise stall reaches them.
constexpr uint32_t kMatchLimit = 10'000'000;
constexpr uint32_t kDepthLimit = 1'000'000;
constexpr uint32_t kHeapLimitKib = 16 * 1024;

// A thread's match block keeps the memory of its deepest search; after a
// long subject it is given back.
constexpr std::size_t kLongSubject = 64 * 1024;

// Patterns are the program's own, so few; the bound only keeps a caller that
// builds patterns from data from growing the cache without end.
constexpr std::size_t kMaxCachedPatterns = 512;

// ECMAScript's options: UTF-8 code points, "$" only at the very end, "[]"
// and "[^]" as the empty and the full class, \uhhhh and \xhh escapes, a
// reference to a group that did not take part matching the empty text.
constexpr uint32_t kCompileOptions = PCRE2_UTF | PCRE2_DOLLAR_ENDONLY | PCRE2_ALLOW_EMPTY_CLASS |
                                     PCRE2_ALT_BSUX | PCRE2_MATCH_UNSET_BACKREF |
                                     PCRE2_NEVER_BACKSLASH_C;

// The ECMAScript spellings PCRE2 reads otherwise: "." outside a class stops
// at the four line terminators (PCRE2's stops at line feed only) and \v is
// the vertical tab (PCRE2's is a class).
std::string ToEngineSyntax(std::string_view pattern) {
  std::string out;
  out.reserve(pattern.size() + 16);
  bool inClass = false;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char c = pattern[i];
    if (c == '\\' && i + 1 < pattern.size()) {
      const char next = pattern[++i];
      if (next == 'v') {
        out += "\\x0b";
      } else {
        out += c;
        out += next;
      }
      continue;
    }
    if (inClass) {
      // PCRE2_ALLOW_EMPTY_CLASS: a ']' right after "[" or "[^" closes it.
      if (c == ']') inClass = false;
      out += c;
    } else if (c == '[') {
      inClass = true;
      out += c;
      if (i + 1 < pattern.size() && pattern[i + 1] == '^') out += pattern[++i];
    } else if (c == '.') {
      out += "[^\\n\\r\\u2028\\u2029]";
    } else {
      out += c;
    }
  }
  return out;
}

struct CodeDeleter {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct MatchContextDeleter {
  void operator()(pcre2_match_context* context) const { pcre2_match_context_free(context); }
};

// A compiled pattern, shared read-only by every thread; null code for a
// pattern that does not compile, so that failure is remembered as well.
struct Compiled {
  std::unique_ptr<pcre2_code, CodeDeleter> code;
  uint32_t groupCount = 0;  // capturing groups, without group 0
};

std::shared_ptr<const Compiled> CompileNew(const std::string& pattern) {
  auto compiled = std::make_shared<Compiled>();
  const std::string translated = ToEngineSyntax(pattern);
  int error = 0;
  PCRE2_SIZE offset = 0;
  compiled->code.reset(pcre2_compile(reinterpret_cast<PCRE2_SPTR>(translated.data()),
                                     translated.size(), kCompileOptions, &error, &offset,
                                     nullptr));
  if (compiled->code)
    pcre2_pattern_info(compiled->code.get(), PCRE2_INFO_CAPTURECOUNT, &compiled->groupCount);
  return compiled;
}

class PatternCache {
 public:
  std::shared_ptr<const Compiled> Get(const std::string& pattern) {
    {
      std::shared_lock lock(mutex_);
      const auto it = patterns_.find(pattern);
      if (it != patterns_.end()) return it->second;
    }
    // Compiled outside the lock; a thread that lost the race uses the
    // winner's copy.
    auto compiled = CompileNew(pattern);
    std::unique_lock lock(mutex_);
    const auto it = patterns_.find(pattern);
    if (it != patterns_.end()) return it->second;
    if (patterns_.size() < kMaxCachedPatterns) patterns_.emplace(pattern, compiled);
    return compiled;
  }

 private:
  std::shared_mutex mutex_;
  std::unordered_map<std::string, std::shared_ptr<const Compiled>> patterns_;
};

PatternCache& Cache() {
  static PatternCache cache;
  return cache;
}

// A thread's own slots in front of the shared cache: most callers pass the
// same few pattern strings again and again, so a slot found by the string's
// address and confirmed by its text skips the shared lock and the hashing.
constexpr std::size_t kThreadSlots = 64;

struct ThreadSlot {
  const std::string* address = nullptr;
  std::string pattern;
  std::shared_ptr<const Compiled> compiled;
};

const Compiled& Lookup(const std::string& pattern) {
  thread_local std::array<ThreadSlot, kThreadSlots> slots;
  const auto key = reinterpret_cast<std::uintptr_t>(&pattern);
  ThreadSlot& slot = slots[(key >> 4) % kThreadSlots];
  if (slot.address != &pattern || !slot.compiled || slot.pattern != pattern) {
    slot.compiled = Cache().Get(pattern);
    slot.pattern = pattern;
    slot.address = &pattern;
  }
  return *slot.compiled;
}

pcre2_match_context* Limits() {
  thread_local const std::unique_ptr<pcre2_match_context, MatchContextDeleter> context = [] {
    std::unique_ptr<pcre2_match_context, MatchContextDeleter> c(
        pcre2_match_context_create(nullptr));
    if (c) {
      pcre2_set_match_limit(c.get(), kMatchLimit);
      pcre2_set_depth_limit(c.get(), kDepthLimit);
      pcre2_set_heap_limit(c.get(), kHeapLimitKib);
    }
    return c;
  }();
  return context.get();
}

// One match block per thread, grown to the pattern with the most groups.
std::unique_ptr<pcre2_match_data, MatchDataDeleter>& ThreadMatchData() {
  thread_local std::unique_ptr<pcre2_match_data, MatchDataDeleter> data;
  return data;
}

// Searches the subject; on a match, fills the groups when asked. False for
// no match, a limit reached, a subject that is not UTF-8 or a pattern that
// did not compile.
bool Search(const Compiled& compiled, std::string_view subject,
            std::vector<std::optional<std::string>>* groups) {
  if (!compiled.code) return false;
  pcre2_match_context* limits = Limits();
  auto& data = ThreadMatchData();
  if (!data || pcre2_get_ovector_count(data.get()) < compiled.groupCount + 1)
    data.reset(pcre2_match_data_create(compiled.groupCount + 1, nullptr));
  if (limits == nullptr || !data) return false;
  const int rc = pcre2_match(compiled.code.get(), reinterpret_cast<PCRE2_SPTR>(subject.data()),
                             subject.size(), 0, 0, data.get(), limits);
  if (rc > 0 && groups != nullptr) {
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(data.get());
    groups->clear();
    groups->reserve(compiled.groupCount + 1);
    for (uint32_t i = 0; i <= compiled.groupCount; ++i) {
      const PCRE2_SIZE begin = ovector[2 * i];
      const PCRE2_SIZE end = ovector[2 * i + 1];
      if (begin == PCRE2_UNSET || end < begin)
        groups->emplace_back(std::nullopt);
      else
        groups->emplace_back(subject.substr(begin, end - begin));
    }
  }
  if (subject.size() > kLongSubject) data.reset();
  return rc > 0;
}

}  // namespace

std::string RegexQuery::Group(std::size_t k) const {
  if (!matched || !GroupMatched(k)) return {};
  return *groups[k];
}

bool RegexSearch(const std::string& pattern, RegexQuery& query) {
  std::vector<std::optional<std::string>> groups;
  if (!Search(Lookup(pattern), query.subject, &groups)) return false;
  query.groups = std::move(groups);
  query.matched = true;
  return true;
}

bool RegexTest(const std::string& subject, const std::string& pattern) {
  return Search(Lookup(pattern), subject, nullptr);
}

}  // namespace NsOvrin
