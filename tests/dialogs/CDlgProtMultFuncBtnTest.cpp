#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QPushButton>

#include "FollowUpProbe.h"
#include "FuncTableDriver.h"
#include "PageGroupsCheck.h"
#include "ProtPageFixture.h"
#include "dialogs/CDlgProtMultFuncBtn.h"
#include "dialogs/OpacitySlider.h"
#include "editor/QlEHostMultFuncBtn.h"
#include "project/QlEProject.h"
#include "wui/CColorButton.h"

namespace NsOvrin::Testing {
namespace {

using NsQlElemEditor::QlEHostMultFuncBtn;
using NsQlElemIo::QlMultFuncBtnIo;
using NsQlUiElem::QlUiButtonData;
using NsWui::DlgItem;
using Page = CDlgProtMultFuncBtn;
using Group = ButtonLookGroup;

// Three multi-function buttons, each its own, with one instruction line
// each that has not been compiled; the second is anchored.
class ProtMultFuncBtnTest : public ProtPageFixture {
 protected:
  void SetUp() override {
    ProtPageFixture::SetUp();
    int n = 0;
    elems_ = MakeSelection<QlEHostMultFuncBtn>(3, 1, [&n] {
      auto host = std::make_shared<QlEHostMultFuncBtn>(NsDx2d::D2D_POINT_2F{0.0f, 40.0f * n});
      QlUiButtonData& ui = host->_qlUi->data;
      ui.text = "功能" + std::to_string(n);
      ui.textColour = 0x10u + n;
      ui.borderColour = 0x20u + n;
      ui.bkColour = 0x30u + n;
      ui.fontSize = 180 + 20 * n;
      ui.borderStyle = n == 1 ? 4 : 0;
      ui.bkOpacity = n == 1 ? 0.5f : 1.0f;
      ui.accessPermission = n == 1 ? 1 : 0;
      host->_qlIo->funcList.sourceLines = {"SET PLC1.0x" + std::to_string(n + 1)};
      ++n;
      return host;
    });
    page_ = std::make_unique<Page>();
    ShowPage(*page_, *page_);
    page_->Bind(elems_);
  }

  std::unique_ptr<Page> page_;
  std::vector<std::shared_ptr<UiElem>> elems_;

