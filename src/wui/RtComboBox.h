#pragma once
// The in-place drop-down list: choosing an item writes its text into the
// cell and closes the list. An optional fill hook fills the list each time
// the editor opens.
#include <functional>
#include <string>

#include <QComboBox>
#include <QPointer>

#include "wui/RtEditorBase.h"

namespace NsOvrin::NsWui {

// The list window of an RtComboBox: reports its focus loss.
class RtComboWindow : public QComboBox {
 public:
  using QComboBox::QComboBox;
  std::function<void(QFocusEvent*)> onFocusOut;

 protected:
  void focusOutEvent(QFocusEvent* event) override;
};

class RtComboBox : public RtEditorBase {
 public:
  // (the list, the cell's text): fills the list and selects.
  using FillHook = std::function<void(QComboBox*, const std::string&)>;

  explicit RtComboBox(RtComboWindow* window);
  ~RtComboBox() override;
  RtComboBox(const RtComboBox&) = delete;
  RtComboBox& operator=(const RtComboBox&) = delete;

  int GetCtrlId() const override;
  void Show(QWidget* owner, const WRect& cell, const std::string& text) override;
  void Hide() override;
  void DestroyWnd() override;
  QWidget* GetWnd() const override { return window_; }

  void OnSelChange(int index);
  void OnEditChange();
  void OnKillFocus();

  QComboBox* Window() const { return window_; }

  FillHook fillHook;

 private:
  QPointer<RtComboWindow> window_;
  QPointer<QWidget> owner_;
  bool hiding_ = false;
};

}  // namespace NsOvrin::NsWui
