#include <gtest/gtest.h>

#include <algorithm>

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include "FollowUpProbe.h"
#include "PageGroupsCheck.h"
#include "ProtPageFixture.h"
#include "dialogs/CDlgProtPageTo.h"
#include "dialogs/OpacitySlider.h"
#include "editor/QlEHostPageTo.h"
#include "project/ListenerRegistry.h"
#include "project/QlEProject.h"
#include "wui/CColorButton.h"
#include "wui/MfcEditBrowse.h"

namespace NsOvrin::Testing {
namespace {

using NsQlElemEditor::QlEHostPageTo;
using NsQlElemIo::QlPageToIo;
using NsQlUiElem::QlUiButtonData;
using NsWui::DlgItem;
using Page = CDlgProtPageTo;
using Group = ButtonLookGroup;

using Names = std::vector<std::string>;

Names ItemsOf(const QComboBox* combo) {
  Names names;
  for (int i = 0; i < combo->count(); ++i) names.push_back(combo->itemText(i).toStdString());
  return names;
}

// A project of three pages and three page-jump buttons, each its own: the
// second, anchored, jumps to "页面2", the first to the previous page, the
// third home.
class ProtPageToTest : public ProtPageFixture {
 protected:
  void SetUp() override {
    ProtPageFixture::SetUp();
    QlEProject& project = QlEProject::Instance();
    project.Reset(std::string());
    project.open = true;
    project.pageNames = {"页面1", "页面2", "主页"};
    project.homePage = "页面1";

    int n = 0;
    elems_ = MakeSelection<QlEHostPageTo>(3, 1, [&n] {
      auto host = std::make_shared<QlEHostPageTo>(NsDx2d::D2D_POINT_2F{0.0f, 40.0f * n});
      QlUiButtonData& ui = host->_qlUi->data;
      ui.text = "跳转" + std::to_string(n);
      ui.textColour = 0x10u + n;
      ui.borderColour = 0x20u + n;
      ui.bkColour = 0x30u + n;
      ui.fontSize = 100 + 40 * n;
      ui.borderStyle = 2 * n;
      ui.bkOpacity = n == 1 ? 0.29f : 1.0f;
      ui.imageStyle = n == 1 ? 1 : 0;
      ui.imagePath = "/img/jump" + std::to_string(n);
      ui.accessPermission = n == 1 ? 100 : 0;
      const int types[] = {0, 2, 1};
      host->_qlIo->jumpType = types[n];
      host->_qlIo->targetPage = n == 1 ? "页面2" : (n == 0 ? "页面1" : "");
      host->Revalidate();
      ++n;
      return host;
    });
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(Ui(i).inError) << Ui(i).errorText;
    page_ = std::make_unique<Page>();
    ShowPage(*page_, *page_);
    page_->Bind(elems_);
  }
  void TearDown() override {
    page_.reset();
    elems_.clear();
    QlEProject::Instance().Reset(std::string());
    ProtPageFixture::TearDown();
  }

  std::unique_ptr<Page> page_;
  std::vector<std::shared_ptr<UiElem>> elems_;

