#include "QlUiElem/QlUiButton.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dx2d/RecordingDrawContext.h"
#include "dx2d/RecordingImagingFactory.h"
#include "platform/Format.h"

using namespace NsOvrin::NsQlUiElem;
using namespace NsOvrin::NsDx2d;
using NsOvrin::NsPlatform::StrFormat;
using Lines = std::vector<std::string>;

namespace {

constexpr uint32_t kPlaceholderId = 357;
const D2D_RECT_F kRect{10, 20, 110, 50};
constexpr COLORREF kBk = 0xEDEDED;
constexpr COLORREF kBk2 = 0xD2F3EC;

// A geometry call without its figures: the shapes belong to the painter's
// own tests, the colours and the order to the button.
std::string Brief(const DrawCall& call) {
  if (call.op != DrawOp::FillGeometry && call.op != DrawOp::DrawGeometry) return call.ToString();
  std::string out = StrFormat("%s 0x%06X@%g", DrawOpName(call.op), call.colour,
                              static_cast<double>(call.opacity));
  if (call.op == DrawOp::DrawGeometry) out += StrFormat(" w=%g", static_cast<double>(call.strokeWidth));
  return out;
}

class QlUiButtonTest : public ::testing::Test {
 protected:
  void SetUp() override {
    imaging_ = std::make_shared<RecordingImagingFactory>();
    imaging_->AddFile("a.png", RecordingImagingFactory::MakeImage(16, 12));
    imaging_->AddFile("b.png", RecordingImagingFactory::MakeImage(20, 10));
    imaging_->AddResource(kPlaceholderId, "PNG", RecordingImagingFactory::MakeImage(60, 51));
    ImagingFactory::SetInstance(imaging_);
  }
  void TearDown() override {
    ImagingFactory::SetInstance(nullptr);
    BitmapCache::SetDefaultImageResource(0, "");
  }

  // Placed as the hosts place a button, with both looks filled in.
  static void Place(QlUiButton& button, ButtonStyle style) {
    button.data.rect = kRect;
    button.painter.rect = kRect;
    button.painter.cornerRadius = 4.0f;
    button.painter.ReleaseGeometry();
    button.data.borderStyle = style;
    button.data.text = "开";
    button.data.text2 = "关";
    button.data.textColour = 0x0000FF;
    button.data.textColour2 = 0x00FF00;
    button.data.imagePath = "a.png";
    button.data.imagePath2 = "b.png";
    button.data.bkOpacity = 0.5f;
  }

  static Lines DrawBrief(QlUiButton& button) {
    RecordingDrawContext d2;
    button.Draw(d2.Info());
    Lines out;
    for (const DrawCall& call : d2.target.calls) out.push_back(Brief(call));
    return out;
  }

  // The calls of one kind as text.
  static Lines Drawn(QlUiButton& button, DrawOp op) {
    RecordingDrawContext d2;
    button.Draw(d2.Info());
    return DescribeDrawCalls(d2.target.CallsOf(op));
  }

  std::shared_ptr<RecordingImagingFactory> imaging_;
};

}  // namespace

TEST_F(QlUiButtonTest, DefaultsOfANewButton) {
  const QlUiButton button;
  EXPECT_TRUE(button.shown);
  EXPECT_FALSE(button.selected);
  EXPECT_FALSE(button.inError);
  EXPECT_EQ(button.errorText, "");

  const QlUiButtonData& d = button.data;
  EXPECT_EQ(d.rect, (D2D_RECT_F{0, 0, 0, 0}));
  EXPECT_EQ(d.text, "");
  EXPECT_EQ(d.text2, "");
  EXPECT_EQ(d.textColour, 0x333333u);
  EXPECT_EQ(d.textColour2, 0x333333u);
  EXPECT_EQ(d.fontSize, 100);
  EXPECT_EQ(d.borderColour, 0xC8C8C8u);
  EXPECT_EQ(d.borderStyle, kButtonRaised);
  EXPECT_EQ(d.bkColour, kBk);
  EXPECT_EQ(d.bkColour2, kBk2);
  EXPECT_EQ(d.imageStyle, kImageActualSize);
  EXPECT_EQ(d.imagePath, "");
  EXPECT_EQ(d.imagePath2, "");
  EXPECT_EQ(d.bkOpacity, 1.0f);
  EXPECT_EQ(d.state, 0);
  EXPECT_EQ(d.holdDelay, 0u);
  EXPECT_EQ(d.accessPermission, 0);

  const ShapePainter& p = button.painter;
  EXPECT_EQ(p.cornerRadius, 5.0f);
  EXPECT_EQ(p.borderWidth, 1.0f);
  EXPECT_EQ(p.bevelWidth, 1.3f);
  EXPECT_EQ(p.switchFrameWidth, 1.0f);
  EXPECT_EQ(p.opacity, 1.0f);
  EXPECT_EQ(p.rect, (D2D_RECT_F{0, 0, 0, 0}));
  EXPECT_EQ(p.style, 1);
  EXPECT_EQ(button.GetRect(), d.rect);
}

