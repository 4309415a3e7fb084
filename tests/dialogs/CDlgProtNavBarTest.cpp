#include <gtest/gtest.h>

#include <QComboBox>
#include <QCursor>
#include <QPushButton>

#include "ProtPageFixture.h"
#include "dialogs/CDlgProtNavBar.h"
#include "editor/QlEHostNavBar.h"
#include "project/QlEProject.h"
#include "wui/CColorButton.h"
#include "wui/CMtRadioButton.h"
#include "wui/OvReportCtrl.h"
#include "wui/RtComboBox.h"
#include "wui/RtEdit.h"

namespace NsOvrin::Testing {
namespace {

using NsQlElemEditor::QlEHostNavBar;
using NsQlElemIo::QlNavBarIo;
using NsQlUiElem::QlUiNavBar;
using NsWui::DlgItem;
using NsWui::OvReportCtrl;
using Strings = std::vector<std::string>;

// Three bars of a project with three pages: the first with four labels and
// two targets, the second (anchored) with three labels and five targets,
// the third with one label and none.
class ProtNavBarTest : public ProtPageFixture {
 protected:
  void SetUp() override {
    ProtPageFixture::SetUp();
    savedPages_ = QlEProject::Instance().pageNames;
    QlEProject::Instance().pageNames = {"主页", "页面1", "页面10"};
    const Strings labels[] = {{"a0", "a1", "a2", "a3"}, {"A", "B", "C"}, {"only"}};
    const Strings targets[] = {{"页面1", "页面1"}, {"主页", "", "页面1", "页面10", "页面1"}, {}};
    int n = 0;
    elems_ = MakeSelection<QlEHostNavBar>(3, 1, [&] {
      auto host = std::make_shared<QlEHostNavBar>(NsDx2d::D2D_POINT_2F{0.0f, 40.0f * n});
      QlUiNavBar& ui = *host->_qlUi;
      ui.labels = labels[n];
      host->_qlIo->targetPages = targets[n];
      ui.textColour = 0x10u + n;
      ui.textColour2 = 0x20u + n;
      ui.SetBorderColour(0x30u + n);
      ui.SetBkColour(0x40u + n);
      ui.bkColour2 = 0x50u + n;
      ui.fontSize = n == 1 ? 105 : 140;
      ui.horizontal = n != 1;
      ui.fixedTabWidth = n == 1;
      ui.tabWidth = 80.0f + n;
      ++n;
      return host;
    });
    page_ = std::make_unique<CDlgProtNavBar>();
    ShowPage(*page_, *page_);
    page_->Bind(elems_);
  }
  void TearDown() override {
    page_.reset();
    QlEProject::Instance().pageNames = savedPages_;
    ProtPageFixture::TearDown();
  }

  QlUiNavBar& Ui(int i) { return *HostOf<QlEHostNavBar>(elems_[i])->_qlUi; }
  QlNavBarIo& Io(int i) { return *HostOf<QlEHostNavBar>(elems_[i])->_qlIo; }
  OvReportCtrl* Table() { return page_->ItemTable(); }
  template <class T>
  T* Item(int id) {
    return DlgItem<T>(page_.get(), id);
  }

  // The table's rows below the header, as (label, page) pairs.
  std::vector<std::pair<std::string, std::string>> Rows() {
    std::vector<std::pair<std::string, std::string>> rows;
    for (int row = 1; row < Table()->GetRowCount(); ++row) {
      rows.emplace_back(Table()->GetCellText(row, 0), Table()->GetCellText(row, 1));
    }
    return rows;
  }
  void ClickCell(int row, int col) {
    const NsWui::WRect cell = Table()->GetCellRect(row, col);
    QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {},
                      QPoint((cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2));
  }
  void TickRow(int row) {
    const NsWui::WRect box = Table()->GetRowBoxRect(static_cast<uint16_t>(row));
    QTest::mouseClick(Table()->viewport(), Qt::LeftButton, {},
                      QPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2));
  }
  // A click in the middle of segment index of a two-segment selector.
  static void ClickSegment(NsWui::CMtRadioButton* selector, int index) {
    const QPoint point(selector->width() * (2 * index + 1) / 4, selector->height() / 2);
    QCursor::setPos(selector->mapToGlobal(point));
    QTest::mouseClick(selector, Qt::LeftButton, {}, point);
  }

