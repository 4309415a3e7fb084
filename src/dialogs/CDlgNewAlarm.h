#pragma once
// The modal new-alarm dialog: start address and bit count of a new alarm
// group. Each confirmed edit goes straight into the group handed in; OK adds
// the group to the alarm manager, Cancel leaves it to be dropped.
#include <memory>

#include "wui/CModalDialog.h"

namespace NsOvrin {

namespace NsAlarm {
class AlarmSegCvb;
}
namespace NsWui {
class CConfirmEditCtrl;
}

class CDlgNewAlarm : public NsWui::CModalDialog {
 public:
  static constexpr int IDC_ADDRESS = 1000;
  static constexpr int IDC_COUNT = 1001;
  static constexpr int IDC_OK = 1;
  static constexpr int IDC_CANCEL = 2;

  // segment: the new group, not yet in the alarm manager; may be null, OK
  // then adds nothing.
  CDlgNewAlarm(std::shared_ptr<NsAlarm::AlarmSegCvb> segment, QWidget* parent = nullptr);

  void OnInitDialog() override;
  void OnOK();

  void CommitCount(std::string& text);
  void CommitAddress(std::string& text);

  NsWui::CConfirmEditCtrl* countEdit = nullptr;
  NsWui::CConfirmEditCtrl* addressEdit = nullptr;
  std::shared_ptr<NsAlarm::AlarmSegCvb> segment;
};

}  // namespace NsOvrin
