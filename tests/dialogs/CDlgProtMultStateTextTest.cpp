#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>

#include "ProtPageFixture.h"
#include "dialogs/CDlgProtMultStateText.h"
#include "dialogs/CDlgTextInfo.h"
#include "editor/QlEHostMultStateText.h"
#include "wui/CMtRadioButton.h"
#include "wui/ModalDriver.h"
#include "wui/RtConfirmEdit.h"
#include "wui/WReportCtrl.h"

namespace NsOvrin::Testing {
namespace {

using NsQlElemEditor::QlEHostMultStateText;
using NsQlElemIo::QlMultStateTextIo;
using NsQlUiElem::MultStateItem;
using NsQlUiElem::QlUiMultStateText;
using NsWui::DlgItem;
using NsWui::UiCall;
using Values = std::vector<uint32_t>;
using Texts = std::vector<std::string>;
using Rows = std::vector<std::vector<std::string>>;

MultStateItem Look(const std::string& text) {
  MultStateItem item = NsQlUiElem::DefaultMultStateItem();
  item.text = text;
  return item;
}

TEST(MultStateNextValueTest, OneAboveTheLargestUnderTheKindWrapping) {
  struct Case {
    int32_t kind;
    Values values;
    const char* next;
  };
  const Case cases[] = {
      {1, {}, "0"},
      {1, {5, 0xFFFDu}, "6"},          // -3 is below 5
      {1, {0x7FFFu, 2}, "-32768"},     // wraps in 16 bits
      {1, {0xFFFFu}, "0"},             // -1
      {2, {0xFFFFu, 3}, "0"},          // 65535 wraps
      {2, {0xFFFDu, 5}, "65534"},
      {3, {0xFFFFFFFFu, 9}, "10"},     // -1 is below 9
      {3, {0x7FFFFFFFu}, "-2147483648"},
      {4, {0xFFFFu, 12}, "65536"},
      {4, {0xFFFFFFFFu}, "0"},
      {4, {0x80000000u, 1}, "2147483649"},
  };
  for (const Case& c : cases) {
    QlMultStateTextIo io;
    io.valueKind = c.kind;
    io.stateValues = c.values;
    EXPECT_EQ(CDlgProtMultStateText::NextStateValue(&io), c.next) << c.kind;
  }
  EXPECT_EQ(CDlgProtMultStateText::NextStateValue(nullptr), "0");
}

TEST(MultStateValueTextTest, StoredByKind) {
  const std::tuple<int32_t, const char*, uint32_t> cases[] = {
      {1, "-1", 0xFFFFu},     {2, "65535", 0xFFFFu},         {1, "-32768", 0x8000u},
      {3, "-1", 0xFFFFFFFFu}, {3, "2147483647", 0x7FFFFFFFu}, {4, "4294967295", 0xFFFFFFFFu},
      {4, "3000000000", 3000000000u}, {1, " 7", 7u},
  };
  for (const auto& [kind, text, value] : cases) {
    EXPECT_EQ(CDlgProtMultStateText::StateValueOfText(kind, text), value) << kind << " " << text;
  }
}

// Three multi-state texts of kind 1; the second anchored, with the states
// 5 and -3 and its read address on a holding register.
class ProtMultStateTest : public ProtPageFixture {
 protected:
  void SetUp() override {
    ProtPageFixture::SetUp();
    const Values values[] = {{7, 5}, {5, 0xFFFDu}, {1, 5, 9}};
    const Texts texts[] = {{"七0", "五0"}, {"五", "负三"}, {"一", "五2", "九2"}};
    int n = 0;
    elems_ = MakeSelection<QlEHostMultStateText>(3, 1, [&] {
      auto host = std::make_shared<QlEHostMultStateText>(NsDx2d::D2D_POINT_2F{0.0f, 30.0f * n});
      host->_qlIo->stateValues = values[n];
      host->_qlUi->states.clear();
      for (const std::string& text : texts[n]) host->_qlUi->states.push_back(Look(text));
      host->_qlIo->readAddress = "PLC1.4x0000" + std::to_string(n);
      host->Revalidate();
      host->_qlIo->forceRefresh = false;
      ++n;
      return host;
    });
    page_ = std::make_unique<CDlgProtMultStateText>();
    ShowPage(*page_, *page_);
    page_->Bind(elems_);
  }

