#include <gtest/gtest.h>

#include <algorithm>

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "DeviceDbFixture.h"
#include "KeyTyping.h"
#include "dialogs/CDlgDataBlock.h"
#include "dialogs/CDlgSiDataBlock.h"
#include "project/NodeDbListener.h"
#include "project/QlEProject.h"
#include "wui/DlgItem.h"
#include "wui/ModalDriver.h"
#include "wui/RtComboBox.h"
#include "wui/RtConfirmEdit.h"
#include "wui/WReportCtrl.h"

namespace NsOvrin {
namespace {

using namespace NsTermination;
using NsWui::DlgItem;
using NsWui::UiCall;
using Rows = std::vector<std::vector<std::string>>;

Rows RowsOf(const QTreeWidget& list) {
  Rows rows;
  for (int r = 0; r < list.topLevelItemCount(); ++r) {
    std::vector<std::string> row;
    for (int c = 0; c < list.columnCount(); ++c)
      row.push_back(list.topLevelItem(r)->text(c).toStdString());
    rows.push_back(row);
  }
  return rows;
}

// Hears which nodes' blocks changed.
class BlocksRecorder : public NodeDbListener {
 public:
  BlocksRecorder() { Register(this); }
  ~BlocksRecorder() override {
    auto& registry = GetRegistry();
    registry.erase(std::remove(registry.begin(), registry.end(), this), registry.end());
  }
  void OnBlocksChanged(const OneWayWrapper<Node>& node) override {
    const auto locked = node.Lock();
    names.push_back(locked ? locked->GetName() : "?");
  }
  void OnNodeDbChanged() override {}
  void OnRunModeChanged(bool) override {}

  std::vector<std::string> names;
};

class DataBlockTest : public Testing::DeviceDbFixture {
 protected:
  void SetUp() override {
    DeviceDbFixture::SetUp();
    ASSERT_TRUE(AddRtu("FX1", kModelMitsFx));
    ASSERT_TRUE(AddTcp("PLC1"));
    ASSERT_TRUE(AddUnmapped("无映射"));
    plc_ = Shared("PLC1");
    AddBlock(*plc_, "4x[0~9]", "温度", 100, true);
    AddBlock(*plc_, "0x[0~15]", "开关", 200, false);
    AddBlock(*plc_, "3x5", "", 1000, true);
    plc_->GetTasks()[2]->AddSubscriber();
    plc_->GetTasks()[2]->AddSubscriber();
    project_.modified = false;
  }
  void TearDown() override {
    dlg_.reset();
    project_.modified = false;
    DeviceDbFixture::TearDown();
  }

  static void AddBlock(Node& node, const std::string& text, const std::string& name,
                       uint16_t interval, bool enable) {
    BlockDescriptor block;
    ASSERT_EQ(node.GetNodeMem()->ParseAddress(text, block.addr), kAddrOk) << text;
    block.interval = interval;
    ASSERT_TRUE(node.AddReadTask(block, name, enable));
  }

  void Open(const std::string& name) {
    dlg_ = std::make_unique<CDlgDataBlock>(Db().FindNode(name));
    dlg_->show();
    dlg_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(dlg_.get()));
  }
  NsWui::WReportCtrl& Grid() { return *dlg_->blockGrid; }
  void Press(int id) { QTest::mouseClick(DlgItem<QPushButton>(dlg_.get(), id), Qt::LeftButton); }
  void Check(int row) { Grid().topLevelItem(row)->setCheckState(0, Qt::Checked); }

