#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

#include "ProjectTreeFixture.h"
#include "app/QtNewPageDialog.h"
#include "dialogs/CDlgNewPage.h"
#include "dialogs/CDlgUsers.h"
#include "ui_services/AlarmCfgDialog.h"
#include "ui_services/VarEventDialog.h"

namespace NsOvrin::Testing {
namespace {

using NsWui::DlgItem;

using ProjectTree = ProjectTreeFixture;

const std::vector<std::string> kOpenedTree = {
    "工程 * +",
    "  页面 * +",
    "    主页",
    "    P2",
    "  通讯连接 * +",
    "    串口1 +",
    "      RTU1 (modbus.RTU) +",
    "        4x[00000~00009]",
    "    串口2",
    "    网口1 +",
    "      PLC1 (modbus.Tcp) +",
    "        0x[00000~00015]",
    "        3x[00000~00009]",
    "        4x[00100~00109]",
    "  警报 * +",
    "    警报配置",
    "  用户 * +",
    "    权限配置",
    "  事件 * +",
    "    事件变量",
};

// ---- shape and notifications ----

TEST_F(ProjectTree, StaysEmptyUntilAProjectOpensThenShowsAllOfIt) {
  EXPECT_EQ(tree_->topLevelItemCount(), 0);
  EXPECT_EQ(tree_->GetPagesItem(), nullptr);

  AnnounceOpened();
  EXPECT_EQ(Dump(), kOpenedTree);
  EXPECT_EQ(tree_->GetPagesItem(), Item({"页面"}));
  EXPECT_EQ(tree_->GetAlarmCfgItem(), Item({"警报", "警报配置"}));
  EXPECT_EQ(tree_->GetUsersItem(), Item({"用户", "权限配置"}));
  EXPECT_EQ(tree_->GetEventsItem(), Item({"事件", "事件变量"}));
  EXPECT_TRUE(tree_->ChannelOf(Serial1()).SameObject(serial1_->GetHandle()));
  EXPECT_TRUE(tree_->NodeOf(Plc1()).SameObject(plc_->GetHandle()));
  EXPECT_TRUE(tree_->NodeOf(Plc1()->child(0)).IsEmpty()) << "block items carry no handle";

  const qint64 group = tree_->TreeImage(CViewTree::kImageGroup).cacheKey();
  const qint64 leaf = tree_->TreeImage(CViewTree::kImageItem).cacheKey();
  EXPECT_NE(group, leaf);
  for (QTreeWidgetItem* item : {tree_->GetProjectItem(), Item({"页面"}), Item({"通讯连接"}),
                                Item({"警报"}), Item({"用户"}), Item({"事件"})}) {
    EXPECT_EQ(item->icon(0).cacheKey(), group) << item->text(0).toStdString();
  }
  for (QTreeWidgetItem* item : {Item({"页面", "P2"}), Serial1(), Rtu1(), Plc1()->child(2),
                                tree_->GetAlarmCfgItem()}) {
    EXPECT_EQ(item->icon(0).cacheKey(), leaf) << item->text(0).toStdString();
  }

  // Opening again starts over.
  QlEProject::Instance().pageNames = {"其他"};
  AnnounceOpened();
  EXPECT_EQ(ChildTexts(tree_->GetPagesItem()), std::vector<std::string>{"其他"});
  EXPECT_EQ(tree_->topLevelItemCount(), 1);
}

TEST_F(ProjectTree, HearsEveryNotificationBeforeLaterListenersAndLeavesWithItsPane) {
  const auto indexOf = [](const auto& registry, const auto* listener) {
    const auto found = std::find(registry.begin(), registry.end(), listener);
    return found == registry.end() ? -1 : static_cast<int>(found - registry.begin());
  };
  const PageListener* asPage = tree_;
  const NodeDbListener* asNodeDb = tree_;
  const ProjectListener* asProject = tree_;
  EXPECT_GE(indexOf(PageListener::GetRegistry(), asPage), 0);
  EXPECT_LT(indexOf(PageListener::GetRegistry(), asPage),
            indexOf(PageListener::GetRegistry(), static_cast<const PageListener*>(&heard_)));
  EXPECT_LT(indexOf(NodeDbListener::GetRegistry(), asNodeDb),
            indexOf(NodeDbListener::GetRegistry(), static_cast<const NodeDbListener*>(&heard_)));
  EXPECT_GE(indexOf(ProjectListener::GetRegistry(), asProject), 0);

  pane_.reset();
  EXPECT_EQ(indexOf(PageListener::GetRegistry(), asPage), -1);
  EXPECT_EQ(indexOf(NodeDbListener::GetRegistry(), asNodeDb), -1);
  EXPECT_EQ(indexOf(ProjectListener::GetRegistry(), asProject), -1);
  // Nothing reaches the tree that is gone.
  AnnounceOpened();
  NodeDbListener::NotifyBlocksChanged(plc_->GetHandle());
  NodeDbListener::NotifyRunMode(false);
  EXPECT_EQ(heard_.events, (std::vector<std::string>{"blocks", "offline"}));
}

TEST_F(ProjectTree, FollowsThePageList) {
  AnnounceOpened();
  QlEProject& project = QlEProject::Instance();
  std::string name = " 新页 ";
  ASSERT_TRUE(project.AddPage(name));
  EXPECT_EQ(ChildTexts(tree_->GetPagesItem()), (std::vector<std::string>{"主页", "P2", "新页"}));
  EXPECT_TRUE(tree_->GetPagesItem()->isExpanded());

  ASSERT_TRUE(project.DeletePage("P2"));
  EXPECT_EQ(ChildTexts(tree_->GetPagesItem()), (std::vector<std::string>{"主页", "新页"}));

  // Renames are announced by whoever renamed the page.
  NotifyListeners(PageListener::GetRegistry(),
                  [](PageListener* l) { l->OnPageRenamed("新页", "第二页"); });
  NotifyListeners(PageListener::GetRegistry(),
                  [](PageListener* l) { l->OnPageRenamed("没有", "别的"); });
  EXPECT_EQ(ChildTexts(tree_->GetPagesItem()), (std::vector<std::string>{"主页", "第二页"}));
  // Names are compared exactly.
  PageListener::NotifyPageDeleting("主页 ");
  EXPECT_EQ(ChildTexts(tree_->GetPagesItem()), (std::vector<std::string>{"主页", "第二页"}));
  // The other page notifications leave the tree alone.
  PageListener::NotifyPageDeleted("主页");
  PageListener::NotifyPageChanged("主页", PageProperties{});
  project.ActivatePage("主页");
  EXPECT_EQ(ChildTexts(tree_->GetPagesItem()), (std::vector<std::string>{"主页", "第二页"}));
}

TEST_F(ProjectTree, ANewProjectGetsItsFirstPageFromThePageList) {
  QlEProject& project = QlEProject::Instance();
  project.pageNames.clear();
  project.homePage.clear();
  for (int round = 0; round < 2; ++round) {
    NotifyListeners(ProjectListener::GetRegistry(),
                    [](ProjectListener* l) { l->OnProjectCreated(); });
  }
  EXPECT_EQ(tree_->topLevelItemCount(), 1) << "one root, however often it is built";
  EXPECT_TRUE(ChildTexts(tree_->GetPagesItem()).empty());
  std::string name = project.MakeNewPageName();
  ASSERT_TRUE(project.AddPage(name));
  EXPECT_EQ(ChildTexts(tree_->GetPagesItem()), std::vector<std::string>{"页面1"});
  EXPECT_EQ(ChildTexts(Item({"通讯连接"})),
            (std::vector<std::string>{"串口1", "串口2", "网口1"}));
}

TEST_F(ProjectTree, ClosingTheProjectEmptiesTheTree) {
  AnnounceOpened();
  NotifyListeners(ProjectListener::GetRegistry(),
                  [](ProjectListener* l) { l->OnProjectClosing(); });
  EXPECT_EQ(tree_->topLevelItemCount(), 0);
  EXPECT_EQ(tree_->GetProjectItem(), nullptr);
  EXPECT_EQ(tree_->GetPagesItem(), nullptr);
  EXPECT_EQ(tree_->GetCommItem(), nullptr);
  EXPECT_EQ(tree_->GetAlarmCfgItem(), nullptr);

  // With no tree, page and block news change nothing.
  std::string name = "迟到";
  ASSERT_TRUE(QlEProject::Instance().AddPage(name));
  NodeDbListener::NotifyBlocksChanged(plc_->GetHandle());
  EXPECT_EQ(tree_->topLevelItemCount(), 0);
}

TEST_F(ProjectTree, ABlockChangeRebuildsTheBlocksOfThatDeviceOnly) {
  AnnounceOpened();
  AddBlock(*plc_, "4x[200~201]", "more");
  AddBlock(*FindShared("RTU1"), "4x[50~51]", "unseen");
  NodeDbListener::NotifyBlocksChanged(plc_->GetHandle());
  EXPECT_EQ(ChildTexts(Plc1()), (std::vector<std::string>{"0x[00000~00015]", "3x[00000~00009]",
                                                          "4x[00100~00109]", "4x[00200~00201]"}));
  EXPECT_TRUE(Plc1()->isExpanded());
  EXPECT_EQ(ChildTexts(Rtu1()), std::vector<std::string>{"4x[00000~00009]"});

  // An empty handle names no node.
  NodeDbListener::NotifyBlocksChanged(OneWayWrapper<Node>());
  EXPECT_EQ(ChildTexts(Rtu1()), std::vector<std::string>{"4x[00000~00009]"});
}

// A channel of a kind the tree does not know.
class OddChannel : public Channel {
 public:
  OddChannel(uint32_t type, const std::string& description) : Channel("odd"), type_(type) {
    SetDescription(description);
  }
  ~OddChannel() override { Shutdown(); }
  bool IsOpenFailed() const override { return false; }
  std::string GetParamText() const override { return {}; }
  uint32_t GetType() const override { return type_; }
  bool AddNode(const std::shared_ptr<Node>& node) override { return AppendNode(node); }
  bool Open() override { return true; }
  void Close() override {}

