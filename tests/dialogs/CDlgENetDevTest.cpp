#include <arpa/inet.h>
#include <gtest/gtest.h>

#include <cstring>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "DeviceDbFixture.h"
#include "dialogs/CDlgDevList.h"
#include "dialogs/CDlgENetDev.h"
#include "wui/DlgItem.h"
#include "wui/IpAddressCtrl.h"
#include "wui/ModalDriver.h"

namespace NsOvrin {
namespace {

using namespace NsTermination;
using NsWui::DlgItem;
using NsWui::UiCall;

NsDevDefine::ENetDevParam Param(const std::string& name) {
  NsDevDefine::ENetDevParam param;
  param.name = name;
  param.deviceId = kModelH5u;
  param.stationNo = 3;
  param.resendTimes = 5;
  param.ipAddr = inet_addr("192.168.1.10");
  param.port = 8502;
  param.connTimeout = 1500;
  param.recvTimeout = 700;
  return param;
}

// The dotted form of the four fields.
std::string Dotted(const NsWui::IpAddressCtrl& ip) {
  std::string text;
  for (int i = 0; i < 4; ++i) text += (i ? "." : "") + ip.Field(i)->text().toStdString();
  return text;
}

void TypeAddress(NsWui::IpAddressCtrl& ip, const std::string& dotted) {
  ip.ClearAddress();
  int field = 0;
  for (char c : dotted) {
    if (c == '.') {
      ++field;
      continue;
    }
    QTest::keyClick(ip.Field(field), c);
  }
}

class ENetDevTest : public Testing::DeviceDbFixture {
 protected:
  void SetUp() override {
    DeviceDbFixture::SetUp();
    ASSERT_TRUE(AddTcp("PLC1"));
    ASSERT_TRUE(AddTcp("PLC2", kModelH5u));
  }

  void Open(std::unique_ptr<CDlgENetDev> dlg) {
    dlg_ = std::move(dlg);
    dlg_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg_.get()));
  }
  QLineEdit* Edit(int id) { return DlgItem<QLineEdit>(dlg_.get(), id); }
  QPushButton* Button(int id) { return DlgItem<QPushButton>(dlg_.get(), id); }
  NsWui::IpAddressCtrl& Ip() { return *DlgItem<NsWui::IpAddressCtrl>(dlg_.get(), 1027); }
  void SetText(int id, const std::string& text) {
    Edit(id)->setText(QString::fromStdString(text));
  }
  void PressOk() { QTest::mouseClick(Button(CDlgENetDev::IDC_OK), Qt::LeftButton); }
  bool Accepted() const { return !dlg_->isVisible() && dlg_->result() == QDialog::Accepted; }
  // A complete, valid form for a new Modbus TCP device.
  void FillValid() {
    dlg_->model = kModelModbusTcp;
    SetText(CDlgENetDev::IDC_NAME, "新设备");
    SetText(CDlgENetDev::IDC_STATION, "1");
    TypeAddress(Ip(), "10.0.0.2");
    SetText(CDlgENetDev::IDC_PORT, "502");
    SetText(CDlgENetDev::IDC_CONN_TIMEOUT, "6000");
    SetText(CDlgENetDev::IDC_COMM_TIMEOUT, "2000");
    SetText(CDlgENetDev::IDC_RESEND, "2");
  }

  std::unique_ptr<CDlgENetDev> dlg_;
};

