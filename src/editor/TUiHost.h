#pragma once
// What the canvas asks of an element: geometry, the two paint passes, its
// type code, the live refresh, a deep copy and the selection flag.
#include <memory>

#include "dx2d/D2ResInfo.h"
#include "dx2d/D2Types.h"

namespace NsOvrin::NsUiD2ElemEditor {

using NsDx2d::D2D_RECT_F;
using NsDx2d::D2ResInfo;

class TUiHost {
 public:
  TUiHost() = default;
  TUiHost(const TUiHost&) = delete;
  TUiHost& operator=(const TUiHost&) = delete;
  virtual ~TUiHost() = default;

  // Page coordinates (the canvas offset of 20 included).
  virtual D2D_RECT_F GetRect() const = 0;
  // The host may adjust what it is given; read it back with GetRect.
  virtual void SetRect(const D2D_RECT_F& rect) = 0;
  virtual void Draw(const D2ResInfo& d2) = 0;
  // Second pass, after every element of the page was drawn.
  virtual void DrawOverlay(const D2ResInfo& d2) = 0;
  // The element type code, 1..14.
  virtual int GetType() const = 0;
  // Called on every timer tick; true when the page must be repainted.
  virtual bool Refresh() = 0;
  // A deep copy, not selected.
  virtual std::shared_ptr<TUiHost> Clone() const = 0;
  virtual void SetSelected(bool on) { selected = on; }

  bool IsSelected() const { return selected; }

 protected:
  bool selected = false;
};

}  // namespace NsOvrin::NsUiD2ElemEditor
