#pragma once
// The variable events dialog: the project's events as a tree (address, then
// its triggers), with buttons to add an event, change its address or delete
// it, and the instruction table bound to the list of the selected trigger.
// It works on the live event list: every change takes effect at once and
// marks the project modified. There is no OK step: Enter and Escape do
// nothing and only the close box ends it.
#include <cstddef>
#include <functional>
#include <memory>
#include <string>

#include <QPointer>

#include "wui/CModalDialog.h"

class QHideEvent;
class QShowEvent;
class QTreeWidget;
class QTreeWidgetItem;

namespace NsOvrin {

namespace NsQlEvent {
class QlVarEventBase;
}

class CtrlQlFuncList;

class CDlgVarEvent : public NsWui::CModalDialog {
 public:
  static constexpr int IDD = 371;
  static constexpr int IDC_ADD = 1018;
  static constexpr int IDC_BUTTON3 = 1023;
  static constexpr int IDC_BUTTON2 = 1024;
  static constexpr int IDC_EVENT_TREE = 1043;
  static constexpr int IDC_BUTTON7 = 1019;
  static constexpr int IDC_FUNC_TABLE = 1037;
  static constexpr int IDC_SHOW_FUNCS = 1025;
  static constexpr int IDC_FUNC_TREE = 1020;

  static constexpr uint32_t kTableEnabledBack = 0xF0F0F0;
  static constexpr uint32_t kTableDisabledBack = 0xE8E8E8;

  explicit CDlgVarEvent(QWidget* parent = nullptr);
  ~CDlgVarEvent() override;

  void OnInitDialog() override;

  void OnSelChanged(QTreeWidgetItem* item);
  void OnAdd();
  void OnChange();
  void OnDelete();
  void OnDeleteCheckedRows();
  // Shows the reference window as a window of this dialog: the dialog runs
  // application-modal, and only its own windows take input beside it. The
  // window goes back to being on its own when the dialog closes. A reference
  // window already shown when the dialog starts is taken in the same way.
  void OnShowFuncs();

  // The application's instruction reference: its modeless window, made on
  // first use; the window only when it is made already (null otherwise);
  // and the filler of a reference tree (returns the root).
  std::function<QWidget*()> funcListWindow;
  std::function<QWidget*()> existingFuncListWindow;
  std::function<QTreeWidgetItem*(QTreeWidget*)> fillFuncTree;

  QTreeWidget* eventTree = nullptr;
  QTreeWidget* funcTree = nullptr;
  CtrlQlFuncList* table = nullptr;
  QTreeWidgetItem* eventRoot = nullptr;
  QTreeWidgetItem* funcRoot = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // Makes the reference window a window of this dialog, where it is on the
  // screen, unless it is one already.
  void LendFuncListWindow(QWidget* window);
  // Gives the reference window back its own top-level place, still shown
  // when it was.
  void ReturnFuncListWindow();
  // The event an event item stands for, while it is still in the project.
  std::shared_ptr<NsQlEvent::QlVarEventBase> EventOf(const QTreeWidgetItem* item) const;
  // The event and trigger index of a trigger item; false when the event is
  // gone or has no such trigger.
  bool LookupTrigger(const QTreeWidgetItem* item, std::shared_ptr<NsQlEvent::QlVarEventBase>& event,
                     std::size_t& index) const;
  QTreeWidgetItem* AddEventItem(const std::shared_ptr<NsQlEvent::QlVarEventBase>& event);
  bool IsEventItem(const QTreeWidgetItem* item) const;
  bool IsTriggerItem(const QTreeWidgetItem* item) const;
  void EnableTable(bool enable);
  void EnableEditButtons(bool enable);
  void EnableItem(int id, const char* symbol, bool enable);

  QPointer<QWidget> lentFuncList_;
};

}  // namespace NsOvrin