TEST_F(QlUiButtonTest, SetStateGivesThePainterStyleOfEachBorderStyle) {
  struct Case {
    ButtonStyle style;
    int32_t expected[6];  // states 0, 1, 2, 3, 4, -1
  };
  const Case cases[] = {
      {kButtonFlat, {0, 5, 5, 5, 5, 5}},
      {kButtonRaised, {1, 0, 0, 0, 0, 0}},
      {kButtonCheckbox, {2, 2, 7, 7, 7, 7}},
      {kButtonCircular, {3, 3, 3, 3, 3, 3}},
      {kButtonSwitch, {4, 8, 9, 10, 4, 4}},
      {6, {6, 5, 5, 5, 5, 5}},
      {-2, {-2, 5, 5, 5, 5, 5}},
  };
  const int32_t states[6] = {0, 1, 2, 3, 4, -1};
  for (const Case& c : cases) {
    for (int i = 0; i < 6; ++i) {
      SCOPED_TRACE(testing::Message() << "border style " << c.style << " state " << states[i]);
      QlUiButton button;
      button.data.borderStyle = c.style;
      button.SetState(states[i]);
      EXPECT_EQ(button.painter.style, c.expected[i]);
      EXPECT_EQ(button.data.state, states[i]);
    }
  }
}

TEST_F(QlUiButtonTest, OnlyAChangedPainterStyleDropsTheCachedGeometry) {
  QlUiButton button;
  Place(button, kButtonRaised);
  auto lightEdgeStart = [&] {
    RecordingDrawContext d2;
    button.Draw(d2.Info());
    const std::vector<DrawCall> edges = d2.target.CallsOf(DrawOp::DrawGeometry);
    EXPECT_FALSE(edges.empty());
    return edges.empty() || edges[0].figures.empty() ? D2D_POINT_2F{} : edges[0].figures[0].start;
  };
  const D2D_POINT_2F first = lightEdgeStart();

  // Moved without releasing the geometry: the old bevel stays while the
  // style does not change.
  button.painter.rect = button.data.rect = {40, 60, 140, 90};
  button.SetState(0);
  EXPECT_EQ(lightEdgeStart(), first);

  button.SetState(2);  // flat frame
  button.SetState(0);  // raised again, built anew
  const D2D_POINT_2F rebuilt = lightEdgeStart();
  EXPECT_NE(rebuilt, first);
  EXPECT_FLOAT_EQ(rebuilt.x, 40 + 0.65f + 4);
  EXPECT_FLOAT_EQ(rebuilt.y, 90 - 0.65f);
}

