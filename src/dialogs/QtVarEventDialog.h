#pragma once
// The project store's variable events dialog: CDlgVarEvent, modal over the
// widget behind the store's opaque owner window.
#include <functional>

#include "ui_services/VarEventDialog.h"

class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

namespace NsOvrin {

class QtVarEventDialog : public VarEventDialog {
 public:
  void Run(ParentWindow* parent) override;

  // Handed to every dialog it opens; the application sets them.
  std::function<QWidget*()> funcListWindow;
  std::function<QWidget*()> existingFuncListWindow;
  std::function<QTreeWidgetItem*(QTreeWidget*)> fillFuncTree;
};

}  // namespace NsOvrin