 private:
  uint32_t type_;
};

TEST_F(ProjectTree, ChannelLabelsShowTheDescriptionOfKnownKinds) {
  auto percent = std::make_shared<ChannelSerialPort>("S9", NsCommServer::SerialParams{});
  percent->SetDescription("100%s 串口");
  OddChannel serialLookAlike(Channel::kTypeSerial, "假串口");
  OddChannel unknown(3, "未知");
  auto dropped = std::make_shared<ChannelEthernet>("E9");
  const OneWayWrapper<Channel> droppedHandle = dropped->GetHandle();
  dropped.reset();

  const struct {
    OneWayWrapper<Channel> channel;
    std::string label;
  } cases[] = {
      {serial1_->GetHandle(), "串口1"},
      {ethernet_->GetHandle(), "网口1"},
      {percent->GetHandle(), "100%s 串口"},
      {serialLookAlike.GetHandle(), "?"},
      {unknown.GetHandle(), "?"},
      {droppedHandle, "?"},
      {OneWayWrapper<Channel>(), "?"},
  };
  for (const auto& c : cases) EXPECT_EQ(CViewTree::ChannelLabel(c.channel), c.label) << c.label;
}

TEST_F(ProjectTree, ADroppedChannelIsReportedWhenItsDevicesAreListed) {
  AnnounceOpened();
  QTreeWidgetItem* serial = Serial1();
  serial1_.reset();
  Db().Reset();
  EXPECT_FALSE(tree_->IsSerialChannelItem(serial)) << "an empty handle is no channel";
  tree_->RebuildDevices(serial);
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"异常Channel数据."});
  EXPECT_EQ(Boxes().size(), 0u);
  EXPECT_EQ(serial->childCount(), 0);
}

