#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QRadioButton>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QWheelEvent>

#include "ProtPageFixture.h"
#include "dialogs/CDlgProtText.h"
#include "dialogs/ProtFillers.h"
#include "dialogs/ProtValidators.h"
#include "editor/QlEHostText.h"
#include "project/QlEProject.h"
#include "wui/CColorfulStatic.h"
#include "wui/CMtRadioButton.h"

namespace NsOvrin::Testing {
namespace {

using NsQlElemEditor::QlEHostText;
using NsUiD2ElemEditor::TUiHost;

using Items = std::vector<std::pair<std::string, int>>;

Items ItemsOf(const QComboBox& combo) {
  Items items;
  for (int i = 0; i < combo.count(); ++i) {
    items.emplace_back(combo.itemText(i).toStdString(),
                       combo.itemData(i).isValid() ? combo.itemData(i).toInt() : -1);
  }
  return items;
}

std::shared_ptr<QlEHostText> NewText() { return std::make_shared<QlEHostText>(NsDx2d::D2D_POINT_2F{}); }

// ---------------------------------------------------------------- anchored

TEST(GetAnchoredHostTest, TheFlaggedWrapperElseTheFirstElseNothing) {
  auto a = std::make_shared<UiElem>(NewText());
  auto b = std::make_shared<UiElem>(NewText());
  auto c = std::make_shared<UiElem>(NewText());
  b->anchored = true;
  EXPECT_EQ(GetAnchoredHost({a, b, c}), b->host);
  b->anchored = false;
  EXPECT_EQ(GetAnchoredHost({a, b, c}), a->host);
  EXPECT_EQ(GetAnchoredHost({}), nullptr);

  // A flagged wrapper without host gives nothing, not the next one.
  auto empty = std::make_shared<UiElem>();
  empty->anchored = true;
  EXPECT_EQ(GetAnchoredHost({a, empty, c}), nullptr);
}

// ----------------------------------------------------------------- fillers

TEST(ProtFillersTest, FontSizesAndTheirSelectionByLeadingText) {
  QComboBox combo;
  FillFontSizeCombo(combo);
  std::vector<std::string> texts;
  for (int i = 0; i < combo.count(); ++i) texts.push_back(combo.itemText(i).toStdString());
  EXPECT_EQ(texts, (std::vector<std::string>{"8", "9", "10", "11", "12", "13", "14", "15", "16",
                                             "18", "20", "22", "24", "26", "30", "34", "38",
                                             "42"}));

  const std::pair<int, std::string> cases[] = {
      {105, "10"}, {120, "12"}, {420, "42"}, {80, "8"},
      // "2" is where "20" begins.
      {20, "20"}};
  for (const auto& [size, shown] : cases) {
    combo.setCurrentIndex(-1);
    SelectFontSize(combo, size);
    EXPECT_EQ(combo.currentText().toStdString(), shown) << size;
  }
  // No item begins with "99": the selection stays.
  combo.setCurrentIndex(3);
  SelectFontSize(combo, 990);
  EXPECT_EQ(combo.currentIndex(), 3);
}

TEST(ProtFillersTest, DataTypesShowTheirNamesAndABitShowsNone) {
  QComboBox combo;
  const std::pair<uint32_t, int> cases[] = {{2, 0}, {4, 1}, {8, 2}, {16, 3}, {1, -1}};
  for (const auto& [flag, index] : cases) {
    FillDataTypeCombo(combo, flag);
    EXPECT_EQ(ItemsOf(combo), (Items{{"有符号 WORD(16bits)", 2},
                                     {"无符号 WORD(16bits)", 4},
                                     {"有符号 DWORD(32bits)", 8},
                                     {"无符号 DWORD(32bits)", 16}}));
    EXPECT_EQ(combo.currentIndex(), index) << flag;
  }
}

TEST(ProtFillersTest, FixedListsAndSelectionByData) {
  QComboBox combo;
  FillUserLevelCombo(combo);
  EXPECT_EQ(ItemsOf(combo),
            (Items{{"无", 0}, {"操作员", 1}, {"工程师", 2}, {"管理员", 99}, {"厂商", 100}}));
  SelectComboByData(combo, 99);
  EXPECT_EQ(combo.currentIndex(), 3);
  SelectComboByData(combo, 7);
  EXPECT_EQ(combo.currentIndex(), 0);

  FillButtonStyleCombo(combo, 4);
  EXPECT_EQ(ItemsOf(combo), (Items{{"平面按钮", 0}, {"凸起按钮", 1}, {"复选框", 2}, {"圆形", 3},
                                   {"Switch样式", 4}}));
  EXPECT_EQ(combo.currentIndex(), 4);
  FillButtonStyleCombo(combo, 9);
  EXPECT_EQ(combo.currentIndex(), -1);

  FillImageFitCombo(combo, 1);
  EXPECT_EQ(ItemsOf(combo), (Items{{"实际尺寸", 0}, {"拉伸平铺", 1}}));
  EXPECT_EQ(combo.currentIndex(), 1);
  FillImageFitCombo(combo, 2);
  EXPECT_EQ(combo.currentIndex(), -1);
}

TEST(ProtFillersTest, PageNamesInProjectOrderAndTheExactNameSelected) {
  QlEProject& project = QlEProject::Instance();
  const std::vector<std::string> saved = project.pageNames;
  project.pageNames = {"页面10", "页面1", "主页"};
  QComboBox combo;
  combo.addItem(QStringLiteral("old"));
  FillPageNameCombo(combo, "页面1");
  EXPECT_EQ(ItemsOf(combo), (Items{{"页面10", -1}, {"页面1", -1}, {"主页", -1}}));
  // "页面10" begins with "页面1" but is another page.
  EXPECT_EQ(combo.currentIndex(), 1);
  FillPageNameCombo(combo, "页面");
  EXPECT_EQ(combo.currentIndex(), -1);
  project.pageNames = saved;
}

TEST(ProtFillersTest, AlignmentSelectorsSelectWithoutNotice) {
  NsWui::CMtRadioButton selector;
  selector.resize(240, 26);
  int notices = 0;
  selector.selectionListener = [&](uint16_t, uint16_t) { ++notices; };
  const std::pair<void (*)(NsWui::CMtRadioButton&, uint16_t), std::vector<std::string>> kinds[] = {
      {&FillHAlignSelector, {"左对齐", "居中", "右对齐"}},
      {&FillVAlignSelector, {"顶对齐", "居中", "底对齐"}}};
  for (const auto& [fill, texts] : kinds) {
    fill(selector, 2);
    EXPECT_EQ(selector.count, 3);
    EXPECT_EQ(selector.currentIndex, 2);
    for (uint16_t i = 0; i < 3; ++i) {
      EXPECT_EQ(selector.Table()->GetCellText(0, i), texts[i]);
    }
    ASSERT_NE(selector.Table()->defBackColour, nullptr);
    EXPECT_EQ(*selector.Table()->defBackColour, 0xE0E0E0u);
  }
  EXPECT_EQ(notices, 0);
}

TEST(ProtFillersTest, VisibilityAddressOfTheBinding) {
  auto host = NewText();
  host->_qlIo->GetBaseIoData()->addressForVisib = "PLC1.0x3";
  EXPECT_EQ(GetVisibilityAddressText(host), "PLC1.0x3");
  host->_qlIo.reset();
  EXPECT_EQ(GetVisibilityAddressText(host), "");
  EXPECT_EQ(GetVisibilityAddressText(nullptr), "");
}

// -------------------------------------------------------------- validators

TEST(ProtValidatorsTest, ValuesByDataType) {
  using Validator = bool (*)(const std::string&, std::string&);
  struct Case {
    Validator validate;
    const char* text;
    const char* message;  // null: accepted
  };
  const char* notInt = "[预设值] 请输入整数类型的数字例如 (100, -100) 等等.";
  const char* notUnsigned = "[预设值] 请输入无符号类型的数字例如 (0， 100) 等等.";
  const Case cases[] = {
      {&ValidateInt16Value, "-32768", nullptr},
      {&ValidateInt16Value, "32767", nullptr},
      {&ValidateInt16Value, "32768", "[预设值] 数据必须在 -32768 ~ 32767 之间."},
      {&ValidateInt16Value, "1.5", notInt},
      {&ValidateUInt16Value, "65535", nullptr},
      {&ValidateUInt16Value, "65536", "[预设值] 数据必须在 0 ~ 65535 之间."},
      {&ValidateUInt16Value, "-1", notUnsigned},
      {&ValidateInt32Value, "-2147483648", nullptr},
      {&ValidateInt32Value, "2147483648", "[预设值] 数据必须在 -2147483648 ~ 2147483647 之间."},
      {&ValidateUInt32Value, "4294967295", nullptr},
      {&ValidateUInt32Value, "4294967296", "[预设值] 数据必须在 0 ~ 4294967295 之间."},
      {&ValidateUInt32Value, "x", notUnsigned},
  };
  for (const Case& c : cases) {
    std::string message = "untouched";
    EXPECT_EQ(c.validate(c.text, message), c.message == nullptr) << c.text;
    EXPECT_EQ(message, c.message ? c.message : "untouched") << c.text;
  }
}

// ------------------------------------------------------------- ProtEditor

class CountingEditor : public UiElemProtEditor {
 public:
  QWidget* GetWindow() override { return nullptr; }
  void Bind(const Selection& elems) override { selection = elems; }
};

TEST(ProtEditorTest, NotifyChangedCallsTheCallbackWhenThereIsOne) {
  CountingEditor editor;
  editor.NotifyChanged();  // no callback yet

  std::function<void()> empty;
  editor.changeCallback = &empty;
  editor.NotifyChanged();

  int calls = 0;
  std::function<void()> counter = [&] { ++calls; };
  editor.changeCallback = &counter;
  editor.NotifyChanged();
  EXPECT_EQ(calls, 1);
}

TEST(ProtEditorTest, EditsReachEverySelectedElementThatHasThePart) {
  CountingEditor editor;
  int calls = 0;
  std::function<void()> counter = [&] { ++calls; };
  editor.changeCallback = &counter;

  auto whole = NewText();
  auto noRecord = NewText();
  noRecord->_qlUi.reset();
  auto noBinding = NewText();
  noBinding->_qlIo.reset();
  editor.Bind({std::make_shared<UiElem>(whole), std::make_shared<UiElem>(noRecord),
               std::make_shared<UiElem>(noBinding), std::make_shared<UiElem>()});

  editor.ApplyToRecords<NsQlUiElem::QlUiText>(
      UiElemProtEditor::FollowUp::None, [](NsQlUiElem::QlUiText& ui) { ui.textBox.text = "新"; });
  EXPECT_EQ(whole->_qlUi->textBox.text, "新");
  EXPECT_EQ(noBinding->_qlUi->textBox.text, "新");
  EXPECT_EQ(calls, 1);

  editor.ApplyToBaseIoData(UiElemProtEditor::FollowUp::Check,
                           [](NsQlElemIo::BaseIoData& data) { data.enableVisib = true; });
  EXPECT_TRUE(whole->_qlIo->GetBaseIoData()->enableVisib);
  EXPECT_TRUE(noRecord->_qlIo->GetBaseIoData()->enableVisib);
  // The follow-up check marks the record that is there.
  EXPECT_TRUE(whole->_qlUi->inError);
  EXPECT_EQ(calls, 2);

  // Without a callback the edit still lands.
  editor.changeCallback = nullptr;
  editor.ApplyToRecords<NsQlUiElem::QlUiText>(
      UiElemProtEditor::FollowUp::None, [](NsQlUiElem::QlUiText& ui) { ui.textBox.text = "再"; });
  EXPECT_EQ(whole->_qlUi->textBox.text, "再");
  EXPECT_EQ(calls, 2);
}

// The text page serves as the page under test for what every page shares.
class ProtPageFrameTest : public ProtPageFixture {
 protected:
  void SetUp() override {
    ProtPageFixture::SetUp();
    page_ = std::make_unique<CDlgProtText>();
    elems_ = MakeSelection<QlEHostText>(3, 1, [] { return NewText(); });
    ShowPage(*page_, *page_);
    page_->Bind(elems_);
  }

