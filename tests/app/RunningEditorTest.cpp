// The running editor, item by item: every project-tree item, every command
// of the frame's menus, toolbars and keys, and every button of every
// property page, driven through the wiring the program itself sets up, each
// against what the user gets.
#include <QAbstractButton>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QCursor>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>
#include <map>
#include <optional>
#include <set>

#include "QlUiElem/QlUiNavBar.h"
#include "RunningEditorFixture.h"
#include "app/CDlgQlFuncList.h"
#include "app/COutputList.h"
#include "app/COutputWnd.h"
#include "dialogs/CDlgProtMultFuncBtn.h"
#include "dialogs/CDlgProtMultStateText.h"
#include "dialogs/CDlgVarEvent.h"
#include "termination/ChannelManager.h"
#include "wui/CColorButton.h"
#include "wui/CMtRadioButton.h"
#include "wui/DlgItem.h"
#include "wui/MfcEditBrowse.h"
#include "wui/ModalDriver.h"
#include "wui/WReportCtrl.h"

namespace NsOvrin::Testing {
namespace {

using NsWui::UiCall;
using Texts = std::vector<std::string>;

// What the user gets from an item, a command or a button.
struct Gets {
  enum Kind {
    kNothing,        // no window, no message, no change of the element
    kModal,          // a modal window with this caption
    kModalOfClass,   // a modal window of this Qt class (the toolkit's own dialogs)
    kBox,            // a message box with this text
    kTip,            // a balloon tip with this text
    kPicker,         // a file, folder or colour picker (UiCall kind)
    kWindow,         // a modeless window with this caption, shown
    kChange,         // the element (or the state the row checks) changes
    kDisabled,       // the command is disabled and does nothing
  };
  Kind kind = kNothing;
  std::string text;
  UiCall::Kind picker = UiCall::Kind::MessageBox;
};

Gets Nothing() { return {Gets::kNothing, {}}; }
Gets Modal(const char* caption) { return {Gets::kModal, caption}; }
Gets ModalOfClass(const char* name) { return {Gets::kModalOfClass, name}; }
Gets Box(const char* text) { return {Gets::kBox, text}; }
Gets Tip(const char* text) { return {Gets::kTip, text}; }
Gets Picker(UiCall::Kind kind) { return {Gets::kPicker, {}, kind}; }
Gets Window(const char* caption) { return {Gets::kWindow, caption}; }
Gets Change() { return {Gets::kChange, {}}; }
Gets Disabled() { return {Gets::kDisabled, {}}; }

std::size_t PickerCalls(const NsWui::ScriptedUiServices& ui) {
  std::size_t count = 0;
  for (const UiCall& call : ui.calls) {
    if (call.kind != UiCall::Kind::MessageBox && call.kind != UiCall::Kind::BalloonTip) ++count;
  }
  return count;
}

class RunningEditor : public RunningEditorFixture {
 protected:
  // Back to where every row starts: the project open, "P1" the active page
  // window, nothing selected, nothing modified, offline, the tool pointer.
  void Restore() {
    if (NsTermination::ChannelManager::Instance().IsRunning()) frame_->StopOnline();
    QlEProject& project = QlEProject::Instance();
    if (!project.open) OpenThroughTheFileMenu();
    ASSERT_TRUE(project.open);
    // The page as its file holds it, in a window of its own.
    project.modified = false;
    for (const auto& page : project.openPages) page->modified = false;
    frame_->GetMdiClient()->closeAllSubWindows();
    DeleteClosed();
    view_ = OpenPage("P1");
    ASSERT_NE(view_, nullptr);
    ClickEmpty();
    project.modified = false;
    for (const auto& page : project.openPages) page->modified = false;
    frame_->statusBar()->show();
    CurrentToolId = kToolPointer;
    ui_.calls.clear();
    frame_->UpdateCommandUI();
  }

  // A click on the page where no element lies.
  void ClickEmpty() { Click(view_, {700, 600}); }
  // The elements of "P1" at their places on the canvas (20 further in).
  void SelectA() { Click(view_, {40, 40}); }
  void SelectAbc() {
    SelectA();
    Mouse(QPoint{190, 90}, Qt::ShiftModifier);
    Mouse(QPoint{340, 160}, Qt::ShiftModifier);
  }
  void Mouse(QPoint at, Qt::KeyboardModifiers modifiers) {
    QWidget* viewport = view_->viewport();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      QMouseEvent event(type, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::LeftButton,
                        type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                        modifiers);
      QApplication::sendEvent(viewport, &event);
    }
  }
  // The page file, and what of the elements it does not hold: the
  // navigation bars' layout and sizing.
  std::string State() {
    std::string state = PageSnapshot();
    for (std::size_t i = 0; i < ElementCount(); ++i) {
      if (const auto bar = std::dynamic_pointer_cast<NsQlUiElem::QlUiNavBar>(Host(i)->GetUi())) {
        state += bar->horizontal ? " horizontal" : " vertical";
        state += bar->fixedTabWidth ? " fixed" : " shared";
      }
    }
    return state;
  }
  std::vector<NsDx2d::D2D_RECT_F> Rects() const {
    std::vector<NsDx2d::D2D_RECT_F> rects;
    for (std::size_t i = 0; i < ElementCount(); ++i) rects.push_back(Host(i)->GetRect());
    return rects;
  }
  std::vector<std::string> TypesInOrder() const {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < ElementCount(); ++i) texts.push_back(std::to_string(Host(i)->GetType()));
    return texts;
  }