// ---- context menus ----

const std::vector<MenuItemSeen> kPagesMenu = {{"新增页面", 57600, true},
                                               {"打开页面", 32823, false},
                                               {"删除页面", 32824, false},
                                               {"", 0, true},
                                               {"设为首页", 32838, false}};
const std::vector<MenuItemSeen> kPageMenu = {{"新增页面", 57600, true},
                                              {"打开页面", 32823, true},
                                              {"删除页面", 32824, true},
                                              {"", 0, true},
                                              {"设为首页", 32838, true}};
const std::vector<MenuItemSeen> kSerialChannelMenu = {{"添加设备...", 32828, true},
                                                       {"修改设备...", 32830, false},
                                                       {"删除设备", 32829, false},
                                                       {"", 0, true},
                                                       {"设置串口参数...", 32832, true},
                                                       {"", 0, true},
                                                       {"编辑数据块...", 32835, false}};
const std::vector<MenuItemSeen> kEthernetChannelMenu = {{"添加设备...", 32828, true},
                                                         {"修改设备...", 32830, false},
                                                         {"删除设备", 32829, false},
                                                         {"", 0, true},
                                                         {"设置网卡参数...", 32832, true},
                                                         {"", 0, true},
                                                         {"编辑数据块...", 32835, false}};
const std::vector<MenuItemSeen> kDeviceMenu = {{"添加设备...", 32828, true},
                                                {"修改设备...", 32830, true},
                                                {"删除设备", 32829, true},
                                                {"", 0, true},
                                                {"设置网卡参数...", 32832, false},
                                                {"", 0, true},
                                                {"编辑数据块...", 32835, true}};

