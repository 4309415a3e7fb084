#pragma once
// The instruction reference "指令列表": a tree of the instructions grouped by
// purpose and, beside it, the selected instruction's description and
// examples. One modeless window per process, hidden rather than destroyed
// when the user closes it, so its selection survives between showings.
#include <string>

#include <QDialog>

class QCloseEvent;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidgetItem;

namespace NsOvrin {

// The help text of an instruction name, compared exactly (no upper-casing);
// an unknown name gives "<name> ?". Lines end in "\r\n".
std::string GetFuncHelp(const std::string& name);

class CDlgQlFuncList : public QDialog {
 public:
  static constexpr int IDD = 385;
  static constexpr int IDC_HELP_TEXT = 1000;
  static constexpr int IDC_FUNC_TREE = 1020;

  // The one window, created (initialised, not shown) on first use; later
  // calls return the same window. Callers show it.
  static CDlgQlFuncList* Instance();
  // The window when it is made already, else null; makes nothing.
  static CDlgQlFuncList* Existing();
  // Destroys the window if there is one and empties the reference; the main
  // frame calls it when it closes.
  static void DestroyInstance();

  // Fills tree with the reference: root "函数列表", its groups and the
  // instruction names, every item appended last; expands the root and
  // returns it.
  static QTreeWidgetItem* FillTree(QTreeWidget* tree);

  void OnInitDialog();
  // Hides the window; it and its state survive.
  void OnClose();
  // An instruction shows its help text; the root, a group or no item
  // empties it.
  void OnSelChanged(QTreeWidgetItem* selected);

  // The root item kept at initialisation; null before.
  QTreeWidgetItem* GetRootItem() const { return root_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  CDlgQlFuncList();

  QTreeWidget* tree_ = nullptr;
  QPlainTextEdit* help_ = nullptr;
  QTreeWidgetItem* root_ = nullptr;
};

}  // namespace NsOvrin