  // Compares what came up with what the row expects; boxes are only
  // compared for kBox, so a row may check its own boxes.
  void ExpectOutcome(const Outcome& outcome, const Gets& gets, const std::string& before,
                     const std::string& after) {
    switch (gets.kind) {
      case Gets::kModal:
        EXPECT_EQ(outcome.modals, Texts{gets.text});
        break;
      case Gets::kModalOfClass:
        EXPECT_EQ(outcome.modalClasses, Texts{gets.text});
        break;
      case Gets::kBox:
        EXPECT_TRUE(outcome.modals.empty());
        EXPECT_EQ(outcome.boxes, Texts{gets.text});
        break;
      case Gets::kTip: {
        EXPECT_TRUE(outcome.modals.empty());
        Texts tips;
        for (const UiCall& call : ui_.CallsOf(UiCall::Kind::BalloonTip)) tips.push_back(call.text);
        EXPECT_EQ(tips, Texts{gets.text});
        EXPECT_TRUE(after == before) << "the page changed";
        break;
      }
      case Gets::kPicker:
        EXPECT_TRUE(outcome.modals.empty());
        ASSERT_EQ(PickerCalls(ui_), 1u);
        EXPECT_EQ(ui_.calls.back().kind, gets.picker);
        break;
      case Gets::kNothing:
        EXPECT_TRUE(outcome.modals.empty());
        EXPECT_TRUE(outcome.boxes.empty());
        EXPECT_EQ(PickerCalls(ui_), 0u);
        EXPECT_TRUE(after == before) << "the page changed";
        break;
      case Gets::kChange:
        EXPECT_TRUE(outcome.modals.empty());
        EXPECT_TRUE(after != before) << "the page did not change";
        break;
      case Gets::kWindow:
      case Gets::kDisabled:
        EXPECT_TRUE(outcome.modals.empty());
        EXPECT_TRUE(outcome.boxes.empty());
        break;
    }
  }
};

// ---- the project tree ----

TEST_F(RunningEditor, EveryProjectTreeItemOpensWhatItNamesOnADoubleClick) {
  // Items not listed give nothing but the tree's own expanding.
  const std::map<std::string, Gets> table = {
      {"P1", Window("P1")},
      {"P2", Window("P2")},
      {"警报配置", Modal("警报配置")},
      {"权限配置", Modal("用户管理")},
      {"事件变量", Modal("事件变量")},
  };
  std::vector<QTreeWidgetItem*> items;
  std::function<void(QTreeWidgetItem*)> walk = [&](QTreeWidgetItem* item) {
    items.push_back(item);
    for (int i = 0; i < item->childCount(); ++i) walk(item->child(i));
  };
  for (int i = 0; i < Tree()->topLevelItemCount(); ++i) walk(Tree()->topLevelItem(i));
  ASSERT_GE(items.size(), 15u) << "工程, 页面 and its pages, 通讯连接, channels, devices, block, "
                                  "警报, 用户, 事件 and their entries";

  std::set<std::string> reached;
  for (QTreeWidgetItem* item : items) {
    const std::string text = item->text(0).toStdString();
    SCOPED_TRACE(text);
    Restore();
    QMdiSubWindow* activeBefore = frame_->GetMdiClient()->currentSubWindow();
    const std::string before = PageSnapshot();
    const Outcome outcome = Run([&] { DoubleClickTreeItem(*Tree(), item); });
    const auto row = table.find(text);
    const Gets gets = row != table.end() ? row->second : Nothing();
    if (row != table.end()) reached.insert(text);
    ExpectOutcome(outcome, gets, before, PageSnapshot());
    QMdiSubWindow* active = frame_->GetMdiClient()->currentSubWindow();
    if (gets.kind == Gets::kWindow) {
      ASSERT_NE(active, nullptr);
      EXPECT_EQ(active->windowTitle().toStdString(), gets.text);
    } else {
      EXPECT_EQ(active, activeBefore);
    }
  }
  EXPECT_EQ(reached.size(), table.size()) << "an item of the table is missing from the tree";
}

