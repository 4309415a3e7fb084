#include "QlUiElem/QlUiImage.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dx2d/RecordingDrawContext.h"
#include "dx2d/RecordingImagingFactory.h"

using namespace NsOvrin::NsQlUiElem;
using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

namespace {

constexpr uint32_t kPlaceholderId = 357;
// 100 x 100.
const D2D_RECT_F kRect{10, 20, 110, 120};

class QlUiImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    imaging_ = std::make_shared<RecordingImagingFactory>();
    imaging_->AddFile("/pics/p.png", RecordingImagingFactory::MakeImage(40, 30));
    imaging_->AddResource(kPlaceholderId, "PNG", RecordingImagingFactory::MakeImage(60, 51));
    ImagingFactory::SetInstance(imaging_);
  }
  void TearDown() override {
    ImagingFactory::SetInstance(nullptr);
    BitmapCache::SetDefaultImageResource(0, "");
  }

  static QlUiImage Placed(const std::string& path, ImageStyle style) {
    QlUiImage image;
    image.rect = kRect;
    image.imagePath = path;
    image.imageStyle = style;
    return image;
  }

  static Lines DrawOnce(QlUiImage& image) {
    RecordingDrawContext d2;
    image.Draw(d2.Info());
    return d2.Calls();
  }

  std::shared_ptr<RecordingImagingFactory> imaging_;
};

}  // namespace

TEST_F(QlUiImageTest, Defaults) {
  const QlUiImage image;
  EXPECT_EQ(image.rect, (D2D_RECT_F{0, 0, 0, 0}));
  EXPECT_EQ(image.GetRect(), (D2D_RECT_F{0, 0, 0, 0}));
  EXPECT_EQ(image.imageStyle, kImageActualSize);
  EXPECT_EQ(image.imagePath, "");
  EXPECT_EQ(image.opacity, 1.0f);
  EXPECT_TRUE(image.shown);
  EXPECT_FALSE(image.selected);
  EXPECT_FALSE(image.inError);
  EXPECT_EQ(image.errorText, "");
}

