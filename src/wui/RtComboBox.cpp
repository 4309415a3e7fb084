#include "wui/RtComboBox.h"

#include <QFocusEvent>
#include <QLineEdit>

#include "wui/RtEdit.h"

namespace NsOvrin::NsWui {

void RtComboWindow::focusOutEvent(QFocusEvent* event) {
  QComboBox::focusOutEvent(event);
  if (onFocusOut) onFocusOut(event);
}

RtComboBox::RtComboBox(RtComboWindow* window) : window_(window) {
  if (window == nullptr) return;
  // The user's choice, not a change made from code.
  QObject::connect(window, &QComboBox::activated, window, [this](int index) { OnSelChange(index); });
  QObject::connect(window, &QComboBox::editTextChanged, window, [this] { OnEditChange(); });
  window->onFocusOut = [this](QFocusEvent* event) {
    // Opening the list moves the focus into it for a moment.
    if (event->reason() == Qt::PopupFocusReason || hiding_) return;
    OnKillFocus();
  };
}

RtComboBox::~RtComboBox() { DestroyWnd(); }

int RtComboBox::GetCtrlId() const { return WindowControlId(window_); }

void RtComboBox::Show(QWidget* owner, const WRect& cell, const std::string& text) {
  if (owner == nullptr || window_.isNull()) return;
  owner_ = owner;
  if (fillHook) {
    fillHook(window_, text);
  } else if (!text.empty()) {
    // The first item that begins with the text, whatever the case; without
    // one the selection stays.
    const int found = window_->findText(QString::fromStdString(text), Qt::MatchStartsWith);
    if (found >= 0) window_->setCurrentIndex(found);
  } else {
    window_->setCurrentIndex(-1);
  }
  window_->setGeometry(cell.ToQRect());
  window_->show();
  window_->raise();
  window_->setFocus();
}

void RtComboBox::Hide() {
  if (window_.isNull()) return;
  hiding_ = true;
  if (window_->hasFocus() && !owner_.isNull()) owner_->setFocus();
  window_->hide();
  hiding_ = false;
  if (fillHook) window_->clear();
}

void RtComboBox::DestroyWnd() {
  if (window_.isNull()) return;
  RtComboWindow* window = window_;
  window_.clear();
  window->onFocusOut = nullptr;
  delete window;
}

void RtComboBox::OnSelChange(int index) {
  if (window_.isNull() || index < 0) return;
  std::string text = window_->itemText(index).toStdString();
  Commit(text);
  if (window_.isNull()) return;
  // The box hides itself; the focus it had goes back to the grid, which
  // closes the edit.
  if (window_->hasFocus() && !owner_.isNull()) owner_->setFocus();
  if (!window_.isNull()) window_->hide();
}

void RtComboBox::OnEditChange() {
  if (window_.isNull()) return;
  std::string text = window_->currentText().toStdString();
  Commit(text);
}

void RtComboBox::OnKillFocus() { Close(); }

}  // namespace NsOvrin::NsWui
