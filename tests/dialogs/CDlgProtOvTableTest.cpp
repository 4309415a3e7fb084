#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "PageGroupsCheck.h"
#include "ProtPageFixture.h"
#include "dialogs/CDlgProtOvTable.h"
#include "editor/QlEHostOvList.h"
#include "project/ListenerRegistry.h"
#include "project/NodeDbListener.h"
#include "project_persistence/IoTableCsv.h"
#include "support/FailingReads.h"
#include "support/WriteBlockers.h"
#include "termination/LogCapture.h"
#include "wui/CColorButton.h"
#include "wui/OvReportCtrl.h"
#include "wui/RtConfirmEdit.h"
#include "wui/RtEdit.h"

namespace NsOvrin::Testing {
namespace {

using NsQlElemEditor::QlEHostOvList;
using NsQlElemIo::QlOvListIo;
using NsQlUiElem::QlUiOvList;
using NsWui::DlgItem;
using NsWui::OvReportCtrl;
using NsWui::UiCall;
using Page = CDlgProtOvTable;
using Texts = std::vector<std::string>;
// (description, address) of each row.
using Rows = std::vector<std::pair<std::string, std::string>>;

// The bytes of a text in hexadecimal pairs.
std::string Bytes(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes.push_back(static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16)));
  }
  return bytes;
}

// The same texts in the ANSI code page.
const std::string kHeaderAcp = Bytes("b5d8d6b72cc3e8caf6");  // 地址,描述
const std::string kStartAcp = Bytes("c6f4b6af");            // 启动
const std::string kStopAcp = Bytes("cda3d6b9");             // 停止
const std::string kWordAcp = Bytes("d7d6");                 // 字

// What a row's check says of an address it cannot read.
constexpr const char* kRowNotRead = "读写地址异常或者不在数据列表中.";

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
}

// Revalidates hosts when told that blocks changed, as the page windows do;
// registered after the page, so it hears the notification after it.
class RevalidatingListener : public NodeDbListener {
 public:
  explicit RevalidatingListener(std::vector<std::shared_ptr<UiElem>> elems)
      : elems_(std::move(elems)) {
    Register(this);
  }
  ~RevalidatingListener() override { std::erase(GetRegistry(), static_cast<NodeDbListener*>(this)); }
  void OnBlocksChanged(const OneWayWrapper<NsTermination::Node>&) override { RevalidateAll(); }
  void OnNodeDbChanged() override { RevalidateAll(); }
  void OnRunModeChanged(bool) override {}

 private:
  void RevalidateAll() {
    for (const auto& elem : elems_) std::dynamic_pointer_cast<QlEHostOvList>(elem->host)->Revalidate();
  }
  std::vector<std::shared_ptr<UiElem>> elems_;
};

// Three IO tables on the Modbus device PLC1 (coils 0x0-0x15 in a block):
// the first with one row, the second (anchored) with three rows of which
// two fail their check, the third without rows. A Mitsubishi FX device FX1
// is there for the range fills.
class ProtOvTableTest : public ProtPageFixture {
 protected:
  void SetUp() override {
    ProtPageFixture::SetUp();
    auto serial =
        std::make_shared<NsTermination::ChannelSerialPort>("串口1", NsCommServer::SerialParams{});
    ASSERT_TRUE(Db().AddChannel(serial));
    NsDevDefine::RsDevParam param;
    param.name = "FX1";
    param.deviceId = NsTermination::kModelMitsFx;
    ASSERT_TRUE(NsTermination::AddRsDev(serial->GetHandle(), param));

    const Rows rows[] = {
        {{"a0", "PLC1.0x00001"}},
        {{"启动", "PLC1.0x00002"}, {"停止", "PLC1.0x00020"}, {"字", "PLC1.4x00001"}},
        {}};
    int n = 0;
    elems_ = MakeSelection<QlEHostOvList>(3, 1, [&] {
      const int i = n++;
      return MakeTable(rows[i], i);
    });
    page_ = std::make_unique<Page>();
    ShowPage(*page_, *page_);
    page_->Bind(elems_);
  }
  void TearDown() override {
    page_.reset();
    ProtPageFixture::TearDown();
  }

  static std::shared_ptr<QlEHostOvList> MakeTable(const Rows& rows, int n) {
    auto host = std::make_shared<QlEHostOvList>(NsDx2d::D2D_POINT_2F{0.0f, 220.0f * n});
    for (const auto& [description, address] : rows) {
      host->_qlUi->AddRow(description);
      host->_qlIo->rowAddresses.push_back(address);
    }
    QlUiOvList& ui = *host->_qlUi;
    ui.table.title.text = "表" + std::to_string(n);
    ui.table.title.textColour = 0x10u + n;
    ui.table.title.backColour = 0x20u + n;
    ui.table.title.fontSize = n == 1 ? 105 : 140;
    ui.SetColumnWidth(0, 123.456f + n);
    ui.SetColumnWidth(1, 50.0f + n);
    host->Revalidate();
    return host;
  }

  std::shared_ptr<QlEHostOvList> Host(int i) { return HostOf<QlEHostOvList>(elems_[i]); }
  QlUiOvList& Ui(int i) { return *Host(i)->_qlUi; }
  QlOvListIo& Io(int i) { return *Host(i)->_qlIo; }
  OvReportCtrl* Grid() { return page_->Grid(); }
  template <class T>
  T* Item(int id) {
    return DlgItem<T>(page_.get(), id);
  }
  void Click(int id) { QTest::mouseClick(Item<QPushButton>(id), Qt::LeftButton); }

