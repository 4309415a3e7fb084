#include "dx2d/ShapePainter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dx2d/RecordingDrawContext.h"

using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

namespace {

// Counts the geometries it makes; can be told to fail.
class CountingD2Factory : public D2Factory {
 public:
  std::unique_ptr<PathGeometry> CreatePathGeometry() override {
    if (fail) return nullptr;
    ++created;
    return D2Factory::CreatePathGeometry();
  }
  int created = 0;
  bool fail = false;
};

// l=10 t=20 r=110 b=60: 100 x 40.
ShapePainter MakePainter(int32_t style, float cornerRadius) {
  ShapePainter painter;
  painter.rect = {10, 20, 110, 60};
  painter.cornerRadius = cornerRadius;
  painter.borderWidth = 2.0f;
  painter.bevelWidth = 2.0f;
  painter.switchFrameWidth = 1.0f;
  painter.borderColour = 0xC8C8C8;
  painter.fillColour = 0x604020;
  painter.opacity = 0.5f;
  painter.style = style;
  return painter;
}

Lines FillCalls(ShapePainter& painter) {
  RecordingDrawContext d2;
  painter.Fill(d2.Info());
  return d2.Calls();
}

Lines DrawCalls(ShapePainter& painter) {
  RecordingDrawContext d2;
  painter.Draw(d2.Info());
  return d2.Calls();
}

const char kLightEdge[] =
    "winding [hollow M(15,59) A(11,55) r=(4,4) cw small L(11,25) A(15,21) r=(4,4) cw small "
    "L(105,21) open]";
const char kDarkEdge[] =
    "winding [hollow M(105,21) A(109,25) r=(4,4) cw small L(109,55) A(105,59) r=(4,4) cw small "
    "L(15,59) open]";
const char kTrack[] =
    "winding [filled M(30,59) A(30,21) r=(19,19) cw large L(90,21) A(90,59) r=(19,19) cw large "
    "L(30,59) closed]";
const char kRoundedBody[] = "FillRoundedRectangle (10,20,110,60) r=(4,4) 0x604020@0.5";

}  // namespace

TEST(ShapePainter, BevelColoursComeFromTheFillChannels) {
  struct Case {
    COLORREF fill, lighter, darker;
  };
  const Case cases[] = {
      {0x000000, 0x000000, 0x000000},
      {0x604020, 0xF0A050, 0x301000},  // 0x20 -> 0x50, 0x40 -> 0xA0, 0x60 -> 0xF0
      {0x004064, 0x00A0FA, 0x001034},  // 100 -> 250 and 52
      {0x808080, 0xFFFFFF, 0x505050},  // 128 -> 320 clamps at 255
      {0xFFFFFF, 0xFFFFFF, 0xCFCFCF},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ShapePainter::LighterColour(c.fill), c.lighter) << std::hex << c.fill;
    EXPECT_EQ(ShapePainter::DarkerColour(c.fill), c.darker) << std::hex << c.fill;
  }
}

