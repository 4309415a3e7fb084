#include "QlUiElem/QlUiText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dx2d/RecordingDrawContext.h"

using namespace NsOvrin::NsQlUiElem;
using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

TEST(QlUiText, StartsAsAnEmptyTopLeadingTextWithoutBackground) {
  const QlUiText text;
  EXPECT_EQ(text.rect, (D2D_RECT_F{0, 0, 0, 0}));
  EXPECT_EQ(text.GetRect(), (D2D_RECT_F{0, 0, 0, 0}));
  EXPECT_EQ(text.bkColor, 0xFFFFFFu);
  EXPECT_EQ(text.bkOpacity, 0.0f);
  EXPECT_EQ(text.textBox.rect, (D2D_RECT_F{0, 0, 0, 0}));
  EXPECT_EQ(text.textBox.text, "");
  EXPECT_EQ(text.textBox.colour, 0x222222u);
  EXPECT_EQ(text.textBox.fontSize, 120);
  EXPECT_EQ(text.textBox.horizontalAlignment, 0);
  EXPECT_EQ(text.textBox.verticalAlignment, 0);
  EXPECT_TRUE(text.shown);
  EXPECT_FALSE(text.inError);

  // Nothing to show: no fill, no text.
  RecordingDrawContext d2;
  QlUiText(text).Draw(d2.Info());
  EXPECT_TRUE(d2.target.calls.empty()) << FormatDrawCalls(d2.target.calls);
}

TEST(QlUiText, TheTextBoxIsInsetFourAcrossAndTwoDown) {
  QlUiText text;
  text.SetRect({10, 20, 110, 50});
  EXPECT_EQ(text.GetRect(), (D2D_RECT_F{10, 20, 110, 50}));
  EXPECT_EQ(text.textBox.rect, (D2D_RECT_F{14, 22, 106, 48}));
  EXPECT_EQ(TextBoxRectOf({-5.5f, 0, 2.5f, 3}), (D2D_RECT_F{-1.5f, 2, -1.5f, 1}));
}

TEST(QlUiText, DrawsTheBackgroundOnlyWhenNotTransparent) {
  struct Case {
    const char* name;
    COLORREF bkColor;
    float bkOpacity;
    std::string text;
    COLORREF textColour;
    int32_t fontSize;
    uint16_t h, v;
    Lines expected;
  };
  const Case cases[] = {
      {"transparent: text only", 0x0000FF, 0.0f, "温度", 0x222222, 120, 0, 0,
       {"DrawText \"温度\" (14,22,106,48) 0x222222@1 微软雅黑 16 leading/near"}},
      {"half-transparent red", 0x0000FF, 0.5f, "温度", 0x222222, 120, 1, 2,
       {"FillRectangle (10,20,110,50) 0x0000FF@0.5",
        "DrawText \"温度\" (14,22,106,48) 0x222222@1 微软雅黑 16 centre/far"}},
      {"opaque, other colours and size", 0x00FF00, 1.0f, "A b", 0xFF0000, 240, 2, 1,
       {"FillRectangle (10,20,110,50) 0x00FF00@1",
        "DrawText \"A b\" (14,22,106,48) 0xFF0000@1 微软雅黑 32 trailing/centre"}},
      {"background without text", 0xABCDEF, 0.25f, "", 0x222222, 120, 0, 0,
       {"FillRectangle (10,20,110,50) 0xABCDEF@0.25"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QlUiText text;
    text.SetRect({10, 20, 110, 50});
    text.bkColor = c.bkColor;
    text.bkOpacity = c.bkOpacity;
    text.textBox.text = c.text;
    text.textBox.colour = c.textColour;
    text.textBox.fontSize = c.fontSize;
    text.textBox.horizontalAlignment = c.h;
    text.textBox.verticalAlignment = c.v;
    RecordingDrawContext d2;
    text.Draw(d2.Info());
    EXPECT_EQ(d2.Calls(), c.expected);
  }
}

TEST(QlUiText, DrawsNothingWithoutTargetFormatsOrBrushes) {
  QlUiText text;
  text.SetRect({10, 20, 110, 50});
  text.bkOpacity = 1.0f;
  text.textBox.text = "x";
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

TEST(QlUiText, CloneCopiesEveryFieldAndStandsAlone) {
  QlUiText text;
  text.SetRect({1, 2, 301, 42});
  text.bkColor = 0x123456;
  text.bkOpacity = 0.75f;
  text.textBox.text = "报警";
  text.textBox.colour = 0x00AA00;
  text.textBox.fontSize = 90;
  text.textBox.horizontalAlignment = 2;
  text.textBox.verticalAlignment = 1;
  text.shown = false;
  text.selected = true;
  text.inError = true;
  text.errorText = "bad";
  text.errorTextWidth = 12.5f;
  text.errorTextHeight = 8.75f;

  const std::shared_ptr<QlUiText> copy = text.Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->rect, text.rect);
  EXPECT_EQ(copy->bkColor, 0x123456u);
  EXPECT_EQ(copy->bkOpacity, 0.75f);
  EXPECT_EQ(copy->textBox.rect, (D2D_RECT_F{5, 4, 297, 40}));
  EXPECT_EQ(copy->textBox.text, "报警");
  EXPECT_EQ(copy->textBox.colour, 0x00AA00u);
  EXPECT_EQ(copy->textBox.fontSize, 90);
  EXPECT_EQ(copy->textBox.horizontalAlignment, 2);
  EXPECT_EQ(copy->textBox.verticalAlignment, 1);
  EXPECT_FALSE(copy->shown);
  EXPECT_TRUE(copy->selected);
  EXPECT_TRUE(copy->inError);
  EXPECT_EQ(copy->errorText, "bad");
  EXPECT_EQ(copy->errorTextWidth, 12.5f);
  EXPECT_EQ(copy->errorTextHeight, 8.75f);

  copy->textBox.text = "changed";
  copy->SetRect({0, 0, 10, 10});
  EXPECT_EQ(text.textBox.text, "报警");
  EXPECT_EQ(text.rect, (D2D_RECT_F{1, 2, 301, 42}));
}
