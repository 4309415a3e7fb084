#pragma once
// Types text into a widget key by key, as a keyboard or an input method
// would deliver it; unlike QTest::keyClicks it takes any character.
#include <QApplication>
#include <QKeyEvent>
#include <QString>

namespace NsOvrin::Testing {

inline void TypeText(QWidget* widget, const QString& text) {
  for (const QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(widget, &release);
  }
}

inline void TypeText(QWidget* widget, const std::string& text) {
  TypeText(widget, QString::fromStdString(text));
}

}  // namespace NsOvrin::Testing
