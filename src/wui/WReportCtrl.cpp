#include "wui/WReportCtrl.h"

#include <QMouseEvent>

namespace NsOvrin::NsWui {

WReportCtrl::WReportCtrl(QWidget* parent) : QTreeWidget(parent) {
  // A flat list; its cells change only through the registered editors.
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  FollowScrolling(*this);
  FollowRows(*this);
}

WReportCtrl::~WReportCtrl() {
  clickHook = nullptr;
  DestroyEditors();
}

QWidget* WReportCtrl::GetHostWnd() { return viewport(); }

QWidget* WReportCtrl::GetOwnerWnd() { return this; }

QTreeWidgetItem* WReportCtrl::RowItem(int row) const { return row < 0 ? nullptr : topLevelItem(row); }

WRect WReportCtrl::GetCellRect(int row, int col) {
  QTreeWidgetItem* item = RowItem(row);
  if (item == nullptr || col < 0 || col >= columnCount()) return {};
  return WRect::FromQRect(visualRect(indexFromItem(item, col)));
}

std::string WReportCtrl::GetCellText(int row, int col) {
  QTreeWidgetItem* item = RowItem(row);
  if (item == nullptr || col < 0) return {};
  return item->text(col).toStdString();
}

void WReportCtrl::SetCellText(int row, int col, const std::string& text) {
  QTreeWidgetItem* item = RowItem(row);
  if (item == nullptr || col < 0 || col >= columnCount()) return;
  item->setText(col, QString::fromStdString(text));
}

void WReportCtrl::OnClick(int item, int subItem) {
  if (clickHook && !clickHook(item, subItem)) return;
  BeginEdit(item, subItem);
}

void WReportCtrl::updateEditorGeometries() {
  QTreeWidget::updateEditorGeometries();
  FollowCellLater(*this);
}

void WReportCtrl::mouseReleaseEvent(QMouseEvent* event) {
  QTreeWidget::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  const QPoint point = event->position().toPoint();
  const QModelIndex index = indexAt(point);
  const int item = index.isValid() ? indexOfTopLevelItem(itemFromIndex(index)) : -1;
  const int subItem = index.isValid() ? index.column() : 0;
  OnClick(item, subItem);
}

}  // namespace NsOvrin::NsWui