TEST_F(QlUiButtonTest, DrawsEachBorderStyleInEachState) {
  // Rectangle (10,20,110,50), corner radius 4, opacity 0.5, pictures at
  // actual size: a.png 16x12 for the first look, b.png 20x10 for the second.
  const std::string bevelLight = "DrawGeometry 0xFFFFFF@0.5 w=1.3";
  const std::string flatFrame = "DrawRoundedRectangle (10.5,20.5,109.5,49.5) r=(4,4) 0xC8C8C8@0.5 w=1";
  const std::string text1 = "DrawText \"开\" (14,22,106,48) 0x0000FF@1 微软雅黑 13.3333 centre/centre";
  const std::string text1Pressed = "DrawText \"开\" (15,23,107,49) 0x0000FF@1 微软雅黑 13.3333 centre/centre";
  const std::string text2 = "DrawText \"关\" (15,23,107,49) 0x00FF00@1 微软雅黑 13.3333 centre/centre";
  const std::string roundBody1 = "FillRoundedRectangle (10,20,110,50) r=(4,4) 0xEDEDED@0.5";
  const std::string roundBody2 = "FillRoundedRectangle (10,20,110,50) r=(4,4) 0xD2F3EC@0.5";
  const std::string box = "(16,27,32,43)";
  const std::string circle = "c=(25,35) r=(15,15)";
  const std::string track = "DrawGeometry 0xC8C8C8@0.5 w=1";
  auto knob = [](const char* centre) {
    return Lines{StrFormat("FillEllipse c=%s r=(12,12) 0xFFFFFF@0.9", centre),
                 StrFormat("DrawEllipse c=%s r=(12,12) 0xC0C0C0@0.8 w=1", centre)};
  };
  struct Case {
    ButtonStyle style;
    int32_t state;
    int32_t painterStyle;
    Lines calls;
  };
  const Case cases[] = {
      {kButtonFlat, 0, 0,
       {roundBody1, "DrawBitmap (13,23,29,35) 16x12 @1 linear", text1, flatFrame}},
      {kButtonFlat, 1, 5,
       {roundBody1, "DrawBitmap (14,24,30,36) 16x12 @1 linear", text1Pressed,
        "DrawGeometry 0xBDBDBD@0.5 w=1.3", bevelLight}},
      {kButtonFlat, 2, 5,
       {roundBody2, "DrawBitmap (14,24,34,34) 20x10 @1 linear", text2,
        "DrawGeometry 0xA2C3BC@0.5 w=1.3", bevelLight}},
      {kButtonFlat, 3, 5,
       {roundBody2, "DrawBitmap (14,24,34,34) 20x10 @1 linear", text2,
        "DrawGeometry 0xA2C3BC@0.5 w=1.3", bevelLight}},

      {kButtonRaised, 0, 1,
       {roundBody1, "DrawBitmap (14,24,30,36) 16x12 @1 linear", text1, bevelLight,
        "DrawGeometry 0xBDBDBD@0.5 w=1.3"}},
      {kButtonRaised, 1, 0,
       {roundBody1, "DrawBitmap (15,25,31,37) 16x12 @1 linear", text1Pressed, flatFrame}},
      {kButtonRaised, 2, 0,
       {roundBody2, "DrawBitmap (15,25,35,35) 20x10 @1 linear", text2, flatFrame}},
      {kButtonRaised, 3, 0,
       {roundBody2, "DrawBitmap (15,25,35,35) 20x10 @1 linear", text2, flatFrame}},

      {kButtonCheckbox, 0, 2,
       {roundBody1, "DrawBitmap (10,20,26,32) 16x12 @1 linear",
        "DrawText \"开\" (42,22,106,48) 0x0000FF@1 微软雅黑 13.3333 leading/centre",
        "FillRectangle " + box + " 0xFFFFFF@0.6", "DrawRectangle " + box + " 0xC8C8C8@1 w=1"}},
      {kButtonCheckbox, 1, 2,
       {roundBody1, "DrawBitmap (11,21,27,33) 16x12 @1 linear",
        "DrawText \"开\" (43,23,107,49) 0x0000FF@1 微软雅黑 13.3333 leading/centre",
        "FillRectangle " + box + " 0xFFFFFF@0.6", "DrawRectangle " + box + " 0xC8C8C8@1 w=1"}},
      // The body keeps the first background; the text starts 28 + 4 + 1
      // right of the left edge.
      {kButtonCheckbox, 2, 7,
       {roundBody1, "DrawBitmap (11,21,31,31) 20x10 @1 linear",
        "DrawText \"关\" (43,23,107,49) 0x00FF00@1 微软雅黑 13.3333 leading/centre",
        "FillRectangle " + box + " 0xFFFFFF@0.9", "DrawRectangle " + box + " 0x666666@1 w=1",
        "DrawGeometry 0xE97302@0.5 w=2"}},
      {kButtonCheckbox, 3, 7,
       {roundBody1, "DrawBitmap (11,21,31,31) 20x10 @1 linear",
        "DrawText \"关\" (43,23,107,49) 0x00FF00@1 微软雅黑 13.3333 leading/centre",
        "FillRectangle " + box + " 0xFFFFFF@0.9", "DrawRectangle " + box + " 0x666666@1 w=1",
        "DrawGeometry 0xE97302@0.5 w=2"}},

      // The text is centred in the 30 x 30 square at the left, inset to 22 x 26.
      {kButtonCircular, 0, 3,
       {"FillEllipse " + circle + " 0xEDEDED@0.5", "DrawBitmap (13,23,29,35) 16x12 @1 linear",
        "DrawText \"开\" (14,22,36,48) 0x0000FF@1 微软雅黑 13.3333 centre/centre",
        "DrawEllipse " + circle + " 0xC8C8C8@0.5 w=1"}},
      {kButtonCircular, 1, 3,
       {"FillEllipse " + circle + " 0xEDEDED@0.5", "DrawBitmap (14,24,30,36) 16x12 @1 linear",
        "DrawText \"开\" (15,23,37,49) 0x0000FF@1 微软雅黑 13.3333 centre/centre",
        "DrawEllipse " + circle + " 0xC8C8C8@0.5 w=1"}},
      {kButtonCircular, 2, 3,
       {"FillEllipse " + circle + " 0xD2F3EC@0.5", "DrawBitmap (14,24,34,34) 20x10 @1 linear",
        "DrawText \"关\" (15,23,37,49) 0x00FF00@1 微软雅黑 13.3333 centre/centre",
        "DrawEllipse " + circle + " 0xC8C8C8@0.5 w=1"}},
      {kButtonCircular, 3, 3,
       {"FillEllipse " + circle + " 0xD2F3EC@0.5", "DrawBitmap (14,24,34,34) 20x10 @1 linear",
        "DrawText \"关\" (15,23,37,49) 0x00FF00@1 微软雅黑 13.3333 centre/centre",
        "DrawEllipse " + circle + " 0xC8C8C8@0.5 w=1"}},

      // No text and no picture, whatever the texts and paths hold.
      {kButtonSwitch, 0, 4, {"FillGeometry 0xEDEDED@0.5", track, knob("(25,35)")[0], knob("(25,35)")[1]}},
      {kButtonSwitch, 1, 8, {"FillGeometry 0xEDEDED@0.5", track, knob("(28,35)")[0], knob("(28,35)")[1]}},
      {kButtonSwitch, 2, 9, {"FillGeometry 0xD2F3EC@0.5", track, knob("(95,35)")[0], knob("(95,35)")[1]}},
      {kButtonSwitch, 3, 10, {"FillGeometry 0xD2F3EC@0.5", track, knob("(92,35)")[0], knob("(92,35)")[1]}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "border style " << c.style << " state " << c.state);
    QlUiButton button;
    Place(button, c.style);
    button.SetState(c.state);
    EXPECT_EQ(button.painter.style, c.painterStyle);
    EXPECT_EQ(DrawBrief(button), c.calls);
    // The frame pass leaves the painter on the colour of the look.
    EXPECT_EQ(button.painter.fillColour, c.state > 1 ? kBk2 : kBk);
    EXPECT_EQ(button.painter.borderColour, 0xC8C8C8u);
  }
}

