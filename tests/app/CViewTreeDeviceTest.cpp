#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "ProjectTreeFixture.h"
#include "comm_server/SerialParams.h"
#include "dialogs/CDlgDataBlock.h"
#include "dialogs/CDlgENetDev.h"
#include "dialogs/CDlgRs232Dev.h"
#include "dialogs/CDlgRs232Param.h"
#include "dialogs/CDlgSiDataBlock.h"
#include "wui/IpAddressCtrl.h"

namespace NsOvrin::Testing {
namespace {

using NsDevDefine::ENetDevParam;
using NsDevDefine::RsDevParam;
using NsWui::DlgItem;

// The device commands on an opened project.
class DeviceCommands : public ProjectTreeFixture {
 protected:
  void SetUp() override {
    ProjectTreeFixture::SetUp();
    AnnounceOpened();
    ASSERT_EQ(ui_.calls.size(), 0u);
  }

  static void Click(QWidget* modal, int id) {
    auto* button = DlgItem<QPushButton>(modal, id);
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
  }
  static void SetText(QWidget* modal, int id, const char* text) {
    auto* edit = DlgItem<QLineEdit>(modal, id);
    ASSERT_NE(edit, nullptr) << id;
    edit->setText(QString::fromUtf8(text));
  }
  static std::string TextOf(QWidget* modal, int id) {
    auto* edit = DlgItem<QLineEdit>(modal, id);
    return edit != nullptr ? edit->text().toStdString() : "<missing>";
  }

  // The serial device dialog filled and confirmed.
  void ConfirmSerialDevice(const char* name, uint32_t model, const char* station,
                           std::string* title = nullptr) {
    OnModal([=](QWidget* modal) {
      auto* dialog = dynamic_cast<CDlgRs232Dev*>(modal);
      ASSERT_NE(dialog, nullptr);
      if (title != nullptr) *title = modal->windowTitle().toStdString();
      SetText(modal, CDlgRs232Dev::IDC_NAME, name);
      dialog->model = model;
      SetText(modal, CDlgRs232Dev::IDC_STATION, station);
      Click(modal, CDlgRs232Dev::IDC_OK);
    });
  }

  static RsDevParam RsParamOf(const std::string& name) {
    const auto node = FindShared(name);
    const auto* param = node ? std::any_cast<RsDevParam>(&node->GetDeviceParams()) : nullptr;
    return param != nullptr ? *param : RsDevParam{};
  }
  static ENetDevParam ENetParamOf(const std::string& name) {
    const auto node = FindShared(name);
    const auto* param = node ? std::any_cast<ENetDevParam>(&node->GetDeviceParams()) : nullptr;
    return param != nullptr ? *param : ENetDevParam{};
  }
  static std::vector<std::string> TaskNames(const std::string& node) {
    std::vector<std::string> names;
    if (const auto shared = FindShared(node))
      for (const auto& task : shared->GetTasks()) names.push_back(task->GetName());
    return names;
  }

  bool Modified() const { return QlEProject::Instance().modified; }
};

// ---- adding ----

TEST_F(DeviceCommands, ASerialChannelTakesOneDeviceOnly) {
  auto modals = CountModals();
  ASSERT_TRUE(RightClick(Serial1(), CViewTree::ID_ADD_DEVICE).has_value());
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"串口只能连接一个设备."});
  ASSERT_TRUE(RightClick(Rtu1(), CViewTree::ID_ADD_DEVICE).has_value());
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"串口只能连接一个设备."});
  EXPECT_EQ(*modals, 0) << "no dialog opens";
  EXPECT_EQ(ChildTexts(Serial1()), std::vector<std::string>{"RTU1 (modbus.RTU)"});
  EXPECT_TRUE(heard_.events.empty());
  EXPECT_FALSE(Modified());
}