// The two context menus of the tree, each command on the items it is for.
TEST_F(RunningEditor, EveryContextMenuCommandOfTheTreeOpensWhatItNames) {
  QlEProject& project = QlEProject::Instance();
  const auto item = [this](const Texts& path) {
    QTreeWidgetItem* at = Tree()->GetProjectItem();
    for (const std::string& text : path) {
      QTreeWidgetItem* next = nullptr;
      for (int i = 0; at != nullptr && i < at->childCount(); ++i) {
        if (at->child(i)->text(0).toStdString() == text) next = at->child(i);
      }
      at = next;
    }
    return at;
  };
  // The Ethernet channel has no description: it is the second channel.
  const auto ethernet = [this] { return Tree()->GetCommItem()->child(1); };
  const auto serial = [&] { return item({"通讯连接", "COM1"}); };
  const auto rtu = [&] { return item({"通讯连接", "COM1", "RTU1 (modbus.RTU)"}); };
  const auto plc = [&] { return ethernet()->child(0); };
  const auto p2 = [&] { return item({"页面", "P2"}); };
  const auto pages = [this] { return Tree()->GetPagesItem(); };
  struct Row {
    const char* name;
    std::function<QTreeWidgetItem*()> target;
    int id;
    Gets gets;
    std::function<void()> check;
  };
  const std::vector<Row> rows = {
      {"新增页面", p2, 57600, Modal("新建页面"), nullptr},
      {"打开页面", p2, 32823, Window("P2"), nullptr},
      {"设为首页", p2, 32838, Nothing(), [&] {
         EXPECT_EQ(project.homePage, "P2");
         EXPECT_TRUE(project.modified);
       }},
      {"串口: 添加设备", serial, 32828, Box("串口只能连接一个设备."), nullptr},
      {"串口: 设置串口参数", serial, 32832, Modal("串口参数"), nullptr},
      {"串口设备: 修改设备", rtu, 32830, Modal("编辑串口设备属性"), nullptr},
      {"串口设备: 编辑数据块", rtu, 32835, Modal("数据块编辑器"), nullptr},
      {"串口设备: 删除设备, answered No", rtu, 32829, Box("确定要删除此节点吗?"),
       [&] { EXPECT_NE(rtu(), nullptr); }},
      {"网口: 添加设备", ethernet, 32828, Modal("添加以太网设备"), nullptr},
      {"网口设备: 修改设备", plc, 32830, Modal("编辑以太网设备属性"), nullptr},
      {"网口设备: 编辑数据块", plc, 32835, Modal("数据块编辑器"), nullptr},
      {"页面: 打开页面", pages, 32823, Disabled(), nullptr},
      {"页面: 删除页面", pages, 32824, Disabled(), nullptr},
      {"页面: 设为首页", pages, 32838, Disabled(), nullptr},
      {"串口: 删除设备", serial, 32829, Disabled(), nullptr},
      {"串口: 修改设备", serial, 32830, Disabled(), nullptr},
      {"串口: 编辑数据块", serial, 32835, Disabled(), nullptr},
      {"串口设备: 设置串口参数", rtu, 32832, Disabled(), nullptr},
      {"网口: 设置网卡参数 (no action)", ethernet, 32832, Nothing(), nullptr},
      {"删除页面", p2, 32824, Nothing(), [&] {
         EXPECT_EQ(project.pageNames, Texts{"P1"});
         EXPECT_EQ(p2(), nullptr);
       }},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Restore();
    QTreeWidgetItem* target = row.target();
    ASSERT_NE(target, nullptr);
    Tree()->scrollToItem(target);
    const QRect rect = Tree()->visualItemRect(target);
    const QPoint at(rect.right() - 4, rect.center().y());
    std::vector<std::pair<int, bool>> seen;  // (command, enabled) as the menu showed them
    auto* timer = new QTimer(Tree());
    QObject::connect(timer, &QTimer::timeout, [timer, &seen, id = row.id] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      timer->stop();
      QAction* chosen = nullptr;
      for (QAction* action : menu->actions()) {
        if (action->isSeparator()) continue;
        seen.emplace_back(action->data().toInt(), action->isEnabled());
        if (action->data().toInt() == id) chosen = action;
      }
      if (chosen != nullptr && chosen->isEnabled()) {
        menu->setActiveAction(chosen);
        QTest::keyClick(menu, Qt::Key_Return);
      } else {
        menu->close();
      }
    });
    const std::string before = PageSnapshot();
    const Outcome outcome = Run([&] {
      timer->start(5);
      QWidget* viewport = Tree()->viewport();
      QContextMenuEvent event(QContextMenuEvent::Mouse, at, viewport->mapToGlobal(at));
      QApplication::sendEvent(viewport, &event);
    });
    delete timer;
    const auto shown = std::find_if(seen.begin(), seen.end(), [&](const auto& e) { return e.first == row.id; });
    ASSERT_NE(shown, seen.end()) << "the command is not on the menu";
    EXPECT_EQ(shown->second, row.gets.kind != Gets::kDisabled);
    ExpectOutcome(outcome, row.gets, before, PageSnapshot());
    if (row.gets.kind == Gets::kWindow) {
      QMdiSubWindow* active = frame_->GetMdiClient()->currentSubWindow();
      ASSERT_NE(active, nullptr);
      EXPECT_EQ(active->windowTitle().toStdString(), row.gets.text);
    }
    if (row.check) row.check();
  }
}

// ---- the frame's commands ----