  Strings savedPages_;
  std::unique_ptr<CDlgProtNavBar> page_;
  std::vector<std::shared_ptr<UiElem>> elems_;
};

TEST_F(ProtNavBarTest, TheTableShowsEveryItemOfTheAnchoredBar) {
  using Rows_ = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(Rows(), (Rows_{{"A", "主页"}, {"B", ""}, {"C", "页面1"}, {"", "页面10"}, {"", "页面1"}}));
  EXPECT_EQ(Table()->GetCellText(0, 0), "标 签");
  EXPECT_EQ(Table()->GetCellText(0, 1), "页 面");
  for (int col = 0; col < 2; ++col) {
    ASSERT_NE(Table()->FindCell(0, static_cast<uint16_t>(col)), nullptr);
    ASSERT_TRUE(Table()->FindCell(0, static_cast<uint16_t>(col))->backColour);
    EXPECT_EQ(*Table()->FindCell(0, static_cast<uint16_t>(col))->backColour, 0xC0C0C0u);
    EXPECT_EQ(Table()->columnWidths.Width(static_cast<std::size_t>(col)), 160);
  }
  EXPECT_EQ(Table()->rowHeight, 32);
  EXPECT_FALSE(Table()->IsRowBoxShown(0));
  for (uint16_t row = 1; row <= 5; ++row) EXPECT_TRUE(Table()->IsRowBoxShown(row)) << row;
  EXPECT_EQ(changes_, 0);

  // A bar as the editor places it: its four labels, no target anywhere.
  auto fresh = MakeSelection<QlEHostNavBar>(
      1, 0, [] { return std::make_shared<QlEHostNavBar>(NsDx2d::D2D_POINT_2F{}); });
  page_->Bind(fresh);
  EXPECT_EQ(Rows(), (Rows_{{"首页", "无"}, {"页面1", "无"}, {"页面2", "无"}, {"...", "无"}}));
  EXPECT_EQ(Item<QComboBox>(CDlgProtNavBar::IDC_FONT_SIZE)->currentText().toStdString(), "10");
  EXPECT_EQ(TextOf(page_.get(), CDlgProtNavBar::IDC_TAB_SIZE), "120");
  EXPECT_FALSE(Item<QWidget>(CDlgProtNavBar::IDC_TAB_SIZE)->isEnabled());
  EXPECT_EQ(Item<NsWui::CMtRadioButton>(CDlgProtNavBar::IDC_LAYOUT)->currentIndex, 0);
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtNavBarTest, BindLoadsTheLookOfTheAnchoredBar) {
  const std::tuple<int, const char*, uint32_t> colours[] = {
      {CDlgProtNavBar::IDC_TEXT_COLOR2, "当前页文字颜色", 0x21u},
      {CDlgProtNavBar::IDC_BK_COLOR2, "当前页背景颜色", 0x51u},
      {CDlgProtNavBar::IDC_TEXT_COLOR, "其它页文字颜色", 0x11u},
      {CDlgProtNavBar::IDC_BK_COLOR, "其它页背景颜色", 0x41u},
      {CDlgProtNavBar::IDC_BORDER_COLOR, "边框颜色", 0x31u}};
  for (const auto& [id, text, colour] : colours) {
    auto* button = Item<NsWui::CColorButton>(id);
    EXPECT_EQ(button->text().toStdString(), text);
    EXPECT_EQ(button->swatchColour, colour) << text;
  }
  // 10.5 points shows as 10.
  EXPECT_EQ(Item<QComboBox>(CDlgProtNavBar::IDC_FONT_SIZE)->currentText().toStdString(), "10");
  auto* layout = Item<NsWui::CMtRadioButton>(CDlgProtNavBar::IDC_LAYOUT);
  auto* sizing = Item<NsWui::CMtRadioButton>(CDlgProtNavBar::IDC_SIZING);
  EXPECT_EQ(layout->currentIndex, 1);
  EXPECT_EQ(sizing->currentIndex, 1);
  ASSERT_NE(layout->Table(), nullptr);
  EXPECT_EQ(layout->Table()->GetCellText(0, 0), "水平排列");
  EXPECT_EQ(layout->Table()->GetCellText(0, 1), "垂直排列");
  EXPECT_EQ(sizing->Table()->GetCellText(0, 0), "平分宽度");
  EXPECT_EQ(sizing->Table()->GetCellText(0, 1), "固定宽度");
  EXPECT_EQ(TextOf(page_.get(), CDlgProtNavBar::IDC_TAB_SIZE), "81");
  EXPECT_TRUE(Item<QWidget>(CDlgProtNavBar::IDC_TAB_SIZE)->isEnabled());
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtNavBarTest, ColoursChosenGoToEveryBarAndItsFrame) {
  struct Case {
    int id;
    uint32_t QlUiNavBar::*field;
    uint32_t NsDx2d::ShapePainter::*frame;  // null: the frame keeps its colours
  };
  const Case cases[] = {
      {CDlgProtNavBar::IDC_TEXT_COLOR, &QlUiNavBar::textColour, nullptr},
      {CDlgProtNavBar::IDC_TEXT_COLOR2, &QlUiNavBar::textColour2, nullptr},
      {CDlgProtNavBar::IDC_BK_COLOR, &QlUiNavBar::bkColour, &NsDx2d::ShapePainter::fillColour},
      {CDlgProtNavBar::IDC_BK_COLOR2, &QlUiNavBar::bkColour2, nullptr},
      {CDlgProtNavBar::IDC_BORDER_COLOR, &QlUiNavBar::borderColour,
       &NsDx2d::ShapePainter::borderColour}};
  uint32_t colour = 0x123400;
  int expected = 0;
  for (const Case& c : cases) {
    const uint32_t fill = Ui(0).painter.fillColour;
    const uint32_t border = Ui(0).painter.borderColour;
    ui_.PushColour(++colour);
    QTest::mouseClick(Item<QPushButton>(c.id), Qt::LeftButton);
    EXPECT_EQ(changes_, ++expected);
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(Ui(i).*c.field, colour) << c.id << " " << i;
      if (c.frame) {
        EXPECT_EQ(Ui(i).painter.*c.frame, colour) << c.id << " " << i;
      }
    }
    if (!c.frame) {
      EXPECT_EQ(Ui(0).painter.fillColour, fill) << c.id;
      EXPECT_EQ(Ui(0).painter.borderColour, border) << c.id;
    }
  }
}

