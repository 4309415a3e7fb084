#include "editor/QlEHostNavBar.h"

namespace NsOvrin::NsQlElemEditor {

using NsQlElemIo::QlNavBarIo;
using NsQlUiElem::QlUiNavBar;

QlEHostNavBar::QlEHostNavBar(D2D_POINT_2F point)
    : QlEHostOf(QlUiNavBar::QlUiNavBarAt(point), std::make_shared<QlNavBarIo>()) {
  CheckElemIo(_qlUi.get(), _qlIo.get(), nullptr);
}

QlEHostNavBar::QlEHostNavBar(std::shared_ptr<QlUiNavBar> ui, std::shared_ptr<QlNavBarIo> io)
    : QlEHostOf(std::move(ui), std::move(io)) {}

void QlEHostNavBar::SetRect(const D2D_RECT_F& rect) {
  if (_qlUi) _qlUi->SetRect(rect);
}

void QlEHostNavBar::OnPageRenamed(const std::string& oldName, const std::string& newName) {
  if (!_qlIo) return;
  for (std::string& target : _qlIo->targetPages)
    if (target == oldName) target = newName;
}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostNavBar::Clone() const {
  auto copy = std::make_shared<QlEHostNavBar>(_qlUi ? _qlUi->Clone() : nullptr,
                                              _qlIo ? _qlIo->Clone() : nullptr);
  return FinishClone(std::move(copy));
}

}  // namespace NsOvrin::NsQlElemEditor