  // Clicks the cell and returns the confirm edit it opened.
  NsWui::CConfirmEditCtrl* EditCell(int row, int col) {
    Grid().scrollToItem(Grid().topLevelItem(row));
    const QRect rowRect = Grid().visualItemRect(Grid().topLevelItem(row));
    const int x = Grid().header()->sectionViewportPosition(col) + 10;
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, QPoint(x, rowRect.center().y()));
    auto* editor = dynamic_cast<NsWui::RtConfirmEdit*>(Grid().CurrentEditor().get());
    return editor ? editor->Control() : nullptr;
  }
  // Types the text into the cell's editor and confirms it with Enter.
  void Confirm(int row, int col, const std::string& text) {
    NsWui::CConfirmEditCtrl* edit = EditCell(row, col);
    ASSERT_TRUE(edit) << row << "," << col;
    ASSERT_TRUE(edit->isVisible());
    // Typed over the cell's text, as the user types it.
    edit->selectAll();
    if (text.empty()) {
      QTest::keyClick(edit, Qt::Key_Backspace);
    } else {
      NsOvrin::Testing::TypeText(edit, text);
    }
    ui_.calls.clear();
    QTest::keyClick(edit, Qt::Key_Return);
  }
  std::string Cell(int row, int col) { return Grid().GetCellText(row, col); }
  std::vector<std::string> Balloons() {
    std::vector<std::string> texts;
    for (const UiCall& call : ui_.CallsOf(UiCall::Kind::BalloonTip)) texts.push_back(call.text);
    return texts;
  }
  std::vector<std::string> BlockNames() {
    std::vector<std::string> names;
    for (const auto& block : plc_->GetTasks()) names.push_back(block->GetName());
    return names;
  }

  QlEProject& project_ = QlEProject::Instance();
  std::shared_ptr<Node> plc_;
  BlocksRecorder heard_;
  std::unique_ptr<CDlgDataBlock> dlg_;
};

TEST_F(DataBlockTest, OpensOnTheNodeWithItsAreasAndBlocks) {
  Open("PLC1");
  EXPECT_EQ(dlg_->windowTitle(), QStringLiteral("数据块编辑器"));
  EXPECT_FALSE(dlg_->areaList->isEnabled());
  EXPECT_EQ(RowsOf(*dlg_->areaList), (Rows{{"1", "0x[0~65533]", "", "1920"},
                                           {"2", "1x[0~65533]", "是", "1920"},
                                           {"3", "3x[0~65533]", "是", "120"},
                                           {"4", "4x[0~65533]", "", "120"}}));
  EXPECT_EQ(RowsOf(Grid()), (Rows{{"1", "4x[00000~00009]", "100", "温度", "是", "0"},
                                  {"2", "0x[00000~00015]", "200", "开关", "否", "0"},
                                  {"3", "3x00005", "1000", "", "是", "2"}}));
  for (int row = 0; row < 3; ++row)
    EXPECT_EQ(Grid().topLevelItem(row)->checkState(0), Qt::Unchecked);

  const std::vector<std::pair<std::string, int>> columns = {
      {"序号", 80}, {"地址", 160}, {"采样频率(ms)", 100}, {"名称", 160}, {"自动启用", 100},
      {"引用次数", 80}};
  for (int c = 0; c < 6; ++c) {
    EXPECT_EQ(Grid().headerItem()->text(c).toStdString(), columns[c].first);
    EXPECT_EQ(Grid().columnWidth(c), columns[c].second) << c;
  }
  EXPECT_EQ(Grid().visualItemRect(Grid().topLevelItem(0)).height(), 26);

  // Every node of the database, channel by channel; this one chosen.
  auto* combo = DlgItem<QComboBox>(dlg_.get(), CDlgDataBlock::IDC_NODE);
  ASSERT_EQ(combo->count(), 3);
  EXPECT_EQ(combo->itemText(0), QStringLiteral("FX1"));
  EXPECT_EQ(combo->itemText(1), QStringLiteral("PLC1"));
  EXPECT_EQ(combo->itemText(2), QStringLiteral("无映射"));
  EXPECT_EQ(combo->currentText(), QStringLiteral("PLC1"));
}

TEST_F(DataBlockTest, TheComboShowsTheNodeItselfNotOneWhoseNameBeginsWithIt) {
  ASSERT_TRUE(AddRtu("PLC10"));  // listed before PLC1: serial channel first
  Open("PLC1");
  EXPECT_EQ(DlgItem<QComboBox>(dlg_.get(), CDlgDataBlock::IDC_NODE)->currentText(),
            QStringLiteral("PLC1"));
}

