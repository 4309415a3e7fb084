#include "editor/QlEHostPanel.h"

namespace NsOvrin::NsQlElemEditor {

using NsQlElemIo::QlPanelIo;
using NsQlUiElem::QlUiPanel;

QlEHostPanel::QlEHostPanel(D2D_POINT_2F point)
    : QlEHostOf(std::make_shared<QlUiPanel>(), std::make_shared<QlPanelIo>()) {
  _qlUi->SetRect({point.x, point.y, point.x + 300.0f, point.y + 160.0f});
  _qlUi->title = "标题";
}

QlEHostPanel::QlEHostPanel(std::shared_ptr<QlUiPanel> ui, std::shared_ptr<QlPanelIo> io)
    : QlEHostOf(std::move(ui), std::move(io)) {}

void QlEHostPanel::SetRect(const D2D_RECT_F& rect) {
  if (_qlUi) _qlUi->SetRect(rect);
}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostPanel::Clone() const {
  auto copy = std::make_shared<QlEHostPanel>(_qlUi ? _qlUi->Clone() : nullptr,
                                             _qlIo ? _qlIo->Clone() : nullptr);
  return FinishClone(std::move(copy));
}

}  // namespace NsOvrin::NsQlElemEditor
