#include "QlDev/DeviceAddress.h"
#include "QlDev/OctalAddress.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/Regex.h"

using namespace NsOvrin::NsTermination;

TEST(DeviceAddress, Split) {
  const struct {
    const char* text;
    bool ok;
    const char* node;
    const char* address;
  } cases[] = {
      {"PLC1.D100", true, "PLC1", "D100"},
      {" PLC1.D100.5 ", true, "PLC1", "D100.5"},
      {"a.b.c", true, "a", "b.c"},
      {"\tn.4x1  ", true, "n", "4x1"},
      {"设备1.D[0~9]", true, "设备1", "D[0~9]"},
      {"D100", false, "", ""},
      {".D100", false, "", ""},
      {"PLC1.", false, "", ""},
      {"", false, "", ""},
  };
  for (const auto& c : cases) {
    std::string node = "untouched";
    std::string address = "untouched";
    EXPECT_EQ(SplitDeviceAddress(c.text, node, address), c.ok) << c.text;
    EXPECT_EQ(node, c.ok ? c.node : "untouched") << c.text;
    EXPECT_EQ(address, c.ok ? c.address : "untouched") << c.text;
  }
}

// The split gives what a search with its pattern gives, on every text of up
// to six characters from blanks, line ends, dots, letters and Chinese.
TEST(DeviceAddress, SplitAgreesWithItsPatternOnEveryShortText) {
  const std::vector<std::string> chars = {" ", "\n", "\r", ".", "a", "\u2028", "中"};
  std::vector<std::string> texts = {""};
  std::size_t from = 0;
  for (int length = 1; length <= 6; ++length) {
    const std::size_t to = texts.size();
    for (std::size_t i = from; i < to; ++i)
      for (const std::string& c : chars) texts.push_back(texts[i] + c);
    from = to;
  }
  std::size_t splits = 0;
  for (const std::string& text : texts) {
    NsOvrin::RegexQuery query;
    query.subject = text;
    const bool expected = NsOvrin::RegexSearch(R"(^\s*(.+?)\.(.+?)\s*$)", query);
    std::string node = "untouched";
    std::string address = "untouched";
    ASSERT_EQ(SplitDeviceAddress(text, node, address), expected) << text;
    ASSERT_EQ(node, expected ? query.Group(1) : "untouched") << text;
    ASSERT_EQ(address, expected ? query.Group(2) : "untouched") << text;
    splits += expected;
  }
  EXPECT_GT(splits, 1000u);
}