  std::shared_ptr<QlEHostMultStateText> Host(int i) {
    return HostOf<QlEHostMultStateText>(elems_[i]);
  }
  QlMultStateTextIo& Io(int i) { return *Host(i)->_qlIo; }
  QlUiMultStateText& Ui(int i) { return *Host(i)->_qlUi; }
  NsWui::WReportCtrl* List() { return page_->StateList(); }
  QComboBox* DataType() {
    return DlgItem<QComboBox>(page_.get(), CDlgProtMultStateText::IDC_DATA_TYPE);
  }
  QPushButton* Button(int id) { return DlgItem<QPushButton>(page_.get(), id); }
  Texts StateTexts(int i) {
    Texts texts;
    for (const MultStateItem& item : Ui(i).states) texts.push_back(item.text);
    return texts;
  }
  Rows ListRows() {
    Rows rows;
    for (int row = 0; row < List()->topLevelItemCount(); ++row) {
      rows.push_back({List()->GetCellText(row, 0), List()->GetCellText(row, 1),
                      List()->GetCellText(row, 2)});
    }
    return rows;
  }
  void ClickCell(int row, int col) {
    const QRect cell = List()->GetCellRect(row, col).ToQRect();
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, cell.center());
  }
  NsWui::CConfirmEditCtrl* CellEditor() {
    auto editor = std::dynamic_pointer_cast<NsWui::RtConfirmEdit>(List()->CurrentEditor());
    return editor ? editor->Control() : nullptr;
  }
  // The dialog's balloons carry the reason in their title.
  std::string TakeDialogTip() {
    const auto tips = Tips();
    ui_.calls.clear();
    if (tips.size() != 1) return tips.empty() ? "" : "<several tips>";
    EXPECT_EQ(tips[0].text, "提示");
    return tips[0].caption;
  }

  std::unique_ptr<CDlgProtMultStateText> page_;
  std::vector<std::shared_ptr<UiElem>> elems_;
};

TEST_F(ProtMultStateTest, BindShowsTheAnchoredTypeAddressAndStates) {
  ASSERT_EQ(DataType()->count(), 4);
  const char* names[] = {"有符号WORD", "无符号WORD", "有符号DWORD", "无符号DWORD"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(DataType()->itemText(i).toStdString(), names[i]);
    EXPECT_EQ(DataType()->itemData(i).toInt(), i + 1);
  }
  EXPECT_EQ(DataType()->currentText().toStdString(), "有符号WORD");
  EXPECT_EQ(TextOf(page_.get(), CDlgProtMultStateText::IDC_ADDRESS), "PLC1.4x00001");
  EXPECT_EQ(ListRows(), (Rows{{"1", "5", "五"}, {"2", "-3", "负三"}}));
  const char* headers[] = {"序号", "数据", "文字(可双击编辑)"};
  const int widths[] = {60, 70, 180};
  for (int col = 0; col < 3; ++col) {
    EXPECT_EQ(List()->headerItem()->text(col).toStdString(), headers[col]);
    EXPECT_EQ(List()->columnWidth(col), widths[col]);
  }
  for (int row = 0; row < 2; ++row) {
    EXPECT_EQ(List()->topLevelItem(row)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(List()->topLevelItem(row)->sizeHint(0).height(), 26);
  }
  EXPECT_FALSE(Button(CDlgProtMultStateText::IDC_EDIT_TEXT)->isEnabled());
  EXPECT_EQ(changes_, 0);
  EXPECT_FALSE(Io(1).forceRefresh);

  // Another kind; a record beyond the values; no binding at all.
  Io(1).valueKind = 4;
  Ui(1).states.push_back(Look("多"));
  page_->Bind(elems_);
  EXPECT_EQ(DataType()->currentText().toStdString(), "无符号DWORD");
  EXPECT_EQ(ListRows(), (Rows{{"1", "5", "五"}, {"2", "65533", "负三"}, {"3", "", "多"}}));
  Host(1)->_qlIo.reset();
  page_->Bind(elems_);
  EXPECT_EQ(DataType()->currentText().toStdString(), "有符号WORD");
  EXPECT_EQ(TextOf(page_.get(), CDlgProtMultStateText::IDC_ADDRESS), "");
  EXPECT_EQ(ListRows(), (Rows{{"1", "", "五"}, {"2", "", "负三"}, {"3", "", "多"}}));
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtMultStateTest, ADataTypeIsWrittenWithoutConvertingTheValues) {
  DataType()->setCurrentIndex(1);
  emit DataType()->activated(1);
  EXPECT_EQ(changes_, 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Io(i).valueKind, 2) << i;
    EXPECT_TRUE(Io(i).forceRefresh) << i;
  }
  EXPECT_EQ(Io(1).stateValues, (Values{5, 0xFFFDu}));
  // -3 entered under kind 1 reads as 65533 now.
  EXPECT_EQ(ListRows(), (Rows{{"1", "5", "五"}, {"2", "65533", "负三"}}));
}

TEST_F(ProtMultStateTest, TheReadAddressIsAWordThatBindsInEveryElement) {
  auto* edit = DlgItem<NsWui::CConfirmEditCtrl>(page_.get(), CDlgProtMultStateText::IDC_ADDRESS);
  const std::pair<const char*, const char*> refused[] = {
      {"", "地址不能为空"},
      {"PLC1.0x1", "数据类型与地址不匹配"},
      {"PLC9.4x1", "没有找到相应的节点"},
      {"PLC1.4x500", "不在预定义的数据块内"},
  };
  for (const auto& [text, message] : refused) {
    TypeAndConfirm(edit, text);
    EXPECT_EQ(TakeTip(), message) << text;
  }
  EXPECT_EQ(changes_, 0);
  EXPECT_EQ(Io(0).readAddress, "PLC1.4x00000");

  Io(2).readAddress = "PLC9.4x1";
  Host(2)->Revalidate();
  ASSERT_TRUE(Ui(2).inError);
  TypeAndConfirm(edit, "PLC1.4x9");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(edit->text().toStdString(), "PLC1.4x00009");
  EXPECT_EQ(changes_, 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Io(i).readAddress, "PLC1.4x00009") << i;
    EXPECT_NE(Io(i).GetReadTask(), nullptr) << i;
    EXPECT_FALSE(Ui(i).inError) << i;
  }
}