  // The rows of table i, from its two lists.
  Rows RowsOf(int i) {
    Rows rows;
    const std::size_t n = std::max(Ui(i).data.descriptions.size(), Io(i).rowAddresses.size());
    for (std::size_t r = 0; r < n; ++r) {
      rows.emplace_back(Host(i)->GetRowDescription(static_cast<unsigned>(r)),
                        Host(i)->GetRowAddress(static_cast<unsigned>(r)));
    }
    return rows;
  }
  // The grid's rows below the header.
  Rows GridRows() {
    Rows rows;
    for (uint16_t r = 1; r < Grid()->GetRowCount(); ++r) {
      rows.emplace_back(Grid()->GetCellText(r, 0), Grid()->GetCellText(r, 1));
    }
    return rows;
  }
  Texts Hints() {
    Texts hints;
    for (uint16_t r = 1; r < Grid()->GetRowCount(); ++r) hints.push_back(Grid()->GetCellText(r, 2));
    return hints;
  }
  // The back colour a cell has of its own; 0 without one.
  uint32_t CellBack(uint16_t row, uint16_t col) {
    const CellInfo* cell = Grid()->FindCell(row, col);
    return cell && cell->backColour && cell->backColour != Grid()->defBackColour ? *cell->backColour
                                                                                 : 0;
  }
  // Every data row's hint is its lamp's message on the row colour, or
  // empty on no colour of its own.
  void ExpectHintsOfAnchored() {
    const QlUiOvList& ui = Ui(1);
    ASSERT_EQ(Grid()->GetRowCount(), ui.statusButtons.size() + 1);
    for (uint16_t r = 1; r < Grid()->GetRowCount(); ++r) {
      const auto& lamp = ui.statusButtons[r - 1u];
      const bool failed = lamp && lamp->inError;
      EXPECT_EQ(Grid()->GetCellText(r, 2), failed ? lamp->errorText : "") << r;
      for (uint16_t col = 0; col < 3; ++col) {
        EXPECT_EQ(CellBack(r, col), failed ? Page::kErrorRowBack : 0u) << r << " " << col;
      }
    }
  }

  void ClickCell(int row, int col) {
    const NsWui::WRect cell = Grid()->GetCellRect(row, col);
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {},
                      QPoint((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
  }
  void TickRow(int row) {
    const NsWui::WRect box = Grid()->GetRowBoxRect(static_cast<uint16_t>(row));
    QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, {},
                      QPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2));
  }
  NsWui::CConfirmEditCtrl* AddressEditor() {
    auto editor = std::dynamic_pointer_cast<NsWui::RtConfirmEdit>(Grid()->CurrentEditor());
    return editor ? editor->Control() : nullptr;
  }
  NsWui::RtEditWindow* DescriptionEditor() {
    auto editor = std::dynamic_pointer_cast<NsWui::RtEdit>(Grid()->CurrentEditor());
    return editor ? editor->Window() : nullptr;
  }

  void Fill(const std::string& start, const std::string& end) {
    Item<QLineEdit>(Page::IDC_START)->setText(QString::fromStdString(start));
    Item<QLineEdit>(Page::IDC_END)->setText(QString::fromStdString(end));
    Click(Page::IDC_ADD);
  }
  // Two new empty tables, the first anchored.
  void BindEmptyTables() {
    int n = 10;
    elems_ = MakeSelection<QlEHostOvList>(2, 0, [&] { return MakeTable({}, n++); });
    page_->Bind(elems_);
  }

  std::unique_ptr<Page> page_;
  std::vector<std::shared_ptr<UiElem>> elems_;
};

TEST_F(ProtOvTableTest, TheLayoutHasItsGroupsControlsAndGrid) {
  ExpectGroups(*page_, {Page::IDC_LINE_TITLE, Page::IDC_LINE_WIDTH, Page::IDC_LINE_ROWS},
               {{Page::IDC_CAPTION_TITLE, "表头标签"},
                {Page::IDC_CAPTION_WIDTH, "列宽度"},
                {Page::IDC_CAPTION_ROWS, "表格编辑"}});
  const std::pair<int, const char*> buttons[] = {
      {Page::IDC_TITLE_COLOR, "文字颜色"}, {Page::IDC_TITLE_BK_COLOR, "背景颜色"},
      {Page::IDC_ADD, "添 加"},          {Page::IDC_CLEAR, "清 空"},
      {Page::IDC_DELETE, "删除勾选的行"}, {Page::IDC_EXPORT, "导 出"},
      {Page::IDC_IMPORT, "导 入"}};
  for (const auto& [id, text] : buttons) {
    ASSERT_NE(Item<QPushButton>(id), nullptr) << id;
    EXPECT_EQ(Item<QPushButton>(id)->text().toStdString(), text);
  }
  auto* sizes = Item<QComboBox>(Page::IDC_FONT_SIZE);
  ASSERT_EQ(sizes->count(), 18);
  EXPECT_EQ(sizes->itemText(0).toStdString(), "8");
  EXPECT_EQ(sizes->itemText(17).toStdString(), "42");
  EXPECT_EQ(Item<OvReportCtrl>(Page::IDC_GRID), Grid());

  // The grid: a header row, three columns, and its look.
  const std::tuple<const char*, int, uint32_t> columns[] = {
      {"描 述", 200, kCellAlignRight}, {"地 址", 80, kCellAlignCentre}, {"提示信息", 320, kCellAlignLeft}};
  ASSERT_EQ(Grid()->columnCount, 3);
  for (uint16_t col = 0; col < 3; ++col) {
    const auto& [header, width, align] = columns[col];
    EXPECT_EQ(Grid()->GetCellText(0, col), header);
    EXPECT_EQ(Grid()->columnWidths.Width(col), width);
    EXPECT_EQ(*Grid()->GetColumnAlign(col), align);
    const CellInfo* cell = Grid()->FindCell(0, col);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(*cell->textColour, 0x555555u);
    EXPECT_EQ(*cell->backColour, 0xC0C0C0u);
    EXPECT_EQ(*cell->align, kCellAlignCentre);
  }
  EXPECT_EQ(Grid()->rowHeight, 32);
  EXPECT_TRUE(Grid()->columnWidths.Resizable());
  EXPECT_FALSE(Grid()->IsRowBoxShown(0));
  EXPECT_GT(page_->contentHeight, 0);
}