TEST_F(QlUiButtonTest, PicturePlacementByImageStyleAndBorderStyle) {
  struct Case {
    ButtonStyle style;
    ImageStyle imageStyle;
    int32_t state;
    const char* bitmap;  // null: none drawn
  };
  const Case cases[] = {
      // Stretched to the rectangle, clear of the frame.
      {kButtonFlat, kImageStretch, 0, "DrawBitmap (11,21,111,51) 16x12 @1 linear"},
      {kButtonRaised, kImageStretch, 0, "DrawBitmap (12,22,112,52) 16x12 @1 linear"},
      {kButtonCheckbox, kImageStretch, 0, "DrawBitmap (10,20,110,50) 16x12 @1 linear"},
      {kButtonCircular, kImageStretch, 0, "DrawBitmap (11,21,111,51) 16x12 @1 linear"},
      {kButtonRaised, kImageStretch, 2, "DrawBitmap (13,23,113,53) 20x10 @1 linear"},
      // Any style other than 0 stretches.
      {kButtonFlat, 7, 0, "DrawBitmap (11,21,111,51) 16x12 @1 linear"},
      // Actual size on a raised button: 4 right and down, 5 when pressed.
      {kButtonRaised, kImageActualSize, 0, "DrawBitmap (14,24,30,36) 16x12 @1 linear"},
      {kButtonRaised, kImageActualSize, 1, "DrawBitmap (15,25,31,37) 16x12 @1 linear"},
      {kButtonSwitch, kImageStretch, 2, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "border style " << c.style << " image style " << c.imageStyle
                                    << " state " << c.state);
    QlUiButton button;
    Place(button, c.style);
    button.data.imageStyle = c.imageStyle;
    button.SetState(c.state);
    EXPECT_EQ(Drawn(button, DrawOp::DrawBitmap), c.bitmap ? Lines{c.bitmap} : Lines{});
  }
}