TEST_F(RunningEditor, EveryMenuToolbarAndKeyCommandDoesWhatItSays) {
  struct Row {
    int id;
    const char* name;
    std::function<void()> prepare;
    Gets gets;
    std::function<void()> check;
  };
  const auto equalAll = [](auto field) {
    return [field](const std::vector<NsDx2d::D2D_RECT_F>& rects) {
      for (const auto& r : rects) {
        if (std::abs(field(r) - field(rects.front())) > 0.01f) return false;
      }
      return true;
    };
  };
  const auto selectAbc = [this] { SelectAbc(); };
  const auto selectA = [this] { SelectA(); };
  const auto checkRects = [this](const char* what, std::function<bool(const std::vector<NsDx2d::D2D_RECT_F>&)> ok) {
    return [this, what, ok] { EXPECT_TRUE(ok(Rects())) << what; };
  };
  // The three elements sorted along one axis: equal gaps between them.
  const auto evenGaps = [](bool horizontal) {
    return [horizontal](const std::vector<NsDx2d::D2D_RECT_F>& rects) {
      std::vector<NsDx2d::D2D_RECT_F> sorted = rects;
      std::sort(sorted.begin(), sorted.end(), [horizontal](const auto& a, const auto& b) {
        return horizontal ? a.left < b.left : a.top < b.top;
      });
      const float gap1 = horizontal ? sorted[1].left - sorted[0].right : sorted[1].top - sorted[0].bottom;
      const float gap2 = horizontal ? sorted[2].left - sorted[1].right : sorted[2].top - sorted[1].bottom;
      return std::abs(gap1 - gap2) <= 1.0f;
    };
  };
  const std::string mainFile = GetMainFilePath(folder_.Path());
  QlEProject& project = QlEProject::Instance();
  auto ioAddrBefore = std::make_shared<bool>(false);

  const std::vector<Row> rows = {
      // 文件
      {ID_FILE_NEW, "新建页面", nullptr, Modal("新建页面"), nullptr},
      {ID_NEW_PROJECT, "新建工程...", nullptr, Modal("创建新工程..."),
       [&] { EXPECT_FALSE(project.open) << "the project is closed before the dialog asks"; }},
      {ID_FILE_OPEN, "打开工程", [&] { ui_.PushPath(mainFile); }, Picker(UiCall::Kind::OpenFile),
       [&] {
         EXPECT_TRUE(project.open);
         EXPECT_EQ(project.pageNames, (Texts{"P1", "P2"}));
       }},
      {ID_FILE_SAVE, "保存工程 (nothing changed)", nullptr, Disabled(), nullptr},
      {ID_FILE_SAVE, "保存工程", [this] { EditedPage()->modified = true; }, Nothing(),
       [this] { EXPECT_FALSE(EditedPage()->modified); }},
      {ID_FILE_SAVE_AS, "另存为", nullptr, Picker(UiCall::Kind::Folder), nullptr},
      {ID_CLOSE_PROJECT, "关闭工程", nullptr, Nothing(),
       [&] {
         EXPECT_FALSE(project.open);
         EXPECT_TRUE(frame_->GetMdiClient()->subWindowList().isEmpty());
         EXPECT_EQ(Tree()->topLevelItemCount(), 0);
       }},
      {ID_FILE_PRINT_SETUP, "打印设置", nullptr, ModalOfClass("QPageSetupDialog"), nullptr},
      {ID_FILE_PRINT, "打印", nullptr, Disabled(), nullptr},
      {ID_FILE_PRINT_PREVIEW, "打印预览", nullptr, Disabled(), nullptr},
      // 编辑
      {ID_EDIT_UNDO, "撤消", nullptr, Disabled(), nullptr},
      {ID_EDIT_CUT, "剪切 (nothing selected)", nullptr, Disabled(), nullptr},
      {ID_EDIT_COPY, "复制 (nothing selected)", nullptr, Disabled(), nullptr},
      {ID_EDIT_PASTE, "粘贴 (empty clipboard)",
       [] { NsUiD2ElemEditor::UiElemClipboard::Instance().elements.clear(); }, Disabled(), nullptr},
      {ID_EDIT_COPY, "复制", selectA, Nothing(),
       [] { EXPECT_EQ(NsUiD2ElemEditor::UiElemClipboard::Instance().elements.size(), 1u); }},
      {ID_EDIT_CUT, "剪切", selectA, Change(), [this] { EXPECT_EQ(ElementCount(), 2u); }},
      {ID_EDIT_PASTE, "粘贴", [this] {
         SelectA();
         frame_->OnCommand(ID_EDIT_COPY);
       }, Change(), [this] { EXPECT_EQ(ElementCount(), 4u); }},
      // 视图
      {ID_VIEW_STATUS_BAR, "状态栏", nullptr, Nothing(),
       [this] { EXPECT_FALSE(frame_->statusBar()->isVisible()); }},
      {ID_SHOW_IO_ADDR, "显示元件地址", [ioAddrBefore] { *ioAddrBefore = ShowIoAddrSetting::Instance().Get(); },
       Nothing(),
       [ioAddrBefore] {
         EXPECT_EQ(ShowIoAddrSetting::Instance().Get(), !*ioAddrBefore);
         EXPECT_EQ(ShowIoAddr, !*ioAddrBefore);
       }},
      {ID_VIEW_CUSTOMIZE, "自定义...", nullptr, Modal("自定义"), nullptr},
      // 生成
      {ID_CHECK_ERRORS, "错误检测", [this] { frame_->GetOutputPane()->hide(); }, Nothing(),
       [this] {
         EXPECT_TRUE(frame_->GetOutputPane()->isVisible());
         EXPECT_GT(frame_->GetOutputPane()->GetOutputList()->count(), 0);
       }},
      // 窗口: one window per page, no splitter
      {ID_WINDOW_NEW, "新建窗口", nullptr, Disabled(), nullptr},
      {ID_WINDOW_SPLIT, "拆分", nullptr, Disabled(), nullptr},
      {ID_NEXT_PANE, "F6", nullptr, Disabled(), nullptr},
      {ID_PREV_PANE, "Shift+F6", nullptr, Disabled(), nullptr},
      {ID_WINDOW_MANAGER, "窗口(&W)...", nullptr, Modal("窗口"), nullptr},
      // 帮助
      {ID_APP_ABOUT, "关于", nullptr, Modal("关于 Quillane"), nullptr},
      // 对齐: disabled without a selection, each doing its own with three
      {32807, "左对齐 (nothing selected)", nullptr, Disabled(), nullptr},
      {32807, "左对齐", selectAbc, Change(), checkRects("lefts", equalAll([](auto r) { return r.left; }))},
      {32808, "右对齐", selectAbc, Change(), checkRects("rights", equalAll([](auto r) { return r.right; }))},
      {32809, "上对齐", selectAbc, Change(), checkRects("tops", equalAll([](auto r) { return r.top; }))},
      {32810, "下对齐", selectAbc, Change(), checkRects("bottoms", equalAll([](auto r) { return r.bottom; }))},
      {32811, "平分水平间隔", selectAbc, Change(), checkRects("horizontal gaps", evenGaps(true))},
      {32812, "平分垂直间隔", selectAbc, Change(), checkRects("vertical gaps", evenGaps(false))},
      {32813, "等宽", selectAbc, Change(),
       checkRects("widths", equalAll([](auto r) { return r.right - r.left; }))},
      {32814, "等高", selectAbc, Change(),
       checkRects("heights", equalAll([](auto r) { return r.bottom - r.top; }))},
      {32815, "等尺寸", selectAbc, Change(), checkRects("sizes", [](const auto& rects) {
         for (const auto& r : rects) {
           if (std::abs((r.right - r.left) - (rects[0].right - rects[0].left)) > 0.01f ||
               std::abs((r.bottom - r.top) - (rects[0].bottom - rects[0].top)) > 0.01f)
             return false;
         }
         return true;
       })},
      {32816, "移动到底层", [this] { Click(view_, {340, 160}); }, Change(),
       [this] { EXPECT_EQ(TypesInOrder(), (Texts{"1", "1", "2"})); }},
      {32817, "移动到顶层", selectA, Change(),
       [this] { EXPECT_EQ(TypesInOrder(), (Texts{"2", "1", "1"})); }},
      // 运行
      {ID_CONNECT_PLC, "连接", nullptr, Nothing(),
       [this] {
         EXPECT_TRUE(NsTermination::ChannelManager::Instance().IsRunning());
         frame_->UpdateCommandUI();
         EXPECT_TRUE(frame_->GetCommandActions(ID_CONNECT_PLC).front()->isChecked());
       }},
      {ID_CONNECT_PLC, "连接 (while online)", [this] { frame_->StartOnline(); }, Nothing(),
       [this] { EXPECT_FALSE(NsTermination::ChannelManager::Instance().IsRunning()); }},
      {ID_DOWNLOAD, "下载", nullptr, Box("测试版, 暂时不提供下载."), nullptr},
  };

  // The names the README uses are the ones on the screen.
  QAction* connect = Button(frame_->GetRunToolBar(), ID_CONNECT_PLC);
  ASSERT_NE(connect, nullptr);
  EXPECT_EQ(connect->toolTip().toStdString(), "连接");
  EXPECT_EQ(connect->statusTip().toStdString(), "连接到PLC");
  const auto menuTitled = [this](const char* title) -> QMenu* {
    for (QMenu* menu : frame_->GetDocumentMenus()) {
      if (menu->title() == QString::fromUtf8(title)) return menu;
    }
    return nullptr;
  };
  QMenu* build = menuTitled("生成");
  ASSERT_NE(build, nullptr);
  EXPECT_EQ(Entries(build), Texts{"错误检测"});
  QMenu* file = menuTitled("文件(&F)");
  ASSERT_NE(file, nullptr);
  const Texts fileEntries = Entries(file);
  for (const char* entry : {"新建工程...", "保存工程(&S)\tCtrl+S"}) {
    EXPECT_NE(std::find(fileEntries.begin(), fileEntries.end(), entry), fileEntries.end()) << entry;
  }

  // Every command a menu, a toolbar or a key shows has a row.
  std::set<int> shown;
  const auto collect = [&shown](const QList<QAction*>& actions) {
    for (QAction* action : actions) {
      if (!action->isSeparator() && action->data().isValid()) shown.insert(action->data().toInt());
    }
  };
  for (const auto* menus : {&frame_->GetFrameMenus(), &frame_->GetDocumentMenus()}) {
    for (QMenu* menu : *menus) {
      collect(menu->actions());
      for (QAction* action : menu->actions()) {
        if (action->menu() != nullptr) collect(action->menu()->actions());
      }
    }
  }
  for (QToolBar* bar : {frame_->GetStandardToolBar(), frame_->GetElementToolBar(),
                        frame_->GetAlignToolBar(), frame_->GetRunToolBar()}) {
    collect(bar->actions());
  }
  shown.insert({ID_NEXT_PANE, ID_PREV_PANE});
  std::set<int> covered;
  for (const Row& row : rows) covered.insert(row.id);
  for (int tool = ID_TOOL_POINTER; tool <= ID_TOOL_LAST_ELEM; ++tool) covered.insert(tool);
  covered.insert(ID_APP_EXIT);
  for (int id : shown) EXPECT_TRUE(covered.count(id)) << "no row for command " << id;

  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Restore();
    if (row.prepare) row.prepare();
    frame_->UpdateCommandUI();
    const std::string before = PageSnapshot();
    if (row.gets.kind == Gets::kDisabled) {
      EXPECT_FALSE(frame_->GetCommandState(row.id).enabled);
      for (QAction* action : frame_->GetCommandActions(row.id)) EXPECT_FALSE(action->isEnabled());
      const Outcome outcome = Run([&] { EXPECT_FALSE(frame_->OnCommand(row.id)); });
      ExpectOutcome(outcome, row.gets, before, PageSnapshot());
      EXPECT_EQ(PageSnapshot(), before);
      continue;
    }
    ASSERT_TRUE(frame_->GetCommandState(row.id).enabled);
    const Outcome outcome = Run([&] {
      if (frame_->GetCommandActions(row.id).empty()) {
        frame_->OnCommand(row.id);
      } else {
        Trigger(row.id);
      }
    });
    const bool pageStillOpen = QlEProject::Instance().open && !frame_->GetMdiClient()->subWindowList().isEmpty();
    ExpectOutcome(outcome, row.gets, before, pageStillOpen ? PageSnapshot() : before);
    if (row.check) row.check();
  }

  // The element tools arm one tool each; the pointer arms none.
  for (int tool = ID_TOOL_POINTER; tool <= ID_TOOL_LAST_ELEM; ++tool) {
    SCOPED_TRACE(tool);
    Restore();
    Trigger(tool);
    frame_->UpdateCommandUI();
    EXPECT_EQ(CurrentToolId, static_cast<uint32_t>(tool));
    for (QAction* action : frame_->GetCommandActions(tool)) EXPECT_TRUE(action->isChecked());
  }

  // 退出 closes the frame and with it the project.
  Restore();
  const Outcome outcome = Run([&] { Trigger(ID_APP_EXIT); });
  EXPECT_TRUE(outcome.modals.empty());
  EXPECT_FALSE(frame_->isVisible());
  EXPECT_FALSE(QlEProject::Instance().open);
  EXPECT_TRUE(MainFrameRef.isNull());
}

