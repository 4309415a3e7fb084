#include <gtest/gtest.h>
#include <stdlib.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "PageGroupsCheck.h"
#include "dialogs/CDlgProtPage.h"
#include "editor/QlEPage.h"
#include "project/PageListener.h"
#include "project/QlEProject.h"
#include "support/ScriptedUiServices.h"
#include "wui/CColorButton.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"

namespace NsOvrin::Testing {
namespace {

namespace fs = std::filesystem;
using NsWui::CConfirmEditCtrl;
using NsWui::DlgItem;
using NsWui::UiCall;
using Page = CDlgProtPage;

// Every rename and page change, as the project tree and the page windows
// hear them.
class RecordingPageListener : public PageListener {
 public:
  RecordingPageListener() { PageListener::Register(this); }
  ~RecordingPageListener() override {
    auto& registry = GetRegistry();
    std::erase(registry, static_cast<PageListener*>(this));
  }
  void OnPageAdded(const std::string&) override {}
  void OnActivatePage(const std::string&) override {}
  void OnPageDeleting(const std::string&) override {}
  void OnPageDeleted(const std::string&) override {}
  void OnPageRenamed(const std::string& oldName, const std::string& newName) override {
    renames.emplace_back(oldName, newName);
  }
  void OnPageChanged(const std::string& name, const PageProperties& properties) override {
    changes.push_back({name, properties});
  }

  struct Change {
    std::string name;
    PageProperties properties;
  };
  std::vector<std::pair<std::string, std::string>> renames;
  std::vector<Change> changes;
};

// A project of three pages in a temporary folder, each with its page file;
// the page "页面1" is being edited.
class ProtPageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string folder = (fs::temp_directory_path() / "protpageXXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    folder_ = folder;
    QlEProject& project = QlEProject::Instance();
    project.Reset(folder_);
    project.open = true;
    project.pageNames = {"页面1", "主页", "页面3"};
    project.homePage = "页面1";
    for (const std::string& name : project.pageNames) {
      std::ofstream(GetPageFilePath(folder_, name)) << name;
    }
    edited_ = std::make_shared<QlEPage>("页面1");
    edited_->rect = {10.0f, 20.0f, 810.0f, 620.0f};
    edited_->backgroundColour = 0x123456;
    edited_->accessPermission = 2;

    page_ = std::make_unique<Page>();
    page_->changeCallback = &callback_;
    page_->resize(ProtDialog::kPageWidth + 30, 600);
    page_->show();
    page_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(page_.get()));
    page_->Bind(edited_);
  }
  void TearDown() override {
    page_.reset();
    QlEProject::Instance().Reset(std::string());
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
  }

  CConfirmEditCtrl* Edit(int id) { return DlgItem<CConfirmEditCtrl>(page_.get(), id); }
  std::string Shown(int id) { return Edit(id)->text().toStdString(); }
  // Key by key, Chinese included, as an input method hands characters over.
  static void TypeText(QWidget* widget, const std::string& text) {
    for (const QChar ch : QString::fromStdString(text)) {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
      QApplication::sendEvent(widget, &press);
      QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
      QApplication::sendEvent(widget, &release);
    }
  }
  static void TypeAndConfirm(CConfirmEditCtrl* edit, const std::string& text) {
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->selectAll();
    if (text.empty()) {
      QTest::keyClick(edit, Qt::Key_Backspace);
    } else {
      TypeText(edit, text);
    }
    QTest::keyClick(edit, Qt::Key_Return);
  }
  std::string TakeTip() {
    const auto tips = ui_.CallsOf(UiCall::Kind::BalloonTip);
    ui_.calls.clear();
    if (tips.size() != 1) return tips.empty() ? "" : "<several tips>";
    EXPECT_EQ(tips[0].caption, "提示");
    return tips[0].text;
  }
  void ChooseLevel(int index) {
    auto* combo = DlgItem<QComboBox>(page_.get(), Page::IDC_USER_LEVEL);
    combo->setCurrentIndex(index);
    emit combo->activated(index);
  }
  bool PageFileExists(const std::string& name) {
    return fs::exists(GetPageFilePath(folder_, name));
  }

