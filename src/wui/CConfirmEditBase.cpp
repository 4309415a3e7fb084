#include "wui/CConfirmEditBase.h"

#include <QInputMethodEvent>
#include <QMouseEvent>
#include <QToolButton>

#include "wui/UiServices.h"

namespace NsOvrin::NsWui {

namespace {

constexpr int kButtonWidth = 50;
constexpr int kButtonGap = 1;

QToolButton* MakeButton(QWidget* parent, const char* text, const char* colour) {
  auto* button = new QToolButton(parent);
  button->setText(QString::fromUtf8(text));
  button->setAutoRaise(true);
  button->setFocusPolicy(Qt::NoFocus);
  button->setCursor(Qt::ArrowCursor);
  button->setStyleSheet(QStringLiteral("QToolButton { border: none; background: #F0F0F0; "
                                       "color: %1; font-size: 8.5pt; }")
                            .arg(QLatin1String(colour)));
  button->hide();
  return button;
}

}  // namespace

CConfirmEditBase::CConfirmEditBase(QWidget* parent)
    : QLineEdit(parent),
      // A darker shade of the usual blue: that one reads only 3 : 1 on the
      // buttons' grey.
      okButton_(MakeButton(this, "确定", "#0E67B2")),
      cancelButton_(MakeButton(this, "取消", "#606060")) {
  connect(okButton_, &QToolButton::clicked, this, [this] { Confirm(); });
  connect(cancelButton_, &QToolButton::clicked, this, [this] { OnCancelClicked(); });
  connect(this, &QLineEdit::textEdited, this, [this] { userEdit_ = true; });
  connect(this, &QLineEdit::textChanged, this, [this] { OnTextChanged(); });
}

void CConfirmEditBase::setText(const QString& text) {
  QLineEdit::setText(text);
  // A changed text has ended editing through textChanged already; the same
  // text signals nothing.
  if (editing) LeaveEditMode(true);
  idleText_ = this->text().toStdString();
}

void CConfirmEditBase::OnTextChanged() {
  const bool byUser = userEdit_;
  userEdit_ = false;
  if (byUser) {
    // Whatever way the user changed the idle text (keys, paste, cut, drop,
    // undo, an input method), the change is an edit to check or give up.
    if (!editing) EnterEditMode();
    return;
  }
  // Text from code: it ends editing and is what the edit shows while idle.
  if (editing) LeaveEditMode(true);
  idleText_ = text().toStdString();
}

void CConfirmEditBase::Confirm() {
  const std::string current = text().toStdString();
  // The hooks run from copies: a hook may replace or clear its own member
  // (hiding an in-place editor does), which must not destroy the function
  // object while it runs.
  if (const Validator validate = validator) {
    std::string error;
    if (!validate(savedText, current, error)) {
      if (error.empty()) error = "未知原因.";
      GetUiServices().ShowBalloonTip(this, "提示", error);
      return;
    }
  }
  LeaveEditMode(true);
  if (const Formatter format = formatter) {
    std::string formatted = current;
    format(savedText, formatted);
    if (formatted != current) setText(QString::fromStdString(formatted));
  }
}

bool CConfirmEditBase::ShowButtons(bool show) {
  if (show == buttonsShown) return false;
  buttonsShown = show;
  resize(width() + (show ? kButtonsWidth : -kButtonsWidth), height());
  RefreshFrame();
  return true;
}

void CConfirmEditBase::StartEditing() {
  EnterEditMode();
  show();
  setFocus();
}

void CConfirmEditBase::SyncEditText() {
  if (editing) {
    saved = true;
    savedText = text().toStdString();
  }
  if (!(editing && buttonsEnabled && ShowButtons(true))) RefreshFrame();
}

void CConfirmEditBase::EnterEditMode() {
  if (editing) return;
  editing = true;
  saved = true;
  // Not the text shown now: a change that starts editing has already made
  // that one.
  savedText = idleText_;
  if (!(buttonsEnabled && ShowButtons(true))) RefreshFrame();
  setFocus();
}

void CConfirmEditBase::LeaveEditMode(bool keep) {
  editing = false;
  if (saved) {
    saved = false;
    if (keep) {
      savedText = text().toStdString();
    } else {
      setText(QString::fromStdString(savedText));
    }
  }
  idleText_ = text().toStdString();
  if (!ShowButtons(false)) RefreshFrame();
}

void CConfirmEditBase::RefreshFrame() {
  setTextMargins(0, 0, editing ? kButtonsWidth : 0, 0);
  const int right = width() - 2;  // inside the frame
  const int h = height() - 4;
  okButton_->setGeometry(right - kButtonsWidth, 2, kButtonWidth, h);
  cancelButton_->setGeometry(right - kButtonsWidth + kButtonWidth + kButtonGap, 2, kButtonWidth,
                             h);
  okButton_->setVisible(editing);
  cancelButton_->setVisible(editing);
}

void CConfirmEditBase::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && !editing) EnterEditMode();
  QLineEdit::mousePressEvent(event);
}

void CConfirmEditBase::inputMethodEvent(QInputMethodEvent* event) {
  // Composing shows text that is not the edit's yet, and its start removes
  // the selected text: editing starts before either.
  const bool input = !event->commitString().isEmpty() || !event->preeditString().isEmpty() ||
                     event->replacementLength() > 0;
  if (input && !editing && !isReadOnly()) EnterEditMode();
  QLineEdit::inputMethodEvent(event);
}

void CConfirmEditBase::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  RefreshFrame();
}

void CConfirmEditBase::OnCancelClicked() {
  LeaveEditMode(false);
  if (const CancelHook cancel = cancelHook) cancel();
}

}  // namespace NsOvrin::NsWui
