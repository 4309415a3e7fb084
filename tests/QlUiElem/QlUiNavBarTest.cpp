#include "QlUiElem/QlUiNavBar.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dx2d/RecordingDrawContext.h"

using namespace NsOvrin::NsQlUiElem;
using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

namespace {

// A bar placed as the hosts place one, with its colours in step.
std::shared_ptr<QlUiNavBar> MakeBar(const D2D_RECT_F& rect, std::vector<std::string> labels) {
  auto bar = std::make_shared<QlUiNavBar>();
  bar->SetRect(rect);
  bar->labels = std::move(labels);
  return bar;
}

Lines DrawnBy(QlUiNavBar& bar) {
  RecordingDrawContext d2;
  bar.Draw(d2.Info());
  return d2.Calls();
}

}  // namespace

TEST(QlUiNavBar, DefaultsOfANewBar) {
  const QlUiNavBar bar;
  EXPECT_TRUE(bar.shown);
  EXPECT_FALSE(bar.selected);
  EXPECT_FALSE(bar.inError);
  EXPECT_EQ(bar.errorText, "");
  EXPECT_EQ(bar.rect, (D2D_RECT_F{0, 0, 0, 0}));
  EXPECT_EQ(bar.GetRect(), (D2D_RECT_F{0, 0, 0, 0}));
  EXPECT_EQ(bar.textColour, 0x333333u);
  EXPECT_EQ(bar.textColour2, 0x555555u);
  EXPECT_EQ(bar.fontSize, 105);
  EXPECT_EQ(bar.borderColour, 0xD1D1D1u);
  EXPECT_EQ(bar.bkColour, 0xEDEDEDu);
  EXPECT_EQ(bar.bkColour2, 0xF6F6F6u);
  EXPECT_FALSE(bar.fixedTabWidth);
  EXPECT_EQ(bar.tabWidth, 120.0f);
  EXPECT_TRUE(bar.horizontal);
  EXPECT_TRUE(bar.labels.empty());
  EXPECT_EQ(bar.selectedIndex, 0);

  const ShapePainter& p = bar.painter;
  EXPECT_EQ(p.cornerRadius, 0.0f);
  EXPECT_EQ(p.borderWidth, 1.0f);
  EXPECT_EQ(p.bevelWidth, 1.3f);
  EXPECT_EQ(p.switchFrameWidth, 1.0f);
  EXPECT_EQ(p.style, 0);
  EXPECT_EQ(p.borderColour, 0xD1D1D1u);
  EXPECT_EQ(p.fillColour, 0xEDEDEDu);
  EXPECT_EQ(p.opacity, 1.0f);
  EXPECT_EQ(p.rect, (D2D_RECT_F{0, 0, 0, 0}));
}

TEST(QlUiNavBar, ANewBarIsPlacedWithFourTabs) {
  const std::shared_ptr<QlUiNavBar> bar = QlUiNavBar::QlUiNavBarAt({100, 40});
  ASSERT_NE(bar, nullptr);
  EXPECT_EQ(bar->GetRect(), (D2D_RECT_F{100, 40, 610, 70}));
  EXPECT_EQ(bar->painter.rect, (D2D_RECT_F{100, 40, 610, 70}));
  EXPECT_EQ(bar->painter.cornerRadius, 0.0f);
  EXPECT_EQ(bar->labels, (std::vector<std::string>{"首页", "页面1", "页面2", "..."}));
  EXPECT_EQ(bar->selectedIndex, 0);
  EXPECT_EQ(bar->fontSize, 105);
  EXPECT_TRUE(bar->horizontal);
}