TEST_F(ProtOvTableTest, BindShowsTheAnchoredTitleWidthsAndRows) {
  EXPECT_EQ(TextOf(page_.get(), Page::IDC_TITLE), "表1");
  EXPECT_EQ(Item<NsWui::CColorButton>(Page::IDC_TITLE_COLOR)->swatchColour, 0x11u);
  EXPECT_EQ(Item<NsWui::CColorButton>(Page::IDC_TITLE_BK_COLOR)->swatchColour, 0x21u);
  // 10.5 points shows as 10.
  EXPECT_EQ(Item<QComboBox>(Page::IDC_FONT_SIZE)->currentText().toStdString(), "10");
  EXPECT_EQ(TextOf(page_.get(), Page::IDC_COL_WIDTH1), "124.46");
  EXPECT_EQ(TextOf(page_.get(), Page::IDC_COL_WIDTH2), "51.00");

  EXPECT_EQ(GridRows(), (Rows{{"启动", "PLC1.0x00002"}, {"停止", "PLC1.0x00020"}, {"字", "PLC1.4x00001"}}));
  for (uint16_t r = 1; r <= 3; ++r) EXPECT_TRUE(Grid()->IsRowBoxShown(r)) << r;
  // The first row passes; the other two carry their check messages.
  EXPECT_EQ(Hints()[0], "");
  EXPECT_EQ(Hints()[1], kRowNotRead);
  EXPECT_EQ(Hints()[2], "读地址与数据类型不兼容.");
  ExpectHintsOfAnchored();

  // Binding writes nothing.
  EXPECT_EQ(changes_, 0);
  EXPECT_EQ(Ui(0).table.title.text, "表0");
  EXPECT_EQ(Ui(2).table.title.text, "表2");

  // A table as the editor places it.
  auto fresh = MakeSelection<QlEHostOvList>(
      1, 0, [] { return std::make_shared<QlEHostOvList>(NsDx2d::D2D_POINT_2F{}); });
  page_->Bind(fresh);
  EXPECT_EQ(TextOf(page_.get(), Page::IDC_TITLE), "IO表");
  EXPECT_EQ(Item<QComboBox>(Page::IDC_FONT_SIZE)->currentText().toStdString(), "12");
  EXPECT_EQ(TextOf(page_.get(), Page::IDC_COL_WIDTH1), "300.00");
  EXPECT_EQ(TextOf(page_.get(), Page::IDC_COL_WIDTH2), "60.00");
  EXPECT_EQ(Grid()->GetRowCount(), 1);
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtOvTableTest, TheTitleBarEditsGoToEveryTable) {
  auto* title = Item<QLineEdit>(Page::IDC_TITLE);
  title->setFocus();
  title->selectAll();
  QTest::keyClicks(title, QStringLiteral("IO"));
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Ui(i).table.title.text, "IO") << i;
    EXPECT_EQ(Ui(i).data.title, "IO") << i;
  }
  // One change per keystroke, as the text changed.
  EXPECT_EQ(changes_, 2);

  struct Colour {
    int id;
    uint32_t NsDx2d::Dx2TableTitle::*field;
  };
  const Colour colours[] = {{Page::IDC_TITLE_COLOR, &NsDx2d::Dx2TableTitle::textColour},
                            {Page::IDC_TITLE_BK_COLOR, &NsDx2d::Dx2TableTitle::backColour}};
  uint32_t colour = 0xABC000;
  for (const Colour& c : colours) {
    const int before = changes_;
    ui_.PushColour(++colour);
    QTest::mouseClick(Item<QPushButton>(c.id), Qt::LeftButton);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).table.title.*c.field, colour) << c.id << " " << i;
    EXPECT_EQ(changes_, before + 1);
  }
  // Choosing the colour a table already has still counts as a change.
  const int before = changes_;
  ui_.PushColour(colour);
  QTest::mouseClick(Item<QPushButton>(Page::IDC_TITLE_BK_COLOR), Qt::LeftButton);
  EXPECT_EQ(changes_, before + 1);

  auto* sizes = Item<QComboBox>(Page::IDC_FONT_SIZE);
  sizes->setCurrentIndex(sizes->findText(QStringLiteral("16")));
  emit sizes->activated(sizes->currentIndex());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).table.title.fontSize, 160) << i;
  EXPECT_EQ(changes_, before + 2);
}

TEST(OvTableColumnWidthTest, RequiredDecimalOfAtLeastTen) {
  const std::pair<const char*, const char*> cases[] = {
      {"10", nullptr},
      {"10.00", nullptr},
      {"+12.5", nullptr},
      {"99999", nullptr},
      {"5", "[列宽度] 数据必须大于等于10.00."},
      {"9.99", "[列宽度] 数据必须大于等于10.00."},
      {"-20", "[列宽度] 数据必须大于等于10.00."},
      {"", "[列宽度] 输入不能为空！"},
      {"12px", "[列宽度] 请输入浮点数类型的数字，例如 (0.213, -12.345) 等等."},
      {"1e3", "[列宽度] 请输入浮点数类型的数字，例如 (0.213, -12.345) 等等."},
  };
  for (const auto& [text, message] : cases) {
    std::string reason = "untouched";
    EXPECT_EQ(Page::ValidateColumnWidth(text, reason), message == nullptr) << text;
    EXPECT_EQ(reason, message ? message : "untouched") << text;
  }
}

