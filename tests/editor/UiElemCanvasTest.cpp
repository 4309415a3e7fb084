// The page canvas: coordinates and scrolling, frames, hit tests, the mouse
// state machine, insertion through the element tool, cursor and refresh.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "CanvasFixture.h"
#include "dx2d/RecordingRenderTarget.h"

namespace NsOvrin::NsUiD2ElemEditor {
namespace {

using NsDx2d::operator<<;
using Testing::CanvasFixture;
using Testing::HostOf;
using Testing::SelLog;
using Elems = std::vector<std::shared_ptr<UiElem>>;
using Strings = std::vector<std::string>;

// ---- coordinates and scrolling ----

class CanvasScroll : public CanvasFixture {
 protected:
  // A window smaller than the page, so both bars can move.
  void AttachWithScale(float scale, float width = 600, float height = 480) {
    DpiScale = scale;
    window.client = {400, 300};
    page = MakePage("页面1", width, height);
    canvas.AttachPage(&window, page);
  }
};

TEST_F(CanvasScroll, AttachSetsBothBarsFromThePageSizeAndScale) {
  struct Case {
    float scale, width, height;
    int extentX, extentY;
  };
  const Case cases[] = {
      {1.0f, 600, 480, 680, 560},
      {1.5f, 600, 480, 1020, 840},    // 1020.5 and 840.5 truncated
      {1.25f, 601, 333, 851, 516},    // 851.75 and 516.75
      {2.0f, 1024, 768, 2208, 1696},  // 2208.5 and 1696.5
      {0.0f, 600, 480, 680, 560},     // an unavailable scale counts as 1
      // Sizes a page file may claim stay within what a bar holds.
      {1.0f, 3e38f, -500, std::numeric_limits<int>::max(), 0},
      {1.0f, std::numeric_limits<float>::quiet_NaN(), 480, 0, 560},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << "scale " << c.scale << " page " << c.width << "x" << c.height);
    AttachWithScale(c.scale, c.width, c.height);
    EXPECT_EQ(window.horz.minPos, 0);
    EXPECT_EQ(window.horz.maxPos, c.extentX);
    EXPECT_EQ(window.horz.page, 400);
    EXPECT_EQ(window.vert.maxPos, c.extentY);
    EXPECT_EQ(window.vert.page, 300);
  }
}

TEST_F(CanvasScroll, WithoutAPageTheCanvasHasTheDefaultSize) {
  canvas.AttachPage(&window, nullptr);
  EXPECT_EQ(canvas.GetPageSize(), (NsDx2d::D2D_SIZE_F{600, 480}));
  EXPECT_EQ(window.horz.maxPos, 680);
  EXPECT_EQ(window.vert.maxPos, 560);
}

TEST_F(CanvasScroll, ScrollRequestsMoveTheBarAndTheOffsetInPageUnits) {
  AttachWithScale(1.5f);  // vertical: range 0..840, page 300, last position 541
  struct Case {
    const char* name;
    ScrollRequest request;
    int thumb;
    int expectedPos;
  };
  const Case cases[] = {
      {"line up", ScrollRequest::LineUp, 0, 80},
      {"line down", ScrollRequest::LineDown, 0, 120},
      {"page up", ScrollRequest::PageUp, 0, 0},  // kept within the range
      {"page down", ScrollRequest::PageDown, 0, 400},
      {"thumb position", ScrollRequest::ThumbPosition, 250, 250},
      {"thumb track", ScrollRequest::ThumbTrack, 333, 333},
      {"top", ScrollRequest::Top, 0, 0},
      {"bottom", ScrollRequest::Bottom, 0, 541},  // the last full page
      {"thumb beyond", ScrollRequest::ThumbTrack, 5000, 541},
      {"end of scrolling", ScrollRequest::EndScroll, 0, 100},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    canvas.ScrollBar(ScrollBarId::Vertical, ScrollRequest::ThumbPosition, 100);
    const int framesBefore = window.Frames();
    canvas.ScrollBar(ScrollBarId::Vertical, c.request, c.thumb);
    EXPECT_EQ(window.vert.pos, c.expectedPos);
    EXPECT_FLOAT_EQ(canvas.GetScrollOffset().y, static_cast<float>(c.expectedPos) / 1.5f);
    EXPECT_FLOAT_EQ(canvas.GetScrollOffset().x, 0.0f);
    EXPECT_EQ(window.Frames() - framesBefore, c.expectedPos != 100 ? 1 : 0)
        << "a repaint only when the position changed";
  }
}

TEST_F(CanvasScroll, ThePageStepIsTheClientSizeOfItsBar) {
  AttachWithScale(1.0f);  // horizontal: range 0..680, page 400
  canvas.ScrollBar(ScrollBarId::Horizontal, ScrollRequest::PageDown, 0);
  EXPECT_EQ(window.horz.pos, 281);  // 400 kept at 680 - 400 + 1
  canvas.ScrollBar(ScrollBarId::Horizontal, ScrollRequest::PageUp, 0);
  EXPECT_EQ(window.horz.pos, 0);
  EXPECT_FLOAT_EQ(canvas.GetScrollOffset().x, 0.0f);
}

TEST_F(CanvasScroll, ResizeSetsThePagesAndTakesThePositionsTheBarsKept) {
  AttachWithScale(1.5f);
  canvas.ScrollBar(ScrollBarId::Horizontal, ScrollRequest::Bottom, 0);  // 1020 - 400 + 1
  canvas.ScrollBar(ScrollBarId::Vertical, ScrollRequest::Bottom, 0);    // 840 - 300 + 1
  ASSERT_EQ(window.horz.pos, 621);
  ASSERT_EQ(window.vert.pos, 541);
  const int framesBefore = window.Frames();

  canvas.Resize(900, 500);

  EXPECT_EQ(window.horz.page, 900);
  EXPECT_EQ(window.vert.page, 500);
  EXPECT_EQ(window.horz.pos, 121);
  EXPECT_EQ(window.vert.pos, 341);
  EXPECT_FLOAT_EQ(canvas.GetScrollOffset().x, 121 / 1.5f);
  EXPECT_FLOAT_EQ(canvas.GetScrollOffset().y, 341 / 1.5f);
  EXPECT_EQ(window.resizedTarget, canvas.GetRenderTarget());
  EXPECT_EQ(window.resizedTo, (D2D_SIZE_U{900, 500}));
  EXPECT_EQ(window.Frames(), framesBefore + 1);
}

TEST_F(CanvasScroll, ClientPointsBecomePagePointsThroughScaleAndScroll) {
  AttachWithScale(1.5f);
  canvas.ScrollBar(ScrollBarId::Horizontal, ScrollRequest::ThumbPosition, 30);  // 20 units
  canvas.ScrollBar(ScrollBarId::Vertical, ScrollRequest::ThumbPosition, 90);    // 60 units
  struct Case {
    D2D_POINT_2F client, page;
  };
  const Case cases[] = {
      {{0, 0}, {20, 60}},
      {{45, 90}, {50, 120}},
      {{150, 3}, {120, 62}},
  };
  for (const Case& c : cases) EXPECT_EQ(canvas.ToPagePoint(c.client), c.page) << c.client;
}

TEST_F(CanvasScroll, AClickHitsTheElementUnderTheScaledScrolledPoint) {
  AttachWithScale(2.0f);
  const auto a = AddElem({100, 100, 200, 150});
  canvas.ScrollBar(ScrollBarId::Horizontal, ScrollRequest::ThumbPosition, 60);  // 30 units
  SelLog log;

  Click({150, 200});  // page (105, 100): inside, though (150, 200) is not
  EXPECT_EQ(Members(), Elems{a});
  Click({390, 240});  // page (225, 120): right of it, though (390, 240) would miss too
  EXPECT_TRUE(Members().empty());
  Click({100, 120});  // page (80, 60): outside, though the unscaled point is inside
  EXPECT_TRUE(Members().empty());
  EXPECT_EQ(log.events, (Strings{"changed 1", "page 页面1", "page 页面1"}));
}

// ---- frames ----

class CanvasPaint : public CanvasFixture {};

TEST_F(CanvasPaint, AFrameDrawsPageElementsFramesHandlesAndOverlaysInOrder) {
  page->backgroundColour = 0xF0E0D0;
  const auto a = AddElem({40, 40, 100, 80}, 0x0000FF);
  const auto b = AddElem({120, 40, 180, 80}, 0x00FF00);
  const auto c = AddElem({150, 60, 250, 90}, 0xFF0000);
  Select({b, c});  // b anchored

  canvas.Paint();

  EXPECT_EQ(window.Calls(), (Strings{
                                "BeginDraw",
                                "Clear 0xABABAB@1",
                                "SetTransform [1 0 0 1 0 0]",
                                "FillRectangle (20,20,620,500) 0xF0E0D0@1",
                                "DrawRectangle (20,20,620,500) 0x333333@1 w=1",
                                "FillRectangle (40,40,100,80) 0x0000FF@1",
                                "FillRectangle (120,40,180,80) 0x00FF00@1",
                                // b's frame, anchored colours
                                "DrawRectangle (116,36,184,84) 0x4AA657@1 w=1",
                                "FillRectangle (112,32,120,40) 0x8AF697@1",
                                "DrawRectangle (112,32,120,40) 0x4AA657@1 w=1",
                                "FillRectangle (180,32,188,40) 0x8AF697@1",
                                "DrawRectangle (180,32,188,40) 0x4AA657@1 w=1",
                                "FillRectangle (180,80,188,88) 0x8AF697@1",
                                "DrawRectangle (180,80,188,88) 0x4AA657@1 w=1",
                                "FillRectangle (112,80,120,88) 0x8AF697@1",
                                "DrawRectangle (112,80,120,88) 0x4AA657@1 w=1",
                                // c covers b's frame, then its own frame
                                "FillRectangle (150,60,250,90) 0xFF0000@1",
                                "DrawRectangle (146,56,254,94) 0xFFA62C@1 w=1",
                                "FillRectangle (142,52,150,60) 0xE6E6E6@1",
                                "DrawRectangle (142,52,150,60) 0xFFA62C@1 w=1",
                                "FillRectangle (250,52,258,60) 0xE6E6E6@1",
                                "DrawRectangle (250,52,258,60) 0xFFA62C@1 w=1",
                                "FillRectangle (250,90,258,98) 0xE6E6E6@1",
                                "DrawRectangle (250,90,258,98) 0xFFA62C@1 w=1",
                                "FillRectangle (142,90,150,98) 0xE6E6E6@1",
                                "DrawRectangle (142,90,150,98) 0xFFA62C@1 w=1",
                                // second pass: overlays of the selected ones
                                "FillEllipse c=(180,40) r=(2,2) 0x00FF00@1",
                                "FillEllipse c=(250,60) r=(2,2) 0xFF0000@1",
                                "EndDraw",
                            }))
      << NsDx2d::FormatDrawCalls(window.lastTarget->calls);
}

TEST_F(CanvasPaint, TheFrameFollowsTheScrollOffset) {
  window.client = {300, 200};
  canvas.AttachPage(&window, page);
  canvas.ScrollBar(ScrollBarId::Horizontal, ScrollRequest::ThumbPosition, 30);
  window.ForgetCalls();
  canvas.ScrollBar(ScrollBarId::Vertical, ScrollRequest::ThumbPosition, 40);
  const Strings calls = window.Calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[2], "SetTransform [1 0 0 1 -30 -40]");
}

