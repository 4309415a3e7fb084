#include "dialogs/CDlgProtAlarmList.h"

namespace NsOvrin {

CDlgProtAlarmList::CDlgProtAlarmList(QWidget* parent) : ProtHeadingPage(parent, "当前警报属性:", 86) {}

}  // namespace NsOvrin
