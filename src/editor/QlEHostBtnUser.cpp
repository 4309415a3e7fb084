#include "editor/QlEHostBtnUser.h"

namespace NsOvrin::NsQlElemEditor {

using NsQlElemIo::QlBtnUserIo;
using NsQlUiElem::QlUiBtnUser;

QlEHostBtnUser::QlEHostBtnUser(D2D_POINT_2F point)
    : QlEHostOf(QlUiBtnUser::QlUiBtnUserAt(point), std::make_shared<QlBtnUserIo>()) {
  Check(nullptr);
}

QlEHostBtnUser::QlEHostBtnUser(std::shared_ptr<QlUiBtnUser> ui, std::shared_ptr<QlBtnUserIo> io)
    : QlEHostOf(std::move(ui), std::move(io)) {}

void QlEHostBtnUser::SetRect(const D2D_RECT_F& rect) {
  if (_qlUi) _qlUi->SetRect(rect);
}

bool QlEHostBtnUser::Check(std::string* message) {
  if (!_qlUi) {
    if (message != nullptr) *message = "系统错误: _qlUi == 0";
    return false;
  }
  _qlUi->inError = false;
  return true;
}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostBtnUser::Clone() const {
  auto copy = std::make_shared<QlEHostBtnUser>(_qlUi ? _qlUi->Clone() : nullptr,
                                               _qlIo ? _qlIo->Clone() : nullptr);
  return FinishClone(std::move(copy));
}

}  // namespace NsOvrin::NsQlElemEditor
