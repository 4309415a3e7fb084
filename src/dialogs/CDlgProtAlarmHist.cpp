#include "dialogs/CDlgProtAlarmHist.h"

namespace NsOvrin {

CDlgProtAlarmHist::CDlgProtAlarmHist(QWidget* parent) : ProtHeadingPage(parent, "历史警报属性:", 80) {}

}  // namespace NsOvrin