TEST_F(DeviceCommands, AddingASerialDeviceListsItAndMarksTheProject) {
  std::string title;
  ConfirmSerialDevice("RTU2", NsTermination::kModelModbusRtu, "3", &title);
  ASSERT_TRUE(RightClick(Serial2(), CViewTree::ID_ADD_DEVICE).has_value());
  EXPECT_EQ(title, "添加串口设备");
  EXPECT_EQ(ChildTexts(Serial2()), std::vector<std::string>{"RTU2 (modbus.RTU)"});
  EXPECT_TRUE(Serial2()->isExpanded());
  EXPECT_EQ(RsParamOf("RTU2").stationNo, 3);
  EXPECT_TRUE(tree_->NodeOf(Serial2()->child(0)).SameObject(FindShared("RTU2")->GetHandle()));
  EXPECT_TRUE(Modified());
  EXPECT_EQ(heard_.events, std::vector<std::string>{"nodedb"});
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(DeviceCommands, AnAddTheDatabaseRefusesIsStillAnnouncedButChangesNothing) {
  // A model the serial channels have no node for.
  ConfirmSerialDevice("FX3", NsTermination::kModelMitsFx3u, "1");
  ASSERT_TRUE(RightClick(Serial2(), CViewTree::ID_ADD_DEVICE).has_value());
  EXPECT_EQ(Serial2()->childCount(), 0);
  EXPECT_FALSE(Modified());
  EXPECT_EQ(heard_.events, std::vector<std::string>{"nodedb"});
  EXPECT_TRUE(ui_.calls.empty()) << "the refusal is silent";
}

TEST_F(DeviceCommands, ACancelledAddChangesAndAnnouncesNothing) {
  OnModal([](QWidget* modal) { Click(modal, CDlgRs232Dev::IDC_CANCEL); });
  ASSERT_TRUE(RightClick(Serial2(), CViewTree::ID_ADD_DEVICE).has_value());
  OnModal([](QWidget* modal) { Click(modal, CDlgENetDev::IDC_CANCEL); });
  ASSERT_TRUE(RightClick(Ethernet(), CViewTree::ID_ADD_DEVICE).has_value());
  EXPECT_EQ(Serial2()->childCount(), 0);
  EXPECT_EQ(ChildTexts(Ethernet()), std::vector<std::string>{"PLC1 (modbus.Tcp)"});
  EXPECT_FALSE(Modified());
  EXPECT_TRUE(heard_.events.empty());
}

TEST_F(DeviceCommands, AChannelThatVanishesDuringTheDialogIsReported) {
  OnModal([this](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgRs232Dev*>(modal);
    ASSERT_NE(dialog, nullptr);
    SetText(modal, CDlgRs232Dev::IDC_NAME, "RTU2");
    dialog->model = NsTermination::kModelModbusRtu;
    serial2_.reset();
    Db().Reset();
    Click(modal, CDlgRs232Dev::IDC_OK);
  });
  tree_->AddSerialDevice(Serial2());
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"异常数据."});
  EXPECT_FALSE(Modified());
  EXPECT_TRUE(heard_.events.empty());
}

TEST_F(DeviceCommands, EthernetChannelsTakeAnyNumberOfDevices) {
  std::string title;
  OnModal([&title](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgENetDev*>(modal);
    ASSERT_NE(dialog, nullptr);
    title = modal->windowTitle().toStdString();
    // The add mode's defaults.
    EXPECT_EQ(TextOf(modal, CDlgENetDev::IDC_NAME), "");
    EXPECT_EQ(dialog->model, NsTermination::kModelNone);
    EXPECT_EQ(TextOf(modal, CDlgENetDev::IDC_STATION), "1");
    EXPECT_EQ(TextOf(modal, CDlgENetDev::IDC_RESEND), "2");
    EXPECT_EQ(TextOf(modal, CDlgENetDev::IDC_CONN_TIMEOUT), "6000");
    EXPECT_EQ(TextOf(modal, CDlgENetDev::IDC_COMM_TIMEOUT), "2000");
    SetText(modal, CDlgENetDev::IDC_NAME, "PLC2");
    dialog->model = NsTermination::kModelModbusTcp;
    dialog->ipAddrCtrl->SetAddress(0xC0A80001);
    SetText(modal, CDlgENetDev::IDC_PORT, "502");
    Click(modal, CDlgENetDev::IDC_OK);
  });
  // From the device item: the device goes to its channel.
  ASSERT_TRUE(RightClick(Plc1(), CViewTree::ID_ADD_DEVICE).has_value());
  EXPECT_EQ(title, "添加以太网设备");
  EXPECT_EQ(ChildTexts(Ethernet()),
            (std::vector<std::string>{"PLC1 (modbus.Tcp)", "PLC2 (modbus.Tcp)"}));
  EXPECT_EQ(ChildTexts(Plc1()).size(), 3u) << "the other device keeps its blocks";
  const ENetDevParam added = ENetParamOf("PLC2");
  EXPECT_EQ(added.ipAddr, htonl(0xC0A80001));
  EXPECT_EQ(added.port, 502u);
  EXPECT_TRUE(Modified());
  EXPECT_EQ(heard_.events, std::vector<std::string>{"nodedb"});
}

// ---- deleting ----

