#include "app/QtMessageBoxService.h"

#include "wui/UiServices.h"

namespace NsOvrin {

using namespace NsWui;

ParentWindow* QtMessageBoxService::ToParentWindow(QWidget* widget) {
  return reinterpret_cast<ParentWindow*>(widget);
}

QWidget* QtMessageBoxService::ToWidget(ParentWindow* window) {
  return reinterpret_cast<QWidget*>(window);
}

void QtMessageBoxService::Show(ParentWindow* owner, const std::string& text,
                               const std::string& caption, MessageIcon icon) {
  uint32_t type = MB_OK;
  switch (icon) {
    case MessageIcon::Information: type |= MB_ICONINFORMATION; break;
    case MessageIcon::Warning: type |= MB_ICONWARNING; break;
    case MessageIcon::Error: type |= MB_ICONERROR; break;
    case MessageIcon::Question: type |= MB_ICONQUESTION; break;
  }
  GetUiServices().MessageBox(ToWidget(owner), text, caption, type);
}

}  // namespace NsOvrin
