#pragma once
// The in-place confirm edit: the cell is written once, after the user
// confirmed a text the validator accepts. Leaving the editor in any other
// way restores the text and writes nothing.
#include <QPointer>

#include "wui/CConfirmEditCtrl.h"
#include "wui/RtEditorBase.h"

namespace NsOvrin::NsWui {

class RtConfirmEdit : public RtEditorBase {
 public:
  // Takes over the control (a child of the grid); it is destroyed with the
  // editor at the latest.
  explicit RtConfirmEdit(CConfirmEditCtrl* control);
  ~RtConfirmEdit() override;
  RtConfirmEdit(const RtConfirmEdit&) = delete;
  RtConfirmEdit& operator=(const RtConfirmEdit&) = delete;

  int GetCtrlId() const override;
  void Show(QWidget* owner, const WRect& cell, const std::string& text) override;
  void Hide() override;
  void DestroyWnd() override;
  QWidget* GetWnd() const override { return control_; }

  // Owners may set the control's flags; null once destroyed.
  CConfirmEditCtrl* Control() const { return control_; }

 private:
  void HideControl();

  QPointer<CConfirmEditCtrl> control_;
  QPointer<QWidget> owner_;
  bool hiding_ = false;
};

}  // namespace NsOvrin::NsWui
