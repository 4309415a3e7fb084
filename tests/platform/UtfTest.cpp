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

// Validation takes ASCII a word at a time: a sequence anywhere among ASCII
// bytes, across a word's edge or at the very end, is judged as the decoder
// judges it.
TEST(Utf, ValidityDoesNotDependOnWhereASequenceStands) {
  const char* const sequences[] = {"页",         "\xF0\x9F\x98\x80", "\xC3\xA9", "\xC0\xAF", "\xED\xA0\x80",
                                   "\xE9\xA1",   "\x80",             "\xFF",     "\xE9",     "\xF4\x90\x80\x80"};
  for (const char* sequence : sequences) {
    for (std::size_t before = 0; before < 18; ++before) {
      for (std::size_t after = 0; after < 10; ++after) {
        const std::string text = std::string(before, 'a') + sequence + std::string(after, 'b');
        SCOPED_TRACE(::testing::Message() << before << " " << after << " " << sequence);
        EXPECT_EQ(IsValidUtf8(text), !Utf8ToWide(text).empty());
      }
    }
  }
  EXPECT_TRUE(IsValidUtf8(std::string(1000, 'x')));
  EXPECT_TRUE(IsValidUtf8(""));
}

// Each byte outside a valid sequence gives one replacement; the valid text
// around it stays as it was.
TEST(Utf, ReplacesEachInvalidByteAndKeepsTheRest) {
  const struct {
    const char* name;
    std::string text;
    std::string replaced;
  } cases[] = {
      {"valid text unchanged", "温度过高 ok", "温度过高 ok"},
      {"empty", "", ""},
      {"lone continuation byte", "a\x80" "b", "a?b"},
      {"sequence cut by ascii", "\xE6\xB8" "a", "??a"},
      {"sequence cut at the end", "温\xE5\xBA", "温??"},
      {"overlong form", "\xC0\xAF", "??"},
      {"surrogate", "\xED\xA0\x80", "???"},
      {"above U+10FFFF", "\xF4\x90\x80\x80", "????"},
      {"never a lead byte", "\xFF\xFE", "??"},
      {"valid after invalid", "\xE6\xB8\xE6\xB8\xA9", "??温"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(ReplaceInvalidUtf8(c.text, "?"), c.replaced);
    const std::string withFffd = ReplaceInvalidUtf8(c.text, "\xEF\xBF\xBD");
    EXPECT_TRUE(IsValidUtf8(withFffd));
  }
}
