#pragma once
// A page canvas wired to a recording window: the window keeps its scroll
// bars the way the platform does, records capture, focus and cursor calls,
// and hands out recording render targets whose frames the tests read. The
// page's elements are PaintHost objects that draw one filled rectangle each
// (and a dot in the overlay pass while selected), so a frame can be
// asserted call by call.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "dx2d/D2Factory.h"
#include "dx2d/RecordingDWriteFactory.h"
#include "dx2d/RecordingRenderTarget.h"
#include "editor/CanvasWindow.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEPage.h"
#include "editor/TElemFact.h"
#include "editor/UiElemCanvas.h"
#include "editor/UiElemClipboard.h"
#include "editor/UiElemSelListener.h"

namespace NsOvrin::NsUiD2ElemEditor::Testing {

using NsDx2d::COLORREF;
using NsDx2d::D2D_RECT_F;
using NsDx2d::D2D_SIZE_U;
using NsDx2d::RecordingRenderTarget;

// A recording target whose frames can be made to fail, as a lost device does.
class FailingTarget : public RecordingRenderTarget {
 public:
  bool EndDraw() override {
    const bool ok = RecordingRenderTarget::EndDraw();
    return ok && !failEndDraw;
  }
  bool failEndDraw = false;
};

class RecordingWindow : public CanvasWindow {
 public:
  D2D_SIZE_U GetClientSize() const override { return client; }

  std::unique_ptr<NsDx2d::RenderTarget> CreateRenderTarget(D2D_SIZE_U pixelSize) override {
    ++targetsCreated;
    createdWithSize = pixelSize;
    if (failTargets) return nullptr;
    auto target = std::make_unique<FailingTarget>();
    lastTarget = target.get();
    return target;
  }
  void ResizeRenderTarget(NsDx2d::RenderTarget& target, D2D_SIZE_U pixelSize) override {
    resizedTarget = &target;
    resizedTo = pixelSize;
  }

  ScrollBarState GetScrollBar(ScrollBarId bar) const override { return Bar(bar); }
  void SetScrollRange(ScrollBarId bar, int minPos, int maxPos, int page) override {
    Bar(bar).minPos = minPos;
    Bar(bar).maxPos = maxPos;
    Bar(bar).page = page;
    Keep(bar);
  }
  void SetScrollPage(ScrollBarId bar, int page) override {
    Bar(bar).page = page;
    Keep(bar);
  }
  void SetScrollPos(ScrollBarId bar, int pos) override {
    Bar(bar).pos = pos;
    Keep(bar);
  }

  void ReleaseMouseCapture() override { ++captureReleases; }
  void SetFocus() override { ++focusTaken; }
  D2D_POINT_2F GetCursorClientPos() const override { return cursorPos; }
  void SetCursor(CanvasCursor shape) override {
    cursor = shape;
    ++cursorsSet;
  }

  // The frames drawn into the current target: one string per call.
  std::vector<std::string> Calls() const {
    return lastTarget ? NsDx2d::DescribeDrawCalls(lastTarget->calls) : std::vector<std::string>{};
  }
  int Frames() const {
    return lastTarget ? static_cast<int>(lastTarget->CallsOf(NsDx2d::DrawOp::BeginDraw).size()) : 0;
  }
  void ForgetCalls() {
    if (lastTarget) lastTarget->calls.clear();
  }

  ScrollBarState& Bar(ScrollBarId bar) { return bar == ScrollBarId::Horizontal ? horz : vert; }
  const ScrollBarState& Bar(ScrollBarId bar) const {
    return bar == ScrollBarId::Horizontal ? horz : vert;
  }

  D2D_SIZE_U client{800, 600};
  ScrollBarState horz;
  ScrollBarState vert;
  bool failTargets = false;
  int targetsCreated = 0;
  D2D_SIZE_U createdWithSize;
  FailingTarget* lastTarget = nullptr;
  NsDx2d::RenderTarget* resizedTarget = nullptr;
  D2D_SIZE_U resizedTo;
  int captureReleases = 0;
  int focusTaken = 0;
  D2D_POINT_2F cursorPos;
  CanvasCursor cursor = CanvasCursor::Arrow;
  int cursorsSet = 0;

 private:
  // As the platform does: between the minimum and the last position that
  // shows a full page.
  void Keep(ScrollBarId bar) {
    ScrollBarState& s = Bar(bar);
    const int last = std::max(s.minPos, s.maxPos - std::max(s.page - 1, 0));
    s.pos = std::clamp(s.pos, s.minPos, last);
  }
};

// Draws its rectangle filled with its colour; while selected, its overlay
// is a dot at the top-right corner. The rectangle may be kept on a grid, as
// real hosts adjust what they are given.
class PaintHost : public TUiHost {
 public:
  PaintHost(D2D_RECT_F rect, COLORREF colour) : rect_(rect), colour_(colour) {}

