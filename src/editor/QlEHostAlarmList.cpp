#include "editor/QlEHostAlarmList.h"

namespace NsOvrin::NsQlElemEditor {

using NsQlElemIo::QlAlarmListIo;
using NsQlUiElem::QlUiAlarmList;

QlEHostAlarmList::QlEHostAlarmList(D2D_POINT_2F point)
    : QlEHostAlarmOf(D2D_RECT_F{point.x, point.y, point.x + 390.0f, point.y + 210.0f}) {}

QlEHostAlarmList::QlEHostAlarmList(std::shared_ptr<QlUiAlarmList> ui,
                                   std::shared_ptr<QlAlarmListIo> io)
    : QlEHostAlarmOf(std::move(ui), std::move(io)) {}

std::shared_ptr<NsUiD2ElemEditor::TUiHost> QlEHostAlarmList::Clone() const {
  return CloneOf(*this);
}

}  // namespace NsOvrin::NsQlElemEditor
