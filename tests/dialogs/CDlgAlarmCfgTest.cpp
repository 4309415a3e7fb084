#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <shared_mutex>

#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QHeaderView>
#include <QImage>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>

#include "DeviceDbFixture.h"
#include "KeyTyping.h"
#include "alarm/AlarmManager.h"
#include "alarm/AlarmSegCvb.h"
#include "dialogs/CDlgAlarmCfg.h"
#include "dialogs/CDlgNewAlarm.h"
#include "dialogs/QtAlarmCfgDialog.h"
#include "project/QlEProject.h"
#include "support/FailingReads.h"
#include "support/WriteBlockers.h"
#include "termination/LogCapture.h"
#include "wui/CColorfulStatic.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/ModalDriver.h"
#include "wui/SelectedRowCheck.h"
#include "wui/OvReportCtrl.h"
#include "wui/RtEdit.h"
#include "wui/WReportCtrl.h"

namespace NsOvrin {
namespace {

using namespace NsTermination;
using NsAlarm::AlarmManager;
using NsAlarm::AlarmSegCvb;
using NsWui::CConfirmEditCtrl;
using NsWui::DlgItem;
using NsWui::UiCall;
using Rows = std::vector<std::vector<std::string>>;
using Texts = std::vector<std::string>;

// The header line of an export, in CP936.
const std::string kCsvHeader = "\xD0\xF2\xBA\xC5, \xBE\xAF\xB1\xA8\xCF\xFB\xCF\xA2\r\n";
const std::string kGbkHot = "\xCE\xC2\xB6\xC8\xB9\xFD\xB8\xDF";  // 温度过高
const std::string kGbkLow = "\xD1\xB9\xC1\xA6\xB5\xCD";          // 压力低

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Types text into a confirm edit the way a user does and confirms it with
// Enter.
void TypeAndConfirm(CConfirmEditCtrl* edit, const std::string& text) {
  ASSERT_TRUE(edit);
  QTest::mouseClick(edit, Qt::LeftButton);
  ASSERT_TRUE(edit->editing);
  edit->selectAll();
  QTest::keyClick(edit, Qt::Key_Backspace);
  if (!text.empty()) NsOvrin::Testing::TypeText(edit, text);
  QTest::keyClick(edit, Qt::Key_Return);
}

class AlarmCfgTest : public NsOvrin::Testing::DeviceDbFixture {
 protected:
  void SetUp() override {
    DeviceDbFixture::SetUp();
    ASSERT_TRUE(AddTcp("PLC1"));
    plc_ = Shared("PLC1");
    AddBlock("0x[0~15]");
    AddBlock("4x[0~9]");
    Manager().Clear();
    Manager().SetMaxHistCount(100);
    Manager().ClearHistory();
    ASSERT_TRUE(dir_.isValid());
    project_.modified = false;
  }
  void TearDown() override {
    dlg_.reset();
    Manager().Clear();
    Manager().ClearHistory();
    project_.modified = false;
    DeviceDbFixture::TearDown();
  }

  static AlarmManager& Manager() { return AlarmManager::Instance(); }

  void AddBlock(const std::string& text) {
    BlockDescriptor block;
    ASSERT_EQ(plc_->GetNodeMem()->ParseAddress(text, block.addr), kAddrOk) << text;
    block.interval = 100;
    ASSERT_TRUE(plc_->AddReadTask(block, text, true));
  }
  // A group as a project file makes it.
  std::shared_ptr<AlarmSegCvb> AddGroup(const std::string& address, const Texts& messages) {
    auto group = std::make_shared<AlarmSegCvb>();
    group->SetAddress(address);
    group->SetMessages(messages);
    Manager().AddSeg(group);
    return group;
  }

  void Open() {
    dlg_ = std::make_unique<CDlgAlarmCfg>();
    dlg_->show();
    dlg_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg_.get()));
  }
  void Press(int id) {
    auto* button = DlgItem<QPushButton>(dlg_.get(), id);
    ASSERT_TRUE(button);
    QTest::mouseClick(button, Qt::LeftButton);
  }
  void ClickGroupRow(int row) {
    NsWui::WReportCtrl& list = *dlg_->groupList;
    const QRect rect = list.visualItemRect(list.topLevelItem(row));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, rect.center());
  }
  void ClickBelowGroupRows() {
    NsWui::WReportCtrl& list = *dlg_->groupList;
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(40, list.viewport()->height() - 5));
  }
  void CheckGroupRow(int row) { dlg_->groupList->topLevelItem(row)->setCheckState(0, Qt::Checked); }

  Rows GroupRows() const {
    Rows rows;
    const NsWui::WReportCtrl& list = *dlg_->groupList;
    for (int r = 0; r < list.topLevelItemCount(); ++r) {
      std::vector<std::string> row;
      for (int c = 0; c < list.columnCount(); ++c) row.push_back(list.topLevelItem(r)->text(c).toStdString());
      rows.push_back(row);
    }
    return rows;
  }
  Rows MessageRows() const {
    Rows rows;
    NsWui::OvReportCtrl& table = *dlg_->messageTable;
    for (int r = 0; r < table.GetRowCount(); ++r) rows.push_back({table.GetCellText(r, 0), table.GetCellText(r, 1)});
    return rows;
  }
  static Texts MessagesOf(const AlarmSegCvb& group) {
    Texts texts;
    std::shared_lock lock(group.GetLock());
    for (const auto& bit : group.GetBits()) texts.push_back(bit.message);
    return texts;
  }
  Texts Balloons() const {
    Texts texts;
    for (const UiCall& call : ui_.CallsOf(UiCall::Kind::BalloonTip)) texts.push_back(call.text);
    return texts;
  }
  std::string CountText() const { return dlg_->countEdit->text().toStdString(); }
  std::string AddressText() const { return dlg_->addressEdit->text().toStdString(); }
  std::string StatusText() const { return dlg_->statusLine->text().toStdString(); }
  uint32_t StatusTextColour() const { return dlg_->statusLine->textLayout.textColour; }
  uint32_t StatusBackColour() const { return dlg_->statusLine->frameStyle.backgroundColour; }
  // Whether each of import, export, address and count is enabled.
  std::vector<bool> GroupControlsEnabled() const {
    std::vector<bool> enabled;
    for (int id : {CDlgAlarmCfg::IDC_IMPORT, CDlgAlarmCfg::IDC_EXPORT, CDlgAlarmCfg::IDC_ADDRESS,
                   CDlgAlarmCfg::IDC_COUNT})
      enabled.push_back(NsWui::GetDlgItem(dlg_.get(), id)->isEnabled());
    return enabled;
  }
  uint32_t HistoryCapacity() const {
    std::shared_lock lock(Manager().GetHistoryLock());
    return Manager().GetHistory().Capacity();
  }
  uint32_t HistoryCount() const {
    std::shared_lock lock(Manager().GetHistoryLock());
    return Manager().GetHistory().Count();
  }
  std::size_t ActiveCount() const {
    std::shared_lock lock(Manager().GetActiveLock());
    return Manager().GetActiveAlarms().size();
  }
  std::string PathOf(const char* name) const { return dir_.filePath(QString::fromUtf8(name)).toStdString(); }

  QlEProject& project_ = QlEProject::Instance();
  std::shared_ptr<Node> plc_;
  QTemporaryDir dir_;
  std::unique_ptr<CDlgAlarmCfg> dlg_;
};

