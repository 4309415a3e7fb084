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

  // A limit typed with that many decimals as a whole number: the decimal
  // text scaled by 10^scale, digits beyond the decimals cut off (without
  // decimals the leading integer). Held to +-10^10, beyond every 32-bit
  // value.
  static int64_t LimitTextToValue(const std::string& text, uint8_t scale);
  // The raw value of that text, kept as 32 bits (a negative value as its
  // two's complement), held to the signed minimum and the unsigned maximum.
  static uint32_t LimitTextToRaw(const std::string& text, uint8_t scale);
  // The whole numbers a value of that data type holds; false for a data type
  // without a number.
  static bool GetLimitRange(uint16_t dataType, int64_t& low, int64_t& high);
  // False, with the range reason, for a limit outside what the data type
  // holds at that many decimals.
  static bool CheckLimitRange(const std::string& text, uint16_t dataType, uint8_t scale,
                              std::string& reason);
  // A stored limit as the edit shows it: signed for the signed data types,
  // with exactly its digits.
  static std::string LimitRawToText(uint32_t raw, uint16_t dataType, uint8_t scale);

 protected:
  QScrollBar* GetVScrollBar() override { return VScrollBar(); }

 private:
  void OnInitDialog();
  // Enables and checks the limit controls from the anchored binding.
  void UpdateLimitControls();
  // The anchored binding's limits in the two edits ("0" without one).
  void ShowLimits();
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
  // "最小值": required, any decimal number. The maximum uses it too; both
  // also hold the limit to the anchored data type's range.
  std::shared_ptr<UiRule> limitRule_;
};

}  // namespace NsOvrin