TEST_F(CanvasPaint, WithoutAPageTheFrameIsAGreyDefaultPage) {
  canvas.DetachPage();
  canvas.AttachPage(&window, nullptr);
  canvas.Paint();
  EXPECT_EQ(window.Calls(), (Strings{
                                "BeginDraw",
                                "Clear 0xABABAB@1",
                                "SetTransform [1 0 0 1 0 0]",
                                "FillRectangle (20,20,620,500) 0xC0C0C0@1",
                                "DrawRectangle (20,20,620,500) 0x333333@1 w=1",
                                "EndDraw",
                            }));
}

TEST_F(CanvasPaint, AnActiveRubberBandIsDrawnOrderedAboveEverything) {
  AddElem({40, 40, 100, 80}, 0x0000FF);
  canvas.OnLButtonDown({300, 200}, 0);
  canvas.OnMouseMove({250, 150});
  const Strings calls = window.Calls();
  ASSERT_GE(calls.size(), 2u);
  EXPECT_EQ(calls[calls.size() - 2], "DrawRectangle (250,150,300,200) 0x666666@1 w=0.5");
  EXPECT_EQ(calls.back(), "EndDraw");
  canvas.OnMouseRelease({250, 150});
  window.ForgetCalls();
  canvas.Paint();
  for (const std::string& call : window.Calls()) {
    EXPECT_EQ(call.find("0x666666"), std::string::npos) << "band gone after release: " << call;
  }
}