TEST_F(DataBlockTest, ChoosingAnotherNodeRefillsBothListsAndLaterEditsApplyToIt) {
  Open("PLC1");
  auto* combo = DlgItem<QComboBox>(dlg_.get(), CDlgDataBlock::IDC_NODE);
  emit combo->activated(0);
  EXPECT_EQ(RowsOf(*dlg_->areaList), (Rows{{"1", "X[0~367]", "是", "512"},
                                           {"2", "Y[0~367]", "", "512"},
                                           {"3", "M[0~7678]", "", "512"},
                                           {"4", "S[0~4094]", "", "512"},
                                           {"5", "D[0~7998]", "", "32"},
                                           {"6", "R[0~32766]", "", "32"}}));
  EXPECT_TRUE(RowsOf(Grid()).empty());

  NsWui::WhenModal([](QWidget* modal) {
    DlgItem<QLineEdit>(modal, CDlgSiDataBlock::IDC_START)->setText("D10");
    DlgItem<QLineEdit>(modal, CDlgSiDataBlock::IDC_LENGTH)->setText("4");
    DlgItem<QLineEdit>(modal, CDlgSiDataBlock::IDC_INTERVAL)->setText("250");
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgSiDataBlock::IDC_OK), Qt::LeftButton);
  });
  Press(CDlgDataBlock::IDC_ADD);
  EXPECT_EQ(RowsOf(Grid()), (Rows{{"1", "D[10~13]", "250", "", "是", "0"}}));
  EXPECT_EQ(Shared("FX1")->GetTasks().size(), 1u);
  EXPECT_EQ(plc_->GetTasks().size(), 3u);
  EXPECT_EQ(heard_.names, std::vector<std::string>{"FX1"});

  // A node without memory map has no areas and no blocks.
  emit combo->activated(2);
  EXPECT_TRUE(RowsOf(*dlg_->areaList).empty());
  EXPECT_TRUE(RowsOf(Grid()).empty());
}

TEST_F(DataBlockTest, AddingShowsTheNewBlockLastAndAnnouncesIt) {
  Open("PLC1");
  NsWui::WhenModal([](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgSiDataBlock*>(modal);
    ASSERT_TRUE(dialog);
    // The preset: an empty word block polled every second.
    EXPECT_TRUE(dialog->block.addr.prefix.empty());
    EXPECT_EQ(dialog->block.addr.kind, kKindWord);
    EXPECT_EQ(dialog->block.interval, 1000);
    DlgItem<QLineEdit>(modal, CDlgSiDataBlock::IDC_START)->setText("4x100");
    DlgItem<QLineEdit>(modal, CDlgSiDataBlock::IDC_LENGTH)->setText("10");
    DlgItem<QLineEdit>(modal, CDlgSiDataBlock::IDC_INTERVAL)->setText("500");
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgSiDataBlock::IDC_OK), Qt::LeftButton);
  });
  Press(CDlgDataBlock::IDC_ADD);
  ASSERT_EQ(Grid().topLevelItemCount(), 4);
  EXPECT_EQ(RowsOf(Grid())[3],
            (std::vector<std::string>{"4", "4x[00100~00109]", "500", "", "是", "0"}));
  const auto added = plc_->GetTasks().back();
  EXPECT_TRUE(added->IsEnabled());
  EXPECT_EQ(added->GetInterval(), 500u);
  EXPECT_TRUE(project_.modified);
  EXPECT_EQ(heard_.names, std::vector<std::string>{"PLC1"});
}

TEST_F(DataBlockTest, ACancelledAddChangesNothing) {
  Open("PLC1");
  NsWui::WhenModal([](QWidget* modal) {
    DlgItem<QLineEdit>(modal, CDlgSiDataBlock::IDC_START)->setText("4x100");
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgSiDataBlock::IDC_CANCEL), Qt::LeftButton);
  });
  Press(CDlgDataBlock::IDC_ADD);
  EXPECT_EQ(Grid().topLevelItemCount(), 3);
  EXPECT_EQ(plc_->GetTasks().size(), 3u);
  EXPECT_FALSE(project_.modified);
  EXPECT_TRUE(heard_.names.empty());
}