TEST_F(ProjectTree, EachItemGetsItsMenuWithTheCommandsThatApply) {
  AnnounceOpened();
  const struct {
    const char* name;
    QTreeWidgetItem* item;
    const char* title;  // null: no menu
    const std::vector<MenuItemSeen>* items;
  } cases[] = {
      {"pages", Item({"页面"}), "页面", &kPagesMenu},
      {"page", Item({"页面", "P2"}), "页面", &kPageMenu},
      {"serial channel", Serial1(), "设备", &kSerialChannelMenu},
      {"empty serial channel", Serial2(), "设备", &kSerialChannelMenu},
      {"serial device", Rtu1(), "设备", &kDeviceMenu},
      {"Ethernet channel", Ethernet(), "设备", &kEthernetChannelMenu},
      {"Ethernet device", Plc1(), "设备", &kDeviceMenu},
      {"block", Plc1()->child(0), nullptr, nullptr},
      {"project", tree_->GetProjectItem(), nullptr, nullptr},
      {"channels", Item({"通讯连接"}), nullptr, nullptr},
      {"alarms", tree_->GetAlarmCfgItem(), nullptr, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::optional<MenuSeen> menu = RightClick(c.item);
    EXPECT_EQ(tree_->currentItem(), c.item) << "the item under the mouse is selected";
    if (c.title == nullptr) {
      EXPECT_FALSE(menu.has_value());
      continue;
    }
    ASSERT_TRUE(menu.has_value());
    EXPECT_EQ(menu->title, c.title);
    EXPECT_EQ(menu->items, *c.items);
  }
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_EQ(Dump(), kOpenedTree) << "closing a menu without a command changes nothing";
}

TEST_F(ProjectTree, NoMenuOffTheItemsAndTheMenuKeyOnlyFocusesTheTree) {
  AnnounceOpened();
  tree_->setCurrentItem(Serial2());
  const QPoint below(10, tree_->viewport()->height() - 3);
  ASSERT_EQ(tree_->itemAt(below), nullptr);
  EXPECT_FALSE(RightClickAt(below, 0).has_value());
  EXPECT_EQ(tree_->currentItem(), Serial2());

  pane_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(pane_.get()));
  tree_->clearFocus();
  ASSERT_FALSE(tree_->hasFocus());
  auto watch = CountModals();
  QContextMenuEvent key(QContextMenuEvent::Keyboard, QPoint(5, 5), tree_->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(tree_, &key);
  EXPECT_TRUE(tree_->hasFocus());
  EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
  EXPECT_EQ(tree_->currentItem(), Serial2());
  EXPECT_EQ(*watch, 0);
}

// ---- page commands ----

TEST_F(ProjectTree, NewPageAsksForTheNameAndTheTreeShowsThePage) {
  AnnounceOpened();
  QtNewPageDialog newPage;
  NewPageDialog::Install(&newPage);
  std::string proposed;
  OnModal([&proposed](QWidget* modal) {
    auto* edit = DlgItem<QLineEdit>(modal, CDlgNewPage::IDC_NAME);
    ASSERT_NE(edit, nullptr);
    proposed = edit->text().toStdString();
    edit->setText("报警页");
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgNewPage::IDC_OK), Qt::LeftButton);
  });
  ASSERT_TRUE(RightClick(Item({"页面"}), CViewTree::ID_NEW_PAGE).has_value());
  NewPageDialog::Install(nullptr);
  EXPECT_EQ(proposed, "页面1");
  EXPECT_EQ(QlEProject::Instance().pageNames, (std::vector<std::string>{"主页", "P2", "报警页"}));
  EXPECT_EQ(ChildTexts(tree_->GetPagesItem()), (std::vector<std::string>{"主页", "P2", "报警页"}));
  EXPECT_TRUE(QlEProject::Instance().modified);
}