 public:
  std::shared_ptr<QlEHostMultFuncBtn> Host(int i) { return HostOf<QlEHostMultFuncBtn>(elems_[i]); }
  QlMultFuncBtnIo& Io(int i) { return *Host(i)->_qlIo; }
  QlUiButtonData& Data(int i) { return Host(i)->_qlUi->data; }
  template <class T>
  T* Item(int id) {
    return DlgItem<T>(page_.get(), id);
  }
  std::string ComboText(int id) { return Item<QComboBox>(id)->currentText().toStdString(); }
  void Choose(int id, int index) {
    QComboBox* combo = Item<QComboBox>(id);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
  NsWui::ScriptedUiServices& Services() { return ui_; }
};

TEST_F(ProtMultFuncBtnTest, BindShowsTheAnchoredButtonAndWritesNothing) {
  EXPECT_EQ(TextOf(page_.get(), Group::IDC_TEXT), "功能1");
  EXPECT_EQ(Item<NsWui::CColorButton>(Group::IDC_TEXT_COLOR)->swatchColour, 0x11u);
  EXPECT_EQ(Item<NsWui::CColorButton>(Group::IDC_BORDER_COLOR)->swatchColour, 0x21u);
  EXPECT_EQ(Item<NsWui::CColorButton>(Group::IDC_BK_COLOR)->swatchColour, 0x31u);
  EXPECT_EQ(ComboText(Group::IDC_FONT_SIZE), "20");
  EXPECT_EQ(Item<QSlider>(Group::IDC_OPACITY)->value(), 50);
  EXPECT_EQ(ComboText(Page::IDC_STYLE), "Switch样式");
  EXPECT_EQ(ComboText(Page::IDC_USER_LEVEL), "操作员");
  EXPECT_EQ(Item<QPushButton>(Page::IDC_SHOW_FUNCS)->text().toStdString(), "查看指令");
  EXPECT_FALSE(page_->loading);
  EXPECT_EQ(changes_, 0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Data(i).text, "功能" + std::to_string(i)) << i;
    EXPECT_TRUE(Io(i).funcList.functions.empty()) << i;
  }
  ExpectGroups(*page_, {1050, 1051, 1052, 1053, 1054},
               {{1047, "文字"}, {1048, "按钮样式"}, {1049, "权限"}, {1055, "可见性"},
                {1056, "指令"}});
}

TEST_F(ProtMultFuncBtnTest, WithoutRecordTheDefaultsShow) {
  Host(1)->_qlUi.reset();
  page_->Bind(elems_);
  EXPECT_EQ(TextOf(page_.get(), Group::IDC_TEXT), "");
  EXPECT_EQ(Item<NsWui::CColorButton>(Group::IDC_BK_COLOR)->swatchColour, 0u);
  EXPECT_EQ(ComboText(Group::IDC_FONT_SIZE), "10");
  EXPECT_EQ(Item<QSlider>(Group::IDC_OPACITY)->value(), 100);
  EXPECT_EQ(ComboText(Page::IDC_STYLE), "平面按钮");
  EXPECT_EQ(ComboText(Page::IDC_USER_LEVEL), "无");

  // Without an anchored host the access level stays as it was.
  Choose(Page::IDC_USER_LEVEL, 2);
  elems_[1]->host.reset();
  page_->Bind(elems_);
  EXPECT_EQ(ComboText(Page::IDC_USER_LEVEL), "工程师");
  EXPECT_EQ(Item<QComboBox>(Group::IDC_FONT_SIZE)->currentIndex(), -1);
}

TEST_F(ProtMultFuncBtnTest, TheLookAndLevelAreWrittenToEveryButton) {
  struct Case {
    const char* what;
    std::function<void(ProtMultFuncBtnTest&)> edit;
    std::function<bool(ProtMultFuncBtnTest&, int)> written;
    SeenFollowUp followUp;
  };
  const Case cases[] = {
      {"text colour",
       [](ProtMultFuncBtnTest& t) {
         t.Services().PushColour(0x0000FF);
         QTest::mouseClick(t.Item<QPushButton>(Group::IDC_TEXT_COLOR), Qt::LeftButton);
       },
       [](ProtMultFuncBtnTest& t, int i) { return t.Data(i).textColour == 0x0000FF; },
       SeenFollowUp::None},
      {"opacity",
       [](ProtMultFuncBtnTest& t) {
         auto* slider = t.Item<OpacitySlider>(Group::IDC_OPACITY);
         slider->setValue(35);
         QTest::mouseRelease(slider, Qt::LeftButton);
       },
       [](ProtMultFuncBtnTest& t, int i) { return t.Data(i).bkOpacity == 0.35f; },
       SeenFollowUp::None},
      {"font size", [](ProtMultFuncBtnTest& t) { t.Choose(Group::IDC_FONT_SIZE, 0); },
       [](ProtMultFuncBtnTest& t, int i) { return t.Data(i).fontSize == 80; }, SeenFollowUp::None},
      {"style", [](ProtMultFuncBtnTest& t) { t.Choose(Page::IDC_STYLE, 1); },
       [](ProtMultFuncBtnTest& t, int i) {
         return t.Data(i).borderStyle == 1 && t.Host(i)->_qlUi->painter.style == 1;
       },
       SeenFollowUp::None},
      {"level", [](ProtMultFuncBtnTest& t) { t.Choose(Page::IDC_USER_LEVEL, 3); },
       [](ProtMultFuncBtnTest& t, int i) { return t.Data(i).accessPermission == 99; },
       SeenFollowUp::Revalidate},
  };
  int expectedChanges = 0;
  for (const Case& c : cases) {
    for (int i = 0; i < 3; ++i) ArmFollowUpProbe(*Host(i));
    c.edit(*this);
    EXPECT_EQ(changes_, ++expectedChanges) << c.what;
    for (int i = 0; i < 3; ++i) {
      EXPECT_TRUE(c.written(*this, i)) << c.what << " " << i;
      EXPECT_EQ(ReadFollowUpProbe(*Host(i)), c.followUp) << c.what << " " << i;
    }
    for (int i = 0; i < 3; ++i) DisarmFollowUpProbe(*Host(i));
  }
  // Each keystroke in the text renames every button; a new bind writes
  // nothing.
  QLineEdit* text = Item<QLineEdit>(Group::IDC_TEXT);
  text->setFocus();
  text->end(false);
  QTest::keyClicks(text, QStringLiteral("!"));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Data(i).text, "功能1!") << i;
  page_->Bind({elems_[0]});
  EXPECT_EQ(TextOf(page_.get(), Group::IDC_TEXT), "功能1!");
  EXPECT_EQ(changes_, expectedChanges + 1);
}

TEST_F(ProtMultFuncBtnTest, ANewAccessLevelRecompilesEveryInstructionList) {
  Choose(Page::IDC_USER_LEVEL, 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Data(i).accessPermission, 99) << i;
    EXPECT_EQ(Io(i).funcList.functions.size(), 1u) << i;
  }
  // Filling the page does not count as a choice.
  page_->Bind(elems_);
  EXPECT_EQ(changes_, 1);
}

