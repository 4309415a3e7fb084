#include <gtest/gtest.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "DeviceDbFixture.h"
#include "dialogs/CDlgDevList.h"
#include "dialogs/CDlgRs232Dev.h"
#include "wui/DlgItem.h"
#include "wui/ModalDriver.h"

namespace NsOvrin {
namespace {

using namespace NsTermination;
using NsWui::DlgItem;
using NsWui::UiCall;

class Rs232DevTest : public Testing::DeviceDbFixture {
 protected:
  void SetUp() override {
    DeviceDbFixture::SetUp();
    ASSERT_TRUE(AddRtu("PLC1"));
    ASSERT_TRUE(AddRtu("PLC2", kModelMitsFx));
  }

  void Open(std::unique_ptr<CDlgRs232Dev> dlg) {
    dlg_ = std::move(dlg);
    dlg_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg_.get()));
  }
  QLineEdit* Edit(int id) { return DlgItem<QLineEdit>(dlg_.get(), id); }
  QPushButton* Button(int id) { return DlgItem<QPushButton>(dlg_.get(), id); }
  void Fill(const std::string& name, const std::string& station, const std::string& resend) {
    Edit(CDlgRs232Dev::IDC_NAME)->setText(QString::fromStdString(name));
    Edit(CDlgRs232Dev::IDC_STATION)->setText(QString::fromStdString(station));
    Edit(CDlgRs232Dev::IDC_RESEND)->setText(QString::fromStdString(resend));
  }
  void PressOk() { QTest::mouseClick(Button(CDlgRs232Dev::IDC_OK), Qt::LeftButton); }
  bool Accepted() const { return !dlg_->isVisible() && dlg_->result() == QDialog::Accepted; }

  std::unique_ptr<CDlgRs232Dev> dlg_;
};

NsDevDefine::RsDevParam Param(const std::string& name, uint32_t model, uint8_t station,
                              uint16_t resend) {
  NsDevDefine::RsDevParam param;
  param.name = name;
  param.deviceId = model;
  param.stationNo = station;
  param.resendTimes = resend;
  return param;
}

TEST_F(Rs232DevTest, AddModeOpensWithTheDefaults) {
  Open(std::make_unique<CDlgRs232Dev>());
  EXPECT_EQ(dlg_->windowTitle(), QStringLiteral("添加串口设备"));
  EXPECT_EQ(Edit(CDlgRs232Dev::IDC_NAME)->text(), QString());
  EXPECT_EQ(Button(CDlgRs232Dev::IDC_DEVTYPE)->text(), QString());
  EXPECT_EQ(Edit(CDlgRs232Dev::IDC_STATION)->text(), QStringLiteral("1"));
  EXPECT_EQ(Edit(CDlgRs232Dev::IDC_RESEND)->text(), QStringLiteral("2"));
  EXPECT_EQ(dlg_->mode, kDeviceNameNew);
  EXPECT_EQ(dlg_->previousName, "");
}

TEST_F(Rs232DevTest, EditModeOpensWithTheDeviceParameters) {
  Open(std::make_unique<CDlgRs232Dev>(Param("PLC2", kModelMitsFx, 7, 4)));
  EXPECT_EQ(dlg_->windowTitle(), QStringLiteral("编辑串口设备属性"));
  EXPECT_EQ(Edit(CDlgRs232Dev::IDC_NAME)->text(), QStringLiteral("PLC2"));
  EXPECT_EQ(Button(CDlgRs232Dev::IDC_DEVTYPE)->text(), QStringLiteral("mitsubishi.FX"));
  EXPECT_EQ(Edit(CDlgRs232Dev::IDC_STATION)->text(), QStringLiteral("7"));
  EXPECT_EQ(Edit(CDlgRs232Dev::IDC_RESEND)->text(), QStringLiteral("4"));
  EXPECT_EQ(dlg_->mode, kDeviceNameRename);
  EXPECT_EQ(dlg_->previousName, "PLC2");
}

