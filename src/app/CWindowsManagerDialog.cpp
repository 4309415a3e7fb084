#include "app/CWindowsManagerDialog.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

#include "wui/DlgItem.h"

namespace NsOvrin {

CWindowsManagerDialog::CWindowsManagerDialog(QMdiArea* area, QWidget* parent)
    : QDialog(parent), area_(area) {
  setWindowTitle(QStringLiteral("窗口"));
  list_ = new QListWidget(this);
  NsWui::SetDlgItemId(list_, IDC_WINDOW_LIST);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  connect(list_, &QListWidget::itemDoubleClicked, this, [this] { OnActivate(); });

  auto* activate = new QPushButton(QStringLiteral("激活(&A)"), this);
  NsWui::SetDlgItemId(activate, IDC_ACTIVATE);
  auto* closeWindows = new QPushButton(QStringLiteral("关闭窗口(&C)"), this);
  NsWui::SetDlgItemId(closeWindows, IDC_CLOSE_WINDOWS);
  auto* ok = new QPushButton(QStringLiteral("确定"), this);
  ok->setDefault(true);
  connect(activate, &QPushButton::clicked, this, [this] { OnActivate(); });
  connect(closeWindows, &QPushButton::clicked, this, [this] { OnCloseWindows(); });
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(activate);
  buttons->addWidget(closeWindows);
  buttons->addStretch();
  auto* top = new QHBoxLayout(this);
  top->addWidget(list_, 1);
  top->addLayout(buttons);
  FillList();
}

void CWindowsManagerDialog::FillList() {
  list_->clear();
  windows_.clear();
  if (!area_) return;
  for (QMdiSubWindow* window : area_->subWindowList()) {
    if (!window->isVisible()) continue;
    auto* item = new QListWidgetItem(window->windowTitle(), list_);
    windows_.emplace_back(window);
    if (window == area_->currentSubWindow()) list_->setCurrentItem(item);
  }
}

QMdiSubWindow* CWindowsManagerDialog::WindowAt(int row) const {
  if (row < 0 || row >= static_cast<int>(windows_.size())) return nullptr;
  return windows_[static_cast<std::size_t>(row)];
}

void CWindowsManagerDialog::OnActivate() {
  QMdiSubWindow* window = WindowAt(list_->currentRow());
  if (window == nullptr || !area_) return;
  if (window->isMinimized()) window->showNormal();
  area_->setActiveSubWindow(window);
  accept();
}

void CWindowsManagerDialog::OnCloseWindows() {
  if (!area_) return;
  std::vector<QPointer<QMdiSubWindow>> chosen;
  for (QListWidgetItem* item : list_->selectedItems())
    chosen.emplace_back(WindowAt(list_->row(item)));
  for (const QPointer<QMdiSubWindow>& window : chosen) {
    if (window && area_->subWindowList().contains(window.data())) window->close();
  }
  FillList();
}

}  // namespace NsOvrin
