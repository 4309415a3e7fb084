// The shell's small persisted pieces: the address switch in the INI file,
// the looks of the registry value and the user's toolbar images.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QImage>
#include <QMainWindow>
#include <QPalette>
#include <QStyle>
#include <fstream>

#include "app/ShowIoAddrSetting.h"
#include "app/UserToolBarImages.h"
#include "app/VisualLook.h"
#include "platform/IniFile.h"
#include "project_persistence/TempFolder.h"
#include "termination/LogCapture.h"

namespace NsOvrin::Testing {
namespace {

TEST(ShowIoAddrSettingFile, OnExactlyWhenTheStoredNumberIsOne) {
  struct Case {
    const char* content;
    bool on;
  };
  const Case cases[] = {
      {nullptr, false},
      {"[default_app_]\r\nShowIoAddr=1\r\n", true},
      {"[DEFAULT_APP_]\nshowioaddr = 1\n", true},
      {"[default_app_]\nShowIoAddr=01\n", true},
      {"[default_app_]\nShowIoAddr=1 yes\n", true},
      {"[default_app_]\nShowIoAddr=0\n", false},
      {"[default_app_]\nShowIoAddr=2\n", false},
      {"[default_app_]\nShowIoAddr=-1\n", false},
      {"[default_app_]\nShowIoAddr=on\n", false},
      {"[default_app_]\nShowIoAddr=\n", false},
      {"[other]\nShowIoAddr=1\n", false},
  };
  for (const Case& c : cases) {
    TempFolder folder;
    const std::string path = folder / "default_config_.ini";
    if (c.content != nullptr) WriteFileText(path, c.content);
    ShowIoAddrSetting setting(path);
    EXPECT_EQ(setting.Get(), c.on) << (c.content ? c.content : "(no file)");
  }
}

TEST(ShowIoAddrSettingFile, ReadOnceAndWrittenAtEveryChange) {
  TempFolder folder;
  const std::string path = folder / "default_config_.ini";
  WriteFileText(path, "[default_app_]\nOther=x\nShowIoAddr=1\n");
  ShowIoAddrSetting setting(path);
  ASSERT_TRUE(setting.Get());
  // Later edits of the file are not read again.
  WriteFileText(path, "[default_app_]\nOther=x\nShowIoAddr=0\n");
  EXPECT_TRUE(setting.Get());

  setting.Set(true);
  EXPECT_EQ(NsPlatform::GetProfileString(path, "default_app_", "ShowIoAddr", ""), "1");
  EXPECT_EQ(NsPlatform::GetProfileString(path, "default_app_", "Other", ""), "x");
  setting.Set(false);
  EXPECT_FALSE(setting.Get());
  EXPECT_EQ(NsPlatform::GetProfileString(path, "default_app_", "ShowIoAddr", ""), "0");
}

TEST(ShowIoAddrSettingFile, AFailedWriteIsLoggedAsAnError) {
  TempFolder folder;
  const std::string path = folder / "missing/default_config_.ini";
  ShowIoAddrSetting setting(path);
  NsTermination::Testing::LogCapture errors(8);
  setting.Set(true);
  EXPECT_TRUE(setting.Get()) << "the switch follows the user";
  EXPECT_EQ(errors.Texts(), std::vector<std::string>{"ShowIoAddr not written to " + path});

  // A written value logs nothing.
  ShowIoAddrSetting written(folder / "default_config_.ini");
  written.Set(true);
  EXPECT_EQ(errors.Texts().size(), 1u);
}

TEST(VisualLooks, EachIdSelectsItsManager) {
  struct Case {
    int id;
    VisualManagerKind kind;
    bool smartDocking;
  };
  const Case cases[] = {
      {205, VisualManagerKind::Base, false},      {206, VisualManagerKind::OfficeXP, false},
      {207, VisualManagerKind::Windows, false},   {208, VisualManagerKind::Office2003, true},
      {209, VisualManagerKind::VS2005, true},     {210, VisualManagerKind::VS2008, true},
      {215, VisualManagerKind::Office2007, true}, {218, VisualManagerKind::Office2007, true},
      {219, VisualManagerKind::Windows7, true},   {212, VisualManagerKind::Office2007, true},
      {0, VisualManagerKind::Office2007, true},   {-1, VisualManagerKind::Office2007, true},
  };
  for (const Case& c : cases) {
    const VisualLook look = SelectVisualLook(c.id, Office2007Scheme::Blue);
    EXPECT_EQ(look.kind, c.kind) << c.id;
    EXPECT_EQ(look.smartDocking, c.smartDocking) << c.id;
    EXPECT_EQ(look.tabs3d, c.id == 207) << c.id;
  }
}

TEST(VisualLooks, Office2007SchemesAndTheCurrentOne) {
  EXPECT_EQ(SelectVisualLook(215, Office2007Scheme::Aqua).scheme, Office2007Scheme::Blue);
  EXPECT_EQ(SelectVisualLook(216, Office2007Scheme::Aqua).scheme, Office2007Scheme::Black);
  EXPECT_EQ(SelectVisualLook(217, Office2007Scheme::Aqua).scheme, Office2007Scheme::Silver);
  EXPECT_EQ(SelectVisualLook(218, Office2007Scheme::Blue).scheme, Office2007Scheme::Aqua);
  // An unknown id keeps the scheme in force.
  EXPECT_EQ(SelectVisualLook(212, Office2007Scheme::Silver).scheme, Office2007Scheme::Silver);

  const QString style = QApplication::style()->name();
  const QPalette palette = QApplication::palette();
  QMainWindow window;
  ApplyVisualLook(window, SelectVisualLook(216, CurrentOffice2007Scheme()));
  EXPECT_EQ(CurrentOffice2007Scheme(), Office2007Scheme::Black);
  ApplyVisualLook(window, SelectVisualLook(212, CurrentOffice2007Scheme()));
  EXPECT_EQ(CurrentOffice2007Scheme(), Office2007Scheme::Black);
  EXPECT_TRUE(window.dockOptions() & QMainWindow::AnimatedDocks);
  ApplyVisualLook(window, SelectVisualLook(205, CurrentOffice2007Scheme()));
  EXPECT_FALSE(window.dockOptions() & QMainWindow::AnimatedDocks);
  EXPECT_EQ(QApplication::style()->name().toLower(), QStringLiteral("windows"));
  ApplyVisualLook(window, SelectVisualLook(215, CurrentOffice2007Scheme()));
  QApplication::setStyle(style);
  QApplication::setPalette(palette);
}

void SaveStrip(const std::string& path, int width, int height) {
  QImage strip(width, height, QImage::Format_RGB32);
  for (int x = 0; x < width; ++x) {
    for (int y = 0; y < height; ++y) strip.setPixel(x, y, qRgb((x / 16) * 40, 0, 200));
  }
  ASSERT_TRUE(strip.save(QString::fromStdString(path), "BMP"));
}

TEST(UserImages, StripCutIntoSixteenPixelImages) {
  TempFolder folder;
  const std::string path = folder / "UserImages.bmp";
  SaveStrip(path, 50, 15);
  UserToolBarImages images;
  ASSERT_TRUE(images.Load(path));
  ASSERT_EQ(images.Count(), 3);
  EXPECT_EQ(images.Image(0).size(), QSize(16, 15));
  EXPECT_EQ(images.Image(2).toImage().pixel(0, 0), qRgb(80, 0, 200));
  EXPECT_TRUE(images.Image(3).isNull());
  EXPECT_TRUE(images.Image(-1).isNull());
}

TEST(UserImages, RefusesWhatIsMissingTooBigOrNoPicture) {
  TempFolder folder;
  UserToolBarImages images;
  EXPECT_FALSE(images.Load(folder / "none.bmp"));

  SaveStrip(folder / "narrow.bmp", 10, 15);
  EXPECT_FALSE(images.Load(folder / "narrow.bmp"));

  WriteFileText(folder / "text.bmp", "no picture");
  EXPECT_FALSE(images.Load(folder / "text.bmp"));

  // A folder, and a FIFO nobody writes to: refused at once.
  EXPECT_FALSE(images.Load(folder.Path()));
  ASSERT_EQ(::mkfifo((folder / "fifo.bmp").c_str(), 0600), 0);
  EXPECT_FALSE(images.Load(folder / "fifo.bmp"));

  // 16 x 15 images, a strip of 1200 of them: more than 819200 bytes.
  SaveStrip(folder / "big.bmp", 16 * 1200, 15);
  ASSERT_GT(std::ifstream(folder / "big.bmp", std::ios::binary | std::ios::ate).tellg(), 819200);
  EXPECT_FALSE(images.Load(folder / "big.bmp"));
  EXPECT_FALSE(images.IsLoaded());

  // A refused file keeps what was loaded before.
  SaveStrip(folder / "good.bmp", 32, 15);
  ASSERT_TRUE(images.Load(folder / "good.bmp"));
  EXPECT_FALSE(images.Load(folder / "big.bmp"));
  EXPECT_EQ(images.Count(), 2);
}

}  // namespace
}  // namespace NsOvrin::Testing
