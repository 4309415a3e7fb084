#include "editor/QlEHostPageTo.h"

#include "editor/QlEHostButton.h"

namespace NsOvrin::NsQlElemEditor {

using NsQlElemIo::QlPageToIo;
using NsQlUiElem::QlUiButton;

QlEHostPageTo::QlEHostPageTo(D2D_POINT_2F point)
    : QlEHostOf(MakeButtonRecordAt(point, "页面跳转"), std::make_shared<QlPageToIo>()) {
  _qlIo->jumpType = NsQlElemIo::kPageJumpHome;
  CheckElemIo(_qlUi.get(), _qlIo.get(), nullptr);
}

QlEHostPageTo::QlEHostPageTo(std::shared_ptr<QlUiButton> ui, std::shared_ptr<QlPageToIo> io)
    : QlEHostOf(std::move(ui), std::move(io)) {}

void QlEHostPageTo::SetRect(const D2D_RECT_F& rect) {
  if (_qlUi) SetButtonRect(*_qlUi, rect);
}

bool QlEHostPageTo::GetAddressLabel(std::string& text) const {
  text = _qlIo->GetTargetText();
  return true;
}

void QlEHostPageTo::OnPageRenamed(const std::string& oldName, const std::string& newName) {
  if (_qlIo && _qlIo->targetPage == oldName) _qlIo->targetPage = newName;
}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostPageTo::Clone() const {
  auto copy = std::make_shared<QlEHostPageTo>(_qlUi ? _qlUi->Clone() : nullptr,
                                              _qlIo ? _qlIo->Clone() : nullptr);
  return FinishClone(std::move(copy));
}

}  // namespace NsOvrin::NsQlElemEditor