TEST_F(QlUiImageTest, PlacesARegisteredPictureByStyleAndOpacity) {
  struct Case {
    const char* name;
    D2D_RECT_F rect;
    ImageStyle style;
    float opacity;
    Lines expected;
  };
  const Case cases[] = {
      {"own size at the top-left corner", kRect, kImageActualSize, 1.0f,
       {"DrawBitmap (10,20,50,50) 40x30 @1 linear"}},
      {"stretched to the rectangle", kRect, kImageStretch, 1.0f,
       {"DrawBitmap (10,20,110,120) 40x30 @1 linear"}},
      {"any style but 0 stretches", kRect, 5, 1.0f, {"DrawBitmap (10,20,110,120) 40x30 @1 linear"}},
      {"negative style stretches", kRect, -1, 1.0f, {"DrawBitmap (10,20,110,120) 40x30 @1 linear"}},
      {"half transparent", kRect, kImageActualSize, 0.5f, {"DrawBitmap (10,20,50,50) 40x30 @0.5 linear"}},
      // Own size whatever the element's size: it reaches past a small element.
      {"own size past a small element", {10, 20, 30, 30}, kImageActualSize, 1.0f,
       {"DrawBitmap (10,20,50,50) 40x30 @1 linear"}},
      {"stretched into a small element", {10, 20, 30, 30}, kImageStretch, 0.25f,
       {"DrawBitmap (10,20,30,30) 40x30 @0.25 linear"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QlUiImage image = Placed("/pics/p.png", c.style);
    image.rect = c.rect;
    image.opacity = c.opacity;
    EXPECT_EQ(DrawOnce(image), c.expected);
  }
}

TEST_F(QlUiImageTest, AMissingOrEmptyPathShowsThePlaceholder) {
  BitmapCache::SetDefaultImageResource(kPlaceholderId, "PNG");
  struct Case {
    const char* name;
    std::string path;
    ImageStyle style;
    const char* expected;
  };
  const Case cases[] = {
      {"missing file, own size", "/pics/gone.png", kImageActualSize, "DrawBitmap (10,20,70,71) 60x51 @1 linear"},
      {"missing file, stretched", "/pics/gone.png", kImageStretch, "DrawBitmap (10,20,110,120) 60x51 @1 linear"},
      // A new picture element without a file shows the placeholder too.
      {"no path", "", kImageActualSize, "DrawBitmap (10,20,70,71) 60x51 @1 linear"},
      // Paths are compared as they stand.
      {"other letter case", "/pics/P.png", kImageActualSize, "DrawBitmap (10,20,70,71) 60x51 @1 linear"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QlUiImage image = Placed(c.path, c.style);
    EXPECT_EQ(DrawOnce(image), Lines{c.expected});
  }
}

TEST_F(QlUiImageTest, AMissingPictureIsTriedOnceAndDrawsNothingWithoutAPlaceholder) {
  QlUiImage image = Placed("/pics/gone.png", kImageStretch);
  RecordingDrawContext d2;
  image.Draw(d2.Info());
  image.Draw(d2.Info());
  EXPECT_TRUE(d2.target.calls.empty()) << FormatDrawCalls(d2.target.calls);
  EXPECT_EQ(imaging_->fileRequests, Lines{"/pics/gone.png"});

  image.imagePath.clear();
  image.Draw(d2.Info());
  EXPECT_TRUE(d2.target.calls.empty()) << FormatDrawCalls(d2.target.calls);
}

TEST_F(QlUiImageTest, NeedsOnlyARenderTargetAndABitmapCache) {
  QlUiImage image = Placed("/pics/p.png", kImageActualSize);
  for (int missing = 0; missing < 2; ++missing) {
    SCOPED_TRACE(missing);
    RecordingDrawContext d2;
    D2ResInfo info = d2.Info();
    if (missing == 0) info.renderTarget = nullptr;
    if (missing == 1) info.bitmapCache = nullptr;
    image.Draw(info);
    EXPECT_TRUE(d2.target.calls.empty()) << FormatDrawCalls(d2.target.calls);
  }
  RecordingDrawContext d2;
  D2ResInfo info = d2.Info();
  info.textFormatCache = nullptr;
  info.brushCache = nullptr;
  info.d2Factory = nullptr;
  image.Draw(info);
  EXPECT_EQ(d2.Calls(), Lines{"DrawBitmap (10,20,50,50) 40x30 @1 linear"});
}

TEST_F(QlUiImageTest, ErrorMarkSitsOnThePictureRectangle) {
  QlUiImage image = Placed("/pics/gone.png", kImageActualSize);
  image.inError = true;
  RecordingDrawContext d2;
  image.DrawWithErrorMark(d2.Info());
  const std::vector<DrawCall> dots = d2.target.CallsOf(DrawOp::FillEllipse);
  ASSERT_EQ(dots.size(), 1u);
  EXPECT_EQ(dots[0].point0, (D2D_POINT_2F{106, 26}));
}

TEST_F(QlUiImageTest, CloneCopiesEveryField) {
  QlUiImage image = Placed("/pics/p.png", kImageStretch);
  image.opacity = 0.4f;
  image.selected = true;
  image.inError = true;
  image.SetErrorText("控制可见性的地址异常.");
  image.errorTextWidth = 80.0f;
  image.errorTextHeight = 9.0f;

  const std::shared_ptr<QlUiImage> clone = image.Clone();
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(clone->rect, kRect);
  EXPECT_EQ(clone->imageStyle, kImageStretch);
  EXPECT_EQ(clone->imagePath, "/pics/p.png");
  EXPECT_EQ(clone->opacity, 0.4f);
  EXPECT_TRUE(clone->shown);
  EXPECT_TRUE(clone->selected);
  EXPECT_TRUE(clone->inError);
  EXPECT_EQ(clone->errorText, "控制可见性的地址异常.");
  EXPECT_EQ(clone->errorTextWidth, 80.0f);
  EXPECT_EQ(clone->errorTextHeight, 9.0f);
  EXPECT_EQ(DrawOnce(*clone), DrawOnce(image));

  clone->imagePath = "/pics/other.png";
  clone->rect.left = 0;
  EXPECT_EQ(image.imagePath, "/pics/p.png");
  EXPECT_EQ(image.rect, kRect);
}