TEST_F(DeviceCommands, DeletingAsksFirstAndNoKeepsTheDevice) {
  ui_.PushAnswer(NsWui::IDNO);
  ASSERT_TRUE(RightClick(Plc1(), CViewTree::ID_DELETE_DEVICE).has_value());
  const auto boxes = Boxes();
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "确定要删除此节点吗?");
  EXPECT_EQ(boxes[0].caption, "提示");
  EXPECT_EQ(boxes[0].type, NsWui::MB_YESNO | NsWui::MB_ICONWARNING | CViewTree::MB_DEFBUTTON2);
  EXPECT_EQ(boxes[0].widget, tree_);
  EXPECT_NE(FindShared("PLC1"), nullptr);
  EXPECT_EQ(Dump().size(), 20u);
  EXPECT_FALSE(Modified());
  EXPECT_TRUE(heard_.events.empty());

  ui_.calls.clear();
  ui_.PushAnswer(NsWui::IDYES);
  plc_.reset();
  ASSERT_TRUE(RightClick(Plc1(), CViewTree::ID_DELETE_DEVICE).has_value());
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"确定要删除此节点吗?"});
  EXPECT_EQ(FindShared("PLC1"), nullptr);
  EXPECT_EQ(Ethernet()->childCount(), 0);
  EXPECT_TRUE(Modified());
  EXPECT_EQ(heard_.events, std::vector<std::string>{"nodedb"});
}

TEST_F(DeviceCommands, ADeviceTheDatabaseDroppedIsReported) {
  QTreeWidgetItem* rtu = Rtu1();
  serial1_->RemoveNode(FindShared("RTU1").get());
  ASSERT_EQ(FindShared("RTU1"), nullptr);

  ui_.PushAnswer(NsWui::IDYES);
  ASSERT_TRUE(RightClick(rtu, CViewTree::ID_DELETE_DEVICE).has_value());
  EXPECT_EQ(TakeBoxes(), (std::vector<std::string>{"确定要删除此节点吗?", "异常Node数据."}));
  auto modals = CountModals();
  ASSERT_TRUE(RightClick(rtu, CViewTree::ID_EDIT_DEVICE).has_value());
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"异常Node数据."});
  ASSERT_TRUE(RightClick(rtu, CViewTree::ID_EDIT_BLOCKS).has_value());
  EXPECT_TRUE(TakeBoxes().empty());
  EXPECT_EQ(*modals, 0);
  EXPECT_EQ(ChildTexts(Serial1()), std::vector<std::string>{"RTU1 (modbus.RTU)"});
  EXPECT_FALSE(Modified());
  EXPECT_TRUE(heard_.events.empty());

  // Deleting asks before it looks at the item; only device items go.
  ui_.PushAnswer(NsWui::IDYES);
  tree_->DeleteDevice(Serial1());
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"确定要删除此节点吗?"});
  EXPECT_TRUE(heard_.events.empty());
}

// ---- editing ----

TEST_F(DeviceCommands, EditingASerialDeviceKeepsItsBlocksWhileTheModelStays) {
  std::string title;
  std::string shownName;
  std::string shownStation;
  OnModal([&](QWidget* modal) {
    title = modal->windowTitle().toStdString();
    shownName = TextOf(modal, CDlgRs232Dev::IDC_NAME);
    shownStation = TextOf(modal, CDlgRs232Dev::IDC_STATION);
    SetText(modal, CDlgRs232Dev::IDC_NAME, "RTU9");
    SetText(modal, CDlgRs232Dev::IDC_STATION, "7");
    Click(modal, CDlgRs232Dev::IDC_OK);
  });
  ASSERT_TRUE(RightClick(Rtu1(), CViewTree::ID_EDIT_DEVICE).has_value());
  EXPECT_EQ(title, "编辑串口设备属性");
  EXPECT_EQ(shownName, "RTU1");
  EXPECT_EQ(shownStation, "5");
  EXPECT_EQ(FindShared("RTU1"), nullptr);
  EXPECT_EQ(RsParamOf("RTU9").stationNo, 7);
  EXPECT_EQ(TaskNames("RTU9"), std::vector<std::string>{"rtu words"});
  EXPECT_EQ(ChildTexts(Serial1()), std::vector<std::string>{"RTU9 (modbus.RTU)"});
  EXPECT_EQ(ChildTexts(Item({"通讯连接", "串口1", "RTU9 (modbus.RTU)"})),
            std::vector<std::string>{"4x[00000~00009]"});
  EXPECT_TRUE(Modified());
  EXPECT_EQ(heard_.events, std::vector<std::string>{"nodedb"});

  // Another model starts without blocks.
  heard_.events.clear();
  OnModal([](QWidget* modal) {
    dynamic_cast<CDlgRs232Dev*>(modal)->model = NsTermination::kModelMitsFx;
    Click(modal, CDlgRs232Dev::IDC_OK);
  });
  ASSERT_TRUE(RightClick(Serial1()->child(0), CViewTree::ID_EDIT_DEVICE).has_value());
  EXPECT_TRUE(TaskNames("RTU9").empty());
  EXPECT_EQ(ChildTexts(Serial1()), std::vector<std::string>{"RTU9 (mitsubishi.FX)"});
  EXPECT_EQ(Serial1()->child(0)->childCount(), 0);
  EXPECT_EQ(heard_.events, std::vector<std::string>{"nodedb"});
}