  std::shared_ptr<QlEHostText> Host(int i) { return HostOf<QlEHostText>(elems_[i]); }
  QWidget* Item(int id) { return NsWui::GetDlgItem(page_.get(), id); }

  std::unique_ptr<CDlgProtText> page_;
  std::vector<std::shared_ptr<UiElem>> elems_;
};

TEST_F(ProtPageFrameTest, TheContentSizeIsMeasuredOnce) {
  EXPECT_EQ(page_->contentWidth, ProtDialog::kPageWidth);
  EXPECT_GT(page_->contentHeight, 300);
  // Every control lies inside the content.
  for (QWidget* child : page_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (child == page_->VScrollBar()) continue;
    EXPECT_LE(child->geometry().bottom(), page_->contentHeight) << child->objectName().toStdString();
    EXPECT_LE(child->geometry().right(), page_->contentWidth) << child->objectName().toStdString();
  }
}

TEST_F(ProtPageFrameTest, ScrollingMovesTheChildrenWithinTheRange) {
  QWidget* text = Item(CDlgProtText::IDC_TEXT);
  const int top = text->y();
  page_->resize(page_->width(), 100);
  const int maxPos = page_->contentHeight - 100 + 1;
  EXPECT_EQ(page_->MaxScrollPos(), maxPos);
  EXPECT_TRUE(page_->VScrollBar()->isVisible());
  EXPECT_EQ(page_->VScrollBar()->maximum(), maxPos);

  struct Step {
    int code;
    int thumb;
    int pos;
  };
  const Step steps[] = {
      {ProtEditor::SB_LINEDOWN, 0, 20},  {ProtEditor::SB_LINEDOWN, 0, 40},
      {ProtEditor::SB_LINEUP, 0, 20},    {ProtEditor::SB_LINEUP, 0, 0},
      {ProtEditor::SB_LINEUP, 0, 0},     {ProtEditor::SB_PAGEDOWN, 0, 100},
      {ProtEditor::SB_PAGEUP, 0, 0},     {ProtEditor::SB_THUMBTRACK, 77, 77},
      {ProtEditor::SB_THUMBPOSITION, 5, 5}, {ProtEditor::SB_ENDSCROLL, 99, 5},
      {ProtEditor::SB_BOTTOM, 0, maxPos}, {ProtEditor::SB_LINEDOWN, 0, maxPos},
      {ProtEditor::SB_TOP, 0, 0},        {ProtEditor::SB_THUMBTRACK, 100000, maxPos},
  };
  for (const Step& step : steps) {
    page_->OnVScroll(step.code, step.thumb);
    EXPECT_EQ(page_->scrollPos, step.pos) << step.code;
    EXPECT_EQ(page_->VScrollBar()->value(), step.pos) << step.code;
    EXPECT_EQ(text->y(), top - step.pos) << step.code;
  }

  // Made taller than the content, the page shows it all from the top.
  page_->resize(page_->width(), page_->contentHeight + 50);
  EXPECT_EQ(page_->scrollPos, 0);
  EXPECT_EQ(text->y(), top);
  EXPECT_FALSE(page_->VScrollBar()->isVisible());
}

TEST_F(ProtPageFrameTest, OneWheelMessageIsOneStepWhateverItsSize) {
  page_->resize(page_->width(), 200);
  const std::pair<int, int> wheels[] = {{-240, 20}, {-1, 40}, {0, 60}, {360, 40}, {1, 20}};
  for (const auto& [delta, pos] : wheels) {
    QWheelEvent wheel(QPointF(50, 50), page_->mapToGlobal(QPointF(50, 50)), QPoint(),
                      QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(page_.get(), &wheel);
    EXPECT_TRUE(wheel.isAccepted());
    EXPECT_EQ(page_->scrollPos, pos) << delta;
  }
}

TEST_F(ProtPageFrameTest, TheScrollBarDrivesThePage) {
  page_->resize(page_->width(), 200);
  page_->VScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(page_->scrollPos, 20);
  page_->VScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(page_->scrollPos, page_->MaxScrollPos());
  EXPECT_EQ(page_->VScrollBar()->value(), page_->MaxScrollPos());
}

TEST_F(ProtPageFrameTest, EnterAndEscapeLeaveThePageShownAndUnchanged) {
  for (const int id : {CDlgProtText::IDC_TEXT, CDlgProtText::IDC_FONT_SIZE}) {
    QWidget* control = Item(id);
    control->setFocus();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      QTest::keyClick(control, key);
      EXPECT_TRUE(page_->isVisible()) << id << " " << key;
    }
  }
  QTest::keyClick(page_.get(), Qt::Key_Escape);
  EXPECT_TRUE(page_->isVisible());
  EXPECT_EQ(changes_, 0);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Host(i)->_qlUi->textBox.text, "文字");
}

TEST_F(ProtPageFrameTest, SeparatorsAndCaptionsFollowTheTemplate) {
  ASSERT_EQ(page_->Separators().size(), 3u);
  const int lines[] = {CDlgProtText::IDC_LINE_TEXT, CDlgProtText::IDC_LINE_ALIGN,
                       CDlgProtText::IDC_LINE_VISIB};
  for (std::size_t i = 0; i < 3; ++i) {
    const NsWui::SeparatorLine& line = page_->Separators()[i];
    EXPECT_EQ(line.anchor, Item(lines[i]));
    EXPECT_FALSE(line.anchor->isVisible());
    EXPECT_EQ(line.colour, 0xC0C0C0u);
    EXPECT_TRUE(line.shown);
    EXPECT_TRUE(line.horizontal);
  }
  const std::pair<int, std::string> captions[] = {{CDlgProtText::IDC_CAPTION_TEXT, "文字"},
                                                  {CDlgProtText::IDC_CAPTION_ALIGN, "对齐"},
                                                  {CDlgProtText::IDC_CAPTION_VISIB, "可见性"}};
  for (const auto& [id, text] : captions) {
    auto* caption = NsWui::DlgItem<NsWui::CColorfulStatic>(page_.get(), id);
    ASSERT_NE(caption, nullptr) << id;
    EXPECT_EQ(caption->text().toStdString(), text);
    EXPECT_EQ(caption->textLayout.textColour, 0x555555u);
    EXPECT_EQ(caption->textLayout.fontSize, 90);
    EXPECT_EQ(caption->textLayout.alignment, 1);
    EXPECT_TRUE(caption->frameStyle.background);
    EXPECT_FALSE(caption->frameStyle.gradient);
    EXPECT_EQ(caption->frameStyle.backgroundColour, 0xD7E4E4u);
  }
  // Static texts are grey; check boxes keep the default colours.
  int statics = 0;
  for (const QLabel* each : page_->findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
    if (each->text() != QStringLiteral("地址:")) continue;
    ++statics;
    EXPECT_EQ(each->palette().color(QPalette::WindowText), QColor(0x70, 0x68, 0x60));
  }
  EXPECT_EQ(statics, 1);
}

TEST_F(ProtPageFrameTest, HideLetsTheSelectionGo) {
  std::weak_ptr<UiElem> watched = elems_[0];
  page_->Hide();
  EXPECT_FALSE(page_->isVisible());
  EXPECT_TRUE(page_->selection.empty());
  elems_.clear();
  EXPECT_TRUE(watched.expired());
}

// -------------------------------------------------------- visibility block

class VisibilityBlockTest : public ProtPageFrameTest {
 protected:
  NsWui::CConfirmEditCtrl* Address() {
    return NsWui::DlgItem<NsWui::CConfirmEditCtrl>(page_.get(), VisibilityBlock::IDC_ADDRESS);
  }
  QCheckBox* Enable() { return NsWui::DlgItem<QCheckBox>(page_.get(), VisibilityBlock::IDC_ENABLE); }
  QRadioButton* Radio(int id) { return NsWui::DlgItem<QRadioButton>(page_.get(), id); }
  NsQlElemIo::BaseIoData& Data(int i) { return *Host(i)->_qlIo->GetBaseIoData(); }
};

TEST_F(VisibilityBlockTest, LoadsTheAnchoredBindingAndDefaultsWithoutOne) {
  Data(1) = {true, true, "PLC1.0x00003"};
  Data(0) = {false, false, "PLC1.0x00009"};
  page_->Bind(elems_);
  EXPECT_EQ(Enable()->text().toStdString(), "启用");
  EXPECT_TRUE(Enable()->isChecked());
  EXPECT_TRUE(Radio(VisibilityBlock::IDC_RADIO1)->isChecked());
  EXPECT_FALSE(Radio(VisibilityBlock::IDC_RADIO2)->isChecked());
  EXPECT_EQ(Radio(VisibilityBlock::IDC_RADIO1)->text().toStdString(), "ON时显示, OFF时隐藏");
  EXPECT_EQ(Radio(VisibilityBlock::IDC_RADIO2)->text().toStdString(), "ON时隐藏, OFF时显示");
  EXPECT_EQ(Address()->text().toStdString(), "PLC1.0x00003");
  EXPECT_TRUE(Address()->isEnabled());
  EXPECT_TRUE(Radio(VisibilityBlock::IDC_RADIO2)->isEnabled());

  Host(1)->_qlIo.reset();
  page_->Bind(elems_);
  EXPECT_FALSE(Enable()->isChecked());
  EXPECT_FALSE(Radio(VisibilityBlock::IDC_RADIO1)->isChecked());
  EXPECT_TRUE(Radio(VisibilityBlock::IDC_RADIO2)->isChecked());
  EXPECT_EQ(Address()->text().toStdString(), "");
  EXPECT_FALSE(Address()->isEnabled());
  EXPECT_FALSE(Radio(VisibilityBlock::IDC_RADIO1)->isEnabled());
  EXPECT_EQ(changes_, 0);
}

TEST_F(VisibilityBlockTest, EnablingWithoutAddressMarksEveryElementInError) {
  Click(Enable());
  EXPECT_EQ(changes_, 1);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Data(i).enableVisib) << i;
    EXPECT_TRUE(Host(i)->_qlUi->inError) << i;
    EXPECT_EQ(Host(i)->_qlUi->errorText, "控制可见性的地址为空!") << i;
  }
  EXPECT_TRUE(Address()->isEnabled());
  EXPECT_TRUE(Radio(VisibilityBlock::IDC_RADIO1)->isEnabled());

  TypeAndConfirm(Address(), "  ");
  EXPECT_EQ(TakeTip(), "可见性控制地址不能为空.");
  EXPECT_TRUE(Address()->editing);
  EXPECT_EQ(changes_, 1);

  // Turning it off keeps the address and the mode.
  Data(0).addressForVisib = "PLC1.0x1";
  Click(Enable());
  EXPECT_FALSE(Data(0).enableVisib);
  EXPECT_EQ(Data(0).addressForVisib, "PLC1.0x1");
  EXPECT_FALSE(Address()->isEnabled());
  EXPECT_EQ(changes_, 2);
}