  std::string folder_;
  std::shared_ptr<QlEPage> edited_;
  NsWui::ScriptedUiServices ui_;
  RecordingPageListener listener_;
  int changes_ = 0;
  std::function<void()> callback_ = [this] { ++changes_; };
  std::unique_ptr<Page> page_;
};

TEST_F(ProtPageTest, BindShowsThePageAndWritesNothing) {
  EXPECT_EQ(Shown(Page::IDC_NAME), "页面1");
  EXPECT_EQ(DlgItem<NsWui::CColorButton>(page_.get(), Page::IDC_BK_COLOR)->swatchColour, 0x123456u);
  EXPECT_EQ(DlgItem<NsWui::CColorButton>(page_.get(), Page::IDC_BK_COLOR)->text().toStdString(),
            "背景颜色");
  EXPECT_EQ(Shown(Page::IDC_WIDTH), "800.0");
  EXPECT_EQ(Shown(Page::IDC_HEIGHT), "600.0");
  EXPECT_EQ(DlgItem<QComboBox>(page_.get(), Page::IDC_USER_LEVEL)->currentText().toStdString(),
            "工程师");
  // Only the name edit makes room for its OK and Cancel buttons.
  EXPECT_TRUE(Edit(Page::IDC_NAME)->buttonsEnabled);
  EXPECT_FALSE(Edit(Page::IDC_WIDTH)->buttonsEnabled);
  EXPECT_FALSE(Edit(Page::IDC_NAME)->editing);
  EXPECT_EQ(changes_, 0);
  EXPECT_TRUE(listener_.renames.empty());
  EXPECT_TRUE(listener_.changes.empty());
  ExpectGroups(*page_, {1050, 1051, 1052}, {{1047, "页面名称"}, {1048, "尺寸"}, {1049, "权限"}});
}

TEST_F(ProtPageTest, RenamingTrimsTheNameAndTellsTheListeners) {
  CConfirmEditCtrl* name = Edit(Page::IDC_NAME);
  const int idleWidth = name->width();
  name->setFocus();
  name->selectAll();
  TypeText(name, " 新页面 ");
  EXPECT_TRUE(name->editing);
  EXPECT_EQ(name->width(), idleWidth + NsWui::CConfirmEditBase::kButtonsWidth);
  QTest::keyClick(name, Qt::Key_Return);

  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(Shown(Page::IDC_NAME), "新页面");
  EXPECT_EQ(edited_->name, "新页面");
  const QlEProject& project = QlEProject::Instance();
  EXPECT_EQ(project.pageNames, (std::vector<std::string>{"新页面", "主页", "页面3"}));
  EXPECT_EQ(project.homePage, "新页面");
  EXPECT_TRUE(project.modified);
  // The file keeps its name until the project is saved.
  EXPECT_FALSE(PageFileExists("新页面"));
  EXPECT_TRUE(PageFileExists("页面1"));
  EXPECT_EQ(project.SavedPageName("新页面"), "页面1");
  EXPECT_EQ(listener_.renames,
            (std::vector<std::pair<std::string, std::string>>{{"页面1", "新页面"}}));
  // The project's own flag records a rename; the page is not marked.
  EXPECT_EQ(changes_, 0);

  // Its own name again: accepted, and the listeners are told.
  TypeAndConfirm(name, "新页面");
  EXPECT_EQ(TakeTip(), "");
  EXPECT_EQ(listener_.renames.size(), 2u);
  EXPECT_EQ(listener_.renames.back(), (std::pair<std::string, std::string>{"新页面", "新页面"}));
}

