#include "editor/QlEHostEdit.h"

#include "editor/EditorGlobals.h"

namespace NsOvrin::NsQlElemEditor {

using NsQlElemIo::QlEditIo;
using NsQlUiElem::QlUiEdit;

QlEHostEdit::QlEHostEdit(D2D_POINT_2F point)
    : QlEHostOf(QlUiEdit::QlUiEditAt(point, 90.0f), std::make_shared<QlEditIo>()) {
  CheckElemIo(_qlUi.get(), _qlIo.get(), nullptr);
}

QlEHostEdit::QlEHostEdit(std::shared_ptr<QlUiEdit> ui, std::shared_ptr<QlEditIo> io)
    : QlEHostOf(std::move(ui), std::move(io)) {}

void QlEHostEdit::SetRect(const D2D_RECT_F& rect) {
  if (_qlUi) _qlUi->SetRect(rect);
}

bool QlEHostEdit::GetAddressLabel(std::string& text) const {
  text = _qlIo->address;
  return true;
}

bool QlEHostEdit::Refresh() {
  if (!_qlUi || !_qlIo) return false;
  if (!HostOnlineFlag) {
    if (!pendingRefresh_) return false;
    // The preview in the box's new format and scale.
    _qlUi->textBox.text = _qlIo->FormatUInt16(0);
    pendingRefresh_ = false;
    return true;
  }
  std::string text;
  bool changed = false;
  if (!_qlIo->ReadValueText(text, changed)) return false;
  const bool show = pendingRefresh_ || changed;
  pendingRefresh_ = false;
  if (!show) return false;
  _qlUi->textBox.text = text;
  return true;
}

void QlEHostEdit::OnModeChanged() {
  if (HostOnlineFlag) {
    if (_qlIo) _qlIo->forceRefresh = true;
    return;
  }
  if (_qlUi && _qlIo) _qlUi->textBox.text = _qlIo->FormatUInt16(0);
}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostEdit::Clone() const {
  auto copy = std::make_shared<QlEHostEdit>(_qlUi ? _qlUi->Clone() : nullptr,
                                            _qlIo ? _qlIo->Clone() : nullptr);
  return FinishClone(std::move(copy));
}

}  // namespace NsOvrin::NsQlElemEditor
