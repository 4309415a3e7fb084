#include "app/COutputList.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDockWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>

#include "project_persistence/UiErrList.h"
#include "wui/DlgItem.h"

namespace NsOvrin {

namespace {

// The nearest ancestor of that kind; a floating pane still belongs to its
// main window.
template <class T>
T* AncestorOf(const QWidget* widget) {
  for (QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
    if (auto* found = qobject_cast<T*>(up)) return found;
  }
  return nullptr;
}

}  // namespace

COutputList::COutputList(QWidget* parent) : QListWidget(parent) {
  NsWui::SetDlgItemId(this, IDC_OUTPUT_LIST);
  // Unsorted: line i must stay result i.
  setSortingEnabled(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setFont(QApplication::font());
}

void COutputList::ResetContent() { clear(); }

void COutputList::AddString(const std::string& line) {
  addItem(QString::fromStdString(line));
}

std::unique_ptr<QMenu> COutputList::CreateContextMenu() {
  auto menu = std::make_unique<QMenu>(QStringLiteral("弹出项"), this);
  const auto add = [this, &menu](int id, const char* text) {
    QAction* action = menu->addAction(QString::fromUtf8(text));
    action->setData(id);
    connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
  };
  add(ID_EDIT_COPY, "复制(&C)");
  add(ID_EDIT_CLEAR, "清除(&C)");
  menu->addSeparator();
  add(ID_VIEW_OUTPUTWND, "隐藏(&H)");
  return menu;
}

void COutputList::OnContextMenu(const QPoint& globalPos) {
  if (AncestorOf<QMainWindow>(this) != nullptr) {
    const std::unique_ptr<QMenu> menu = CreateContextMenu();
    menu->exec(globalPos);
  }
  setFocus();
}

void COutputList::contextMenuEvent(QContextMenuEvent* event) {
  OnContextMenu(event->globalPos());
  event->accept();
}

void COutputList::OnCommand(int id) {
  switch (id) {
    case ID_EDIT_COPY:
      OnEditCopy();
      break;
    case ID_EDIT_CLEAR:
      OnEditClear();
      break;
    case ID_VIEW_OUTPUTWND:
      OnViewOutput();
      break;
    default:
      break;
  }
}

void COutputList::OnEditClear() { ResetContent(); }

void COutputList::OnViewOutput() {
  QDockWidget* pane = AncestorOf<QDockWidget>(this);
  QMainWindow* frame = pane != nullptr ? AncestorOf<QMainWindow>(pane) : nullptr;
  if (frame == nullptr) return;
  frame->setFocus();
  // The main window lays out its remaining panes on its own.
  pane->hide();
}

void COutputList::OnLButtonDblClk() {
  const QList<QListWidgetItem*> selected = selectedItems();
  if (selected.isEmpty()) return;
  const int index = row(selected.front());
  if (index < 0) return;
  UiErrList::Instance().ShowResult(static_cast<std::size_t>(index));
}

void COutputList::mouseDoubleClickEvent(QMouseEvent* event) {
  // The line's action replaces the list's own double-click handling.
  OnLButtonDblClk();
  event->accept();
}

}  // namespace NsOvrin
