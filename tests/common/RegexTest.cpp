#include "common/Regex.h"

#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "platform/Utf.h"

using namespace NsOvrin;

namespace {

// The patterns the program searches with, as its callers spell them.
const char* const kSplitAddress = R"(^\s*(.+?)\.(.+?)\s*$)";
const char* const kLetterRange = R"(^\S*([xXyYsSmMdDrR])\[(\d+)~(\d+)\]\s*$)";
const char* const kLetterSingle = R"(^\s*([xXyYsSmMdDrR])(\d+)\s*$)";
const char* const kModbusRange = R"(^\S*([0134][xX])\[(\d+)~(\d+)\]\s*$)";
const char* const kModbusSingle = R"(^\s*([0134][xX])(\d+)\s*$)";
const char* const kSerialParams =
    R"(^\s*com:(\d+)\s*;\s*param\s*:\s*((4800|9600|19200|38400|115200)\s*,\s*[neomsNEOMS]\s*,\s*[5-8]\s*,\s*[12])\s*;(\s*ctrl\s*:\s*(.*?)?\s*;)?)";
const char* const kSerialLine =
    R"((4800|9600|19200|38400|115200)\s*,\s*([neomsNEOMS])\s*,\s*([5-8])\s*,\s*([12]))";
const char* const kIntLiteral = R"(^([\+\-])?(\d+)$)";
const char* const kPopup = R"(^\s*弹出画面\s+["“]([^"”]+)["”]\s*$)";
const char* const kJump = R"(^\s*页面跳到\s+["“]([^"”]+)["”]\s*$)";
const char* const kToast = R"(^\s*短消息\s+["“]([^"”]+)["”]\s*$)";
const char* const kTrim = R"(^\s*([\s\S]*?)\s*$)";
const char* const kDigits = "^[0-9]+$";
const char* const kSigned = "^[+-]?[0-9]+$";
const char* const kDecimal = "^[+-]?[0-9]+(\\.[0-9]+)?$";

// Groups of a search as one comparable value; nullopt without a match.
using Groups = std::optional<std::vector<std::optional<std::string>>>;

Groups Search(const std::string& pattern, const std::string& subject) {
  RegexQuery q;
  q.subject = subject;
  if (!RegexSearch(pattern, q)) return std::nullopt;
  return q.groups;
}

}  // namespace

TEST(Regex, SearchKeepsGroupsAndUnmatchedGroupsAreEmpty) {
  RegexQuery q;
  q.subject = "  PLC1.D100.5 ";
  ASSERT_TRUE(RegexSearch(kSplitAddress, q));
  EXPECT_TRUE(q.matched);
  EXPECT_EQ(q.Group(0), "  PLC1.D100.5 ");
  EXPECT_EQ(q.Group(1), "PLC1");
  EXPECT_EQ(q.Group(2), "D100.5");
  EXPECT_EQ(q.Group(7), "");

  RegexQuery opt;
  opt.subject = "ab";
  ASSERT_TRUE(RegexSearch("(a)(x)?(b)", opt));
  ASSERT_EQ(opt.groups.size(), 4u);
  EXPECT_FALSE(opt.GroupMatched(2));
  EXPECT_EQ(opt.Group(2), "");
  EXPECT_EQ(opt.Group(3), "b");
}

TEST(Regex, FailedSearchLeavesQueryUnchanged) {
  RegexQuery q;
  q.subject = "abc";
  ASSERT_TRUE(RegexSearch("(b)", q));
  EXPECT_FALSE(RegexSearch("(z)", q));
  EXPECT_EQ(q.Group(1), "b");
  EXPECT_FALSE(RegexSearch("([", q));  // does not compile
  EXPECT_EQ(q.Group(1), "b");
  // Not UTF-8: no match rather than a guess at the characters.
  q.subject = "a\xff" "b";
  EXPECT_FALSE(RegexSearch("(b)", q));
  EXPECT_EQ(q.Group(1), "b");
  EXPECT_TRUE(q.matched);
}