 public:
  std::shared_ptr<QlEHostPageTo> Host(int i) { return HostOf<QlEHostPageTo>(elems_[i]); }
  QlPageToIo& Io(int i) { return *Host(i)->_qlIo; }
  NsQlUiElem::QlUiButton& Ui(int i) { return *Host(i)->_qlUi; }
  QlUiButtonData& Data(int i) { return Ui(i).data; }
  template <class T>
  T* Item(int id) {
    return DlgItem<T>(page_.get(), id);
  }
  QComboBox* Combo(int id) { return Item<QComboBox>(id); }
  NsWui::ScriptedUiServices& Services() { return ui_; }
  std::string ComboText(int id) { return Combo(id)->currentText().toStdString(); }
  void Choose(int id, int index) {
    Combo(id)->setCurrentIndex(index);
    emit Combo(id)->activated(index);
  }
  void ArmProbes() {
    for (int i = 0; i < 3; ++i) ArmFollowUpProbe(*Host(i));
  }
  void ExpectFollowUp(SeenFollowUp expected) {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ReadFollowUpProbe(*Host(i)), expected) << i;
  }
  void DisarmProbes() {
    for (int i = 0; i < 3; ++i) DisarmFollowUpProbe(*Host(i));
  }
  static void NotifyRenamed(const std::string& oldName, const std::string& newName) {
    NotifyListeners(PageListener::GetRegistry(),
                    [&](PageListener* listener) { listener->OnPageRenamed(oldName, newName); });
  }
};

TEST_F(ProtPageToTest, BindShowsTheAnchoredButtonAndWritesNothing) {
  EXPECT_EQ(TextOf(page_.get(), Group::IDC_TEXT), "跳转1");
  EXPECT_EQ(Item<NsWui::CColorButton>(Group::IDC_TEXT_COLOR)->swatchColour, 0x11u);
  EXPECT_EQ(Item<NsWui::CColorButton>(Group::IDC_BORDER_COLOR)->swatchColour, 0x21u);
  EXPECT_EQ(Item<NsWui::CColorButton>(Group::IDC_BK_COLOR)->swatchColour, 0x31u);
  EXPECT_EQ(Item<NsWui::CColorButton>(Group::IDC_BORDER_COLOR)->text().toStdString(), "边框颜色");
  EXPECT_EQ(ComboText(Group::IDC_FONT_SIZE), "14");
  EXPECT_EQ(Item<QSlider>(Group::IDC_OPACITY)->value(), 29);
  EXPECT_EQ(ComboText(Page::IDC_STYLE), "复选框");
  EXPECT_EQ(ComboText(Page::IDC_IMAGE_FIT), "拉伸平铺");
  EXPECT_EQ(TextOf(page_.get(), Page::IDC_IMAGE), "/img/jump1");
  EXPECT_EQ(Item<NsWui::MfcEditBrowse>(Page::IDC_IMAGE)->GetMode(), NsWui::MfcEditBrowse::Mode::File);
  EXPECT_EQ(ItemsOf(Combo(Page::IDC_JUMP_TYPE)), (Names{"前一个页面", "返回主页", "指定页面"}));
  EXPECT_EQ(ComboText(Page::IDC_JUMP_TYPE), "指定页面");
  EXPECT_EQ(ComboText(Page::IDC_USER_LEVEL), "厂商");
  // Three are selected: the project's pages, none of them chosen.
  QComboBox* pages = Combo(Page::IDC_COMBO6);
  EXPECT_TRUE(pages->isEnabled());
  EXPECT_EQ(ItemsOf(pages), (Names{"页面1", "页面2", "主页"}));
  EXPECT_EQ(pages->currentIndex(), -1);
  EXPECT_FALSE(page_->loading);

  EXPECT_EQ(changes_, 0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Data(i).text, "跳转" + std::to_string(i)) << i;
    EXPECT_EQ(Data(i).imagePath, "/img/jump" + std::to_string(i)) << i;
  }
  ExpectGroups(*page_, {1050, 1051, 1052, 1053, 1054},
               {{1047, "文字"}, {1048, "按钮样式"}, {1049, "页面转跳"}, {1055, "权限"},
                {1056, "可见性"}});

  // One button selected: its target is chosen in the list.
  const std::vector<std::shared_ptr<UiElem>> one = {elems_[1]};
  page_->Bind(one);
  EXPECT_EQ(ComboText(Page::IDC_COMBO6), "页面2");
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtPageToTest, WithoutRecordOrBindingTheDefaultsShow) {
  Host(1)->_qlUi.reset();
  Host(1)->_qlIo.reset();
  page_->Bind(elems_);
  EXPECT_EQ(TextOf(page_.get(), Group::IDC_TEXT), "");
  for (const int id : {Group::IDC_TEXT_COLOR, Group::IDC_BORDER_COLOR, Group::IDC_BK_COLOR}) {
    EXPECT_EQ(Item<NsWui::CColorButton>(id)->swatchColour, 0u) << id;
  }
  EXPECT_EQ(ComboText(Group::IDC_FONT_SIZE), "10");
  EXPECT_EQ(Item<QSlider>(Group::IDC_OPACITY)->value(), 100);
  EXPECT_EQ(ComboText(Page::IDC_STYLE), "平面按钮");
  EXPECT_EQ(ComboText(Page::IDC_IMAGE_FIT), "实际尺寸");
  EXPECT_EQ(TextOf(page_.get(), Page::IDC_IMAGE), "");
  // Home page by default: no page to choose.
  EXPECT_EQ(ComboText(Page::IDC_JUMP_TYPE), "返回主页");
  EXPECT_FALSE(Combo(Page::IDC_COMBO6)->isEnabled());
  EXPECT_EQ(ComboText(Page::IDC_USER_LEVEL), "无");
  EXPECT_EQ(changes_, 0);

  // Without an anchored host the colours and the jump list stay as they
  // were; the font size shows none.
  Choose(Page::IDC_JUMP_TYPE, 0);
  Item<NsWui::CColorButton>(Group::IDC_TEXT_COLOR)->swatchColour = 0x777777;
  elems_[1]->host.reset();
  page_->Bind(elems_);
  EXPECT_EQ(Item<NsWui::CColorButton>(Group::IDC_TEXT_COLOR)->swatchColour, 0x777777u);
  EXPECT_EQ(Combo(Group::IDC_FONT_SIZE)->currentIndex(), -1);
  EXPECT_EQ(ComboText(Page::IDC_JUMP_TYPE), "前一个页面");
  EXPECT_EQ(ComboText(Page::IDC_USER_LEVEL), "无");
}