// ---- the property pages ----

// The picture edits the "X" buttons empty: (element kind, button) -> edit.
const std::map<std::pair<int, int>, int> kPictureClearers = {
    {{NsQlUiElem::kElemButton, 1024}, 1005},
    {{NsQlUiElem::kElemButton, 1025}, 1007},
    {{NsQlUiElem::kElemPageTo, 1024}, 1005},
};

TEST_F(RunningEditor, EveryButtonOfEveryPropertyPageDoesItsOwnAndNothingOnEnter) {
  using namespace NsQlUiElem;
  // Push buttons of the pages by (kind, id); colour buttons, check boxes,
  // radio buttons, alignment buttons and browse buttons go by their class.
  const std::map<std::pair<int, int>, Gets> table = {
      {{kElemButton, 1024}, Change()},
      {{kElemButton, 1025}, Change()},
      {{kElemPageTo, 1024}, Change()},
      {{kElemNavBar, 1026}, Change()},
      {{kElemNavBar, 1027}, Nothing()},
      {{kElemMultiStateLabel, 1018}, Modal("文本属性")},
      {{kElemMultiStateLabel, 1019}, Modal("文本属性")},
      {{kElemMultiStateLabel, 1020}, Nothing()},
      {{kElemMultFunc, 1021}, Nothing()},
      {{kElemMultFunc, 1024}, Window("指令列表")},
      {{kElemOVTable, 1025}, Tip("起始地址不能为空!")},
      {{kElemOVTable, 1023}, Nothing()},
      {{kElemOVTable, 1026}, Nothing()},
      {{kElemOVTable, 1018}, Picker(UiCall::Kind::SaveFile)},
      {{kElemOVTable, 1024}, Picker(UiCall::Kind::OpenFile)},
  };
  const auto classRule = [](QAbstractButton* button) -> std::optional<Gets> {
    if (dynamic_cast<NsWui::CColorButton*>(button) != nullptr) return Picker(UiCall::Kind::Colour);
    if (dynamic_cast<NsWui::CMtRadioButton*>(button) != nullptr) return Change();
    if (qobject_cast<QCheckBox*>(button) != nullptr) return Change();
    if (qobject_cast<QRadioButton*>(button) != nullptr) return Change();
    if (dynamic_cast<NsWui::MfcEditBrowse*>(button->parentWidget()) != nullptr) {
      return Picker(UiCall::Kind::OpenFile);
    }
    return std::nullopt;
  };
  std::set<std::pair<int, int>> reached;

  // The page itself first, then one element of each kind, inserted with its
  // tool where nothing lies.
  for (int kind = CPropertiesWnd::kPageType; kind <= kElemOVTable; ++kind) {
    SCOPED_TRACE("kind " + std::to_string(kind));
    QWidget* page = ShowPropertyPageOf(kind);
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(page->isVisible());
    // The "X" buttons have a picture to clear.
    for (const auto& [key, edit] : kPictureClearers) {
      if (key.first == kind) NsWui::DlgItem<QLineEdit>(page, edit)->setText(QStringLiteral("pic.png"));
    }
    const std::string loaded = State();
    if (kind == kElemButton || kind == kElemPageTo) {
      ASSERT_NE(loaded.find("pic.png"), std::string::npos);
    }

    std::vector<QAbstractButton*> buttons;
    for (QAbstractButton* button : page->findChildren<QAbstractButton*>()) {
      if (button->isVisibleTo(page)) buttons.push_back(button);
    }

    // Enter and Escape on any other control that takes the focus (lists,
    // sliders, tables; text edits keep their keys): nothing either.
    for (QWidget* control : page->findChildren<QWidget*>()) {
      if (!control->isVisibleTo(page) || control->focusPolicy() == Qt::NoFocus ||
          control->window() != page->window() || qobject_cast<QLineEdit*>(control) != nullptr ||
          qobject_cast<QAbstractButton*>(control) != nullptr) {
        continue;
      }
      SCOPED_TRACE(std::string("Enter on ") + control->metaObject()->className() + " " +
                   control->objectName().toStdString());
      const Outcome outcome = Run([&] {
        control->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(control, key);
      });
      ExpectOutcome(outcome, Nothing(), loaded, State());
      EXPECT_TRUE(page->isVisible());
    }

    // Enter and Escape on any of the buttons: nothing at all.
    for (QAbstractButton* button : buttons) {
      SCOPED_TRACE("Enter on " + button->objectName().toStdString() + " " + button->text().toStdString());
      const bool checked = button->isChecked();
      const Outcome outcome = Run([&] {
        button->setFocus();
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) QTest::keyClick(button, key);
      });
      ExpectOutcome(outcome, Nothing(), loaded, State());
      EXPECT_EQ(button->isChecked(), checked);
      EXPECT_TRUE(page->isVisible());
      EXPECT_FALSE(CDlgQlFuncList::Instance()->isVisible());
    }

    // A click: what the row says.
    for (QAbstractButton* button : buttons) {
      const int id = button->objectName().toInt();
      SCOPED_TRACE("click on " + std::to_string(id) + " " + button->text().toStdString());
      std::optional<Gets> gets;
      if (const auto row = table.find({kind, id}); row != table.end()) {
        gets = row->second;
        reached.insert(row->first);
      } else {
        gets = classRule(button);
      }
      ASSERT_TRUE(gets.has_value()) << "no row for this button";
      if (!button->isEnabled()) gets = Nothing();  // disabled as the page's state says
      if (kind == kElemMultiStateLabel && id == 1019) {
        auto* states = static_cast<CDlgProtMultStateText*>(page)->StateList();
        ASSERT_GT(states->topLevelItemCount(), 0);
        states->topLevelItem(0)->setSelected(true);
      }
      const std::string before = State();
      // A segmented button: the segment after the selected one.
      QPoint at = button->rect().center();
      if (auto* segments = dynamic_cast<NsWui::CMtRadioButton*>(button); segments && segments->count > 0) {
        const int next = (segments->currentIndex + 1) % segments->count;
        at.setX((2 * next + 1) * button->width() / (2 * segments->count));
      }
      // Check boxes and radio buttons take clicks on their mark.
      if (qobject_cast<QCheckBox*>(button) != nullptr || qobject_cast<QRadioButton*>(button) != nullptr) {
        at = QPoint(8, button->height() / 2);
      }
      // The segments follow the pointer, as the window system moves it.
      QCursor::setPos(button->mapToGlobal(at));
      const Outcome outcome = Run([&] { QTest::mouseClick(button, Qt::LeftButton, {}, at); });
      ExpectOutcome(outcome, *gets, before, State());
      if (qobject_cast<QRadioButton*>(button) != nullptr && button->isEnabled()) {
        EXPECT_TRUE(button->isChecked());
      }
      if (gets->kind == Gets::kWindow) {
        CDlgQlFuncList* reference = CDlgQlFuncList::Instance();
        EXPECT_TRUE(reference->isVisible());
        EXPECT_EQ(reference->windowTitle().toStdString(), gets->text);
        reference->hide();
      }
      if (const auto clears = kPictureClearers.find({kind, id}); clears != kPictureClearers.end()) {
        EXPECT_TRUE(NsWui::DlgItem<QLineEdit>(page, clears->second)->text().isEmpty());
      }
      EXPECT_TRUE(page->isVisible());
    }
  }
  EXPECT_EQ(reached.size(), table.size()) << "a button of the table is missing from its page";

  // A confirm edit of a page still takes Enter: the last button's hold
  // delay, typed and confirmed.
  Trigger(ID_TOOL_FIRST_ELEM + kElemButton - 1);
  Click(view_, {420, 600});
  ASSERT_EQ(Pane()->GetCurrentEditor(), Pane()->GetCreatedPage(kElemButton));
  auto* holdDelay = NsWui::DlgItem<QLineEdit>(ShownPage(), 1014);
  ASSERT_NE(holdDelay, nullptr);
  QTest::mouseClick(holdDelay, Qt::LeftButton);
  holdDelay->selectAll();
  QTest::keyClicks(holdDelay, QStringLiteral("1.5"));
  QTest::keyClick(holdDelay, Qt::Key_Return);
  EXPECT_NE(State().find(R"("hold-delay":15)"), std::string::npos);
}