const std::vector<bool> kAllEnabled = {true, true, true, true};
const std::vector<bool> kAllDisabled = {false, false, false, false};

// ---- opening and selecting ----

TEST_F(AlarmCfgTest, WithoutGroupsTheGroupControlsAreDisabledAndNothingIsShown) {
  Open();
  EXPECT_EQ(dlg_->windowTitle(), QStringLiteral("警报配置"));
  EXPECT_TRUE(GroupRows().empty());
  EXPECT_EQ(GroupControlsEnabled(), kAllDisabled);
  EXPECT_EQ(CountText(), "0");
  EXPECT_EQ(AddressText(), "");
  EXPECT_TRUE(MessageRows().empty());
  EXPECT_EQ(StatusText(), "");
  EXPECT_EQ(dlg_->histEdit->text().toStdString(), "100");
  EXPECT_FALSE(dlg_->selectedGroup);
  EXPECT_FALSE(project_.modified);
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(AlarmCfgTest, OpensWithEveryGroupListedAndTheFirstSelected) {
  auto first = AddGroup("PLC1.0x0", {"温度过高", "压力低", "门未关"});
  AddGroup("PLC1.4x2", {"a", "b"});
  AddGroup("", {"x"});
  Manager().SetMaxHistCount(250);
  Open();

  const NsWui::WReportCtrl& list = *dlg_->groupList;
  ASSERT_EQ(list.columnCount(), 3);
  const std::vector<std::pair<std::string, int>> columns = {{"序号", 80}, {"地址", 120}, {"数量", 80}};
  for (int c = 0; c < 3; ++c) {
    EXPECT_EQ(list.headerItem()->text(c).toStdString(), columns[c].first);
    EXPECT_EQ(list.columnWidth(c), columns[c].second);
  }
  EXPECT_EQ(GroupRows(), (Rows{{"1", "PLC1.0x00000", "3"}, {"2", "PLC1.4x00002", "2"}, {"3", "", "1"}}));
  for (int r = 0; r < 3; ++r) EXPECT_EQ(list.topLevelItem(r)->checkState(0), Qt::Unchecked);
  EXPECT_EQ(list.visualItemRect(list.topLevelItem(0)).height(), 26);
  EXPECT_EQ(list.currentItem(), list.topLevelItem(0));
  EXPECT_TRUE(list.topLevelItem(0)->isSelected());

  EXPECT_EQ(dlg_->selectedGroup, first);
  EXPECT_EQ(GroupControlsEnabled(), kAllEnabled);
  EXPECT_EQ(CountText(), "3");
  EXPECT_EQ(AddressText(), "PLC1.0x00000");
  EXPECT_EQ(MessageRows(), (Rows{{"1", "温度过高"}, {"2", "压力低"}, {"3", "门未关"}}));
  EXPECT_EQ(dlg_->histEdit->text().toStdString(), "250");

  NsWui::OvReportCtrl& table = *dlg_->messageTable;
  EXPECT_EQ(table.rowHeight, 32);
  EXPECT_EQ(table.columnWidths.Width(0), 100);
  EXPECT_EQ(table.columnWidths.Width(1), 600);
  EXPECT_EQ(*table.GetColumnAlign(0), kCellAlignCentre);
  EXPECT_EQ(*table.GetColumnAlign(1), kCellAlignLeft);
  EXPECT_TRUE(table.titleShown);
  EXPECT_EQ(table.titleText, "警报配置");
  EXPECT_EQ(table.titleTextColour, 0x666666u);
  EXPECT_EQ(table.titleBackColour, 0xE0E0E0u);

  EXPECT_EQ(StatusText(), "地址范围:0x[00000~00002]");
  EXPECT_EQ(StatusTextColour(), 0x666666u);
  EXPECT_EQ(StatusBackColour(), 0xF0F0F0u);
  EXPECT_FALSE(project_.modified);
}

TEST_F(AlarmCfgTest, TheStatusLineTellsTheStateOfTheSelectedGroupsAddress) {
  AddGroup("PLC1.0x0", {"a", "b"});
  AddGroup("", {"a"});
  AddGroup("PLC1.0x100", {"a"});  // in no data block
  AddGroup("PLC1.0x14", {"a", "b", "c"});  // the run leaves the block
  Open();
  struct Case {
    int row;
    const char* text;
    uint32_t textColour;
    uint32_t backColour;
  };
  const Case cases[] = {
      {1, "警报起始地址不能为空!", 0x333333, 0xB2D3D6},
      {0, "地址范围:0x[00000~00001]", 0x666666, 0xF0F0F0},
      {2, "警报地址异常或者不在数据列表中或长度异常.", 0x333333, 0xB2D3D6},
      {3, "警报地址异常或者不在数据列表中或长度异常.", 0x333333, 0xB2D3D6},
  };
  for (const Case& c : cases) {
    ClickGroupRow(c.row);
    EXPECT_EQ(StatusText(), c.text) << c.row;
    EXPECT_EQ(StatusTextColour(), c.textColour) << c.row;
    EXPECT_EQ(StatusBackColour(), c.backColour) << c.row;
  }
}

TEST_F(AlarmCfgTest, ClickingARowSelectsItsGroupAndClickingBesideTheRowsSelectsNone) {
  AddGroup("PLC1.0x0", {"a"});
  auto second = AddGroup("PLC1.4x0", {"b", "c"});
  Open();

  ClickGroupRow(1);
  EXPECT_EQ(dlg_->selectedGroup, second);
  EXPECT_EQ(CountText(), "2");
  EXPECT_EQ(AddressText(), "PLC1.4x00000");
  EXPECT_EQ(MessageRows(), (Rows{{"1", "b"}, {"2", "c"}}));
  EXPECT_EQ(GroupControlsEnabled(), kAllEnabled);

  ClickBelowGroupRows();
  EXPECT_FALSE(dlg_->selectedGroup);
  EXPECT_EQ(GroupControlsEnabled(), kAllDisabled);
  EXPECT_EQ(CountText(), "0");
  EXPECT_EQ(AddressText(), "");
  EXPECT_TRUE(MessageRows().empty());
  EXPECT_FALSE(project_.modified);
}

// The selected row keeps its number, address and count readable: its texts
// stand out from the selection's fill in the dialog as the screen shows it,
// whether the list has the focus or not.
TEST_F(AlarmCfgTest, TheSelectedGroupRowShowsItsTextsOverItsFill) {
  AddGroup("PLC1.0x0", {"a"});
  AddGroup("PLC1.4x0", {"b", "c"});
  Open();
  ASSERT_TRUE(dlg_->groupList->topLevelItem(0)->isSelected());
  for (const int row : {0, 1}) {
    SCOPED_TRACE(row);
    NsWui::Testing::ExpectSelectedRowStandsOut(
        *dlg_->groupList, dlg_->groupList->model()->index(row, 0), dlg_->addressEdit);
  }
}

TEST_F(AlarmCfgTest, AMissingGroupControlIsReportedByItsSymbolicName) {
  AddGroup("PLC1.0x0", {"a"});
  Open();
  delete NsWui::GetDlgItem(dlg_.get(), CDlgAlarmCfg::IDC_EXPORT);
  ClickBelowGroupRows();
  ASSERT_EQ(ui_.CallsOf(UiCall::Kind::MessageBox).size(), 1u);
  const UiCall call = ui_.CallsOf(UiCall::Kind::MessageBox)[0];
  EXPECT_EQ(call.text, "无效的 Item id: IDC_BUTTON7.");
  EXPECT_EQ(call.caption, "提示");
  EXPECT_EQ(call.type, NsWui::MB_ICONERROR);
  // The others are still switched.
  EXPECT_FALSE(NsWui::GetDlgItem(dlg_.get(), CDlgAlarmCfg::IDC_IMPORT)->isEnabled());
  EXPECT_FALSE(dlg_->countEdit->isEnabled());
}

TEST_F(AlarmCfgTest, EnterAndEscapeDoNotCloseOnlyTheCloseBoxDoes) {
  int result = 0;
  bool stayedOpen = false;
  NsWui::WhenModal([&stayedOpen](QWidget* modal) {
    EXPECT_EQ(modal->windowTitle(), QStringLiteral("警报配置"));
    QTest::keyClick(modal, Qt::Key_Escape);
    QTest::keyClick(modal, Qt::Key_Return);
    QTest::keyClick(modal, Qt::Key_Enter);
    stayedOpen = modal->isVisible();
    modal->close();
  });
  CDlgAlarmCfg dialog;
  result = dialog.DoModal();
  EXPECT_TRUE(stayedOpen);
  EXPECT_EQ(result, NsWui::IDCANCEL);
}

TEST_F(AlarmCfgTest, TheStoresServiceOpensTheDialogModally) {
  AddGroup("PLC1.0x0", {"a"});
  QtAlarmCfgDialog service;
  AlarmCfgDialog::Install(&service);
  std::string shownCount;
  NsWui::WhenModal([&shownCount](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgAlarmCfg*>(modal);
    ASSERT_TRUE(dialog);
    shownCount = dialog->countEdit->text().toStdString();
    modal->close();
  });
  AlarmCfgDialog::Installed()->Run(nullptr);
  AlarmCfgDialog::Install(nullptr);
  EXPECT_EQ(shownCount, "1");
}

// ---- the group's edits ----

TEST_F(AlarmCfgTest, TheCountRuleRefusesWhatIsNotFrom1To1000) {
  auto group = AddGroup("PLC1.0x0", {"a", "b"});
  Open();
  const std::pair<const char*, const char*> refused[] = {
      {"0", "[警报数量] 数据必须在 1 ~ 1000 之间."},
      {"1001", "[警报数量] 数据必须在 1 ~ 1000 之间."},
      // Beyond 32 bits a number is no unsigned number at all.
      {"99999999999", "[警报数量] 数据必须在 0 ~ 4294967295 之间."},
      {"", "[警报数量] 请输入无符号类型的数字例如 (0， 100) 等等."},
      {"-1", "[警报数量] 请输入无符号类型的数字例如 (0， 100) 等等."},
      {"3x", "[警报数量] 请输入无符号类型的数字例如 (0， 100) 等等."},
  };
  for (const auto& [text, message] : refused) {
    ui_.calls.clear();
    TypeAndConfirm(dlg_->countEdit, text);
    EXPECT_EQ(Balloons(), Texts{message}) << text;
    EXPECT_EQ(ui_.CallsOf(UiCall::Kind::BalloonTip)[0].caption, "提示");
    EXPECT_TRUE(dlg_->countEdit->editing) << text;
  }
  EXPECT_EQ(group->GetCount(), 2u);
  EXPECT_FALSE(project_.modified);
}

TEST_F(AlarmCfgTest, AConfirmedCountResizesTheGroupAndRebindsIt) {
  auto group = AddGroup("PLC1.0x0", {"a", "b"});
  AddGroup("PLC1.4x0", {"c"});
  Open();

  TypeAndConfirm(dlg_->countEdit, "4");
  EXPECT_TRUE(Balloons().empty());
  EXPECT_FALSE(dlg_->countEdit->editing);
  EXPECT_EQ(group->GetCount(), 4u);
  EXPECT_EQ(MessagesOf(*group), (Texts{"a", "b", "", ""}));
  EXPECT_EQ(MessageRows(), (Rows{{"1", "a"}, {"2", "b"}, {"3", ""}, {"4", ""}}));
  EXPECT_EQ(GroupRows(), (Rows{{"1", "PLC1.0x00000", "4"}, {"2", "PLC1.4x00000", "1"}}));
  EXPECT_EQ(StatusText(), "地址范围:0x[00000~00003]");
  EXPECT_TRUE(project_.modified);

  // Too long for the block: the group stays with its count, unbound.
  TypeAndConfirm(dlg_->countEdit, "1000");
  EXPECT_EQ(group->GetCount(), 1000u);
  EXPECT_FALSE(group->IsBound());
  EXPECT_EQ(dlg_->messageTable->GetRowCount(), 1000);
  EXPECT_EQ(StatusText(), "警报地址异常或者不在数据列表中或长度异常.");

  TypeAndConfirm(dlg_->countEdit, "1");
  EXPECT_EQ(MessagesOf(*group), Texts{"a"});
  EXPECT_TRUE(group->IsBound());
  EXPECT_EQ(GroupRows()[0], (std::vector<std::string>{"1", "PLC1.0x00000", "1"}));
}

TEST_F(AlarmCfgTest, AnAddressMustResolveAndLieInADataBlock) {
  auto group = AddGroup("PLC1.0x0", {"a"});
  Open();
  const std::pair<const char*, const char*> refused[] = {
      {"PLC9.0x0", "没有找到相应的节点"},
      {"PLC1.0x100", "不在预定义的数据块内"},
      {"PLC1.9x0", "格式错误"},
      {"PLC1.", "格式错误"},
  };
  for (const auto& [text, message] : refused) {
    ui_.calls.clear();
    TypeAndConfirm(dlg_->addressEdit, text);
    EXPECT_EQ(Balloons(), Texts{message}) << text;
    EXPECT_TRUE(dlg_->addressEdit->editing) << text;
  }
  EXPECT_EQ(group->GetAddress(), "PLC1.0x00000");
  EXPECT_FALSE(project_.modified);
}

TEST_F(AlarmCfgTest, AConfirmedAddressIsNormalisedAndTheGroupBindsToIt) {
  AddGroup("PLC1.0x0", {"a"});
  auto group = AddGroup("", {"a", "b"});
  Open();
  ClickGroupRow(1);
  EXPECT_EQ(StatusText(), "警报起始地址不能为空!");

  TypeAndConfirm(dlg_->addressEdit, "PLC1.0x4");
  EXPECT_TRUE(Balloons().empty());
  EXPECT_EQ(AddressText(), "PLC1.0x00004");
  EXPECT_EQ(group->GetAddress(), "PLC1.0x00004");
  EXPECT_TRUE(group->IsBound());
  EXPECT_EQ(StatusText(), "地址范围:0x[00004~00005]");
  EXPECT_EQ(StatusTextColour(), 0x666666u);
  EXPECT_EQ(GroupRows(), (Rows{{"1", "PLC1.0x00000", "1"}, {"2", "PLC1.0x00004", "2"}}));
  EXPECT_TRUE(project_.modified);

  // A word address holds the bits of its words.
  TypeAndConfirm(dlg_->addressEdit, "PLC1.4x3");
  EXPECT_EQ(group->GetAddress(), "PLC1.4x00003");
  EXPECT_EQ(StatusText(), "地址范围:4x00003");
}

TEST_F(AlarmCfgTest, LeavingAnEditWithoutConfirmingChangesNothing) {
  auto group = AddGroup("PLC1.0x0", {"a"});
  Open();
  QTest::mouseClick(dlg_->addressEdit, Qt::LeftButton);
  dlg_->addressEdit->selectAll();
  NsOvrin::Testing::TypeText(dlg_->addressEdit, std::string("PLC1.0x4"));
  dlg_->groupList->setFocus();
  EXPECT_EQ(AddressText(), "PLC1.0x00000");
  EXPECT_EQ(group->GetAddress(), "PLC1.0x00000");
  EXPECT_FALSE(project_.modified);
}

TEST_F(AlarmCfgTest, TheHistorySizeIsSetThroughItsRule) {
  Open();
  const std::pair<const char*, const char*> refused[] = {
      {"", "[历史警报数量] 输入不能为空！"},
      {"0", "[历史警报数量] 数据必须在 1 ~ 1000 之间."},
      {"1001", "[历史警报数量] 数据必须在 1 ~ 1000 之间."},
  };
  for (const auto& [text, message] : refused) {
    ui_.calls.clear();
    TypeAndConfirm(dlg_->histEdit, text);
    EXPECT_EQ(Balloons(), Texts{message}) << text;
  }
  EXPECT_EQ(HistoryCapacity(), 100u);
  EXPECT_FALSE(project_.modified);

  // Only digits can be typed.
  TypeAndConfirm(dlg_->histEdit, "5a0");
  EXPECT_EQ(dlg_->histEdit->text().toStdString(), "50");
  EXPECT_EQ(HistoryCapacity(), 50u);
  EXPECT_TRUE(project_.modified);
  TypeAndConfirm(dlg_->histEdit, "1000");
  EXPECT_EQ(HistoryCapacity(), 1000u);
}

TEST_F(AlarmCfgTest, ConfirmingTheHistorySizeItHasKeepsTheHistory) {
  Manager().SetMaxHistCount(2);
  auto group = AddGroup("PLC1.0x0", {"a"});
  // Three records in a ring of two: it has wrapped.
  for (int i = 0; i < 3; ++i) {
    std::unique_lock lock(group->GetLock());
    group->SetBit(0, 1);
    group->SetBit(0, 0);
  }
  ASSERT_EQ(HistoryCount(), 2u);
  Open();
  TypeAndConfirm(dlg_->histEdit, "2");
  EXPECT_EQ(HistoryCount(), 2u);
  EXPECT_TRUE(project_.modified);
  TypeAndConfirm(dlg_->histEdit, "20");
  EXPECT_EQ(HistoryCapacity(), 20u);
  EXPECT_EQ(HistoryCount(), 0u);
}

TEST_F(AlarmCfgTest, AMessageCellEditsTheMessageOfItsBit) {
  auto group = AddGroup("PLC1.0x0", {"a", "b", "c"});
  Open();
  NsWui::OvReportCtrl& table = *dlg_->messageTable;
  const QRect cell = table.GetCellRect(1, 1).ToQRect();
  QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, cell.center());
  auto* editor = dynamic_cast<NsWui::RtEdit*>(table.CurrentEditor().get());
  ASSERT_TRUE(editor);
  ASSERT_TRUE(editor->Window()->isVisible());
  EXPECT_EQ(editor->Window()->text(), QStringLiteral("b"));

  NsOvrin::Testing::TypeText(editor->Window(), QStringLiteral(" 门未关,  "));
  EXPECT_EQ(MessagesOf(*group), (Texts{"a", "b 门未关,  ", "c"}));
  EXPECT_EQ(table.GetCellText(1, 1), "b 门未关,  ");
  EXPECT_TRUE(project_.modified);

  // The number column is not edited.
  table.EndEdit();
  const QRect number = table.GetCellRect(0, 0).ToQRect();
  QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, number.center());
  EXPECT_FALSE(table.CurrentEditor());
}