TEST_F(DataBlockTest, ANodeWithoutMemoryMapRefusesEveryNewBlock) {
  Open("无映射");
  EXPECT_TRUE(RowsOf(*dlg_->areaList).empty());
  EXPECT_TRUE(RowsOf(Grid()).empty());
  NsWui::WhenModal([this](QWidget* modal) {
    DlgItem<QLineEdit>(modal, CDlgSiDataBlock::IDC_START)->setText("4x1");
    DlgItem<QLineEdit>(modal, CDlgSiDataBlock::IDC_LENGTH)->setText("1");
    DlgItem<QLineEdit>(modal, CDlgSiDataBlock::IDC_INTERVAL)->setText("100");
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgSiDataBlock::IDC_OK), Qt::LeftButton);
    EXPECT_TRUE(modal->isVisible());
    ASSERT_EQ(ui_.calls.size(), 1u);
    EXPECT_EQ(ui_.calls[0].widget, NsWui::GetDlgItem(modal, CDlgSiDataBlock::IDC_START));
    EXPECT_EQ(ui_.calls[0].text, "系统错误");
  });
  Press(CDlgDataBlock::IDC_ADD);
  EXPECT_EQ(ui_.calls.size(), 1u);
  EXPECT_FALSE(project_.modified);
  EXPECT_TRUE(heard_.names.empty());
}

TEST_F(DataBlockTest, DeletingRemovesTheCheckedBlocksWhateverTheirUse) {
  Open("PLC1");
  const auto kept = plc_->GetTasks()[1];
  Check(0);
  Check(2);  // used by two bindings
  Press(CDlgDataBlock::IDC_DELETE);
  ASSERT_EQ(plc_->GetTasks().size(), 1u);
  EXPECT_EQ(plc_->GetTasks()[0], kept);
  EXPECT_EQ(RowsOf(Grid()), (Rows{{"1", "0x[00000~00015]", "200", "开关", "否", "0"}}));
  EXPECT_EQ(Grid().topLevelItem(0)->checkState(0), Qt::Unchecked);
  EXPECT_TRUE(project_.modified);
  EXPECT_EQ(heard_.names, std::vector<std::string>{"PLC1"});
}

TEST_F(DataBlockTest, DeletingWithNothingCheckedChangesNothing) {
  Open("PLC1");
  Press(CDlgDataBlock::IDC_DELETE);
  EXPECT_EQ(plc_->GetTasks().size(), 3u);
  EXPECT_FALSE(project_.modified);
  EXPECT_TRUE(heard_.names.empty());
}

TEST_F(DataBlockTest, ABlockGoneMeanwhileIsSkippedByDelete) {
  Open("PLC1");
  ASSERT_TRUE(plc_->RemoveReadTask(plc_->GetTasks()[0].get()));
  Check(0);
  Check(1);
  Press(CDlgDataBlock::IDC_DELETE);
  EXPECT_EQ(BlockNames(), std::vector<std::string>{""});
  EXPECT_EQ(Grid().topLevelItemCount(), 1);
}

TEST_F(DataBlockTest, RefreshRereadsTheBlocks) {
  Open("PLC1");
  AddBlock(*plc_, "4x50", "外部", 300, false);
  plc_->GetTasks()[0]->AddSubscriber();
  EXPECT_EQ(Grid().topLevelItemCount(), 3);
  Press(CDlgDataBlock::IDC_REFRESH);
  EXPECT_EQ(RowsOf(Grid()), (Rows{{"1", "4x[00000~00009]", "100", "温度", "是", "1"},
                                  {"2", "0x[00000~00015]", "200", "开关", "否", "0"},
                                  {"3", "3x00005", "1000", "", "是", "2"},
                                  {"4", "4x00050", "300", "外部", "否", "0"}}));
  EXPECT_FALSE(project_.modified);
}