// The instruction reference window as the user reads it: its tree and the
// help text of the item clicked last.
struct ReferenceWindow {
  CDlgQlFuncList* reference = CDlgQlFuncList::Instance();
  QPlainTextEdit* help = reference->findChild<QPlainTextEdit*>();
  QTreeWidget* funcs = reference->findChild<QTreeWidget*>();

  static QString HelpOf(const char* name) {
    return QString::fromStdString(GetFuncHelp(name)).replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  }
  QString Shown() const { return help->toPlainText().replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }
};

// After the events dialog: still shown, a window on its own again, answering
// a click, and closed from its close box.
void ExpectOnItsOwnAndAnswering(const ReferenceWindow& window) {
  ASSERT_TRUE(window.reference->isVisible());
  EXPECT_TRUE(window.reference->isWindow());
  EXPECT_EQ(window.reference->parentWidget(), nullptr);
  ClickItemAsTheUser(window.funcs, FindItem(window.funcs, "MOV"));
  EXPECT_EQ(window.Shown(), ReferenceWindow::HelpOf("MOV"));
  CloseAsTheUser(window.reference);
  EXPECT_FALSE(window.reference->isVisible());
}

// "查看指令" of the events dialog gives a reference window that takes clicks,
// keys and its close box while the dialog runs, and that goes on working
// after the dialog closed.
TEST_F(RunningEditor, TheInstructionReferenceIsUsableWhileTheEventsDialogRuns) {
  const ReferenceWindow window;
  CDlgQlFuncList* reference = window.reference;
  QTreeWidget* funcs = window.funcs;
  ASSERT_NE(window.help, nullptr);
  ASSERT_NE(funcs, nullptr);
  const auto helpOf = &ReferenceWindow::HelpOf;
  const auto shown = [&window] { return window.Shown(); };

  bool ran = false;
  NsWui::WhenModal([&](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgVarEvent*>(modal);
    ASSERT_NE(dialog, nullptr);
    ran = true;
    ClickAsTheUser(NsWui::DlgItem<QPushButton>(dialog, CDlgVarEvent::IDC_SHOW_FUNCS));
    ASSERT_TRUE(reference->isVisible());
    EXPECT_EQ(reference->windowTitle(), QStringLiteral("指令列表"));

    ClickItemAsTheUser(funcs, FindItem(funcs, "SET"));
    EXPECT_EQ(shown(), helpOf("SET"));
    funcs->setFocus();
    QTest::keyClick(reference->windowHandle(), Qt::Key_Down);
    EXPECT_EQ(shown(), helpOf("RST"));

    // The dialog takes clicks beside it.
    ClickItemAsTheUser(dialog->eventTree, dialog->eventRoot);
    EXPECT_EQ(dialog->eventTree->currentItem(), dialog->eventRoot);

    CloseAsTheUser(reference);
    EXPECT_FALSE(reference->isVisible());

    // Shown again with what it showed; the dialog goes on.
    ClickAsTheUser(NsWui::DlgItem<QPushButton>(dialog, CDlgVarEvent::IDC_SHOW_FUNCS));
    EXPECT_TRUE(reference->isVisible());
    EXPECT_EQ(shown(), helpOf("RST"));
    ClickItemAsTheUser(funcs, FindItem(funcs, "点位操作"));
    EXPECT_TRUE(shown().isEmpty());
    CloseAsTheUser(dialog);
    EXPECT_FALSE(dialog->isVisible());
  });
  DoubleClickTreeItem(*Tree(), Tree()->GetEventsItem());
  ASSERT_TRUE(ran);

  ExpectOnItsOwnAndAnswering(window);
  EXPECT_EQ(CDlgQlFuncList::Instance(), reference);
}