TEST_F(VisibilityBlockTest, AddressesAreCheckedAsBitsInADataBlock) {
  Click(Enable());
  const std::pair<const char*, const char*> refused[] = {
      {"PLC9.0x1", "没有找到相应的节点"},
      {"PLC1.4x1", "数据类型与地址不匹配"},
      {"PLC1.0x100", "不在预定义的数据块内"},
      {"PLC1.zz1", "格式错误"},
  };
  for (const auto& [text, message] : refused) {
    TypeAndConfirm(Address(), text);
    EXPECT_EQ(TakeTip(), message) << text;
  }
  EXPECT_EQ(changes_, 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Data(i).addressForVisib, "") << i;

  // Leaving the refused text restores the one before editing.
  Item(CDlgProtText::IDC_TEXT)->setFocus();
  EXPECT_FALSE(Address()->editing);
  EXPECT_EQ(Address()->text().toStdString(), "");

  TypeAndConfirm(Address(), "PLC1.0x3");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(Address()->text().toStdString(), "PLC1.0x00003");
  EXPECT_EQ(changes_, 2);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Data(i).addressForVisib, "PLC1.0x00003") << i;
    // Bound again: the error of the empty address is gone.
    EXPECT_NE(Host(i)->_qlIo->GetVisibTask(), nullptr) << i;
    EXPECT_FALSE(Host(i)->_qlUi->inError) << i;
  }
}