TEST_F(DataBlockTest, ANewAddressTakesItsCanonicalFormAndANewCacheBlock) {
  Open("PLC1");
  const auto block = plc_->GetTasks()[0];
  const uint8_t* request = nullptr;
  uint32_t length = 0;
  block->GetRequest(plc_->GetProtocol(), request, length);
  ASSERT_TRUE(block->IsBuilt());
  const auto oldCache = block->GetCacheBlock();

  Confirm(0, CDlgDataBlock::kColAddress, "4X[200~219]");
  EXPECT_TRUE(Balloons().empty());
  EXPECT_EQ(Cell(0, CDlgDataBlock::kColAddress), "4x[00200~00219]");
  EXPECT_EQ(block->GetAddr().prefix, "4x");
  EXPECT_EQ(block->GetAddr().start, 200u);
  EXPECT_EQ(block->GetAddr().count, 20);
  EXPECT_NE(block->GetCacheBlock(), oldCache);
  ASSERT_TRUE(block->GetCacheBlock());
  EXPECT_EQ(block->GetCacheBlock()->GetName(), "温度");
  EXPECT_FALSE(block->IsBuilt());
  EXPECT_TRUE(project_.modified);
  EXPECT_EQ(heard_.names, std::vector<std::string>{"PLC1"});
  EXPECT_EQ(plc_->GetTasks()[0], block);
}

TEST_F(DataBlockTest, AnAddressIsRefusedWithItsCheckMessage) {
  Open("PLC1");
  const std::pair<std::string, std::string> cases[] = {
      {"", "格式错误"},
      {"9x1", "格式错误"},
      {"4x[20~10]", "起始或者结束地址异常"},
      {"4x[0~120]", "块长度异常"},
      {"0x[0~1920]", "块长度异常"},
      {"4x65534", "起始或者结束地址异常"},
  };
  for (const auto& [text, message] : cases) {
    Confirm(1, CDlgDataBlock::kColAddress, text);
    EXPECT_EQ(Balloons(), std::vector<std::string>{message}) << text;
    ASSERT_FALSE(ui_.calls.empty());
    // The refusal points at the open editor, which stays open.
    EXPECT_EQ(ui_.calls[0].widget, Grid().CurrentEditor()
                                       ? static_cast<NsWui::RtConfirmEdit*>(
                                             Grid().CurrentEditor().get())->Control()
                                       : nullptr);
    EXPECT_EQ(ui_.calls[0].caption, "提示");
    Grid().EndEdit();
  }
  EXPECT_EQ(Cell(1, CDlgDataBlock::kColAddress), "0x[00000~00015]");
  EXPECT_EQ(plc_->GetTasks()[1]->GetAddr().count, 16);
  EXPECT_FALSE(project_.modified);
  EXPECT_TRUE(heard_.names.empty());
}

TEST_F(DataBlockTest, AnIntervalIsAnUnsignedSixteenBitNumber) {
  Open("PLC1");
  const auto block = plc_->GetTasks()[1];
  block->AddElapsed(150);
  Confirm(1, CDlgDataBlock::kColInterval, "0");
  EXPECT_TRUE(Balloons().empty());
  EXPECT_EQ(block->GetInterval(), 0u);
  EXPECT_EQ(block->GetElapsed(), 0u);
  EXPECT_EQ(Cell(1, CDlgDataBlock::kColInterval), "0");
  EXPECT_TRUE(project_.modified);

  Confirm(1, CDlgDataBlock::kColInterval, "65535");
  EXPECT_EQ(block->GetInterval(), 65535u);

  const std::pair<std::string, std::string> refused[] = {
      {"", "[采样频率] 输入不能为空！"},
      {"-1", "[采样频率] 请输入无符号类型的数字例如 (0， 100) 等等."},
      {"+1", "[采样频率] 请输入无符号类型的数字例如 (0， 100) 等等."},
      {"65536", "[采样频率] 数据必须小于等于65535."},
  };
  for (const auto& [text, message] : refused) {
    Confirm(1, CDlgDataBlock::kColInterval, text);
    EXPECT_EQ(Balloons(), std::vector<std::string>{message}) << text;
    Grid().EndEdit();
  }
  EXPECT_EQ(block->GetInterval(), 65535u);
  // An interval is no change of the blocks.
  EXPECT_TRUE(heard_.names.empty());
}