TEST_F(ProtPageTest, RefusedNamesKeepThePageAndItsFile) {
  const std::pair<const char*, const char*> cases[] = {
      {"主页", "新文件名称已经存在."},
      {" 页面3", "新文件名称已经存在."},
      {"a..b", "无效的新文件名称."},
      {".页面", "无效的新文件名称."},
      {"页 面", "无效的新文件名称."},
      {"", "无效的新文件名称."},
  };
  for (const auto& [text, message] : cases) {
    TypeAndConfirm(Edit(Page::IDC_NAME), text);
    EXPECT_EQ(TakeTip(), message) << text;
    EXPECT_TRUE(Edit(Page::IDC_NAME)->editing) << text;
  }
  // The Cancel button gives the old name back.
  QTest::mouseClick(Edit(Page::IDC_NAME)->CancelButton(), Qt::LeftButton);
  EXPECT_FALSE(Edit(Page::IDC_NAME)->editing);
  EXPECT_EQ(Shown(Page::IDC_NAME), "页面1");

  // A page the project does not list.
  edited_->name = "别的页面";
  page_->Bind(edited_);
  TypeAndConfirm(Edit(Page::IDC_NAME), "页面9");
  EXPECT_EQ(TakeTip(), "未知错误.");

  EXPECT_EQ(edited_->name, "别的页面");
  EXPECT_EQ(QlEProject::Instance().pageNames, (std::vector<std::string>{"页面1", "主页", "页面3"}));
  EXPECT_TRUE(PageFileExists("页面1"));
  EXPECT_FALSE(QlEProject::Instance().modified);
  EXPECT_TRUE(listener_.renames.empty());
  EXPECT_EQ(changes_, 0);
}

TEST_F(ProtPageTest, AConfirmedSizeMovesOnlyTheRightOrBottomEdge) {
  struct Case {
    int id;
    const char* text;
    const char* message;  // null: accepted
    NsDx2d::D2D_RECT_F rect;
  };
  const Case cases[] = {
      {Page::IDC_WIDTH, "20", nullptr, {10.0f, 20.0f, 30.0f, 620.0f}},
      {Page::IDC_WIDTH, "800", nullptr, {10.0f, 20.0f, 810.0f, 620.0f}},
      {Page::IDC_WIDTH, "19.9", "[数据] 数据必须大于等于20.0.", {}},
      {Page::IDC_WIDTH, "-800", "[数据] 数据必须大于等于20.0.", {}},
      {Page::IDC_WIDTH, "8e2", "[数据] 请输入浮点数类型的数字，例如 (0.213, -12.345) 等等.", {}},
      {Page::IDC_WIDTH, "", "[数据] 请输入浮点数类型的数字，例如 (0.213, -12.345) 等等.", {}},
      {Page::IDC_HEIGHT, "480.5", nullptr, {10.0f, 20.0f, 810.0f, 500.5f}},
      {Page::IDC_HEIGHT, "+100", nullptr, {10.0f, 20.0f, 810.0f, 120.0f}},
      {Page::IDC_HEIGHT, "0", "[数据] 数据必须大于等于20.0.", {}},
  };
  std::size_t announced = 0;
  int expectedChanges = 0;
  for (const Case& c : cases) {
    const NsDx2d::D2D_RECT_F before = edited_->rect;
    TypeAndConfirm(Edit(c.id), c.text);
    if (c.message != nullptr) {
      EXPECT_EQ(TakeTip(), c.message) << c.text;
      EXPECT_EQ(edited_->rect, before) << c.text;
      // Leaving the edit gives the refused text up.
      Edit(Page::IDC_NAME)->setFocus();
      EXPECT_FALSE(Edit(c.id)->editing) << c.text;
      continue;
    }
    EXPECT_EQ(TakeTip(), "") << c.text;
    EXPECT_EQ(edited_->rect, c.rect) << c.text;
    // The edit keeps the typed text.
    EXPECT_EQ(Shown(c.id), c.text);
    EXPECT_EQ(changes_, ++expectedChanges) << c.text;
    ASSERT_EQ(listener_.changes.size(), ++announced) << c.text;
    const auto& change = listener_.changes.back();
    EXPECT_EQ(change.name, "页面1");
    EXPECT_EQ(change.properties.backgroundColor, 0x123456);
    EXPECT_EQ(change.properties.rect.right, c.rect.right);
    EXPECT_EQ(change.properties.rect.bottom, c.rect.bottom);
    EXPECT_EQ(change.properties.rect.left, 10.0f);
  }
}