TEST_F(ProtNavBarTest, AChosenFontSizeIsWrittenInTenthsOfAPoint) {
  auto* combo = Item<QComboBox>(CDlgProtNavBar::IDC_FONT_SIZE);
  const int index = combo->currentIndex();
  emit combo->activated(index);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).fontSize, 100) << i;
  combo->setCurrentIndex(combo->findText(QStringLiteral("42")));
  emit combo->activated(combo->currentIndex());
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Ui(i).fontSize, 420) << i;
  EXPECT_EQ(changes_, 2);
}

TEST_F(ProtNavBarTest, TheLayoutSelectorsWriteTheirFlags) {
  auto* layout = Item<NsWui::CMtRadioButton>(CDlgProtNavBar::IDC_LAYOUT);
  auto* sizing = Item<NsWui::CMtRadioButton>(CDlgProtNavBar::IDC_SIZING);
  QWidget* size = Item<QWidget>(CDlgProtNavBar::IDC_TAB_SIZE);

  ClickSegment(layout, 0);
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Ui(i).horizontal) << i;
  EXPECT_EQ(changes_, 1);
  ClickSegment(layout, 1);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(Ui(i).horizontal) << i;
  EXPECT_EQ(changes_, 2);

  ClickSegment(sizing, 0);
  EXPECT_FALSE(size->isEnabled());
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(Ui(i).fixedTabWidth) << i;
  ClickSegment(sizing, 1);
  EXPECT_TRUE(size->isEnabled());
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Ui(i).fixedTabWidth) << i;
  EXPECT_EQ(changes_, 4);
}