TEST_F(ProtPageToTest, TheJumpTypeEnablesThePageListOnlyForANamedPage) {
  struct Case {
    int type;
    bool listEnabled;
  };
  const Case cases[] = {{0, false}, {2, true}, {1, false}, {2, true}};
  int expectedChanges = 0;
  for (const Case& c : cases) {
    Combo(Page::IDC_COMBO6)->clear();
    ArmProbes();
    Choose(Page::IDC_JUMP_TYPE, c.type);
    EXPECT_EQ(changes_, ++expectedChanges) << c.type;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).jumpType, c.type) << c.type << " " << i;
    ExpectFollowUp(SeenFollowUp::Check);
    EXPECT_EQ(Combo(Page::IDC_COMBO6)->isEnabled(), c.listEnabled) << c.type;
    // Refilled for a named page only, and never with a target of several.
    EXPECT_EQ(Combo(Page::IDC_COMBO6)->count(), c.listEnabled ? 3 : 0) << c.type;
    EXPECT_EQ(Combo(Page::IDC_COMBO6)->currentIndex(), -1) << c.type;
  }
  // The stored targets outlive a change of type.
  EXPECT_EQ(Io(0).targetPage, "页面1");
  EXPECT_EQ(Io(1).targetPage, "页面2");
  EXPECT_EQ(Io(2).targetPage, "");
  // A named jump without target is an error of the button itself.
  EXPECT_TRUE(Ui(2).inError);
  EXPECT_EQ(Ui(2).errorText, "跳转页面不能为空!");
  // Nothing is applied without a choice.
  Choose(Page::IDC_JUMP_TYPE, -1);
  EXPECT_EQ(changes_, expectedChanges);
}

TEST_F(ProtPageToTest, AChosenPageBecomesTheTargetOfEveryButton) {
  Choose(Page::IDC_JUMP_TYPE, 2);
  changes_ = 0;
  ArmProbes();
  Choose(Page::IDC_COMBO6, 2);
  EXPECT_EQ(changes_, 1);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).targetPage, "主页") << i;
  ExpectFollowUp(SeenFollowUp::Check);

  // Checked against the project: a page that has gone marks the button.
  DisarmProbes();
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(Ui(i).inError) << Ui(i).errorText;
  QlEProject::Instance().pageNames = {"页面1", "页面2"};
  Choose(Page::IDC_COMBO6, 1);
  Choose(Page::IDC_COMBO6, 2);
  for (int i = 0; i < 3; ++i) {
    EXPECT_TRUE(Ui(i).inError) << i;
    EXPECT_EQ(Ui(i).errorText, "跳转页面文件不存在!") << i;
  }
}

TEST_F(ProtPageToTest, AnUnknownStoredTypeLeavesTheJumpListAsItWas) {
  Choose(Page::IDC_JUMP_TYPE, 0);
  Io(1).jumpType = 7;
  page_->Bind(elems_);
  EXPECT_EQ(ComboText(Page::IDC_JUMP_TYPE), "前一个页面");
  EXPECT_FALSE(Combo(Page::IDC_COMBO6)->isEnabled());
}

