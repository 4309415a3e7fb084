#include "editor/QlEHostMultFuncBtn.h"

#include "editor/QlEHostButton.h"

namespace NsOvrin::NsQlElemEditor {

using NsQlElemIo::QlMultFuncBtnIo;
using NsQlUiElem::QlUiButton;

QlEHostMultFuncBtn::QlEHostMultFuncBtn(D2D_POINT_2F point)
    : QlEHostOf(MakeButtonRecordAt(point, "功能按钮"), std::make_shared<QlMultFuncBtnIo>()) {
  CheckElemIo(_qlUi.get(), _qlIo.get(), nullptr);
}

QlEHostMultFuncBtn::QlEHostMultFuncBtn(std::shared_ptr<QlUiButton> ui,
                                       std::shared_ptr<QlMultFuncBtnIo> io)
    : QlEHostOf(std::move(ui), std::move(io)) {}

void QlEHostMultFuncBtn::SetRect(const D2D_RECT_F& rect) {
  if (_qlUi) SetButtonRect(*_qlUi, rect);
}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostMultFuncBtn::Clone() const {
  auto copy = std::make_shared<QlEHostMultFuncBtn>(_qlUi ? _qlUi->Clone() : nullptr,
                                                   _qlIo ? _qlIo->Clone() : nullptr);
  return FinishClone(std::move(copy));
}

}  // namespace NsOvrin::NsQlElemEditor