TEST_F(DeviceCommands, EditingAnEthernetDeviceKeepsItsBlocksWhileTheModelStays) {
  std::string title;
  std::string shownPort;
  OnModal([&](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgENetDev*>(modal);
    ASSERT_NE(dialog, nullptr);
    title = modal->windowTitle().toStdString();
    shownPort = TextOf(modal, CDlgENetDev::IDC_PORT);
    dialog->ipAddrCtrl->SetAddress(0xC0A80064);
    Click(modal, CDlgENetDev::IDC_OK);
  });
  ASSERT_TRUE(RightClick(Plc1(), CViewTree::ID_EDIT_DEVICE).has_value());
  EXPECT_EQ(title, "编辑以太网设备属性");
  EXPECT_EQ(shownPort, "502");
  const auto replacing = FindShared("PLC1");
  ASSERT_NE(replacing, plc_);
  EXPECT_EQ(ENetParamOf("PLC1").ipAddr, htonl(0xC0A80064));
  EXPECT_EQ(TaskNames("PLC1"), (std::vector<std::string>{"words", "coils", "inputs"}));
  EXPECT_EQ(ChildTexts(Plc1()), (std::vector<std::string>{"0x[00000~00015]", "3x[00000~00009]",
                                                          "4x[00100~00109]"}));
  EXPECT_TRUE(tree_->NodeOf(Plc1()).SameObject(replacing->GetHandle()));
  EXPECT_TRUE(Modified());
  EXPECT_EQ(heard_.events, std::vector<std::string>{"nodedb"});

  heard_.events.clear();
  OnModal([](QWidget* modal) {
    dynamic_cast<CDlgENetDev*>(modal)->model = NsTermination::kModelH5u;
    Click(modal, CDlgENetDev::IDC_OK);
  });
  ASSERT_TRUE(RightClick(Plc1(), CViewTree::ID_EDIT_DEVICE).has_value());
  EXPECT_TRUE(TaskNames("PLC1").empty());
  EXPECT_EQ(ChildTexts(Ethernet()), std::vector<std::string>{"PLC1 (inovance.H5U)"});
  EXPECT_EQ(Ethernet()->child(0)->childCount(), 0);
  EXPECT_EQ(heard_.events, std::vector<std::string>{"nodedb"});
}

TEST_F(DeviceCommands, AFailedEthernetEditIsNotAnnounced) {
  // A model the Ethernet channels have no node for.
  OnModal([](QWidget* modal) {
    dynamic_cast<CDlgENetDev*>(modal)->model = NsTermination::kModelS7200Smart;
    Click(modal, CDlgENetDev::IDC_OK);
  });
  ASSERT_TRUE(RightClick(Plc1(), CViewTree::ID_EDIT_DEVICE).has_value());
  EXPECT_EQ(FindShared("PLC1"), plc_);
  EXPECT_EQ(ChildTexts(Plc1()).size(), 3u);
  EXPECT_FALSE(Modified());
  EXPECT_TRUE(heard_.events.empty());
  EXPECT_TRUE(ui_.calls.empty());
}

// ---- serial parameters ----

class SerialParameters : public DeviceCommands {
 protected:
  void ChooseBaud(uint32_t flag, int button) {
    OnModal([=](QWidget* modal) {
      auto* baud = DlgItem<QComboBox>(modal, CDlgRs232Param::IDC_BAUD);
      ASSERT_NE(baud, nullptr);
      EXPECT_EQ(baud->currentData().toUInt(), NsCommServer::kBaud9600);
      baud->setCurrentIndex(baud->findData(QVariant(flag)));
      Click(modal, button);
    });
  }

  std::vector<int> requests_;
};