// ---- adding and deleting groups ----

TEST_F(AlarmCfgTest, AddingAGroupTakesTheConfirmedAddressAndCountAndSelectsIt) {
  AddGroup("PLC1.0x0", {"a"});
  Open();
  NsWui::WhenModal([this](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgNewAlarm*>(modal);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(dialog->windowTitle(), QStringLiteral("新增警报列表"));
    EXPECT_EQ(DlgItem<CConfirmEditCtrl>(dialog, CDlgNewAlarm::IDC_ADDRESS), dialog->addressEdit);
    EXPECT_EQ(DlgItem<CConfirmEditCtrl>(dialog, CDlgNewAlarm::IDC_COUNT), dialog->countEdit);
    EXPECT_TRUE(dialog->addressEdit->text().isEmpty());
    EXPECT_TRUE(dialog->countEdit->text().isEmpty());

    TypeAndConfirm(dialog->countEdit, "0");
    TypeAndConfirm(dialog->addressEdit, "PLC1.0x99");
    EXPECT_EQ(Balloons(), (Texts{"[警报数量] 数据必须在 1 ~ 1000 之间.", "不在预定义的数据块内"}));

    TypeAndConfirm(dialog->countEdit, "3");
    TypeAndConfirm(dialog->addressEdit, "PLC1.0x8");
    EXPECT_EQ(dialog->addressEdit->text(), QStringLiteral("PLC1.0x00008"));
    // Nothing reaches the manager before OK.
    EXPECT_EQ(Manager().GetSegments().size(), 1u);
    QTest::mouseClick(DlgItem<QPushButton>(dialog, CDlgNewAlarm::IDC_OK), Qt::LeftButton);
  });
  Press(CDlgAlarmCfg::IDC_ADD);

  const auto groups = Manager().GetSegments();
  ASSERT_EQ(groups.size(), 2u);
  auto added = std::dynamic_pointer_cast<AlarmSegCvb>(groups[1]);
  ASSERT_TRUE(added);
  EXPECT_EQ(added->GetAddress(), "PLC1.0x00008");
  EXPECT_EQ(added->GetCount(), 3u);
  EXPECT_TRUE(added->IsBound());
  EXPECT_EQ(GroupRows(), (Rows{{"1", "PLC1.0x00000", "1"}, {"2", "PLC1.0x00008", "3"}}));
  EXPECT_EQ(dlg_->groupList->currentItem(), dlg_->groupList->topLevelItem(1));
  EXPECT_EQ(dlg_->selectedGroup, added);
  EXPECT_EQ(CountText(), "3");
  EXPECT_EQ(AddressText(), "PLC1.0x00008");
  EXPECT_EQ(MessageRows(), (Rows{{"1", ""}, {"2", ""}, {"3", ""}}));
  EXPECT_EQ(StatusText(), "地址范围:0x[00008~00010]");
  EXPECT_TRUE(project_.modified);

  // The new group's alarms reach the manager.
  {
    std::unique_lock lock(added->GetLock());
    added->SetBit(2, 1);
  }
  EXPECT_EQ(ActiveCount(), 1u);
}

