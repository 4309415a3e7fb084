#pragma once
// The property page of number boxes: the box's look, its access level, and
// the number binding: data type, decimals, read-only flag, the optional
// limits and the address; with the visibility block.
#include <cstdint>
#include <memory>
#include <string>

#include "dialogs/EditLookGroups.h"
#include "dialogs/ProtDialog.h"
#include "dialogs/UiElemProtEditor.h"
#include "dialogs/VisibilityBlock.h"

class QCheckBox;
class QComboBox;

namespace NsOvrin {

class UiRule;

namespace NsWui {
class CConfirmEditCtrl;
}

class CDlgProtEdit : public ProtDialog, public UiElemProtEditor {
 public:
  static constexpr int IDD = 320;
  static constexpr int IDC_DATA_TYPE = 1013;
  static constexpr int IDC_SCALE = 1011;
  static constexpr int IDC_READ_ONLY = 1008;
  static constexpr int IDC_ENABLE_MIN = 1009;
  static constexpr int IDC_MIN = 1000;
  static constexpr int IDC_ENABLE_MAX = 1010;
  static constexpr int IDC_MAX = 1001;
  static constexpr int IDC_ADDRESS = 1002;
  static constexpr int IDC_CAPTION_DATA = 1055;
  static constexpr int IDC_CAPTION_VISIB = 1056;
  static constexpr int IDC_LINE_DATA = 1053;
  static constexpr int IDC_LINE_VISIB = 1054;

  explicit CDlgProtEdit(QWidget* parent = nullptr);
  ~CDlgProtEdit() override;

  QWidget* GetWindow() override { return this; }
  void Bind(const Selection& elems) override;

  // The raw value of a limit typed with that many decimals: the decimal
  // text scaled by 10^scale, digits beyond the decimals cut off, kept as
  // 32 bits (a negative value as its two's complement). Without decimals
  // the leading integer, held to the signed 32-bit range.
  static uint32_t LimitTextToRaw(const std::string& text, uint8_t scale);

 protected:
  QScrollBar* GetVScrollBar() override { return VScrollBar(); }

 private:
  void OnInitDialog();
  // Enables and checks the limit controls from the anchored binding.
  void UpdateLimitControls();
  // Installs the limit rule and the formatter that writes min (or max).
  void SetUpLimitEdit(NsWui::CConfirmEditCtrl& edit, bool isMin);

  std::unique_ptr<EditLookGroups> look_;
  QComboBox* dataType_;
  QComboBox* scale_;
  QCheckBox* readOnly_;
  QCheckBox* enableMin_;
  NsWui::CConfirmEditCtrl* min_;
  QCheckBox* enableMax_;
  NsWui::CConfirmEditCtrl* max_;
  NsWui::CConfirmEditCtrl* address_;
  std::unique_ptr<VisibilityBlock> visibility_;
  // "最小值": required, any decimal number. The maximum uses it too.
  std::shared_ptr<UiRule> limitRule_;
};

}  // namespace NsOvrin