TEST_F(ProtMultFuncBtnTest, TheInstructionReferenceIsShownAndOutlivesTheSelection) {
  QPushButton* show = Item<QPushButton>(Page::IDC_SHOW_FUNCS);
  // Nothing to show until the application hands the window over.
  QTest::mouseClick(show, Qt::LeftButton);

  QDialog reference;
  int asked = 0;
  page_->funcListWindow = [&] {
    ++asked;
    return &reference;
  };
  QTest::mouseClick(show, Qt::LeftButton);
  EXPECT_TRUE(reference.isVisible());
  QTest::mouseClick(show, Qt::LeftButton);
  EXPECT_TRUE(reference.isVisible());
  EXPECT_EQ(asked, 2);

  page_->Bind({elems_[2]});
  page_->Hide();
  EXPECT_TRUE(reference.isVisible());
  reference.close();
  page_->show();
  QTest::mouseClick(show, Qt::LeftButton);
  EXPECT_TRUE(reference.isVisible());
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtMultFuncBtnTest, TheVisibilityBlockEditsTheButtonBindings) {
  Click(Item<QCheckBox>(VisibilityBlock::IDC_ENABLE));
  TypeAndConfirm(Item<NsWui::CConfirmEditCtrl>(VisibilityBlock::IDC_ADDRESS), "PLC1.0x6");
  EXPECT_EQ(TakeTip(), "");
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Io(i).GetBaseIoData()->enableVisib) << i;
    EXPECT_EQ(Io(i).GetBaseIoData()->addressForVisib, "PLC1.0x00006") << i;
    // Bound again, which compiles the instructions too.
    EXPECT_EQ(Io(i).funcList.functions.size(), 1u) << i;
  }
  EXPECT_EQ(changes_, 2);
}

TEST_F(ProtMultFuncBtnTest, TheTableEditsTheAnchoredButtonsLinesOnly) {
  CtrlQlFuncList& table = *page_->funcTable;
  ASSERT_EQ(NsWui::GetDlgItem(page_.get(), Page::IDC_FUNC_TABLE), &table);
  EXPECT_EQ(Item<QPushButton>(Page::IDC_DELETE_ROWS)->text().toStdString(), "删除勾选的行");
  EXPECT_EQ(FuncRows(table), (std::vector<FuncRow>{{"SET PLC1.0x2", "", true}, {"", "", false}}));

  QlEProject& project = QlEProject::Instance();
  project.modified = false;
  EXPECT_EQ(EnterLine(table, ui_, 2, "rst PLC1.0x7"), std::vector<std::string>{});
  EXPECT_EQ(EnterLine(table, ui_, 3, "SET PLC1.4x1"), std::vector<std::string>{"写地址与数据类型不兼容."});
  table.EndEdit();
  EXPECT_EQ(Io(1).funcList.sourceLines, (std::vector<std::string>{"SET PLC1.0x2", "RST PLC1.0x00007"}));
  EXPECT_EQ(Io(0).funcList.sourceLines, std::vector<std::string>{"SET PLC1.0x1"});
  EXPECT_EQ(Io(2).funcList.sourceLines, std::vector<std::string>{"SET PLC1.0x3"});
  EXPECT_TRUE(project.modified);
  // The accepted line marks the page as every edit does; the refused one
  // does not. Nothing is compiled yet.
  EXPECT_EQ(changes_, 1);
  EXPECT_TRUE(Io(1).funcList.functions.empty());

  // Another anchored button brings its own lines.
  elems_[1]->anchored = false;
  elems_[2]->anchored = true;
  page_->Bind(elems_);
  EXPECT_EQ(FuncRows(table), (std::vector<FuncRow>{{"SET PLC1.0x3", "", true}, {"", "", false}}));
  // Without a binding only the header shows.
  Host(2)->_qlIo.reset();
  page_->Bind(elems_);
  EXPECT_EQ(table.GetRowCount(), 1);
  project.modified = false;
}

TEST_F(ProtMultFuncBtnTest, TickedInstructionRowsAreDeleted) {
  CtrlQlFuncList& table = *page_->funcTable;
  Io(1).funcList.sourceLines = {"SET PLC1.0x1", "foo", "退出登录"};
  page_->Bind(elems_);
  QlEProject& project = QlEProject::Instance();
  project.modified = false;
  QPushButton* remove = Item<QPushButton>(Page::IDC_DELETE_ROWS);
  // Nothing ticked: nothing changes.
  QTest::mouseClick(remove, Qt::LeftButton);
  EXPECT_EQ(Io(1).funcList.sourceLines.size(), 3u);
  EXPECT_FALSE(project.modified);
  EXPECT_EQ(changes_, 0);

  TickRow(table, 1);
  TickRow(table, 2);
  QTest::mouseClick(remove, Qt::LeftButton);
  EXPECT_EQ(Io(1).funcList.sourceLines, std::vector<std::string>{"退出登录"});
  EXPECT_EQ(FuncRows(table), (std::vector<FuncRow>{{"退出登录", "", true}, {"", "", false}}));
  EXPECT_TRUE(project.modified);
  EXPECT_EQ(changes_, 1);
  project.modified = false;
}

}  // namespace
}  // namespace NsOvrin::Testing
