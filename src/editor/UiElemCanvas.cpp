#include "editor/UiElemCanvas.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "editor/EditorGlobals.h"
#include "editor/QlEPage.h"
#include "editor/UiElemSelListener.h"

namespace NsOvrin::NsUiD2ElemEditor {

using NsDx2d::BrushCache;
using NsDx2d::COLORREF;
using NsDx2d::D2ResInfo;
using NsDx2d::Matrix3x2F;
using NsDx2d::RenderTarget;
using NsDx2d::SolidColorBrush;

namespace {

constexpr COLORREF kBackdropColour = 0xABABAB;
constexpr COLORREF kNoPageColour = 0xC0C0C0;
constexpr COLORREF kPageOutlineColour = 0x333333;
constexpr COLORREF kBandColour = 0x666666;
constexpr COLORREF kAnchoredFrameColour = 0x4AA657;   // (87, 166, 74)
constexpr COLORREF kAnchoredHandleColour = 0x8AF697;  // (151, 246, 138)
constexpr COLORREF kFrameColour = 0xFFA62C;           // (44, 166, 255)
constexpr COLORREF kHandleColour = 0xE6E6E6;          // (230, 230, 230)
constexpr float kDefaultPageWidth = 600.0f;
constexpr float kDefaultPageHeight = 480.0f;
// Room right of and below the page.
constexpr float kScrollRoom = 60.0f;
// How far the mouse must move before a press becomes a rubber band.
constexpr float kBandThreshold = 6.0f;
constexpr float kHandleHalf = 4.0f;
constexpr int kScrollLine = 20;

// A scale of 0 or worse would divide by zero; the platform reports it as
// unavailable, which means 1.
float Scale() { return std::isfinite(DpiScale) && DpiScale > 0.0f ? DpiScale : 1.0f; }

bool Contains(const D2D_RECT_F& rect, D2D_POINT_2F p) {
  return p.x >= rect.left && p.x <= rect.right && p.y >= rect.top && p.y <= rect.bottom;
}

D2D_RECT_F Ordered(D2D_POINT_2F a, D2D_POINT_2F b) {
  return {std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

// truncate((size + margin + room) * scale + 0.5), kept within what a bar
// can hold whatever size a page file claims.
int ScrollExtent(float size, float scale) {
  const float extent = (size + UiElemCanvas::kPageOrigin + kScrollRoom) * scale + 0.5f;
  if (!(extent > 0.0f)) return 0;
  if (extent >= static_cast<float>(INT_MAX)) return INT_MAX;
  return static_cast<int>(extent);
}

void Fill(RenderTarget& target, BrushCache& brushes, const D2D_RECT_F& rect, COLORREF colour) {
  if (SolidColorBrush* brush = brushes.GetBrush(colour, 1.0f)) target.FillRectangle(rect, *brush);
}

void Outline(RenderTarget& target, BrushCache& brushes, const D2D_RECT_F& rect, COLORREF colour,
             float width) {
  if (SolidColorBrush* brush = brushes.GetBrush(colour, 1.0f)) {
    target.DrawRectangle(rect, *brush, width);
  }
}

}  // namespace

// ---- the wrapper's part of the canvas ----

D2D_RECT_F UiElem::GetHandleRect(int index) const {
  D2D_POINT_2F centre;
  switch (index) {
    case kHandleTopLeft: centre = {rect.left - kHandleHalf, rect.top - kHandleHalf}; break;
    case kHandleTopRight: centre = {rect.right + kHandleHalf, rect.top - kHandleHalf}; break;
    case kHandleBottomRight: centre = {rect.right + kHandleHalf, rect.bottom + kHandleHalf}; break;
    case kHandleBottomLeft: centre = {rect.left - kHandleHalf, rect.bottom + kHandleHalf}; break;
    default: return {};
  }
  return {centre.x - kHandleHalf, centre.y - kHandleHalf, centre.x + kHandleHalf,
          centre.y + kHandleHalf};
}

void UiElem::DrawSelectionFrame(const D2ResInfo& d2) const {
  if (d2.renderTarget == nullptr || d2.brushCache == nullptr) return;
  RenderTarget& target = *d2.renderTarget;
  BrushCache& brushes = *d2.brushCache;
  const COLORREF line = anchored ? kAnchoredFrameColour : kFrameColour;
  const COLORREF fill = anchored ? kAnchoredHandleColour : kHandleColour;
  const D2D_RECT_F frame{rect.left - 4.0f, rect.top - 4.0f, rect.right + 4.0f, rect.bottom + 4.0f};
  Outline(target, brushes, frame, line, 1.0f);
  for (int i = kHandleTopLeft; i <= kHandleBottomLeft; ++i) {
    const D2D_RECT_F square = GetHandleRect(i);
    Fill(target, brushes, square, fill);
    Outline(target, brushes, square, line, 1.0f);
  }
}

namespace {

// One axis of a handle step: low and high are the element's edges, the
// handle drags the high one when dragsHigh is set. After a swap the handle
// drags the other edge: the one now under the pointer. Had it kept its
// edge, the edge that was held would follow the pointer on, and the element
// would shrink to nothing against the margin.
void ResizeAxis(float& low, float& high, bool& dragsHigh, float d) {
  (dragsHigh ? high : low) += d;
  low = std::max(low, UiElemCanvas::kPageOrigin);
  if (low >= high) {
    if (low > high) dragsHigh = !dragsHigh;
    std::swap(low, high);
  }
  if (high - low >= UiElem::kMinSize) return;
  // The dragged edge stops short of the held one; where the margin leaves
  // no room for that, the held edge gives way.
  if (!dragsHigh && high - UiElem::kMinSize >= UiElemCanvas::kPageOrigin) {
    low = high - UiElem::kMinSize;
  } else {
    high = low + UiElem::kMinSize;
  }
}

}  // namespace

void UiElem::ResizeRectByHandle(D2D_POINT_2F p) {
  if (handle < kHandleTopLeft || handle > kHandleBottomLeft) return;
  bool dragsRight = handle == kHandleTopRight || handle == kHandleBottomRight;
  bool dragsBottom = handle == kHandleBottomRight || handle == kHandleBottomLeft;
  D2D_RECT_F r = rect;
  ResizeAxis(r.left, r.right, dragsRight, p.x - pressPoint.x);
  ResizeAxis(r.top, r.bottom, dragsBottom, p.y - pressPoint.y);
  if (dragsBottom) {
    handle = dragsRight ? kHandleBottomRight : kHandleBottomLeft;
  } else {
    handle = dragsRight ? kHandleTopRight : kHandleTopLeft;
  }
  pressPoint = p;
  rect = r;
}

// ---- the canvas ----

UiElemCanvas::UiElemCanvas(std::unique_ptr<NsDx2d::D2Factory> d2Factory,
                           std::unique_ptr<NsDx2d::DWriteFactory> dwriteFactory)
    : d2Factory_(std::move(d2Factory)), dwriteFactory_(std::move(dwriteFactory)) {
  textFormatCache_.SetFactory(dwriteFactory_.get());
}

UiElemCanvas::~UiElemCanvas() {
  // The caches hold the target's resources: let them go while it lives.
  brushCache_.SetRenderTarget(nullptr);
  bitmapCache_.SetRenderTarget(nullptr);
}

void UiElemCanvas::MarkModified() {
  if (page_) page_->modified = true;
}

D2ResInfo UiElemCanvas::MakeResInfo() {
  return {d2Factory_.get(),  dwriteFactory_.get(), renderTarget_.get(),
          &textFormatCache_, &brushCache_,         &bitmapCache_};
}

D2D_POINT_2F UiElemCanvas::ToPagePoint(D2D_POINT_2F client) const {
  const float scale = Scale();
  return {client.x / scale + scrollX_, client.y / scale + scrollY_};
}

void UiElemCanvas::AttachPage(CanvasWindow* view, std::shared_ptr<QlEPage> page) {
  if (view != view_) {
    // A target draws into the window it was made for.
    brushCache_.SetRenderTarget(nullptr);
    bitmapCache_.SetRenderTarget(nullptr);
    renderTarget_.reset();
  }
  view_ = view;
  page_ = std::move(page);
  if (page_) {
    pageWidth_ = page_->rect.right - page_->rect.left;
    pageHeight_ = page_->rect.bottom - page_->rect.top;
  } else {
    pageWidth_ = kDefaultPageWidth;
    pageHeight_ = kDefaultPageHeight;
  }
  UpdateScrollExtents();
  brushCache_.SetRenderTarget(GetRenderTarget());
}

void UiElemCanvas::DetachPage() {
  UiElemSelListener::NotifySelectionCleared();
  selection_.Clear();
  page_.reset();
}

void UiElemCanvas::SetPageSize(float width, float height) {
  pageWidth_ = width;
  pageHeight_ = height;
}

void UiElemCanvas::UpdateScrollExtents() {
  const float scale = Scale();
  UpdateScrollBars(view_, ScrollExtent(pageWidth_, scale), ScrollExtent(pageHeight_, scale));
}

void UiElemCanvas::UpdateScrollBars(CanvasWindow* window, int extentX, int extentY) {
  if (window == nullptr) return;
  const D2D_SIZE_U client = window->GetClientSize();
  window->SetScrollRange(ScrollBarId::Horizontal, 0, extentX, static_cast<int>(client.width));
  window->SetScrollRange(ScrollBarId::Vertical, 0, extentY, static_cast<int>(client.height));
}

RenderTarget* UiElemCanvas::GetRenderTarget() {
  if (renderTarget_) return renderTarget_.get();
  if (view_ == nullptr || !d2Factory_) return nullptr;
  renderTarget_ = view_->CreateRenderTarget(view_->GetClientSize());
  return renderTarget_.get();
}

void UiElemCanvas::Resize(int cx, int cy) {
  const D2D_SIZE_U size{static_cast<uint32_t>(std::max(cx, 0)),
                        static_cast<uint32_t>(std::max(cy, 0))};
  if (RenderTarget* target = GetRenderTarget()) view_->ResizeRenderTarget(*target, size);
  if (view_ != nullptr) {
    const float scale = Scale();
    view_->SetScrollPage(ScrollBarId::Horizontal, static_cast<int>(size.width));
    scrollX_ = static_cast<float>(view_->GetScrollBar(ScrollBarId::Horizontal).pos) / scale;
    view_->SetScrollPage(ScrollBarId::Vertical, static_cast<int>(size.height));
    scrollY_ = static_cast<float>(view_->GetScrollBar(ScrollBarId::Vertical).pos) / scale;
  }
  Paint();
}

void UiElemCanvas::ScrollBar(ScrollBarId bar, ScrollRequest request, int thumbPos) {
  if (view_ == nullptr) return;
  const ScrollBarState before = view_->GetScrollBar(bar);
  const auto within = [&before](long long pos) {
    return static_cast<int>(
        std::max<long long>(before.minPos, std::min<long long>(pos, before.maxPos)));
  };
  int pos = before.pos;
  switch (request) {
    case ScrollRequest::LineUp:
      pos = within(static_cast<long long>(before.pos) - kScrollLine);
      break;
    case ScrollRequest::LineDown:
      pos = within(static_cast<long long>(before.pos) + kScrollLine);
      break;
    case ScrollRequest::PageUp:
      pos = within(static_cast<long long>(before.pos) - before.page);
      break;
    case ScrollRequest::PageDown:
      pos = within(static_cast<long long>(before.pos) + before.page);
      break;
    case ScrollRequest::ThumbPosition:
    case ScrollRequest::ThumbTrack: pos = thumbPos; break;
    case ScrollRequest::Top: pos = before.minPos; break;
    case ScrollRequest::Bottom: pos = before.maxPos; break;
    case ScrollRequest::EndScroll: break;
  }
  view_->SetScrollPos(bar, pos);
  const int after = view_->GetScrollBar(bar).pos;
  if (after == before.pos) return;
  const float offset = static_cast<float>(after) / Scale();
  (bar == ScrollBarId::Horizontal ? scrollX_ : scrollY_) = offset;
  Paint();
}

void UiElemCanvas::Paint() {
  RenderTarget* target = GetRenderTarget();
  if (target == nullptr) return;
  brushCache_.SetRenderTarget(target);
  bitmapCache_.SetRenderTarget(target);

  target->BeginDraw();
  target->Clear(NsDx2d::ColorFromRef(kBackdropColour, 1.0f));
  // 0 - x: an unscrolled view gets a plain identity, not negative zeros.
  target->SetTransform(Matrix3x2F::Translation(0.0f - scrollX_, 0.0f - scrollY_));

  const D2D_RECT_F pageRect{kPageOrigin, kPageOrigin, pageWidth_ + kPageOrigin,
                            pageHeight_ + kPageOrigin};
  Fill(*target, brushCache_, pageRect,
       page_ ? static_cast<COLORREF>(page_->backgroundColour) : kNoPageColour);
  Outline(*target, brushCache_, pageRect, kPageOutlineColour, 1.0f);

  const D2ResInfo d2 = MakeResInfo();
  if (page_ && page_->elements) {
    const auto& elems = page_->elements->elems;
    for (const auto& elem : elems) {
      if (!elem || !elem->host) continue;
      elem->host->Draw(d2);
      // Right after its element, so the elements above cover it.
      if (elem->host->IsSelected()) elem->DrawSelectionFrame(d2);
    }
    for (const auto& elem : elems) {
      if (elem && elem->host) elem->host->DrawOverlay(d2);
    }
  }

  if (bandActive_) Outline(*target, brushCache_, Ordered(bandStart_, bandEnd_), kBandColour, 0.5f);

  if (!target->EndDraw()) {
    // A lost target: the next frame makes a new one, and the caches must
    // not take it for the old one should it reuse its address.
    brushCache_.SetRenderTarget(nullptr);
    bitmapCache_.SetRenderTarget(nullptr);
    renderTarget_.reset();
  }
}

std::shared_ptr<UiElem> UiElemCanvas::HitTest(D2D_POINT_2F p) const {
  if (!page_ || !page_->elements) return nullptr;
  const auto& elems = page_->elements->elems;
  for (auto it = elems.rbegin(); it != elems.rend(); ++it) {
    const std::shared_ptr<UiElem>& elem = *it;
    if (elem && elem->host && Contains(elem->host->GetRect(), p)) return elem;
  }
  return nullptr;
}

bool UiElemCanvas::IsSelectedAt(D2D_POINT_2F p) const {
  const std::shared_ptr<UiElem> elem = HitTest(p);
  return elem && elem->host->IsSelected();
}

bool UiElemCanvas::HitTestHandle(D2D_POINT_2F p) {
  if (selection_.Count() != 1) return false;
  resizing_ = selection_.GetMembers().front();
  for (int i = UiElem::kHandleTopLeft; i <= UiElem::kHandleBottomLeft; ++i) {
    if (Contains(resizing_->GetHandleRect(i), p)) {
      resizing_->handle = i;
      resizing_->pressPoint = p;
      return true;
    }
  }
  resizing_->handle = UiElem::kNoHandle;
  return false;
}

void UiElemCanvas::OnLButtonDown(D2D_POINT_2F client, uint32_t keyFlags) {
  lastClientPoint_ = client;
  resizing_.reset();
  dragState_ = kDragNone;
  const D2D_POINT_2F p = ToPagePoint(client);

  if (elemTool_ != nullptr && elemTool_->IsArmed()) {
    InsertElem(p);
    Paint();
    return;
  }
  if ((keyFlags & kMouseKeyControl) != 0) {
    if (selection_.SetAnchored(HitTest(p))) Paint();
    return;
  }
  if ((keyFlags & kMouseKeyShift) != 0) {
    const std::shared_ptr<UiElem> elem = HitTest(p);
    if (!elem) return;
    if (elem->host->IsSelected()) {
      selection_.Remove(elem);
    } else {
      selection_.Add(elem);
    }
    if (selection_.IsEmpty()) {
      UiElemSelListener::NotifyPageSelected(page_);
    } else {
      UiElemSelListener::NotifySelectionChanged(selection_);
    }
    Paint();
    return;
  }

  if (HitTestHandle(p)) {
    dragState_ = kDragResize;
  } else if (IsSelectedAt(p)) {
    dragState_ = kDragSelection;
    lastDragPoint_ = p;
  } else {
    bandStart_ = p;
    bandActive_ = false;
    dragState_ = kDragBand;
  }
}

void UiElemCanvas::OnMouseMove(D2D_POINT_2F client) {
  lastClientPoint_ = client;
  if (dragState_ == kDragNone) return;
  const D2D_POINT_2F p = ToPagePoint(client);
  switch (dragState_) {
    case kDragResize: ResizeByHandle(p, false); break;
    case kDragSelection: DragSelection(p); break;
    case kDragBand:
      if (!bandActive_ && (std::fabs(p.x - bandStart_.x) > kBandThreshold ||
                           std::fabs(p.y - bandStart_.y) > kBandThreshold)) {
        bandActive_ = true;
      }
      if (bandActive_) bandEnd_ = p;
      break;
    default: break;
  }
  Paint();
}

void UiElemCanvas::OnMouseRelease(D2D_POINT_2F client) {
  if (view_ != nullptr) view_->ReleaseMouseCapture();
  if (dragState_ == kDragNone) return;
  const int state = dragState_;
  dragState_ = kDragNone;
  const D2D_POINT_2F p = ToPagePoint(client);
  switch (state) {
    case kDragResize:
      ResizeByHandle(p, true);
      resizing_.reset();
      break;
    case kDragSelection: DragSelection(p); break;
    case kDragBand:
      OnLButtonUp(p);
      bandActive_ = false;
      bandStart_ = {};
      bandEnd_ = {};
      break;
    default: break;
  }
  Paint();
}

void UiElemCanvas::OnCaptureLost() {
  if (dragState_ == kDragNone) return;
  OnMouseRelease(lastClientPoint_);
}

void UiElemCanvas::ResizeByHandle(D2D_POINT_2F p, bool finishing) {
  if (!resizing_ || !resizing_->host) return;
  if (resizing_->handle != UiElem::kNoHandle) {
    resizing_->ResizeRectByHandle(p);
    if (finishing) resizing_->handle = UiElem::kNoHandle;
  }
  resizing_->host->SetRect(resizing_->rect);
  resizing_->RefreshRect();
  MarkModified();
}

void UiElemCanvas::DragSelection(D2D_POINT_2F p) {
  const float dx = p.x - lastDragPoint_.x;
  const float dy = p.y - lastDragPoint_.y;
  lastDragPoint_ = p;
  const D2D_RECT_F& box = selection_.GetBox();
  if (box.top + dy < kPageOrigin || box.left + dx < kPageOrigin) return;
  selection_.MoveBy(dx, dy);
  MarkModified();
}

void UiElemCanvas::OnLButtonUp(D2D_POINT_2F p) {
  if (!page_ || !page_->elements) return;
  if (bandActive_) {
    const D2D_RECT_F band = Ordered(bandStart_, bandEnd_);
    std::vector<std::shared_ptr<UiElem>> caught;
    for (const auto& elem : page_->elements->elems) {
      if (!elem || !elem->host) continue;
      const D2D_RECT_F r = elem->host->GetRect();
      // Overlapping with an area: touching an edge is not enough.
      if (std::max(r.left, band.left) < std::min(r.right, band.right) &&
          std::max(r.top, band.top) < std::min(r.bottom, band.bottom)) {
        caught.push_back(elem);
      }
    }
    selection_.ReplaceAll(std::move(caught));
  } else {
    const std::shared_ptr<UiElem> elem = HitTest(p);
    selection_.Clear();
    if (elem) selection_.Add(elem);
  }
  if (selection_.IsEmpty()) {
    UiElemSelListener::NotifyPageSelected(page_);
  } else {
    UiElemSelListener::NotifySelectionChanged(selection_);
  }
  if (view_ != nullptr) view_->SetFocus();
}

void UiElemCanvas::InsertElem(D2D_POINT_2F p) {
  if (!page_ || !page_->elements || elemTool_ == nullptr) return;
  const D2D_POINT_2F at{std::max(p.x, kPageOrigin), std::max(p.y, kPageOrigin)};
  std::shared_ptr<UiElem> elem = elemTool_->Create(at);
  if (!elem || !elem->host) return;
  page_->elements->elems.push_back(elem);
  selection_.Clear();
  selection_.Add(elem);
  UiElemSelListener::NotifySelectionChanged(selection_);
  elemTool_->Done();
  MarkModified();
}

bool UiElemCanvas::UpdateCursor(CanvasWindow* view) {
  if (view == nullptr || selection_.Count() != 1) return false;
  const D2D_POINT_2F p = ToPagePoint(view->GetCursorClientPos());
  const UiElem& sole = *selection_.GetMembers().front();
  CanvasCursor cursor = CanvasCursor::Arrow;
  for (int i = UiElem::kHandleTopLeft; i <= UiElem::kHandleBottomLeft; ++i) {
    if (!Contains(sole.GetHandleRect(i), p)) continue;
    const bool diagonalDown = i == UiElem::kHandleTopLeft || i == UiElem::kHandleBottomRight;
    cursor = diagonalDown ? CanvasCursor::SizeNwse : CanvasCursor::SizeNesw;
    break;
  }
  view->SetCursor(cursor);
  return true;
}

bool UiElemCanvas::RefreshElems() {
  if (!page_ || !page_->elements) return false;
  bool changed = false;
  for (const auto& elem : page_->elements->elems) {
    // Every host is asked: each keeps its own change counters.
    if (elem && elem->host && elem->host->Refresh()) changed = true;
  }
  return changed;
}

std::string UiElemCanvas::GetPageName() const { return page_ ? page_->name : std::string(); }

}  // namespace NsOvrin::NsUiD2ElemEditor