TEST_F(ENetDevTest, AddModeOpensWithTheDefaultsAndABlankAddress) {
  Open(std::make_unique<CDlgENetDev>());
  EXPECT_EQ(dlg_->windowTitle(), QStringLiteral("添加以太网设备"));
  EXPECT_EQ(Edit(CDlgENetDev::IDC_NAME)->text(), QString());
  EXPECT_EQ(Button(CDlgENetDev::IDC_DEVTYPE)->text(), QString());
  EXPECT_TRUE(Ip().IsBlank());
  EXPECT_EQ(Dotted(Ip()), "...");
  EXPECT_EQ(Edit(CDlgENetDev::IDC_PORT)->text(), QStringLiteral("0"));
  EXPECT_EQ(Edit(CDlgENetDev::IDC_STATION)->text(), QStringLiteral("1"));
  EXPECT_EQ(Edit(CDlgENetDev::IDC_CONN_TIMEOUT)->text(), QStringLiteral("6000"));
  EXPECT_EQ(Edit(CDlgENetDev::IDC_COMM_TIMEOUT)->text(), QStringLiteral("2000"));
  EXPECT_EQ(Edit(CDlgENetDev::IDC_RESEND)->text(), QStringLiteral("2"));
}

TEST_F(ENetDevTest, EditModeOpensWithAllEightFields) {
  Open(std::make_unique<CDlgENetDev>(Param("PLC2")));
  EXPECT_EQ(dlg_->windowTitle(), QStringLiteral("编辑以太网设备属性"));
  EXPECT_EQ(dlg_->mode, kDeviceNameRename);
  EXPECT_EQ(dlg_->previousName, "PLC2");
  EXPECT_EQ(Edit(CDlgENetDev::IDC_NAME)->text(), QStringLiteral("PLC2"));
  EXPECT_EQ(Button(CDlgENetDev::IDC_DEVTYPE)->text(), QStringLiteral("inovance.H5U"));
  EXPECT_EQ(Dotted(Ip()), "192.168.1.10");
  EXPECT_EQ(Edit(CDlgENetDev::IDC_PORT)->text(), QStringLiteral("8502"));
  EXPECT_EQ(Edit(CDlgENetDev::IDC_STATION)->text(), QStringLiteral("3"));
  EXPECT_EQ(Edit(CDlgENetDev::IDC_CONN_TIMEOUT)->text(), QStringLiteral("1500"));
  EXPECT_EQ(Edit(CDlgENetDev::IDC_COMM_TIMEOUT)->text(), QStringLiteral("700"));
  EXPECT_EQ(Edit(CDlgENetDev::IDC_RESEND)->text(), QStringLiteral("5"));

  // OK unchanged gives the same parameters back.
  PressOk();
  ASSERT_TRUE(ui_.calls.empty()) << ui_.calls[0].text;
  ASSERT_TRUE(Accepted());
  const NsDevDefine::ENetDevParam out = dlg_->GetParam();
  const NsDevDefine::ENetDevParam in = Param("PLC2");
  EXPECT_EQ(out.name, in.name);
  EXPECT_EQ(out.deviceId, in.deviceId);
  EXPECT_EQ(out.stationNo, in.stationNo);
  EXPECT_EQ(out.resendTimes, in.resendTimes);
  EXPECT_EQ(out.ipAddr, in.ipAddr);
  EXPECT_EQ(out.port, in.port);
  EXPECT_EQ(out.connTimeout, in.connTimeout);
  EXPECT_EQ(out.recvTimeout, in.recvTimeout);
}

struct Refusal {
  int field;          // the edit changed from the valid form
  std::string value;  // its text
  std::string title, text;
};