TEST_F(AlarmCfgTest, OkWithoutConfirmedEditsAddsAnEmptyGroup) {
  Open();
  NsWui::WhenModal([](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgNewAlarm*>(modal);
    ASSERT_TRUE(dialog);
    // Typed but not confirmed.
    QTest::mouseClick(dialog->addressEdit, Qt::LeftButton);
    QTest::keyClicks(dialog->addressEdit, QStringLiteral("PLC1.0x0"));
    QTest::mouseClick(DlgItem<QPushButton>(dialog, CDlgNewAlarm::IDC_OK), Qt::LeftButton);
  });
  Press(CDlgAlarmCfg::IDC_ADD);
  const auto groups = Manager().GetSegments();
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(groups[0]->GetCount(), 0u);
  EXPECT_EQ(dlg_->selectedGroup, groups[0]);
  EXPECT_EQ(dlg_->selectedGroup->GetAddress(), "");
  EXPECT_EQ(GroupRows(), (Rows{{"1", "", "0"}}));
  EXPECT_EQ(GroupControlsEnabled(), kAllEnabled);
  EXPECT_EQ(StatusText(), "警报起始地址不能为空!");
  EXPECT_TRUE(project_.modified);
}

TEST_F(AlarmCfgTest, CancellingTheNewGroupAddsNothing) {
  AddGroup("PLC1.0x0", {"a"});
  Open();
  NsWui::WhenModal([](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgNewAlarm*>(modal);
    ASSERT_TRUE(dialog);
    TypeAndConfirm(dialog->countEdit, "2");
    QTest::mouseClick(DlgItem<QPushButton>(dialog, CDlgNewAlarm::IDC_CANCEL), Qt::LeftButton);
  });
  Press(CDlgAlarmCfg::IDC_ADD);
  EXPECT_EQ(Manager().GetSegments().size(), 1u);
  EXPECT_EQ(GroupRows().size(), 1u);
  EXPECT_FALSE(project_.modified);
}

