#pragma once
// Text as an input method delivers it: input-method events, not key
// presses, sent to the focus object as the platform's input context sends
// them. The caller makes sure the focus is where the text should go.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QList>
#include <QString>

namespace NsOvrin::Testing {

inline void SendToFocusObject(QInputMethodEvent& event) {
  QObject* focus = QGuiApplication::focusObject();
  if (focus == nullptr) {
    ADD_FAILURE() << "no window has the focus to take the text";
    return;
  }
  QCoreApplication::sendEvent(focus, &event);
}

// Shows text being composed, not yet committed.
inline void ComposeThroughInputMethod(const QString& preedit) {
  QInputMethodEvent event(preedit, QList<QInputMethodEvent::Attribute>());
  SendToFocusObject(event);
}

// Commits text; any composition shown ends with it.
inline void CommitThroughInputMethod(const QString& text) {
  QInputMethodEvent event;
  event.setCommitString(text);
  SendToFocusObject(event);
}

}  // namespace NsOvrin::Testing
