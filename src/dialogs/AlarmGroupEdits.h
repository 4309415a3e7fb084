#pragma once
// What the alarm configuration dialog and the new-alarm dialog share: the
// checks of their confirm edits and how a confirmed address or count goes
// into an alarm group.
#include <string>

namespace NsOvrin {

namespace NsAlarm {
class AlarmSegCvb;
}
namespace NsWui {
class CConfirmEditCtrl;
}

// Rule "警报数量": digits only, 1 to 1000.
bool CheckAlarmCount(const std::string& text, std::string& message);
// Rule "历史警报数量": required, 1 to 1000.
bool CheckHistCount(const std::string& text, std::string& message);
// The address must resolve and lie in one of its node's data blocks; the
// refusal is the address check's message.
bool CheckAlarmAddress(const std::string& text, std::string& message);

// Out of edit mode, with its own OK/Cancel buttons, restoring on focus loss;
// the text becomes text.
void ResetAlarmEdit(NsWui::CConfirmEditCtrl& edit, const std::string& text);
// The same, keeping the text.
void ResetAlarmEdit(NsWui::CConfirmEditCtrl& edit);

// text becomes its canonical form; the group takes it as its address and
// binds to it.
void ApplyAlarmAddress(NsAlarm::AlarmSegCvb& group, std::string& text);

}  // namespace NsOvrin