TEST_F(ProtOvTableTest, AConfirmedColumnWidthGoesToEveryTable) {
  const std::pair<int, std::size_t> edits[] = {{Page::IDC_COL_WIDTH1, 0}, {Page::IDC_COL_WIDTH2, 1}};
  for (const auto& [id, column] : edits) {
    auto* edit = Item<NsWui::CConfirmEditCtrl>(id);
    const int before = changes_;
    const float old = Ui(0).table.columnWidths.Width(column);
    TypeAndConfirm(edit, "5");
    EXPECT_EQ(TakeTip(), "[列宽度] 数据必须大于等于10.00.");
    EXPECT_EQ(changes_, before);
    EXPECT_EQ(Ui(0).table.columnWidths.Width(column), old);

    TypeAndConfirm(edit, column == 0 ? "10" : "75.5");
    EXPECT_EQ(TakeTip(), "");
    const float width = column == 0 ? 10.0f : 75.5f;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(Ui(i).table.columnWidths.Width(column), width) << id << " " << i;
      EXPECT_EQ(Ui(i).table.columnWidths.TotalWidth(),
                Ui(i).table.columnWidths.Width(0) + Ui(i).table.columnWidths.Width(1));
    }
    EXPECT_EQ(changes_, before + 1);
  }
  page_->Bind(elems_);
  EXPECT_EQ(TextOf(page_.get(), Page::IDC_COL_WIDTH1), "10.00");
  EXPECT_EQ(TextOf(page_.get(), Page::IDC_COL_WIDTH2), "75.50");
}

TEST_F(ProtOvTableTest, ADescriptionEditedInPlaceGoesToEveryTable) {
  ClickCell(2, Page::kColDescription);
  NsWui::RtEditWindow* editor = DescriptionEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text().toStdString(), "停止");
  editor->selectAll();
  QTest::keyClicks(editor, QStringLiteral("E1"));
  // Every keystroke writes.
  EXPECT_EQ(changes_, 2);
  EXPECT_EQ(Ui(1).data.descriptions[1], "E1");
  EXPECT_EQ(Ui(1).table.GetCellText(2, 0), "E1");
  // The third table has no such row; the first has only one row.
  EXPECT_EQ(RowsOf(0), (Rows{{"a0", "PLC1.0x00001"}}));
  EXPECT_TRUE(RowsOf(2).empty());

  // Leaving the editor writes once more and puts the text into the grid.
  Item<QLineEdit>(Page::IDC_START)->setFocus();
  EXPECT_EQ(Grid()->CurrentEditor(), nullptr);
  EXPECT_EQ(Grid()->GetCellText(2, 0), "E1");
  EXPECT_EQ(changes_, 3);

  // Row 1 of every table that has it.
  ClickCell(1, Page::kColDescription);
  editor = DescriptionEditor();
  ASSERT_NE(editor, nullptr);
  editor->selectAll();
  QTest::keyClicks(editor, QStringLiteral("x"));
  EXPECT_EQ(Ui(0).data.descriptions[0], "x");
  EXPECT_EQ(Ui(0).table.GetCellText(1, 0), "x");
  EXPECT_EQ(Ui(1).data.descriptions[0], "x");
}

TEST_F(ProtOvTableTest, TheHeaderAndTheHintColumnAreNotEdited) {
  for (int col = 0; col < 3; ++col) {
    ClickCell(0, col);
    EXPECT_EQ(Grid()->CurrentEditor(), nullptr) << col;
  }
  ClickCell(1, Page::kColHint);
  EXPECT_EQ(Grid()->CurrentEditor(), nullptr);
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtOvTableTest, AnAddressEditedInPlaceIsCheckedThenWrittenToEveryTable) {
  ClickCell(3, Page::kColAddress);
  NsWui::CConfirmEditCtrl* editor = AddressEditor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text().toStdString(), "PLC1.4x00001");

  const std::pair<const char*, const char*> refused[] = {
      {"PLC1.4x00002", "数据类型与地址不匹配"},
      {"PLC1.0x00020", "不在预定义的数据块内"},
      {"PLC9.0x00001", "没有找到相应的节点"},
      {"PLC1.9x1", "格式错误"},
      {"", "地址不能为空"},
  };
  for (const auto& [text, message] : refused) {
    TypeAndConfirm(editor, text);
    EXPECT_EQ(TakeTip(), message) << text;
    EXPECT_EQ(AddressEditor(), editor) << text;
  }
  EXPECT_EQ(Io(1).rowAddresses[2], "PLC1.4x00001");
  EXPECT_EQ(changes_, 0);

  TypeAndConfirm(editor, " PLC1.0x00003 ");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(Io(1).rowAddresses[2], "PLC1.0x00003");
  EXPECT_FALSE(Ui(1).statusButtons[2]->inError);
  EXPECT_EQ(Grid()->GetCellText(3, 1), "PLC1.0x00003");
  EXPECT_EQ(Grid()->GetCellText(3, 2), "");
  for (uint16_t col = 0; col < 3; ++col) EXPECT_EQ(CellBack(3, col), 0u) << col;
  // The other rows keep their hints.
  EXPECT_EQ(Grid()->GetCellText(2, 2), kRowNotRead);
  EXPECT_EQ(CellBack(2, 0), Page::kErrorRowBack);
  // Tables without that row are left alone.
  EXPECT_EQ(RowsOf(0), (Rows{{"a0", "PLC1.0x00001"}}));
  EXPECT_TRUE(RowsOf(2).empty());
  EXPECT_EQ(changes_, 1);

  // Row 1 of every table that has one.
  ClickCell(1, Page::kColAddress);
  ASSERT_NE(AddressEditor(), nullptr);
  TypeAndConfirm(AddressEditor(), "PLC1.0x00007");
  EXPECT_EQ(Io(0).rowAddresses[0], "PLC1.0x00007");
  EXPECT_EQ(Io(1).rowAddresses[0], "PLC1.0x00007");
  EXPECT_EQ(changes_, 2);
}

