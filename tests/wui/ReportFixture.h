#pragma once
// A report grid on an active window, driven with real mouse and wheel
// events.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <QWidget>

#include "wui/OvReportCtrl.h"

namespace NsOvrin::NsWui::Testing {

class ReportFixture : public ::testing::Test {
 protected:
  void MakeGrid(uint16_t rows, uint16_t columns, uint32_t flags) {
    window_.resize(600, 400);
    grid_ = new OvReportCtrl(rows, columns, flags, &window_);
    grid_->setGeometry(10, 10, 400, 300);
    window_.show();
    window_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window_));
  }

  QWidget* Client() const { return grid_->viewport(); }
  void Press(QPoint point) { QTest::mousePress(Client(), Qt::LeftButton, {}, point); }
  void Release(QPoint point) { QTest::mouseRelease(Client(), Qt::LeftButton, {}, point); }
  void Move(QPoint point) { QTest::mouseMove(Client(), point); }
  void Click(QPoint point) { QTest::mouseClick(Client(), Qt::LeftButton, {}, point); }
  void Wheel(int delta) {
    const QPointF at(50, 50);
    QWheelEvent event(at, Client()->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(Client(), &event);
  }
  // The grid as it shows on screen.
  QImage Shot() const { return Client()->grab().toImage(); }

  QWidget window_;
  OvReportCtrl* grid_ = nullptr;
};

}  // namespace NsOvrin::NsWui::Testing
