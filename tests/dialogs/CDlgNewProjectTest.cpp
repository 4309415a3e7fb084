#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QToolButton>

#include "wui/ModalDriver.h"
#include "dialogs/CDlgNewProject.h"
#include "editor/EditorGlobals.h"
#include "wui/CConfirmEditCtrl.h"
#include "wui/DlgItem.h"
#include "wui/MfcEditBrowse.h"
#include "support/ScriptedUiServices.h"

namespace NsOvrin {
namespace {

using NsWui::DlgItem;
using NsWui::UiCall;

int ScreenPixels(bool horizontal) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const QSize size = screen->geometry().size();
  return static_cast<int>(
      std::lround((horizontal ? size.width() : size.height()) * screen->devicePixelRatio()));
}

class NewProjectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    DpiScale = 1.0f;
    Show();
  }
  void TearDown() override { DpiScale = 1.0f; }

  void Show() {
    dlg_.show();
    dlg_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg_));
  }

  QLineEdit* Edit(int id) { return DlgItem<QLineEdit>(&dlg_, id); }
  void SetText(int id, const char* text) { Edit(id)->setText(QString::fromUtf8(text)); }
  // A real click: the focus moves to the button first, as it would.
  void ClickOk() {
    QTest::mouseClick(DlgItem<QPushButton>(&dlg_, CDlgNewProject::IDC_OK), Qt::LeftButton);
  }
  // Types into a confirm edit the way a user does: click, replace, type.
  void TypeInto(NsWui::CConfirmEditCtrl* edit, const char* text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromUtf8(text));
  }
  bool Accepted() const { return !dlg_.isVisible() && dlg_.result() == QDialog::Accepted; }

  NsWui::ScriptedUiServices ui_;
  CDlgNewProject dlg_;
};

TEST_F(NewProjectTest, OpensWithTheScreenSizeAndDefaults) {
  EXPECT_EQ(dlg_.windowTitle(), QStringLiteral("创建新工程..."));
  EXPECT_EQ(Edit(CDlgNewProject::IDC_WIDTH)->text(), QString::number(ScreenPixels(true)));
  EXPECT_EQ(Edit(CDlgNewProject::IDC_HEIGHT)->text(), QString::number(ScreenPixels(false)));
  EXPECT_TRUE(Edit(CDlgNewProject::IDC_NAME)->text().isEmpty());
  EXPECT_EQ(dlg_.screenWidth, 600);
  EXPECT_EQ(dlg_.screenHeight, 480);
  EXPECT_FALSE(dlg_.widthEdit->editing);
  EXPECT_FALSE(dlg_.widthEdit->buttonsEnabled);
  EXPECT_TRUE(dlg_.widthEdit->leaveOnFocusLoss);
}

TEST_F(NewProjectTest, TheProposedSizeIsDividedByTheDisplayScale) {
  dlg_.hide();
  DpiScale = 2.0f;
  Show();
  EXPECT_EQ(Edit(CDlgNewProject::IDC_WIDTH)->text(), QString::number(ScreenPixels(true) / 2));
  EXPECT_EQ(Edit(CDlgNewProject::IDC_HEIGHT)->text(), QString::number(ScreenPixels(false) / 2));
}

TEST(ScreenExtentForDpi, TruncatesAndSurvivesBadScales) {
  struct Case {
    int pixels;
    float scale;
    int32_t extent;
  };
  const Case cases[] = {
      {1920, 1.0f, 1920},      {1366, 1.25f, 1092}, {1080, 1.5f, 720},
      {800, 0.0f, 800},        {800, -1.0f, 800},   {800, NAN, 800},
      {800, INFINITY, 800},    {0, 1.0f, 0},        {800, 1e-30f, INT32_MAX},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ScreenExtentForDpi(c.pixels, c.scale), c.extent) << c.pixels << " / " << c.scale;
  }
}

