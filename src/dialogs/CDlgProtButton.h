#pragma once
// The property page of buttons: the button type, the common look, the texts,
// colours and pictures of the OFF and ON states, the read and write
// addresses, the access level and hold delay, the constant a set-value
// button writes, and the visibility block.
#include <cstdint>
#include <memory>
#include <string>

#include "dialogs/ProtDialog.h"
#include "dialogs/UiElemProtEditor.h"
#include "dialogs/VisibilityBlock.h"
#include "editor/TUiHost.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace NsOvrin {

namespace NsWui {
class CColorButton;
class CConfirmEditCtrl;
class MfcEditBrowse;
}  // namespace NsWui

class OpacitySlider;

// "取反型按钮" (0) to "仅显示状态" (5); empty for any other type.
std::string GetButtonTypeName(int32_t type);

// The address the write edit shows: the read address of a momentary button
// that reads and writes one address, the write address otherwise; empty
// without a button binding.
std::string GetShownWriteAddress(const std::shared_ptr<NsUiD2ElemEditor::TUiHost>& host);

class CDlgProtButton : public ProtDialog, public UiElemProtEditor {
 public:
  static constexpr int IDD = 346;
  static constexpr int IDC_BUTTON_TYPE = 1009;
  static constexpr int IDC_BORDER_COLOR = 1019;
  static constexpr int IDC_FONT_SIZE = 1006;
  static constexpr int IDC_OPACITY = 1028;
  static constexpr int IDC_IMAGE_FIT = 1012;
  static constexpr int IDC_STYLE = 1008;
  static constexpr int IDC_TEXT = 1000;
  static constexpr int IDC_TEXT_COLOR = 1018;
  static constexpr int IDC_BK_COLOR = 1020;
  static constexpr int IDC_IMAGE = 1005;
  static constexpr int IDC_CLEAR_IMAGE = 1024;
  static constexpr int IDC_TEXT2 = 1001;
  static constexpr int IDC_TEXT_COLOR2 = 1021;
  static constexpr int IDC_BK_COLOR2 = 1023;
  static constexpr int IDC_IMAGE2 = 1007;
  static constexpr int IDC_CLEAR_IMAGE2 = 1025;
  static constexpr int IDC_READ_ADDRESS = 1003;
  static constexpr int IDC_CHECK3 = 1010;  // reads and writes one address
  static constexpr int IDC_WRITE_ADDRESS = 1004;
  static constexpr int IDC_USER_LEVEL = 1013;
  static constexpr int IDC_HOLD_DELAY = 1014;
  static constexpr int IDC_HOLD_DELAY_LABEL = 1036;
  static constexpr int IDC_DATA_TYPE = 1011;
  static constexpr int IDC_PRESET = 1002;
  static constexpr int IDC_PRESET_LABEL = 1034;
  static constexpr int IDC_CAPTION_TYPE = 1047;
  static constexpr int IDC_CAPTION_COMMON = 1048;
  static constexpr int IDC_CAPTION_OFF = 1049;
  static constexpr int IDC_CAPTION_ON = 1055;
  static constexpr int IDC_CAPTION_ADDRESS = 1056;
  static constexpr int IDC_CAPTION_SAFETY = 1057;
  static constexpr int IDC_CAPTION_PRESET = 1059;
  static constexpr int IDC_CAPTION_VISIB = 1061;
  static constexpr int IDC_LINE_TYPE = 1050;
  static constexpr int IDC_LINE_COMMON = 1051;
  static constexpr int IDC_LINE_OFF = 1052;
  static constexpr int IDC_LINE_ON = 1053;
  static constexpr int IDC_LINE_ADDRESS = 1054;
  static constexpr int IDC_LINE_SAFETY = 1058;
  static constexpr int IDC_LINE_PRESET = 1060;
  static constexpr int IDC_LINE_VISIB = 1062;

  explicit CDlgProtButton(QWidget* parent = nullptr);
  ~CDlgProtButton() override;

  QWidget* GetWindow() override { return this; }
  void Bind(const Selection& elems) override;

  // The address edits, the check box between them and their enabled states
  // for a button type. A missing check box is reported in a message box.
  void UpdateAddressControls(int32_t type);

  // Validators of the confirm edits (message says why not).
  bool ValidateReadAddress(const std::string& text, std::string& message) const;
  static bool ValidateWriteAddress(const std::string& text, std::string& message);
  bool ValidateHoldDelay(const std::string& text, std::string& message) const;
  bool ValidatePresetValue(const std::string& text, std::string& message) const;

  // The anchored preset value shown by the data type chosen in 1011; empty
  // with none chosen.
  std::string FormatPresetValue() const;
  // Writes the typed value by the chosen data type to every selected button.
  void ApplyPresetValue(const std::string& text);
  // Seconds typed, tenths of a second stored.
  void ApplyHoldDelay(const std::string& text);

  // True only while Bind fills the controls.
  bool loading = false;

 protected:
  QScrollBar* GetVScrollBar() override { return VScrollBar(); }

 private:
  void OnInitDialog();
  void OnButtonTypeChosen();
  // The constant group is shown for set-value buttons only.
  void ShowPresetControls(bool show);
  // Writes the read (and for both, the write) address to every selected
  // button and binds each again.
  void SetReadAddress(const std::string& address);
  void SetWriteAddress(const std::string& address);
  // The picture edits: a change applies the path; "X" empties it.
  void ConnectPicture(NsWui::MfcEditBrowse* edit, QPushButton* clear, bool second);
  // The data type chosen in 1011; 0 with none.
  int32_t ChosenDataType() const;

  QComboBox* buttonType_;
  NsWui::CColorButton* borderColour_;
  QComboBox* fontSize_;
  OpacitySlider* opacity_;
  QComboBox* imageFit_;
  QComboBox* style_;
  QLineEdit* text_;
  NsWui::CColorButton* textColour_;
  NsWui::CColorButton* bkColour_;
  NsWui::MfcEditBrowse* image_;
  QLineEdit* text2_;
  NsWui::CColorButton* textColour2_;
  NsWui::CColorButton* bkColour2_;
  NsWui::MfcEditBrowse* image2_;
  NsWui::CConfirmEditCtrl* readAddress_;
  NsWui::CConfirmEditCtrl* writeAddress_;
  QComboBox* userLevel_;
  NsWui::CConfirmEditCtrl* holdDelay_;
  QComboBox* dataType_;
  NsWui::CConfirmEditCtrl* preset_;
  QLabel* presetLabel_;
  std::unique_ptr<VisibilityBlock> visibility_;
};

}  // namespace NsOvrin