TEST_F(ProtMultStateTest, ANewStateReachesEveryElementThatLacksItsValue) {
  std::string proposed;
  NsWui::WhenModal([&](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgTextInfo*>(modal);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle().toStdString(), "文本属性");
    auto* value = DlgItem<QLineEdit>(modal, CDlgTextInfo::IDC_VALUE);
    proposed = value->text().toStdString();
    EXPECT_TRUE(value->isEnabled());
    value->setText(QStringLiteral("  7 "));
    DlgItem<QLineEdit>(modal, CDlgTextInfo::IDC_TEXT)->setText(QStringLiteral("七"));
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgTextInfo::IDC_OK), Qt::LeftButton);
  });
  QTest::mouseClick(Button(CDlgProtMultStateText::IDC_ADD), Qt::LeftButton);
  EXPECT_EQ(proposed, "6");
  EXPECT_EQ(TakeDialogTip(), "");
  EXPECT_EQ(changes_, 1);
  // Only the anchored element's states are compared: the first one has 7.
  EXPECT_EQ(Io(0).stateValues, (Values{7, 5}));
  EXPECT_EQ(StateTexts(0), (Texts{"七0", "五0"}));
  EXPECT_EQ(Io(1).stateValues, (Values{5, 0xFFFDu, 7}));
  EXPECT_EQ(StateTexts(1), (Texts{"五", "负三", "七"}));
  EXPECT_EQ(Io(2).stateValues, (Values{1, 5, 9, 7}));
  EXPECT_EQ(Ui(2).states.back().fontSize, 100);
  EXPECT_EQ(ListRows(), (Rows{{"1", "5", "五"}, {"2", "-3", "负三"}, {"3", "7", "七"}}));
}

