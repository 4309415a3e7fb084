#include <gtest/gtest.h>

#include <string>

#include "common/FileNameCleanup.h"

namespace NsOvrin {
namespace {

std::string Repeat(const std::string& piece, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += piece;
  return text;
}

TEST(FileNameCleanup, FlagsWhatWouldBeChanged) {
  const std::pair<std::string, uint32_t> cases[] = {
      {"页面1", 0},
      {"Main page.ovpg", 0},
      {"a#b&c(1)", 0},
      {"..", 0},
      {"a?b", PCS_REPLACEDCHAR},
      {"a*b", PCS_REPLACEDCHAR},
      {"a:b", PCS_REPLACEDCHAR},
      {"a/b", PCS_REPLACEDCHAR},
      {"a\\b", PCS_REPLACEDCHAR},
      {"a|b", PCS_REPLACEDCHAR},
      {"a<b>", PCS_REPLACEDCHAR},
      {"a\"b", PCS_REPLACEDCHAR},
      {"a\tb", PCS_REMOVEDCHAR},
      {std::string("a\0b", 3), PCS_REMOVEDCHAR},
      {"a\x1f?", PCS_REMOVEDCHAR | PCS_REPLACEDCHAR},
      {Repeat("a", 255), 0},
      {Repeat("a", 256), PCS_PATHTOOLONG},
      // 85 CJK characters are 85 UTF-16 units but 255 bytes; one more is too
      // long for a file name here.
      {Repeat("页", 85), 0},
      {Repeat("页", 86), PCS_PATHTOOLONG},
      {"", PCS_FATAL},
      {"\xff\xfe", PCS_FATAL},
  };
  for (const auto& [name, flags] : cases) {
    EXPECT_EQ(FileNameCleanupFlags(name), flags) << name;
  }
}

}  // namespace
}  // namespace NsOvrin