// A reference window the multi-function button's page opened before the
// events dialog runs takes clicks beside the dialog from its start, without
// "查看指令", and goes on working after the dialog closed.
TEST_F(RunningEditor, AReferenceOpenedBeforeTheEventsDialogIsUsableWhileItRuns) {
  Trigger(ID_TOOL_FIRST_ELEM + NsQlUiElem::kElemMultFunc - 1);
  Click(view_, {500, 300});
  ASSERT_EQ(Pane()->GetCurrentEditor(), Pane()->GetCreatedPage(NsQlUiElem::kElemMultFunc));
  ClickAsTheUser(NsWui::DlgItem<QPushButton>(ShownPage(), CDlgProtMultFuncBtn::IDC_SHOW_FUNCS));
  const ReferenceWindow window;
  CDlgQlFuncList* reference = window.reference;
  QTreeWidget* funcs = window.funcs;
  ASSERT_TRUE(reference->isVisible());
  ASSERT_TRUE(reference->isWindow());
  ASSERT_NE(window.help, nullptr);
  ASSERT_NE(funcs, nullptr);
  const auto helpOf = &ReferenceWindow::HelpOf;
  const auto shown = [&window] { return window.Shown(); };
  // A group: no help text, so that every click below has to change it.
  ClickItemAsTheUser(funcs, FindItem(funcs, "点位操作"));
  ASSERT_TRUE(shown().isEmpty());
  const QRect placed = reference->geometry();

  bool ran = false;
  NsWui::WhenModal([&](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgVarEvent*>(modal);
    ASSERT_NE(dialog, nullptr);
    ran = true;
    EXPECT_TRUE(reference->isVisible());
    EXPECT_EQ(reference->geometry(), placed);
    ClickItemAsTheUser(funcs, FindItem(funcs, "SET"));
    EXPECT_EQ(shown(), helpOf("SET"));
    ClickItemAsTheUser(funcs, FindItem(funcs, "退出登录"));
    EXPECT_EQ(shown(), helpOf("退出登录"));
    // The dialog takes clicks beside it.
    ClickItemAsTheUser(dialog->eventTree, dialog->eventRoot);
    EXPECT_EQ(dialog->eventTree->currentItem(), dialog->eventRoot);
    CloseAsTheUser(dialog);
    EXPECT_FALSE(dialog->isVisible());
  });
  DoubleClickTreeItem(*Tree(), Tree()->GetEventsItem());
  ASSERT_TRUE(ran);
  ExpectOnItsOwnAndAnswering(window);
}