TEST_F(ProtPageTest, AWidthBeyondEveryCoordinateStopsAtTheLargest) {
  const std::string huge = "1" + std::string(400, '0');
  TypeAndConfirm(Edit(Page::IDC_WIDTH), huge);
  EXPECT_EQ(TakeTip(), "");
  EXPECT_TRUE(std::isfinite(edited_->rect.right));
  EXPECT_EQ(edited_->rect.right, std::numeric_limits<float>::max());
  EXPECT_EQ(Page::PageSizeOf("1024.25"), 1024.25f);
}

TEST_F(ProtPageTest, TheBackgroundColourIsAnnouncedWithTheRectangle) {
  ui_.PushColour(0xF8F8F8);
  QTest::mouseClick(DlgItem<QPushButton>(page_.get(), Page::IDC_BK_COLOR), Qt::LeftButton);
  EXPECT_EQ(edited_->backgroundColour, 0xF8F8F8);
  EXPECT_EQ(changes_, 1);
  ASSERT_EQ(listener_.changes.size(), 1u);
  EXPECT_EQ(listener_.changes[0].name, "页面1");
  EXPECT_EQ(listener_.changes[0].properties.backgroundColor, 0xF8F8F8);
  EXPECT_EQ(listener_.changes[0].properties.rect.left, 10.0f);
  EXPECT_EQ(listener_.changes[0].properties.rect.top, 20.0f);
  EXPECT_EQ(listener_.changes[0].properties.rect.right, 810.0f);
  EXPECT_EQ(listener_.changes[0].properties.rect.bottom, 620.0f);

  // A cancelled picker changes nothing.
  ui_.PushColour(std::nullopt);
  QTest::mouseClick(DlgItem<QPushButton>(page_.get(), Page::IDC_BK_COLOR), Qt::LeftButton);
  EXPECT_EQ(changes_, 1);
  EXPECT_EQ(listener_.changes.size(), 1u);
}

TEST_F(ProtPageTest, TheAccessLevelIsStoredWithoutAnnouncement) {
  const std::pair<int, int32_t> cases[] = {{3, 99}, {0, 0}, {4, 100}, {1, 1}};
  int expectedChanges = 0;
  for (const auto& [index, level] : cases) {
    ChooseLevel(index);
    EXPECT_EQ(edited_->accessPermission, level) << index;
    EXPECT_EQ(changes_, ++expectedChanges);
  }
  EXPECT_TRUE(listener_.changes.empty());
}

TEST_F(ProtPageTest, WithoutAPageNothingIsAccepted) {
  page_->Bind(nullptr);
  EXPECT_EQ(Shown(Page::IDC_NAME), "");
  EXPECT_EQ(DlgItem<NsWui::CColorButton>(page_.get(), Page::IDC_BK_COLOR)->swatchColour, 0xF0F0F0u);
  EXPECT_EQ(Shown(Page::IDC_WIDTH), "0");
  EXPECT_EQ(Shown(Page::IDC_HEIGHT), "0");

  TypeAndConfirm(Edit(Page::IDC_NAME), "页面9");
  EXPECT_EQ(TakeTip(), "未知原因.");
  for (const int id : {Page::IDC_WIDTH, Page::IDC_HEIGHT}) {
    TypeAndConfirm(Edit(id), "800");
    EXPECT_EQ(TakeTip(), "无效参数.") << id;
  }
  ui_.PushColour(0x010101);
  QTest::mouseClick(DlgItem<QPushButton>(page_.get(), Page::IDC_BK_COLOR), Qt::LeftButton);
  ChooseLevel(3);

  EXPECT_EQ(changes_, 0);
  EXPECT_TRUE(listener_.changes.empty());
  EXPECT_TRUE(listener_.renames.empty());
  EXPECT_EQ(edited_->name, "页面1");
  EXPECT_EQ(edited_->backgroundColour, 0x123456);
  EXPECT_EQ(edited_->accessPermission, 2);
  EXPECT_EQ(QlEProject::Instance().pageNames[0], "页面1");
}

TEST_F(ProtPageTest, HidingKeepsThePage) {
  std::weak_ptr<QlEPage> watched = edited_;
  page_->Hide();
  EXPECT_FALSE(page_->isVisible());
  edited_.reset();
  EXPECT_FALSE(watched.expired());
  EXPECT_EQ(page_->page, watched.lock());
}

}  // namespace
}  // namespace NsOvrin::Testing
