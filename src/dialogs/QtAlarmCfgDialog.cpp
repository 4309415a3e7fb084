#include "dialogs/QtAlarmCfgDialog.h"

#include <QWidget>

#include "dialogs/CDlgAlarmCfg.h"

namespace NsOvrin {

void QtAlarmCfgDialog::Run(ParentWindow* parent) {
  // The store's owner windows are widgets under another name.
  CDlgAlarmCfg dialog(reinterpret_cast<QWidget*>(parent));
  dialog.DoModal();
}

}  // namespace NsOvrin
