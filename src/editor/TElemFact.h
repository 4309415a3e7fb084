#pragma once
// The armed element tool of a page view: the canvas asks it for a new
// element where the user pressed. The view owns it.
#include <memory>

#include "dx2d/D2Types.h"
#include "editor/UiElem.h"

namespace NsOvrin::NsUiD2ElemEditor {

class TElemFact {
 public:
  virtual ~TElemFact() = default;

  // True while an element tool is armed.
  virtual bool IsArmed() = 0;
  // A new element of the armed kind at the point; empty when none can be made.
  virtual std::shared_ptr<UiElem> Create(const NsDx2d::D2D_POINT_2F& point) = 0;
  // An element was inserted: the tool goes back to the pointer.
  virtual void Done() = 0;
};

}  // namespace NsOvrin::NsUiD2ElemEditor
