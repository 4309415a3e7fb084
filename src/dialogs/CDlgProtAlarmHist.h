#pragma once
// The property page of the alarm history (type 11): its heading only.
#include "dialogs/ProtHeadingPage.h"

namespace NsOvrin {

class CDlgProtAlarmHist : public ProtHeadingPage {
 public:
  static constexpr int IDD = 380;

  explicit CDlgProtAlarmHist(QWidget* parent = nullptr);
};

}  // namespace NsOvrin
