#include "dx2d/BitmapCache.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include "dx2d/RecordingImagingFactory.h"
#include "dx2d/RecordingRenderTarget.h"

using namespace NsOvrin::NsDx2d;

namespace {

constexpr uint32_t kPlaceholderId = 357;

class BitmapCacheTest : public ::testing::Test {
 protected:
  void SetUp() override {
    imaging = std::make_shared<RecordingImagingFactory>();
    imaging->AddResource(kPlaceholderId, "PNG", RecordingImagingFactory::MakeImage(60, 51));
    imaging->AddFile("pic.png", RecordingImagingFactory::MakeImage(40, 30));
    ImagingFactory::SetInstance(imaging);
    BitmapCache::SetDefaultImageResource(kPlaceholderId, "PNG");
    cache.SetRenderTarget(&target);
  }
  void TearDown() override {
    ImagingFactory::SetInstance(nullptr);
    BitmapCache::SetDefaultImageResource(0, "");
  }

  long FileRequests(const std::string& path) const {
    return std::count(imaging->fileRequests.begin(), imaging->fileRequests.end(), path);
  }

  std::shared_ptr<RecordingImagingFactory> imaging;
  RecordingRenderTarget target;
  BitmapCache cache;
};

}  // namespace

TEST_F(BitmapCacheTest, APictureIsLoadedOnceAndKept) {
  BitmapRef first = cache.GetBitmap("pic.png");
  ASSERT_TRUE(first.IsUsable());
  EXPECT_EQ(first.width, 40u);
  EXPECT_EQ(first.height, 30u);
  BitmapRef second = cache.GetBitmap("pic.png");
  EXPECT_EQ(second.bitmap, first.bitmap);
  EXPECT_EQ(FileRequests("pic.png"), 1);
  EXPECT_EQ(target.bitmapsCreated, 1);
}

TEST_F(BitmapCacheTest, AMissingPictureIsTriedOnceAndShowsThePlaceholder) {
  BitmapRef first = cache.GetBitmap("missing.png");
  BitmapRef second = cache.GetBitmap("missing.png");
  EXPECT_EQ(FileRequests("missing.png"), 1);
  ASSERT_TRUE(first.IsUsable());
  EXPECT_EQ(first.width, 60u);
  EXPECT_EQ(first.height, 51u);
  EXPECT_EQ(second.bitmap, first.bitmap);
  EXPECT_EQ(cache.GetDefaultBitmap().bitmap, first.bitmap);
  EXPECT_EQ(cache.Count(), 1u);
}

TEST_F(BitmapCacheTest, AnEmptyPathIsThePlaceholder) {
  BitmapRef ref = cache.GetBitmap("");
  EXPECT_TRUE(ref.IsUsable());
  EXPECT_EQ(ref.width, 60u);
  EXPECT_TRUE(imaging->fileRequests.empty());
  EXPECT_EQ(cache.Count(), 0u);
}

TEST_F(BitmapCacheTest, PathsAreComparedCaseSensitively) {
  cache.GetBitmap("C:\\a.png");
  cache.GetBitmap("c:\\A.png");
  EXPECT_EQ(cache.Count(), 2u);
  EXPECT_EQ(imaging->fileRequests.size(), 2u);
}

TEST_F(BitmapCacheTest, UnusableDecodesAreRememberedAsFailures) {
  struct Case {
    const char* name;
    DecodedImage image;
  };
  DecodedImage shortPixels = RecordingImagingFactory::MakeImage(4, 4);
  shortPixels.pixels.pop_back();
  const Case cases[] = {
      {"zero width", RecordingImagingFactory::MakeImage(0, 5)},
      {"zero height", RecordingImagingFactory::MakeImage(5, 0)},
      {"pixels short of the size", shortPixels},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    imaging->AddFile(c.name, c.image);
    EXPECT_FALSE(cache.LoadFromFile(c.name).IsUsable());
    EXPECT_EQ(cache.GetBitmap(c.name).width, 60u);
    cache.GetBitmap(c.name);
    EXPECT_EQ(FileRequests(c.name), 2);  // LoadFromFile itself, then one GetBitmap
  }
}

