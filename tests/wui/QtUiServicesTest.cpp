#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QColorDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolTip>

#include "wui/ModalDriver.h"
#include "wui/QtUiServices.h"

namespace NsOvrin::NsWui {
namespace {

TEST(QtUiServices, MessageBoxShowsTheTextVerbatimAndMapsTheAnswer) {
  QtUiServices services;
  struct Seen {
    QString title, text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QStringList buttons;
  } seen;
  WhenModal([&](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    ASSERT_NE(box, nullptr);
    seen.title = box->windowTitle();
    seen.text = box->text();
    seen.format = box->textFormat();
    seen.icon = box->icon();
    for (QAbstractButton* b : box->buttons()) seen.buttons << b->text();
    box->button(QMessageBox::No)->click();
  });
  const int answer = services.MessageBox(nullptr, "通道 <COM1> 打开失败.\r\n第二行", "提示",
                                         MB_YESNOCANCEL | MB_ICONERROR);
  EXPECT_EQ(answer, IDNO);
  EXPECT_EQ(seen.title, QStringLiteral("提示"));
  EXPECT_EQ(seen.text, QStringLiteral("通道 <COM1> 打开失败.\n第二行"));
  EXPECT_EQ(seen.format, Qt::PlainText);
  EXPECT_EQ(seen.icon, QMessageBox::Critical);
  // Qt's Chinese translations are installed by main.
  EXPECT_EQ(seen.buttons.size(), 3);
  const QString buttons = seen.buttons.join(' ');
  for (const char* word : {"是", "否", "取消"}) {
    EXPECT_TRUE(buttons.contains(QString::fromUtf8(word))) << buttons.toStdString();
  }
}

TEST(QtUiServices, MessageBoxButtonSetsAndIcons) {
  QtUiServices services;
  struct Case {
    uint32_t type;
    QMessageBox::StandardButton press;
    int id;
    QMessageBox::Icon icon;
  };
  const Case cases[] = {
      {MB_OK | MB_ICONINFORMATION, QMessageBox::Ok, IDOK, QMessageBox::Information},
      {MB_OKCANCEL | MB_ICONWARNING, QMessageBox::Cancel, IDCANCEL, QMessageBox::Warning},
      {MB_YESNO | MB_ICONQUESTION, QMessageBox::Yes, IDYES, QMessageBox::Question},
      {MB_RETRYCANCEL, QMessageBox::Retry, IDRETRY, QMessageBox::NoIcon},
      {MB_ABORTRETRYIGNORE, QMessageBox::Ignore, IDIGNORE, QMessageBox::NoIcon},
  };
  for (const Case& c : cases) {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool found = false;
    WhenModal([&](QWidget* modal) {
      auto* box = qobject_cast<QMessageBox*>(modal);
      if (!box || !box->button(c.press)) return;
      found = true;
      icon = box->icon();
      box->button(c.press)->click();
    });
    EXPECT_EQ(services.MessageBox(nullptr, "x", "y", c.type), c.id) << c.type;
    EXPECT_TRUE(found) << c.type;
    EXPECT_EQ(icon, c.icon) << c.type;
  }
}

TEST(QtUiServices, BalloonTipShowsTitleAndEscapedText) {
  QtUiServices services;
  QWidget window;
  auto* edit = new QLineEdit(&window);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  services.ShowBalloonTip(edit, "提示", "[屏幕大小] a<b");
  EXPECT_TRUE(QToolTip::isVisible());
  EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("提示")));
  EXPECT_TRUE(QToolTip::text().contains(QStringLiteral("[屏幕大小] a&lt;b")));
  QToolTip::hideText();
  // No widget, no tip and no crash.
  services.ShowBalloonTip(nullptr, "提示", "x");
}

TEST(QtUiServices, FolderPickerStartsAtTheInitialFolderAndReturnsTheChoice) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("工程")));
  const QString chosen = dir.path() + QStringLiteral("/工程");
  QtUiServices services;

  QString title;
  QString start;
  WhenModal([&](QWidget* modal) {
    auto* picker = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(picker, nullptr);
    title = picker->windowTitle();
    start = picker->directory().absolutePath();
    picker->setDirectory(chosen);
    picker->selectFile(chosen);
    static_cast<QDialog*>(picker)->accept();
  });
  std::string result = "untouched";
  EXPECT_TRUE(services.BrowseForFolder(nullptr, "选择工程路径", dir.path().toStdString(), result));
  EXPECT_EQ(title, QStringLiteral("选择工程路径"));
  EXPECT_EQ(start, QDir(dir.path()).absolutePath());
  EXPECT_EQ(QDir(QString::fromStdString(result)).absolutePath(), QDir(chosen).absolutePath());

  WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  result = "untouched";
  EXPECT_FALSE(services.BrowseForFolder(nullptr, "", dir.path().toStdString(), result));
  EXPECT_EQ(result, "untouched");
}

TEST(QtUiServices, FilePickersUseTheConvertedFilter) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString existing = dir.path() + QStringLiteral("/a.csv");
  {
    QFile file(existing);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  }
  QtUiServices services;

  QStringList filters;
  WhenModal([&](QWidget* modal) {
    auto* picker = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(picker, nullptr);
    filters = picker->nameFilters();
    picker->selectFile(existing);
    static_cast<QDialog*>(picker)->accept();
  });
  std::string path;
  EXPECT_TRUE(services.GetOpenFileName(nullptr, "CSV 文件|*.csv|所有文件|*.*||",
                                       dir.path().toStdString(), path));
  EXPECT_EQ(filters, QStringList({QStringLiteral("CSV 文件 (*.csv)"), QStringLiteral("所有文件 (*)")}));
  EXPECT_EQ(QString::fromStdString(path), existing);

  QString suffix;
  WhenModal([&](QWidget* modal) {
    auto* picker = qobject_cast<QFileDialog*>(modal);
    ASSERT_NE(picker, nullptr);
    suffix = picker->defaultSuffix();
    picker->selectFile(dir.path() + QStringLiteral("/报警"));
    static_cast<QDialog*>(picker)->accept();
  });
  EXPECT_TRUE(
      services.GetSaveFileName(nullptr, "CSV|*.csv||", "csv", dir.path().toStdString(), path));
  EXPECT_EQ(suffix, QStringLiteral("csv"));
  EXPECT_EQ(QString::fromStdString(path), dir.path() + QStringLiteral("/报警.csv"));
}

TEST(QtUiServices, ColourPickerConvertsBothWays) {
  QtUiServices services;
  QColor start;
  WhenModal([&](QWidget* modal) {
    auto* picker = qobject_cast<QColorDialog*>(modal);
    ASSERT_NE(picker, nullptr);
    start = picker->currentColor();
    picker->setCurrentColor(QColor(0x11, 0x22, 0x33));
    static_cast<QDialog*>(picker)->accept();
  });
  uint32_t colour = 0;
  EXPECT_TRUE(services.ChooseColor(nullptr, 0x00F8F8F0, colour));
  EXPECT_EQ(start, QColor(0xF0, 0xF8, 0xF8));
  EXPECT_EQ(colour, 0x00332211u);

  WhenModal([](QWidget* modal) { qobject_cast<QDialog*>(modal)->reject(); });
  colour = 5;
  EXPECT_FALSE(services.ChooseColor(nullptr, 0, colour));
  EXPECT_EQ(colour, 5u);
}

}  // namespace
}  // namespace NsOvrin::NsWui
