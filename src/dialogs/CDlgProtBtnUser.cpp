#include "dialogs/CDlgProtBtnUser.h"

namespace NsOvrin {

CDlgProtBtnUser::CDlgProtBtnUser(QWidget* parent) : ProtHeadingPage(parent, "用户登录属性:", 70) {}

}  // namespace NsOvrin