TEST_F(ProtMultStateTest, TheDialogRefusesValuesTheAnchoredElementCannotTake) {
  NsWui::WhenModal([&](QWidget* modal) {
    auto* value = DlgItem<QLineEdit>(modal, CDlgTextInfo::IDC_VALUE);
    auto* ok = DlgItem<QPushButton>(modal, CDlgTextInfo::IDC_OK);
    const std::pair<const char*, const char*> refused[] = {
        {"5", "数字已经存在, 请设置其它数字."},
        {" -3", "数字已经存在, 请设置其它数字."},
        {"  ", "数据不能为空!"},
        {"70000", "[数据] 数据必须在 -32768 ~ 32767 之间."},
        {"abc", "[数据] 请输入整数类型的数字例如 (100, -100) 等等."},
    };
    for (const auto& [text, message] : refused) {
      value->setText(QString::fromUtf8(text));
      QTest::mouseClick(ok, Qt::LeftButton);
      EXPECT_TRUE(modal->isVisible()) << text;
      EXPECT_EQ(TakeDialogTip(), message) << text;
      EXPECT_EQ(Tips().size(), 0u);
    }
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgTextInfo::IDC_CANCEL), Qt::LeftButton);
  });
  QTest::mouseClick(Button(CDlgProtMultStateText::IDC_ADD), Qt::LeftButton);
  EXPECT_EQ(changes_, 0);
  EXPECT_EQ(Io(2).stateValues, (Values{1, 5, 9}));
}

TEST_F(ProtMultStateTest, TheNewValueCheckUsesTheAnchoredKindAndStates) {
  std::string message;
  Io(1).valueKind = 2;
  Io(1).stateValues = {0xFFFFu};
  EXPECT_FALSE(page_->CheckNewValue("-1", message));
  EXPECT_EQ(message, "[数据] 请输入无符号类型的数字例如 (0， 100) 等等.");
  Io(1).valueKind = 1;
  EXPECT_FALSE(page_->CheckNewValue("-1", message));
  EXPECT_EQ(message, "数字已经存在, 请设置其它数字.");
  EXPECT_TRUE(page_->CheckNewValue("7", message));

  // Without binding every value passes; without element none does.
  Host(1)->_qlIo.reset();
  EXPECT_TRUE(page_->CheckNewValue("xyz", message));
  page_->selection.clear();
  EXPECT_FALSE(page_->CheckNewValue("7", message));
  EXPECT_EQ(message, "系统错误: anchoredElem == nullptr");
  EXPECT_FALSE(page_->ValidateCellValue("7", message));
  EXPECT_EQ(message, "系统错误: anchoredElem == nullptr");
  // Nothing to add to or edit.
  page_->OnAdd();
  page_->OnEditText();
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtMultStateTest, EditTextFollowsTheClickedColumn) {
  QPushButton* edit = Button(CDlgProtMultStateText::IDC_EDIT_TEXT);
  ClickCell(1, 2);
  EXPECT_TRUE(edit->isEnabled());
  EXPECT_EQ(CellEditor(), nullptr);
  ClickCell(0, 1);
  EXPECT_FALSE(edit->isEnabled());
  // The value column goes on to its editor.
  ASSERT_NE(CellEditor(), nullptr);
  EXPECT_TRUE(CellEditor()->isVisible());
  ClickCell(0, 0);
  EXPECT_TRUE(edit->isEnabled());
  // Beside the rows.
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                    QPoint(20, List()->viewport()->height() - 5));
  EXPECT_FALSE(edit->isEnabled());
  // Refilling the list keeps the button as it is.
  ClickCell(0, 2);
  page_->Bind(elems_);
  EXPECT_TRUE(edit->isEnabled());
  EXPECT_TRUE(ui_.calls.empty());
}

TEST_F(ProtMultStateTest, AMissingEditTextButtonIsReportedAndTheClickGoesOn) {
  delete Button(CDlgProtMultStateText::IDC_EDIT_TEXT);
  ClickCell(0, 1);
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"无效的 Item id: IDC_BUTTON7."});
  const auto boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "提示");
  EXPECT_EQ(boxes[0].type, NsWui::MB_ICONERROR);
  EXPECT_NE(CellEditor(), nullptr);
}

