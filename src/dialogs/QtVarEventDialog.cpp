#include "dialogs/QtVarEventDialog.h"

#include <QWidget>

#include "dialogs/CDlgVarEvent.h"

namespace NsOvrin {

void QtVarEventDialog::Run(ParentWindow* parent) {
  // The store's owner windows are widgets under another name.
  CDlgVarEvent dialog(reinterpret_cast<QWidget*>(parent));
  dialog.funcListWindow = funcListWindow;
  dialog.existingFuncListWindow = existingFuncListWindow;
  dialog.fillFuncTree = fillFuncTree;
  dialog.DoModal();
}

}  // namespace NsOvrin
