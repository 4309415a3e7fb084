#include "dialogs/CDlgVarEvent.h"

#include <algorithm>

#include <QGridLayout>
#include <QHideEvent>
#include <QHBoxLayout>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "dialogs/CDlgSiAddr.h"
#include "dialogs/CtrlQlFuncList.h"
#include "events/QlVarEventBase.h"
#include "platform/Format.h"
#include "project/QlEProject.h"
#include "wui/DlgItem.h"
#include "wui/UiServices.h"

namespace NsOvrin {

using NsQlEvent::QlVarEventBase;

namespace {

// Trigger items keep their index; event items the event they stand for, so
// that events sharing an address stay apart.
constexpr int kTriggerRole = Qt::UserRole;
constexpr int kEventRole = Qt::UserRole + 1;

QPushButton* MakeButton(QWidget* parent, int id, const char* text, bool enabled) {
  auto* button = new QPushButton(QString::fromUtf8(text), parent);
  NsWui::SetDlgItemId(button, id);
  button->setAutoDefault(false);
  button->setEnabled(enabled);
  return button;
}

}  // namespace

// No OK step: the changes take effect while the dialog is open.
CDlgVarEvent::CDlgVarEvent(QWidget* parent)
    : NsWui::CModalDialog(parent, NsWui::CModalDialog::Keys::kIgnoreEnterEsc) {
  setWindowTitle(QStringLiteral("事件变量"));
  auto* add = MakeButton(this, IDC_ADD, "添 加", true);
  auto* change = MakeButton(this, IDC_BUTTON3, "编 辑", false);
  auto* remove = MakeButton(this, IDC_BUTTON2, "删 除", false);
  auto* deleteRows = MakeButton(this, IDC_BUTTON7, "删除勾选的行", false);
  auto* showFuncs = MakeButton(this, IDC_SHOW_FUNCS, "查看指令", true);

  eventTree = new QTreeWidget(this);
  NsWui::SetDlgItemId(eventTree, IDC_EVENT_TREE);
  eventTree->setHeaderHidden(true);
  funcTree = new QTreeWidget(this);
  NsWui::SetDlgItemId(funcTree, IDC_FUNC_TREE);
  funcTree->setHeaderHidden(true);
  table = new CtrlQlFuncList(this);
  NsWui::SetDlgItemId(table, IDC_FUNC_TABLE);

  auto* eventButtons = new QHBoxLayout;
  eventButtons->addWidget(add);
  eventButtons->addWidget(change);
  eventButtons->addWidget(remove);
  auto* tableButtons = new QHBoxLayout;
  tableButtons->addWidget(deleteRows);
  tableButtons->addStretch();
  auto* funcButtons = new QHBoxLayout;
  funcButtons->addWidget(showFuncs);
  funcButtons->addStretch();
  auto* grid = new QGridLayout(this);
  grid->addLayout(eventButtons, 0, 0);
  grid->addWidget(eventTree, 1, 0);
  grid->addLayout(tableButtons, 0, 1);
  grid->addWidget(table, 1, 1);
  grid->addLayout(funcButtons, 0, 2);
  grid->addWidget(funcTree, 1, 2);
  grid->setColumnStretch(1, 1);
  eventTree->setMinimumWidth(200);
  funcTree->setMinimumWidth(180);
  table->setMinimumWidth(540);
  resize(1000, 520);

  connect(add, &QPushButton::clicked, this, [this] { OnAdd(); });
  connect(change, &QPushButton::clicked, this, [this] { OnChange(); });
  connect(remove, &QPushButton::clicked, this, [this] { OnDelete(); });
  connect(deleteRows, &QPushButton::clicked, this, [this] { OnDeleteCheckedRows(); });
  connect(showFuncs, &QPushButton::clicked, this, [this] { OnShowFuncs(); });
  connect(eventTree, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnSelChanged(current); });
}

