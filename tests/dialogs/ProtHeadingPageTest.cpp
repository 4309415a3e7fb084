#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>

#include "ProtPageFixture.h"
#include "dialogs/CDlgProtAlarmHist.h"
#include "dialogs/CDlgProtAlarmList.h"
#include "dialogs/CDlgProtBtnUser.h"
#include "editor/QlEHostBtnUser.h"

namespace NsOvrin::Testing {
namespace {

using NsQlElemEditor::QlEHostBtnUser;

struct HeadingCase {
  std::function<std::unique_ptr<ProtHeadingPage>()> make;
  int idd;
  const char* heading;
  int height;
};

const HeadingCase kCases[] = {
    {[] { return std::make_unique<CDlgProtAlarmList>(); }, CDlgProtAlarmList::IDD, "当前警报属性:",
     86},
    {[] { return std::make_unique<CDlgProtAlarmHist>(); }, CDlgProtAlarmHist::IDD, "历史警报属性:",
     80},
    {[] { return std::make_unique<CDlgProtBtnUser>(); }, CDlgProtBtnUser::IDD, "用户登录属性:", 70},
};

class ProtHeadingPageTest : public ProtPageFixture {
 protected:
  void Show(ProtHeadingPage& page) {
    page.changeCallback = &callback_;
    page.show();
    page.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&page));
  }
};

TEST_F(ProtHeadingPageTest, EachPageShowsItsHeadingAndALineOnly) {
  for (const HeadingCase& c : kCases) {
    const auto page = c.make();
    Show(*page);
    EXPECT_EQ(page->Heading()->text().toStdString(), c.heading) << c.idd;
    // A plain static in the system's colours.
    EXPECT_EQ(page->Heading()->palette().color(QPalette::WindowText),
              QApplication::palette().color(QPalette::WindowText));
    EXPECT_EQ(page->Line()->frameShape(), QFrame::HLine);
    EXPECT_EQ(page->Line()->frameShadow(), QFrame::Sunken);
    EXPECT_TRUE(page->Line()->isVisible());
    EXPECT_EQ(page->height(), c.height) << c.idd;
    // Nothing that could edit anything.
    EXPECT_TRUE(page->findChildren<QLineEdit*>().isEmpty()) << c.idd;
    EXPECT_TRUE(page->findChildren<QComboBox*>().isEmpty()) << c.idd;
    EXPECT_TRUE(page->findChildren<QAbstractButton*>().isEmpty()) << c.idd;
    // Never measured: the pane makes room for a scroll bar only.
    EXPECT_EQ(page->contentWidth, 0);
    EXPECT_EQ(page->contentHeight, 0);
    EXPECT_EQ(page->scrollPos, 0);
  }
}

TEST_F(ProtHeadingPageTest, BindingKeepsNothingAndChangesNothing) {
  auto elems = MakeSelection<QlEHostBtnUser>(
      2, 1, [] { return std::make_shared<QlEHostBtnUser>(NsDx2d::D2D_POINT_2F{5.0f, 5.0f}); });
  for (const HeadingCase& c : kCases) {
    const auto page = c.make();
    Show(*page);
    page->Bind(elems);
    EXPECT_TRUE(page->selection.empty()) << c.idd;
    EXPECT_EQ(elems[0].use_count(), 1) << c.idd;

    // Enter and Escape neither end nor hide the page.
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
      QTest::keyClick(page.get(), key);
      EXPECT_TRUE(page->isVisible()) << c.idd << " " << key;
    }
    page->Hide();
    EXPECT_FALSE(page->isVisible());
    EXPECT_TRUE(page->selection.empty());
  }
  EXPECT_EQ(changes_, 0);
  EXPECT_TRUE(ui_.calls.empty());
}

}  // namespace
}  // namespace NsOvrin::Testing