TEST_F(NewProjectTest, RefusedNamesKeepTheDialogOpen) {
  const std::pair<const char*, const char*> cases[] = {
      {"", "工程名称不能为空!"},
      {"   ", "工程名称不能为空!"},
      {"a..b", "工程名称包含无效字符!"},
      {".ab", "工程名称包含无效字符!"},
      {"ab.", "工程名称包含无效字符!"},
      {"a b", "工程名称包含无效字符!"},
      {"a/b", "工程名称包含无效字符!"},
      {"工程？", "工程名称包含无效字符!"},
  };
  for (const auto& [typed, message] : cases) {
    ui_.calls.clear();
    SetText(CDlgNewProject::IDC_NAME, typed);
    ClickOk();
    ASSERT_EQ(ui_.calls.size(), 1u) << typed;
    EXPECT_EQ(ui_.calls[0].kind, UiCall::Kind::MessageBox);
    EXPECT_EQ(ui_.calls[0].text, message) << typed;
    EXPECT_EQ(ui_.calls[0].caption, "提示");
    EXPECT_EQ(ui_.calls[0].type, NsWui::MB_ICONERROR);
    EXPECT_EQ(ui_.calls[0].widget, &dlg_);
    EXPECT_TRUE(dlg_.isVisible()) << typed;
    // The control keeps what was typed.
    EXPECT_EQ(Edit(CDlgNewProject::IDC_NAME)->text(), QString::fromUtf8(typed));
  }
}

TEST_F(NewProjectTest, AcceptsAValidNameAndReturnsEverythingTrimmed) {
  SetText(CDlgNewProject::IDC_NAME, "  工程_1-a.b2  ");
  SetText(CDlgNewProject::IDC_FOLDER, "  /home/用户/工程  ");
  SetText(CDlgNewProject::IDC_WIDTH, "1024");
  SetText(CDlgNewProject::IDC_HEIGHT, "768");
  ClickOk();
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_TRUE(Accepted());
  EXPECT_EQ(dlg_.name, "工程_1-a.b2");
  EXPECT_EQ(dlg_.folder, "/home/用户/工程");
  EXPECT_EQ(dlg_.screenWidth, 1024);
  EXPECT_EQ(dlg_.screenHeight, 768);
}

TEST_F(NewProjectTest, AnEmptyFolderIsTaken) {
  SetText(CDlgNewProject::IDC_NAME, "p");
  ClickOk();
  EXPECT_TRUE(Accepted());
  EXPECT_EQ(dlg_.folder, "");
}

TEST_F(NewProjectTest, SizesThatAreNoPositiveNumbersFallBackToTheDefaults) {
  const std::pair<const char*, int32_t> cases[] = {
      {"0", 0}, {"-5", 0}, {"abc", 0}, {"", 0}, {"99999999999", 0},
      {" 800", 800}, {"1280x", 1280}, {"30", 30},
  };
  for (const auto& [typed, value] : cases) {
    SetText(CDlgNewProject::IDC_NAME, "p");
    SetText(CDlgNewProject::IDC_WIDTH, typed);
    SetText(CDlgNewProject::IDC_HEIGHT, typed);
    ClickOk();
    ASSERT_TRUE(Accepted()) << typed;
    EXPECT_EQ(dlg_.screenWidth, value > 0 ? value : 600) << typed;
    EXPECT_EQ(dlg_.screenHeight, value > 0 ? value : 480) << typed;
    Show();
  }
}

TEST_F(NewProjectTest, TheBrowseButtonPicksTheFolder) {
  SetText(CDlgNewProject::IDC_FOLDER, "/srv");
  ui_.PushPath(std::string("/srv/项目"));
  DlgItem<NsWui::MfcEditBrowse>(&dlg_, CDlgNewProject::IDC_FOLDER)->OnBrowse();
  const auto calls = ui_.CallsOf(UiCall::Kind::Folder);
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].initial, "/srv");
  SetText(CDlgNewProject::IDC_NAME, "p");
  ClickOk();
  EXPECT_EQ(dlg_.folder, "/srv/项目");
}