CDlgVarEvent::~CDlgVarEvent() {
  // The table must not outlive its binding into an event's lines.
  table->_exprArr = nullptr;
  // Before the children go: the reference window is not this dialog's to destroy.
  ReturnFuncListWindow();
}

void CDlgVarEvent::showEvent(QShowEvent* event) {
  NsWui::CModalDialog::showEvent(event);
  if (event->spontaneous()) return;
  // Taken in before the dialog turns modal, so that it never blocks it.
  QWidget* window = existingFuncListWindow ? existingFuncListWindow() : nullptr;
  if (window != nullptr && window->isVisible()) {
    LendFuncListWindow(window);
    window->show();
  }
}

void CDlgVarEvent::hideEvent(QHideEvent* event) {
  NsWui::CModalDialog::hideEvent(event);
  if (!event->spontaneous()) ReturnFuncListWindow();
}

void CDlgVarEvent::OnInitDialog() {
  {
    // Filling is not a selection by the user.
    const QSignalBlocker blocker(eventTree);
    eventTree->clear();
    eventRoot = new QTreeWidgetItem(eventTree, QStringList(QStringLiteral("变量列表")));
    for (const auto& event : QlEProject::Instance().events) {
      if (event) AddEventItem(event)->setExpanded(true);
    }
    eventRoot->setExpanded(true);
  }
  table->SetupColumns();
  table->_exprArr = nullptr;
  table->ReloadRows();
  EnableTable(false);
  EnableEditButtons(false);
  funcTree->clear();
  funcRoot = fillFuncTree ? fillFuncTree(funcTree) : nullptr;
}

QTreeWidgetItem* CDlgVarEvent::AddEventItem(const std::shared_ptr<QlVarEventBase>& event) {
  auto* item = new QTreeWidgetItem(eventRoot, QStringList(QString::fromStdString(event->GetAddress())));
  item->setData(0, kEventRole, QVariant::fromValue(reinterpret_cast<quintptr>(event.get())));
  for (std::size_t i = 0; i < event->GetTriggerCount(); ++i) {
    auto* trigger = new QTreeWidgetItem(item, QStringList(QString::fromStdString(event->GetTriggerName(i))));
    trigger->setData(0, kTriggerRole, QVariant::fromValue(static_cast<qulonglong>(i)));
  }
  return item;
}

bool CDlgVarEvent::IsEventItem(const QTreeWidgetItem* item) const {
  return item != nullptr && eventRoot != nullptr && item->parent() == eventRoot;
}

bool CDlgVarEvent::IsTriggerItem(const QTreeWidgetItem* item) const {
  return item != nullptr && IsEventItem(item->parent());
}

std::shared_ptr<QlVarEventBase> CDlgVarEvent::EventOf(const QTreeWidgetItem* item) const {
  if (!IsEventItem(item)) return nullptr;
  const auto key = item->data(0, kEventRole).value<quintptr>();
  for (const auto& event : QlEProject::Instance().events) {
    if (reinterpret_cast<quintptr>(event.get()) == key) return event;
  }
  return nullptr;
}

bool CDlgVarEvent::LookupTrigger(const QTreeWidgetItem* item, std::shared_ptr<QlVarEventBase>& event,
                                 std::size_t& index) const {
  if (!IsTriggerItem(item)) return false;
  event = EventOf(item->parent());
  index = static_cast<std::size_t>(item->data(0, kTriggerRole).toULongLong());
  return event != nullptr && index < event->GetTriggerCount();
}

void CDlgVarEvent::EnableItem(int id, const char* symbol, bool enable) {
  QWidget* control = NsWui::GetDlgItem(this, id);
  if (control == nullptr) {
    NsWui::GetUiServices().MessageBox(this, NsPlatform::StrFormat("无效的 Item id: %s.", symbol), "提示",
                                      NsWui::MB_ICONERROR);
    return;
  }
  control->setEnabled(enable);
}

void CDlgVarEvent::EnableTable(bool enable) {
  table->setEnabled(enable);
  table->SetBackColour(enable ? kTableEnabledBack : kTableDisabledBack);
  table->viewport()->update();
  EnableItem(IDC_BUTTON7, "IDC_BUTTON7", enable);
}

