#include "editor/QlEHostString.h"

#include "editor/EditorGlobals.h"

namespace NsOvrin::NsQlElemEditor {

using NsQlElemIo::QlStringIo;
using NsQlUiElem::QlUiEdit;

QlEHostString::QlEHostString(D2D_POINT_2F point)
    : QlEHostOf(QlUiEdit::QlUiEditAt(point, 220.0f), std::make_shared<QlStringIo>()) {
  _qlUi->textBox.text = kPreviewText;
  CheckElemIo(_qlUi.get(), _qlIo.get(), nullptr);
}

QlEHostString::QlEHostString(std::shared_ptr<QlUiEdit> ui, std::shared_ptr<QlStringIo> io)
    : QlEHostOf(std::move(ui), std::move(io)) {
  if (_qlUi && _qlIo) _qlUi->textBox.text = kPreviewText;
}

void QlEHostString::SetRect(const D2D_RECT_F& rect) {
  if (_qlUi) _qlUi->SetRect(rect);
}

bool QlEHostString::GetAddressLabel(std::string& text) const {
  text = _qlIo->address;
  return true;
}

bool QlEHostString::Refresh() {
  if (!HostOnlineFlag || !_qlUi || !_qlIo) return false;
  std::string text;
  bool changed = false;
  if (!_qlIo->ReadText(text, changed) || !changed) return false;
  _qlUi->textBox.text = text;
  return true;
}

void QlEHostString::OnModeChanged() {
  if (HostOnlineFlag) {
    if (_qlIo) _qlIo->forceRefresh = true;
    return;
  }
  if (_qlUi && _qlIo) _qlUi->textBox.text = kPreviewText;
}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostString::Clone() const {
  auto copy = std::make_shared<QlEHostString>(_qlUi ? _qlUi->Clone() : nullptr,
                                              _qlIo ? _qlIo->Clone() : nullptr);
  return FinishClone(std::move(copy));
}

}  // namespace NsOvrin::NsQlElemEditor
