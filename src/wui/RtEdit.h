#pragma once
// The plain in-place edit: every keystroke writes the cell; losing the
// focus writes it once more and closes the editor.
#include <functional>

#include <QLineEdit>
#include <QPointer>

#include "wui/RtEditorBase.h"

namespace NsOvrin::NsWui {

// The edit window of an RtEdit: reports its focus loss. Qt stops calling
// the override once the window is being destroyed, so a window that goes
// reports nothing.
class RtEditWindow : public QLineEdit {
 public:
  using QLineEdit::QLineEdit;
  std::function<void(QFocusEvent*)> onFocusOut;

 protected:
  void focusOutEvent(QFocusEvent* event) override;
};

class RtEdit : public RtEditorBase {
 public:
  // Takes over the window (a child of the grid); it is destroyed with the
  // editor at the latest.
  explicit RtEdit(RtEditWindow* window);
  ~RtEdit() override;
  RtEdit(const RtEdit&) = delete;
  RtEdit& operator=(const RtEdit&) = delete;

  int GetCtrlId() const override;
  void Show(QWidget* owner, const WRect& cell, const std::string& text) override;
  void Hide() override;
  void DestroyWnd() override;
  QWidget* GetWnd() const override { return window_; }

  void OnChange();
  void OnKillFocus();

  RtEditWindow* Window() const { return window_; }

  // The next change is the one Show makes by setting the text.
  bool suppressNextChange = false;

 private:
  QPointer<RtEditWindow> window_;
  QPointer<QWidget> owner_;
  bool hiding_ = false;
};

// The control id a window carries as its object name; 0 without a window.
int WindowControlId(const QWidget* window);

}  // namespace NsOvrin::NsWui
