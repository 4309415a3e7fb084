#include "QlUiElem/QlUiElem.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dx2d/RecordingDrawContext.h"

using namespace NsOvrin::NsQlUiElem;
using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

namespace {

// An element whose content is one grey rectangle.
class ProbeElem : public QlUiElem {
 public:
  explicit ProbeElem(D2D_RECT_F rect) : rect_(rect) {}
  void Draw(const D2ResInfo& d2) override {
    if (d2.renderTarget == nullptr || d2.brushCache == nullptr) return;
    d2.renderTarget->FillRectangle(rect_, *d2.brushCache->GetBrush(0x808080, 1.0f));
  }
  D2D_RECT_F GetRect() const override { return rect_; }

 private:
  D2D_RECT_F rect_;
};

const D2D_RECT_F kRect{100, 50, 200, 80};
// The dot's centre: 4 left of the right edge, 6 below the top.
constexpr float kCx = 196.0f;
constexpr float kCy = 56.0f;
// Size 70 in DIPs, and the recording factory's rule: half of it for a
// character below U+0080, all of it for another, lines 1.25 of it high.
constexpr float kDips = 70.0f * 96.0f / 720.0f;
constexpr float kLineHeight = 1.25f * kDips;

const std::string kContent = "FillRectangle (100,50,200,80) 0x808080@1";
const Lines kMark = {
    "FillEllipse c=(196,56) r=(6,6) 0x6667FE@0.9",
    "DrawLine (194,54)-(198,58) 0xFFFFFF@1 w=1.3",
    "DrawLine (198,54)-(194,58) 0xFFFFFF@1 w=1.3",
};

void ExpectRect(const D2D_RECT_F& actual, float left, float top, float right, float bottom) {
  EXPECT_NEAR(actual.left, left, 1e-4);
  EXPECT_NEAR(actual.top, top, 1e-4);
  EXPECT_NEAR(actual.right, right, 1e-4);
  EXPECT_NEAR(actual.bottom, bottom, 1e-4);
}

// The tip box and the text box for a measured text of this width and height.
void ExpectTip(const std::vector<DrawCall>& calls, float width, float height) {
  ASSERT_GE(calls.size(), 4u) << FormatDrawCalls(calls);
  const float textLeft = kCx + 6 + 4;
  const float textRight = textLeft + width + 4;
  EXPECT_EQ(calls[0].op, DrawOp::FillRectangle);
  EXPECT_EQ(calls[0].colour, 0x84F2EFu);
  EXPECT_FLOAT_EQ(calls[0].opacity, 0.8f);
  ExpectRect(calls[0].rect, kCx - 6 - 4, kCy - height / 2 - 4, textRight + 4, kCy + height / 2 + 4);
  const Lines dotAndCross = {calls[1].ToString(), calls[2].ToString(), calls[3].ToString()};
  EXPECT_EQ(dotAndCross, kMark);
  if (calls.size() > 4) {
    EXPECT_EQ(calls[4].op, DrawOp::DrawText);
    ExpectRect(calls[4].rect, textLeft, kCy - height / 2, textRight, kCy + height / 2);
  }
}

}  // namespace

TEST(QlUiElem, ShowsTheMarkOrTheTipByFlags) {
  struct Case {
    bool shown, selected, inError;
    Lines firstPass;  // DrawWithErrorMark
    bool tip;         // DrawErrorTip draws the tip
  };
  Lines contentAndMark = {kContent};
  contentAndMark.insert(contentAndMark.end(), kMark.begin(), kMark.end());
  const Case cases[] = {
      {true, false, false, {kContent}, false},
      {true, false, true, contentAndMark, true},
      {true, true, true, {kContent}, true},
      {true, true, false, {kContent}, false},
      {false, false, true, {}, false},
      {false, true, true, {}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "shown " << c.shown << " selected " << c.selected
                                    << " in error " << c.inError);
    ProbeElem elem(kRect);
    elem.shown = c.shown;
    elem.selected = c.selected;
    elem.inError = c.inError;
    elem.errorText = "读写地址不能为空!";

    RecordingDrawContext d2;
    elem.DrawWithErrorMark(d2.Info());
    EXPECT_EQ(d2.Calls(), c.firstPass);

    d2.target.calls.clear();
    elem.DrawErrorTip(d2.Info());
    if (c.tip) {
      ASSERT_EQ(d2.target.calls.size(), 5u) << FormatDrawCalls(d2.target.calls);
      EXPECT_EQ(d2.target.calls[4].text, "读写地址不能为空!");
    } else {
      EXPECT_TRUE(d2.target.calls.empty()) << FormatDrawCalls(d2.target.calls);
    }
  }
}