struct Refusal {
  std::string name, station, resend;
  int id;  // the edit the balloon points at
  std::string title, text;
};

TEST_F(Rs232DevTest, EveryRefusalIsABalloonOnItsFieldAndKeepsTheDialogOpen) {
  const std::string rangeError = "[站号] 数据必须在 1 ~ 254 之间.";
  const Refusal cases[] = {
      {"", "1", "2", 1000, "提示", "[设备名称] 输入不能为空！"},
      {"   ", "1", "2", 1000, "提示", "[设备名称] 输入不能为空！"},
      {"PLC1", "1", "2", 1000, "提示", "设备名称已经存在."},
      {" PLC2 ", "1", "2", 1000, "提示", "设备名称已经存在."},
      {"A.B", "1", "2", 1000, "提示", "设备名称不能包含\".\"."},
      {"新设备", "", "2", 1002, "提示", "[站号] 输入不能为空！"},
      {"新设备", "0", "2", 1002, "提示", rangeError},
      {"新设备", "255", "2", 1002, "提示", rangeError},
      {"新设备", "1a", "2", 1002, "提示", "[站号] 请输入无符号类型的数字例如 (0， 100) 等等."},
      {"新设备", "-1", "2", 1002, "提示", "[站号] 请输入无符号类型的数字例如 (0， 100) 等等."},
      {"新设备", "254", "0", 1004, "重发次数不能为空并且不能为0.", "重发次数必须为大于0的数字."},
      {"新设备", "254", "", 1004, "重发次数不能为空并且不能为0.", "重发次数必须为大于0的数字."},
      // 16 bits would keep 0 of 65536 and 1 of 65537: both refused, naming the range.
      {"新设备", "254", "65536", 1004, "提示", "重发次数必须在1到65535之间."},
      {"新设备", "254", "65537", 1004, "提示", "重发次数必须在1到65535之间."},
  };
  Open(std::make_unique<CDlgRs232Dev>());
  dlg_->model = kModelModbusRtu;
  for (const Refusal& c : cases) {
    ui_.calls.clear();
    Fill(c.name, c.station, c.resend);
    PressOk();
    ASSERT_EQ(ui_.calls.size(), 1u) << c.name << "/" << c.station << "/" << c.resend;
    const UiCall& call = ui_.calls[0];
    EXPECT_EQ(call.kind, UiCall::Kind::BalloonTip);
    EXPECT_EQ(call.widget, NsWui::GetDlgItem(dlg_.get(), c.id));
    EXPECT_EQ(call.caption, c.title);
    EXPECT_EQ(call.text, c.text);
    EXPECT_TRUE(dlg_->isVisible());
  }
}

TEST_F(Rs232DevTest, ADeviceWithoutTypeIsRefusedByAMessageBoxAfterItsNameWasStored) {
  Open(std::make_unique<CDlgRs232Dev>());
  Fill("  新设备  ", "3", "2");
  PressOk();
  ASSERT_EQ(ui_.calls.size(), 1u);
  EXPECT_EQ(ui_.calls[0].kind, UiCall::Kind::MessageBox);
  EXPECT_EQ(ui_.calls[0].text, "设备类型不能为空!");
  EXPECT_EQ(ui_.calls[0].caption, "提示");
  EXPECT_EQ(ui_.calls[0].type, NsWui::MB_ICONERROR);
  EXPECT_TRUE(dlg_->isVisible());
  EXPECT_EQ(dlg_->name, "新设备");
}

TEST_F(Rs232DevTest, AcceptedValuesAddTheDevice) {
  Open(std::make_unique<CDlgRs232Dev>());
  dlg_->model = kModelModbusRtu;
  Fill("  新设备 ", "254", "65535");
  PressOk();
  ASSERT_TRUE(ui_.calls.empty()) << ui_.calls[0].text;
  ASSERT_TRUE(Accepted());
  const NsDevDefine::RsDevParam param = dlg_->GetParam();
  EXPECT_EQ(param.name, "新设备");
  EXPECT_EQ(param.deviceId, kModelModbusRtu);
  EXPECT_EQ(param.stationNo, 254);
  EXPECT_EQ(param.resendTimes, 65535);
  ASSERT_TRUE(AddRsDev(serial_->GetHandle(), param));
  const auto node = Shared("新设备");
  ASSERT_TRUE(node);
  const auto* stored = std::any_cast<NsDevDefine::RsDevParam>(&node->GetDeviceParams());
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->stationNo, 254);
}