TEST_F(ENetDevTest, EveryFieldRefusalIsABalloonOnThatField) {
  const std::string portTitle = "端口号不能为空并且不能为0.";
  const std::string portText = "端口号必须为大于0的数字.";
  const std::string portRange = "端口号必须在1到65535之间.";
  const std::string timeoutText = "超时时间必须为大于0的数字.";
  const std::string connTitle = "连接超时时间不能为空并且不能为0.";
  const std::string commTitle = "通讯超时时间不能为空并且不能为0.";
  const std::string resendTitle = "重发次数不能为空并且不能为0.";
  const std::string resendText = "重发次数必须为大于0的数字.";
  const std::string timeoutRange = "超时时间必须在1到2147483647之间.";
  const std::string resendRange = "重发次数必须在1到65535之间.";
  const Refusal cases[] = {
      {1000, "", "提示", "[设备名称] 输入不能为空！"},
      {1000, " \t ", "提示", "[设备名称] 输入不能为空！"},
      {1000, "PLC2", "提示", "设备名称已经存在."},
      {1000, "A.B", "提示", "设备名称不能包含\".\"."},
      {1005, "", "提示", "[站号] 输入不能为空！"},
      {1005, "0", "提示", "[站号] 数据必须在 1 ~ 254 之间."},
      {1005, "255", "提示", "[站号] 数据必须在 1 ~ 254 之间."},
      {1002, "0", portTitle, portText},
      {1002, "", portTitle, portText},
      // Beyond 16 bits the device would be reached on another port; the
      // refusal names the range, however long the number.
      {1002, "65536", "提示", portRange},
      {1002, "70000", "提示", portRange},
      {1002, "99999999999", "提示", portRange},
      {1002, "0065536", "提示", portRange},
      {1003, "0", connTitle, timeoutText},
      {1003, "", connTitle, timeoutText},
      {1003, "2147483648", "提示", timeoutRange},
      {1003, "4294967296", "提示", timeoutRange},
      {1001, "0", commTitle, timeoutText},
      {1001, "", commTitle, timeoutText},
      {1001, "99999999999", "提示", timeoutRange},
      {1004, "0", resendTitle, resendText},
      {1004, "65536", "提示", resendRange},
  };
  Open(std::make_unique<CDlgENetDev>());
  for (const Refusal& c : cases) {
    FillValid();
    SetText(c.field, c.value);
    ui_.calls.clear();
    PressOk();
    ASSERT_EQ(ui_.calls.size(), 1u) << c.field << " '" << c.value << "'";
    const UiCall& call = ui_.calls[0];
    EXPECT_EQ(call.kind, UiCall::Kind::BalloonTip);
    EXPECT_EQ(call.widget, NsWui::GetDlgItem(dlg_.get(), c.field)) << c.field;
    EXPECT_EQ(call.caption, c.title) << c.field << " '" << c.value << "'";
    EXPECT_EQ(call.text, c.text) << c.field << " '" << c.value << "'";
    EXPECT_TRUE(dlg_->isVisible());
  }
}

TEST_F(ENetDevTest, NoTypeOrNoAddressIsAMessageBox) {
  Open(std::make_unique<CDlgENetDev>());
  FillValid();
  dlg_->model = kModelNone;
  PressOk();
  FillValid();
  Ip().ClearAddress();
  PressOk();
  ASSERT_EQ(ui_.calls.size(), 2u);
  EXPECT_EQ(ui_.MessageTexts(), (std::vector<std::string>{"设备类型不能为空!", "IP地址不能为空!"}));
  for (const UiCall& call : ui_.calls) {
    EXPECT_EQ(call.caption, "提示");
    EXPECT_EQ(call.type, NsWui::MB_ICONERROR);
  }
  EXPECT_TRUE(dlg_->isVisible());
}

TEST_F(ENetDevTest, TheAddressIsStoredInNetworkOrderAndZerosTypedInFullAreAnAddress) {
  Open(std::make_unique<CDlgENetDev>());
  FillValid();
  TypeAddress(Ip(), "192.168.1.10");
  PressOk();
  ASSERT_TRUE(Accepted());
  uint8_t bytes[4];
  std::memcpy(bytes, &dlg_->ipAddr, 4);
  EXPECT_EQ(bytes[0], 192);
  EXPECT_EQ(bytes[1], 168);
  EXPECT_EQ(bytes[2], 1);
  EXPECT_EQ(bytes[3], 10);

  Open(std::make_unique<CDlgENetDev>());
  FillValid();
  TypeAddress(Ip(), "0.0.0.0");
  PressOk();
  ASSERT_TRUE(ui_.calls.empty());
  ASSERT_TRUE(Accepted());
  EXPECT_EQ(dlg_->ipAddr, 0u);
}

