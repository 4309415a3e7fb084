#pragma once
// The groups "文字", "对齐" and "权限" that the number box and string box
// pages share: colours, font size, background opacity, alignment and the
// access level of the box record.
#include "dialogs/UiElemProtEditor.h"

class QComboBox;

namespace NsOvrin {

namespace NsWui {
class CColorButton;
class CMtRadioButton;
}  // namespace NsWui

class OpacitySlider;
class ProtDialog;

class EditLookGroups {
 public:
  static constexpr int IDC_TEXT_COLOR = 1024;
  static constexpr int IDC_BORDER_COLOR = 1026;
  static constexpr int IDC_BK_COLOR = 1027;
  static constexpr int IDC_FONT_SIZE = 1006;
  static constexpr int IDC_OPACITY = 1028;
  static constexpr int IDC_HALIGN = 1018;
  static constexpr int IDC_USER_LEVEL = 1007;
  static constexpr int IDC_CAPTION_TEXT = 1047;
  static constexpr int IDC_CAPTION_ALIGN = 1048;
  static constexpr int IDC_CAPTION_LEVEL = 1049;
  static constexpr int IDC_LINE_TEXT = 1050;
  static constexpr int IDC_LINE_ALIGN = 1051;
  static constexpr int IDC_LINE_LEVEL = 1052;

  // The three groups start at y, and *y ends below them.
  EditLookGroups(ProtDialog* page, UiElemProtEditor& editor, int* y);

  // The fixed items of the two combos.
  void OnInitDialog();
  // The controls from the anchored box record (defaults without one) and
  // the listeners of the colour buttons and the selector.
  void Bind();

  NsWui::CColorButton* textColour = nullptr;
  NsWui::CColorButton* borderColour = nullptr;
  NsWui::CColorButton* bkColour = nullptr;
  QComboBox* fontSize = nullptr;
  OpacitySlider* opacity = nullptr;
  NsWui::CMtRadioButton* hAlign = nullptr;
  QComboBox* userLevel = nullptr;

 private:
  UiElemProtEditor& editor_;
};

}  // namespace NsOvrin