TEST_F(ProtOvTableTest, ARowOfOnlyOneListIsCompletedByAnEdit) {
  // A page whose lists differ: two descriptions, one address.
  Ui(0).AddRow("b1");
  page_->Bind({elems_[0]});
  ASSERT_EQ(GridRows(), (Rows{{"a0", "PLC1.0x00001"}, {"b1", ""}}));
  ClickCell(2, Page::kColAddress);
  ASSERT_NE(AddressEditor(), nullptr);
  TypeAndConfirm(AddressEditor(), "PLC1.0x00004");
  EXPECT_EQ(RowsOf(0), (Rows{{"a0", "PLC1.0x00001"}, {"b1", "PLC1.0x00004"}}));
  ASSERT_EQ(Io(0).GetRowIos().size(), 2u);
  EXPECT_NE(Io(0).GetRowIos()[1], nullptr);
  EXPECT_FALSE(Ui(0).statusButtons[1]->inError);

  // The other way round: an address without description.
  Io(0).rowAddresses.push_back("PLC1.0x00005");
  page_->Bind({elems_[0]});
  ClickCell(3, Page::kColDescription);
  ASSERT_NE(DescriptionEditor(), nullptr);
  QTest::keyClicks(DescriptionEditor(), QStringLiteral("c2"));
  EXPECT_EQ(RowsOf(0), (Rows{{"a0", "PLC1.0x00001"}, {"b1", "PLC1.0x00004"}, {"c2", "PLC1.0x00005"}}));
  EXPECT_EQ(Ui(0).statusButtons.size(), 3u);
  EXPECT_EQ(Ui(0).table.GetCellText(3, 0), "c2");
}

TEST_F(ProtOvTableTest, TickedRowsAreDeletedFromEveryTable) {
  TickRow(1);
  TickRow(3);
  ASSERT_EQ(Grid()->GetLineInfo(1)->ticked, 1);
  ASSERT_EQ(Grid()->GetLineInfo(2)->ticked, 0);
  Click(Page::IDC_DELETE);
  EXPECT_EQ(RowsOf(1), (Rows{{"停止", "PLC1.0x00020"}}));
  EXPECT_EQ(Ui(1).statusButtons.size(), 1u);
  EXPECT_EQ(Ui(1).table.GetRowCount(), 2);
  // Row 0 of the first table went; it has no row 2.
  EXPECT_TRUE(RowsOf(0).empty());
  EXPECT_EQ(GridRows(), (Rows{{"停止", "PLC1.0x00020"}}));
  ExpectHintsOfAnchored();
  EXPECT_EQ(changes_, 1);

  // With nothing ticked nothing happens, and the page stays unmodified.
  Click(Page::IDC_DELETE);
  EXPECT_EQ(RowsOf(1).size(), 1u);
  EXPECT_EQ(changes_, 1);
  // The header has no box to tick.
  TickRow(0);
  Click(Page::IDC_DELETE);
  EXPECT_EQ(Grid()->GetRowCount(), 2);
  EXPECT_EQ(changes_, 1);
}

TEST_F(ProtOvTableTest, ClearEmptiesEveryTableAndAlwaysCounts) {
  Click(Page::IDC_CLEAR);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(RowsOf(i).empty()) << i;
    EXPECT_TRUE(Ui(i).statusButtons.empty()) << i;
    EXPECT_EQ(Ui(i).table.GetRowCount(), 1) << i;
    EXPECT_EQ(Ui(i).table.GetCellText(0, 0), "描 述") << i;
    EXPECT_TRUE(Io(i).GetRowIos().empty()) << i;
  }
  EXPECT_EQ(Grid()->GetRowCount(), 1);
  EXPECT_EQ(Grid()->GetCellText(0, 2), "提示信息");
  EXPECT_EQ(changes_, 1);
  Click(Page::IDC_CLEAR);
  EXPECT_EQ(changes_, 2);
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(ProtOvTableTest, ARangeFillAppendsOneRowPerAddress) {
  struct Case {
    const char* start;
    const char* end;
    Texts descriptions;
  };
  const Case cases[] = {
      {"FX1.D5", "FX1.D5", {"D5"}},
      {"FX1.D9", "FX1.D0", {"D0", "D1", "D2", "D3", "D4", "D5", "D6", "D7", "D8", "D9"}},
      {"FX1.D0", "FX1.D9", {"D0", "D1", "D2", "D3", "D4", "D5", "D6", "D7", "D8", "D9"}},
      {"FX1.X6", "FX1.X11", {"X6", "X7", "X10", "X11"}},
      {" FX1.y16 ", "FX1.Y21", {"Y16", "Y17", "Y20", "Y21"}},
      {"FX1.M[3~9]", "FX1.M4", {"M3", "M4"}},
      {"PLC1.0x3", "PLC1.0x00005", {"0x00003", "0x00004", "0x00005"}},
  };
  for (const Case& c : cases) {
    BindEmptyTables();
    const int before = changes_;
    Fill(c.start, c.end);
    EXPECT_EQ(TakeTip(), "") << c.start;
    Rows expected;
    const std::string device = std::string(c.start).find("PLC1") != std::string::npos ? "PLC1" : "FX1";
    for (const std::string& d : c.descriptions) expected.emplace_back(d, device + "." + d);
    EXPECT_EQ(RowsOf(0), expected) << c.start;
    EXPECT_EQ(RowsOf(1), expected) << c.start;
    EXPECT_EQ(GridRows(), expected) << c.start;
    EXPECT_EQ(changes_, before + 1) << c.start;
    // Both edits keep their texts.
    EXPECT_EQ(TextOf(page_.get(), Page::IDC_START), c.start);
    EXPECT_EQ(TextOf(page_.get(), Page::IDC_END), c.end);
  }
}