TEST_F(NewProjectTest, ARefusedWidthIsABalloonAndOkRestoresTheShownWidth) {
  const QString shown = Edit(CDlgNewProject::IDC_WIDTH)->text();
  SetText(CDlgNewProject::IDC_NAME, "p");
  TypeInto(dlg_.widthEdit, "50");
  ASSERT_TRUE(dlg_.widthEdit->editing);
  QTest::keyClick(dlg_.widthEdit, Qt::Key_Return);

  ASSERT_EQ(ui_.calls.size(), 1u);
  EXPECT_EQ(ui_.calls[0].kind, UiCall::Kind::BalloonTip);
  EXPECT_EQ(ui_.calls[0].widget, dlg_.widthEdit);
  EXPECT_EQ(ui_.calls[0].caption, "提示");
  EXPECT_EQ(ui_.calls[0].text, "[屏幕大小] 数据必须在 60 ~ 60000 之间.");
  // Enter never presses OK.
  EXPECT_TRUE(dlg_.isVisible());
  EXPECT_TRUE(dlg_.widthEdit->editing);
  EXPECT_EQ(dlg_.screenWidth, 600);

  ClickOk();
  EXPECT_TRUE(Accepted());
  EXPECT_EQ(dlg_.widthEdit->text(), shown);
  EXPECT_EQ(dlg_.screenWidth, shown.toInt());
  EXPECT_EQ(ui_.calls.size(), 1u);
}

TEST_F(NewProjectTest, TheSizeRuleAtTheEditsCommit) {
  struct Case {
    const char* typed;
    const char* balloon;  // null: accepted
  };
  const Case cases[] = {
      {"60", nullptr},
      {"60000", nullptr},
      {"59", "[屏幕大小] 数据必须在 60 ~ 60000 之间."},
      {"60001", "[屏幕大小] 数据必须在 60 ~ 60000 之间."},
      {"+60", "[屏幕大小] 请输入无符号类型的数字例如 (0， 100) 等等."},
      {"6.0", "[屏幕大小] 请输入无符号类型的数字例如 (0， 100) 等等."},
      {"-1", "[屏幕大小] 请输入无符号类型的数字例如 (0， 100) 等等."},
  };
  for (NsWui::CConfirmEditCtrl* edit : {dlg_.widthEdit, dlg_.heightEdit}) {
    for (const Case& c : cases) {
      ui_.calls.clear();
      dlg_.screenWidth = dlg_.screenHeight = 1;
      TypeInto(edit, c.typed);
      QTest::keyClick(edit, Qt::Key_Return);
      const int32_t& member = edit == dlg_.widthEdit ? dlg_.screenWidth : dlg_.screenHeight;
      if (c.balloon) {
        ASSERT_EQ(ui_.calls.size(), 1u) << c.typed;
        EXPECT_EQ(ui_.calls[0].text, c.balloon) << c.typed;
        EXPECT_TRUE(edit->editing) << c.typed;
        EXPECT_EQ(member, 1) << c.typed;
        QTest::mouseClick(edit->CancelButton(), Qt::LeftButton);
      } else {
        EXPECT_TRUE(ui_.calls.empty()) << c.typed;
        EXPECT_FALSE(edit->editing) << c.typed;
        EXPECT_EQ(member, atoi(c.typed)) << c.typed;
        EXPECT_EQ(edit->text(), QString::fromUtf8(c.typed));
      }
    }
  }
}

TEST_F(NewProjectTest, DoModalReturnsOkOrCancel) {
  dlg_.hide();
  NsWui::WhenModal([](QWidget* modal) {
    DlgItem<QLineEdit>(modal, CDlgNewProject::IDC_NAME)->setText(QStringLiteral("p2"));
    DlgItem<QPushButton>(modal, CDlgNewProject::IDC_OK)->click();
  });
  EXPECT_EQ(dlg_.DoModal(), NsWui::IDOK);
  EXPECT_EQ(dlg_.name, "p2");

  CDlgNewProject other;
  NsWui::WhenModal([](QWidget* modal) {
    DlgItem<QLineEdit>(modal, CDlgNewProject::IDC_NAME)->setText(QStringLiteral("p3"));
    DlgItem<QPushButton>(modal, CDlgNewProject::IDC_CANCEL)->click();
  });
  EXPECT_EQ(other.DoModal(), NsWui::IDCANCEL);
  EXPECT_EQ(other.name, "");
  EXPECT_TRUE(ui_.calls.empty());
}

}  // namespace
}  // namespace NsOvrin
