#pragma once
// The modal dialog "文本属性" in which the multi-state text page makes a new
// state (its value and look) or changes the look of an existing one. The
// caller reads valueText and item back after IDOK.
#include <functional>
#include <string>

#include "QlUiElem/MultStateItem.h"
#include "wui/CModalDialog.h"

class QComboBox;
class QLineEdit;

namespace NsOvrin {

namespace NsWui {
class CColorButton;
class CMtRadioButton;
}  // namespace NsWui

class OpacitySlider;

class CDlgTextInfo : public NsWui::CModalDialog {
 public:
  static constexpr int IDD = 377;
  static constexpr int IDC_VALUE = 1001;
  static constexpr int IDC_TEXT = 1000;
  static constexpr int IDC_TEXT_COLOR = 1023;
  static constexpr int IDC_FONT_SIZE = 1006;
  static constexpr int IDC_BK_COLOR = 1025;
  static constexpr int IDC_OPACITY = 1028;
  static constexpr int IDC_HALIGN = 1018;
  static constexpr int IDC_VALIGN = 1024;
  static constexpr int IDC_OK = 1;
  static constexpr int IDC_CANCEL = 2;

  // (value text, error text out) -> accepted.
  using ValueValidator = std::function<bool(const std::string&, std::string&)>;

  // A new state: the default look, the value editable.
  CDlgTextInfo(const std::string& valueText, QWidget* parent = nullptr);
  // An existing state: a copy of its look, the value fixed.
  CDlgTextInfo(const std::string& valueText, const NsQlUiElem::MultStateItem& item,
               QWidget* parent = nullptr);

  void OnInitDialog() override;
  void OnOK();

  // Trimmed after IDOK.
  std::string valueText;
  NsQlUiElem::MultStateItem item;
  // Set for an existing state.
  bool editMode = false;
  // Set while OnInitDialog fills the controls.
  bool loading = false;
  // Absent: every value passes.
  ValueValidator validator;

 private:
  void Build();

  QLineEdit* text_;
  NsWui::CColorButton* textColour_;
  QComboBox* fontSize_;
  NsWui::CColorButton* bkColour_;
  OpacitySlider* opacity_;
  NsWui::CMtRadioButton* hAlign_;
  NsWui::CMtRadioButton* vAlign_;
};

}  // namespace NsOvrin