  D2D_RECT_F GetRect() const override { return rect_; }
  void SetRect(const D2D_RECT_F& rect) override {
    ++setRectCalls;
    rect_ = rect;
    if (grid > 0.0f) {
      const float w = rect.right - rect.left;
      const float h = rect.bottom - rect.top;
      rect_.left = std::round(rect.left / grid) * grid;
      rect_.top = std::round(rect.top / grid) * grid;
      rect_.right = rect_.left + w;
      rect_.bottom = rect_.top + h;
    }
  }
  void Draw(const NsDx2d::D2ResInfo& d2) override {
    if (auto* brush = d2.brushCache->GetBrush(colour_, 1.0f)) {
      d2.renderTarget->FillRectangle(rect_, *brush);
    }
  }
  void DrawOverlay(const NsDx2d::D2ResInfo& d2) override {
    if (!IsSelected()) return;
    if (auto* brush = d2.brushCache->GetBrush(colour_, 1.0f)) {
      d2.renderTarget->FillEllipse({{rect_.right, rect_.top}, 2.0f, 2.0f}, *brush);
    }
  }
  int GetType() const override { return 1; }
  bool Refresh() override {
    ++refreshCalls;
    return refreshResult;
  }
  std::shared_ptr<TUiHost> Clone() const override {
    if (failClone) return nullptr;
    auto copy = std::make_shared<PaintHost>(rect_, colour_);
    copy->grid = grid;
    return copy;
  }

  COLORREF Colour() const { return colour_; }
  void SetColour(COLORREF colour) { colour_ = colour; }

  float grid = 0.0f;
  bool refreshResult = false;
  int refreshCalls = 0;
  int setRectCalls = 0;
  bool failClone = false;

 private:
  D2D_RECT_F rect_;
  COLORREF colour_;
};

inline PaintHost& HostOf(const std::shared_ptr<UiElem>& elem) {
  return static_cast<PaintHost&>(*elem->host);
}

// Listens for as long as it lives; each notification becomes one line:
// "changed N", "page NAME" (or "page -" for none), "cleared".
class SelLog : public UiElemSelListener {
 public:
  SelLog() { GetRegistry().push_back(this); }
  ~SelLog() override { std::erase(GetRegistry(), this); }
  void OnSelectionChanged(const std::vector<std::shared_ptr<UiElem>>& members) override {
    events.push_back("changed " + std::to_string(members.size()));
    lastMembers = members;
  }
  void OnPageSelected(const std::shared_ptr<QlEPage>& page) override {
    events.push_back("page " + (page ? page->name : std::string("-")));
  }
  void OnSelectionCleared() override { events.push_back("cleared"); }

  std::vector<std::string> events;
  std::vector<std::shared_ptr<UiElem>> lastMembers;
};

// An element tool whose next element is a PaintHost of a given size.
class RecordingTool : public TElemFact {
 public:
  bool IsArmed() override { return armed; }
  std::shared_ptr<UiElem> Create(const D2D_POINT_2F& point) override {
    createdAt.push_back(point);
    if (!makes) return nullptr;
    return std::make_shared<UiElem>(std::make_shared<PaintHost>(
        D2D_RECT_F{point.x, point.y, point.x + 50, point.y + 20}, 0x00FF00));
  }
  void Done() override {
    ++doneCalls;
    armed = false;
  }

  bool armed = true;
  bool makes = true;
  std::vector<D2D_POINT_2F> createdAt;
  int doneCalls = 0;
};

class CanvasFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    DpiScale = 1.0f;
    UiElemClipboard::Instance().elements.clear();
    UiElemClipboard::Instance().sourcePage.clear();
    page = MakePage("页面1", 600, 480);
    canvas.AttachPage(&window, page);
  }
  void TearDown() override {
    DpiScale = 1.0f;
    UiElemClipboard::Instance().elements.clear();
    UiElemClipboard::Instance().sourcePage.clear();
  }

  static std::shared_ptr<QlEPage> MakePage(const std::string& name, float width, float height) {
    auto made = std::make_shared<QlEPage>(name);
    made->rect = {0, 0, width, height};
    return made;
  }

  // A new element on top of the page.
  std::shared_ptr<UiElem> AddElem(D2D_RECT_F rect, COLORREF colour = 0x0000FF) {
    auto elem = std::make_shared<UiElem>(std::make_shared<PaintHost>(rect, colour));
    page->elements->elems.push_back(elem);
    return elem;
  }
  std::vector<std::shared_ptr<UiElem>>& PageElems() { return page->elements->elems; }
  const std::vector<std::shared_ptr<UiElem>>& Members() {
    return canvas.GetSelection().GetMembers();
  }

  // A press and release at the same client point.
  void Click(D2D_POINT_2F client, uint32_t keys = 0) {
    canvas.OnLButtonDown(client, keys);
    canvas.OnMouseRelease(client);
  }
  // Press, moves through the points, release at the last one.
  void Drag(D2D_POINT_2F from, const std::vector<D2D_POINT_2F>& through) {
    canvas.OnLButtonDown(from, 0);
    for (const D2D_POINT_2F& p : through) canvas.OnMouseMove(p);
    canvas.OnMouseRelease(through.empty() ? from : through.back());
  }
  // Selects exactly these, the first anchored, without telling anyone.
  void Select(const std::vector<std::shared_ptr<UiElem>>& elems) {
    canvas.GetSelection().ReplaceAll(elems);
  }

  RecordingWindow window;
  UiElemCanvas canvas{std::make_unique<NsDx2d::D2Factory>(),
                      std::make_unique<NsDx2d::RecordingDWriteFactory>()};
  std::shared_ptr<QlEPage> page;
};

}  // namespace NsOvrin::NsUiD2ElemEditor::Testing