TEST_F(SerialParameters, OkWritesTheChannelsLineAndRestartsAnOnlineMode) {
  tree_->onlineModeRequest = [this](int w) { requests_.push_back(w); };
  NodeDbListener::NotifyRunMode(true);
  heard_.events.clear();
  ChooseBaud(NsCommServer::kBaud19200, CDlgRs232Param::IDC_OK);
  ASSERT_TRUE(RightClick(Serial1(), CViewTree::ID_LINE_PARAMS).has_value());
  EXPECT_EQ(serial1_->GetSettings().baud, NsCommServer::kBaud19200);
  EXPECT_EQ(serial1_->GetSettings().port, 1u);
  EXPECT_EQ(serial1_->GetParamText(), "com:1;param:19200,e,7,1;");
  EXPECT_EQ(requests_, (std::vector<int>{0, 1}));
  EXPECT_TRUE(Modified());
  EXPECT_TRUE(heard_.events.empty());
}

TEST_F(SerialParameters, OfflineOrWithoutAFrameNothingIsRestarted) {
  tree_->onlineModeRequest = [this](int w) { requests_.push_back(w); };
  ChooseBaud(NsCommServer::kBaud4800, CDlgRs232Param::IDC_OK);
  ASSERT_TRUE(RightClick(Serial2(), CViewTree::ID_LINE_PARAMS).has_value());
  EXPECT_EQ(serial2_->GetSettings().baud, NsCommServer::kBaud4800);
  EXPECT_TRUE(requests_.empty());
  EXPECT_TRUE(Modified());

  tree_->onlineModeRequest = nullptr;
  OnlineFlag = true;
  ChooseBaud(NsCommServer::kBaud115200, CDlgRs232Param::IDC_OK);
  ASSERT_TRUE(RightClick(Serial1(), CViewTree::ID_LINE_PARAMS).has_value());
  EXPECT_EQ(serial1_->GetSettings().baud, NsCommServer::kBaud115200);
}

TEST_F(SerialParameters, CancelKeepsTheLine) {
  tree_->onlineModeRequest = [this](int w) { requests_.push_back(w); };
  OnlineFlag = true;
  ChooseBaud(NsCommServer::kBaud38400, CDlgRs232Param::IDC_CANCEL);
  ASSERT_TRUE(RightClick(Serial1(), CViewTree::ID_LINE_PARAMS).has_value());
  EXPECT_EQ(serial1_->GetSettings().baud, NsCommServer::kBaud9600);
  EXPECT_TRUE(requests_.empty());
  EXPECT_FALSE(Modified());
}

TEST_F(SerialParameters, TheEthernetEntryHasNoActionAndAnEmptyChannelIsReported) {
  auto modals = CountModals();
  ASSERT_TRUE(RightClick(Ethernet(), CViewTree::ID_LINE_PARAMS).has_value());
  EXPECT_EQ(*modals, 0);
  EXPECT_TRUE(ui_.calls.empty());

  tree_->EditSerialParams(tree_->GetPagesItem());
  EXPECT_EQ(TakeBoxes(), std::vector<std::string>{"异常Channel数据."});
  EXPECT_EQ(*modals, 0);
  EXPECT_FALSE(Modified());
}

// ---- data blocks ----

TEST_F(DeviceCommands, TheDataBlockEditorWorksOnTheDeviceAndTheTreeFollowsIt) {
  bool sameNode = false;
  OnModal([&](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgDataBlock*>(modal);
    ASSERT_NE(dialog, nullptr);
    sameNode = dialog->node.SameObject(plc_->GetHandle());
    OnModal([](QWidget* inner) {
      SetText(inner, CDlgSiDataBlock::IDC_START, "4x200");
      SetText(inner, CDlgSiDataBlock::IDC_LENGTH, "2");
      SetText(inner, CDlgSiDataBlock::IDC_INTERVAL, "100");
      Click(inner, CDlgSiDataBlock::IDC_OK);
    });
    Click(modal, CDlgDataBlock::IDC_ADD);
  });
  ASSERT_TRUE(RightClick(Plc1(), CViewTree::ID_EDIT_BLOCKS).has_value());
  EXPECT_TRUE(sameNode);
  EXPECT_EQ(ChildTexts(Plc1()), (std::vector<std::string>{"0x[00000~00015]", "3x[00000~00009]",
                                                          "4x[00100~00109]", "4x[00200~00201]"}));
  EXPECT_EQ(heard_.events, std::vector<std::string>{"blocks"});
  EXPECT_TRUE(Modified());
}

}  // namespace
}  // namespace NsOvrin::Testing