// ---- the pane and the status bar ----

TEST_F(RunningEditor, ThePaneShrinksToThePagePropertyPageOnceItIsShown) {
  // The frame docks the pane at 430 at first.
  EXPECT_EQ(Pane()->minimumWidth(), 430);
  ClickEmpty();
  ProtEditor* page = Pane()->GetCurrentEditor();
  ASSERT_EQ(page, Pane()->GetCreatedPage(CPropertiesWnd::kPageType));
  const int expected =
      page->contentWidth + Pane()->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 6;
  EXPECT_EQ(Pane()->minimumWidth(), expected);
  EXPECT_EQ(Pane()->minimumHeight(), CPropertiesWnd::kMinimumHeight);
  ASSERT_LT(expected, 430);
  frame_->resizeDocks({Pane()}, {expected}, Qt::Horizontal);
  QCoreApplication::processEvents();
  EXPECT_EQ(Pane()->width(), expected);
}

TEST_F(RunningEditor, LockIndicatorsFollowWhatTheDisplayServerSays) {
  const auto states = [this] {
    std::vector<bool> on;
    for (QLabel* label : frame_->GetKeyIndicators()) on.push_back(label->isEnabled());
    return on;
  };
  std::vector<std::string> texts;
  for (QLabel* label : frame_->GetKeyIndicators()) texts.push_back(label->text().toStdString());
  EXPECT_EQ(texts, (Texts{"CAP", "NUM", "SCRL"}));
  // The offscreen platform cannot be asked: off.
  EXPECT_FALSE(QueryKeyLocks().has_value());
  frame_->UpdateCommandUI();
  EXPECT_EQ(states(), (std::vector<bool>{false, false, false}));

  struct Case {
    std::optional<KeyLocks> locks;
    std::vector<bool> shown;
  };
  for (const Case& c : {Case{KeyLocks{true, false, true}, {true, false, true}},
                        Case{KeyLocks{false, true, false}, {false, true, false}},
                        Case{std::nullopt, {false, false, false}}}) {
    frame_->keyLockQuery = [c] { return c.locks; };
    // The idle update picks them up: a loop that waits.
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(states(), c.shown);
  }
}

}  // namespace
}  // namespace NsOvrin::Testing
