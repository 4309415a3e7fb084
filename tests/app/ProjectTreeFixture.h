#pragma once
// The project pane over a known project, headless: an open project with the
// pages "主页" (home) and "P2" in a temporary folder; a node database with
// the serial channels "串口1" (device RTU1, block 4x0-4x9) and "串口2"
// (empty) and the Ethernet channel "网口1" (device PLC1 with three blocks);
// scripted user-interface services; recorders registered after the tree;
// and scripted answers to the modal dialogs and popup menus the tree opens.
// Nothing is started, so no polling thread runs.
#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CFileView.h"
#include "app/CViewTree.h"
#include "app/QtMessageBoxService.h"
#include "project/ListenerRegistry.h"
#include "project/NodeDbListener.h"
#include "project/PageListener.h"
#include "project/ProjectListener.h"
#include "project/QlEProject.h"
#include "project_persistence/TempFolder.h"
#include "support/ScriptedUiServices.h"
#include "termination/NodeDbFixture.h"
#include "ui_services/MessageBoxService.h"
#include "wui/DlgItem.h"

namespace NsOvrin::Testing {

using NsTermination::Channel;
using NsTermination::ChannelEthernet;
using NsTermination::ChannelSerialPort;
using NsTermination::Node;
using NsWui::UiCall;

// What the listeners registered after the tree heard, one word each.
class HeardLog : public PageListener, public NodeDbListener {
 public:
  void OnPageAdded(const std::string& name) override { events.push_back("added:" + name); }
  void OnActivatePage(const std::string& name) override { events.push_back("activate:" + name); }
  void OnPageDeleting(const std::string& name) override { events.push_back("deleting:" + name); }
  void OnPageDeleted(const std::string& name) override { events.push_back("deleted:" + name); }
  void OnPageRenamed(const std::string& o, const std::string& n) override {
    events.push_back("renamed:" + o + ">" + n);
  }
  void OnPageChanged(const std::string& name, const PageProperties&) override {
    events.push_back("changed:" + name);
  }
  void OnBlocksChanged(const OneWayWrapper<Node>&) override { events.push_back("blocks"); }
  void OnNodeDbChanged() override { events.push_back("nodedb"); }
  void OnRunModeChanged(bool online) override { events.push_back(online ? "online" : "offline"); }

  std::vector<std::string> events;
};

// One item of a menu as it was shown.
struct MenuItemSeen {
  std::string text;
  int id = 0;
  bool enabled = false;
  bool operator==(const MenuItemSeen&) const = default;
};
struct MenuSeen {
  std::string title;
  std::vector<MenuItemSeen> items;  // separators as id 0, empty text
};

class ProjectTreeFixture : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    OnlineFlag = false;
    QlEProject& project = QlEProject::Instance();
    project.Reset(folder_.Path());
    project.open = true;
    project.pageNames = {"主页", "P2"};
    project.homePage = "主页";
    MessageBoxService::Install(&boxes_);

    serial1_ = AddSerial("S1", "串口1");
    serial2_ = AddSerial("S2", "串口2");
    ethernet_ = AddEthernet("E0");
    ethernet_->SetDescription("网口1");
    NsDevDefine::RsDevParam rtu;
    rtu.name = "RTU1";
    rtu.deviceId = NsTermination::kModelModbusRtu;
    rtu.stationNo = 5;
    ASSERT_TRUE(NsTermination::AddRsDev(serial1_->GetHandle(), rtu));
    AddBlock(*FindShared("RTU1"), "4x[0~9]", "rtu words");
    plc_ = AddTcpNode(ethernet_, "PLC1", 502);
    ASSERT_NE(plc_, nullptr);
    // Added out of order: the tree sorts them.
    AddBlock(*plc_, "4x[100~109]", "words");
    AddBlock(*plc_, "0x[0~15]", "coils");
    AddBlock(*plc_, "3x[0~9]", "inputs");