TEST_F(AlarmCfgTest, DeletingRemovesExactlyTheCheckedGroups) {
  auto g0 = AddGroup("PLC1.0x0", {"a"});
  auto g1 = AddGroup("PLC1.0x1", {"b"});
  auto g2 = AddGroup("PLC1.0x2", {"c"});
  auto g3 = AddGroup("PLC1.0x3", {"d"});
  {
    std::unique_lock lock(g2->GetLock());
    g2->SetBit(0, 1);
  }
  ASSERT_EQ(ActiveCount(), 1u);
  Open();
  ClickGroupRow(1);
  CheckGroupRow(0);
  CheckGroupRow(2);
  Press(CDlgAlarmCfg::IDC_DELETE);

  const auto groups = Manager().GetSegments();
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(groups[0], g1);
  EXPECT_EQ(groups[1], g3);
  EXPECT_EQ(ActiveCount(), 0u);  // the deleted group's alarm went with it
  EXPECT_EQ(GroupRows(), (Rows{{"1", "PLC1.0x00001", "1"}, {"2", "PLC1.0x00003", "1"}}));
  for (int r = 0; r < 2; ++r) EXPECT_EQ(dlg_->groupList->topLevelItem(r)->checkState(0), Qt::Unchecked);
  // The selected group was kept and is still edited.
  EXPECT_EQ(dlg_->selectedGroup, g1);
  EXPECT_EQ(GroupControlsEnabled(), kAllEnabled);
  EXPECT_TRUE(project_.modified);

  TypeAndConfirm(dlg_->countEdit, "2");
  EXPECT_EQ(g1->GetCount(), 2u);
  EXPECT_EQ(GroupRows()[0], (std::vector<std::string>{"1", "PLC1.0x00001", "2"}));
}

