#pragma once
// Drives a modal window that the code under test opens: the action runs on
// the first modal widget to appear. A window the action leaves open is
// rejected, so a failing test cannot hang.
#include <functional>

#include <QApplication>
#include <QDialog>
#include <QTimer>

namespace NsOvrin::NsWui {

inline void WhenModal(std::function<void(QWidget*)> action) {
  auto* timer = new QTimer;
  auto tries = std::make_shared<int>(0);
  QObject::connect(timer, &QTimer::timeout, [timer, tries, action] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal && ++*tries < 500) return;
    timer->stop();
    timer->deleteLater();
    if (!modal) return;
    action(modal);
    if (modal->isVisible()) {
      if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    }
  });
  timer->start(10);
}

}  // namespace NsOvrin::NsWui
