#include <gtest/gtest.h>

#include <QApplication>

#include "wui/QtUiServices.h"

int main(int argc, char** argv) {
  // Headless: the widgets run without a display.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  NsOvrin::NsWui::InstallQtChineseTranslations(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