TEST_F(CanvasPaint, NoRenderTargetMeansNothingIsDrawn) {
  UiElemCanvas detached{std::make_unique<NsDx2d::D2Factory>(),
                        std::make_unique<NsDx2d::RecordingDWriteFactory>()};
  EXPECT_EQ(detached.GetRenderTarget(), nullptr) << "no view window";
  detached.Paint();

  UiElemCanvas noFactory{nullptr, std::make_unique<NsDx2d::RecordingDWriteFactory>()};
  Testing::RecordingWindow other;
  noFactory.AttachPage(&other, page);
  noFactory.Paint();
  EXPECT_EQ(other.targetsCreated, 0) << "no Direct2D factory";

  Testing::RecordingWindow failing;
  failing.failTargets = true;
  UiElemCanvas canvas2{std::make_unique<NsDx2d::D2Factory>(),
                       std::make_unique<NsDx2d::RecordingDWriteFactory>()};
  canvas2.AttachPage(&failing, page);
  canvas2.Paint();
  EXPECT_EQ(canvas2.GetRenderTarget(), nullptr);
  EXPECT_GE(failing.targetsCreated, 2) << "tried again at every frame";
}

TEST_F(CanvasPaint, TheTargetIsMadeForTheClientSize) {
  Testing::RecordingWindow other;
  other.client = {321, 123};
  UiElemCanvas fresh{std::make_unique<NsDx2d::D2Factory>(),
                     std::make_unique<NsDx2d::RecordingDWriteFactory>()};
  fresh.AttachPage(&other, page);
  EXPECT_EQ(other.targetsCreated, 1) << "attaching makes the target";
  EXPECT_EQ(other.createdWithSize, (D2D_SIZE_U{321, 123}));
  fresh.Paint();
  fresh.Paint();
  EXPECT_EQ(other.targetsCreated, 1) << "then it is kept";
  EXPECT_EQ(other.Frames(), 2);
}

TEST_F(CanvasPaint, AFailedFrameDropsTheTargetAndTheNextFrameStartsAfresh) {
  AddElem({40, 40, 100, 80});
  canvas.Paint();
  Testing::FailingTarget* first = window.lastTarget;
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->brushesCreated, 1);
  first->failEndDraw = true;
  canvas.Paint();
  EXPECT_EQ(window.targetsCreated, 1);

  canvas.Paint();
  EXPECT_EQ(window.targetsCreated, 2);
  ASSERT_NE(window.lastTarget, nullptr);
  EXPECT_EQ(window.lastTarget->brushesCreated, 1) << "the brush is made again on the new target";
  EXPECT_EQ(window.Frames(), 1);
  EXPECT_EQ(window.Calls().back(), "EndDraw");
}

// ---- hit tests ----

class CanvasHit : public CanvasFixture {
 protected:
  void SetUp() override {
    CanvasFixture::SetUp();
    a = AddElem({100, 100, 200, 150});
    b = AddElem({150, 120, 250, 200});  // on top of a
  }
  std::shared_ptr<UiElem> a;
  std::shared_ptr<UiElem> b;
};

TEST_F(CanvasHit, TheTopMostElementWhoseRectangleHoldsThePointEdgesIncluded) {
  struct Case {
    D2D_POINT_2F p;
    const char* expected;
  };
  const Case cases[] = {
      {{100, 100}, "a"}, {{120, 110}, "a"},   {{200, 150}, "b"},    {{175, 135}, "b"},
      {{250, 200}, "b"}, {{99.9f, 100}, "-"}, {{250.1f, 200}, "-"}, {{120, 160}, "-"},
  };
  for (const Case& c : cases) {
    const auto hit = canvas.HitTest(c.p);
    const char* name = hit == a ? "a" : hit == b ? "b" : hit ? "?" : "-";
    EXPECT_STREQ(name, c.expected) << c.p;
  }
  canvas.DetachPage();
  EXPECT_EQ(canvas.HitTest({120, 110}), nullptr) << "no page";
}

TEST_F(CanvasHit, OnlyTheTopMostElementCountsAsSelectedAtAPoint) {
  Select({a});
  EXPECT_TRUE(canvas.IsSelectedAt({120, 110}));
  EXPECT_FALSE(canvas.IsSelectedAt({175, 135})) << "a lies below b there";
  EXPECT_FALSE(canvas.IsSelectedAt({300, 300}));
}