TEST(NavBarTabSizeTest, RequiredDigitsAndAtLeastTwo) {
  const std::pair<const char*, const char*> cases[] = {
      {"2", nullptr},
      {"120", nullptr},
      {"99999", nullptr},
      {"1", "[单元格宽度/高度] 数据必须大于等于2."},
      {"0", "[单元格宽度/高度] 数据必须大于等于2."},
      {"", "[单元格宽度/高度] 输入不能为空！"},
      {"12a", "[单元格宽度/高度] 请输入无符号类型的数字例如 (0， 100) 等等."},
      {"-5", "[单元格宽度/高度] 请输入无符号类型的数字例如 (0， 100) 等等."},
      {"2.5", "[单元格宽度/高度] 请输入无符号类型的数字例如 (0， 100) 等等."},
  };
  for (const auto& [text, message] : cases) {
    std::string reason = "untouched";
    EXPECT_EQ(CDlgProtNavBar::ValidateTabSize(text, reason), message == nullptr) << text;
    EXPECT_EQ(reason, message ? message : "untouched") << text;
  }
}

TEST_F(ProtNavBarTest, AConfirmedTabSizeGoesToEveryBar) {
  auto* edit = Item<NsWui::CConfirmEditCtrl>(CDlgProtNavBar::IDC_TAB_SIZE);
  TypeAndConfirm(edit, "1");
  EXPECT_EQ(TakeTip(), "[单元格宽度/高度] 数据必须大于等于2.");
  TypeAndConfirm(edit, "x");
  EXPECT_EQ(TakeTip(), "[单元格宽度/高度] 请输入无符号类型的数字例如 (0， 100) 等等.");
  EXPECT_EQ(changes_, 0);
  EXPECT_FLOAT_EQ(Ui(0).tabWidth, 80.0f);

  TypeAndConfirm(edit, "150");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(changes_, 1);
  for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(Ui(i).tabWidth, 150.0f) << i;
}

TEST_F(ProtNavBarTest, ALabelTypedInPlaceReachesTheBarsThatHaveThatItem) {
  ClickCell(3, 0);
  auto editor = std::dynamic_pointer_cast<NsWui::RtEdit>(Table()->CurrentEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Window()->text().toStdString(), "C");
  QTest::keyClicks(editor->Window(), QStringLiteral("xy"));
  EXPECT_EQ(changes_, 2);
  EXPECT_EQ(Ui(0).labels, (Strings{"a0", "a1", "Cxy", "a3"}));
  EXPECT_EQ(Ui(1).labels, (Strings{"A", "B", "Cxy"}));
  EXPECT_EQ(Ui(2).labels, (Strings{"only"})) << "it has no third item";
  EXPECT_EQ(Table()->GetCellText(3, 0), "Cxy");

  // The header row has no editor.
  ClickCell(0, 0);
  EXPECT_EQ(Table()->CurrentEditor(), nullptr);
}

