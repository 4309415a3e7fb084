#include "common/Regex.h"

#include <gtest/gtest.h>

using namespace NsOvrin;

TEST(Regex, SearchKeepsGroupsAndUnmatchedGroupsAreEmpty) {
  RegexQuery q;
  q.subject = "  PLC1.D100.5 ";
  ASSERT_TRUE(RegexSearch(R"(^\s*(.+?)\.(.+?)\s*$)", q));
  EXPECT_EQ(q.Group(1), "PLC1");
  EXPECT_EQ(q.Group(2), "D100.5");
  EXPECT_EQ(q.Group(7), "");

  RegexQuery opt;
  opt.subject = "ab";
  ASSERT_TRUE(RegexSearch("(a)(x)?(b)", opt));
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
}

TEST(Regex, WideCharacterClasses) {
  EXPECT_TRUE(RegexTest("页面1", "^[\u4e00-\u9fbb0-9]+$"));
  EXPECT_FALSE(RegexTest("页面 1", "^[\u4e00-\u9fbb0-9]+$"));
  EXPECT_FALSE(RegexTest("x", "(("));
  EXPECT_EQ(RegexQuery{}.Group(0), "");
}
