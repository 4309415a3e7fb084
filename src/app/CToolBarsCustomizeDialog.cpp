#include "app/CToolBarsCustomizeDialog.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "app/AppCommands.h"
#include "app/CMainFrame.h"
#include "wui/DlgItem.h"
#include "wui/UiServices.h"

namespace NsOvrin {

namespace {

constexpr int kIdRole = Qt::UserRole;

// The text of a menu entry without its mnemonic and shortcut.
QString PlainText(QString text) {
  const int tab = text.indexOf(QLatin1Char('\t'));
  if (tab >= 0) text.truncate(tab);
  text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
  text.remove(QLatin1Char('&'));
  return text;
}

// The commands of a menu's own entries, once each.
void CollectCommands(const QMenu* menu, std::vector<int>& commands) {
  for (QAction* action : menu->actions()) {
    if (action->menu() != nullptr) continue;
    bool ok = false;
    const int id = action->data().toInt(&ok);
    if (!ok || id <= 0) continue;
    if (std::find(commands.begin(), commands.end(), id) != commands.end()) continue;
    commands.push_back(id);
  }
}

}  // namespace

CToolBarsCustomizeDialog::CToolBarsCustomizeDialog(CMainFrame* frame)
    : QDialog(frame), frame_(frame) {
  setWindowTitle(QStringLiteral("自定义"));
  auto* tabs = new QTabWidget(this);

  // Commands.
  auto* commandsPage = new QWidget(tabs);
  categoryList_ = new QListWidget(commandsPage);
  NsWui::SetDlgItemId(categoryList_, IDC_CATEGORIES);
  commandList_ = new QListWidget(commandsPage);
  NsWui::SetDlgItemId(commandList_, IDC_COMMANDS);
  targetCombo_ = new QComboBox(commandsPage);
  NsWui::SetDlgItemId(targetCombo_, IDC_TARGET_TOOLBAR);
  imageCombo_ = new QComboBox(commandsPage);
  NsWui::SetDlgItemId(imageCombo_, IDC_IMAGE);
  auto* add = new QPushButton(QStringLiteral("添加(&A)"), commandsPage);
  NsWui::SetDlgItemId(add, IDC_ADD_BUTTON);
  auto* commandsLayout = new QGridLayout(commandsPage);
  commandsLayout->addWidget(new QLabel(QStringLiteral("类别:"), commandsPage), 0, 0);
  commandsLayout->addWidget(new QLabel(QStringLiteral("命令:"), commandsPage), 0, 1);
  commandsLayout->addWidget(categoryList_, 1, 0);
  commandsLayout->addWidget(commandList_, 1, 1);
  auto* addRow = new QHBoxLayout;
  addRow->addWidget(new QLabel(QStringLiteral("工具栏:"), commandsPage));
  addRow->addWidget(targetCombo_, 1);
  addRow->addWidget(new QLabel(QStringLiteral("图像:"), commandsPage));
  addRow->addWidget(imageCombo_);
  addRow->addWidget(add);
  commandsLayout->addLayout(addRow, 2, 0, 1, 2);
  tabs->addTab(commandsPage, QStringLiteral("命令"));

  // Toolbars.
  auto* barsPage = new QWidget(tabs);
  toolBarList_ = new QListWidget(barsPage);
  NsWui::SetDlgItemId(toolBarList_, IDC_TOOLBARS);
  buttonList_ = new QListWidget(barsPage);
  NsWui::SetDlgItemId(buttonList_, IDC_BUTTONS);
  auto* newBar = new QPushButton(QStringLiteral("新建(&N)..."), barsPage);
  NsWui::SetDlgItemId(newBar, IDC_NEW_TOOLBAR);
  auto* renameBar = new QPushButton(QStringLiteral("重命名(&M)..."), barsPage);
  NsWui::SetDlgItemId(renameBar, IDC_RENAME_TOOLBAR);
  auto* deleteBar = new QPushButton(QStringLiteral("删除(&D)"), barsPage);
  NsWui::SetDlgItemId(deleteBar, IDC_DELETE_TOOLBAR);
  auto* removeButton = new QPushButton(QStringLiteral("移除按钮(&R)"), barsPage);
  NsWui::SetDlgItemId(removeButton, IDC_REMOVE_BUTTON);
  auto* barButtons = new QVBoxLayout;
  barButtons->addWidget(newBar);
  barButtons->addWidget(renameBar);
  barButtons->addWidget(deleteBar);
  barButtons->addSpacing(12);
  barButtons->addWidget(removeButton);
  barButtons->addStretch();
  auto* barsLayout = new QGridLayout(barsPage);
  barsLayout->addWidget(new QLabel(QStringLiteral("工具栏:"), barsPage), 0, 0);
  barsLayout->addWidget(new QLabel(QStringLiteral("按钮:"), barsPage), 0, 1);
  barsLayout->addWidget(toolBarList_, 1, 0);
  barsLayout->addWidget(buttonList_, 1, 1);
  barsLayout->addLayout(barButtons, 1, 2);
  tabs->addTab(barsPage, QStringLiteral("工具栏"));

  auto* close = new QPushButton(QStringLiteral("关闭"), this);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch();
  bottom->addWidget(close);
  auto* top = new QVBoxLayout(this);
  top->addWidget(tabs);
  top->addLayout(bottom);

  connect(categoryList_, &QListWidget::currentRowChanged, this,
          [this](int row) { FillCommands(row); });
  connect(add, &QPushButton::clicked, this, [this] { OnAddButton(); });
  connect(newBar, &QPushButton::clicked, this, [this] { OnNewToolBar(); });
  connect(renameBar, &QPushButton::clicked, this, [this] { OnRenameToolBar(); });
  connect(deleteBar, &QPushButton::clicked, this, [this] { OnDeleteToolBar(); });
  connect(removeButton, &QPushButton::clicked, this, [this] { OnRemoveButton(); });
  connect(toolBarList_, &QListWidget::currentRowChanged, this, [this] { FillButtons(); });
  connect(toolBarList_, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
    const int row = toolBarList_->row(item);
    if (row >= 0 && row < static_cast<int>(toolBars_.size())) {
      toolBars_[static_cast<std::size_t>(row)]->setVisible(item->checkState() == Qt::Checked);
    }
  });