TEST(Regex, WideCharacterClasses) {
  EXPECT_TRUE(RegexTest("页面1", "^[\u4e00-\u9fbb0-9]+$"));
  EXPECT_FALSE(RegexTest("页面 1", "^[\u4e00-\u9fbb0-9]+$"));
  EXPECT_FALSE(RegexTest("x", "(("));
  EXPECT_EQ(RegexQuery{}.Group(0), "");
}

// What each class, escape and anchor means, with the characters where
// engines differ: full-width and Chinese ones, other Unicode white space and
// line terminators.
TEST(Regex, EcmaScriptMeaningOfClassesAndAnchors) {
  const struct {
    const char* pattern;
    const char* subject;
    bool matches;
  } cases[] = {
      // \d and [0-9] are ASCII digits; full-width and Arabic-Indic are not.
      {R"(^\d$)", "7", true},
      {R"(^\d$)", "７", false},
      {R"(^\d$)", "٣", false},
      {R"(^\D$)", "７", true},
      {"^[0-9]+$", "１２", false},
      // \w is ASCII letters, digits and "_"; a Chinese character is not.
      {R"(^\w+$)", "a_Z9", true},
      {R"(^\w$)", "中", false},
      {R"(^\w$)", "ａ", false},
      {R"(^\W$)", "中", true},
      {R"(\bD)", "中D", true},
      {R"(a\b)", "a中", true},
      // \s is ASCII white space: tab, line feed, vertical tab, form feed,
      // carriage return and blank; not the ideographic or no-break space.
      {R"(^\s{6}$)", "\t\n\v\f\r ", true},
      {R"(^\s$)", "\u3000", false},
      {R"(^\s$)", "\u00a0", false},
      {R"(^\s$)", "\u2028", false},
      {R"(^\S$)", "\u3000", true},
      {R"(^[\s]$)", "\v", true},
      // \v is the vertical tab, not a class of line breaks.
      {R"(^\v$)", "\v", true},
      {R"(^\v$)", "\n", false},
      {R"(^[\v]$)", "\n", false},
      // "." stops at line feed, carriage return and the two Unicode line
      // terminators, and takes any other character, Chinese included.
      {R"(^.$)", "中", true},
      {R"(^.$)", "\u3000", true},
      {R"(^.$)", "\v", true},
      {R"(^.$)", "\n", false},
      {R"(^.$)", "\r", false},
      {R"(^.$)", "\u2028", false},
      {R"(^.$)", "\u2029", false},
      {R"(^[.]$)", ".", true},
      {R"(^[.]$)", "a", false},
      {R"(^\.$)", "a", false},
      // "$" only at the very end, "^" only at the start.
      {R"(^a$)", "a\n", false},
      {R"(^a$)", "\na", false},
      {R"(a$)", "ba", true},
      // Classes with Chinese and full-width members, ranges and escapes.
      {"^[\u201c\"]x[\u201d\"]$", "\u201cx\u201d", true},
      {"^[^\"\u201d]+$", "a\u201db", false},
      {"^[\u4e00-\u9fbb]+$", "页面", true},
      {"^[\u4e00-\u9fbb]+$", "\u9fbc", false},
      {R"(^[\u4e00-\u9fbb]$)", "中", true},
      {R"(^\u4e2d$)", "中", true},
      {R"(^\x41$)", "A", true},
      {"^[＂]$", "\"", false},
      // Alternation, lazy and greedy groups, empty classes.
      {"^(4800|9600)$", "9600", true},
      {"^(4800|9600)$", "96000", false},
      {"^a[]", "a", false},
      {"^a[^]$", "a\n", true},
      {"[]]", "]", false},
      // A reference to a group that did not take part matches nothing.
      {R"(^(a)?\1b$)", "b", true},
      {R"(^(a)\1$)", "aa", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " / " + c.subject);
    EXPECT_EQ(RegexTest(c.subject, c.pattern), c.matches);
  }
}