TEST(QlUiNavBar, TabRects) {
  struct Case {
    const char* name;
    D2D_RECT_F rect;
    bool horizontal;
    bool fixed;
    float tabWidth;
    int labels;
    int32_t index;
    D2D_RECT_F expected;
  };
  const Case cases[] = {
      {"equal share of 510 among four", {0, 0, 510, 30}, true, false, 120, 4, 1, {127.5f, 0, 255, 30}},
      {"equal share, last tab ends at the right", {10, 5, 520, 35}, true, false, 120, 4, 3,
       {392.5f, 5, 520, 35}},
      {"fixed 120: the fourth tab ends at 480", {0, 0, 510, 30}, true, true, 120, 4, 3, {360, 0, 480, 30}},
      {"fixed tabs may run past the bar", {0, 0, 200, 30}, true, true, 120, 4, 3, {360, 0, 480, 30}},
      {"fixed 0.5 counts as 1", {0, 0, 510, 30}, true, true, 0.5f, 4, 2, {2, 0, 3, 30}},
      {"fixed 0 counts as 1", {0, 0, 510, 30}, true, true, 0.0f, 4, 1, {1, 0, 2, 30}},
      {"fixed negative counts as 1", {0, 0, 510, 30}, true, true, -7.0f, 4, 1, {1, 0, 2, 30}},
      {"no labels: 10 wide", {20, 0, 510, 30}, true, false, 120, 0, 2, {40, 0, 50, 30}},
      {"vertical 200 high with four: 50 high, full width", {0, 0, 80, 200}, false, false, 120, 4, 2,
       {0, 100, 80, 150}},
      {"vertical fixed height", {5, 10, 85, 200}, false, true, 40, 4, 1, {5, 50, 85, 90}},
      {"vertical without labels: 10 high", {5, 10, 85, 200}, false, false, 40, 0, 1, {5, 20, 85, 30}},
      {"an index past the labels goes on at the same step", {0, 0, 100, 30}, true, false, 120, 2, 3,
       {150, 0, 200, 30}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::shared_ptr<QlUiNavBar> owner = MakeBar(c.rect, std::vector<std::string>(c.labels, "x"));
    QlUiNavBar& bar = *owner;
    bar.horizontal = c.horizontal;
    bar.fixedTabWidth = c.fixed;
    bar.tabWidth = c.tabWidth;
    EXPECT_EQ(bar.GetTabRect(c.index), c.expected);
  }
}

TEST(QlUiNavBar, Drawing) {
  struct Case {
    const char* name;
    std::vector<std::string> labels;
    int32_t selectedIndex;
    bool horizontal;
    Lines expected;
  };
  const std::string frame = "DrawRectangle (0,0,400,30) 0xD1D1D1@1 w=1";
  const std::string background = "FillRectangle (0,0,400,30) 0xEDEDED@1";
  const Case cases[] = {
      {"no labels: background and frame only", {}, 0, true, {background, frame}},
      {"the selected tab is filled and uses the second text colour",
       {"首页", "页面1"},
       1,
       true,
       {background, "DrawText \"首页\" (0,0,200,30) 0x333333@1 微软雅黑 14 centre/centre",
        "FillRectangle (200,0,400,30) 0xF6F6F6@1",
        "DrawText \"页面1\" (200,0,400,30) 0x555555@1 微软雅黑 14 centre/centre", frame}},
      {"an empty label draws no text, even when selected",
       {"", "b"},
       0,
       true,
       {background, "FillRectangle (0,0,200,30) 0xF6F6F6@1",
        "DrawText \"b\" (200,0,400,30) 0x333333@1 微软雅黑 14 centre/centre", frame}},
      {"a selected index past the labels highlights none",
       {"a", "b"},
       2,
       true,
       {background, "DrawText \"a\" (0,0,200,30) 0x333333@1 微软雅黑 14 centre/centre",
        "DrawText \"b\" (200,0,400,30) 0x333333@1 微软雅黑 14 centre/centre", frame}},
      {"a negative selected index highlights none",
       {"a"},
       -1,
       true,
       {background, "DrawText \"a\" (0,0,400,30) 0x333333@1 微软雅黑 14 centre/centre", frame}},
      {"vertical tabs",
       {"a", "b", "c"},
       0,
       false,
       {background, "FillRectangle (0,0,400,10) 0xF6F6F6@1",
        "DrawText \"a\" (0,0,400,10) 0x555555@1 微软雅黑 14 centre/centre",
        "DrawText \"b\" (0,10,400,20) 0x333333@1 微软雅黑 14 centre/centre",
        "DrawText \"c\" (0,20,400,30) 0x333333@1 微软雅黑 14 centre/centre", frame}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::shared_ptr<QlUiNavBar> owner = MakeBar({0, 0, 400, 30}, c.labels);
    QlUiNavBar& bar = *owner;
    bar.selectedIndex = c.selectedIndex;
    bar.horizontal = c.horizontal;
    EXPECT_EQ(DrawnBy(bar), c.expected);
  }
}

TEST(QlUiNavBar, DrawsWithItsOwnColoursAndSize) {
  const std::shared_ptr<QlUiNavBar> owner = MakeBar({10, 20, 130, 50}, {"甲", "乙"});
  QlUiNavBar& bar = *owner;
  bar.SetBkColour(0x112233);
  bar.SetBorderColour(0x0000FF);
  bar.bkColour2 = 0x00FF00;
  bar.textColour = 0xABCDEF;
  bar.textColour2 = 0x123456;
  bar.fontSize = 240;
  bar.fixedTabWidth = true;
  bar.tabWidth = 80;
  bar.selectedIndex = 0;
  EXPECT_EQ(DrawnBy(bar), (Lines{"FillRectangle (10,20,130,50) 0x112233@1",
                                 "FillRectangle (10,20,90,50) 0x00FF00@1",
                                 "DrawText \"甲\" (10,20,90,50) 0x123456@1 微软雅黑 32 centre/centre",
                                 "DrawText \"乙\" (90,20,170,50) 0xABCDEF@1 微软雅黑 32 centre/centre",
                                 "DrawRectangle (10,20,130,50) 0x0000FF@1 w=1"}));
}

TEST(QlUiNavBar, SetRectKeepsTheFrameSquareAndRebuilt) {
  const std::shared_ptr<QlUiNavBar> owner = MakeBar({0, 0, 100, 30}, {"a"});
  QlUiNavBar& bar = *owner;
  bar.painter.cornerRadius = 4.0f;
  bar.SetRect({5, 6, 305, 36});
  EXPECT_EQ(bar.GetRect(), (D2D_RECT_F{5, 6, 305, 36}));
  EXPECT_EQ(bar.painter.rect, (D2D_RECT_F{5, 6, 305, 36}));
  EXPECT_EQ(bar.painter.cornerRadius, 0.0f);
  // A rounded frame would be drawn as a rounded rectangle.
  const Lines drawn = DrawnBy(bar);
  ASSERT_FALSE(drawn.empty());
  EXPECT_EQ(drawn.back(), "DrawRectangle (5,6,305,36) 0xD1D1D1@1 w=1");
}

TEST(QlUiNavBar, DrawsNothingWithoutTargetFormatsOrBrushes) {
  const std::shared_ptr<QlUiNavBar> owner = MakeBar({0, 0, 100, 30}, {"a", "b"});
  QlUiNavBar& bar = *owner;
  for (int missing = 0; missing < 3; ++missing) {
    SCOPED_TRACE(missing);
    RecordingDrawContext d2;
    D2ResInfo info = d2.Info();
    if (missing == 0) info.renderTarget = nullptr;
    if (missing == 1) info.textFormatCache = nullptr;
    if (missing == 2) info.brushCache = nullptr;
    bar.Draw(info);
    EXPECT_TRUE(d2.target.calls.empty()) << FormatDrawCalls(d2.target.calls);
  }
}

TEST(QlUiNavBar, CloneCopiesEveryFieldAndStandsAlone) {
  const std::shared_ptr<QlUiNavBar> owner = MakeBar({1, 2, 301, 32}, {"首页", "", "设置"});
  QlUiNavBar& bar = *owner;
  bar.textColour = 0x010203;
  bar.textColour2 = 0x040506;
  bar.fontSize = 90;
  bar.SetBorderColour(0x070809);
  bar.SetBkColour(0x0A0B0C);
  bar.bkColour2 = 0x0D0E0F;
  bar.fixedTabWidth = true;
  bar.tabWidth = 77.5f;
  bar.horizontal = false;
  bar.selectedIndex = 2;
  bar.shown = false;
  bar.selected = true;
  bar.inError = true;
  bar.errorText = "页面'P9'不存在.";
  bar.errorTextWidth = 30.5f;
  bar.errorTextHeight = 9.25f;
  // Geometry the painter may have cached is not what the copy shares.
  bar.painter.style = 1;
  {
    RecordingDrawContext d2;
    bar.Draw(d2.Info());
  }

  const std::shared_ptr<QlUiNavBar> copy = bar.Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->rect, (D2D_RECT_F{1, 2, 301, 32}));
  EXPECT_EQ(copy->textColour, 0x010203u);
  EXPECT_EQ(copy->textColour2, 0x040506u);
  EXPECT_EQ(copy->fontSize, 90);
  EXPECT_EQ(copy->borderColour, 0x070809u);
  EXPECT_EQ(copy->bkColour, 0x0A0B0Cu);
  EXPECT_EQ(copy->bkColour2, 0x0D0E0Fu);
  EXPECT_TRUE(copy->fixedTabWidth);
  EXPECT_EQ(copy->tabWidth, 77.5f);
  EXPECT_FALSE(copy->horizontal);
  EXPECT_EQ(copy->labels, (std::vector<std::string>{"首页", "", "设置"}));
  EXPECT_EQ(copy->selectedIndex, 2);
  EXPECT_FALSE(copy->shown);
  EXPECT_TRUE(copy->selected);
  EXPECT_TRUE(copy->inError);
  EXPECT_EQ(copy->errorText, "页面'P9'不存在.");
  EXPECT_EQ(copy->errorTextWidth, 30.5f);
  EXPECT_EQ(copy->errorTextHeight, 9.25f);
  EXPECT_EQ(copy->painter.rect, (D2D_RECT_F{1, 2, 301, 32}));
  EXPECT_EQ(copy->painter.cornerRadius, 0.0f);
  EXPECT_EQ(copy->painter.borderColour, 0x070809u);
  EXPECT_EQ(copy->painter.fillColour, 0x0A0B0Cu);
  EXPECT_EQ(copy->painter.opacity, 1.0f);
  EXPECT_EQ(copy->painter.style, 1);
  EXPECT_EQ(copy->painter.bevelWidth, 1.3f);

  // The copy draws the same and owns its own geometry.
  RecordingDrawContext a, b;
  bar.Draw(a.Info());
  copy->Draw(b.Info());
  EXPECT_EQ(a.Calls(), b.Calls());
  const auto geometriesOf = [](const RecordingDrawContext& d2) {
    std::vector<const PathGeometry*> out;
    for (const DrawCall& call : d2.target.CallsOf(DrawOp::DrawGeometry)) out.push_back(call.geometry);
    return out;
  };
  ASSERT_FALSE(geometriesOf(a).empty());
  for (const PathGeometry* g : geometriesOf(b)) {
    for (const PathGeometry* h : geometriesOf(a)) EXPECT_NE(g, h);
  }

  copy->labels[0] = "changed";
  copy->SetRect({0, 0, 10, 10});
  EXPECT_EQ(bar.labels[0], "首页");
  EXPECT_EQ(bar.painter.rect, (D2D_RECT_F{1, 2, 301, 32}));
}
