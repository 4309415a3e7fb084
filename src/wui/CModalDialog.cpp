#include "wui/CModalDialog.h"

#include <QHideEvent>
#include <QKeyEvent>
#include <QShowEvent>

#include "wui/UiServices.h"

namespace NsOvrin::NsWui {

CModalDialog::CModalDialog(QWidget* parent, Keys keys) : QDialog(parent), keys_(keys) {}

int CModalDialog::DoModal() {
  const int result = exec();
  if (keys_ == Keys::kIgnoreEnterEsc) return IDCANCEL;
  return result == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CModalDialog::showEvent(QShowEvent* event) {
  // A window restored from the task bar is no new showing.
  if (!event->spontaneous() && !initialised_) {
    initialised_ = true;
    OnInitDialog();
  }
  QDialog::showEvent(event);
}

void CModalDialog::hideEvent(QHideEvent* event) {
  if (!event->spontaneous()) initialised_ = false;
  QDialog::hideEvent(event);
}

void CModalDialog::keyPressEvent(QKeyEvent* event) {
  if (keys_ == Keys::kIgnoreEnterEsc) {
    switch (event->key()) {
      case Qt::Key_Escape:
      case Qt::Key_Return:
      case Qt::Key_Enter:
        event->accept();
        return;
      default:
        break;
    }
  }
  QDialog::keyPressEvent(event);
}

}  // namespace NsOvrin::NsWui