TEST_F(ProtOvTableTest, ARangeFillAddsAfterTheRowsPresentAndShowsTheirChecks) {
  Fill("PLC1.0x00014", "PLC1.0x00017");
  const Rows added = {{"0x00014", "PLC1.0x00014"}, {"0x00015", "PLC1.0x00015"},
                      {"0x00016", "PLC1.0x00016"}, {"0x00017", "PLC1.0x00017"}};
  Rows expected = {{"启动", "PLC1.0x00002"}, {"停止", "PLC1.0x00020"}, {"字", "PLC1.4x00001"}};
  expected.insert(expected.end(), added.begin(), added.end());
  EXPECT_EQ(RowsOf(1), expected);
  EXPECT_EQ(GridRows(), expected);
  // 0x16 and 0x17 lie beyond the coil block.
  EXPECT_EQ(Hints()[3], "");
  EXPECT_EQ(Hints()[5], kRowNotRead);
  ExpectHintsOfAnchored();
  // The new lamps are marked selected with the rest of the element.
  for (const auto& lamp : Ui(1).statusButtons) EXPECT_TRUE(lamp->selected);
  EXPECT_EQ(changes_, 1);

  // Twice doubles them: an address already there is added again.
  Fill("PLC1.0x00014", "PLC1.0x00017");
  expected.insert(expected.end(), added.begin(), added.end());
  EXPECT_EQ(RowsOf(1), expected);
  Rows twice = added;
  twice.insert(twice.end(), added.begin(), added.end());
  EXPECT_EQ(RowsOf(2), twice);
  EXPECT_EQ(changes_, 2);
}

TEST_F(ProtOvTableTest, ARefusedRangeAddsNothing) {
  struct Case {
    const char* start;
    const char* end;
    int tipOn;  // 0: a message box
    const char* message;
  };
  const Case cases[] = {
      {"", "FX1.D1", Page::IDC_START, "起始地址不能为空!"},
      {"  ", "FX1.D1", Page::IDC_START, "起始地址不能为空!"},
      {"FX1.D1", "", Page::IDC_END, "结束地址不能为空!"},
      {"FX9.D1", "FX1.D1", Page::IDC_START, "起始地址异常: 没有找到相应的节点"},
      {"FX1.D8000", "FX1.D1", Page::IDC_START, "起始地址异常: 起始或者结束地址异常"},
      {"FX1.D1", "FX1.X8", Page::IDC_END, "结束地址异常: 起始或者结束地址异常"},
      {"FX1.D1", "D2", Page::IDC_END, "结束地址异常: 格式错误"},
      {"PLC1.0x00001", "FX1.M1", 0, "起始和结束地址的节点不同."},
      {"FX1.D0", "FX1.M10", 0, "起始和结束地址的类型不同."},
  };
  for (const Case& c : cases) {
    ui_.calls.clear();
    Fill(c.start, c.end);
    ASSERT_EQ(ui_.calls.size(), 1u) << c.start;
    const UiCall& call = ui_.calls[0];
    if (c.tipOn != 0) {
      EXPECT_EQ(call.kind, UiCall::Kind::BalloonTip) << c.start;
      EXPECT_EQ(call.widget, Item<QWidget>(c.tipOn)) << c.start;
    } else {
      EXPECT_EQ(call.kind, UiCall::Kind::MessageBox) << c.start;
      EXPECT_EQ(call.type, NsWui::MB_ICONERROR) << c.start;
      EXPECT_EQ(call.widget, page_.get()) << c.start;
    }
    EXPECT_EQ(call.caption, "提示") << c.start;
    EXPECT_EQ(call.text, c.message) << c.start;
    EXPECT_EQ(RowsOf(1).size(), 3u) << c.start;
    EXPECT_EQ(RowsOf(2).size(), 0u) << c.start;
    EXPECT_EQ(Grid()->GetRowCount(), 4) << c.start;
    EXPECT_EQ(TextOf(page_.get(), Page::IDC_START), c.start);
  }
  EXPECT_EQ(changes_, 0);
}

class ProtOvTableFileTest : public ProtOvTableTest {
 protected:
  void SetUp() override {
    ProtOvTableTest::SetUp();
    ASSERT_TRUE(dir_.isValid());
  }
  std::string PathOf(const char* name) { return dir_.filePath(QString::fromUtf8(name)).toStdString(); }

  QTemporaryDir dir_;
};

TEST_F(ProtOvTableFileTest, ExportWritesTheAnchoredRowsInTheAnsiCodePage) {
  const std::string path = PathOf("rows.csv");
  WriteFile(path, "an older and much longer file that must go away completely\r\n");
  ui_.PushPath(path);
  Click(Page::IDC_EXPORT);
  const auto saves = ui_.CallsOf(UiCall::Kind::SaveFile);
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0].filter, "csv文件|*.csv||");
  EXPECT_EQ(saves[0].defaultExt, "csv");
  EXPECT_EQ(saves[0].initial, "表1");
  EXPECT_EQ(ReadFile(path), kHeaderAcp + "\r\nPLC1.0x00002," + kStartAcp + "\r\nPLC1.0x00020," +
                                kStopAcp + "\r\nPLC1.4x00001," + kWordAcp + "\r\n");
  // Exporting changes nothing.
  EXPECT_EQ(changes_, 0);
  EXPECT_EQ(ui_.CallsOf(UiCall::Kind::MessageBox).size(), 0u);

  // A table without rows: the header line only.
  page_->Bind({elems_[2]});
  ui_.PushPath(path);
  Click(Page::IDC_EXPORT);
  EXPECT_EQ(ReadFile(path), kHeaderAcp + "\r\n");

  // A cancelled dialog writes nothing.
  page_->Bind(elems_);
  ui_.PushPath(std::nullopt);
  Click(Page::IDC_EXPORT);
  EXPECT_EQ(ReadFile(path), kHeaderAcp + "\r\n");
}

