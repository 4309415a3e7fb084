#pragma once
// Host of an alarm history (type 11): the records of the alarm manager's
// history ring, online; a demonstration row in design mode.
#include <memory>

#include "QlUiElem/QlUiAlarmHist.h"
#include "editor/QlEHostAlarmOf.h"
#include "element_io/QlAlarmHistIo.h"

namespace NsOvrin::NsQlElemEditor {

using NsDx2d::D2D_POINT_2F;

class QlEHostAlarmHist
    : public QlEHostAlarmOf<NsQlUiElem::QlUiAlarmHist, NsQlElemIo::QlAlarmHistIo> {
 public:
  // A new history 450 by 210 at the point with its demonstration row,
  // checked.
  explicit QlEHostAlarmHist(D2D_POINT_2F point);
  // Shares a loaded record and binding; no check.
  QlEHostAlarmHist(std::shared_ptr<NsQlUiElem::QlUiAlarmHist> ui,
                   std::shared_ptr<NsQlElemIo::QlAlarmHistIo> io);

  int GetType() const override { return NsQlUiElem::kElemAlarmHist; }
  std::shared_ptr<NsUiD2ElemEditor::TUiHost> Clone() const override;
};

}  // namespace NsOvrin::NsQlElemEditor
