#include <gtest/gtest.h>

#include <QFontInfo>
#include <QImage>
#include <memory>

#include "dx2d/qt/QtDWriteFactory.h"
#include "dx2d/qt/QtTextFormat.h"

using namespace NsOvrin::NsDx2d;

namespace {

class QtTextTest : public ::testing::Test {
 protected:
  std::unique_ptr<TextFormat> Format(const std::string& family, float dips) {
    return factory.CreateTextFormat(family, FontWeight::Normal, FontStyle::Normal, FontStretch::Normal,
                                    dips, "zh-cn");
  }
  TextMetrics Measure(const std::string& text, const TextFormat& format, float maxWidth = 1000.0f) {
    std::unique_ptr<TextLayout> layout = factory.CreateTextLayout(text, format, maxWidth, 1000.0f);
    EXPECT_NE(layout, nullptr);
    return layout ? layout->GetMetrics() : TextMetrics{};
  }

  QtDWriteFactory factory;
};

}  // namespace

TEST_F(QtTextTest, ChineseFacesFallBackToAnInstalledCjkFont) {
  for (const char* family : {"微软雅黑", "宋体"}) {
    SCOPED_TRACE(family);
    std::unique_ptr<TextFormat> format = Format(family, 16.0f);
    ASSERT_NE(format, nullptr);
    const QFont font = MakeQFont(*format, 96);
    EXPECT_EQ(QFontInfo(font).family().toStdString(), "WenQuanYi Micro Hei");
    // 16 DIPs are 16 pixels at 96 DPI and still 16 logical pixels at 144.
    EXPECT_EQ(QFontInfo(font).pixelSize(), 16);
    EXPECT_DOUBLE_EQ(MakeQFont(*format, 144).pointSizeF(), 8.0);
  }
}

TEST_F(QtTextTest, SizesAreInDips) {
  std::unique_ptr<TextFormat> format = Format("微软雅黑", 16.0f);
  // A CJK glyph is one em wide.
  EXPECT_NEAR(Measure("中文", *format).width, 32.0f, 1.0f);
  std::unique_ptr<TextFormat> larger = Format("微软雅黑", 32.0f);
  EXPECT_NEAR(Measure("中文", *larger).width, 64.0f, 1.0f);
}

TEST_F(QtTextTest, LayoutMetrics) {
  std::unique_ptr<TextFormat> format = Format("微软雅黑", 16.0f);
  const TextMetrics one = Measure("abc", *format);
  EXPECT_GT(one.width, 0.0f);
  EXPECT_EQ(one.lineCount, 1u);
  EXPECT_GT(one.height, 16.0f);

  const TextMetrics trailing = Measure("abc   ", *format);
  EXPECT_FLOAT_EQ(trailing.width, one.width);
  EXPECT_GT(trailing.widthIncludingTrailingWhitespace, one.width);

  const TextMetrics two = Measure("abc\nabc", *format);
  EXPECT_EQ(two.lineCount, 2u);
  EXPECT_NEAR(two.height, 2 * one.height, 1.0f);

  const TextMetrics empty = Measure("", *format);
  EXPECT_EQ(empty.width, 0.0f);
  EXPECT_NEAR(empty.height, one.height, 0.5f);
}

TEST_F(QtTextTest, WrapsAtWordsUnlessTold) {
  std::unique_ptr<TextFormat> format = Format("微软雅黑", 16.0f);
  const std::string text = "alpha beta gamma delta";
  EXPECT_GE(Measure(text, *format, 60.0f).lineCount, 3u);
  format->SetWordWrapping(WordWrapping::NoWrap);
  const TextMetrics single = Measure(text, *format, 60.0f);
  EXPECT_EQ(single.lineCount, 1u);
  EXPECT_GT(single.width, 60.0f);
}

TEST_F(QtTextTest, AWordWiderThanTheBoxIsBrokenInsideIt) {
  std::unique_ptr<TextFormat> format = Format("微软雅黑", 16.0f);
  const std::string word = "PLC1.D100~D200";
  const TextMetrics wide = Measure(word, *format);
  ASSERT_GT(wide.width, 60.0f);
  EXPECT_EQ(wide.lineCount, 1u);

  const TextMetrics broken = Measure(word, *format, 60.0f);
  EXPECT_GE(broken.lineCount, 2u);
  EXPECT_LE(broken.width, 60.0f);
  EXPECT_NEAR(broken.height, broken.lineCount * wide.height, 1.0f);

  // Words that fit still break only between words.
  const TextMetrics words = Measure("ab cd", *format, Measure("ab c", *format).width);
  EXPECT_EQ(words.lineCount, 2u);
  EXPECT_NEAR(words.width, Measure("ab", *format).width, 0.5f);

  format->SetWordWrapping(WordWrapping::NoWrap);
  const TextMetrics single = Measure(word, *format, 60.0f);
  EXPECT_EQ(single.lineCount, 1u);
  EXPECT_FLOAT_EQ(single.width, wide.width);
}

TEST_F(QtTextTest, SizesThatAreNotPositiveMakeNoFormat) {
  EXPECT_EQ(Format("微软雅黑", 0.0f), nullptr);
  EXPECT_EQ(Format("微软雅黑", -3.0f), nullptr);
}