    pane_ = std::make_unique<CFileView>();
    pane_->resize(320, 600);
    pane_->show();
    tree_ = pane_->GetTree();
    PageListener::Register(&heard_);
    NodeDbListener::Register(&heard_);
  }

  void TearDown() override {
    timers_.reset();
    std::erase(PageListener::GetRegistry(), static_cast<PageListener*>(&heard_));
    std::erase(NodeDbListener::GetRegistry(), static_cast<NodeDbListener*>(&heard_));
    pane_.reset();
    MessageBoxService::Install(nullptr);
    QlEProject::Instance().Reset("");
    OnlineFlag = false;
    plc_.reset();
    NodeDbFixture::TearDown();
  }

  static std::shared_ptr<ChannelSerialPort> AddSerial(const std::string& name,
                                                      const std::string& description) {
    auto channel = std::make_shared<ChannelSerialPort>(name, NsCommServer::SerialParams{});
    channel->SetDescription(description);
    EXPECT_TRUE(Db().AddChannel(channel));
    return channel;
  }

  // Every project listener hears that the project was opened.
  static void AnnounceOpened() {
    NotifyListeners(ProjectListener::GetRegistry(),
                    [](ProjectListener* l) { l->OnProjectOpened(); });
  }

  // The tree as text: two spaces per level, "*" after bold items, "+" after
  // expanded items that have children.
  std::vector<std::string> Dump() const {
    std::vector<std::string> lines;
    std::function<void(QTreeWidgetItem*, int)> walk = [&](QTreeWidgetItem* item, int depth) {
      std::string line(static_cast<std::size_t>(depth) * 2, ' ');
      line += item->text(0).toStdString();
      if (item->font(0).bold()) line += " *";
      if (item->isExpanded() && item->childCount() > 0) line += " +";
      lines.push_back(line);
      for (int i = 0; i < item->childCount(); ++i) walk(item->child(i), depth + 1);
    };
    for (int i = 0; i < tree_->topLevelItemCount(); ++i) walk(tree_->topLevelItem(i), 0);
    return lines;
  }

  // The item reached from "工程" through the texts; null when missing.
  QTreeWidgetItem* Item(const std::vector<std::string>& path) const {
    QTreeWidgetItem* item = tree_->GetProjectItem();
    for (const std::string& text : path) {
      if (item == nullptr) return nullptr;
      QTreeWidgetItem* next = nullptr;
      for (int i = 0; i < item->childCount(); ++i) {
        if (item->child(i)->text(0).toStdString() == text) {
          next = item->child(i);
          break;
        }
      }
      item = next;
    }
    return item;
  }
  QTreeWidgetItem* Serial1() const { return Item({"通讯连接", "串口1"}); }
  QTreeWidgetItem* Serial2() const { return Item({"通讯连接", "串口2"}); }
  QTreeWidgetItem* Ethernet() const { return Item({"通讯连接", "网口1"}); }
  QTreeWidgetItem* Rtu1() const { return Item({"通讯连接", "串口1", "RTU1 (modbus.RTU)"}); }
  QTreeWidgetItem* Plc1() const { return Item({"通讯连接", "网口1", "PLC1 (modbus.Tcp)"}); }
  std::vector<std::string> ChildTexts(const QTreeWidgetItem* item) const {
    std::vector<std::string> texts;
    if (item == nullptr) return {"<missing>"};
    for (int i = 0; i < item->childCount(); ++i) texts.push_back(item->child(i)->text(0).toStdString());
    return texts;
  }

  // Runs action on the next modal window; one the action leaves open is
  // rejected. The watch ends with the test at the latest.
  void OnModal(std::function<void(QWidget*)> action) {
    auto* timer = new QTimer(Timers());
    QObject::connect(timer, &QTimer::timeout, [timer, action] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr) return;
      timer->stop();
      timer->deleteLater();
      action(modal);
      if (modal->isVisible()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
      }
    });
    timer->start(10);
  }
  // Counts the modal windows that open from now on, rejecting each.
  std::shared_ptr<int> CountModals() {
    auto count = std::make_shared<int>(0);
    auto* timer = new QTimer(Timers());
    QObject::connect(timer, &QTimer::timeout, [count] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        ++*count;
        dialog->reject();
      }
    });
    timer->start(10);
    return count;
  }

  // A right click on the point of the viewport. The menu that shows is
  // recorded and left with the command id (0: closed without one).
  std::optional<MenuSeen> RightClickAt(const QPoint& point, int choose) {
    auto seen = std::make_shared<std::optional<MenuSeen>>();
    auto* timer = new QTimer(Timers());
    QObject::connect(timer, &QTimer::timeout, [timer, seen, choose] {
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      if (menu == nullptr) return;
      timer->stop();
      timer->deleteLater();
      MenuSeen record;
      record.title = menu->title().toStdString();
      QAction* chosen = nullptr;
      for (QAction* action : menu->actions()) {
        record.items.push_back({action->text().toStdString(),
                                action->isSeparator() ? 0 : action->data().toInt(),
                                action->isEnabled()});
        if (!action->isSeparator() && action->data().toInt() == choose) chosen = action;
      }
      *seen = record;
      if (chosen != nullptr) {
        menu->setActiveAction(chosen);
        QTest::keyClick(menu, Qt::Key_Return);
      } else {
        menu->close();
      }
    });
    timer->start(10);
    QWidget* viewport = tree_->viewport();
    QContextMenuEvent event(QContextMenuEvent::Mouse, point, viewport->mapToGlobal(point));
    const QPointer<QTimer> watch(timer);
    QApplication::sendEvent(viewport, &event);
    if (watch) watch->deleteLater();
    return *seen;
  }
  std::optional<MenuSeen> RightClick(QTreeWidgetItem* item, int choose = 0) {
    EXPECT_NE(item, nullptr);
    if (item == nullptr) return std::nullopt;
    return RightClickAt(tree_->visualItemRect(item).center(), choose);
  }

  std::vector<UiCall> Boxes() const { return ui_.CallsOf(UiCall::Kind::MessageBox); }
  // The texts of the message boxes shown since the last call.
  std::vector<std::string> TakeBoxes() {
    std::vector<std::string> texts;
    for (const UiCall& call : Boxes()) {
      EXPECT_EQ(call.caption, "提示");
      texts.push_back(call.text);
    }
    ui_.calls.clear();
    return texts;
  }

  QObject* Timers() {
    if (!timers_) timers_ = std::make_unique<QObject>();
    return timers_.get();
  }

  TempFolder folder_;
  NsWui::ScriptedUiServices ui_;
  QtMessageBoxService boxes_;
  std::shared_ptr<ChannelSerialPort> serial1_;
  std::shared_ptr<ChannelSerialPort> serial2_;
  std::shared_ptr<ChannelEthernet> ethernet_;
  std::shared_ptr<Node> plc_;
  std::unique_ptr<CFileView> pane_;
  CViewTree* tree_ = nullptr;
  HeardLog heard_;
  std::unique_ptr<QObject> timers_;
};

}  // namespace NsOvrin::Testing
