#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "dialogs/CDlgRs232Param.h"
#include "wui/DlgItem.h"
#include "wui/ModalDriver.h"
#include "wui/UiServices.h"

namespace NsOvrin {
namespace {

using namespace NsCommServer;
using NsWui::DlgItem;

using Items = std::vector<std::pair<std::string, uint32_t>>;

Items ItemsOf(const QComboBox& list) {
  Items items;
  for (int i = 0; i < list.count(); ++i) {
    items.emplace_back(list.itemText(i).toStdString(), list.itemData(i).toUInt());
  }
  return items;
}

bool SameSettings(const SerialParams& a, const SerialParams& b) {
  return a.port == b.port && a.baud == b.baud && a.parity == b.parity &&
         a.dataBits == b.dataBits && a.stopBits == b.stopBits;
}

class Rs232ParamTest : public ::testing::Test {
 protected:
  void Open(SerialParams* settings) {
    dlg_ = std::make_unique<CDlgRs232Param>(nullptr, settings);
    dlg_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg_.get()));
  }
  QComboBox* List(int id) { return DlgItem<QComboBox>(dlg_.get(), id); }
  void Press(int id) { QTest::mouseClick(DlgItem<QPushButton>(dlg_.get(), id), Qt::LeftButton); }

  std::unique_ptr<CDlgRs232Param> dlg_;
};

TEST_F(Rs232ParamTest, ListsHoldTheFixedItemsWithTheirFlags) {
  SerialParams settings;
  Open(&settings);
  EXPECT_EQ(dlg_->windowTitle(), QStringLiteral("串口参数"));
  EXPECT_EQ(ItemsOf(*List(CDlgRs232Param::IDC_BAUD)),
            (Items{{"4800", 0x200}, {"9600", 0x800}, {"19200", 0x2000}, {"38400", 0x4000},
                   {"115200", 0x20000}}));
  EXPECT_EQ(ItemsOf(*List(CDlgRs232Param::IDC_PARITY)),
            (Items{{"N (无校验)", 0x100}, {"O (奇校验)", 0x200}, {"E (偶校验)", 0x400},
                   {"M (Mark校验)", 0x800}, {"S (Space校验)", 0x1000}}));
  EXPECT_EQ(ItemsOf(*List(CDlgRs232Param::IDC_DATABITS)),
            (Items{{"5", 1}, {"6", 2}, {"7", 4}, {"8", 8}}));
  EXPECT_EQ(ItemsOf(*List(CDlgRs232Param::IDC_STOPBITS)), (Items{{"1", 1}, {"2", 4}}));
}

TEST_F(Rs232ParamTest, ANewChannelOpensWithItsSettingsAndOkWritesThemBack) {
  SerialParams settings;
  settings.port = 3;
  Open(&settings);
  EXPECT_EQ(List(CDlgRs232Param::IDC_BAUD)->currentText(), QStringLiteral("9600"));
  EXPECT_EQ(List(CDlgRs232Param::IDC_PARITY)->currentText(), QStringLiteral("E (偶校验)"));
  EXPECT_EQ(List(CDlgRs232Param::IDC_DATABITS)->currentText(), QStringLiteral("7"));
  EXPECT_EQ(List(CDlgRs232Param::IDC_STOPBITS)->currentText(), QStringLiteral("1"));
  const SerialParams before = settings;
  Press(CDlgRs232Param::IDC_OK);
  EXPECT_EQ(dlg_->result(), QDialog::Accepted);
  EXPECT_TRUE(SameSettings(settings, before));
}