TEST_F(VisibilityBlockTest, TheRadiosWriteTheModeEvenWhenUnchanged) {
  Click(Enable());
  changes_ = 0;
  Click(Radio(VisibilityBlock::IDC_RADIO1));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Data(i).showWhenTrue) << i;
  EXPECT_EQ(changes_, 1);
  Click(Radio(VisibilityBlock::IDC_RADIO2));
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(Data(i).showWhenTrue) << i;
  EXPECT_EQ(changes_, 2);
  Click(Radio(VisibilityBlock::IDC_RADIO2));
  EXPECT_EQ(changes_, 3);
  EXPECT_TRUE(Radio(VisibilityBlock::IDC_RADIO2)->isChecked());
}

TEST_F(VisibilityBlockTest, WithoutAnchoredElementTheAddressIsASystemError) {
  std::string message;
  EXPECT_FALSE(ValidateVisibilityAddress(nullptr, "PLC1.0x3", message));
  EXPECT_EQ(message, "系统错误: 无效的控件.");
  EXPECT_TRUE(ValidateVisibilityAddress(Host(0), " PLC1.0x3 ", message));
}

TEST_F(VisibilityBlockTest, AMissingRadioIsReportedAndTheRestHandled) {
  delete Radio(VisibilityBlock::IDC_RADIO1);
  EnableVisibilityControls(page_.get(), true);
  EXPECT_EQ(ui_.MessageTexts(), (std::vector<std::string>{"无效的 Item id: IDC_RADIO1."}));
  const auto boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "提示");
  EXPECT_EQ(boxes[0].type, NsWui::MB_ICONERROR);
  EXPECT_TRUE(Address()->isEnabled());
  EXPECT_TRUE(Radio(VisibilityBlock::IDC_RADIO2)->isEnabled());
}

}  // namespace
}  // namespace NsOvrin::Testing
