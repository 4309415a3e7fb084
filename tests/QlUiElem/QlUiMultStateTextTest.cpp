#include "QlUiElem/QlUiMultStateText.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dx2d/RecordingDrawContext.h"

using namespace NsOvrin::NsQlUiElem;
using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

namespace {

MultStateItem Item(const std::string& text, COLORREF textColour, int32_t fontSize, COLORREF bkColour,
                   float bkOpacity, uint16_t h, uint16_t v) {
  MultStateItem item;
  item.text = text;
  item.textColour = textColour;
  item.fontSize = fontSize;
  item.bkColour = bkColour;
  item.bkOpacity = bkOpacity;
  item.horizontalAlignment = h;
  item.verticalAlignment = v;
  return item;
}

// Three looks: opaque red fill, no fill, half-transparent fill.
std::vector<MultStateItem> ThreeStates() {
  return {Item("停止", 0x0000FF, 100, 0x0000FF, 1.0f, 0, 0),
          Item("运行", 0x00FF00, 120, 0xFFFFFF, 0.0f, 1, 1),
          Item("故障", 0x222222, 240, 0x00FFFF, 0.5f, 1, 2)};
}

Lines DrawnBy(QlUiMultStateText& text) {
  RecordingDrawContext d2;
  text.Draw(d2.Info());
  return d2.Calls();
}

}  // namespace

TEST(QlUiMultStateText, DefaultsOfANewElementAndOfAState) {
  const QlUiMultStateText text;
  EXPECT_TRUE(text.shown);
  EXPECT_FALSE(text.selected);
  EXPECT_FALSE(text.inError);
  EXPECT_EQ(text.rect, (D2D_RECT_F{0, 0, 0, 0}));
  EXPECT_EQ(text.GetRect(), (D2D_RECT_F{0, 0, 0, 0}));
  EXPECT_EQ(text.currentState, 0);
  EXPECT_TRUE(text.states.empty());

  const MultStateItem& item = DefaultMultStateItem();
  EXPECT_EQ(item.text, "");
  EXPECT_EQ(item.textColour, 0x000000u);
  EXPECT_EQ(item.fontSize, 100);
  EXPECT_EQ(item.bkColour, 0xFFFFFFu);
  EXPECT_EQ(item.bkOpacity, 0.0f);
  EXPECT_EQ(item.horizontalAlignment, 0);
  EXPECT_EQ(item.verticalAlignment, 0);
  EXPECT_EQ(&DefaultMultStateItem(), &item) << "one constant for the process";
  // A state made without settings is the default look.
  const MultStateItem made;
  EXPECT_EQ(made.text, item.text);
  EXPECT_EQ(made.textColour, item.textColour);
  EXPECT_EQ(made.fontSize, item.fontSize);
  EXPECT_EQ(made.bkColour, item.bkColour);
  EXPECT_EQ(made.bkOpacity, item.bkOpacity);
}

TEST(QlUiMultStateText, GetStateItemAnswersTheDefaultOutsideTheStates) {
  QlUiMultStateText text;
  text.states = ThreeStates();
  EXPECT_EQ(text.GetStateItem(0).text, "停止");
  EXPECT_EQ(text.GetStateItem(2).text, "故障");
  for (int32_t index : {-1, 3, 1000}) {
    SCOPED_TRACE(index);
    EXPECT_EQ(&text.GetStateItem(index), &DefaultMultStateItem());
  }
}

