#include <gtest/gtest.h>

#include <QGuiApplication>

int main(int argc, char** argv) {
  // Headless: no display is needed to draw into images.
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
