#include "dx2d/qt/QtImagingFactory.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <memory>

#include "QtCanvas.h"

using namespace NsOvrin::NsDx2d;

namespace {

uint32_t Alpha(uint32_t argb) { return argb >> 24; }

class QtImagingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    ImagingFactory::SetInstance(std::make_shared<QtImagingFactory>());
    BitmapCache::SetDefaultImageResource(357, "PNG");
  }
  void TearDown() override {
    ImagingFactory::SetInstance(nullptr);
    BitmapCache::SetDefaultImageResource(0, "");
  }

  std::string PathOf(const char* name) const { return dir.filePath(name).toStdString(); }

  QTemporaryDir dir;
  QtImagingFactory factory;
};

}  // namespace

TEST_F(QtImagingTest, ThePlaceholderIsAResourceWithTransparentCorners) {
  std::optional<DecodedImage> image = factory.DecodeResource(357, "PNG");
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 60u);
  EXPECT_EQ(image->height, 51u);
  ASSERT_EQ(image->pixels.size(), 60u * 51u);
  EXPECT_EQ(Alpha(image->pixels[0]), 0u);
  EXPECT_EQ(Alpha(image->pixels[25 * 60 + 30]), 255u);
}

TEST_F(QtImagingTest, UnknownResourcesDecodeToNothing) {
  EXPECT_FALSE(factory.DecodeResource(0, "PNG").has_value());
  EXPECT_FALSE(factory.DecodeResource(358, "PNG").has_value());
  EXPECT_FALSE(factory.DecodeResource(357, "BMP").has_value());
  EXPECT_FALSE(factory.DecodeResource(357, "").has_value());
  EXPECT_FALSE(factory.DecodeResource(357, "PNG/..").has_value());
}

TEST_F(QtImagingTest, FilesDecodeToPremultipliedPixels) {
  QImage source(3, 2, QImage::Format_ARGB32);
  source.fill(qRgba(0, 0, 255, 255));
  source.setPixel(1, 0, qRgba(255, 0, 0, 128));
  const std::string png = PathOf("small.png");
  ASSERT_TRUE(source.save(QString::fromStdString(png)));

  std::optional<DecodedImage> image = factory.DecodeFile(png);
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 3u);
  EXPECT_EQ(image->height, 2u);
  EXPECT_EQ(image->pixels[1], qPremultiply(qRgba(255, 0, 0, 128)));
  EXPECT_EQ(image->pixels[5], qRgba(0, 0, 255, 255));
}

TEST_F(QtImagingTest, UnreadableFilesDecodeToNothing) {
  QFile junk(dir.filePath("junk.png"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write("\x89PNG not really");
  junk.close();
  EXPECT_FALSE(factory.DecodeFile(PathOf("junk.png")).has_value());
  EXPECT_FALSE(factory.DecodeFile(PathOf("absent.png")).has_value());
  EXPECT_FALSE(factory.DecodeFile("").has_value());
  EXPECT_FALSE(factory.DecodeFile(dir.path().toStdString()).has_value());  // a folder
  // Nobody writes to it: decoding must not wait for a writer.
  ASSERT_EQ(::mkfifo(PathOf("fifo.png").c_str(), 0600), 0);
  EXPECT_FALSE(factory.DecodeFile(PathOf("fifo.png")).has_value());
}

// The suffix only hints at the format: a picture saved under another
// suffix, or none, still decodes from its content.
TEST_F(QtImagingTest, TheContentDecidesTheFormat) {
  QImage source(2, 2, QImage::Format_ARGB32);
  source.fill(qRgb(0, 255, 0));
  for (const char* name : {"green.png", "green.jpg", "green"}) {
    const std::string path = PathOf(name);
    ASSERT_TRUE(source.save(QString::fromStdString(path), "PNG")) << name;
    const std::optional<DecodedImage> image = factory.DecodeFile(path);
    ASSERT_TRUE(image.has_value()) << name;
    EXPECT_EQ(image->width, 2u) << name;
    EXPECT_EQ(image->pixels[0], qRgb(0, 255, 0)) << name;
  }
}

TEST_F(QtImagingTest, PicturesAndThePlaceholderAreDrawnFromTheCache) {
  QImage red(4, 4, QImage::Format_ARGB32);
  red.fill(qRgb(255, 0, 0));
  const std::string png = PathOf("red.png");
  ASSERT_TRUE(red.save(QString::fromStdString(png)));

  QtCanvas canvas(120, 80);
  const BitmapRef picture = canvas.bitmaps.GetBitmap(png);
  ASSERT_TRUE(picture.IsUsable());
  EXPECT_EQ(picture.width, 4u);
  const BitmapRef missing = canvas.bitmaps.GetBitmap(PathOf("absent.png"));
  ASSERT_TRUE(missing.IsUsable());
  EXPECT_EQ(missing.width, 60u);
  EXPECT_EQ(missing.height, 51u);

  canvas.target.BeginDraw();
  canvas.target.DrawBitmap(*picture.bitmap, {10, 10, 30, 30}, 1.0f, BitmapInterpolationMode::Linear);
  canvas.target.DrawBitmap(*picture.bitmap, {40, 10, 60, 30}, 0.5f, BitmapInterpolationMode::Linear);
  canvas.target.DrawBitmap(*missing.bitmap, {60, 20, 120, 71}, 1.0f, BitmapInterpolationMode::Linear);
  ASSERT_TRUE(canvas.target.EndDraw());

  EXPECT_EQ(canvas.At(20, 20), QColor(255, 0, 0));
  EXPECT_NEAR(canvas.At(50, 20).green(), 128, 3);
  EXPECT_EQ(canvas.At(50, 20).red(), 255);
  EXPECT_EQ(canvas.At(60, 20), QColor(255, 255, 255));  // the placeholder's transparent corner
  EXPECT_NE(canvas.At(90, 45), QColor(255, 255, 255));
}