TEST_F(ProtOvTableFileTest, AFailedExportShowsWhyAndKeepsTheOldFile) {
  const std::string readOnly = PathOf("read-only.csv");
  WriteFile(readOnly, "kept as it was\r\n");
  std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read);
  const std::string full = PathOf("full.csv");
  WriteFile(full, "kept as it was\r\n");
  struct Case {
    std::string path;
    std::string message;
    bool diskFull;
  };
  const Case cases[] = {
      // no such folder
      {PathOf("missing/rows.csv"), "无法打开文件(错误代码 2): " + PathOf("missing/rows.csv"), false},
      // not replaced, not even by a privileged user
      {readOnly, "无法打开文件(错误代码 13): " + readOnly, false},
      // a folder
      {PathOf("."), "无法打开文件(错误代码 21): " + PathOf("."), false},
      // a file-size limit fails the writing as a full disk would
      {full, "写入文件失败(错误代码 27): " + full, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    NsTermination::Testing::LogCapture errors(8);
    ui_.calls.clear();
    ui_.PushPath(c.path);
    {
      std::optional<FileSizeLimit> limit;
      if (c.diskFull) ASSERT_TRUE(limit.emplace(16).Active());
      Click(Page::IDC_EXPORT);
    }

    EXPECT_EQ(errors.Texts(), Texts{c.message});
    const auto boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, c.message);
    EXPECT_EQ(boxes[0].caption, "提示");
    EXPECT_EQ(boxes[0].type, NsWui::MB_ICONERROR);
  }
  EXPECT_FALSE(std::filesystem::exists(PathOf("missing")));
  EXPECT_EQ(ReadFile(readOnly), "kept as it was\r\n");
  EXPECT_EQ(ReadFile(full), "kept as it was\r\n");
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtOvTableFileTest, ImportReplacesTheRowsOfEveryTable) {
  const std::string path = PathOf("in.csv");
  WriteFile(path, "whatever the header says\r\n"
                  "PLC1.0x3," + kStartAcp + "\r\n"
                  "no comma\r\n"
                  "PLC1.0x1,a,b\r\n"
                  "\r\n"
                  "FX1.d5," + kWordAcp + "\n"
                  "unknown.address,\r\n"
                  "PLC1.0x00004,last");
  ui_.PushPath(path);
  Click(Page::IDC_IMPORT);
  const auto opens = ui_.CallsOf(UiCall::Kind::OpenFile);
  ASSERT_EQ(opens.size(), 1u);
  EXPECT_EQ(opens[0].filter, "csv文件|*.csv||");
  EXPECT_EQ(opens[0].initial, "");
  EXPECT_TRUE(ui_.CallsOf(UiCall::Kind::MessageBox).empty());

  const Rows expected = {{"启动", "PLC1.0x00003"}, {"???", ""},          {"???", ""},
                         {"???", ""},            {"字", "FX1.D5"},       {"", "unknown.address"},
                         {"last", "PLC1.0x00004"}};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(RowsOf(i), expected) << i;
    EXPECT_EQ(Ui(i).statusButtons.size(), expected.size()) << i;
  }
  EXPECT_EQ(GridRows(), expected);
  // Each row is checked by its table afterwards.
  EXPECT_FALSE(Ui(1).statusButtons[0]->inError);
  EXPECT_TRUE(Ui(1).statusButtons[1]->inError);
  ExpectHintsOfAnchored();
  EXPECT_EQ(changes_, 1);
}

// A file that begins with the UTF-8 byte-order mark, as spreadsheet programs
// save CSV files, is UTF-8; a byte in it that is no UTF-8 shows as U+FFFD.
TEST_F(ProtOvTableFileTest, ImportReadsAFileThatBeginsWithTheUtf8MarkAsUtf8) {
  const std::string path = PathOf("utf8.csv");
  WriteFile(path, "\xEF\xBB\xBF地址,描述\r\n"
                  "PLC1.0x3,温度过高\r\n"
                  "PLC1.0x1,bad \xE6\xB8 byte\r\n");
  ui_.PushPath(path);
  Click(Page::IDC_IMPORT);
  const Rows expected = {{"温度过高", "PLC1.0x00003"}, {"bad \xEF\xBF\xBD\xEF\xBF\xBD byte", "PLC1.0x00001"}};
  for (int i = 0; i < 3; ++i) EXPECT_EQ(RowsOf(i), expected) << i;
  EXPECT_EQ(GridRows(), expected);
  EXPECT_TRUE(ui_.CallsOf(UiCall::Kind::MessageBox).empty());
  EXPECT_EQ(changes_, 1);
}

// The page file keeps an address and a description up to its first NUL
// byte: the import keeps no more, so the next open shows what was imported.
TEST_F(ProtOvTableFileTest, AnImportedFieldEndsAtItsFirstNulByte) {
  const std::string path = PathOf("nul.csv");
  static const char kLines[] = "header\r\nPLC1.0x3,stop\0 here\r\nPLC1.0x1\0junk,kept\r\n";
  WriteFile(path, std::string(kLines, sizeof kLines - 1));
  ui_.PushPath(path);
  Click(Page::IDC_IMPORT);
  const Rows expected = {{"stop", "PLC1.0x00003"}, {"kept", "PLC1.0x00001"}};
  EXPECT_EQ(RowsOf(1), expected);
  EXPECT_EQ(GridRows(), expected);
  EXPECT_TRUE(ui_.CallsOf(UiCall::Kind::MessageBox).empty());
}

TEST_F(ProtOvTableFileTest, ExportThenImportGivesTheSameRows) {
  const Rows before = RowsOf(1);
  const std::string path = PathOf("round.csv");
  ui_.PushPath(path);
  Click(Page::IDC_EXPORT);
  Click(Page::IDC_CLEAR);
  ASSERT_TRUE(RowsOf(1).empty());
  ui_.PushPath(path);
  Click(Page::IDC_IMPORT);
  EXPECT_EQ(RowsOf(1), before);
  EXPECT_EQ(RowsOf(0), before);
  EXPECT_EQ(GridRows(), before);
  ExpectHintsOfAnchored();
}

TEST_F(ProtOvTableFileTest, AFileWithoutRowsLeavesEveryTableEmpty) {
  const std::pair<const char*, std::string> files[] = {{"empty.csv", ""},
                                                       {"header.csv", kHeaderAcp + "\r\n"}};
  for (const auto& [name, bytes] : files) {
    page_->Bind(elems_);
    Ui(0).AddRow("again");
    Io(0).rowAddresses.push_back("PLC1.0x00009");
    const std::string path = PathOf(name);
    WriteFile(path, bytes);
    ui_.PushPath(path);
    Click(Page::IDC_IMPORT);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(RowsOf(i).empty()) << name << " " << i;
    EXPECT_EQ(Grid()->GetRowCount(), 1) << name;
  }
  EXPECT_EQ(changes_, 2);
}

