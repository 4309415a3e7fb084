#include "QlUiElem/QlUiBtnUser.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "dx2d/RecordingDrawContext.h"

using namespace NsOvrin::NsQlUiElem;
using namespace NsOvrin::NsDx2d;
using Lines = std::vector<std::string>;

namespace {

void ExpectFrame(const ShapePainter& p, float radius, float bevel, int32_t style, COLORREF fill,
                 const D2D_RECT_F& rect) {
  EXPECT_EQ(p.cornerRadius, radius);
  EXPECT_EQ(p.borderWidth, 1.0f);
  EXPECT_EQ(p.bevelWidth, bevel);
  EXPECT_EQ(p.switchFrameWidth, 1.0f);
  EXPECT_EQ(p.style, style);
  EXPECT_EQ(p.borderColour, 0xC0C0C0u);
  EXPECT_EQ(p.fillColour, fill);
  EXPECT_EQ(p.opacity, 1.0f);
  EXPECT_EQ(p.rect, rect);
}

void ExpectText(const TextPainter& t, const std::string& text, COLORREF colour, const D2D_RECT_F& rect) {
  EXPECT_EQ(t.text, text);
  EXPECT_EQ(t.colour, colour);
  EXPECT_EQ(t.fontSize, 100);
  EXPECT_EQ(t.horizontalAlignment, 1);
  EXPECT_EQ(t.verticalAlignment, 1);
  EXPECT_EQ(t.rect, rect);
}

// The whole logged-out look of a login element laid out at (10,10,350,41).
const Lines kLoggedOutAt10{
    "FillRoundedRectangle (10,12,270,41) r=(4,4) 0xFFFFFF@1",
    "DrawRoundedRectangle (10.5,12.5,269.5,40.5) r=(4,4) 0xC0C0C0@1 w=1",
    "FillRoundedRectangle (170,10,350,41) r=(4,4) 0xF0F0F0@1",
    "DrawGeometry winding [hollow M(174.5,40.5) A(170.5,36.5) r=(4,4) cw small L(170.5,14.5) "
    "A(174.5,10.5) r=(4,4) cw small L(345.5,10.5) open] 0xFFFFFF@1 w=1",
    "DrawGeometry winding [hollow M(345.5,10.5) A(349.5,14.5) r=(4,4) cw small L(349.5,36.5) "
    "A(345.5,40.5) r=(4,4) cw small L(174.5,40.5) open] 0xC0C0C0@1 w=1",
    "DrawLine (270,11)-(270,41) 0xE0E0E0@1 w=1",
    "DrawText \"-- 请登录 --\" (10,10,170,41) 0x999999@1 微软雅黑 13.3333 centre/centre",
    "DrawText \"修改密码\" (170,10,270,41) 0xC0C0C0@1 微软雅黑 13.3333 centre/centre",
    "DrawText \"登 出\" (269,10,349,41) 0xC0C0C0@1 微软雅黑 13.3333 centre/centre",
};

Lines DrawOnce(QlUiBtnUser& element) {
  RecordingDrawContext d2;
  element.Draw(d2.Info());
  return d2.Calls();
}

}  // namespace

TEST(QlUiBtnUser, DefaultsLeaveEveryRectangleEmpty) {
  const QlUiBtnUser element;
  const D2D_RECT_F none{0, 0, 0, 0};
  EXPECT_EQ(element.rect, none);
  EXPECT_EQ(element.GetRect(), none);
  {
    SCOPED_TRACE("name box");
    ExpectFrame(element.nameBox, 5.0f, 1.3f, 0, 0xFFFFFF, none);
  }
  {
    SCOPED_TRACE("button strip");
    ExpectFrame(element.buttonStrip, 5.0f, 1.3f, 1, 0xF0F0F0, none);
  }
  ExpectText(element.nameLabel, "-- 请登录 --", 0x999999, none);
  ExpectText(element.passwordText, "修改密码", 0xC0C0C0, none);
  ExpectText(element.logoutText, "登 出", 0xC0C0C0, none);
  EXPECT_TRUE(element.shown);
  EXPECT_FALSE(element.selected);
  EXPECT_FALSE(element.inError);
}

