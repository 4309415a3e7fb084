#include "editor/QlEHostText.h"

namespace NsOvrin::NsQlElemEditor {

using NsQlElemIo::QlTextIo;
using NsQlUiElem::QlUiText;

QlEHostText::QlEHostText(D2D_POINT_2F point)
    : QlEHostOf(std::make_shared<QlUiText>(), std::make_shared<QlTextIo>()) {
  _qlUi->SetRect({point.x, point.y, point.x + 60.0f, point.y + 26.0f});
  _qlUi->textBox.text = "文字";
  CheckElemIo(_qlUi.get(), _qlIo.get(), nullptr);
}

QlEHostText::QlEHostText(std::shared_ptr<QlUiText> ui, std::shared_ptr<QlTextIo> io)
    : QlEHostOf(std::move(ui), std::move(io)) {}

void QlEHostText::SetRect(const D2D_RECT_F& rect) {
  if (_qlUi) _qlUi->SetRect(rect);
}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostText::Clone() const {
  auto copy = std::make_shared<QlEHostText>(_qlUi ? _qlUi->Clone() : nullptr,
                                            _qlIo ? _qlIo->Clone() : nullptr);
  return FinishClone(std::move(copy));
}

}  // namespace NsOvrin::NsQlElemEditor