TEST_F(ProtMultStateTest, EditedTextReachesTheStateOfThatValueInEveryElement) {
  ClickCell(0, 2);
  MultStateItem chosen;
  NsWui::WhenModal([&](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgTextInfo*>(modal);
    ASSERT_NE(dialog, nullptr);
    auto* value = DlgItem<QLineEdit>(modal, CDlgTextInfo::IDC_VALUE);
    EXPECT_EQ(value->text().toStdString(), "5");
    EXPECT_FALSE(value->isEnabled());
    EXPECT_EQ(DlgItem<QLineEdit>(modal, CDlgTextInfo::IDC_TEXT)->text().toStdString(), "五");
    DlgItem<QLineEdit>(modal, CDlgTextInfo::IDC_TEXT)->setText(QStringLiteral("FIVE"));
    ui_.PushColour(0x0000FF);
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgTextInfo::IDC_TEXT_COLOR), Qt::LeftButton);
    // Whatever the value edit holds: the state keeps its value.
    value->setText(QStringLiteral("junk"));
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgTextInfo::IDC_OK), Qt::LeftButton);
    chosen = dialog->item;
  });
  QTest::mouseClick(Button(CDlgProtMultStateText::IDC_EDIT_TEXT), Qt::LeftButton);
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(chosen.text, "FIVE");
  EXPECT_EQ(chosen.textColour, 0x0000FFu);
  // Wherever the value 5 stands.
  EXPECT_EQ(StateTexts(0), (Texts{"七0", "FIVE"}));
  EXPECT_EQ(StateTexts(1), (Texts{"FIVE", "负三"}));
  EXPECT_EQ(StateTexts(2), (Texts{"一", "FIVE", "九2"}));
  EXPECT_EQ(Ui(2).states[1].textColour, 0x0000FFu);
  EXPECT_EQ(Io(2).stateValues, (Values{1, 5, 9}));
  EXPECT_EQ(ListRows(), (Rows{{"1", "5", "FIVE"}, {"2", "-3", "负三"}}));
}

TEST_F(ProtMultStateTest, ADoubleClickOpensTheDialogOfTheSelectedRow) {
  std::string shown;
  NsWui::WhenModal([&](QWidget* modal) {
    shown = DlgItem<QLineEdit>(modal, CDlgTextInfo::IDC_TEXT)->text().toStdString();
    DlgItem<QLineEdit>(modal, CDlgTextInfo::IDC_TEXT)->setText(QStringLiteral("changed"));
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgTextInfo::IDC_CANCEL), Qt::LeftButton);
  });
  // The first click of a double click selects the row.
  const QRect cell = List()->GetCellRect(1, 2).ToQRect();
  QTest::mouseClick(List()->viewport(), Qt::LeftButton, {}, cell.center());
  QTest::mouseDClick(List()->viewport(), Qt::LeftButton, {}, cell.center());
  EXPECT_EQ(shown, "负三");
  // Cancelled: nothing applied.
  EXPECT_EQ(changes_, 0);
  EXPECT_EQ(StateTexts(1), (Texts{"五", "负三"}));
}

TEST_F(ProtMultStateTest, TickedStatesGoFromEveryElementByValue) {
  // Nothing ticked: nothing happens.
  QTest::mouseClick(Button(CDlgProtMultStateText::IDC_DELETE), Qt::LeftButton);
  EXPECT_EQ(changes_, 0);

  List()->topLevelItem(0)->setCheckState(0, Qt::Checked);
  List()->topLevelItem(1)->setCheckState(0, Qt::Checked);
  QTest::mouseClick(Button(CDlgProtMultStateText::IDC_DELETE), Qt::LeftButton);
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(Io(0).stateValues, (Values{7}));
  EXPECT_EQ(StateTexts(0), (Texts{"七0"}));
  EXPECT_TRUE(Io(1).stateValues.empty());
  EXPECT_TRUE(Ui(1).states.empty());
  EXPECT_EQ(Io(2).stateValues, (Values{1, 9}));
  EXPECT_EQ(StateTexts(2), (Texts{"一", "九2"}));
  EXPECT_TRUE(ListRows().empty());
}

TEST_F(ProtMultStateTest, AValueEditedInPlaceIsCheckedForRangeOnly) {
  ClickCell(0, 1);
  NsWui::CConfirmEditCtrl* cell = CellEditor();
  ASSERT_NE(cell, nullptr);
  EXPECT_EQ(cell->text().toStdString(), "5");
  cell->selectAll();
  QTest::keyClicks(cell, QStringLiteral("70000"));
  QTest::keyClick(cell, Qt::Key_Return);
  EXPECT_EQ(TakeTip(), "[数据] 数据必须在 -32768 ~ 32767 之间.");
  EXPECT_EQ(changes_, 0);
  EXPECT_EQ(Io(1).stateValues, (Values{5, 0xFFFDu}));

  // A value that another state has is taken.
  cell->selectAll();
  QTest::keyClicks(cell, QStringLiteral("-3"));
  QTest::keyClick(cell, Qt::Key_Return);
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(List()->GetCellText(0, 1), "-3");
  EXPECT_EQ(Io(0).stateValues, (Values{0xFFFDu, 5}));
  EXPECT_EQ(Io(1).stateValues, (Values{0xFFFDu, 0xFFFDu}));
  EXPECT_EQ(Io(2).stateValues, (Values{0xFFFDu, 5, 9}));
}

