#include "QlUiElem/QlUiPanel.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dx2d/RecordingDrawContext.h"

using namespace NsOvrin::NsQlUiElem;
using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

namespace {

// 200 x 100.
const D2D_RECT_F kRect{10, 20, 210, 120};

// The figure of a title bar and of a titled outline over kRect.
const std::string kTopCorners = " L(10,26) A(16,20) r=(6,6) cw small L(204,20) A(210,26) r=(6,6) cw small";
const std::string kTitleBar = "winding [filled M(10,50)" + kTopCorners + " L(210,50) L(10,50) closed]";
const std::string kOutline = "winding [filled M(10,120)" + kTopCorners + " L(210,120) L(10,120) closed]";

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

// Hands out geometries that were opened already, so their sink is refused.
class UsedGeometryFactory : public D2Factory {
 public:
  std::unique_ptr<PathGeometry> CreatePathGeometry() override {
    auto geometry = D2Factory::CreatePathGeometry();
    geometry->Open();
    return geometry;
  }
};

std::shared_ptr<QlUiPanel> Titled(const std::string& title) {
  auto panel = std::make_shared<QlUiPanel>();
  panel->SetRect(kRect);
  panel->title = title;
  return panel;
}

Lines DrawWith(QlUiPanel& panel, D2Factory* factory) {
  RecordingDrawContext d2;
  D2ResInfo info = d2.Info();
  info.d2Factory = factory;
  panel.Draw(info);
  return d2.Calls();
}

Lines DrawOnce(QlUiPanel& panel) {
  RecordingDrawContext d2;
  panel.Draw(d2.Info());
  return d2.Calls();
}

// The geometries drawn, in order.
std::vector<const PathGeometry*> GeometriesDrawn(QlUiPanel& panel, D2Factory& factory) {
  RecordingDrawContext d2;
  D2ResInfo info = d2.Info();
  info.d2Factory = &factory;
  panel.Draw(info);
  std::vector<const PathGeometry*> out;
  for (const DrawCall& call : d2.target.calls) {
    if (call.geometry != nullptr) out.push_back(call.geometry);
  }
  return out;
}

}  // namespace

TEST(QlUiPanel, Defaults) {
  QlUiPanel panel;
  EXPECT_EQ(panel.rect, (D2D_RECT_F{0, 0, 0, 0}));
  EXPECT_EQ(panel.GetRect(), (D2D_RECT_F{0, 0, 0, 0}));
  EXPECT_EQ(panel.title, "");
  EXPECT_EQ(panel.fontSize, 140);
  EXPECT_EQ(panel.textColour, 0x929292u);
  EXPECT_EQ(panel.titleBkColour, 0xEBEBEBu);
  EXPECT_EQ(panel.borderColour, 0xD7D2D2u);
  EXPECT_EQ(panel.bkColour, 0xF7F5F5u);
  EXPECT_TRUE(panel.shown);
  EXPECT_FALSE(panel.selected);
  EXPECT_FALSE(panel.inError);
}

