#pragma once
// Base of the modal dialogs: OnInitDialog runs once per showing, before the
// dialog is painted, and DoModal answers IDOK or IDCANCEL.
#include <QDialog>

class QHideEvent;
class QKeyEvent;
class QShowEvent;

namespace NsOvrin::NsWui {

class CModalDialog : public QDialog {
 public:
  // Whether Return/Enter/Escape close the dialog.
  enum class Keys { kCloseOnEnterEsc, kIgnoreEnterEsc };

  explicit CModalDialog(QWidget* parent = nullptr, Keys keys = Keys::kCloseOnEnterEsc);

  // IDOK when accepted, else IDCANCEL. A dialog that ignores Return/Escape
  // has no OK step and always answers IDCANCEL.
  int DoModal();

  virtual void OnInitDialog() = 0;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  Keys keys_;
  bool initialised_ = false;
};

}  // namespace NsOvrin::NsWui