TEST(QlUiElem, TipIsLaidOutAroundTheMeasuredTextWithTrailingBlanks) {
  ProbeElem elem(kRect);
  elem.inError = true;
  elem.selected = true;
  elem.errorText = "地址 ";  // two wide characters and a trailing blank

  RecordingDrawContext d2;
  elem.DrawErrorTip(d2.Info());
  const float width = 2 * kDips + 0.5f * kDips;
  EXPECT_NEAR(elem.errorTextWidth, width, 1e-4);
  EXPECT_NEAR(elem.errorTextHeight, kLineHeight, 1e-4);

  const std::vector<DrawCall>& calls = d2.target.calls;
  ASSERT_EQ(calls.size(), 5u) << FormatDrawCalls(calls);
  ExpectTip(calls, width, kLineHeight);
  EXPECT_EQ(calls[4].text, "地址 ");
  EXPECT_EQ(calls[4].colour, 0x000000u);
  EXPECT_FLOAT_EQ(calls[4].opacity, 0.8f);
  EXPECT_FLOAT_EQ(calls[4].fontSize, kDips);
  EXPECT_EQ(calls[4].fontFamily, "微软雅黑");
}

TEST(QlUiElem, EmptyTextDrawsBoxDotAndCrossOnly) {
  ProbeElem elem(kRect);
  elem.inError = true;
  RecordingDrawContext d2;
  elem.DrawErrorTip(d2.Info());
  ASSERT_EQ(d2.target.calls.size(), 4u) << FormatDrawCalls(d2.target.calls);
  // The empty text measures as the layout reports it: no width, one line.
  EXPECT_EQ(elem.errorTextWidth, 0.0f);
  EXPECT_NEAR(elem.errorTextHeight, kLineHeight, 1e-4);
  ExpectTip(d2.target.calls, 0.0f, kLineHeight);
}

TEST(QlUiElem, TextIsMeasuredAgainOnlyAfterTheHeightWasReset) {
  ProbeElem elem(kRect);
  elem.inError = true;
  elem.errorText = "ab";
  RecordingDrawContext d2;

  // The mark alone measures too.
  elem.DrawWithErrorMark(d2.Info());
  EXPECT_EQ(d2.dwrite.layoutsCreated, 1);
  EXPECT_NEAR(elem.errorTextWidth, kDips, 1e-4);

  // A changed text with a stale height keeps the old tip size.
  elem.errorText = "abcdef";
  d2.target.calls.clear();
  elem.DrawErrorTip(d2.Info());
  EXPECT_EQ(d2.dwrite.layoutsCreated, 1);
  ExpectTip(d2.target.calls, kDips, kLineHeight);
  ASSERT_EQ(d2.target.calls.size(), 5u);
  EXPECT_EQ(d2.target.calls[4].text, "abcdef");

  // Setting the same text keeps the measurement; a different one drops it.
  elem.SetErrorText("abcdef");
  EXPECT_NEAR(elem.errorTextWidth, kDips, 1e-4);
  elem.SetErrorText("abc\nabcd");
  EXPECT_EQ(elem.errorTextWidth, 0.0f);
  EXPECT_EQ(elem.errorTextHeight, 0.0f);
  d2.target.calls.clear();
  elem.DrawErrorTip(d2.Info());
  EXPECT_EQ(d2.dwrite.layoutsCreated, 2);
  ExpectTip(d2.target.calls, 4 * 0.5f * kDips, 2 * kLineHeight);
}

TEST(QlUiElem, MissingResourcesDrawNothingOfTheMark) {
  ProbeElem elem(kRect);
  elem.inError = true;
  elem.errorText = "x";
  RecordingDrawContext d2;

  D2ResInfo noBrushes = d2.Info();
  noBrushes.brushCache = nullptr;
  elem.DrawWithErrorMark(noBrushes);
  elem.DrawErrorTip(noBrushes);
  EXPECT_TRUE(d2.target.calls.empty());

  // Without a text-format cache the text stays unmeasured and undrawn; the
  // next drawing with one measures it.
  D2ResInfo noFormats = d2.Info();
  noFormats.textFormatCache = nullptr;
  noFormats.dwriteFactory = nullptr;
  elem.DrawErrorTip(noFormats);
  EXPECT_EQ(d2.target.calls.size(), 4u) << FormatDrawCalls(d2.target.calls);
  EXPECT_EQ(elem.errorTextHeight, 0.0f);

  d2.target.calls.clear();
  elem.DrawErrorTip(d2.Info());
  EXPECT_EQ(d2.target.calls.size(), 5u);
  EXPECT_NEAR(elem.errorTextHeight, kLineHeight, 1e-4);
}
