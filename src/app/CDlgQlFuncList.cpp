#include "app/CDlgQlFuncList.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QRect>
#include <QTreeWidget>
#include <initializer_list>
#include <memory>

#include "platform/Format.h"
#include "wui/DlgItem.h"

namespace NsOvrin {

using NsPlatform::StrFormat;

namespace {

struct FuncHelpEntry {
  const char* name;
  const char* description;
  std::initializer_list<const char*> examples;
};

// In lookup order.
const FuncHelpEntry kFuncHelp[] = {
    {"弹出画面", "弹出非模态窗口", {"弹出画面 \"手动页面\""}},
    {"页面跳到", "跳转到指定页面", {"页面跳到 \"页面1\""}},
    {"SET", "置ON, 类似PLC中 SET 指令用途", {"SET Y0"}},
    {"RST", "置OFF, 类似PLC中 RST 指令用途", {"RST Y0"}},
    {"MOV", "赋值, 类似PLC中 MOV 指令用途", {"MOV 1 D0", "MOV D2 D3"}},
    {"退出登录", "退出登录", {"退出登录"}},
    {"短消息", "在屏幕中间显示黑底白字的提示消息(类似手机中提示)", {"短消息 \"自动状态, 不允许操作\""}},
};

struct FuncGroup {
  const char* name;
  std::initializer_list<const char*> instructions;
};

const FuncGroup kFuncGroups[] = {
    {"画面操作", {"弹出画面", "页面跳到"}},
    {"点位操作", {"SET", "RST", "MOV"}},
    {"权限操作", {"退出登录"}},
    {"短消息", {"短消息"}},
};

// The window is laid out in dialog units of its font, as its template was.
QRect DialogRect(const QWidget* dialog, int x, int y, int width, int height) {
  const QFontMetrics metrics(dialog->font());
  static const QString kAlphabet =
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const int baseX = (metrics.horizontalAdvance(kAlphabet) / 26 + 1) / 2;
  const int baseY = metrics.height();
  return QRect(x * baseX / 4, y * baseY / 8, width * baseX / 4, height * baseY / 8);
}

std::unique_ptr<CDlgQlFuncList>& InstanceRef() {
  static std::unique_ptr<CDlgQlFuncList> instance;
  return instance;
}

}  // namespace

std::string GetFuncHelp(const std::string& name) {
  for (const FuncHelpEntry& entry : kFuncHelp) {
    if (name != entry.name) continue;
    std::string text = StrFormat(
        "%s\r\n------------------------------------------------\r\n描述: %s\r\n\r\n举例:",
        entry.name, entry.description);
    for (const char* example : entry.examples) text += StrFormat("\r\n    %s", example);
    return text;
  }
  return StrFormat("%s ?", name.c_str());
}

CDlgQlFuncList::CDlgQlFuncList() : QDialog(nullptr) {
  setWindowTitle(QStringLiteral("指令列表"));

  tree_ = new QTreeWidget(this);
  NsWui::SetDlgItemId(tree_, IDC_FUNC_TREE);
  tree_->setHeaderHidden(true);
  tree_->setRootIsDecorated(true);
  tree_->setSelectionMode(QAbstractItemView::SingleSelection);
  tree_->setGeometry(DialogRect(this, 0, 0, 154, 252));

  help_ = new QPlainTextEdit(this);
  NsWui::SetDlgItemId(help_, IDC_HELP_TEXT);
  help_->setReadOnly(true);
  // Long example lines scroll sideways rather than wrap.
  help_->setLineWrapMode(QPlainTextEdit::NoWrap);
  help_->setGeometry(DialogRect(this, 170, 0, 301, 252));

  resize(DialogRect(this, 0, 0, 472, 254).size());

  connect(tree_, &QTreeWidget::currentItemChanged, this,
          [this](QTreeWidgetItem* current, QTreeWidgetItem*) { OnSelChanged(current); });
}

CDlgQlFuncList* CDlgQlFuncList::Instance() {
  std::unique_ptr<CDlgQlFuncList>& instance = InstanceRef();
  if (!instance) {
    instance.reset(new CDlgQlFuncList);
    instance->OnInitDialog();
    // A window left at exit must go while the application object still
    // exists, not with the static reference after it.
    static const bool cleanupRegistered = [] {
      qAddPostRoutine(&CDlgQlFuncList::DestroyInstance);
      return true;
    }();
    (void)cleanupRegistered;
  }
  return instance.get();
}

CDlgQlFuncList* CDlgQlFuncList::Existing() { return InstanceRef().get(); }

void CDlgQlFuncList::DestroyInstance() { InstanceRef().reset(); }

QTreeWidgetItem* CDlgQlFuncList::FillTree(QTreeWidget* tree) {
  auto* root = new QTreeWidgetItem(tree, QStringList(QStringLiteral("函数列表")));
  for (const FuncGroup& group : kFuncGroups) {
    auto* groupItem = new QTreeWidgetItem(root, QStringList(QString::fromUtf8(group.name)));
    for (const char* instruction : group.instructions)
      new QTreeWidgetItem(groupItem, QStringList(QString::fromUtf8(instruction)));
  }
  root->setExpanded(true);
  return root;
}

void CDlgQlFuncList::OnInitDialog() { root_ = FillTree(tree_); }

void CDlgQlFuncList::OnClose() { hide(); }

void CDlgQlFuncList::closeEvent(QCloseEvent* event) {
  OnClose();
  event->accept();
}

void CDlgQlFuncList::OnSelChanged(QTreeWidgetItem* selected) {
  QTreeWidgetItem* parent = selected != nullptr ? selected->parent() : nullptr;
  QTreeWidgetItem* grandparent = parent != nullptr ? parent->parent() : nullptr;
  // Instructions are exactly the items two levels below the root.
  if (grandparent == nullptr || grandparent != root_) {
    help_->clear();
    return;
  }
  help_->setPlainText(
      QString::fromStdString(GetFuncHelp(selected->text(0).toStdString())));
}

}  // namespace NsOvrin
