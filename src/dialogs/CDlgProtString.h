#pragma once
// The property page of string boxes: the box's look and access level, and
// the string binding: read-only flag, start address and length in
// characters, with the address range they give; and the visibility block.
#include <memory>
#include <string>

#include "dialogs/EditLookGroups.h"
#include "dialogs/ProtDialog.h"
#include "dialogs/UiElemProtEditor.h"
#include "dialogs/VisibilityBlock.h"

class QCheckBox;
class QLineEdit;

namespace NsOvrin {

namespace NsWui {
class CConfirmEditCtrl;
}

namespace NsQlElemIo {
class QlStringIo;
}

class CDlgProtString : public ProtDialog, public UiElemProtEditor {
 public:
  static constexpr int IDD = 361;
  static constexpr int IDC_READ_ONLY = 1008;
  static constexpr int IDC_ADDRESS = 1002;
  static constexpr int IDC_LENGTH = 1003;
  static constexpr int IDC_RANGE = 1000;
  static constexpr int IDC_CAPTION_DATA = 1055;
  static constexpr int IDC_CAPTION_VISIB = 1056;
  static constexpr int IDC_LINE_DATA = 1053;
  static constexpr int IDC_LINE_VISIB = 1054;

  explicit CDlgProtString(QWidget* parent = nullptr);
  ~CDlgProtString() override;

  QWidget* GetWindow() override { return this; }
  void Bind(const Selection& elems) override;

  // The rule "字符串长度" (2..100), then an even number.
  static bool ValidateLength(const std::string& text, std::string& message);
  // Binds io to the run that starts at the address, with its own length;
  // the address of a binding it does not bind is left as it was. True when
  // it bound.
  static bool BindStartAddress(NsQlElemIo::QlStringIo& io, const std::string& address);

 protected:
  QScrollBar* GetVScrollBar() override { return VScrollBar(); }

 private:
  void OnInitDialog();
  // Edit 1000 from the anchored binding.
  void ShowRange();

  std::unique_ptr<EditLookGroups> look_;
  QCheckBox* readOnly_;
  NsWui::CConfirmEditCtrl* address_;
  NsWui::CConfirmEditCtrl* length_;
  std::unique_ptr<VisibilityBlock> visibility_;
};

}  // namespace NsOvrin
