#include "editor/QlEHostAlarmHist.h"

namespace NsOvrin::NsQlElemEditor {

using NsQlElemIo::QlAlarmHistIo;
using NsQlUiElem::QlUiAlarmHist;

QlEHostAlarmHist::QlEHostAlarmHist(D2D_POINT_2F point)
    : QlEHostAlarmOf(D2D_RECT_F{point.x, point.y, point.x + 450.0f, point.y + 210.0f}) {}

QlEHostAlarmHist::QlEHostAlarmHist(std::shared_ptr<QlUiAlarmHist> ui,
                                   std::shared_ptr<QlAlarmHistIo> io)
    : QlEHostAlarmOf(std::move(ui), std::move(io)) {}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostAlarmHist::Clone() const {
  return CloneOf(*this);
}

}  // namespace NsOvrin::NsQlElemEditor
