#include "dialogs/AlarmGroupEdits.h"

#include "alarm/AlarmSegCvb.h"
#include "common/UiValidation.h"
#include "termination/ChannelManager.h"
#include "wui/CConfirmEditCtrl.h"

namespace NsOvrin {

using namespace NsUiRule;

bool CheckAlarmCount(const std::string& text, std::string& message) {
  UiRule rule("警报数量");
  rule.AddSegment(new UiRuleSegUIntRange(0, 0, kBoundNone))
      .AddSegment(new UiRuleSegUIntRange(1, 1000, kBoundBoth));
  return rule.Check(text, message);
}

bool CheckHistCount(const std::string& text, std::string& message) {
  UiRule rule("历史警报数量");
  rule.AddSegment(new UiRuleSegRequired).AddSegment(new UiRuleSegUIntRange(1, 1000, kBoundBoth));
  return rule.Check(text, message);
}

bool CheckAlarmAddress(const std::string& text, std::string& message) {
  const NsTermination::AddrCheckCode code = NsTermination::CheckDeviceAddress(text, true);
  if (code == NsTermination::kAddrOk) return true;
  message = NsTermination::GetAddrCheckMessage(code);
  return false;
}

void ResetAlarmEdit(NsWui::CConfirmEditCtrl& edit) {
  // Leaving puts back the text editing began with; the caller's text
  // follows.
  if (edit.editing) edit.LeaveEditMode(false);
  edit.editing = false;
  edit.saved = false;
  edit.buttonsEnabled = true;
  edit.leaveOnFocusLoss = true;
  edit.SyncEditText();
}

void ResetAlarmEdit(NsWui::CConfirmEditCtrl& edit, const std::string& text) {
  ResetAlarmEdit(edit);
  edit.setText(QString::fromStdString(text));
}

void ApplyAlarmAddress(NsAlarm::AlarmSegCvb& group, std::string& text) {
  text = NsTermination::NormalizeDeviceAddress(text);
  // A text that no longer binds is kept: the status line shows it.
  group.BindAddress(text);
}

}  // namespace NsOvrin
