#include "dx2d/D2ScrollBars.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dx2d/RecordingDrawContext.h"

using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

TEST(D2ScrollBars, ViewSizeLosesTheBarsTheContentNeeds) {
  struct Case {
    const char* name;
    float contentWidth, contentHeight;
    D2D_SIZE_F expected;
  };
  // View 200 x 100.
  const Case cases[] = {
      {"fits, one pixel to spare", 201.0f, 101.0f, {200, 100}},
      {"only a vertical bar", 150.0f, 300.0f, {189, 100}},
      {"only a horizontal bar", 400.0f, 50.0f, {200, 88}},
      {"the horizontal bar pushes the content under a vertical bar", 400.0f, 95.0f, {189, 88}},
      {"the vertical bar pushes the content under a horizontal bar", 200.0f, 101.5f, {189, 88}},
      {"both at once", 400.0f, 400.0f, {189, 88}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    D2ScrollBars bars;
    bars.viewRect = {0, 0, 200, 100};
    bars.contentWidth = c.contentWidth;
    bars.contentHeight = c.contentHeight;
    EXPECT_EQ(bars.GetViewSize(), c.expected);
  }
}

TEST(D2ScrollBars, ThumbRatiosAreHiddenExtentPerPixelOfTravel) {
  struct Case {
    float view, content, ratio;
  };
  const Case cases[] = {
      {200.0f, 400.0f, 200.0f / 98.0f},  // thumb 98, travel 98
      {100.0f, 300.0f, 200.0f / 64.0f},  // thumb 32, travel 64
      {200.0f, 200.0f, 1.0f},            // no travel
      {10.0f, 11.0f, 1.0f},              // travel of at most 1
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.view) + " over " + std::to_string(c.content));
    D2ScrollBars bars;
    bars.contentWidth = c.content;
    bars.contentHeight = c.content;
    bars.UpdateThumbRatios(c.view, c.view);
    EXPECT_FLOAT_EQ(bars.hRatio, c.ratio);
    EXPECT_FLOAT_EQ(bars.vRatio, c.ratio);
  }
}

TEST(D2ScrollBars, HorizontalThumbRunsAlongTheBottom) {
  D2ScrollBars bars;
  bars.viewRect = {0, 0, 200, 100};
  bars.contentWidth = 400.0f;
  bars.contentHeight = 50.0f;
  bars.hPosition = 0.5f;
  bars.LayoutHThumb();
  // Thumb 98 long, half of the free travel of 98 in from 2.
  EXPECT_EQ(bars.hThumb.rect, (D2D_RECT_F{51, 88, 149, 97}));
  EXPECT_EQ(bars.hThumb.cornerRadius, 3.0f);

  RecordingDrawContext d2;
  bars.hThumb.Fill(d2.Info());
  EXPECT_EQ(d2.Calls(), (Lines{"FillRoundedRectangle (51,88,149,97) r=(3,3) 0xCDCDCD@1"}));
}

TEST(D2ScrollBars, VerticalThumbRunsAlongTheRightEdge) {
  D2ScrollBars bars;
  bars.viewRect = {10, 20, 210, 120};
  bars.contentWidth = 150.0f;
  bars.contentHeight = 300.0f;
  bars.vPosition = 1.0f;
  bars.LayoutVThumb();
  // Thumb 32 long at the end of its travel of 64.
  EXPECT_EQ(bars.vThumb.rect, (D2D_RECT_F{199, 86, 207, 118}));
  EXPECT_EQ(bars.vThumb.cornerRadius, 3.0f);
}

TEST(D2ScrollBars, LayingOutAThumbDropsItsGeometry) {
  RecordingDrawContext d2;
  D2ScrollBars bars;
  bars.viewRect = {0, 0, 200, 100};
  bars.contentHeight = 300.0f;
  bars.vThumb.style = 1;  // a style with geometry
  bars.LayoutVThumb();
  bars.vThumb.Draw(d2.Info());
  const D2D_POINT_2F before = d2.target.CallsOf(DrawOp::DrawGeometry).at(0).figures.at(0).start;
  bars.vPosition = 1.0f;
  bars.LayoutVThumb();
  d2.target.calls.clear();
  bars.vThumb.Draw(d2.Info());
  const D2D_POINT_2F after = d2.target.CallsOf(DrawOp::DrawGeometry).at(0).figures.at(0).start;
  EXPECT_NE(before, after);
}

TEST(D2ScrollBars, CornerGripIsATriangleInTheCorner) {
  RecordingDrawContext d2;
  D2ScrollBars bars;
  bars.viewRect = {0, 0, 200, 100};
  bars.DrawCornerGrip(d2.Info());
  bars.viewRect = {0, 0, 300, 300};
  bars.DrawCornerGrip(d2.Info());  // cached: still the old corner
  const Lines grip(2, "FillGeometry alternate [filled M(197,88) L(197,97) L(189,97) open] 0xCDCDCD@1");
  EXPECT_EQ(d2.Calls(), grip);

  bars.ReleaseCornerGrip();
  d2.target.calls.clear();
  bars.DrawCornerGrip(d2.Info());
  EXPECT_EQ(d2.Calls(),
            (Lines{"FillGeometry alternate [filled M(297,288) L(297,297) L(289,297) open] 0xCDCDCD@1"}));
}

TEST(D2ScrollBars, ACopyKeepsTheLayoutButNotTheGeometry) {
  RecordingDrawContext d2;
  D2ScrollBars bars;
  bars.contentWidth = 500.0f;
  bars.LayoutHThumb();
  bars.DrawCornerGrip(d2.Info());
  D2ScrollBars copy = bars;
  copy.DrawCornerGrip(d2.Info());
  const std::vector<DrawCall> grips = d2.target.CallsOf(DrawOp::FillGeometry);
  ASSERT_EQ(grips.size(), 2u);
  EXPECT_NE(grips[0].geometry, grips[1].geometry);
  EXPECT_EQ(copy.hThumb.rect, bars.hThumb.rect);
  EXPECT_EQ(copy.contentWidth, 500.0f);
}
