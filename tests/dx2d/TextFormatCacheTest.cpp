#include "dx2d/TextFormatCache.h"

#include <gtest/gtest.h>

#include "dx2d/RecordingDWriteFactory.h"

using namespace NsOvrin::NsDx2d;

namespace {

class TextFormatCacheTest : public ::testing::Test {
 protected:
  TextFormatCacheTest() { cache.SetFactory(&factory); }

  // Requests the sizes in order; true when none of them made a new format.
  bool AllCached(std::initializer_list<int32_t> sizes) {
    const int before = factory.formatsCreated;
    for (int32_t size : sizes) cache.GetFormat(size);
    return factory.formatsCreated == before;
  }

  RecordingDWriteFactory factory;
  TextFormatCache cache;
};

}  // namespace

TEST(TextFormatCacheNoFactory, MakesNothing) {
  TextFormatCache cache;
  EXPECT_EQ(cache.GetFormat(120), nullptr);
  EXPECT_EQ(cache.CreateFormat(120), nullptr);
  EXPECT_EQ(cache.Count(), 0u);
}

TEST_F(TextFormatCacheTest, FormatIsTheFaceAtTheSizeInDips) {
  TextFormat* format = cache.GetFormat(120);
  ASSERT_NE(format, nullptr);
  EXPECT_EQ(format->GetFontFamilyName(), "微软雅黑");
  EXPECT_FLOAT_EQ(format->GetFontSize(), 16.0f);  // 12 pt
  EXPECT_EQ(format->GetFontWeight(), FontWeight::Normal);
  EXPECT_EQ(format->GetFontStyle(), FontStyle::Normal);
  EXPECT_EQ(format->GetFontStretch(), FontStretch::Normal);
  EXPECT_EQ(format->GetLocaleName(), "zh-cn");
  EXPECT_EQ(cache.GetFormat(120), format);
  EXPECT_EQ(factory.formatsCreated, 1);
}

TEST_F(TextFormatCacheTest, SizesBelowFivePointShareTheFivePointFormat) {
  TextFormat* at10 = cache.GetFormat(10);
  ASSERT_NE(at10, nullptr);
  EXPECT_EQ(cache.GetFormat(49), at10);
  EXPECT_EQ(cache.GetFormat(50), at10);
  EXPECT_FLOAT_EQ(at10->GetFontSize(), 50.0f * 96.0f / 720.0f);
  EXPECT_EQ(factory.formatsCreated, 1);
}

TEST_F(TextFormatCacheTest, FiftyDifferentSizesLeaveFortyNineAndDropTheOldest) {
  for (int32_t size = 50; size < 100; ++size) cache.GetFormat(size);
  EXPECT_EQ(factory.formatsCreated, 50);
  EXPECT_EQ(cache.Count(), 49u);
  EXPECT_TRUE(AllCached({99, 51, 75}));
  EXPECT_FALSE(AllCached({50}));
}

TEST_F(TextFormatCacheTest, ARequestMovesTheSizeToTheFront) {
  for (int32_t size = 50; size < 99; ++size) cache.GetFormat(size);
  EXPECT_EQ(cache.Count(), 49u);
  cache.GetFormat(50);  // now the most recently used
  cache.GetFormat(99);  // the fiftieth size evicts the least recently used: 51
  EXPECT_EQ(cache.Count(), 49u);
  EXPECT_TRUE(AllCached({50, 52}));
  EXPECT_FALSE(AllCached({51}));
}

TEST_F(TextFormatCacheTest, FailedCreationCachesNothing) {
  factory.failFormats = true;
  EXPECT_EQ(cache.GetFormat(120), nullptr);
  EXPECT_EQ(cache.Count(), 0u);
  factory.failFormats = false;
  EXPECT_NE(cache.GetFormat(120), nullptr);
  EXPECT_EQ(cache.Count(), 1u);
}

TEST_F(TextFormatCacheTest, CreatingACachedSizeAgainReplacesIt) {
  cache.GetFormat(120);
  TextFormat* again = cache.CreateFormat(120);
  EXPECT_EQ(cache.Count(), 1u);
  EXPECT_EQ(cache.GetFormat(120), again);
  // The size stands once in the recency list: 48 more sizes evict nothing.
  for (int32_t size = 200; size < 248; ++size) cache.GetFormat(size);
  EXPECT_EQ(cache.Count(), 49u);
  EXPECT_TRUE(AllCached({120}));
}

TEST_F(TextFormatCacheTest, ClearReleasesEverything) {
  cache.GetFormat(100);
  cache.GetFormat(120);
  cache.Clear();
  EXPECT_EQ(cache.Count(), 0u);
  EXPECT_FALSE(AllCached({100}));
}