TEST_F(BitmapCacheTest, ATargetThatCannotMakeTheBitmapGivesThePlaceholderLater) {
  target.failBitmaps = true;
  BitmapRef failed = cache.GetBitmap("pic.png");
  EXPECT_FALSE(failed.IsUsable());  // the placeholder cannot be made either
  target.failBitmaps = false;
  BitmapRef later = cache.GetBitmap("pic.png");
  EXPECT_EQ(later.width, 60u);
  EXPECT_EQ(FileRequests("pic.png"), 1);
}

TEST_F(BitmapCacheTest, ThreeHundredPathsLeaveTwoHundredNinetyNineAndDropTheOldest) {
  for (int i = 0; i < 300; ++i) cache.GetBitmap("p" + std::to_string(i));
  EXPECT_EQ(cache.Count(), 299u);
  cache.GetBitmap("p299");
  cache.GetBitmap("p1");
  EXPECT_EQ(FileRequests("p299"), 1);
  EXPECT_EQ(FileRequests("p1"), 1);
  cache.GetBitmap("p0");
  EXPECT_EQ(FileRequests("p0"), 2);
}

TEST_F(BitmapCacheTest, ARequestMovesThePathToTheFront) {
  for (int i = 0; i < 299; ++i) cache.GetBitmap("p" + std::to_string(i));
  EXPECT_EQ(cache.Count(), 299u);
  cache.GetBitmap("p0");
  cache.GetBitmap("p299");  // evicts p1, now the least recently used
  cache.GetBitmap("p0");
  EXPECT_EQ(FileRequests("p0"), 1);
  cache.GetBitmap("p1");
  EXPECT_EQ(FileRequests("p1"), 2);
}

TEST_F(BitmapCacheTest, ANewRenderTargetEmptiesTheCache) {
  BitmapRef old = cache.GetBitmap("pic.png");
  cache.GetBitmap("");
  RecordingRenderTarget other;
  cache.SetRenderTarget(&other);
  EXPECT_EQ(cache.Count(), 0u);

  BitmapRef fresh = cache.GetBitmap("pic.png");
  EXPECT_NE(fresh.bitmap, old.bitmap);
  EXPECT_EQ(FileRequests("pic.png"), 2);
  cache.GetBitmap("");
  EXPECT_EQ(imaging->resourceRequests.size(), 2u);
  EXPECT_EQ(other.bitmapsCreated, 2);
}

TEST_F(BitmapCacheTest, ClearDropsThePlaceholderToo) {
  cache.GetBitmap("");
  cache.GetBitmap("pic.png");
  cache.Clear();
  EXPECT_EQ(cache.Count(), 0u);
  cache.GetBitmap("");
  EXPECT_EQ(imaging->resourceRequests.size(), 2u);
}

TEST_F(BitmapCacheTest, WithoutAPlaceholderResourceNothingIsDrawnForAMissingPicture) {
  BitmapCache::SetDefaultImageResource(0, "");
  EXPECT_FALSE(cache.GetBitmap("").IsUsable());
  EXPECT_FALSE(cache.GetBitmap("missing.png").IsUsable());
  EXPECT_TRUE(imaging->resourceRequests.empty());
}

TEST_F(BitmapCacheTest, AnUnusablePlaceholderIsTriedAgainAtEveryRequest) {
  BitmapCache::SetDefaultImageResource(358, "PNG");
  EXPECT_FALSE(cache.GetDefaultBitmap().IsUsable());
  EXPECT_FALSE(cache.GetDefaultBitmap().IsUsable());
  EXPECT_EQ(imaging->resourceRequests.size(), 2u);
  imaging->AddResource(358, "PNG", RecordingImagingFactory::MakeImage(8, 8));
  EXPECT_EQ(cache.GetDefaultBitmap().width, 8u);
  cache.GetDefaultBitmap();
  EXPECT_EQ(imaging->resourceRequests.size(), 3u);
}

TEST_F(BitmapCacheTest, NothingLoadsWithoutTargetOrImagingFactory) {
  BitmapCache detached;
  EXPECT_FALSE(detached.LoadFromFile("pic.png").IsUsable());
  EXPECT_FALSE(detached.LoadFromResource(kPlaceholderId, "PNG").IsUsable());

  ImagingFactory::SetInstance(nullptr);
  EXPECT_FALSE(cache.LoadFromFile("pic.png").IsUsable());
  EXPECT_FALSE(cache.GetDefaultBitmap().IsUsable());
  EXPECT_TRUE(imaging->fileRequests.empty());
  EXPECT_TRUE(imaging->resourceRequests.empty());
}