TEST_F(ProtNavBarTest, TheTargetListOffersNoPageAndTheProjectsPages) {
  ClickCell(1, 1);
  auto editor = std::dynamic_pointer_cast<NsWui::RtComboBox>(Table()->CurrentEditor());
  ASSERT_NE(editor, nullptr);
  QComboBox* list = editor->Window();
  ASSERT_EQ(list->count(), 4);
  const char* items[] = {"无", "主页", "页面1", "页面10"};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(list->itemText(i).toStdString(), items[i]);
  EXPECT_EQ(list->currentText().toStdString(), "主页");

  // "无" is stored as no target, and shown as chosen.
  emit list->activated(0);
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(Io(0).targetPages, (Strings{"", "页面1"}));
  EXPECT_EQ(Io(1).targetPages, (Strings{"", "", "页面1", "页面10", "页面1"}));
  EXPECT_EQ(Io(2).targetPages, (Strings{""}));
  EXPECT_EQ(Table()->GetCellText(1, 1), "无");
  page_->Bind(elems_);
  EXPECT_EQ(Table()->GetCellText(1, 1), "");

  // The exact page is chosen when the list opens, not a longer name.
  ClickCell(4, 1);
  list = std::dynamic_pointer_cast<NsWui::RtComboBox>(Table()->CurrentEditor())->Window();
  EXPECT_EQ(list->currentText().toStdString(), "页面10");
  ClickCell(3, 1);
  list = std::dynamic_pointer_cast<NsWui::RtComboBox>(Table()->CurrentEditor())->Window();
  EXPECT_EQ(list->currentText().toStdString(), "页面1");

  // The fifth item: shorter target lists grow with empty entries.
  ClickCell(5, 1);
  list = std::dynamic_pointer_cast<NsWui::RtComboBox>(Table()->CurrentEditor())->Window();
  emit list->activated(1);
  EXPECT_EQ(Io(0).targetPages, (Strings{"", "页面1", "", "", "主页"}));
  EXPECT_EQ(Io(1).targetPages, (Strings{"", "", "页面1", "页面10", "主页"}));
  EXPECT_EQ(Io(2).targetPages, (Strings{"", "", "", "", "主页"}));
  EXPECT_EQ(Table()->GetCellText(5, 1), "主页");
  EXPECT_EQ(changes_, 2);
}

TEST_F(ProtNavBarTest, AnAddedItemIsANewLabelInEveryBar) {
  QTest::mouseClick(Item<QPushButton>(CDlgProtNavBar::IDC_ADD), Qt::LeftButton);
  EXPECT_EQ(changes_, 1);
  ASSERT_EQ(Table()->GetRowCount(), 7);
  EXPECT_EQ(Table()->GetCellText(6, 0), "新页面");
  EXPECT_EQ(Table()->GetCellText(6, 1), "");
  EXPECT_TRUE(Table()->IsRowBoxShown(6));
  // Each new label is the item after the last target page: the anchored
  // bar's lands on item 5, the row the table shows it on.
  EXPECT_EQ(Ui(0).labels, (Strings{"a0", "a1", "a2", "a3", "新页面"}));
  EXPECT_EQ(Ui(1).labels, (Strings{"A", "B", "C", "", "", "新页面"}));
  EXPECT_EQ(Ui(2).labels, (Strings{"only", "新页面"}));
  EXPECT_EQ(Io(1).targetPages.size(), 5u);
  EXPECT_EQ(Io(2).targetPages, Strings{});
  page_->Bind(elems_);
  ASSERT_EQ(Table()->GetRowCount(), 7);
  EXPECT_EQ(Table()->GetCellText(6, 0), "新页面") << "still on its row when shown again";
  EXPECT_EQ(Table()->GetCellText(5, 0), "");
  EXPECT_EQ(Table()->GetCellText(5, 1), "页面1");
}