TEST_F(CanvasHit, HandlesAreEightUnitSquaresJustOutsideTheCorners) {
  Select({a});
  struct Case {
    D2D_POINT_2F p;
    int handle;
  };
  const Case cases[] = {
      {{96, 96}, 0},   {{92, 92}, 0},    {{100, 100}, 0},    {{204, 96}, 1},
      {{208, 92}, 1},  {{204, 154}, 2},  {{200, 150}, 2},    {{96, 154}, 3},
      {{150, 125}, 5}, {{91.9f, 96}, 5}, {{204, 158.1f}, 5},
  };
  for (const Case& c : cases) {
    a->pressPoint = {};
    EXPECT_EQ(canvas.HitTestHandle(c.p), c.handle != 5) << c.p;
    EXPECT_EQ(a->handle, c.handle) << c.p;
    if (c.handle != 5) {
      EXPECT_EQ(a->pressPoint, c.p);
    }
  }
  EXPECT_EQ(a->GetHandleRect(4), (D2D_RECT_F{})) << "no handle 4";
}

TEST_F(CanvasHit, HandlesCountOnlyWithExactlyOneSelectedElement) {
  Select({a, b});
  EXPECT_FALSE(canvas.HitTestHandle({96, 96}));
  EXPECT_EQ(a->handle, UiElem::kNoHandle);
  Select({});
  EXPECT_FALSE(canvas.HitTestHandle({96, 96}));
}

// ---- the mouse ----

class CanvasMouse : public CanvasFixture {
 protected:
  void SetUp() override {
    CanvasFixture::SetUp();
    a = AddElem({100, 100, 200, 150});
  }
  std::shared_ptr<UiElem> a;
};

