#pragma once
// Host of a number box (type 2): shows the live value online and the value
// 0 in the box's format in design mode.
#include <memory>
#include <string>

#include "QlUiElem/QlUiEdit.h"
#include "editor/QlEHostElem.h"
#include "element_io/QlEditIo.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_POINT_2F;

class QlEHostEdit : public QlEHostOf<NsQlUiElem::QlUiEdit, NsQlElemIo::QlEditIo> {
 public:
  // A new box 90 by 27 at the point, checked.
  explicit QlEHostEdit(D2D_POINT_2F point);
  // Shares a loaded record and binding; no check.
  QlEHostEdit(std::shared_ptr<NsQlUiElem::QlUiEdit> ui, std::shared_ptr<NsQlElemIo::QlEditIo> io);

  void SetRect(const D2D_RECT_F& rect) override;
  int GetType() const override { return NsQlUiElem::kElemNumber; }
  // Offline only the pending preview; online the value read when it changed.
  bool Refresh() override;
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override;
  void OnModeChanged() override;

  // Set by the property page when the number of decimals changes: the next
  // Refresh shows the text again, in design mode too.
  void SetPendingRefresh(bool pending) { pendingRefresh_ = pending; }
  bool IsPendingRefresh() const { return pendingRefresh_; }

 protected:
  bool GetAddressLabel(std::string& text) const override;

 private:
  bool pendingRefresh_ = false;
};

}  // namespace NsOvrin::NsQlElemEditor
