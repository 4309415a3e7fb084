#pragma once
// The confirm edit placed on forms and used as an in-place cell editor:
// Enter confirms and is never passed on to the dialog; a character typed
// into the idle edit starts editing; losing the focus while editing
// restores the saved text when leaveOnFocusLoss is set.
#include <functional>

#include "wui/CConfirmEditBase.h"

namespace NsOvrin::NsWui {

class CConfirmEditCtrl : public CConfirmEditBase {
 public:
  using FocusLostHook = std::function<void(CConfirmEditCtrl&)>;

  explicit CConfirmEditCtrl(QWidget* parent = nullptr);

  // Called on every focus loss, before an edit is given up; the cancel hook
  // is not called then.
  FocusLostHook focusLostHook;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
};

}  // namespace NsOvrin::NsWui
