#pragma once
// An edit whose value takes effect only when confirmed. Editing starts on a
// click, a typed character, an input method's composing, and on any other
// change of the idle text that code did not make (paste, cut, drop, undo);
// Enter (or the OK button shown while editing) runs the owner's validator: a
// refusal is a balloon tip and editing goes on, an acceptance keeps the text
// and lets the formatter rewrite it.
// Cancel restores the text the edit showed while idle, before the change
// that started editing. Text set from code ends editing and stays, even the
// text the edit already shows: it is no edit of the user's to undo.
#include <functional>
#include <string>

#include <QLineEdit>

class QToolButton;

namespace NsOvrin::NsWui {

class CConfirmEditBase : public QLineEdit {
 public:
  // (saved text, new text, reason out) -> accepted
  using Validator = std::function<bool(const std::string&, const std::string&, std::string&)>;
  // (accepted text, text in/out)
  using Formatter = std::function<void(const std::string&, std::string&)>;
  using CancelHook = std::function<void()>;

  // Width of the two buttons and the gap between them.
  static constexpr int kButtonsWidth = 101;

  explicit CConfirmEditBase(QWidget* parent = nullptr);

  // Hides QLineEdit::setText, which signals nothing when the text stays the
  // same; helpers that set texts through a QLineEdit reach this one too.
  void setText(const QString& text);

  // Validates the text; see the class comment.
  void Confirm();
  // Widens (or narrows back) the edit by kButtonsWidth; false when the
  // buttons already are in that state.
  bool ShowButtons(bool show);

  virtual void StartEditing();
  // Takes the text as the saved one while editing and updates the frame
  // after the flags were changed by the owner.
  virtual void SyncEditText();
  virtual void EnterEditMode();
  // keep: the text stays and becomes the saved text; else the saved text
  // comes back.
  virtual void LeaveEditMode(bool keep);

  QToolButton* OkButton() const { return okButton_; }
  QToolButton* CancelButton() const { return cancelButton_; }

  Validator validator;
  Formatter formatter;
  CancelHook cancelHook;
  bool editing = false;
  // Whether edit mode makes room for the buttons by widening the edit;
  // otherwise they take room from the text.
  bool buttonsEnabled = true;
  bool buttonsShown = false;
  bool saved = false;
  bool leaveOnFocusLoss = true;
  std::string savedText;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  // Composing and committing through an input method is typing: it starts
  // editing as a typed character does.
  void inputMethodEvent(QInputMethodEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

  // Applies editing to the text area and the buttons.
  void RefreshFrame();

 private:
  void OnCancelClicked();
  void OnTextChanged();

  QToolButton* okButton_;
  QToolButton* cancelButton_;
  // The change under way comes from the user (textEdited precedes textChanged).
  bool userEdit_ = false;
  // The text shown while idle: what code set, or the last text editing left.
  std::string idleText_;
};

}  // namespace NsOvrin::NsWui