TEST_F(ProtPageToTest, ThePageListFollowsTheProjectWhileShown) {
  const std::vector<std::shared_ptr<UiElem>> one = {elems_[1]};
  page_->Bind(one);
  QlEProject& project = QlEProject::Instance();

  std::string added = "页面4";
  ASSERT_TRUE(project.AddPage(added));
  EXPECT_EQ(ItemsOf(Combo(Page::IDC_COMBO6)), (Names{"页面1", "页面2", "主页", "页面4"}));
  EXPECT_EQ(ComboText(Page::IDC_COMBO6), "页面2");

  // The button's own host follows the rename; the list shows the new name.
  ASSERT_EQ(project.RenamePage("页面2", "第二页"), QlEProject::kRenameOk);
  NotifyRenamed("页面2", "第二页");
  EXPECT_EQ(Io(1).targetPage, "第二页");
  EXPECT_EQ(ItemsOf(Combo(Page::IDC_COMBO6)), (Names{"页面1", "第二页", "主页", "页面4"}));
  EXPECT_EQ(ComboText(Page::IDC_COMBO6), "第二页");

  ASSERT_TRUE(project.DeletePage("页面1"));
  EXPECT_EQ(ItemsOf(Combo(Page::IDC_COMBO6)), (Names{"第二页", "主页", "页面4"}));

  // Hidden, the list is left alone until the next bind.
  page_->Hide();
  added = "页面5";
  ASSERT_TRUE(project.AddPage(added));
  EXPECT_EQ(Combo(Page::IDC_COMBO6)->count(), 3);
  page_->show();
  page_->Bind(one);
  EXPECT_EQ(Combo(Page::IDC_COMBO6)->count(), 4);
  // Edits have been written to nothing meanwhile.
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtPageToTest, ARenameHeardBeforeTheButtonsHostStillSelectsTheNewName) {
  // A button made after the page hears of renames after it.
  auto later = MakeSelection<QlEHostPageTo>(1, 0, [] {
    auto host = std::make_shared<QlEHostPageTo>(NsDx2d::D2D_POINT_2F{});
    host->_qlIo->jumpType = NsQlElemIo::kPageJumpNamed;
    host->_qlIo->targetPage = "主页";
    return host;
  });
  const auto& registry = PageListener::GetRegistry();
  const auto pageAt = std::find(registry.begin(), registry.end(), page_.get());
  const auto hostAt = std::find(registry.begin(), registry.end(),
                                static_cast<PageListener*>(HostOf<QlEHostPageTo>(later[0]).get()));
  ASSERT_LT(pageAt, hostAt);
  page_->Bind(later);
  EXPECT_EQ(ComboText(Page::IDC_COMBO6), "主页");

  ASSERT_EQ(QlEProject::Instance().RenamePage("主页", "首页面"), QlEProject::kRenameOk);
  NotifyRenamed("主页", "首页面");
  EXPECT_EQ(HostOf<QlEHostPageTo>(later[0])->_qlIo->targetPage, "首页面");
  EXPECT_EQ(ComboText(Page::IDC_COMBO6), "首页面");
}