  imageCombo_->addItem(QStringLiteral("默认"), -1);
  for (int i = 0; i < frame_->GetUserImages().Count(); ++i) {
    imageCombo_->addItem(QIcon(frame_->GetUserImages().Image(i)), QString::number(i + 1), i);
  }
  FillCategories();
  FillToolBars();
  FillTargets();
}

void CToolBarsCustomizeDialog::FillCategories() {
  categoryList_->clear();
  categories_.clear();
  std::vector<int> all;
  const auto addCategory = [this, &all](const QString& name, const std::vector<int>& ids) {
    if (ids.empty()) return;
    categoryList_->addItem(name);
    categories_.push_back(ids);
    for (int id : ids) {
      if (std::find(all.begin(), all.end(), id) == all.end()) all.push_back(id);
    }
  };
  // The menus as the bar shows them while a page is open: the fullest set.
  for (const QMenu* menu : frame_->GetDocumentMenus()) {
    std::vector<int> ids;
    CollectCommands(menu, ids);
    addCategory(PlainText(menu->title()), ids);
  }
  for (QToolBar* bar :
       {frame_->GetElementToolBar(), frame_->GetAlignToolBar(), frame_->GetRunToolBar()}) {
    if (bar == nullptr) continue;
    std::vector<int> ids;
    for (QAction* action : bar->actions()) {
      bool ok = false;
      const int id = action->data().toInt(&ok);
      if (ok && id > 0) ids.push_back(id);
    }
    addCategory(bar->windowTitle().isEmpty() ? QStringLiteral("运行") : bar->windowTitle(), ids);
  }
  addCategory(QStringLiteral("所有命令"), all);
  categoryList_->setCurrentRow(0);
}

void CToolBarsCustomizeDialog::FillCommands(int category) {
  commandList_->clear();
  if (category < 0 || category >= static_cast<int>(categories_.size())) return;
  for (int id : categories_[static_cast<std::size_t>(category)]) {
    const std::vector<QAction*> actions = frame_->GetCommandActions(id);
    QString text;
    QIcon icon;
    for (QAction* action : actions) {
      if (text.isEmpty() && action->menu() == nullptr && !action->text().isEmpty()) {
        text = PlainText(action->text());
      }
      if (icon.isNull()) icon = action->icon();
    }
    const std::string tip = GetCommandToolTip(id);
    if (text.isEmpty()) text = QString::fromStdString(tip);
    auto* item = new QListWidgetItem(icon, text, commandList_);
    item->setData(kIdRole, id);
  }
  commandList_->setCurrentRow(0);
}