TEST_F(AlarmCfgTest, DeletingTheSelectedGroupEmptiesTheGroupControls) {
  AddGroup("PLC1.0x0", {"a", "b"});
  auto kept = AddGroup("PLC1.0x4", {"c"});
  Open();
  CheckGroupRow(0);
  Press(CDlgAlarmCfg::IDC_DELETE);
  EXPECT_EQ(Manager().GetSegments(), (std::vector<std::shared_ptr<NsAlarm::AlarmSeg>>{kept}));
  EXPECT_FALSE(dlg_->selectedGroup);
  EXPECT_EQ(GroupControlsEnabled(), kAllDisabled);
  EXPECT_EQ(AddressText(), "");
  EXPECT_EQ(CountText(), "0");
  EXPECT_TRUE(MessageRows().empty());
  EXPECT_EQ(GroupRows(), (Rows{{"1", "PLC1.0x00004", "1"}}));
}

TEST_F(AlarmCfgTest, DeletingWithNothingCheckedChangesNothing) {
  AddGroup("PLC1.0x0", {"a"});
  Open();
  Press(CDlgAlarmCfg::IDC_DELETE);
  EXPECT_EQ(Manager().GetSegments().size(), 1u);
  EXPECT_TRUE(dlg_->selectedGroup);
  EXPECT_FALSE(project_.modified);
}

// ---- export ----

TEST_F(AlarmCfgTest, ExportWritesTheSelectedGroupsMessagesInTheCodePage) {
  AddGroup("PLC1.0x0", {"x"});
  AddGroup("PLC1.0x4", {"温度过高", "压力低", ""});
  Open();
  ClickGroupRow(1);
  const std::string path = PathOf("警报列表.csv");
  WriteBytes(path, "old contents that are longer than the new file ..................................");
  ui_.PushPath(path);
  Press(CDlgAlarmCfg::IDC_EXPORT);

  const auto pickers = ui_.CallsOf(UiCall::Kind::SaveFile);
  ASSERT_EQ(pickers.size(), 1u);
  EXPECT_EQ(pickers[0].filter, "csv文件|*.csv||");
  EXPECT_EQ(pickers[0].defaultExt, "csv");
  EXPECT_EQ(pickers[0].initial, "警报列表");
  EXPECT_EQ(ReadBytes(path), kCsvHeader + "1, " + kGbkHot + "\r\n2, " + kGbkLow + "\r\n3, \r\n");
  EXPECT_TRUE(ui_.CallsOf(UiCall::Kind::MessageBox).empty());
  EXPECT_FALSE(project_.modified);
}