TEST_F(ProtOvTableFileTest, AFailedImportKeepsEveryRow) {
  const Rows before = RowsOf(1);
  struct Case {
    std::optional<std::string> path;
    bool failed;
  };
  const Case cases[] = {
      {std::nullopt, false},  // cancelled: no message either
      {PathOf("nothing-here.csv"), true},
      {std::string(), true},
      {PathOf(""), true},  // the folder itself
  };
  for (const Case& c : cases) {
    ui_.calls.clear();
    ui_.PushPath(c.path);
    Click(Page::IDC_IMPORT);
    const auto boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
    if (c.failed) {
      ASSERT_EQ(boxes.size(), 1u) << c.path.value_or("cancelled");
      EXPECT_EQ(boxes[0].text, "读取文件失败.");
      EXPECT_EQ(boxes[0].caption, "提示");
      EXPECT_EQ(boxes[0].type, NsWui::MB_ICONERROR);
    } else {
      EXPECT_TRUE(boxes.empty());
    }
    EXPECT_EQ(RowsOf(1), before);
    EXPECT_EQ(RowsOf(0).size(), 1u);
    EXPECT_EQ(GridRows(), before);
  }
  EXPECT_EQ(changes_, 0);
}

// A disk error on the fourth read of a 200-line file: the rows read before
// it are not the file's rows. The message box comes and every table keeps
// its rows.
TEST_F(ProtOvTableFileTest, AnImportWhoseReadFailsPartWayKeepsEveryRow) {
  const Rows before = RowsOf(1);
  const std::size_t firstRows = RowsOf(0).size();
  const std::string path = PathOf("long.csv");
  std::string text = "地址,描述\r\n";
  for (int i = 0; i < 199; ++i) text += "PLC1.0x" + std::to_string(i) + ",row " + std::to_string(i) + "\r\n";
  WriteFile(path, text);
  ui_.calls.clear();
  ui_.PushPath(path);
  {
    FailingReads failing(path, 3);
    ASSERT_TRUE(failing.Active());
    Click(Page::IDC_IMPORT);
    EXPECT_EQ(failing.Failures(), 1);
  }
  const auto boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "读取文件失败.");
  EXPECT_EQ(boxes[0].caption, "提示");
  EXPECT_EQ(boxes[0].type, NsWui::MB_ICONERROR);
  EXPECT_EQ(RowsOf(1), before);
  EXPECT_EQ(RowsOf(0).size(), firstRows);
  EXPECT_EQ(GridRows(), before);
  EXPECT_EQ(changes_, 0);

  // Read whole, the same file gives its 199 rows.
  ui_.PushPath(path);
  Click(Page::IDC_IMPORT);
  EXPECT_EQ(RowsOf(1).size(), 199u);
  EXPECT_EQ(changes_, 1);
}

TEST(OvTableCsvLineTest, TwoFieldsMakeARowAnythingElseAMark) {
  NsTermination::ChannelManager::Instance().Reset();
  const std::tuple<const char*, const char*, const char*> cases[] = {
      {"a,b", "a", "b"},
      {",", "", ""},
      {"x,", "x", ""},
      {",desc", "", "desc"},
      {"", "", "???"},
      {"no comma", "", "???"},
      {"a,b,c", "", "???"},
      {",,", "", "???"},
  };
  for (const auto& [line, address, description] : cases) {
    std::string a = "old";
    std::string d = "old";
    ParseIoTableCsvLine(line, a, d);
    EXPECT_EQ(a, address) << line;
    EXPECT_EQ(d, description) << line;
  }
}

TEST_F(ProtOvTableTest, ChangedDataBlocksRefreshTheHintsAfterTheNotification) {
  RevalidatingListener pageWindows(elems_);
  ASSERT_EQ(Hints()[1], kRowNotRead);
  AddBlock(*node_, "0x[16~40]", "more coils");
  NodeDbListener::NotifyBlocksChanged(node_->GetHandle());
  // The page reloads only once every listener has been told.
  EXPECT_EQ(Hints()[1], kRowNotRead);
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(Hints()[1], "");
  ExpectHintsOfAnchored();

  // A changed device list does the same.
  ASSERT_TRUE(node_->RemoveReadTask(TaskNamed(*node_, "more coils").get()));
  NotifyListeners(NodeDbListener::GetRegistry(), [](NodeDbListener* l) { l->OnNodeDbChanged(); });
  EXPECT_EQ(Hints()[1], "");
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(Hints()[1], kRowNotRead);

  // A hidden page holds no selection and reloads nothing.
  page_->Hide();
  EXPECT_TRUE(page_->selection.empty());
  Grid()->SetCellText(2, 2, "stale");
  NodeDbListener::NotifyBlocksChanged(node_->GetHandle());
  QCoreApplication::sendPostedEvents();
  EXPECT_EQ(Grid()->GetCellText(2, 2), "stale");
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtOvTableTest, APageListensFromConstructionToDestruction) {
  auto& registry = NodeDbListener::GetRegistry();
  NodeDbListener* listener = page_.get();
  EXPECT_EQ(std::count(registry.begin(), registry.end(), listener), 1);
  // A reload still queued when the page goes is dropped with it.
  NodeDbListener::NotifyBlocksChanged(node_->GetHandle());
  page_.reset();
  EXPECT_EQ(std::count(registry.begin(), registry.end(), listener), 0);
  QCoreApplication::sendPostedEvents();
  NodeDbListener::NotifyBlocksChanged(node_->GetHandle());
  QCoreApplication::sendPostedEvents();
}

}  // namespace
}  // namespace NsOvrin::Testing