TEST_F(Rs232DevTest, EditingKeepsOrChangesTheNameButNeverTakesAnother) {
  Open(std::make_unique<CDlgRs232Dev>(Param("PLC1", kModelModbusRtu, 1, 2)));
  Fill("PLC2", "1", "2");
  PressOk();
  ASSERT_EQ(ui_.calls.size(), 1u);
  EXPECT_EQ(ui_.calls[0].widget, Edit(CDlgRs232Dev::IDC_NAME));
  EXPECT_EQ(ui_.calls[0].caption, "提示");
  EXPECT_EQ(ui_.calls[0].text, "新名称已经存在.");

  // Its own name passes.
  ui_.calls.clear();
  Fill("PLC1", "9", "2");
  PressOk();
  EXPECT_TRUE(ui_.calls.empty());
  ASSERT_TRUE(Accepted());

  Open(std::make_unique<CDlgRs232Dev>(Param("PLC1", kModelModbusRtu, 1, 2)));
  Fill("站A", "9", "2");
  PressOk();
  ASSERT_TRUE(Accepted());
  ASSERT_TRUE(ModifyRsDev(serial_->GetHandle(), Db().FindNode("PLC1"), dlg_->GetParam()));
  EXPECT_FALSE(Db().HasNode("PLC1"));
  EXPECT_TRUE(Db().HasNode("站A"));
}

TEST_F(Rs232DevTest, TheTypeButtonOffersTheSerialModelsAndShowsTheProtocolId) {
  Open(std::make_unique<CDlgRs232Dev>());
  std::string offered;
  NsWui::WhenModal([&offered](QWidget* modal) {
    auto* list = dynamic_cast<CDlgDevList*>(modal);
    ASSERT_TRUE(list);
    QTreeWidgetItem* root = list->Root();
    for (int m = 0; m < root->childCount(); ++m)
      for (int i = 0; i < root->child(m)->childCount(); ++i)
        offered += root->child(m)->child(i)->text(0).toStdString() + ";";
    list->Tree()->setCurrentItem(root->child(1)->child(0));
    QTest::mouseClick(DlgItem<QPushButton>(list, CDlgDevList::IDC_OK), Qt::LeftButton);
  });
  QTest::mouseClick(Button(CDlgRs232Dev::IDC_DEVTYPE), Qt::LeftButton);
  EXPECT_EQ(offered, "Modbus-RTU;Fx系列;");
  EXPECT_EQ(dlg_->model, kModelMitsFx);
  EXPECT_EQ(Button(CDlgRs232Dev::IDC_DEVTYPE)->text(), QStringLiteral("mitsubishi.FX"));

  // Cancelled: the type stays.
  NsWui::WhenModal([](QWidget* modal) {
    auto* list = dynamic_cast<CDlgDevList*>(modal);
    ASSERT_TRUE(list);
    EXPECT_EQ(list->Tree()->currentItem(), list->Root()->child(1)->child(0));
    list->Tree()->setCurrentItem(list->Root()->child(0)->child(0));
    QTest::mouseClick(DlgItem<QPushButton>(list, CDlgDevList::IDC_CANCEL), Qt::LeftButton);
  });
  QTest::mouseClick(Button(CDlgRs232Dev::IDC_DEVTYPE), Qt::LeftButton);
  EXPECT_EQ(dlg_->model, kModelMitsFx);
  EXPECT_EQ(Button(CDlgRs232Dev::IDC_DEVTYPE)->text(), QStringLiteral("mitsubishi.FX"));
}

}  // namespace
}  // namespace NsOvrin
