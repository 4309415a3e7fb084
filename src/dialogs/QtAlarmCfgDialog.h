#pragma once
// The project store's alarm configuration dialog: CDlgAlarmCfg, modal over
// the widget behind the store's opaque owner window.
#include "ui_services/AlarmCfgDialog.h"

namespace NsOvrin {

class QtAlarmCfgDialog : public AlarmCfgDialog {
 public:
  void Run(ParentWindow* parent) override;
};

}  // namespace NsOvrin