// Each of the program's patterns on texts that show its meaning: groups as
// the callers read them, Chinese and full-width characters included.
TEST(Regex, ProgramPatternsKeepTheirMeaning) {
  using G = std::vector<std::optional<std::string>>;
  const std::nullopt_t none = std::nullopt;
  const struct {
    const char* pattern;
    std::string subject;
    Groups groups;
  } cases[] = {
      {kSplitAddress, "  PLC1.D100.5 ", G{"  PLC1.D100.5 ", "PLC1", "D100.5"}},
      {kSplitAddress, "设备1.D[0~9]\t", G{"设备1.D[0~9]\t", "设备1", "D[0~9]"}},
      {kSplitAddress, "站\u30002.X1\u3000", G{"站\u30002.X1\u3000", "站\u30002", "X1\u3000"}},
      {kSplitAddress, " .x", G{" .x", " ", "x"}},
      {kSplitAddress, "a. ", G{"a. ", "a", " "}},
      {kSplitAddress, "a.b\n", G{"a.b\n", "a", "b"}},
      {kSplitAddress, "a.\nb", none},
      {kSplitAddress, "a.b\nc", none},
      {kSplitAddress, "a\u2028.b", none},
      {kSplitAddress, "PLC1。D100", none},
      {kLetterRange, "PLC1.D[0~9] ", G{"PLC1.D[0~9] ", "D", "0", "9"}},
      {kLetterRange, "设备x[10~17]", G{"设备x[10~17]", "x", "10", "17"}},
      {kLetterRange, " D[0~9]", none},
      {kLetterRange, "D[０~9]", none},
      {kLetterRange, "Ｄ[0~9]", none},
      {kLetterSingle, " \tm7\n", G{" \tm7\n", "m", "7"}},
      {kLetterSingle, "D１", none},
      {kLetterSingle, "\u3000D1", none},
      {kModbusRange, "4x[00000~00009]", G{"4x[00000~00009]", "4x", "00000", "00009"}},
      {kModbusRange, "４x[0~9]", none},
      {kModbusSingle, " 0X5 ", G{" 0X5 ", "0X", "5"}},
      {kModbusSingle, "2x5", none},
      {kSerialParams, "com:3;param:9600,n,8,1;",
       G{"com:3;param:9600,n,8,1;", "3", "9600,n,8,1", "9600", none, none}},
      {kSerialParams, " com:12 ; param : 115200 , E , 7 , 2 ; ctrl : rts ;tail",
       G{" com:12 ; param : 115200 , E , 7 , 2 ; ctrl : rts ;", "12", "115200 , E , 7 , 2",
         "115200", " ctrl : rts ;", "rts"}},
      {kSerialParams, "com:１;param:9600,n,8,1;", none},
      {kSerialParams, "com:1;param:9601,n,8,1;", none},
      {kSerialLine, "x 19200 ,o, 5,2 y", G{"19200 ,o, 5,2", "19200", "o", "5", "2"}},
      {kSerialLine, "19200,x,5,2", none},
      {kIntLiteral, "-05", G{"-05", "-", "05"}},
      {kIntLiteral, "42", G{"42", none, "42"}},
      {kIntLiteral, "+４２", none},
      {kIntLiteral, "4 2", none},
      {kIntLiteral, "42\n", none},
      {kPopup, "  弹出画面\t\u201c手动 页面\"  ", G{"  弹出画面\t\u201c手动 页面\"  ", "手动 页面"}},
      {kPopup, "弹出画面\u3000\"a\"", none},
      {kJump, "页面跳到 \"页面1\u201d", G{"页面跳到 \"页面1\u201d", "页面1"}},
      {kJump, "页面跳到 \u201d页面1\u201d", none},
      {kJump, "页面跳到 ＂页面1＂", none},
      {kJump, "页面跳到 \"a\u201db\"", none},
      {kToast, "短消息 \"\u201c引号\u201c\"", G{"短消息 \"\u201c引号\u201c\"", "\u201c引号\u201c"}},
      {kToast, "短消息 \"\"", none},
      {kTrim, " \t页 面\n ", G{" \t页 面\n ", "页 面"}},
      {kTrim, "\u3000a\u3000", G{"\u3000a\u3000", "\u3000a\u3000"}},
      {kTrim, "", G{"", ""}},
      {kDigits, "0123", G{"0123"}},
      {kDigits, "１", none},
      {kSigned, "-12", G{"-12"}},
      {kSigned, "|12", none},
      {kDecimal, "+1.50", G{"+1.50", ".50"}},
      {kDecimal, "1", G{"1", none}},
      {kDecimal, "1.", none},
      {kDecimal, "1．5", none},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " / " + c.subject);
    EXPECT_EQ(Search(c.pattern, c.subject), c.groups);
  }
}

