#include "wui/CConfirmEditCtrl.h"

#include <QFocusEvent>
#include <QKeyEvent>

namespace NsOvrin::NsWui {

namespace {

// Keys that type a character into the edit (Enter is handled before; Tab,
// Escape and Delete type nothing).
bool TypesCharacter(const QKeyEvent& event) {
  const QString text = event.text();
  if (text.isEmpty()) return false;
  const QChar first = text.front();
  return first != QLatin1Char('\t') && first != QChar(0x1B) && first != QChar(0x7F) &&
         first != QLatin1Char('\r') && first != QLatin1Char('\n');
}

}  // namespace

CConfirmEditCtrl::CConfirmEditCtrl(QWidget* parent) : CConfirmEditBase(parent) {}

void CConfirmEditCtrl::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // Consumed: Enter confirms the edit and never presses the dialog's OK.
    Confirm();
    event->accept();
    return;
  }
  if (hasFocus() && !editing && TypesCharacter(*event)) EnterEditMode();
  CConfirmEditBase::keyPressEvent(event);
}

void CConfirmEditCtrl::focusOutEvent(QFocusEvent* event) {
  CConfirmEditBase::focusOutEvent(event);
  // A context menu opening is no focus loss for the edit.
  if (event->reason() == Qt::PopupFocusReason) return;
  // From a copy: the hook may end the edit and clear the control's hooks.
  if (const FocusLostHook lost = focusLostHook) lost(*this);
  if (editing && leaveOnFocusLoss) LeaveEditMode(false);
}

}  // namespace NsOvrin::NsWui

