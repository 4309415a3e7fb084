#pragma once
// The "自定义" dialog of the toolbars: shows or hides every toolbar, makes,
// renames and deletes the user's own toolbars, and puts any command of the
// menus and toolbars on them, with one of the user's button images.
#include <QDialog>
#include <vector>

class QComboBox;
class QListWidget;
class QToolBar;

namespace NsOvrin {

class CMainFrame;

class CToolBarsCustomizeDialog : public QDialog {
 public:
  static constexpr int IDC_CATEGORIES = 1000;
  static constexpr int IDC_COMMANDS = 1001;
  static constexpr int IDC_TARGET_TOOLBAR = 1002;
  static constexpr int IDC_IMAGE = 1003;
  static constexpr int IDC_ADD_BUTTON = 1004;
  static constexpr int IDC_TOOLBARS = 1010;
  static constexpr int IDC_NEW_TOOLBAR = 1011;
  static constexpr int IDC_RENAME_TOOLBAR = 1012;
  static constexpr int IDC_DELETE_TOOLBAR = 1013;
  static constexpr int IDC_BUTTONS = 1014;
  static constexpr int IDC_REMOVE_BUTTON = 1015;

  explicit CToolBarsCustomizeDialog(CMainFrame* frame);

  // A category per menu of the bar and per toolbar, then "所有命令".
  void FillCategories();
  void FillCommands(int category);
  void FillToolBars();
  void FillButtons();
  void FillTargets();

  void OnAddButton();
  void OnNewToolBar();
  void OnRenameToolBar();
  void OnDeleteToolBar();
  void OnRemoveButton();

 private:
  QToolBar* SelectedToolBar() const;

  CMainFrame* frame_;
  // The commands of each category, in menu order.
  std::vector<std::vector<int>> categories_;
  std::vector<QToolBar*> toolBars_;
  QListWidget* categoryList_ = nullptr;
  QListWidget* commandList_ = nullptr;
  QComboBox* targetCombo_ = nullptr;
  QComboBox* imageCombo_ = nullptr;
  QListWidget* toolBarList_ = nullptr;
  QListWidget* buttonList_ = nullptr;
};

}  // namespace NsOvrin