// Long node names and addresses, and many dots before a line break, split
// in one pass; a text that is not UTF-8 does not split.
TEST(DeviceAddress, SplitLongTexts) {
  const std::string longName(40000, 'a');
  const std::string dots(20000, '.');
  const struct {
    std::string text;
    bool ok;
    std::string node, address;
  } cases[] = {
      {"PLC1." + longName, true, "PLC1", longName},
      {" " + longName + ".D1\t", true, longName, "D1"},
      {"PLC1" + dots + "\n", true, "PLC1", dots.substr(1)},
      {"PLC1" + dots + "\nx", false, "", ""},
      {dots + "\n" + dots, false, "", ""},
      {" " + dots + "\n", true, ".", dots.substr(2)},
      {" ." + longName + ".", true, " ", longName + "."},
      {longName, false, "", ""},
      {"PLC1.D\xff", false, "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    std::string node = "untouched";
    std::string address = "untouched";
    EXPECT_EQ(SplitDeviceAddress(c.text, node, address), c.ok);
    EXPECT_EQ(node, c.ok ? c.node : "untouched");
    EXPECT_EQ(address, c.ok ? c.address : "untouched");
  }
}

TEST(DeviceAddress, Join) {
  EXPECT_EQ(JoinDeviceAddress("PLC1", "D100"), "PLC1.D100");
  EXPECT_EQ(JoinDeviceAddress("PLC1", "4x[00000~00009]"), "PLC1.4x[00000~00009]");
  EXPECT_EQ(JoinDeviceAddress("", "D1"), "");
  EXPECT_EQ(JoinDeviceAddress("PLC1", ""), "");
  // Each part ends at a NUL.
  EXPECT_EQ(JoinDeviceAddress(std::string("PLC1\0x", 6), std::string("D1\0y", 4)), "PLC1.D1");
  EXPECT_EQ(JoinDeviceAddress(std::string("\0x", 2), "D1"), ".D1");
  // A joined address splits back into its parts.
  std::string node, address;
  ASSERT_TRUE(SplitDeviceAddress(JoinDeviceAddress("站 2", "X[10~17]"), node, address));
  EXPECT_EQ(node, "站 2");
  EXPECT_EQ(address, "X[10~17]");
}

TEST(DeviceAddress, MatchRangeForm) {
  const std::string pattern = R"(^\S*([0134][xX])\[(\d+)~(\d+)\]\s*$)";
  const struct {
    const char* text;
    bool ok;
    const char* prefix;
    uint32_t first, last;
  } cases[] = {
      {"4x[00010~00019]", true, "4x", 10, 19},
      {"abc4X[1~2]  ", true, "4X", 1, 2},
      {"0x[5~4]", true, "0x", 5, 4},
      // Numbers saturate instead of wrapping.
      {"4x[4294967296~99999999999]", true, "4x", 4294967295u, 4294967295u},
      {"4x[4294967295~0]", true, "4x", 4294967295u, 0},
      {" 4x[1~2]", false, "", 0, 0},
      {"4x1", false, "", 0, 0},
      {"4x[1-2]", false, "", 0, 0},
  };
  for (const auto& c : cases) {
    std::string prefix = "p";
    uint32_t first = 77, last = 77;
    EXPECT_EQ(MatchRangeForm(c.text, pattern, prefix, first, last), c.ok) << c.text;
    if (!c.ok) {
      EXPECT_EQ(prefix, "p") << c.text;
      continue;
    }
    EXPECT_EQ(prefix, c.prefix) << c.text;
    EXPECT_EQ(first, c.first) << c.text;
    EXPECT_EQ(last, c.last) << c.text;
  }
  // Groups that did not take part give an empty prefix and 0.
  std::string prefix = "p";
  uint32_t first = 7, last = 7;
  ASSERT_TRUE(MatchRangeForm("[5]", R"(^(X)?\[(\d+)\](\d)?$)", prefix, first, last));
  EXPECT_EQ(prefix, "");
  EXPECT_EQ(first, 5u);
  EXPECT_EQ(last, 0u);
}

TEST(DeviceAddress, MatchSingleForm) {
  const std::string twoGroups = R"(^\s*([0134][xX])(\d+)\s*$)";
  const std::string withBit = R"(^\s*([A-Z])(\d+)(\.(\d*))?\s*$)";
  const struct {
    const char* text;
    const std::string* pattern;
    bool ok;
    const char* prefix;
    uint32_t number;
    int32_t bit;
  } cases[] = {
      {"  4X00010 ", &twoGroups, true, "4X", 10, -1},
      {"4x4294967296", &twoGroups, true, "4x", 4294967295u, -1},
      {"2x1", &twoGroups, false, "", 0, 0},
      {"D100.5", &withBit, true, "D", 100, 5},
      {"D100.0", &withBit, true, "D", 100, 0},
      {"D100.", &withBit, true, "D", 100, -1},  // group 4 matched nothing
      {"D100", &withBit, true, "D", 100, -1},
      {"D1.99999999999", &withBit, true, "D", 1, 2147483647},
  };
  for (const auto& c : cases) {
    std::string prefix = "p";
    uint32_t number = 77;
    int32_t bit = 77;
    EXPECT_EQ(MatchSingleForm(c.text, *c.pattern, prefix, number, bit), c.ok) << c.text;
    if (!c.ok) {
      EXPECT_EQ(number, 77u) << c.text;
      continue;
    }
    EXPECT_EQ(prefix, c.prefix) << c.text;
    EXPECT_EQ(number, c.number) << c.text;
    EXPECT_EQ(bit, c.bit) << c.text;
  }
}

TEST(DeviceAddress, FormatAddressText) {
  const struct {
    const char* prefix;
    uint32_t start;
    uint16_t count;
    LastAddressFn last;
    const char* expected;
  } cases[] = {
      {"M", 5, 1, nullptr, "M5"},
      {"D", 0, 10, nullptr, "D[0~9]"},
      {"X", 10, 8, OctalLastAddress, "X[10~17]"},
      {"X", 10, 8, nullptr, "X[10~17]"},
      {"X", 0, 256, OctalLastAddress, "X[0~377]"},
      {"X", 17, 1, OctalLastAddress, "X17"},
      {"D", 0, 0, nullptr, ""},
      {"", 5, 1, nullptr, ""},
      // The last number is not cut to 32 bits.
      {"D", 4294967295u, 2, nullptr, "D[4294967295~4294967296]"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FormatAddressText(c.prefix, c.start, c.count, c.last), c.expected) << c.expected;
}