TEST_F(DataBlockTest, NamesAreTrimmedAndUniqueWithinTheNode) {
  ASSERT_TRUE(AddTcp("PLC2"));
  AddBlock(*Shared("PLC2"), "4x1", "外部", 100, true);
  Open("PLC1");
  Confirm(2, CDlgDataBlock::kColName, "  压力 ");
  EXPECT_TRUE(Balloons().empty());
  EXPECT_EQ(BlockNames(), (std::vector<std::string>{"温度", "开关", "压力"}));
  EXPECT_EQ(Cell(2, CDlgDataBlock::kColName), "压力");
  EXPECT_EQ(plc_->GetTasks()[2]->GetCacheBlock()->GetName(), "压力");
  EXPECT_TRUE(project_.modified);

  Confirm(2, CDlgDataBlock::kColName, "温度");
  EXPECT_EQ(Balloons(), std::vector<std::string>{"节点名称已经存在."});
  Grid().EndEdit();
  EXPECT_EQ(BlockNames()[2], "压力");

  // Its own name, a name of another node's block and no name pass.
  const std::pair<std::string, std::string> accepted[] = {
      {" 压力", "压力"}, {"外部", "外部"}, {"  ", ""}};
  for (const auto& [text, stored] : accepted) {
    Confirm(2, CDlgDataBlock::kColName, text);
    EXPECT_TRUE(Balloons().empty()) << text;
    EXPECT_EQ(BlockNames()[2], stored);
  }
  EXPECT_TRUE(heard_.names.empty());
}

TEST_F(DataBlockTest, TheEnableListSwitchesPolling) {
  Open("PLC1");
  const auto block = plc_->GetTasks()[0];
  const struct {
    int item;
    bool enabled;
  } choices[] = {{1, false}, {0, true}};
  for (const auto& choice : choices) {
    EditCell(0, CDlgDataBlock::kColEnable);
    auto* editor = dynamic_cast<NsWui::RtComboBox*>(Grid().CurrentEditor().get());
    ASSERT_TRUE(editor);
    QComboBox* list = editor->Window();
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->itemText(0), QStringLiteral("是"));
    EXPECT_EQ(list->itemText(1), QStringLiteral("否"));
    emit list->activated(choice.item);
    EXPECT_EQ(block->IsEnabled(), choice.enabled);
    EXPECT_EQ(Cell(0, CDlgDataBlock::kColEnable), choice.enabled ? "是" : "否");
  }
  EXPECT_TRUE(project_.modified);
  EXPECT_TRUE(heard_.names.empty());
}

TEST_F(DataBlockTest, OnlyTheEditableColumnsOpenAnEditor) {
  Open("PLC1");
  const std::pair<int, bool> columns[] = {{0, false}, {1, true}, {2, true},
                                          {3, true},  {4, true}, {5, false}};
  for (const auto& [col, editable] : columns) {
    EditCell(1, col);
    EXPECT_EQ(Grid().CurrentEditor() != nullptr, editable) << col;
    Grid().EndEdit();
  }
}

TEST_F(DataBlockTest, EnterAndEscapeDoNotCloseTheEditorOnlyTheCloseBoxDoes) {
  Open("PLC1");
  QTest::keyClick(dlg_.get(), Qt::Key_Escape);
  QTest::keyClick(dlg_.get(), Qt::Key_Return);
  EXPECT_TRUE(dlg_->isVisible());
  dlg_->close();
  EXPECT_FALSE(dlg_->isVisible());
  EXPECT_EQ(dlg_->result(), QDialog::Rejected);
}

}  // namespace
}  // namespace NsOvrin