void CDlgVarEvent::EnableEditButtons(bool enable) {
  EnableItem(IDC_BUTTON2, "IDC_BUTTON2", enable);
  EnableItem(IDC_BUTTON3, "IDC_BUTTON3", enable);
}

void CDlgVarEvent::OnSelChanged(QTreeWidgetItem* item) {
  if (item == nullptr) return;
  table->_exprArr = nullptr;
  if (IsTriggerItem(item)) {
    EnableTable(true);
    std::shared_ptr<QlVarEventBase> event;
    std::size_t index = 0;
    if (LookupTrigger(item, event, index)) table->_exprArr = &event->GetFunctionTexts(index);
  } else {
    EnableTable(false);
  }
  table->ReloadRows();
  EnableEditButtons(IsEventItem(item));
}

void CDlgVarEvent::OnAdd() {
  CDlgSiAddr dialog(CDlgSiAddr::kModeAdd, std::string(), this);
  if (dialog.DoModal() != NsWui::IDOK || !dialog.newEvent) return;
  AddEventItem(dialog.newEvent)->setExpanded(true);
  eventRoot->setExpanded(true);
  EnableTable(false);
  EnableEditButtons(false);
  QlEProject& project = QlEProject::Instance();
  project.events.push_back(dialog.newEvent);
  project.modified = true;
}

void CDlgVarEvent::OnChange() {
  QTreeWidgetItem* item = eventTree->currentItem();
  if (!IsEventItem(item)) return;
  // The event of the item moves, not the first one found at its address.
  const auto event = EventOf(item);
  if (!event) return;
  CDlgSiAddr dialog(event, this);
  dialog.oldAddress = item->text(0).trimmed().toStdString();
  if (dialog.DoModal() != NsWui::IDOK) return;
  item->setText(0, QString::fromStdString(event->GetAddress()));
  QlEProject::Instance().modified = true;
}

void CDlgVarEvent::OnDelete() {
  QTreeWidgetItem* item = eventTree->currentItem();
  if (!IsEventItem(item)) return;
  const auto event = EventOf(item);
  auto& events = QlEProject::Instance().events;
  const auto found = std::find(events.begin(), events.end(), event);
  if (!event || found == events.end()) return;
  events.erase(found);
  delete item;
  QlEProject::Instance().modified = true;
}

void CDlgVarEvent::OnDeleteCheckedRows() {
  QTreeWidgetItem* item = eventTree->currentItem();
  if (!IsTriggerItem(item)) return;
  std::shared_ptr<QlVarEventBase> event;
  std::size_t index = 0;
  if (!LookupTrigger(item, event, index)) {
    table->_exprArr = nullptr;
    return;
  }
  table->_exprArr = &event->GetFunctionTexts(index);
  if (table->DeleteCheckedRows()) {
    QlEProject::Instance().modified = true;
    table->ReloadRows();
  }
}

void CDlgVarEvent::OnShowFuncs() {
  QWidget* window = funcListWindow ? funcListWindow() : nullptr;
  if (window == nullptr) return;
  LendFuncListWindow(window);
  window->show();
  window->raise();
  window->activateWindow();
}

void CDlgVarEvent::LendFuncListWindow(QWidget* window) {
  if (window->parentWidget() == this) return;
  const QRect frame = window->geometry();
  window->setParent(this, window->windowFlags());
  window->setGeometry(frame);
  lentFuncList_ = window;
}

void CDlgVarEvent::ReturnFuncListWindow() {
  QWidget* window = lentFuncList_;
  lentFuncList_ = nullptr;
  if (window == nullptr || window->parentWidget() != this) return;
  const bool shown = window->isVisible();
  const QRect frame = window->geometry();
  window->setParent(nullptr, window->windowFlags());
  window->setGeometry(frame);
  if (shown) window->show();
}

}  // namespace NsOvrin
