#pragma once
// The property page of the current-alarm list (type 9): its heading only.
#include "dialogs/ProtHeadingPage.h"

namespace NsOvrin {

class CDlgProtAlarmList : public ProtHeadingPage {
 public:
  static constexpr int IDD = 379;

  explicit CDlgProtAlarmList(QWidget* parent = nullptr);
};

}  // namespace NsOvrin
