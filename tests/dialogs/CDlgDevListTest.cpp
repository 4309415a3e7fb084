#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "dialogs/CDlgDevList.h"
#include "dialogs/CDlgENetDev.h"
#include "dialogs/CDlgRs232Dev.h"
#include "wui/DlgItem.h"

namespace NsOvrin {
namespace {

using namespace NsTermination;
using NsWui::DlgItem;

// "text=data" of an item and its children, depth first.
std::string Outline(const QTreeWidgetItem* item) {
  std::string text = item->text(0).toStdString();
  if (item->data(0, Qt::UserRole).isValid())
    text += "=" + std::to_string(item->data(0, Qt::UserRole).toUInt());
  if (item->childCount() == 0) return text;
  text += "{";
  for (int i = 0; i < item->childCount(); ++i) {
    if (i) text += ",";
    text += Outline(item->child(i));
  }
  return text + "}";
}

class DevListTest : public ::testing::Test {
 protected:
  void Open(const DevCatalog& catalog, uint32_t model) {
    dlg_ = std::make_unique<CDlgDevList>(catalog);
    dlg_->selectedMaker = 0;
    dlg_->selectedModel = model;
    dlg_->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dlg_.get()));
  }
  QPushButton* Ok() { return DlgItem<QPushButton>(dlg_.get(), CDlgDevList::IDC_OK); }
  QTreeWidgetItem* Maker(int i) { return dlg_->Root()->child(i); }

  std::unique_ptr<CDlgDevList> dlg_;
};

TEST_F(DevListTest, EachDeviceDialogOffersItsOwnMakersAndModels) {
  Open(CDlgRs232Dev::GetCatalog(), kModelNone);
  EXPECT_EQ(dlg_->windowTitle(), QStringLiteral("设备列表"));
  ASSERT_EQ(dlg_->Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(Outline(dlg_->Tree()->topLevelItem(0)),
            "设备列表{modbus=0{Modbus-RTU=2},三菱=7{Fx系列=12}}");

  Open(CDlgENetDev::GetCatalog(), kModelNone);
  EXPECT_EQ(Outline(dlg_->Tree()->topLevelItem(0)),
            "设备列表{modbus=0{Modbus-Tcp=4},汇川=1{H3U/H5U=5}}");
}

TEST_F(DevListTest, TheCurrentModelIsSelectedSoOkIsEnabledAtOnce) {
  Open(CDlgRs232Dev::GetCatalog(), kModelModbusRtu);
  EXPECT_TRUE(dlg_->Root()->isExpanded());
  EXPECT_TRUE(Maker(0)->isExpanded());
  EXPECT_EQ(dlg_->Tree()->currentItem(), Maker(0)->child(0));
  EXPECT_TRUE(Ok()->isEnabled());
  QTest::mouseClick(Ok(), Qt::LeftButton);
  EXPECT_EQ(dlg_->result(), QDialog::Accepted);
  EXPECT_EQ(dlg_->selectedMaker, 0);
  EXPECT_EQ(dlg_->selectedModel, kModelModbusRtu);
}

TEST_F(DevListTest, AModelOfAnotherMakerIsShownAndChosenWithItsMaker) {
  Open(CDlgRs232Dev::GetCatalog(), kModelMitsFx);
  EXPECT_TRUE(Maker(0)->isExpanded());
  EXPECT_EQ(dlg_->Tree()->currentItem(), Maker(1)->child(0));
  QTest::mouseClick(Ok(), Qt::LeftButton);
  EXPECT_EQ(dlg_->result(), QDialog::Accepted);
  EXPECT_EQ(dlg_->selectedMaker, 7);
  EXPECT_EQ(dlg_->selectedModel, kModelMitsFx);
}

TEST_F(DevListTest, WithoutAModelNothingIsSelectedAndOkStaysDisabled) {
  Open(CDlgENetDev::GetCatalog(), kModelNone);
  EXPECT_TRUE(dlg_->Root()->isExpanded());
  EXPECT_TRUE(Maker(0)->isExpanded());
  EXPECT_FALSE(Maker(1)->isExpanded());
  // The focused tree may put its caret on the root, never on a model.
  const QTreeWidgetItem* current = dlg_->Tree()->currentItem();
  EXPECT_TRUE(current == nullptr || current == dlg_->Root());
  EXPECT_FALSE(Ok()->isEnabled());
  // OK refuses silently while no model is selected.
  dlg_->OnOK();
  EXPECT_TRUE(dlg_->isVisible());
  EXPECT_EQ(dlg_->selectedModel, kModelNone);
}

TEST_F(DevListTest, OnlyAModelItemEnablesOk) {
  Open(CDlgENetDev::GetCatalog(), kModelNone);
  struct Case {
    QTreeWidgetItem* item;
    bool enabled;
  };
  const Case cases[] = {{Maker(1)->child(0), true}, {dlg_->Root(), false}, {Maker(1), false},
                        {Maker(0)->child(0), true}, {Maker(0), false}};
  for (const Case& c : cases) {
    dlg_->Tree()->setCurrentItem(c.item);
    EXPECT_EQ(Ok()->isEnabled(), c.enabled) << c.item->text(0).toStdString();
    if (!c.enabled) {
      // OK itself checks the selection as well.
      dlg_->OnOK();
      EXPECT_TRUE(dlg_->isVisible());
    }
  }
  dlg_->Tree()->setCurrentItem(Maker(1)->child(0));
  QTest::mouseClick(Ok(), Qt::LeftButton);
  EXPECT_EQ(dlg_->selectedMaker, 1);
  EXPECT_EQ(dlg_->selectedModel, kModelH5u);
}

}  // namespace
}  // namespace NsOvrin