TEST(QlUiBtnUser, APlacedElementIsLaidOutFromItsRectangle) {
  const std::shared_ptr<QlUiBtnUser> element = QlUiBtnUser::QlUiBtnUserAt({10, 10});
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(element->GetRect(), (D2D_RECT_F{10, 10, 350, 41}));
  {
    SCOPED_TRACE("name box");
    ExpectFrame(element->nameBox, 4.0f, 1.3f, 0, 0xFFFFFF, {10, 12, 270, 41});
  }
  {
    SCOPED_TRACE("button strip");
    ExpectFrame(element->buttonStrip, 4.0f, 1.0f, 1, 0xF0F0F0, {170, 10, 350, 41});
  }
  ExpectText(element->nameLabel, "-- 请登录 --", 0x999999, {10, 10, 170, 41});
  ExpectText(element->passwordText, "修改密码", 0xC0C0C0, {170, 10, 270, 41});
  ExpectText(element->logoutText, "登 出", 0xC0C0C0, {269, 10, 349, 41});
}

TEST(QlUiBtnUser, LayoutFollowsTheRightEdgeUnclamped) {
  struct Case {
    const char* name;
    D2D_RECT_F rect;
    D2D_RECT_F nameBox, strip, label, password, logout;
  };
  const Case cases[] = {
      {"wide", {0, 0, 500, 40}, {0, 2, 420, 40}, {320, 0, 500, 40}, {0, 0, 320, 40}, {320, 0, 420, 40},
       {419, 0, 499, 40}},
      // 150 wide: the strip starts 30 left of the element.
      {"narrow", {100, 50, 250, 81}, {100, 52, 170, 81}, {70, 50, 250, 81}, {100, 50, 70, 81},
       {70, 50, 170, 81}, {169, 50, 249, 81}},
      {"fractional", {0.5f, 1.5f, 340.5f, 32.5f}, {0.5f, 3.5f, 260.5f, 32.5f}, {160.5f, 1.5f, 340.5f, 32.5f},
       {0.5f, 1.5f, 160.5f, 32.5f}, {160.5f, 1.5f, 260.5f, 32.5f}, {259.5f, 1.5f, 339.5f, 32.5f}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QlUiBtnUser element;
    element.SetRect(c.rect);
    EXPECT_EQ(element.GetRect(), c.rect);
    EXPECT_EQ(element.nameBox.rect, c.nameBox);
    EXPECT_EQ(element.buttonStrip.rect, c.strip);
    EXPECT_EQ(element.nameLabel.rect, c.label);
    EXPECT_EQ(element.passwordText.rect, c.password);
    EXPECT_EQ(element.logoutText.rect, c.logout);
  }
}

TEST(QlUiBtnUser, DrawsTheLoggedOutLook) {
  const std::shared_ptr<QlUiBtnUser> element = QlUiBtnUser::QlUiBtnUserAt({10, 10});
  EXPECT_EQ(DrawOnce(*element), kLoggedOutAt10);
}

TEST(QlUiBtnUser, MovingRebuildsTheFrames) {
  const std::shared_ptr<QlUiBtnUser> element = QlUiBtnUser::QlUiBtnUserAt({0, 0});
  DrawOnce(*element);  // builds the strip's bevel at the old place
  element->SetRect({10, 10, 350, 41});
  EXPECT_EQ(DrawOnce(*element), kLoggedOutAt10);
}

TEST(QlUiBtnUser, TheDefaultLookIsRestored) {
  const std::shared_ptr<QlUiBtnUser> element = QlUiBtnUser::QlUiBtnUserAt({10, 10});
  element->nameLabel.text = "admin";
  element->nameLabel.colour = 0x000000;
  element->passwordText.colour = 0x333333;
  element->logoutText.colour = 0x333333;
  element->UpdateLoginLook();
  EXPECT_EQ(DrawOnce(*element), kLoggedOutAt10);

  element->nameBox.style = 5;
  element->buttonStrip.style = 0;
  element->buttonStrip.fillColour = 0x123456;
  element->nameBox.borderColour = 0x654321;
  element->passwordText.text = "x";
  element->logoutText.text = "";
  element->logoutText.fontSize = 240;
  element->nameLabel.horizontalAlignment = 0;
  element->passwordText.verticalAlignment = 2;
  element->nameLabel.text = "admin";
  DrawOnce(*element);
  // The look comes back; the layout stays.
  element->SetDefaultLook();
  EXPECT_EQ(DrawOnce(*element), kLoggedOutAt10);
}

TEST(QlUiBtnUser, NothingIsDrawnWithoutTheCachesItNeeds) {
  const std::shared_ptr<QlUiBtnUser> element = QlUiBtnUser::QlUiBtnUserAt({10, 10});
  for (int missing = 0; missing < 3; ++missing) {
    SCOPED_TRACE(missing);
    RecordingDrawContext d2;
    D2ResInfo info = d2.Info();
    if (missing == 0) info.renderTarget = nullptr;
    if (missing == 1) info.textFormatCache = nullptr;
    if (missing == 2) info.brushCache = nullptr;
    element->Draw(info);
    EXPECT_TRUE(d2.target.calls.empty()) << FormatDrawCalls(d2.target.calls);
  }
}

TEST(QlUiBtnUser, CloneKeepsTextsFramesAndLayout) {
  const std::shared_ptr<QlUiBtnUser> element = QlUiBtnUser::QlUiBtnUserAt({10, 10});
  element->selected = true;
  element->inError = true;
  element->SetErrorText("控制可见性的地址异常.");
  element->errorTextWidth = 60.0f;
  element->errorTextHeight = 9.0f;
  DrawOnce(*element);  // the original has its bevel geometry

  const std::shared_ptr<QlUiBtnUser> clone = element->Clone();
  ASSERT_NE(clone, nullptr);
  EXPECT_EQ(clone->GetRect(), (D2D_RECT_F{10, 10, 350, 41}));
  ExpectFrame(clone->nameBox, 4.0f, 1.3f, 0, 0xFFFFFF, {10, 12, 270, 41});
  ExpectFrame(clone->buttonStrip, 4.0f, 1.0f, 1, 0xF0F0F0, {170, 10, 350, 41});
  ExpectText(clone->nameLabel, "-- 请登录 --", 0x999999, {10, 10, 170, 41});
  ExpectText(clone->passwordText, "修改密码", 0xC0C0C0, {170, 10, 270, 41});
  ExpectText(clone->logoutText, "登 出", 0xC0C0C0, {269, 10, 349, 41});
  EXPECT_TRUE(clone->shown);
  EXPECT_TRUE(clone->selected);
  EXPECT_TRUE(clone->inError);
  EXPECT_EQ(clone->errorText, "控制可见性的地址异常.");
  EXPECT_EQ(clone->errorTextWidth, 60.0f);
  EXPECT_EQ(clone->errorTextHeight, 9.0f);
  EXPECT_EQ(DrawOnce(*clone), kLoggedOutAt10);

  // Its painters build their own geometry: moving the clone's strip without
  // releasing still draws the bevel at its new place on its first draw.
  const std::shared_ptr<QlUiBtnUser> second = element->Clone();
  second->buttonStrip.rect = {0, 0, 180, 31};
  RecordingDrawContext d2;
  second->Draw(d2.Info());
  const std::vector<DrawCall> edges = d2.target.CallsOf(DrawOp::DrawGeometry);
  ASSERT_EQ(edges.size(), 2u);
  EXPECT_EQ(edges[0].figures[0].start, (D2D_POINT_2F{4.5f, 30.5f}));
  EXPECT_EQ(DrawOnce(*element), kLoggedOutAt10);
}

TEST(QlUiBtnUser, ErrorMarkSitsOnTheElementRectangle) {
  const std::shared_ptr<QlUiBtnUser> element = QlUiBtnUser::QlUiBtnUserAt({10, 10});
  element->inError = true;
  RecordingDrawContext d2;
  element->DrawWithErrorMark(d2.Info());
  const std::vector<DrawCall> dots = d2.target.CallsOf(DrawOp::FillEllipse);
  ASSERT_EQ(dots.size(), 1u);
  EXPECT_EQ(dots[0].point0, (D2D_POINT_2F{346, 16}));
}
