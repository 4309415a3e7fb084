#pragma once
// A list in report view whose cells are edited in place: a click on a cell
// asks the owner's click hook first, then opens the editor registered for
// the cell.
#include <functional>
#include <string>

#include <QTreeWidget>

#include "wui/RtEditorMngBase.h"

namespace NsOvrin::NsWui {

class WReportCtrl : public QTreeWidget, public RtEditorMngBase {
 public:
  // (item, sub-item) of the click -> whether the click goes on to edit.
  using ClickHook = std::function<bool(int, int)>;

  explicit WReportCtrl(QWidget* parent = nullptr);
  ~WReportCtrl() override;

  QWidget* GetHostWnd() override;
  // Empty for a row that does not exist.
  WRect GetCellRect(int row, int col) override;
  std::string GetCellText(int row, int col) override;
  void SetCellText(int row, int col, const std::string& text) override;
  QWidget* GetOwnerWnd() override;

  // A click on (item, sub-item); item -1 for a click beside the rows.
  void OnClick(int item, int subItem);

  ClickHook clickHook;

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  // The view calls it whenever its cells may have moved: a column resized
  // (through its header, or to its contents), moved or hidden, the header
  // shown or hidden, rows laid out again, the view resized.
  void updateEditorGeometries() override;

 private:
  QTreeWidgetItem* RowItem(int row) const;
};

}  // namespace NsOvrin::NsWui