TEST_F(AlarmCfgTest, ACancelledExportWritesNothing) {
  AddGroup("PLC1.0x0", {"a"});
  Open();
  ui_.PushPath(std::nullopt);
  Press(CDlgAlarmCfg::IDC_EXPORT);
  EXPECT_TRUE(QDir(dir_.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(AlarmCfgTest, AFailedExportShowsWhyAndKeepsTheOldFile) {
  AddGroup("PLC1.0x0", {std::string(200, 'a')});
  Open();
  const std::string readOnly = PathOf("old.csv");
  WriteBytes(readOnly, "old");
  ASSERT_EQ(::chmod(readOnly.c_str(), 0444), 0);
  const std::string full = PathOf("full.csv");
  WriteBytes(full, "old");
  struct Case {
    const char* name;
    std::string path;
    std::string message;
    bool diskFull;
  };
  const Case cases[] = {
      {"read-only", readOnly, "无法打开文件(错误代码 13): " + readOnly, false},
      {"no such folder", PathOf("missing/list.csv"),
       "无法打开文件(错误代码 2): " + PathOf("missing/list.csv"), false},
      // A file-size limit fails the writing as a full disk would.
      {"disk full", full, "无法写入文件(错误代码 27): " + full, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    NsTermination::Testing::LogCapture errors(8);
    ui_.calls.clear();
    ui_.PushPath(c.path);
    {
      std::optional<NsOvrin::Testing::FileSizeLimit> limit;
      if (c.diskFull) ASSERT_TRUE(limit.emplace(64).Active());
      Press(CDlgAlarmCfg::IDC_EXPORT);
    }

    EXPECT_EQ(errors.Texts(), Texts{c.message});
    const auto boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.message);
    EXPECT_EQ(boxes[0].caption, "提示");
    EXPECT_EQ(boxes[0].type, NsWui::MB_ICONERROR);
  }
  EXPECT_EQ(ReadBytes(readOnly), "old");
  EXPECT_EQ(ReadBytes(full), "old");
  EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files).size(), 2) << "no temporary file left";
  EXPECT_FALSE(project_.modified);
}

// ---- import ----

TEST_F(AlarmCfgTest, ImportReplacesTheSelectedGroupsMessagesWithTheFilesSecondFields) {
  AddGroup("PLC1.0x0", {"x"});
  auto group = AddGroup("PLC1.0x4", {"old"});
  Open();
  ClickGroupRow(1);
  const std::string path = PathOf("in.csv");
  WriteBytes(path, kCsvHeader + "1,a\r\n2\r\n3,b,c\r\n4, " + kGbkHot + "\n\r\n5,\r\n6,  two blanks\r\n");
  ui_.PushPath(path);
  Press(CDlgAlarmCfg::IDC_IMPORT);

  const auto pickers = ui_.CallsOf(UiCall::Kind::OpenFile);
  ASSERT_EQ(pickers.size(), 1u);
  EXPECT_EQ(pickers[0].filter, "csv文件|*.csv||");
  EXPECT_EQ(pickers[0].initial, "");
  const Texts expected = {"a", "???", "b", "温度过高", "???", "", " two blanks"};
  EXPECT_EQ(MessagesOf(*group), expected);
  ASSERT_EQ(MessageRows().size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(MessageRows()[i], (std::vector<std::string>{std::to_string(i + 1), expected[i]}));
  EXPECT_EQ(CountText(), "7");
  EXPECT_EQ(GroupRows()[1], (std::vector<std::string>{"2", "PLC1.0x00004", "7"}));
  EXPECT_TRUE(group->IsBound());
  EXPECT_EQ(StatusText(), "地址范围:0x[00004~00010]");
  EXPECT_TRUE(project_.modified);
  EXPECT_TRUE(ui_.CallsOf(UiCall::Kind::MessageBox).empty());
}

// Spreadsheet programs save CSV files as UTF-8 behind a byte-order mark;
// without the mark the file is in the code page.
TEST_F(AlarmCfgTest, ImportReadsAFileThatBeginsWithTheUtf8MarkAsUtf8) {
  const struct {
    const char* name;
    std::string bytes;
  } kFiles[] = {
      {"utf-8 with mark",
       "\xEF\xBB\xBF序号, 警报消息\r\n1, \xE6\xB8\xA9\xE5\xBA\xA6\xE8\xBF\x87\xE9\xAB\x98\r\n"
       "2, \xE5\x8E\x8B\xE5\x8A\x9B\xE4\xBD\x8E\r\n"},
      {"code page", kCsvHeader + "1, " + kGbkHot + "\r\n2, " + kGbkLow + "\r\n"},
  };
  auto group = AddGroup("PLC1.0x4", {"old"});
  Open();
  ClickGroupRow(0);
  for (const auto& file : kFiles) {
    SCOPED_TRACE(file.name);
    const std::string path = PathOf("in.csv");
    WriteBytes(path, file.bytes);
    ui_.PushPath(path);
    Press(CDlgAlarmCfg::IDC_IMPORT);
    EXPECT_EQ(MessagesOf(*group), (Texts{"温度过高", "压力低"}));
    EXPECT_EQ(MessageRows(), (Rows{{"1", "温度过高"}, {"2", "压力低"}}));
    EXPECT_EQ(CountText(), "2");
  }
  EXPECT_TRUE(ui_.CallsOf(UiCall::Kind::MessageBox).empty());
}

// The alarm configuration file keeps a message up to its first NUL byte:
// the import keeps no more, so the next open shows what was imported.
TEST_F(AlarmCfgTest, AnImportedMessageEndsAtItsFirstNulByte) {
  auto group = AddGroup("PLC1.0x4", {"old"});
  Open();
  ClickGroupRow(0);
  const std::string path = PathOf("nul.csv");
  static const char kLines[] = "1, hot\0 and more\r\n2, \0gone\r\n3, a\0b,c\r\n";
  WriteBytes(path, kCsvHeader + std::string(kLines, sizeof kLines - 1));
  ui_.PushPath(path);
  Press(CDlgAlarmCfg::IDC_IMPORT);
  EXPECT_EQ(MessagesOf(*group), (Texts{"hot", "", "a"}));
  ASSERT_EQ(MessageRows().size(), 3u);
  EXPECT_EQ(MessageRows()[0], (std::vector<std::string>{"1", "hot"}));
  EXPECT_TRUE(ui_.CallsOf(UiCall::Kind::MessageBox).empty());
}

TEST_F(AlarmCfgTest, AnImportKeepsOnlyTheLinesTheGroupCanHoldAndSaysHowManyWentUnread) {
  const std::string path = PathOf("long.csv");
  std::string text = kCsvHeader;
  for (int i = 1; i <= 70000; ++i) text += std::to_string(i) + ", m" + std::to_string(i) + "\r\n";
  WriteBytes(path, text);
  const struct {
    const char* address;
    std::size_t bits;
  } kCases[] = {
      {"PLC1.0x4", 12},      // coils 0x0 to 0x15
      {"PLC1.4x2", 8 * 16},  // registers 4x0 to 4x9
      {"PLC1.4x100", 65535}, // in no block: as many as bits can be numbered
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.address);
    dlg_.reset();
    Manager().Clear();
    auto group = AddGroup(c.address, {"old"});
    Open();
    ui_.calls.clear();
    ui_.PushPath(path);
    Press(CDlgAlarmCfg::IDC_IMPORT);

    ASSERT_EQ(group->GetCount(), c.bits);
    EXPECT_EQ(group->GetBitMessage(0), "m1");
    EXPECT_EQ(group->GetBitMessage(c.bits - 1), "m" + std::to_string(c.bits));
    EXPECT_EQ(CountText(), std::to_string(c.bits));
    const auto boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "此警报组最多容纳 " + std::to_string(c.bits) + " 个警报, 文件中其余的 " +
                                 std::to_string(70000 - c.bits) + " 行未导入.");
    EXPECT_EQ(boxes[0].caption, "提示");
    EXPECT_EQ(boxes[0].type, NsWui::MB_ICONWARNING);
    EXPECT_TRUE(project_.modified);
  }
}