TEST_F(ProtMultStateTest, InPlaceValuesSkipElementsWithoutThatRowOrKind) {
  Io(0).stateValues = {};
  Io(2).valueKind = 2;  // -3 is out of its range
  ClickCell(1, 1);
  NsWui::CConfirmEditCtrl* cell = CellEditor();
  ASSERT_NE(cell, nullptr);
  cell->selectAll();
  QTest::keyClicks(cell, QStringLiteral("-4"));
  QTest::keyClick(cell, Qt::Key_Return);
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(changes_, 1);
  EXPECT_TRUE(Io(0).stateValues.empty());
  EXPECT_EQ(Io(1).stateValues, (Values{5, 0xFFFCu}));
  EXPECT_EQ(Io(2).stateValues, (Values{1, 5, 9}));
}

TEST_F(ProtMultStateTest, AnUnsignedDoubleWordKeepsItsWholeRange) {
  DataType()->setCurrentIndex(3);
  emit DataType()->activated(3);
  ClickCell(0, 1);
  NsWui::CConfirmEditCtrl* cell = CellEditor();
  ASSERT_NE(cell, nullptr);
  cell->selectAll();
  QTest::keyClicks(cell, QStringLiteral("3000000000"));
  QTest::keyClick(cell, Qt::Key_Return);
  EXPECT_EQ(TakeTip(), "");
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).stateValues[0], 3000000000u) << i;
  page_->Bind(elems_);
  EXPECT_EQ(List()->GetCellText(0, 1), "3000000000");
}

TEST_F(ProtMultStateTest, TheVisibilityBlockEditsEveryElement) {
  Click(DlgItem<QAbstractButton>(page_.get(), VisibilityBlock::IDC_ENABLE));
  TypeAndConfirm(DlgItem<NsWui::CConfirmEditCtrl>(page_.get(), VisibilityBlock::IDC_ADDRESS),
                 "PLC1.0x2");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(changes_, 2);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).GetVisibAddress(), "PLC1.0x00002") << i;
}

TEST_F(ProtMultStateTest, HidingLetsTheSelectionGo) {
  ClickCell(0, 1);
  page_->Hide();
  EXPECT_FALSE(page_->isVisible());
  EXPECT_EQ(List()->CurrentEditor(), nullptr);
  EXPECT_TRUE(page_->selection.empty());
}

// ----------------------------------------------------------- the dialog

class TextInfoTest : public ::testing::Test {
 protected:
  NsWui::ScriptedUiServices ui_;
};

TEST_F(TextInfoTest, ANewStateStartsFromTheDefaultLook) {
  CDlgTextInfo dialog("");
  EXPECT_FALSE(dialog.editMode);
  EXPECT_EQ(dialog.item.text, "");
  EXPECT_EQ(dialog.item.textColour, 0x000000u);
  EXPECT_EQ(dialog.item.fontSize, 100);
  EXPECT_EQ(dialog.item.bkColour, 0xFFFFFFu);
  EXPECT_FLOAT_EQ(dialog.item.bkOpacity, 0.0f);
  EXPECT_EQ(dialog.item.horizontalAlignment, 0);
  EXPECT_EQ(dialog.item.verticalAlignment, 0);
  dialog.OnInitDialog();
  // An empty value shows as 0.
  EXPECT_EQ(DlgItem<QLineEdit>(&dialog, CDlgTextInfo::IDC_VALUE)->text().toStdString(), "0");
  EXPECT_EQ(DlgItem<QComboBox>(&dialog, CDlgTextInfo::IDC_FONT_SIZE)->currentText().toStdString(),
            "10");
}

