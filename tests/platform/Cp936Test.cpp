#include "platform/Cp936.h"

#include <gtest/gtest.h>

#include <string>

using namespace NsOvrin::NsPlatform;

namespace {

struct Case {
  std::string utf8;
  std::string acp;
};

}  // namespace

TEST(Cp936, ConvertsBothWays) {
  const Case cases[] = {
      {"abc", "abc"},
      {"中文", "\xD6\xD0\xCE\xC4"},
      {"页面1", "\xD2\xB3\xC3\xE6" "1"},
      {"\xE2\x82\xAC", "\x80"},  // the euro sign is CP936's single byte 0x80
      {std::string("a\0b", 3), std::string("a\0b", 3)},
      {"", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToAcp(c.utf8), c.acp) << c.utf8;
    EXPECT_EQ(AcpToUtf8(c.acp), c.utf8) << c.utf8;
  }
}

TEST(Cp936, UnrepresentableCharacterBecomesQuestionMark) {
  EXPECT_EQ(Utf8ToAcp("a\xF0\x9F\x98\x80" "b"), "a?b");         // outside the BMP
  EXPECT_EQ(Utf8ToAcp("\xE0\xB8\x81中"), "?\xD6\xD0");          // Thai letter, then a Chinese one
  EXPECT_EQ(Utf8ToAcp("\xE0\xB8\x81\xE0\xB8\x81"), "??");
}

TEST(Cp936, MalformedUtf8GivesEmpty) {
  for (const char* bad : {"a\x80", "\xC0\xAF", "\xE4\xB8"}) EXPECT_EQ(Utf8ToAcp(bad), "") << bad;
}

TEST(Cp936, UndecodableByteBecomesReplacementCharacter) {
  const std::string fffd = "\xEF\xBF\xBD";
  const Case cases[] = {
      {"a" + fffd, "a\xD6"},               // lead byte cut off at the end
      {fffd + " x", "\x81\x20x"},           // a trail byte that cannot follow
      {fffd + "中", "\xFF\xD6\xD0"},        // never a lead byte
  };
  for (const Case& c : cases) EXPECT_EQ(AcpToUtf8(c.acp), c.utf8);
}
