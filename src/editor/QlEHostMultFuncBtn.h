#pragma once
// Host of a multi-function button (type 13). It is a page listener like the
// page-jump button, but its instruction lines keep the page names they were
// written with: every notification is ignored.
#include <memory>

#include "QlUiElem/QlUiButton.h"
#include "compiler/QlMultFuncBtnIo.h"
#include "editor/HostPageListener.h"
#include "editor/QlEHostElem.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_POINT_2F;

class QlEHostMultFuncBtn
    : public QlEHostOf<NsQlUiElem::QlUiButton, NsQlElemIo::QlMultFuncBtnIo>,
      public HostPageListener {
 public:
  // A new "功能按钮" button at the point without instructions, checked.
  explicit QlEHostMultFuncBtn(D2D_POINT_2F point);
  // Shares a loaded record and binding; no check.
  QlEHostMultFuncBtn(std::shared_ptr<NsQlUiElem::QlUiButton> ui,
                     std::shared_ptr<NsQlElemIo::QlMultFuncBtnIo> io);

  void SetRect(const D2D_RECT_F& rect) override;
  int GetType() const override { return NsQlUiElem::kElemMultFunc; }
  // The copy's validation compiles its own instructions.
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override;
};

}  // namespace NsOvrin::NsQlElemEditor