TEST_F(CanvasMouse, ResizingByEachCornerHandle) {
  struct Case {
    const char* name;
    D2D_POINT_2F press;
    std::vector<D2D_POINT_2F> moves;
    D2D_RECT_F expected;
  };
  const Case cases[] = {
      {"top-left", {96, 96}, {{86, 76}}, {90, 80, 200, 150}},
      {"top-right", {204, 96}, {{224, 106}}, {100, 110, 220, 150}},
      {"bottom-right", {204, 154}, {{214, 174}}, {100, 100, 210, 170}},
      {"bottom-left", {96, 154}, {{106, 144}}, {110, 100, 200, 140}},
      {"held at the margin", {96, 96}, {{0, 0}}, {20, 20, 200, 150}},
      {"follows again when turning back", {96, 96}, {{0, 0}, {30, 40}}, {50, 60, 200, 150}},
      {"past the opposite corner", {96, 96}, {{300, 250}}, {200, 150, 304, 254}},
      // The swap leaves the left edge at -4; the release step holds it at 20.
      {"right edge far left", {204, 154}, {{0, 154}}, {20, 100, 100, 150}},
      {"in steps", {204, 154}, {{210, 160}, {220, 170}, {214, 164}}, {100, 100, 210, 160}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    a->host->SetRect({100, 100, 200, 150});
    Select({a});
    page->modified = false;
    SelLog log;
    canvas.OnLButtonDown(c.press, 0);
    ASSERT_EQ(canvas.GetDragState(), UiElemCanvas::kDragResize);
    for (const auto& p : c.moves) canvas.OnMouseMove(p);
    canvas.OnMouseRelease(c.moves.back());
    EXPECT_EQ(a->host->GetRect(), c.expected);
    EXPECT_EQ(a->rect, c.expected);
    EXPECT_GE(a->host->GetRect().right - a->host->GetRect().left, UiElem::kMinSize);
    EXPECT_GE(a->host->GetRect().bottom - a->host->GetRect().top, UiElem::kMinSize);
    EXPECT_TRUE(page->modified);
    EXPECT_TRUE(log.events.empty());
    EXPECT_EQ(a->handle, UiElem::kNoHandle);
    EXPECT_EQ(canvas.GetDragState(), UiElemCanvas::kDragNone);
    EXPECT_EQ(Members(), Elems{a});
  }
}

// Every handle of A (30, 30)-(130, 60) dragged across its opposite corner
// and on into the margin, in one move per leg and in many: the corner held
// stays where it was and the dragged edges stop at the margin, whatever the
// number of moves. After every move the element has at least the least size
// each way. A dragged edge that stopped short of the held one lags the
// pointer by less than the least size once past it (as an edge pushed
// against the margin lags): where it does not end at the margin, it ends
// within that of the pointer.
TEST_F(CanvasMouse, EveryHandleAcrossTheOppositeCornerIntoTheMarginInOneAndInManyMoves) {
  struct Case {
    const char* name;
    D2D_RECT_F start;
    D2D_POINT_2F press;  // on the handle, 4 units out from its corner
    std::vector<D2D_POINT_2F> legs;
    D2D_RECT_F expected;
    // How far an edge may lag: 0 where every dragged edge ends at the margin.
    float slack = 0.0f;
  };
  const D2D_RECT_F A{30, 30, 130, 60};
  const float lag = UiElem::kMinSize;
  const Case cases[] = {
      // Bottom-right: its opposite corner (30, 30) lies on the way.
      {"bottom-right into the margin", A, {134, 64}, {{5, 5}}, {20, 20, 30, 30}},
      {"bottom-right past its corner, then up into the margin", A, {134, 64}, {{5, 100}, {5, 5}},
       {20, 20, 30, 30}},
      // Top-left: across (130, 60), then back over it into the margin.
      {"top-left across its corner and back into the margin", A, {26, 26}, {{180, 100}, {5, 5}},
       {20, 20, 130, 60}},
      {"top-left into the margin", A, {26, 26}, {{5, 5}}, {20, 20, 130, 60}},
      // Top-right: across (30, 60), then up into the margin.
      {"top-right across its corner", A, {134, 26}, {{5, 100}}, {20, 60, 30, 104}, lag},
      {"top-right across its corner into the margin", A, {134, 26}, {{5, 100}, {5, 5}},
       {20, 20, 30, 60}},
      {"top-right into the margin", A, {134, 26}, {{5, 5}}, {20, 20, 30, 60}},
      // Bottom-left: across (130, 30), then left into the margin.
      {"bottom-left across its corner", A, {26, 64}, {{180, 5}}, {130, 20, 184, 30}, lag},
      {"bottom-left across its corner into the margin", A, {26, 64}, {{180, 5}, {5, 5}},
       {20, 20, 130, 30}},
      {"bottom-left into the margin", A, {26, 64}, {{5, 5}}, {20, 20, 130, 30}},
      // Nothing is left to drag into: the least size stays, at the margin.
      {"an element at the page's corner squashed into the margin", {20, 20, 120, 50}, {124, 54},
       {{5, 5}}, {20, 20, 21, 21}},
      {"onto the opposite corner exactly", A, {134, 64}, {{34, 34}}, {30, 30, 31, 31}},
      {"top-left onto the opposite corner exactly", A, {26, 26}, {{126, 56}}, {129, 59, 130, 60}},
      {"a right edge onto the left one at the margin", {20, 100, 120, 150}, {124, 154},
       {{24, 154}}, {20, 100, 21, 150}},
  };
  for (const Case& c : cases) {
    for (const int moves : {1, 2, 5, 20}) {
      SCOPED_TRACE(testing::Message() << c.name << ", " << moves << " moves a leg");
      a->host->SetRect(c.start);
      Select({a});
      page->modified = false;
      canvas.OnLButtonDown(c.press, 0);
      ASSERT_EQ(canvas.GetDragState(), UiElemCanvas::kDragResize);
      D2D_POINT_2F from = c.press;
      for (const D2D_POINT_2F& to : c.legs) {
        for (int i = 1; i <= moves; ++i) {
          const float f = static_cast<float>(i) / static_cast<float>(moves);
          canvas.OnMouseMove({from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f});
          const D2D_RECT_F r = a->host->GetRect();
          ASSERT_GE(r.right - r.left, UiElem::kMinSize) << r;
          ASSERT_GE(r.bottom - r.top, UiElem::kMinSize) << r;
          ASSERT_EQ(a->rect, r);
        }
        from = to;
      }
      canvas.OnMouseRelease(from);
      // The pointer's steps are not all exact in floating point.
      const float near = c.slack + 1e-3f;
      const D2D_RECT_F r = a->host->GetRect();
      EXPECT_NEAR(r.left, c.expected.left, near) << r;
      EXPECT_NEAR(r.top, c.expected.top, near) << r;
      EXPECT_NEAR(r.right, c.expected.right, near) << r;
      EXPECT_NEAR(r.bottom, c.expected.bottom, near) << r;
      EXPECT_EQ(a->rect, r);
      EXPECT_EQ(a->handle, UiElem::kNoHandle);
      EXPECT_TRUE(page->modified);
    }
  }
}

TEST_F(CanvasMouse, AfterASwapTheEdgeUnderThePointerFollowsIt) {
  // The right edge dragged over the left one and on: the new left edge
  // goes with the pointer, the right edge stays where the left one was.
  Select({a});
  canvas.OnLButtonDown({204, 154}, 0);
  canvas.OnMouseMove({84, 154});
  EXPECT_EQ(a->host->GetRect(), (D2D_RECT_F{80, 100, 100, 150}));
  canvas.OnMouseMove({64, 154});
  EXPECT_EQ(a->host->GetRect(), (D2D_RECT_F{60, 100, 100, 150}));
  // Back over the held edge: the handle is the right one again.
  canvas.OnMouseMove({144, 154});
  EXPECT_EQ(a->host->GetRect(), (D2D_RECT_F{100, 100, 140, 150}));
  canvas.OnMouseRelease({144, 154});
  EXPECT_EQ(a->host->GetRect(), (D2D_RECT_F{100, 100, 140, 150}));
}

TEST_F(CanvasMouse, AHandleGivesAnEmptyElementTheLeastSize) {
  // A page file may hold an element with no width or height: a press on a
  // handle and a release make it one unit each way.
  struct Case {
    const char* name;
    D2D_RECT_F start;
    D2D_POINT_2F press;
    D2D_RECT_F expected;
  };
  const Case cases[] = {
      {"a point, by its bottom-right handle", {100, 100, 100, 100}, {104, 104}, {100, 100, 101, 101}},
      {"a point, by its top-left handle", {100, 100, 100, 100}, {96, 96}, {99, 99, 100, 100}},
      {"a line at the margin, by its top-left handle", {20, 20, 20, 80}, {16, 16}, {20, 20, 21, 80}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    a->host->SetRect(c.start);
    Select({a});
    Click(c.press);
    EXPECT_EQ(a->host->GetRect(), c.expected);
  }
}

TEST_F(CanvasMouse, ASwapCanLeaveTheLeftEdgeInTheMarginUntilTheNextStep) {
  Select({a});
  canvas.OnLButtonDown({204, 154}, 0);
  canvas.OnMouseMove({0, 154});
  EXPECT_EQ(a->host->GetRect(), (D2D_RECT_F{-4, 100, 100, 150}));
  canvas.OnMouseMove({0, 154});
  EXPECT_EQ(a->host->GetRect(), (D2D_RECT_F{20, 100, 100, 150}));
  canvas.OnMouseRelease({0, 154});
}

TEST_F(CanvasMouse, EachResizeStepReadsBackWhatTheHostKept) {
  HostOf(a).grid = 10;
  Select({a});
  canvas.OnLButtonDown({96, 96}, 0);
  canvas.OnMouseMove({93, 92});  // asks for (97, 96, ...), the host keeps (100, 100, ...)
  EXPECT_EQ(a->rect, (D2D_RECT_F{100, 100, 203, 154}));
  canvas.OnMouseRelease({93, 92});
}

TEST_F(CanvasMouse, PressingOnAHandleAndReleasingMarksThePage) {
  Select({a});
  const int setRects = HostOf(a).setRectCalls;
  Click({204, 154});
  EXPECT_EQ(a->host->GetRect(), (D2D_RECT_F{100, 100, 200, 150}));
  EXPECT_TRUE(page->modified);
  EXPECT_EQ(HostOf(a).setRectCalls, setRects + 1);
  EXPECT_EQ(window.captureReleases, 1);
}

TEST_F(CanvasMouse, WithTwoSelectedAPressOnAHandleSpotIsAnOrdinaryPress) {
  const auto b = AddElem({300, 100, 400, 150});
  Select({a, b});
  SelLog log;
  Click({96, 96});
  EXPECT_EQ(a->host->GetRect(), (D2D_RECT_F{100, 100, 200, 150}));
  EXPECT_TRUE(Members().empty()) << "a click on empty space";
  EXPECT_EQ(log.events, Strings{"page 页面1"});
  EXPECT_FALSE(page->modified);
}

TEST_F(CanvasMouse, DraggingTheSelection) {
  const auto b = AddElem({300, 100, 400, 150});
  struct Case {
    const char* name;
    D2D_RECT_F start;
    std::vector<D2D_POINT_2F> moves;  // from a press at the element's centre + (0, 0)
    D2D_RECT_F expected;
    // By the moves; the release is one more step, accepted here in every case.
    bool modified;
  };
  const Case cases[] = {
      {"moves with the mouse",
       {100, 100, 200, 150},
       {{160, 130}, {170, 140}},
       {120, 115, 220, 165},
       true},
      {"no limit right and down",
       {100, 100, 200, 150},
       {{2150, 1125}},
       {2100, 1100, 2200, 1150},
       true},
      // box left 25: a step of -10 is refused whole, not cut at 20
      {"refused at the margin", {25, 100, 125, 150}, {{65, 125}}, {25, 100, 125, 150}, false},
      {"measured from the refused point",
       {25, 100, 125, 150},
       {{65, 125}, {70, 125}},
       {30, 100, 130, 150},
       true},
      {"up past the margin", {100, 30, 200, 80}, {{150, 40}}, {100, 30, 200, 80}, false},
      {"exactly onto the margin", {25, 100, 125, 150}, {{70, 125}}, {20, 100, 120, 150}, true},
      {"exactly onto the top margin", {100, 30, 200, 80}, {{150, 45}}, {100, 20, 200, 70}, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    a->host->SetRect(c.start);
    b->host->SetRect({c.start.left + 200, c.start.top, c.start.right + 200, c.start.bottom});
    Select({a, b});
    page->modified = false;
    SelLog log;
    const D2D_POINT_2F centre{(c.start.left + c.start.right) / 2,
                              (c.start.top + c.start.bottom) / 2};
    canvas.OnLButtonDown(centre, 0);
    ASSERT_EQ(canvas.GetDragState(), UiElemCanvas::kDragSelection);
    for (const auto& p : c.moves) canvas.OnMouseMove(p);
    EXPECT_EQ(page->modified, c.modified);
    canvas.OnMouseRelease(c.moves.back());
    EXPECT_TRUE(page->modified);
    EXPECT_EQ(a->host->GetRect(), c.expected);
    EXPECT_EQ(a->rect, c.expected);
    EXPECT_EQ(b->host->GetRect().left, c.expected.left + 200) << "every member moves";
    EXPECT_EQ(canvas.GetSelection().GetBox().left, c.expected.left);
    EXPECT_EQ(Members(), (Elems{a, b})) << "a press on a selected element keeps the selection";
    EXPECT_TRUE(log.events.empty());
  }
}

TEST_F(CanvasMouse, RubberBandAndClickSelection) {
  const auto b = AddElem({300, 100, 400, 150});
  const auto c = AddElem({100, 300, 200, 350});
  const auto over = AddElem({150, 120, 250, 200});  // on top of a
  struct Case {
    const char* name;
    D2D_POINT_2F from, to;
    Elems expected;  // the first anchored
    const char* event;
  };
  const Case cases[] = {
      {"around one", {90, 260}, {210, 360}, {c}, "changed 1"},
      {"bottom-right to top-left", {410, 360}, {90, 90}, {a, b, c, over}, "changed 4"},
      {"lowest overlapping is anchored", {160, 130}, {170, 140}, {a, over}, "changed 2"},
      {"touching edges only", {100, 250}, {200, 300}, {}, "page 页面1"},
      {"moved exactly 6: a click", {260, 250}, {266, 256}, {}, "page 页面1"},
      {"moved 6 onto an element: a click on it", {106, 306}, {112, 312}, {c}, "changed 1"},
      {"moved 6.1: a band without height", {106, 306}, {112.1f, 306}, {}, "page 页面1"},
      {"click on covered elements", {175, 135}, {175, 135}, {over}, "changed 1"},
      {"click on empty space", {500, 500}, {500, 500}, {}, "page 页面1"},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Select({b});
    SelLog log;
    const int focus = window.focusTaken;
    canvas.OnLButtonDown(k.from, 0);
    ASSERT_EQ(canvas.GetDragState(), UiElemCanvas::kDragBand);
    canvas.OnMouseMove(k.to);
    canvas.OnMouseRelease(k.to);
    EXPECT_EQ(Members(), k.expected);
    if (!k.expected.empty()) {
      EXPECT_EQ(canvas.GetSelection().GetAnchored(), k.expected.front());
    }
    for (const auto& e : {a, b, c, over}) {
      const bool member = std::find(k.expected.begin(), k.expected.end(), e) != k.expected.end();
      EXPECT_EQ(e->host->IsSelected(), member);
    }
    EXPECT_EQ(log.events, Strings{k.event});
    EXPECT_EQ(window.focusTaken, focus + 1);
    EXPECT_FALSE(canvas.IsBandActive());
    EXPECT_FALSE(page->modified);
  }
}

TEST_F(CanvasMouse, TheBandStartsOnlyBeyondSixUnits) {
  canvas.OnLButtonDown({300, 300}, 0);
  canvas.OnMouseMove({306, 294});
  EXPECT_FALSE(canvas.IsBandActive());
  canvas.OnMouseMove({300, 306.1f});
  EXPECT_TRUE(canvas.IsBandActive());
  canvas.OnMouseMove({301, 301});
  EXPECT_TRUE(canvas.IsBandActive()) << "once started it stays";
  canvas.OnMouseRelease({301, 301});
  EXPECT_FALSE(canvas.IsBandActive());
}

TEST_F(CanvasMouse, CtrlPressMovesTheAnchorAndTellsNobody) {
  const auto b = AddElem({300, 100, 400, 150});
  const auto c = AddElem({100, 300, 200, 350});
  Select({a, b});
  SelLog log;
  struct Case {
    const char* name;
    D2D_POINT_2F at;
    Elems members;
    std::shared_ptr<UiElem> anchored;
    bool repainted;
  };
  const Case cases[] = {
      {"onto a selected one", {350, 125}, {a, b}, b, true},
      {"again onto the anchored one", {350, 125}, {a, b}, b, false},
      {"onto an unselected one: added", {150, 325}, {a, b, c}, c, true},
      {"empty space", {500, 500}, {a, b, c}, c, false},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    const int frames = window.Frames();
    canvas.OnLButtonDown(k.at, kMouseKeyControl | kMouseKeyShift);
    EXPECT_EQ(canvas.GetDragState(), UiElemCanvas::kDragNone);
    canvas.OnMouseRelease(k.at);
    EXPECT_EQ(Members(), k.members);
    EXPECT_EQ(canvas.GetSelection().GetAnchored(), k.anchored);
    for (const auto& e : k.members) EXPECT_EQ(e->anchored, e == k.anchored);
    EXPECT_EQ(window.Frames() - frames, k.repainted ? 1 : 0);
  }
  EXPECT_TRUE(log.events.empty());
  EXPECT_FALSE(page->modified);
}

TEST_F(CanvasMouse, ShiftPressTogglesAnElement) {
  const auto b = AddElem({300, 100, 400, 150});
  struct Case {
    const char* name;
    Elems before;
    D2D_POINT_2F at;
    Elems after;
    Strings events;
  };
  const Case cases[] = {
      {"the only selected one: empty", {a}, {150, 125}, {}, {"page 页面1"}},
      {"a second one: added", {a}, {350, 125}, {a, b}, {"changed 2"}},
      {"the anchored of two: the other anchored", {a, b}, {150, 125}, {b}, {"changed 1"}},
      {"empty space: nothing", {a}, {500, 500}, {a}, {}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    Select(k.before);
    SelLog log;
    canvas.OnLButtonDown(k.at, kMouseKeyShift);
    EXPECT_EQ(canvas.GetDragState(), UiElemCanvas::kDragNone);
    canvas.OnMouseRelease(k.at);
    EXPECT_EQ(Members(), k.after);
    if (!k.after.empty()) {
      EXPECT_EQ(canvas.GetSelection().GetAnchored(), k.after.front());
    }
    EXPECT_EQ(log.events, k.events);
    if (!log.lastMembers.empty()) {
      EXPECT_EQ(log.lastMembers, k.after);
    }
  }
  EXPECT_FALSE(page->modified);
}

TEST_F(CanvasMouse, TheCaptureIsReleasedOnEveryRelease) {
  canvas.OnMouseRelease({10, 10});
  EXPECT_EQ(window.captureReleases, 1) << "also in drag state 0";
  canvas.OnLButtonDown({500, 500}, 0);
  EXPECT_EQ(canvas.GetDragState(), UiElemCanvas::kDragBand);
  canvas.OnMouseRelease({500, 500});
  EXPECT_EQ(window.captureReleases, 2);
  EXPECT_EQ(canvas.GetDragState(), UiElemCanvas::kDragNone);
}

TEST_F(CanvasMouse, ALostCaptureEndsTheGestureWhereThePointerWasLastSeen) {
  const auto b = AddElem({300, 100, 400, 150});
  struct Case {
    const char* name;
    Elems selected;
    D2D_POINT_2F press;
    std::vector<D2D_POINT_2F> moves;
    D2D_RECT_F expected;  // of a, after the gesture and a later plain move
    Elems after;
  };
  const Case cases[] = {
      {"drag", {a}, {150, 125}, {{160, 130}, {170, 140}}, {120, 115, 220, 165}, {a}},
      {"handle", {a}, {204, 154}, {{214, 164}}, {100, 100, 210, 160}, {a}},
      {"band", {}, {90, 90}, {{250, 200}}, {100, 100, 200, 150}, {a}},
      {"press only", {a}, {150, 125}, {}, {100, 100, 200, 150}, {a}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    a->host->SetRect({100, 100, 200, 150});
    Select(c.selected);
    page->modified = false;
    canvas.OnLButtonDown(c.press, 0);
    ASSERT_NE(canvas.GetDragState(), UiElemCanvas::kDragNone);
    for (const auto& p : c.moves) canvas.OnMouseMove(p);
    const int releases = window.captureReleases;
    canvas.OnCaptureLost();
    EXPECT_EQ(canvas.GetDragState(), UiElemCanvas::kDragNone);
    EXPECT_EQ(window.captureReleases, releases + 1);
    EXPECT_FALSE(canvas.IsBandActive());
    // Moves without the button move nothing any more.
    canvas.OnMouseMove({500, 400});
    canvas.OnCaptureLost();
    EXPECT_EQ(window.captureReleases, releases + 1) << "nothing left to end";
    EXPECT_EQ(a->host->GetRect(), c.expected);
    EXPECT_EQ(b->host->GetRect(), (D2D_RECT_F{300, 100, 400, 150}));
    EXPECT_EQ(Members(), c.after);
  }
}

TEST_F(CanvasMouse, WithoutAPagePressesChangeNothingAndTellNobody) {
  Testing::RecordingTool tool;
  canvas.SetElemTool(&tool);
  tool.armed = false;
  canvas.DetachPage();
  canvas.AttachPage(&window, nullptr);
  SelLog log;
  Click({150, 125});
  Click({150, 125}, kMouseKeyShift);
  Click({150, 125}, kMouseKeyControl);
  Drag({10, 10}, {{300, 300}});
  tool.armed = true;
  Click({150, 125});
  EXPECT_TRUE(tool.createdAt.empty());
  EXPECT_TRUE(log.events.empty());
  EXPECT_TRUE(Members().empty());
  EXPECT_EQ(canvas.GetPageName(), "");
}

// ---- insertion ----

class CanvasInsert : public CanvasFixture {
 protected:
  void SetUp() override {
    CanvasFixture::SetUp();
    canvas.SetElemTool(&tool);
  }
  Testing::RecordingTool tool;
};

TEST_F(CanvasInsert, AnArmedToolInsertsAtTheClampedPagePoint) {
  const auto a = AddElem({100, 100, 200, 150});
  DpiScale = 2.0f;
  Select({a});
  SelLog log;
  const int frames = window.Frames();
  canvas.OnLButtonDown({10, 600}, 0);  // page (5, 300)
  EXPECT_EQ(tool.createdAt, (std::vector<D2D_POINT_2F>{{20, 300}}));
  ASSERT_EQ(PageElems().size(), 2u);
  const auto inserted = PageElems().back();
  EXPECT_EQ(inserted->host->GetRect(), (D2D_RECT_F{20, 300, 70, 320}));
  EXPECT_EQ(Members(), Elems{inserted});
  EXPECT_TRUE(inserted->anchored);
  EXPECT_FALSE(a->host->IsSelected());
  EXPECT_EQ(log.events, Strings{"changed 1"});
  EXPECT_EQ(tool.doneCalls, 1);
  EXPECT_TRUE(page->modified);
  EXPECT_EQ(canvas.GetDragState(), UiElemCanvas::kDragNone);
  EXPECT_EQ(window.Frames(), frames + 1);

  // The tool went back to the pointer: the next press is an ordinary one.
  canvas.OnLButtonDown({50, 620}, 0);
  EXPECT_EQ(tool.createdAt.size(), 1u);
  EXPECT_EQ(canvas.GetDragState(), UiElemCanvas::kDragSelection);
}

TEST_F(CanvasInsert, AToolThatMakesNothingChangesNothing) {
  tool.makes = false;
  SelLog log;
  canvas.OnLButtonDown({300, 300}, 0);
  EXPECT_EQ(tool.createdAt.size(), 1u);
  EXPECT_TRUE(PageElems().empty());
  EXPECT_TRUE(log.events.empty());
  EXPECT_EQ(tool.doneCalls, 0);
  EXPECT_TRUE(tool.armed) << "the tool stays armed";
  EXPECT_FALSE(page->modified);
}

// ---- cursor, refresh, page ----

TEST_F(CanvasMouse, TheCursorShowsTheSizingDirectionOverHandles) {
  Select({a});
  struct Case {
    D2D_POINT_2F at;
    CanvasCursor cursor;
  };
  const Case cases[] = {
      {{96, 96}, CanvasCursor::SizeNwse},  {{204, 154}, CanvasCursor::SizeNwse},
      {{204, 96}, CanvasCursor::SizeNesw}, {{96, 154}, CanvasCursor::SizeNesw},
      {{150, 125}, CanvasCursor::Arrow},   {{300, 300}, CanvasCursor::Arrow},
  };
  for (const Case& c : cases) {
    window.cursorPos = c.at;
    window.cursor = CanvasCursor::Arrow;
    EXPECT_TRUE(canvas.UpdateCursor(&window)) << c.at;
    EXPECT_EQ(window.cursor, c.cursor) << c.at;
  }
  const int set = window.cursorsSet;
  Select({a, AddElem({300, 100, 400, 150})});
  EXPECT_FALSE(canvas.UpdateCursor(&window));
  Select({});
  EXPECT_FALSE(canvas.UpdateCursor(&window));
  EXPECT_EQ(window.cursorsSet, set);
}

TEST_F(CanvasMouse, TheCursorPositionIsConvertedWithTheScale) {
  DpiScale = 2.0f;
  Select({a});
  window.cursorPos = {408, 308};  // page (204, 154)
  EXPECT_TRUE(canvas.UpdateCursor(&window));
  EXPECT_EQ(window.cursor, CanvasCursor::SizeNwse);
}

TEST_F(CanvasFixture, ARefreshTickAsksEveryHostAndReportsAnyChange) {
  const auto a = AddElem({20, 20, 40, 40});
  const auto b = AddElem({50, 20, 70, 40});
  const auto c = AddElem({80, 20, 90, 40});
  EXPECT_FALSE(canvas.RefreshElems());
  HostOf(b).refreshResult = true;
  EXPECT_TRUE(canvas.RefreshElems());
  for (const auto& e : {a, b, c}) EXPECT_EQ(HostOf(e).refreshCalls, 2) << "none skipped";
  canvas.DetachPage();
  EXPECT_FALSE(canvas.RefreshElems());
}

TEST_F(CanvasFixture, DetachingTellsTheListenersAndLetsThePageGo) {
  const auto a = AddElem({20, 20, 40, 40});
  Select({a});
  SelLog log;
  EXPECT_EQ(canvas.GetPageName(), "页面1");
  canvas.DetachPage();
  EXPECT_EQ(log.events, Strings{"cleared"});
  EXPECT_TRUE(Members().empty());
  EXPECT_FALSE(a->host->IsSelected());
  EXPECT_EQ(canvas.GetPage(), nullptr);
  EXPECT_EQ(canvas.GetPageName(), "");

  auto other = MakePage("页面2", 300, 200);
  canvas.AttachPage(&window, other);
  EXPECT_EQ(log.events, Strings{"cleared"}) << "attaching tells nobody";
  EXPECT_EQ(canvas.GetPageSize(), (NsDx2d::D2D_SIZE_F{300, 200}));
  EXPECT_EQ(canvas.GetPageName(), "页面2");
  EXPECT_FALSE(other->modified);
}

}  // namespace
}  // namespace NsOvrin::NsUiD2ElemEditor