TEST_F(ENetDevTest, AcceptedValuesAddTheDeviceAndEditingRenamesIt) {
  Open(std::make_unique<CDlgENetDev>());
  FillValid();
  SetText(CDlgENetDev::IDC_NAME, "  站B  ");
  SetText(CDlgENetDev::IDC_CONN_TIMEOUT, "2147483647");
  SetText(CDlgENetDev::IDC_PORT, "65535");
  PressOk();
  ASSERT_TRUE(ui_.calls.empty()) << ui_.calls[0].text;
  ASSERT_TRUE(Accepted());
  EXPECT_EQ(dlg_->name, "站B");
  EXPECT_EQ(dlg_->port, 65535u);
  EXPECT_EQ(dlg_->connTimeout, 2147483647u);
  ASSERT_TRUE(AddENetDev(ethernet_->GetHandle(), dlg_->GetParam()));
  ASSERT_TRUE(Db().HasNode("站B"));

  NsDevDefine::ENetDevParam param = dlg_->GetParam();
  Open(std::make_unique<CDlgENetDev>(param));
  SetText(CDlgENetDev::IDC_NAME, "PLC1");
  PressOk();
  ASSERT_EQ(ui_.calls.size(), 1u);
  EXPECT_EQ(ui_.calls[0].text, "新名称已经存在.");
  SetText(CDlgENetDev::IDC_NAME, "站C");
  ui_.calls.clear();
  PressOk();
  ASSERT_TRUE(Accepted());
  std::shared_ptr<Node> replaced;
  ASSERT_TRUE(ModifyENetDev(ethernet_->GetHandle(), Db().FindNode("站B"), dlg_->GetParam(),
                            replaced));
  EXPECT_TRUE(Db().HasNode("站C"));
  EXPECT_FALSE(Db().HasNode("站B"));
}

TEST_F(ENetDevTest, ChoosingATypeSetsItsDefaultPortOverATypedOne) {
  Open(std::make_unique<CDlgENetDev>(Param("PLC2")));
  SetText(CDlgENetDev::IDC_PORT, "8000");
  std::string offered;
  NsWui::WhenModal([&offered](QWidget* modal) {
    auto* list = dynamic_cast<CDlgDevList*>(modal);
    ASSERT_TRUE(list);
    QTreeWidgetItem* root = list->Root();
    for (int m = 0; m < root->childCount(); ++m)
      for (int i = 0; i < root->child(m)->childCount(); ++i)
        offered += root->child(m)->child(i)->text(0).toStdString() + ";";
    // The device's own type is preselected.
    EXPECT_EQ(list->Tree()->currentItem(), root->child(1)->child(0));
    QTest::mouseClick(DlgItem<QPushButton>(list, CDlgDevList::IDC_OK), Qt::LeftButton);
  });
  QTest::mouseClick(Button(CDlgENetDev::IDC_DEVTYPE), Qt::LeftButton);
  EXPECT_EQ(offered, "Modbus-Tcp;H3U/H5U;");
  EXPECT_EQ(dlg_->model, kModelH5u);
  EXPECT_EQ(Button(CDlgENetDev::IDC_DEVTYPE)->text(), QStringLiteral("inovance.H5U"));
  EXPECT_EQ(Edit(CDlgENetDev::IDC_PORT)->text(), QStringLiteral("502"));
  EXPECT_EQ(dlg_->port, 502u);

  // Cancelling the chooser leaves type and port alone.
  SetText(CDlgENetDev::IDC_PORT, "8000");
  NsWui::WhenModal([](QWidget* modal) {
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgDevList::IDC_CANCEL), Qt::LeftButton);
  });
  QTest::mouseClick(Button(CDlgENetDev::IDC_DEVTYPE), Qt::LeftButton);
  EXPECT_EQ(Edit(CDlgENetDev::IDC_PORT)->text(), QStringLiteral("8000"));
  EXPECT_EQ(dlg_->model, kModelH5u);
}

}  // namespace
}  // namespace NsOvrin
