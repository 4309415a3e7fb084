#pragma once
// What the page canvas needs of the window it draws into: the client size,
// a render target bound to the client area, the two scroll bars, the mouse
// capture, the keyboard focus and the cursor. The page view implements it;
// all values are client pixels.
#include <memory>

#include "dx2d/D2Types.h"
#include "dx2d/RenderTarget.h"

namespace NsOvrin::NsUiD2ElemEditor {

using NsDx2d::D2D_POINT_2F;
using NsDx2d::D2D_SIZE_U;

enum class ScrollBarId { Horizontal, Vertical };

// The requests a scroll bar sends, as the platform's scroll messages carry them.
enum class ScrollRequest {
  LineUp,
  LineDown,
  PageUp,
  PageDown,
  ThumbPosition,
  ThumbTrack,
  Top,
  Bottom,
  EndScroll,
};

enum class CanvasCursor { Arrow, SizeNwse, SizeNesw };

struct ScrollBarState {
  int minPos = 0;
  int maxPos = 0;
  int page = 0;
  int pos = 0;
};

class CanvasWindow {
 public:
  CanvasWindow() = default;
  CanvasWindow(const CanvasWindow&) = delete;
  CanvasWindow& operator=(const CanvasWindow&) = delete;
  virtual ~CanvasWindow() = default;

  virtual D2D_SIZE_U GetClientSize() const = 0;
  // A target that draws into the client area; null when none can be made.
  virtual std::unique_ptr<NsDx2d::RenderTarget> CreateRenderTarget(D2D_SIZE_U pixelSize) = 0;
  // The client area of a target made here changed size.
  virtual void ResizeRenderTarget(NsDx2d::RenderTarget& target, D2D_SIZE_U pixelSize) = 0;

  virtual ScrollBarState GetScrollBar(ScrollBarId bar) const = 0;
  // Range and page in one step, then the bar is redrawn. As with every
  // change below, the position stays between the minimum and the last
  // position that still shows a full page (maximum - page + 1).
  virtual void SetScrollRange(ScrollBarId bar, int minPos, int maxPos, int page) = 0;
  virtual void SetScrollPage(ScrollBarId bar, int page) = 0;
  virtual void SetScrollPos(ScrollBarId bar, int pos) = 0;

  virtual void ReleaseMouseCapture() = 0;
  virtual void SetFocus() = 0;
  virtual D2D_POINT_2F GetCursorClientPos() const = 0;
  virtual void SetCursor(CanvasCursor cursor) = 0;
};

}  // namespace NsOvrin::NsUiD2ElemEditor
