#include "platform/Utf.h"

#include <gtest/gtest.h>

using namespace NsOvrin::NsPlatform;

TEST(Utf, CountsUtf16UnitsNotBytes) {
  EXPECT_EQ(Utf16Length("abc"), 3u);
  EXPECT_EQ(Utf16Length("页面"), 2u);
  EXPECT_EQ(Utf16Length("\xF0\x9F\x98\x80"), 2u);  // one code point outside the BMP
  EXPECT_EQ(Utf16Length("\xE9\xA1"), 0u);           // truncated
}

TEST(Utf, MalformedInputConvertsToEmpty) {
  for (const char* bad : {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "a\x80", "\xE9"}) {
    EXPECT_FALSE(IsValidUtf8(bad)) << bad;
    EXPECT_TRUE(Utf8ToWide(bad).empty());
    EXPECT_TRUE(Utf8ToUtf16(bad).empty());
  }
}

TEST(Utf, RoundTrips) {
  const std::string s = "PLC1.页面\xF0\x9F\x98\x80";
  EXPECT_EQ(WideToUtf8(Utf8ToWide(s)), s);
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(s)), s);
  EXPECT_EQ(Utf8ToUtf16(s).size(), Utf16Length(s));
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}
