// The recording doubles that the drawing tests of every layer rely on, and
// the path sink they record.
#include <gtest/gtest.h>

#include "dx2d/D2Factory.h"
#include "dx2d/RecordingDWriteFactory.h"
#include "dx2d/RecordingRenderTarget.h"

using namespace NsOvrin::NsDx2d;

TEST(PathGeometry, AMisusedSinkLeavesTheGeometryUndrawable) {
  struct Case {
    const char* name;
    void (*write)(GeometrySink&);
  };
  const Case cases[] = {
      {"segment outside a figure", [](GeometrySink& s) { s.AddLine({1, 1}); }},
      {"figure left open",
       [](GeometrySink& s) {
         s.BeginFigure({0, 0}, FigureBegin::Filled);
         s.AddLine({1, 1});
       }},
      {"figure inside a figure",
       [](GeometrySink& s) {
         s.BeginFigure({0, 0}, FigureBegin::Filled);
         s.BeginFigure({0, 0}, FigureBegin::Filled);
         s.EndFigure(FigureEnd::Open);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PathGeometry geometry;
    GeometrySink* sink = geometry.Open();
    ASSERT_NE(sink, nullptr);
    c.write(*sink);
    EXPECT_FALSE(sink->Close());
    EXPECT_FALSE(geometry.IsClosed());
    RecordingRenderTarget target;
    SolidColorBrush brush({});
    target.FillGeometry(geometry, brush);
    target.DrawGeometry(geometry, brush, 1.0f);
    EXPECT_TRUE(target.calls.empty());
  }
}

TEST(PathGeometry, IsWrittenOnce) {
  PathGeometry geometry;
  GeometrySink* sink = geometry.Open();
  ASSERT_NE(sink, nullptr);
  sink->BeginFigure({0, 0}, FigureBegin::Hollow);
  sink->AddLine({5, 0});
  sink->EndFigure(FigureEnd::Closed);
  EXPECT_TRUE(sink->Close());
  EXPECT_FALSE(sink->Close());
  EXPECT_EQ(geometry.Open(), nullptr);
  sink->AddLine({9, 9});  // ignored after the close
  ASSERT_EQ(geometry.Figures().size(), 1u);
  EXPECT_EQ(geometry.Figures()[0].segments.size(), 1u);
  EXPECT_TRUE(geometry.IsClosed());
}

TEST(RecordingRenderTarget, EndDrawFailsOnUnbalancedClips) {
  RecordingRenderTarget target;
  target.BeginDraw();
  target.PushAxisAlignedClip({0, 0, 10, 10});
  EXPECT_FALSE(target.EndDraw());
  target.BeginDraw();
  target.PopAxisAlignedClip();
  EXPECT_FALSE(target.EndDraw());
  target.BeginDraw();
  target.PushAxisAlignedClip({0, 0, 10, 10});
  target.PopAxisAlignedClip();
  EXPECT_TRUE(target.EndDraw());
}

TEST(RecordingRenderTarget, DrawsOnlyItsOwnBitmaps) {
  RecordingRenderTarget target;
  RecordingRenderTarget other;
  DecodedImage image;
  image.width = 3;
  image.height = 2;
  image.pixels.assign(6, 0);
  std::unique_ptr<Bitmap> own = target.CreateBitmap(image);
  std::unique_ptr<Bitmap> foreign = other.CreateBitmap(image);
  ASSERT_TRUE(own && foreign);
  target.DrawBitmap(*foreign, {0, 0, 3, 2}, 1.0f, BitmapInterpolationMode::Linear);
  target.DrawBitmap(*own, {1, 2, 7, 6}, 0.5f, BitmapInterpolationMode::Linear);
  ASSERT_EQ(target.calls.size(), 1u);
  EXPECT_EQ(target.calls[0].ToString(), "DrawBitmap (1,2,7,6) 3x2 @0.5 linear");
  EXPECT_EQ(target.calls[0].bitmap, own.get());
}

TEST(RecordingDWriteFactory, MeasuresByAFixedRule) {
  RecordingDWriteFactory factory;
  std::unique_ptr<TextFormat> format =
      factory.CreateTextFormat("微软雅黑", FontWeight::Normal, FontStyle::Normal, FontStretch::Normal,
                               10.0f, "zh-cn");
  struct Case {
    const char* text;
    float width, withTrailing, height;
    uint32_t lines;
  };
  const Case cases[] = {
      {"ab 中 ", 25.0f, 30.0f, 12.5f, 1},
      {"a\n中文", 20.0f, 20.0f, 25.0f, 2},
      {"", 0.0f, 0.0f, 12.5f, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    std::unique_ptr<TextLayout> layout = factory.CreateTextLayout(c.text, *format, 1000.0f, 1000.0f);
    ASSERT_NE(layout, nullptr);
    EXPECT_FLOAT_EQ(layout->GetMetrics().width, c.width);
    EXPECT_FLOAT_EQ(layout->GetMetrics().widthIncludingTrailingWhitespace, c.withTrailing);
    EXPECT_FLOAT_EQ(layout->GetMetrics().height, c.height);
    EXPECT_EQ(layout->GetMetrics().lineCount, c.lines);
  }
}