void CToolBarsCustomizeDialog::FillToolBars() {
  toolBarList_->blockSignals(true);
  toolBarList_->clear();
  toolBars_.clear();
  std::vector<QToolBar*> bars = {frame_->GetStandardToolBar(), frame_->GetElementToolBar(),
                                 frame_->GetAlignToolBar(), frame_->GetRunToolBar()};
  for (QToolBar* bar : frame_->GetUserToolBars()) bars.push_back(bar);
  for (QToolBar* bar : bars) {
    if (bar == nullptr) continue;
    auto* item = new QListWidgetItem(
        bar->windowTitle().isEmpty() ? QStringLiteral("运行") : bar->windowTitle(), toolBarList_);
    item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
    item->setCheckState(bar->isVisible() ? Qt::Checked : Qt::Unchecked);
    toolBars_.push_back(bar);
  }
  toolBarList_->blockSignals(false);
  FillButtons();
}

void CToolBarsCustomizeDialog::FillTargets() {
  targetCombo_->clear();
  for (QToolBar* bar : frame_->GetUserToolBars()) targetCombo_->addItem(bar->windowTitle());
}

QToolBar* CToolBarsCustomizeDialog::SelectedToolBar() const {
  const int row = toolBarList_->currentRow();
  if (row < 0 || row >= static_cast<int>(toolBars_.size())) return nullptr;
  return toolBars_[static_cast<std::size_t>(row)];
}

void CToolBarsCustomizeDialog::FillButtons() {
  buttonList_->clear();
  QToolBar* bar = SelectedToolBar();
  if (bar == nullptr || !frame_->IsUserToolBar(bar)) return;
  for (int id : frame_->GetUserToolBarCommands(bar)) {
    const std::string tip = GetCommandToolTip(id);
    buttonList_->addItem(tip.empty() ? QString::number(id) : QString::fromStdString(tip));
  }
}

void CToolBarsCustomizeDialog::OnAddButton() {
  const std::vector<QToolBar*> bars = frame_->GetUserToolBars();
  const int target = targetCombo_->currentIndex();
  const QListWidgetItem* command = commandList_->currentItem();
  if (target < 0 || target >= static_cast<int>(bars.size()) || command == nullptr) {
    NsWui::GetUiServices().MessageBox(this, "请先新建一个工具栏并选择一个命令.", "提示",
                                      NsWui::MB_ICONINFORMATION);
    return;
  }
  frame_->AddUserToolBarButton(bars[static_cast<std::size_t>(target)],
                               command->data(kIdRole).toInt(), imageCombo_->currentData().toInt());
  FillButtons();
}

void CToolBarsCustomizeDialog::OnNewToolBar() {
  const int count = static_cast<int>(frame_->GetUserToolBars().size());
  if (count > IDW_USER_TOOLBAR_LAST - IDW_USER_TOOLBAR_FIRST) {
    NsWui::GetUiServices().MessageBox(this, "不能再新建工具栏.", "提示", NsWui::MB_ICONWARNING);
    return;
  }
  bool ok = false;
  const QString name =
      QInputDialog::getText(this, QStringLiteral("新建工具栏"), QStringLiteral("工具栏名称:"),
                            QLineEdit::Normal, QStringLiteral("自定义 %1").arg(count + 1), &ok)
          .trimmed();
  if (!ok || name.isEmpty()) return;
  frame_->CreateUserToolBar(name);
  FillToolBars();
  toolBarList_->setCurrentRow(toolBarList_->count() - 1);
  FillTargets();
  targetCombo_->setCurrentIndex(targetCombo_->count() - 1);
}

void CToolBarsCustomizeDialog::OnRenameToolBar() {
  QToolBar* bar = SelectedToolBar();
  if (bar == nullptr || !frame_->IsUserToolBar(bar)) return;
  bool ok = false;
  const QString name =
      QInputDialog::getText(this, QStringLiteral("重命名工具栏"), QStringLiteral("工具栏名称:"),
                            QLineEdit::Normal, bar->windowTitle(), &ok)
          .trimmed();
  if (!ok || name.isEmpty()) return;
  bar->setWindowTitle(name);
  const int row = toolBarList_->currentRow();
  FillToolBars();
  toolBarList_->setCurrentRow(row);
  FillTargets();
}

void CToolBarsCustomizeDialog::OnDeleteToolBar() {
  QToolBar* bar = SelectedToolBar();
  if (bar == nullptr || !frame_->IsUserToolBar(bar)) return;
  frame_->DeleteUserToolBar(bar);
  FillToolBars();
  FillTargets();
}

void CToolBarsCustomizeDialog::OnRemoveButton() {
  QToolBar* bar = SelectedToolBar();
  if (bar == nullptr || !frame_->IsUserToolBar(bar)) return;
  frame_->RemoveUserToolBarButton(bar, buttonList_->currentRow());
  FillButtons();
}

}  // namespace NsOvrin