// A disk error on the fourth read of a 200-line file: the lines read before
// it are no list. The message box comes, and nothing changes: not the
// group's messages, not its alarms, not the history.
TEST_F(AlarmCfgTest, AnImportWhoseReadFailsPartWayShowsTheFailureAndChangesNothing) {
  auto alarming = AddGroup("PLC1.0x0", {"a", "b"});
  auto target = AddGroup("PLC1.0x4", {"keep 1", "keep 2", "keep 3"});
  {
    std::unique_lock lock(alarming->GetLock());
    alarming->SetBit(1, 1);
    alarming->SetBit(1, 0);
    alarming->SetBit(0, 1);
  }
  Open();
  ClickGroupRow(1);
  const Rows rowsBefore = MessageRows();
  const std::string path = PathOf("long.csv");
  std::string text = kCsvHeader;
  for (int i = 1; i < 200; ++i) text += std::to_string(i) + ", m" + std::to_string(i) + "\r\n";
  WriteBytes(path, text);
  ui_.calls.clear();
  ui_.PushPath(path);
  {
    NsOvrin::Testing::FailingReads failing(path, 3);
    ASSERT_TRUE(failing.Active());
    Press(CDlgAlarmCfg::IDC_IMPORT);
    EXPECT_EQ(failing.Failures(), 1);
  }

  const auto boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "读取警报列表文件失败.");
  EXPECT_EQ(boxes[0].caption, "提示");
  EXPECT_EQ(boxes[0].type, NsWui::MB_ICONERROR);
  EXPECT_EQ(MessagesOf(*target), (Texts{"keep 1", "keep 2", "keep 3"}));
  EXPECT_EQ(MessageRows(), rowsBefore);
  EXPECT_EQ(CountText(), "3");
  EXPECT_EQ(ActiveCount(), 1u);
  EXPECT_EQ(HistoryCount(), 1u);
  EXPECT_FALSE(project_.modified);

  // The same file read whole imports all its lines.
  ui_.PushPath(path);
  Press(CDlgAlarmCfg::IDC_IMPORT);
  EXPECT_EQ(target->GetCount(), 12u);  // the coils 0x4 to 0x15 of the block
  EXPECT_TRUE(project_.modified);
}

TEST_F(AlarmCfgTest, ImportEndsEveryAlarmAndEmptiesTheHistory) {
  auto alarming = AddGroup("PLC1.0x0", {"a", "b"});
  auto target = AddGroup("PLC1.0x4", {"c"});
  {
    std::unique_lock lock(alarming->GetLock());
    alarming->SetBit(1, 1);
    alarming->SetBit(1, 0);
    alarming->SetBit(0, 1);
  }
  ASSERT_EQ(ActiveCount(), 1u);
  ASSERT_EQ(HistoryCount(), 1u);
  Open();
  ClickGroupRow(1);
  const uint32_t historyChanges = Manager().GetHistoryChangeCount();
  const std::string path = PathOf("in.csv");
  WriteBytes(path, kCsvHeader + "1, n\r\n");
  ui_.PushPath(path);
  Press(CDlgAlarmCfg::IDC_IMPORT);

  EXPECT_EQ(MessagesOf(*target), Texts{"n"});
  EXPECT_EQ(MessagesOf(*alarming), (Texts{"a", "b"}));
  EXPECT_EQ(ActiveCount(), 0u);
  EXPECT_EQ(HistoryCount(), 0u);
  EXPECT_NE(Manager().GetHistoryChangeCount(), historyChanges);
  std::shared_lock lock(alarming->GetLock());
  EXPECT_EQ(alarming->GetBits()[0].state, 0);
}

TEST_F(AlarmCfgTest, AnEmptyFileGivesAGroupWithoutBits) {
  auto group = AddGroup("PLC1.0x0", {"a", "b"});
  Open();
  for (const std::string& content : {std::string(), kCsvHeader}) {
    const std::string path = PathOf("empty.csv");
    WriteBytes(path, content);
    ui_.PushPath(path);
    Press(CDlgAlarmCfg::IDC_IMPORT);
    EXPECT_EQ(group->GetCount(), 0u);
    EXPECT_TRUE(MessageRows().empty());
    EXPECT_EQ(CountText(), "0");
  }
}

TEST_F(AlarmCfgTest, AFileThatDoesNotOpenIsReportedAndChangesNothing) {
  auto group = AddGroup("PLC1.0x0", {"a"});
  {
    std::unique_lock lock(group->GetLock());
    group->SetBit(0, 1);
  }
  Open();
  ui_.PushPath(PathOf("none.csv"));
  Press(CDlgAlarmCfg::IDC_IMPORT);
  ui_.PushPath(dir_.path().toStdString());  // a folder
  Press(CDlgAlarmCfg::IDC_IMPORT);

  const auto boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 2u);
  for (const UiCall& box : boxes) {
    EXPECT_EQ(box.text, "读取警报列表文件失败.");
    EXPECT_EQ(box.caption, "提示");
    EXPECT_EQ(box.type, NsWui::MB_ICONERROR);
  }
  EXPECT_EQ(MessagesOf(*group), Texts{"a"});
  EXPECT_EQ(ActiveCount(), 1u);
  EXPECT_FALSE(project_.modified);

  ui_.PushPath(std::nullopt);
  Press(CDlgAlarmCfg::IDC_IMPORT);
  EXPECT_EQ(ui_.CallsOf(UiCall::Kind::MessageBox).size(), 2u);
  EXPECT_EQ(MessagesOf(*group), Texts{"a"});
}

TEST_F(AlarmCfgTest, AnExportedListReadsBackUnchanged) {
  auto group = AddGroup("PLC1.0x0", {"温度过高", " leading blank", "", "a;b"});
  Open();
  const std::string first = PathOf("first.csv");
  const std::string second = PathOf("second.csv");
  ui_.PushPath(first);
  Press(CDlgAlarmCfg::IDC_EXPORT);
  group->SetMessages({"other"});
  ui_.PushPath(first);
  Press(CDlgAlarmCfg::IDC_IMPORT);
  ui_.PushPath(second);
  Press(CDlgAlarmCfg::IDC_EXPORT);

  EXPECT_EQ(MessagesOf(*group), (Texts{"温度过高", " leading blank", "", "a;b"}));
  EXPECT_EQ(ReadBytes(second), ReadBytes(first));
}

}  // namespace
}  // namespace NsOvrin
