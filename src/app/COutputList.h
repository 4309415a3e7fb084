#pragma once
// The list of the output pane: the error check writes its report here, one
// line per result, and a double click on a line shows the place the line is
// about. Line i belongs to result i of the check's list; the list keeps no
// data of its own.
#include <memory>
#include <string>

#include <QListWidget>

#include "ui_services/ReportListBox.h"

class QContextMenuEvent;
class QMenu;
class QMouseEvent;

namespace NsOvrin {

class COutputList : public QListWidget, public ReportListBox {
 public:
  static constexpr int IDC_OUTPUT_LIST = 2;
  // Commands of the context menu ("弹出项").
  static constexpr int ID_EDIT_CLEAR = 57632;
  static constexpr int ID_EDIT_COPY = 57634;
  static constexpr int ID_VIEW_OUTPUTWND = 149;

  explicit COutputList(QWidget* parent = nullptr);

  // ReportListBox
  void ResetContent() override;
  void AddString(const std::string& line) override;

  // "复制(&C)", "清除(&C)", a separator and "隐藏(&H)"; each action runs its
  // command.
  std::unique_ptr<QMenu> CreateContextMenu();
  // In a main window the menu opens at the point; the list takes the focus
  // either way.
  void OnContextMenu(const QPoint& globalPos);

  void OnCommand(int id);
  // Copying is offered but does nothing.
  void OnEditCopy() {}
  // Empties the list; the check's results stay until its next run.
  void OnEditClear();
  // Hides the pane that holds the list, when it is docked in a main window.
  void OnViewOutput();
  // The selected line's result shows its place; nothing without a selection
  // or for a line without an action.
  void OnLButtonDblClk();

 protected:
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
};

}  // namespace NsOvrin
