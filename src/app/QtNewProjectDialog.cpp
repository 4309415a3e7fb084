#include "app/QtNewProjectDialog.h"

#include "app/QtMessageBoxService.h"
#include "dialogs/CDlgNewProject.h"
#include "wui/UiServices.h"

namespace NsOvrin {

bool QtNewProjectDialog::Run(ParentWindow* parent, Fields& fields) {
  CDlgNewProject dialog(QtMessageBoxService::ToWidget(parent));
  dialog.name = fields.name;
  dialog.folder = fields.folder;
  dialog.screenWidth = fields.width;
  dialog.screenHeight = fields.height;
  if (dialog.DoModal() != NsWui::IDOK) return false;
  fields.name = dialog.name;
  fields.folder = dialog.folder;
  fields.width = dialog.screenWidth;
  fields.height = dialog.screenHeight;
  return true;
}

}  // namespace NsOvrin
