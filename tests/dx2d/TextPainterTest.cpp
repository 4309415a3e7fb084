#include "dx2d/TextPainter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dx2d/RecordingDrawContext.h"

using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

namespace {

TextPainter MakeText(const std::string& text, uint16_t h, uint16_t v) {
  TextPainter painter;
  painter.rect = {10, 20, 110, 50};
  painter.text = text;
  painter.colour = 0x0000FF;
  painter.horizontalAlignment = h;
  painter.verticalAlignment = v;
  return painter;
}

}  // namespace

TEST(TextPainter, StartsDarkGreyAtTwelvePointTopLeading) {
  const TextPainter painter;
  EXPECT_EQ(painter.colour, 0x222222u);
  EXPECT_EQ(painter.fontSize, 120);
  EXPECT_EQ(painter.horizontalAlignment, 0);
  EXPECT_EQ(painter.verticalAlignment, 0);
}

TEST(TextPainter, DrawsTheWholeTextInItsBoxAtFullOpacity) {
  RecordingDrawContext d2;
  MakeText("温度 1", 1, 2).Draw(d2.Info());
  EXPECT_EQ(d2.Calls(), (Lines{"DrawText \"温度 1\" (10,20,110,50) 0x0000FF@1 微软雅黑 16 centre/far"}));
}

TEST(TextPainter, AlignmentsSetTheSharedFormatAndOtherValuesLeaveIt) {
  struct Case {
    uint16_t h, v;
    const char* expected;  // after the case before it
  };
  const Case cases[] = {
      {0, 0, "leading/near"},    {1, 1, "centre/centre"}, {2, 2, "trailing/far"},
      {3, 0, "trailing/near"},   {0, 9, "leading/near"},  {1, 2, "centre/far"},
      {65535, 65535, "centre/far"},
  };
  RecordingDrawContext d2;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.h) + "," + std::to_string(c.v));
    d2.target.calls.clear();
    MakeText("x", c.h, c.v).Draw(d2.Info());
    ASSERT_EQ(d2.target.calls.size(), 1u);
    const std::string line = d2.target.calls[0].ToString();
    EXPECT_EQ(line.substr(line.rfind(' ') + 1), c.expected);
  }
  // The format keeps what the last painter set, for whoever uses it next.
  EXPECT_EQ(d2.textFormats.GetFormat(120)->GetTextAlignment(), TextAlignment::Center);
  EXPECT_EQ(d2.textFormats.GetFormat(120)->GetParagraphAlignment(), ParagraphAlignment::Far);
}

TEST(TextPainter, SmallSizesDrawWithTheFivePointFormat) {
  RecordingDrawContext d2;
  TextPainter painter = MakeText("a", 0, 0);
  painter.fontSize = 30;
  painter.Draw(d2.Info());
  ASSERT_EQ(d2.target.calls.size(), 1u);
  EXPECT_FLOAT_EQ(d2.target.calls[0].fontSize, 50.0f * 96.0f / 720.0f);
}

TEST(TextPainter, DrawsNothingWithoutTextOrWhatItNeeds) {
  RecordingDrawContext d2;
  MakeText("", 0, 0).Draw(d2.Info());
  EXPECT_TRUE(d2.target.calls.empty());

  const TextPainter text = MakeText("a", 0, 0);
  for (int missing = 0; missing < 3; ++missing) {
    D2ResInfo info = d2.Info();
    if (missing == 0) info.renderTarget = nullptr;
    if (missing == 1) info.textFormatCache = nullptr;
    if (missing == 2) info.brushCache = nullptr;
    text.Draw(info);
  }
  EXPECT_TRUE(d2.target.calls.empty());

  d2.dwrite.failFormats = true;
  text.Draw(d2.Info());
  EXPECT_TRUE(d2.target.calls.empty());
}