TEST(QlUiPanel, DrawsBodyTitleBarAndFrame) {
  struct Case {
    const char* name;
    std::string title;
    int32_t fontSize;
    COLORREF text, titleBk, border, bk;
    Lines expected;
  };
  const Case cases[] = {
      {"no title: a filled rectangle with a 1-unit border", "", 140, 0x929292, 0xEBEBEB, 0xD7D2D2, 0xF7F5F5,
       {"FillRectangle (10,20,210,120) 0xF7F5F5@1", "DrawRectangle (10,20,210,120) 0xD7D2D2@1 w=1"}},
      {"default colours with a title", "设备状态", 140, 0x929292, 0xEBEBEB, 0xD7D2D2, 0xF7F5F5,
       {"FillRectangle (10,50,210,120) 0xF7F5F5@1", "FillGeometry " + kTitleBar + " 0xEBEBEB@1",
        "DrawText \"设备状态\" (10,20,210,50) 0x929292@1 微软雅黑 18.6667 centre/centre",
        "DrawGeometry " + kOutline + " 0xD7D2D2@1 w=1"}},
      {"own colours and size", "Tank 1", 240, 0x0000FF, 0x00FF00, 0xFF0000, 0x123456,
       {"FillRectangle (10,50,210,120) 0x123456@1", "FillGeometry " + kTitleBar + " 0x00FF00@1",
        "DrawText \"Tank 1\" (10,20,210,50) 0x0000FF@1 微软雅黑 32 centre/centre",
        "DrawGeometry " + kOutline + " 0xFF0000@1 w=1"}},
      // A blank is a title like any other.
      {"title of one blank", " ", 140, 0x929292, 0xEBEBEB, 0xD7D2D2, 0xF7F5F5,
       {"FillRectangle (10,50,210,120) 0xF7F5F5@1", "FillGeometry " + kTitleBar + " 0xEBEBEB@1",
        "DrawText \" \" (10,20,210,50) 0x929292@1 微软雅黑 18.6667 centre/centre",
        "DrawGeometry " + kOutline + " 0xD7D2D2@1 w=1"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::shared_ptr<QlUiPanel> held = Titled(c.title);
    QlUiPanel& panel = *held;
    panel.fontSize = c.fontSize;
    panel.textColour = c.text;
    panel.titleBkColour = c.titleBk;
    panel.borderColour = c.border;
    panel.bkColour = c.bk;
    EXPECT_EQ(DrawOnce(panel), c.expected);
  }
}

TEST(QlUiPanel, TheTitleCentresTheSharedFormat) {
  const std::shared_ptr<QlUiPanel> held = Titled("标题");
  QlUiPanel& panel = *held;
  RecordingDrawContext d2;
  TextFormat* format = d2.textFormats.GetFormat(140);
  ASSERT_NE(format, nullptr);
  format->SetTextAlignment(TextAlignment::Trailing);
  format->SetParagraphAlignment(ParagraphAlignment::Far);
  panel.Draw(d2.Info());
  EXPECT_EQ(format->GetTextAlignment(), TextAlignment::Center);
  EXPECT_EQ(format->GetParagraphAlignment(), ParagraphAlignment::Center);
}

TEST(QlUiPanel, GeometriesAreBuiltOnceAndRebuiltAfterAMove) {
  CountingD2Factory factory;
  const std::shared_ptr<QlUiPanel> held = Titled("标题");
  QlUiPanel& panel = *held;
  const std::vector<const PathGeometry*> first = GeometriesDrawn(panel, factory);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_EQ(factory.created, 2);
  EXPECT_EQ(GeometriesDrawn(panel, factory), first);
  EXPECT_EQ(factory.created, 2);
  EXPECT_EQ(panel.GetTitleBarGeometry(&factory), first[0]);
  EXPECT_EQ(panel.GetOutlineGeometry(&factory), first[1]);

  // Moved behind the panel's back: the old shapes stay until released.
  panel.rect = {0, 0, 50, 40};
  EXPECT_EQ(DrawWith(panel, &factory)[1], "FillGeometry " + kTitleBar + " 0xEBEBEB@1");
  panel.ReleaseGeometry();
  EXPECT_EQ(DrawWith(panel, &factory),
            (Lines{"FillRectangle (0,30,50,40) 0xF7F5F5@1",
                   "FillGeometry winding [filled M(0,30) L(0,6) A(6,0) r=(6,6) cw small L(44,0) A(50,6) "
                   "r=(6,6) cw small L(50,30) L(0,30) closed] 0xEBEBEB@1",
                   "DrawText \"标题\" (0,0,50,30) 0x929292@1 微软雅黑 18.6667 centre/centre",
                   "DrawGeometry winding [filled M(0,40) L(0,6) A(6,0) r=(6,6) cw small L(44,0) A(50,6) "
                   "r=(6,6) cw small L(50,40) L(0,40) closed] 0xD7D2D2@1 w=1"}));
  EXPECT_EQ(factory.created, 4);

  // SetRect releases them itself.
  panel.SetRect({100, 100, 300, 300});
  const Lines moved = DrawWith(panel, &factory);
  EXPECT_EQ(factory.created, 6);
  ASSERT_EQ(moved.size(), 4u);
  EXPECT_EQ(moved[1].rfind("FillGeometry winding [filled M(100,130) L(100,106) A(106,100)", 0), 0u) << moved[1];
  EXPECT_EQ(moved[3].rfind("DrawGeometry winding [filled M(100,300) L(100,106) A(106,100)", 0), 0u) << moved[3];
}

TEST(QlUiPanel, WithoutTitleNoGeometryIsMade) {
  CountingD2Factory factory;
  const std::shared_ptr<QlUiPanel> held = Titled("");
  QlUiPanel& panel = *held;
  EXPECT_TRUE(GeometriesDrawn(panel, factory).empty());
  EXPECT_EQ(factory.created, 0);

  // Asked directly, the outline of an untitled panel has square corners.
  const PathGeometry* outline = panel.GetOutlineGeometry(&factory);
  ASSERT_NE(outline, nullptr);
  ASSERT_EQ(outline->Figures().size(), 1u);
  const PathFigure& figure = outline->Figures()[0];
  EXPECT_EQ(figure.start, (D2D_POINT_2F{10, 120}));
  ASSERT_EQ(figure.segments.size(), 2u);
  EXPECT_EQ(figure.segments[0].point, (D2D_POINT_2F{210, 120}));
  EXPECT_EQ(figure.segments[1].point, (D2D_POINT_2F{10, 120}));
  EXPECT_EQ(figure.end, FigureEnd::Closed);
  EXPECT_EQ(outline->GetFillMode(), FillMode::Winding);
}

TEST(QlUiPanel, WithoutGeometriesTheTitleBarKeepsSquareCorners) {
  CountingD2Factory failing;
  failing.fail = true;
  UsedGeometryFactory used;
  struct Case {
    const char* name;
    D2Factory* factory;
  };
  const Case cases[] = {{"no factory", nullptr}, {"creation fails", &failing}, {"sink refused", &used}};
  const Lines expected{"FillRectangle (10,50,210,120) 0xF7F5F5@1", "FillRectangle (10,20,210,50) 0xEBEBEB@1",
                       "DrawText \"标题\" (10,20,210,50) 0x929292@1 微软雅黑 18.6667 centre/centre",
                       "DrawRectangle (10,20,210,120) 0xD7D2D2@1 w=1"};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::shared_ptr<QlUiPanel> held = Titled("标题");
    QlUiPanel& panel = *held;
    EXPECT_EQ(DrawWith(panel, c.factory), expected);
    EXPECT_EQ(panel.GetTitleBarGeometry(c.factory), nullptr);
    EXPECT_EQ(panel.GetOutlineGeometry(c.factory), nullptr);
  }
  // A later draw with a working factory builds them.
  const std::shared_ptr<QlUiPanel> held = Titled("标题");
  QlUiPanel& panel = *held;
  DrawWith(panel, nullptr);
  EXPECT_EQ(DrawOnce(panel)[1], "FillGeometry " + kTitleBar + " 0xEBEBEB@1");
}

TEST(QlUiPanel, NothingIsDrawnWithoutTheCachesItNeeds) {
  const std::shared_ptr<QlUiPanel> held = Titled("标题");
  QlUiPanel& panel = *held;
  for (int missing = 0; missing < 3; ++missing) {
    SCOPED_TRACE(missing);
    RecordingDrawContext d2;
    D2ResInfo info = d2.Info();
    if (missing == 0) info.renderTarget = nullptr;
    if (missing == 1) info.textFormatCache = nullptr;
    if (missing == 2) info.brushCache = nullptr;
    panel.Draw(info);
    EXPECT_TRUE(d2.target.calls.empty()) << FormatDrawCalls(d2.target.calls);
  }
}

TEST(QlUiPanel, CloneCopiesEveryFieldButNotTheGeometries) {
  CountingD2Factory factory;
  const std::shared_ptr<QlUiPanel> held = Titled("标题");
  QlUiPanel& panel = *held;
  panel.fontSize = 200;
  panel.textColour = 0x010203;
  panel.titleBkColour = 0x040506;
  panel.borderColour = 0x070809;
  panel.bkColour = 0x0A0B0C;
  panel.selected = true;
  panel.inError = true;
  panel.SetErrorText("控制可见性的地址为空!");
  panel.errorTextWidth = 70.0f;
  panel.errorTextHeight = 9.0f;
  const std::vector<const PathGeometry*> own = GeometriesDrawn(panel, factory);
  // Moved without releasing: the original keeps its stale shapes.
  panel.rect = {0, 0, 50, 40};

  const std::shared_ptr<QlUiPanel> clone = panel.Clone();
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(clone->rect, (D2D_RECT_F{0, 0, 50, 40}));
  EXPECT_EQ(clone->title, "标题");
  EXPECT_EQ(clone->fontSize, 200);
  EXPECT_EQ(clone->textColour, 0x010203u);
  EXPECT_EQ(clone->titleBkColour, 0x040506u);
  EXPECT_EQ(clone->borderColour, 0x070809u);
  EXPECT_EQ(clone->bkColour, 0x0A0B0Cu);
  EXPECT_TRUE(clone->shown);
  EXPECT_TRUE(clone->selected);
  EXPECT_TRUE(clone->inError);
  EXPECT_EQ(clone->errorText, "控制可见性的地址为空!");
  EXPECT_EQ(clone->errorTextWidth, 70.0f);
  EXPECT_EQ(clone->errorTextHeight, 9.0f);

  // The clone builds its own geometries, at its rectangle.
  const int before = factory.created;
  const std::vector<const PathGeometry*> cloned = GeometriesDrawn(*clone, factory);
  EXPECT_EQ(factory.created, before + 2);
  ASSERT_EQ(cloned.size(), 2u);
  EXPECT_NE(cloned[0], own[0]);
  EXPECT_NE(cloned[1], own[1]);
  EXPECT_EQ(cloned[0]->Figures()[0].start, (D2D_POINT_2F{0, 30}));
  EXPECT_EQ(cloned[1]->Figures()[0].start, (D2D_POINT_2F{0, 40}));
  EXPECT_EQ(GeometriesDrawn(panel, factory), own);
}

TEST(QlUiPanel, ErrorMarkSitsOnThePanelRectangle) {
  const std::shared_ptr<QlUiPanel> held = Titled("标题");
  QlUiPanel& panel = *held;
  panel.inError = true;
  RecordingDrawContext d2;
  panel.DrawWithErrorMark(d2.Info());
  const std::vector<DrawCall> dots = d2.target.CallsOf(DrawOp::FillEllipse);
  ASSERT_EQ(dots.size(), 1u);
  EXPECT_EQ(dots[0].point0, (D2D_POINT_2F{206, 26}));
}
