#include "app/QtNewPageDialog.h"

#include "app/QtMessageBoxService.h"
#include "dialogs/CDlgNewPage.h"
#include "wui/UiServices.h"

namespace NsOvrin {

bool QtNewPageDialog::Run(ParentWindow* parent, std::string& name) {
  CDlgNewPage dialog(QtMessageBoxService::ToWidget(parent));
  dialog.pageName = name;
  if (dialog.DoModal() != NsWui::IDOK) return false;
  name = dialog.pageName;
  return true;
}

}  // namespace NsOvrin