TEST_F(QlUiButtonTest, AMissingPictureShowsThePlaceholderOrNothing) {
  QlUiButton button;
  Place(button, kButtonRaised);
  button.data.imagePath = "gone.png";
  // Without a placeholder resource nothing is drawn.
  EXPECT_EQ(Drawn(button, DrawOp::DrawBitmap), Lines{});

  BitmapCache::SetDefaultImageResource(kPlaceholderId, "PNG");
  EXPECT_EQ(Drawn(button, DrawOp::DrawBitmap), Lines{"DrawBitmap (14,24,74,75) 60x51 @1 linear"});

  // An empty path asks the cache for nothing, not even the placeholder.
  imaging_->fileRequests.clear();
  imaging_->resourceRequests.clear();
  button.data.imagePath.clear();
  EXPECT_EQ(Drawn(button, DrawOp::DrawBitmap), Lines{});
  EXPECT_TRUE(imaging_->fileRequests.empty());
  EXPECT_TRUE(imaging_->resourceRequests.empty());
}

TEST_F(QlUiButtonTest, TextIsTrimmedAndTheSharedFormatKeepsTheButtonsAlignment) {
  struct Case {
    ButtonStyle style;
    std::string text;
    const char* drawn;  // null: no text drawn
  };
  const Case cases[] = {
      {kButtonFlat, "  启动 \t", "DrawText \"启动\" (14,22,106,48) 0x0000FF@1 微软雅黑 13.3333 centre/centre"},
      {kButtonCheckbox, " 启动", "DrawText \"启动\" (42,22,106,48) 0x0000FF@1 微软雅黑 13.3333 leading/centre"},
      {kButtonFlat, "   ", nullptr},
      {kButtonFlat, "", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    QlUiButton button;
    Place(button, c.style);
    button.data.text = c.text;
    RecordingDrawContext d2;
    // Someone else left the shared format right-aligned at the top.
    TextFormat* format = d2.textFormats.GetFormat(100);
    ASSERT_NE(format, nullptr);
    format->SetTextAlignment(TextAlignment::Trailing);
    format->SetParagraphAlignment(ParagraphAlignment::Near);

    button.Draw(d2.Info());
    const Lines texts = DescribeDrawCalls(d2.target.CallsOf(DrawOp::DrawText));
    EXPECT_EQ(texts, c.drawn ? Lines{c.drawn} : Lines{});
    // Set even when there is nothing to draw.
    EXPECT_EQ(format->GetTextAlignment(),
              c.style == kButtonCheckbox ? TextAlignment::Leading : TextAlignment::Center);
    EXPECT_EQ(format->GetParagraphAlignment(), ParagraphAlignment::Center);
  }
}

TEST_F(QlUiButtonTest, TheFontSizePicksTheFormat) {
  QlUiButton button;
  Place(button, kButtonFlat);
  button.data.fontSize = 150;
  RecordingDrawContext d2;
  button.Draw(d2.Info());
  const std::vector<DrawCall> texts = d2.target.CallsOf(DrawOp::DrawText);
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_FLOAT_EQ(texts[0].fontSize, 150.0f * 96 / 720);
}

TEST_F(QlUiButtonTest, NothingIsDrawnWithoutTheCachesItNeeds) {
  QlUiButton button;
  Place(button, kButtonRaised);
  for (int missing = 0; missing < 3; ++missing) {
    SCOPED_TRACE(missing);
    RecordingDrawContext d2;
    D2ResInfo info = d2.Info();
    if (missing == 0) info.textFormatCache = nullptr;
    if (missing == 1) info.brushCache = nullptr;
    if (missing == 2) {
      info.renderTarget = nullptr;
    }
    button.Draw(info);
    EXPECT_TRUE(d2.target.calls.empty()) << FormatDrawCalls(d2.target.calls);
  }
  // Without a bitmap cache everything but the picture.
  RecordingDrawContext d2;
  D2ResInfo info = d2.Info();
  info.bitmapCache = nullptr;
  button.Draw(info);
  EXPECT_TRUE(d2.target.CallsOf(DrawOp::DrawBitmap).empty());
  EXPECT_EQ(d2.target.CallsOf(DrawOp::DrawText).size(), 1u);
  EXPECT_EQ(d2.target.CallsOf(DrawOp::DrawGeometry).size(), 2u);
}

TEST_F(QlUiButtonTest, ErrorMarkSitsOnTheButtonsRectangle) {
  QlUiButton button;
  Place(button, kButtonFlat);
  button.inError = true;
  RecordingDrawContext d2;
  button.DrawWithErrorMark(d2.Info());
  const std::vector<DrawCall> dots = d2.target.CallsOf(DrawOp::FillEllipse);
  ASSERT_EQ(dots.size(), 1u);
  EXPECT_EQ(dots[0].point0, (D2D_POINT_2F{106, 26}));
}

TEST_F(QlUiButtonTest, CloneCopiesEveryFieldAndBuildsItsOwnGeometry) {
  QlUiButton button;
  Place(button, kButtonRaised);
  QlUiButtonData& d = button.data;
  d.fontSize = 140;
  d.borderColour = 0x112233;
  d.bkColour = 0x445566;
  d.bkColour2 = 0x778899;
  d.imageStyle = kImageStretch;
  d.holdDelay = 15;
  d.accessPermission = 2;
  button.painter.borderWidth = 2.0f;
  button.painter.bevelWidth = 3.0f;
  button.painter.switchFrameWidth = 1.5f;
  button.SetState(2);
  button.selected = true;
  button.inError = true;
  button.SetErrorText("写地址异常.");
  button.errorTextWidth = 33.0f;
  button.errorTextHeight = 12.0f;
  button.SetState(0);
  DrawBrief(button);  // builds the bevel geometry

  // Moved without releasing: the original keeps its stale bevel.
  button.painter.rect = d.rect = {40, 60, 140, 90};
  const std::shared_ptr<QlUiButton> clone = button.Clone();
  ASSERT_NE(clone, nullptr);
  const QlUiButtonData& c = clone->data;
  EXPECT_EQ(c.rect, d.rect);
  EXPECT_EQ(c.text, "开");
  EXPECT_EQ(c.text2, "关");
  EXPECT_EQ(c.textColour, 0x0000FFu);
  EXPECT_EQ(c.textColour2, 0x00FF00u);
  EXPECT_EQ(c.fontSize, 140);
  EXPECT_EQ(c.borderColour, 0x112233u);
  EXPECT_EQ(c.borderStyle, kButtonRaised);
  EXPECT_EQ(c.bkColour, 0x445566u);
  EXPECT_EQ(c.bkColour2, 0x778899u);
  EXPECT_EQ(c.imageStyle, kImageStretch);
  EXPECT_EQ(c.imagePath, "a.png");
  EXPECT_EQ(c.imagePath2, "b.png");
  EXPECT_EQ(c.bkOpacity, 0.5f);
  EXPECT_EQ(c.state, 0);
  EXPECT_EQ(c.holdDelay, 15u);
  EXPECT_EQ(c.accessPermission, 2);
  EXPECT_TRUE(clone->shown);
  EXPECT_TRUE(clone->selected);
  EXPECT_TRUE(clone->inError);
  EXPECT_EQ(clone->errorText, "写地址异常.");
  EXPECT_EQ(clone->errorTextWidth, 33.0f);
  EXPECT_EQ(clone->errorTextHeight, 12.0f);

  const ShapePainter& p = clone->painter;
  EXPECT_EQ(p.cornerRadius, 4.0f);
  EXPECT_EQ(p.borderWidth, 2.0f);
  EXPECT_EQ(p.bevelWidth, 3.0f);
  EXPECT_EQ(p.switchFrameWidth, 1.5f);
  EXPECT_EQ(p.borderColour, button.painter.borderColour);
  EXPECT_EQ(p.fillColour, button.painter.fillColour);
  EXPECT_EQ(p.opacity, 0.5f);
  EXPECT_EQ(p.rect, d.rect);
  EXPECT_EQ(p.style, 1);

  auto lightEdgeStart = [](QlUiButton& b) {
    RecordingDrawContext d2;
    b.Draw(d2.Info());
    const std::vector<DrawCall> edges = d2.target.CallsOf(DrawOp::DrawGeometry);
    return edges.empty() || edges[0].figures.empty() ? D2D_POINT_2F{} : edges[0].figures[0].start;
  };
  // Half the bevel width in from the edges, the radius along the bottom.
  EXPECT_EQ(lightEdgeStart(*clone), (D2D_POINT_2F{40 + 1.5f + 4, 90 - 1.5f}));
  EXPECT_EQ(lightEdgeStart(button), (D2D_POINT_2F{10 + 1.5f + 4, 50 - 1.5f}));
}

TEST_F(QlUiButtonTest, ACloneOfAPressedButtonKeepsItsLook) {
  QlUiButton button;
  Place(button, kButtonSwitch);
  button.SetState(2);
  const std::shared_ptr<QlUiButton> clone = button.Clone();
  EXPECT_EQ(clone->data.state, 2);
  EXPECT_EQ(clone->painter.style, 9);
  EXPECT_EQ(DrawBrief(*clone), DrawBrief(button));
}