TEST_F(ProjectTree, OpenPageAsksForThePagesEditor) {
  AnnounceOpened();
  ASSERT_TRUE(RightClick(Item({"页面", "P2"}), CViewTree::ID_OPEN_PAGE).has_value());
  EXPECT_EQ(heard_.events, std::vector<std::string>{"activate:P2"});
  EXPECT_FALSE(QlEProject::Instance().modified);
}

TEST_F(ProjectTree, DeletePageDeletesWithoutAQuestion) {
  AnnounceOpened();
  ASSERT_TRUE(RightClick(Item({"页面", "P2"}), CViewTree::ID_DELETE_PAGE).has_value());
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_EQ(QlEProject::Instance().pageNames, std::vector<std::string>{"主页"});
  EXPECT_EQ(ChildTexts(tree_->GetPagesItem()), std::vector<std::string>{"主页"});
  EXPECT_EQ(heard_.events, (std::vector<std::string>{"deleting:P2", "deleted:P2"}));
  EXPECT_TRUE(QlEProject::Instance().modified);
}

TEST_F(ProjectTree, SetHomePageMarksTheProjectOnlyWhenTheHomePageChanges) {
  AnnounceOpened();
  QlEProject& project = QlEProject::Instance();
  ASSERT_TRUE(RightClick(Item({"页面", "主页"}), CViewTree::ID_SET_HOME_PAGE).has_value());
  EXPECT_EQ(project.homePage, "主页");
  EXPECT_FALSE(project.modified);

  ASSERT_TRUE(RightClick(Item({"页面", "P2"}), CViewTree::ID_SET_HOME_PAGE).has_value());
  EXPECT_EQ(project.homePage, "P2");
  EXPECT_TRUE(project.modified);
}

TEST_F(ProjectTree, PageCommandsNeedAnOpenProjectAndAPageItem) {
  AnnounceOpened();
  QlEProject& project = QlEProject::Instance();
  project.open = false;
  ASSERT_TRUE(RightClick(Item({"页面", "P2"}), CViewTree::ID_DELETE_PAGE).has_value());
  ASSERT_TRUE(RightClick(Item({"页面", "P2"}), CViewTree::ID_SET_HOME_PAGE).has_value());
  EXPECT_EQ(project.pageNames, (std::vector<std::string>{"主页", "P2"}));
  EXPECT_EQ(project.homePage, "主页");
  EXPECT_FALSE(project.modified);

  // The pages item names no page, even when a page has its text.
  project.open = true;
  project.pageNames.push_back("页面");
  tree_->OnPageCommand(CViewTree::ID_DELETE_PAGE, tree_->GetPagesItem());
  tree_->OnPageCommand(CViewTree::ID_SET_HOME_PAGE, tree_->GetPagesItem());
  EXPECT_EQ(project.pageNames, (std::vector<std::string>{"主页", "P2", "页面"}));
  EXPECT_EQ(project.homePage, "主页");
}