TEST_F(ProtPageToTest, TheLookIsWrittenToEveryButton) {
  struct Case {
    const char* what;
    std::function<void(ProtPageToTest&)> edit;
    std::function<bool(ProtPageToTest&, int)> written;
    SeenFollowUp followUp;
  };
  const auto colour = [](int id) {
    return [id](ProtPageToTest& t) {
      t.Services().PushColour(0xABCDEF);
      QTest::mouseClick(t.Item<QPushButton>(id), Qt::LeftButton);
    };
  };
  const Case cases[] = {
      {"text colour", colour(Group::IDC_TEXT_COLOR),
       [](ProtPageToTest& t, int i) { return t.Data(i).textColour == 0xABCDEF; }, SeenFollowUp::None},
      {"border colour", colour(Group::IDC_BORDER_COLOR),
       [](ProtPageToTest& t, int i) { return t.Data(i).borderColour == 0xABCDEF; },
       SeenFollowUp::None},
      {"back colour", colour(Group::IDC_BK_COLOR),
       [](ProtPageToTest& t, int i) { return t.Data(i).bkColour == 0xABCDEF; }, SeenFollowUp::None},
      {"font size", [](ProtPageToTest& t) { t.Choose(Group::IDC_FONT_SIZE, 4); },
       [](ProtPageToTest& t, int i) { return t.Data(i).fontSize == 120; }, SeenFollowUp::None},
      {"opacity",
       [](ProtPageToTest& t) {
         auto* slider = t.Item<OpacitySlider>(Group::IDC_OPACITY);
         slider->setValue(35);
         QTest::mouseRelease(slider, Qt::LeftButton);
       },
       [](ProtPageToTest& t, int i) { return t.Data(i).bkOpacity == 0.35f; }, SeenFollowUp::None},
      {"style", [](ProtPageToTest& t) { t.Choose(Page::IDC_STYLE, 3); },
       [](ProtPageToTest& t, int i) {
         return t.Data(i).borderStyle == 3 && t.Ui(i).painter.style == 3;
       },
       SeenFollowUp::None},
      {"picture fit", [](ProtPageToTest& t) { t.Choose(Page::IDC_IMAGE_FIT, 0); },
       [](ProtPageToTest& t, int i) { return t.Data(i).imageStyle == 0; }, SeenFollowUp::None},
      {"picture",
       [](ProtPageToTest& t) {
         t.Services().PushPath(std::string("/pics/door.png"));
         t.Item<NsWui::MfcEditBrowse>(Page::IDC_IMAGE)->OnBrowse();
       },
       [](ProtPageToTest& t, int i) { return t.Data(i).imagePath == "/pics/door.png"; },
       SeenFollowUp::Check},
      {"X", [](ProtPageToTest& t) { QTest::mouseClick(t.Item<QPushButton>(Page::IDC_CLEAR_IMAGE), Qt::LeftButton); },
       [](ProtPageToTest& t, int i) { return t.Data(i).imagePath.empty(); }, SeenFollowUp::Check},
      {"X again", [](ProtPageToTest& t) {
         t.Data(2).imagePath = "/pics/left.png";
         QTest::mouseClick(t.Item<QPushButton>(Page::IDC_CLEAR_IMAGE), Qt::LeftButton);
       },
       [](ProtPageToTest& t, int i) { return t.Data(i).imagePath.empty(); }, SeenFollowUp::Check},
      {"level", [](ProtPageToTest& t) { t.Choose(Page::IDC_USER_LEVEL, 3); },
       [](ProtPageToTest& t, int i) { return t.Data(i).accessPermission == 99; },
       SeenFollowUp::Revalidate},
  };
  int expectedChanges = 0;
  for (const Case& c : cases) {
    ArmProbes();
    c.edit(*this);
    EXPECT_EQ(changes_, ++expectedChanges) << c.what;
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(c.written(*this, i)) << c.what << " " << i;
    ExpectFollowUp(c.followUp);
    DisarmProbes();
  }
  // Each keystroke in the text renames every button.
  QLineEdit* text = Item<QLineEdit>(Group::IDC_TEXT);
  text->setFocus();
  text->end(false);
  QTest::keyClicks(text, QStringLiteral("AB"));
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Data(i).text, "跳转1AB") << i;
  EXPECT_EQ(changes_, expectedChanges + 2);
}

TEST_F(ProtPageToTest, AMissingPageListIsReportedAndTheRestHandled) {
  delete Combo(Page::IDC_COMBO6);
  Choose(Page::IDC_JUMP_TYPE, 0);
  EXPECT_EQ(ui_.MessageTexts(), (std::vector<std::string>{"无效的 Item id: IDC_COMBO6."}));
  const auto boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].caption, "提示");
  EXPECT_EQ(boxes[0].type, NsWui::MB_ICONERROR);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(Io(i).jumpType, 0) << i;
  ui_.calls.clear();
  page_->Bind(elems_);
  EXPECT_EQ(ui_.MessageTexts(), (std::vector<std::string>{"无效的 Item id: IDC_COMBO6."}));
  EXPECT_EQ(ComboText(Page::IDC_JUMP_TYPE), "前一个页面");
}

TEST_F(ProtPageToTest, ThePageLeavesThePageListenersWhenDestroyed) {
  const auto& registry = PageListener::GetRegistry();
  PageListener* listener = page_.get();
  EXPECT_EQ(std::count(registry.begin(), registry.end(), listener), 1);
  page_.reset();
  EXPECT_EQ(std::count(registry.begin(), registry.end(), listener), 0);
  std::string added = "页面9";
  EXPECT_TRUE(QlEProject::Instance().AddPage(added));
}

TEST_F(ProtPageToTest, TheVisibilityBlockEditsThePageJumpBindings) {
  Click(Item<QCheckBox>(VisibilityBlock::IDC_ENABLE));
  for (int i = 0; i < 3; ++i) EXPECT_TRUE(Io(i).GetBaseIoData()->enableVisib) << i;
  TypeAndConfirm(Item<NsWui::CConfirmEditCtrl>(VisibilityBlock::IDC_ADDRESS), "PLC1.0x5");
  EXPECT_EQ(TakeTip(), "");
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Io(i).GetBaseIoData()->addressForVisib, "PLC1.0x00005") << i;
    EXPECT_EQ(Io(i).GetVisibAddr().count, 1) << i;
  }
  EXPECT_EQ(changes_, 2);
}

}  // namespace
}  // namespace NsOvrin::Testing