// The program's patterns give what the standard library's ECMAScript engine
// gives, on many short texts: texts each pattern takes, changed at random
// by a few characters that matter to the patterns. (The standard engine
// recurses per character, so it is only a reference for short texts.)
TEST(Regex, SameResultsAsTheStandardEcmaScriptEngine) {
  const std::vector<std::u32string> pieces = {
      U" ", U"\t", U"\n", U"\r", U"\v", U"\u3000", U"\u00a0", U"\u2028", U".", U"。",
      U"a", U"中", U"D", U"x", U"4", U"0", U"7", U"１", U"[", U"]", U"~", U"+", U"-",
      U"\"", U"\u201c", U"\u201d", U"＂", U";", U":", U",", U"n", U"8", U"1", U""};
  const struct {
    const char* pattern;
    std::u32string sample;
  } cases[] = {
      {kSplitAddress, U" PLC1.D1.5 "},   {kLetterRange, U"P.D[0~9] "},
      {kLetterSingle, U" m7 "},          {kModbusRange, U"a4x[0~9]"},
      {kModbusSingle, U" 0X5 "},         {kSerialParams, U"com:3;param:9600,n,8,1;ctrl:x;"},
      {kSerialLine, U"19200,o,5,2"},     {kIntLiteral, U"-05"},
      {kPopup, U" 弹出画面 \u201c页 1\" "}, {kJump, U"页面跳到 \"页1\u201d"},
      {kToast, U"短消息 \"a b\""},       {kTrim, U" \t页 面\n "},
      {kDigits, U"0123"},                {kSigned, U"-12"},
      {kDecimal, U"+1.50"},
  };
  std::mt19937 random(14);
  auto below = [&random](std::size_t n) {
    return std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
  };
  for (const auto& c : cases) {
    const std::wregex reference(NsPlatform::Utf8ToWide(c.pattern), std::regex::ECMAScript);
    int matches = 0;
    int refusals = 0;
    for (int round = 0; round < 3000; ++round) {
      std::u32string text = c.sample;
      for (std::size_t n = below(4); n > 0; --n) {
        const std::size_t at = below(text.size() + 1);
        const std::u32string& piece = pieces[below(pieces.size())];
        if (at < text.size() && below(2) == 0)
          text.replace(at, 1, piece);
        else
          text.insert(at, piece);
      }
      std::string subject;
      for (char32_t cp : text) NsPlatform::AppendUtf8(subject, cp);
      const std::wstring wide = NsPlatform::Utf8ToWide(subject);
      std::wsmatch m;
      Groups expected;
      if (std::regex_search(wide, m, reference)) {
        expected.emplace();
        for (std::size_t i = 0; i < m.size(); ++i)
          expected->push_back(m[i].matched ? std::optional(NsPlatform::WideToUtf8(m[i].str()))
                                           : std::nullopt);
        ++matches;
      } else {
        ++refusals;
      }
      ASSERT_EQ(Search(c.pattern, subject), expected) << c.pattern << " / " << subject;
    }
    // The texts reach both outcomes (the trim pattern takes every text).
    EXPECT_GT(matches, 0) << c.pattern;
    if (c.pattern != kTrim) {
      EXPECT_GT(refusals, 0) << c.pattern;
    }
  }
}