// ---- double clicks ----

class RecordingAlarmCfg : public AlarmCfgDialog {
 public:
  void Run(ParentWindow* parent) override { parents.push_back(parent); }
  std::vector<ParentWindow*> parents;
};
class RecordingVarEvents : public VarEventDialog {
 public:
  void Run(ParentWindow* parent) override { parents.push_back(parent); }
  std::vector<ParentWindow*> parents;
};

TEST_F(ProjectTree, DoubleClicksOpenThePageOrTheDialogOfTheItem) {
  AnnounceOpened();
  RecordingAlarmCfg alarms;
  RecordingVarEvents events;
  AlarmCfgDialog::Install(&alarms);
  VarEventDialog::Install(&events);
  // What the window system sends: a click, then the double click and its
  // release.
  const auto doubleClick = [this](QTreeWidgetItem* item) {
    QWidget* viewport = tree_->viewport();
    const QPoint at = tree_->visualItemRect(item).center();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, at);
    QMouseEvent twice(QEvent::MouseButtonDblClick, QPointF(at), viewport->mapToGlobal(QPointF(at)),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &twice);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at);
  };
  ParentWindow* parent = QtMessageBoxService::ToParentWindow(tree_);

  doubleClick(Item({"页面", "P2"}));
  EXPECT_EQ(heard_.events, std::vector<std::string>{"activate:P2"});
  doubleClick(tree_->GetAlarmCfgItem());
  EXPECT_EQ(alarms.parents, std::vector<ParentWindow*>{parent});
  doubleClick(tree_->GetEventsItem());
  EXPECT_EQ(events.parents, std::vector<ParentWindow*>{parent});
  // The pages item names no page.
  doubleClick(tree_->GetPagesItem());
  EXPECT_EQ(heard_.events, std::vector<std::string>{"activate:P2"});

  // "权限配置" opens the users dialog over the tree, modally.
  std::string usersCaption;
  QWidget* usersParent = nullptr;
  OnModal([&](QWidget* modal) {
    usersCaption = modal->windowTitle().toStdString();
    usersParent = modal->parentWidget();
    EXPECT_NE(dynamic_cast<CDlgUsers*>(modal), nullptr);
  });
  doubleClick(tree_->GetUsersItem());
  EXPECT_EQ(usersCaption, "用户管理");
  EXPECT_EQ(usersParent, tree_);
  EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

  // Other items open nothing; the control still expands and collapses.
  auto modals = CountModals();
  for (QTreeWidgetItem* item : {Rtu1(), Plc1()->child(1)}) {
    doubleClick(item);
  }
  QTreeWidgetItem* channels = Item({"通讯连接"});
  ASSERT_TRUE(channels->isExpanded());
  doubleClick(channels);
  EXPECT_FALSE(channels->isExpanded());
  EXPECT_EQ(alarms.parents.size(), 1u);
  EXPECT_EQ(events.parents.size(), 1u);
  EXPECT_EQ(heard_.events.size(), 1u);
  EXPECT_TRUE(ui_.calls.empty());

  // Nothing selected: nothing.
  tree_->clearSelection();
  tree_->OnDblClk();
  EXPECT_EQ(alarms.parents.size(), 1u);

  // Without the dialogs installed a double click does nothing.
  AlarmCfgDialog::Install(nullptr);
  VarEventDialog::Install(nullptr);
  doubleClick(tree_->GetAlarmCfgItem());
  doubleClick(tree_->GetEventsItem());
  EXPECT_EQ(*modals, 0);
  EXPECT_TRUE(ui_.calls.empty());
}

}  // namespace
}  // namespace NsOvrin::Testing