TEST_F(TextInfoTest, EveryControlWritesItsFieldOfTheLook) {
  MultStateItem item = Look("原");
  item.fontSize = 105;
  item.bkOpacity = 0.29f;
  item.horizontalAlignment = 2;
  item.verticalAlignment = 1;
  CDlgTextInfo dialog("12", item);
  EXPECT_TRUE(dialog.editMode);
  NsWui::WhenModal([&](QWidget* modal) {
    EXPECT_FALSE(DlgItem<QLineEdit>(modal, CDlgTextInfo::IDC_VALUE)->isEnabled());
    EXPECT_EQ(DlgItem<QLineEdit>(modal, CDlgTextInfo::IDC_VALUE)->text().toStdString(), "12");
    auto* font = DlgItem<QComboBox>(modal, CDlgTextInfo::IDC_FONT_SIZE);
    EXPECT_EQ(font->currentText().toStdString(), "10");
    auto* slider = DlgItem<QSlider>(modal, CDlgTextInfo::IDC_OPACITY);
    EXPECT_EQ(slider->value(), 29);
    auto* hAlign = DlgItem<NsWui::CMtRadioButton>(modal, CDlgTextInfo::IDC_HALIGN);
    auto* vAlign = DlgItem<NsWui::CMtRadioButton>(modal, CDlgTextInfo::IDC_VALIGN);
    EXPECT_EQ(hAlign->currentIndex, 2);
    EXPECT_EQ(vAlign->currentIndex, 1);

    DlgItem<QLineEdit>(modal, CDlgTextInfo::IDC_TEXT)->setText(QStringLiteral(" 新 "));
    font->setCurrentIndex(font->findText(QStringLiteral("24")));
    emit font->activated(font->currentIndex());
    ui_.PushColour(0x112233);
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgTextInfo::IDC_BK_COLOR), Qt::LeftButton);
    slider->setValue(60);
    EXPECT_FLOAT_EQ(dialog.item.bkOpacity, 0.29f) << "taken on release only";
    QTest::mouseRelease(slider, Qt::LeftButton);
    hAlign->Select(0, true);
    vAlign->Select(2, true);
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgTextInfo::IDC_OK), Qt::LeftButton);
  });
  EXPECT_EQ(dialog.DoModal(), NsWui::IDOK);
  EXPECT_EQ(dialog.valueText, "12");
  EXPECT_EQ(dialog.item.text, " 新 ");
  EXPECT_EQ(dialog.item.fontSize, 240);
  EXPECT_EQ(dialog.item.bkColour, 0x112233u);
  EXPECT_EQ(dialog.item.textColour, 0x000000u);
  EXPECT_FLOAT_EQ(dialog.item.bkOpacity, 0.60f);
  EXPECT_EQ(dialog.item.horizontalAlignment, 0);
  EXPECT_EQ(dialog.item.verticalAlignment, 2);
  EXPECT_TRUE(ui_.CallsOf(UiCall::Kind::BalloonTip).empty());
}

TEST_F(TextInfoTest, ATrimmedValueThatPassesClosesTheDialog) {
  CDlgTextInfo dialog("3");
  std::vector<std::string> checked;
  dialog.validator = [&](const std::string& text, std::string&) {
    checked.push_back(text);
    return true;
  };
  NsWui::WhenModal([](QWidget* modal) {
    DlgItem<QLineEdit>(modal, CDlgTextInfo::IDC_VALUE)->setText(QStringLiteral("\t 7  "));
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgTextInfo::IDC_OK), Qt::LeftButton);
  });
  EXPECT_EQ(dialog.DoModal(), NsWui::IDOK);
  EXPECT_EQ(dialog.valueText, "7");
  EXPECT_EQ(checked, std::vector<std::string>{"7"});

  // Cancel.
  CDlgTextInfo cancelled("3");
  NsWui::WhenModal([](QWidget* modal) {
    QTest::mouseClick(DlgItem<QPushButton>(modal, CDlgTextInfo::IDC_CANCEL), Qt::LeftButton);
  });
  EXPECT_EQ(cancelled.DoModal(), NsWui::IDCANCEL);
}

TEST_F(TextInfoTest, AMissingValueEditIsReported) {
  CDlgTextInfo dialog("3");
  delete DlgItem<QLineEdit>(&dialog, CDlgTextInfo::IDC_VALUE);
  dialog.OnInitDialog();
  const auto boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "无效的 Item id: IDC_EDIT4.");
  EXPECT_EQ(boxes[0].caption, "提示");
  EXPECT_EQ(boxes[0].type, NsWui::MB_ICONERROR);
  EXPECT_FALSE(dialog.loading);
}

}  // namespace
}  // namespace NsOvrin::Testing