TEST(ShapePainter, EachStyleFillsAndDrawsItsShape) {
  struct Case {
    int32_t style;
    float cornerRadius;
    Lines fill;
    Lines draw;
  };
  const std::string track = kTrack;
  const Case cases[] = {
      {0, 0.0f,
       {"FillRoundedRectangle (10,20,110,60) r=(0,0) 0x604020@0.5"},
       {"DrawRectangle (10,20,110,60) 0xC8C8C8@0.5 w=2"}},
      // With a radius the outline is inset by half its width, wholly inside.
      {0, 4.0f, {kRoundedBody}, {"DrawRoundedRectangle (11,21,109,59) r=(4,4) 0xC8C8C8@0.5 w=2"}},
      {1, 4.0f,
       {kRoundedBody},
       {std::string("DrawGeometry ") + kLightEdge + " 0xF0A050@0.5 w=2",
        std::string("DrawGeometry ") + kDarkEdge + " 0x301000@0.5 w=2"}},
      {5, 4.0f,
       {kRoundedBody},
       {std::string("DrawGeometry ") + kLightEdge + " 0x301000@0.5 w=2",
        std::string("DrawGeometry ") + kDarkEdge + " 0xF0A050@0.5 w=2"}},
      // The box is 16 x 16, 6 in from the left, centred vertically.
      {2, 4.0f,
       {kRoundedBody},
       {"FillRectangle (16,32,32,48) 0xFFFFFF@0.6", "DrawRectangle (16,32,32,48) 0xC8C8C8@1 w=2"}},
      {7, 4.0f,
       {kRoundedBody},
       {"FillRectangle (16,32,32,48) 0xFFFFFF@0.9", "DrawRectangle (16,32,32,48) 0x666666@1 w=2",
        "DrawGeometry alternate [hollow M(19.136,38.928) L(22.896,43.312) L(29.664,34.448) open] "
        "0xE97302@0.5 w=2"}},
      // The circle of the smaller side touches the left and top edges.
      {3, 4.0f,
       {"FillEllipse c=(30,40) r=(20,20) 0x604020@0.5"},
       {"DrawEllipse c=(30,40) r=(20,20) 0xC8C8C8@0.5 w=1"}},
      {6, 4.0f, {"FillRectangle (10,20,110,60) 0x604020@0.5"}, {}},
      {4, 4.0f,
       {"FillGeometry " + track + " 0x604020@0.5"},
       {"DrawGeometry " + track + " 0xC8C8C8@0.5 w=1", "FillEllipse c=(30,40) r=(17,17) 0xFFFFFF@0.9",
        "DrawEllipse c=(30,40) r=(17,17) 0xC0C0C0@0.8 w=1"}},
      {8, 4.0f,
       {"FillGeometry " + track + " 0x604020@0.5"},
       {"DrawGeometry " + track + " 0xC8C8C8@0.5 w=1", "FillEllipse c=(33,40) r=(17,17) 0xFFFFFF@0.9",
        "DrawEllipse c=(33,40) r=(17,17) 0xC0C0C0@0.8 w=1"}},
      {9, 4.0f,
       {"FillGeometry " + track + " 0x604020@0.5"},
       {"DrawGeometry " + track + " 0xC8C8C8@0.5 w=1", "FillEllipse c=(90,40) r=(17,17) 0xFFFFFF@0.9",
        "DrawEllipse c=(90,40) r=(17,17) 0xC0C0C0@0.8 w=1"}},
      {10, 4.0f,
       {"FillGeometry " + track + " 0x604020@0.5"},
       {"DrawGeometry " + track + " 0xC8C8C8@0.5 w=1", "FillEllipse c=(87,40) r=(17,17) 0xFFFFFF@0.9",
        "DrawEllipse c=(87,40) r=(17,17) 0xC0C0C0@0.8 w=1"}},
      {11, 4.0f, {}, {}},
      {-1, 4.0f, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("style " + std::to_string(c.style) + " radius " + std::to_string(c.cornerRadius));
    ShapePainter painter = MakePainter(c.style, c.cornerRadius);
    EXPECT_EQ(FillCalls(painter), c.fill);
    EXPECT_EQ(DrawCalls(painter), c.draw);
  }
}

TEST(ShapePainter, SwitchKnobOfASixtyByThirtySwitch) {
  ShapePainter painter;
  painter.rect = {0, 0, 60, 30};
  painter.borderWidth = 1.0f;
  painter.style = 9;
  RecordingDrawContext d2;
  painter.Draw(d2.Info());
  const std::vector<DrawCall> knob = d2.target.CallsOf(DrawOp::FillEllipse);
  ASSERT_EQ(knob.size(), 1u);
  EXPECT_EQ(knob[0].point0, (D2D_POINT_2F{45, 15}));
  EXPECT_EQ(knob[0].radiusX, 12.0f);
}

TEST(ShapePainter, FrameNeedsTargetTextFormatsAndBrushes) {
  RecordingDrawContext d2;
  D2ResInfo noFormats = d2.Info();
  noFormats.textFormatCache = nullptr;
  ShapePainter painter = MakePainter(0, 0.0f);
  painter.Draw(noFormats);
  EXPECT_TRUE(d2.target.calls.empty());
  painter.Fill(noFormats);  // the body needs no text formats
  EXPECT_EQ(d2.target.calls.size(), 1u);

  D2ResInfo noBrushes = d2.Info();
  noBrushes.brushCache = nullptr;
  painter.Fill(noBrushes);
  painter.Draw(noBrushes);
  EXPECT_EQ(d2.target.calls.size(), 1u);
}

TEST(ShapePainter, GeometryIsBuiltOnceAndKeptUntilReleased) {
  for (int32_t style : {1, 4, 7}) {
    SCOPED_TRACE(style);
    RecordingDrawContext d2;
    CountingD2Factory factory;
    D2ResInfo info = d2.Info();
    info.d2Factory = &factory;
    ShapePainter painter = MakePainter(style, 4.0f);
    painter.Fill(info);
    painter.Draw(info);
    const int built = factory.created;
    EXPECT_GT(built, 0);
    const std::vector<DrawCall> before = d2.target.CallsOf(DrawOp::DrawGeometry);

    // Moved without releasing: the old shape is drawn again from the cache.
    painter.rect = {210, 220, 310, 260};
    d2.target.calls.clear();
    painter.Fill(info);
    painter.Draw(info);
    EXPECT_EQ(factory.created, built);
    const std::vector<DrawCall> after = d2.target.CallsOf(DrawOp::DrawGeometry);
    ASSERT_EQ(after.size(), before.size());
    for (std::size_t i = 0; i < after.size(); ++i) {
      EXPECT_EQ(after[i].geometry, before[i].geometry);
      EXPECT_EQ(after[i].figures, before[i].figures);
    }

    painter.ReleaseGeometry();
    d2.target.calls.clear();
    painter.Draw(info);
    EXPECT_EQ(factory.created, 2 * built);
    const std::vector<DrawCall> moved = d2.target.CallsOf(DrawOp::DrawGeometry);
    ASSERT_FALSE(moved.empty());
    EXPECT_NE(moved[0].figures, before[0].figures);
  }
}

TEST(ShapePainter, ACopyBuildsItsOwnGeometry) {
  RecordingDrawContext d2;
  CountingD2Factory factory;
  D2ResInfo info = d2.Info();
  info.d2Factory = &factory;
  ShapePainter original = MakePainter(4, 0.0f);
  original.Fill(info);
  ShapePainter copy = original;
  copy.Fill(info);
  EXPECT_EQ(factory.created, 2);
  const std::vector<DrawCall> fills = d2.target.CallsOf(DrawOp::FillGeometry);
  ASSERT_EQ(fills.size(), 2u);
  EXPECT_NE(fills[0].geometry, fills[1].geometry);
  EXPECT_EQ(fills[0].figures, fills[1].figures);

  ShapePainter assigned;
  assigned = original;
  EXPECT_EQ(assigned.style, 4);
  EXPECT_EQ(assigned.rect, original.rect);
  assigned.Fill(info);
  EXPECT_EQ(factory.created, 3);
}

TEST(ShapePainter, WithoutGeometryOnlyThatPartIsSkipped) {
  RecordingDrawContext d2;
  CountingD2Factory factory;
  factory.fail = true;
  D2ResInfo info = d2.Info();
  info.d2Factory = &factory;

  ShapePainter toggle = MakePainter(9, 0.0f);
  toggle.Fill(info);
  toggle.Draw(info);
  EXPECT_EQ(d2.Calls(), (Lines{"FillEllipse c=(90,40) r=(17,17) 0xFFFFFF@0.9",
                               "DrawEllipse c=(90,40) r=(17,17) 0xC0C0C0@0.8 w=1"}));

  d2.target.calls.clear();
  ShapePainter ticked = MakePainter(7, 0.0f);
  ticked.Draw(info);
  EXPECT_EQ(d2.target.calls.size(), 2u);  // the box, no check mark

  // Made once it can be made.
  factory.fail = false;
  d2.target.calls.clear();
  ticked.Draw(info);
  EXPECT_EQ(d2.target.CallsOf(DrawOp::DrawGeometry).size(), 1u);
}