// Texts far longer than any the standard engine survives, and texts that
// make a backtracking search take many steps, end without a crash: matched
// when the pattern allows it, otherwise refused.
TEST(Regex, LongTextsEndWithoutCrashOrStall) {
  const std::string longName(40000, 'a');
  const std::string longHan = [] {
    std::string s;
    for (int i = 0; i < 40000; ++i) s += "页";
    return s;
  }();
  const std::string dots(20000, '.');
  const std::string blanks(40000, ' ');
  const struct {
    const char* pattern;
    std::string subject;
    bool matches;
  } cases[] = {
      {kSplitAddress, "PLC1." + longName, true},
      {kSplitAddress, longName + ".D1", true},
      {kSplitAddress, "PLC1" + dots + "\n", true},
      {kSplitAddress, longName, false},
      {kLetterRange, longName + "D[0~9]", true},
      {kLetterRange, "D[" + std::string(40000, '1') + "~1]", true},
      {kLetterSingle, blanks + "D1" + blanks, true},
      {kLetterSingle, "D" + longName, false},
      {kModbusRange, longHan + "4x[0~1]", true},
      {kIntLiteral, std::string(40000, '9'), true},
      {kIntLiteral, std::string(40000, '9') + "x", false},
      {kToast, "短消息 \"" + longHan + "\"", true},
      {kToast, "短消息 \"" + longHan, false},
      {kJump, "页面跳到 " + blanks + "\"" + longName + "\"" + blanks, true},
      {kTrim, blanks + longHan + blanks, true},
      {kSerialParams, "com:1;param:9600,n,8,1;ctrl:" + longName + ";", true},
      {kSerialLine, longName + "9600,n,8,1", true},
      {kDecimal, "1." + std::string(40000, '5'), true},
      {kDigits, std::string(40000, '5') + "a", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.pattern) + " / " + std::to_string(c.subject.size()) + " bytes");
    EXPECT_EQ(RegexTest(c.subject, c.pattern), c.matches);
  }
  // The quadratic case: many dots and then a line break before more text.
  EXPECT_FALSE(RegexTest("PLC1" + dots + "\nx", kSplitAddress));
  EXPECT_FALSE(RegexTest(dots + "\n.", kSplitAddress));
  // Groups of a long match are whole.
  RegexQuery q;
  q.subject = " 短消息 \"" + longHan + "\" ";
  ASSERT_TRUE(RegexSearch(kToast, q));
  EXPECT_EQ(q.Group(1), longHan);
}

// Exponential backtracking reaches the step bound and counts as no match.
TEST(Regex, SearchThatReachesItsBoundIsNoMatch) {
  const std::string subject = std::string(40, 'a') + "!";
  EXPECT_FALSE(RegexTest(subject, "^(a|a)*$"));
  EXPECT_FALSE(RegexTest(subject, "^(a+)+$"));
  // The same pattern still matches where it can.
  EXPECT_TRUE(RegexTest(std::string(40, 'a'), "^(a+)+$"));
}

// A pattern string that is changed in place between searches is searched
// with its new text, and equal texts in different strings agree.
TEST(Regex, PatternChangedInPlaceIsSearchedAsItReadsNow) {
  std::string pattern = kModbusSingle;
  EXPECT_TRUE(RegexTest("4x10", pattern));
  EXPECT_FALSE(RegexTest("D10", pattern));
  pattern = kLetterSingle;
  EXPECT_FALSE(RegexTest("4x10", pattern));
  EXPECT_TRUE(RegexTest("D10", pattern));
  const std::string copy = pattern;
  EXPECT_EQ(Search(copy, " D7 "), Search(pattern, " D7 "));
  pattern = "(";  // does not compile: matches nothing
  EXPECT_FALSE(RegexTest("(", pattern));
  pattern = kLetterSingle;
  EXPECT_TRUE(RegexTest("D10", pattern));
}

// Threads share the compiled patterns: many threads search at once, each
// with its own subjects and its own groups.
TEST(Regex, ConcurrentSearchesGiveEachThreadItsOwnGroups) {
  std::atomic<int> wrong{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([t, &wrong] {
      for (int i = 0; i < 300; ++i) {
        RegexQuery q;
        const std::string node = "站" + std::to_string(t);
        const std::string address = "D" + std::to_string(i);
        q.subject = " " + node + "." + address + " ";
        // A pattern per round as well, so that the cache grows while read.
        const std::string own = "^(" + std::to_string(i % 50) + ")?";
        if (!RegexSearch(kSplitAddress, q) || q.Group(1) != node || q.Group(2) != address ||
            !RegexTest(std::to_string(i % 50), own))
          ++wrong;
      }
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(wrong.load(), 0);
}