TEST_F(ProtNavBarTest, ALabelTypedPastTheLabelsOfAnItemWithAPageIsKept) {
  ClickCell(5, 0);
  auto editor = std::dynamic_pointer_cast<NsWui::RtEdit>(Table()->CurrentEditor());
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->Window()->text().toStdString(), "");
  QTest::keyClicks(editor->Window(), QStringLiteral("z"));
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(Ui(1).labels, (Strings{"A", "B", "C", "", "z"}));
  EXPECT_EQ(Ui(0).labels, (Strings{"a0", "a1", "a2", "a3"})) << "it has no fifth item";
  EXPECT_EQ(Ui(2).labels, (Strings{"only"}));
  page_->Bind(elems_);
  EXPECT_EQ(Table()->GetCellText(5, 0), "z");
}

TEST_F(ProtNavBarTest, TickedItemsGoFromEveryBarAndTheRowsBelowMoveUp) {
  TickRow(2);
  TickRow(3);
  ASSERT_EQ(Table()->GetLineInfo(2)->ticked, 1);
  QTest::mouseClick(Item<QPushButton>(CDlgProtNavBar::IDC_DELETE), Qt::LeftButton);
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(Ui(0).labels, (Strings{"a0", "a3"}));
  EXPECT_EQ(Io(0).targetPages, (Strings{"页面1"}));
  EXPECT_EQ(Ui(1).labels, (Strings{"A"}));
  EXPECT_EQ(Io(1).targetPages, (Strings{"主页", "页面10", "页面1"}));
  EXPECT_EQ(Ui(2).labels, (Strings{"only"}));
  using Rows_ = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(Rows(), (Rows_{{"A", "主页"}, {"", "页面10"}, {"", "页面1"}}));

  // Nothing ticked: nothing goes, the change is still reported.
  QTest::mouseClick(Item<QPushButton>(CDlgProtNavBar::IDC_DELETE), Qt::LeftButton);
  EXPECT_EQ(changes_, 2);
  EXPECT_EQ(Ui(1).labels, (Strings{"A"}));
  EXPECT_EQ(Table()->GetRowCount(), 4);
}

TEST_F(ProtNavBarTest, HidingEndsTheEditAndKeepsTheSelection) {
  ClickCell(2, 0);
  ASSERT_NE(Table()->CurrentEditor(), nullptr);
  page_->Hide();
  EXPECT_EQ(Table()->CurrentEditor(), nullptr);
  EXPECT_FALSE(page_->isVisible());
  EXPECT_EQ(page_->selection.size(), 3u);
  EXPECT_EQ(Ui(1).labels[1], "B");
}

TEST_F(ProtNavBarTest, AnEditLeftOpenDoesNotReachTheNextSelection) {
  ClickCell(2, 0);
  auto editor = std::dynamic_pointer_cast<NsWui::RtEdit>(Table()->CurrentEditor());
  ASSERT_NE(editor, nullptr);
  auto other = MakeSelection<QlEHostNavBar>(
      1, 0, [] { return std::make_shared<QlEHostNavBar>(NsDx2d::D2D_POINT_2F{}); });
  page_->Bind(other);
  // Closed without writing: nothing can be typed into it any more.
  EXPECT_EQ(Table()->CurrentEditor(), nullptr);
  EXPECT_FALSE(editor->Window()->isVisible());
  EXPECT_EQ(HostOf<QlEHostNavBar>(other[0])->_qlUi->labels[1], "页面1");
  EXPECT_EQ(Ui(1).labels[1], "B");
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtNavBarTest, TheVisibilityBlockEditsEveryBar) {
  Click(Item<QAbstractButton>(VisibilityBlock::IDC_ENABLE));
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Io(i).GetBaseIoDataConst()->enableVisib) << i;
    EXPECT_TRUE(Ui(i).inError) << i;
  }
  TypeAndConfirm(Item<NsWui::CConfirmEditCtrl>(VisibilityBlock::IDC_ADDRESS), "");
  EXPECT_EQ(TakeTip(), "可见性控制地址不能为空.");
  EXPECT_EQ(changes_, 1);
}

}  // namespace
}  // namespace NsOvrin::Testing
