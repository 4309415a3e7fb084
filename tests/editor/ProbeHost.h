#pragma once
// A host with nothing but a rectangle, for the canvas-side containers. It
// may keep its rectangle on a grid, as real hosts may adjust what they are
// given.
#include <cmath>
#include <memory>

#include "editor/TUiHost.h"
#include "editor/UiElem.h"

namespace NsOvrin::NsUiD2ElemEditor::Testing {

class ProbeHost : public TUiHost {
 public:
  explicit ProbeHost(D2D_RECT_F rect, float grid = 0.0f) : rect_(rect), grid_(grid) {}

  D2D_RECT_F GetRect() const override { return rect_; }
  void SetRect(const D2D_RECT_F& rect) override {
    rect_ = rect;
    if (grid_ > 0.0f) {
      rect_.left = std::round(rect.left / grid_) * grid_;
      rect_.top = std::round(rect.top / grid_) * grid_;
      rect_.right = rect_.left + (rect.right - rect.left);
      rect_.bottom = rect_.top + (rect.bottom - rect.top);
    }
  }
  void Draw(const D2ResInfo&) override {}
  void DrawOverlay(const D2ResInfo&) override {}
  int GetType() const override { return 1; }
  bool Refresh() override { return false; }
  std::shared_ptr<TUiHost> Clone() const override {
    return std::make_shared<ProbeHost>(rect_, grid_);
  }

 private:
  D2D_RECT_F rect_;
  float grid_;
};

inline std::shared_ptr<UiElem> MakeProbe(D2D_RECT_F rect, float grid = 0.0f) {
  return std::make_shared<UiElem>(std::make_shared<ProbeHost>(rect, grid));
}

}  // namespace NsOvrin::NsUiD2ElemEditor::Testing
