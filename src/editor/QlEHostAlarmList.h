#pragma once
// Host of a current-alarm list (type 9): one row per alarm that is on,
// online; a demonstration row in design mode.
#include <memory>

#include "QlUiElem/QlUiAlarmList.h"
#include "editor/QlEHostAlarmOf.h"
#include "element_io/QlAlarmListIo.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_POINT_2F;

class QlEHostAlarmList
    : public QlEHostAlarmOf<NsQlUiElem::QlUiAlarmList, NsQlElemIo::QlAlarmListIo> {
 public:
  // A new list 390 by 210 at the point with its demonstration row, checked.
  explicit QlEHostAlarmList(D2D_POINT_2F point);
  // Shares a loaded record and binding; no check.
  QlEHostAlarmList(std::shared_ptr<NsQlUiElem::QlUiAlarmList> ui,
                   std::shared_ptr<NsQlElemIo::QlAlarmListIo> io);

  int GetType() const override { return NsQlUiElem::kElemAlarmList; }
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override;
};

}  // namespace NsOvrin::NsQlElemEditor
