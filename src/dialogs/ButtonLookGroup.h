#pragma once
// The group "文字" that the page-jump and multi-function button pages share:
// the button's text, its text, border and background colours, font size
// and background opacity.
#include "dialogs/UiElemProtEditor.h"

class QComboBox;
class QLineEdit;

namespace NsOvrin {

namespace NsWui {
class CColorButton;
}

class OpacitySlider;
class ProtDialog;

class ButtonLookGroup {
 public:
  static constexpr int IDC_TEXT = 1000;
  static constexpr int IDC_TEXT_COLOR = 1018;
  static constexpr int IDC_BORDER_COLOR = 1019;
  static constexpr int IDC_BK_COLOR = 1020;
  static constexpr int IDC_FONT_SIZE = 1006;
  static constexpr int IDC_OPACITY = 1028;
  static constexpr int IDC_CAPTION = 1047;
  static constexpr int IDC_LINE = 1050;

  // The group starts at y, and *y ends below it. loading is the page's
  // flag: the text edit ignores changes made while it is set.
  ButtonLookGroup(ProtDialog* page, UiElemProtEditor& editor, const bool& loading, int* y);

  // The font sizes.
  void OnInitDialog();
  // The controls from the anchored button record, defaults without one;
  // without an anchored host the colours stay as they were and the font
  // size shows none.
  void Bind();

  QLineEdit* text = nullptr;
  NsWui::CColorButton* textColour = nullptr;
  NsWui::CColorButton* borderColour = nullptr;
  NsWui::CColorButton* bkColour = nullptr;
  QComboBox* fontSize = nullptr;
  OpacitySlider* opacity = nullptr;

 private:
  UiElemProtEditor& editor_;
};

}  // namespace NsOvrin