TEST_F(Rs232ParamTest, OkWritesTheChosenItemsAndNeverThePort) {
  SerialParams settings;
  settings.port = 7;
  Open(&settings);
  List(CDlgRs232Param::IDC_BAUD)->setCurrentIndex(4);
  List(CDlgRs232Param::IDC_PARITY)->setCurrentIndex(3);
  List(CDlgRs232Param::IDC_DATABITS)->setCurrentIndex(3);
  List(CDlgRs232Param::IDC_STOPBITS)->setCurrentIndex(1);
  Press(CDlgRs232Param::IDC_OK);
  EXPECT_EQ(settings.port, 7u);
  EXPECT_EQ(settings.baud, kBaud115200);
  EXPECT_EQ(settings.parity, kParityMark);
  EXPECT_EQ(settings.dataBits, kDataBits8);
  EXPECT_EQ(settings.stopBits, kStopBits2);
}

TEST_F(Rs232ParamTest, CancelLeavesTheSettingsUntouched) {
  SerialParams settings;
  settings.baud = kBaud19200;
  settings.parity = kParitySpace;
  Open(&settings);
  EXPECT_EQ(List(CDlgRs232Param::IDC_BAUD)->currentText(), QStringLiteral("19200"));
  EXPECT_EQ(List(CDlgRs232Param::IDC_PARITY)->currentText(), QStringLiteral("S (Space校验)"));
  const SerialParams before = settings;
  List(CDlgRs232Param::IDC_BAUD)->setCurrentIndex(0);
  List(CDlgRs232Param::IDC_STOPBITS)->setCurrentIndex(1);
  Press(CDlgRs232Param::IDC_CANCEL);
  EXPECT_EQ(dlg_->result(), QDialog::Rejected);
  EXPECT_TRUE(SameSettings(settings, before));
}

TEST_F(Rs232ParamTest, AValueNotOfferedShowsNoSelectionAndOkStoresTheDefault) {
  SerialParams settings;
  settings.baud = 1234;        // not a flag of the list
  settings.dataBits = kDataBits8;
  settings.stopBits = 2;       // a plain number instead of a flag
  Open(&settings);
  EXPECT_EQ(List(CDlgRs232Param::IDC_BAUD)->currentIndex(), -1);
  EXPECT_EQ(List(CDlgRs232Param::IDC_STOPBITS)->currentIndex(), -1);
  Press(CDlgRs232Param::IDC_OK);
  EXPECT_EQ(settings.baud, kBaud9600);
  EXPECT_EQ(settings.parity, kParityEven);
  EXPECT_EQ(settings.dataBits, kDataBits8);
  EXPECT_EQ(settings.stopBits, kStopBits1);
}

TEST_F(Rs232ParamTest, WithoutSettingsNothingIsSelectedOrWritten) {
  Open(nullptr);
  for (int id : {CDlgRs232Param::IDC_BAUD, CDlgRs232Param::IDC_PARITY,
                 CDlgRs232Param::IDC_DATABITS, CDlgRs232Param::IDC_STOPBITS}) {
    EXPECT_EQ(List(id)->currentIndex(), -1) << id;
  }
  Press(CDlgRs232Param::IDC_OK);
  EXPECT_EQ(dlg_->result(), QDialog::Accepted);
}

TEST_F(Rs232ParamTest, DoModalReturnsOkOrCancel) {
  SerialParams settings;
  CDlgRs232Param dlg(nullptr, &settings);
  NsWui::WhenModal([](QWidget* modal) {
    DlgItem<QComboBox>(modal, CDlgRs232Param::IDC_BAUD)->setCurrentIndex(0);
    DlgItem<QPushButton>(modal, CDlgRs232Param::IDC_OK)->click();
  });
  EXPECT_EQ(dlg.DoModal(), NsWui::IDOK);
  EXPECT_EQ(settings.baud, kBaud4800);

  NsWui::WhenModal([](QWidget* modal) {
    DlgItem<QComboBox>(modal, CDlgRs232Param::IDC_BAUD)->setCurrentIndex(4);
    DlgItem<QPushButton>(modal, CDlgRs232Param::IDC_CANCEL)->click();
  });
  EXPECT_EQ(dlg.DoModal(), NsWui::IDCANCEL);
  EXPECT_EQ(settings.baud, kBaud4800);
}

}  // namespace
}  // namespace NsOvrin
