#pragma once
// The canvas's handle on one element: its host and the little state the
// canvas keeps while the user edits it. Always held by shared pointer; the
// page container, the selection and the clipboard share one wrapper.
#include <memory>

#include "dx2d/D2ResInfo.h"
#include "dx2d/D2Types.h"
#include "editor/TUiHost.h"

namespace NsOvrin::NsUiD2ElemEditor {

using NsDx2d::D2D_POINT_2F;

class UiElem {
 public:
  // Handles of a resize drag; 4 is never used.
  static constexpr int kHandleTopLeft = 0;
  static constexpr int kHandleTopRight = 1;
  static constexpr int kHandleBottomRight = 2;
  static constexpr int kHandleBottomLeft = 3;
  static constexpr int kNoHandle = 5;
  // The least width and height a handle drag or a same-size command leaves
  // an element: one page unit, a pixel at scale 1. Thin separator lines stay
  // possible, and a rubber band and a click still find the element.
  static constexpr float kMinSize = 1.0f;

  UiElem() = default;
  explicit UiElem(std::shared_ptr<TUiHost> host) : host(std::move(host)) {}

  // Shifts the host's rectangle, then reads back what the host kept.
  void MoveBy(float dx, float dy);
  // The cached rectangle from the host; kept as it is without a host.
  void RefreshRect();

  // The 8 x 8 square of a handle, just outside its corner of the cached
  // rectangle; (0, 0, 0, 0) for any other index.
  D2D_RECT_F GetHandleRect(int index) const;
  // The frame 4 units around the cached rectangle and its four handles, in
  // the colours of an anchored or another selected element.
  void DrawSelectionFrame(const NsDx2d::D2ResInfo& d2) const;
  // One step of a handle drag to p: the handle's edges follow the mouse,
  // the left and top edges stay right of and below the margin, crossed
  // edges are swapped (the handle then becomes the mirrored corner, so the
  // edge under the pointer goes on following it), and the element keeps at
  // least kMinSize each way. Only the cached rectangle changes.
  void ResizeRectByHandle(D2D_POINT_2F p);

  std::shared_ptr<TUiHost> host;
  // The host's rectangle as last read; selection frame, handles and cursor
  // go by it.
  D2D_RECT_F rect;
  // Last mouse point of a handle drag.
  D2D_POINT_2F pressPoint;
  int handle = kNoHandle;
  bool anchored = false;
};

// A new wrapper around the host's deep copy; empty for an empty wrapper or
// one without a host.
std::shared_ptr<UiElem> CloneUiElem(const std::shared_ptr<UiElem>& elem);

}  // namespace NsOvrin::NsUiD2ElemEditor