TEST(QlUiMultStateText, DrawsTheCurrentState) {
  struct Case {
    const char* name;
    int32_t state;
    Lines expected;
  };
  const Case cases[] = {
      {"state 0: opaque fill, top-leading", 0,
       {"FillRectangle (10,20,110,50) 0x0000FF@1",
        "DrawText \"停止\" (13,21,107,49) 0x0000FF@1 微软雅黑 13.3333 leading/near"}},
      {"state 1: no fill, the text on whatever lies behind", 1,
       {"DrawText \"运行\" (13,21,107,49) 0x00FF00@1 微软雅黑 16 centre/centre"}},
      {"state 2: centred at the bottom of the inset box", 2,
       {"FillRectangle (10,20,110,50) 0x00FFFF@0.5",
        "DrawText \"故障\" (13,21,107,49) 0x222222@1 微软雅黑 32 centre/far"}},
      {"state 3 of three: nothing", 3, {}},
      {"state -1 (no value matched): nothing", -1, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QlUiMultStateText text;
    text.rect = {10, 20, 110, 50};
    text.states = ThreeStates();
    text.currentState = c.state;
    EXPECT_EQ(DrawnBy(text), c.expected);
  }
}

TEST(QlUiMultStateText, WithoutStatesDrawsNothingAtAll) {
  QlUiMultStateText text;
  text.rect = {0, 0, 50, 20};
  EXPECT_EQ(DrawnBy(text), Lines{});
}

TEST(QlUiMultStateText, AlignmentsOutsideTheRangeKeepTheSharedFormatsSetting) {
  QlUiMultStateText text;
  text.rect = {0, 0, 100, 40};
  text.states = {Item("a", 0x000000, 100, 0xFFFFFF, 0.0f, 2, 1),
                 Item("b", 0x000000, 100, 0xFFFFFF, 0.0f, 7, 9)};
  RecordingDrawContext d2;
  text.currentState = 0;
  text.Draw(d2.Info());
  text.currentState = 1;
  text.Draw(d2.Info());
  EXPECT_EQ(d2.Calls(), (Lines{"DrawText \"a\" (3,1,97,39) 0x000000@1 微软雅黑 13.3333 trailing/centre",
                               "DrawText \"b\" (3,1,97,39) 0x000000@1 微软雅黑 13.3333 trailing/centre"}));
}

TEST(QlUiMultStateText, DrawsNothingWithoutTargetFormatsOrBrushes) {
  QlUiMultStateText text;
  text.rect = {0, 0, 100, 40};
  text.states = ThreeStates();
  for (int missing = 0; missing < 3; ++missing) {
    SCOPED_TRACE(missing);
    RecordingDrawContext d2;
    D2ResInfo info = d2.Info();
    if (missing == 0) info.renderTarget = nullptr;
    if (missing == 1) info.textFormatCache = nullptr;
    if (missing == 2) info.brushCache = nullptr;
    text.Draw(info);
    EXPECT_TRUE(d2.target.calls.empty()) << FormatDrawCalls(d2.target.calls);
  }
}

TEST(QlUiMultStateText, CloneCopiesEveryFieldAndStandsAlone) {
  QlUiMultStateText text;
  text.rect = {1, 2, 201, 42};
  text.states = ThreeStates();
  text.currentState = 2;
  text.shown = false;
  text.selected = true;
  text.inError = true;
  text.errorText = "读地址异常.";
  text.errorTextWidth = 40.5f;
  text.errorTextHeight = 9.5f;

  const std::shared_ptr<QlUiMultStateText> copy = text.Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->rect, (D2D_RECT_F{1, 2, 201, 42}));
  EXPECT_EQ(copy->currentState, 2);
  ASSERT_EQ(copy->states.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(i);
    const MultStateItem& a = text.states[i];
    const MultStateItem& b = copy->states[i];
    EXPECT_EQ(b.text, a.text);
    EXPECT_EQ(b.textColour, a.textColour);
    EXPECT_EQ(b.fontSize, a.fontSize);
    EXPECT_EQ(b.bkColour, a.bkColour);
    EXPECT_EQ(b.bkOpacity, a.bkOpacity);
    EXPECT_EQ(b.horizontalAlignment, a.horizontalAlignment);
    EXPECT_EQ(b.verticalAlignment, a.verticalAlignment);
  }
  EXPECT_FALSE(copy->shown);
  EXPECT_TRUE(copy->selected);
  EXPECT_TRUE(copy->inError);
  EXPECT_EQ(copy->errorText, "读地址异常.");
  EXPECT_EQ(copy->errorTextWidth, 40.5f);
  EXPECT_EQ(copy->errorTextHeight, 9.5f);

  copy->shown = true;
  copy->states[2].text = "changed";
  copy->states.pop_back();
  ASSERT_EQ(text.states.size(), 3u);
  EXPECT_EQ(text.states[2].text, "故障");
  text.shown = true;
  EXPECT_EQ(DrawnBy(text), (Lines{"FillRectangle (1,2,201,42) 0x00FFFF@0.5",
                                  "DrawText \"故障\" (4,3,198,41) 0x222222@1 微软雅黑 32 centre/far"}));
}
