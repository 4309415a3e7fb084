#pragma once
// The property page of static texts: the text, its colour and size, the
// background colour and opacity, both alignments, and the visibility block.
#include <memory>

#include "dialogs/ProtDialog.h"
#include "dialogs/UiElemProtEditor.h"
#include "dialogs/VisibilityBlock.h"

class QComboBox;
class QLineEdit;

namespace NsOvrin {

namespace NsWui {
class CColorButton;
class CMtRadioButton;
}  // namespace NsWui

class OpacitySlider;

class CDlgProtText : public ProtDialog, public UiElemProtEditor {
 public:
  static constexpr int IDD = 319;
  static constexpr int IDC_TEXT = 1000;
  static constexpr int IDC_TEXT_COLOR = 1023;
  static constexpr int IDC_FONT_SIZE = 1006;
  static constexpr int IDC_BK_COLOR = 1025;
  static constexpr int IDC_OPACITY = 1028;
  static constexpr int IDC_HALIGN = 1018;
  static constexpr int IDC_VALIGN = 1024;
  static constexpr int IDC_CAPTION_TEXT = 1047;
  static constexpr int IDC_CAPTION_ALIGN = 1048;
  static constexpr int IDC_CAPTION_VISIB = 1049;
  static constexpr int IDC_LINE_TEXT = 1039;
  static constexpr int IDC_LINE_ALIGN = 1040;
  static constexpr int IDC_LINE_VISIB = 1041;

  explicit CDlgProtText(QWidget* parent = nullptr);

  QWidget* GetWindow() override { return this; }
  void Bind(const Selection& elems) override;

  // True only while Bind fills the controls.
  bool loading = false;

 protected:
  QScrollBar* GetVScrollBar() override { return VScrollBar(); }

 private:
  void OnInitDialog();

  QLineEdit* text_;
  NsWui::CColorButton* textColour_;
  QComboBox* fontSize_;
  NsWui::CColorButton* bkColour_;
  OpacitySlider* opacity_;
  NsWui::CMtRadioButton* hAlign_;
  NsWui::CMtRadioButton* vAlign_;
  std::unique_ptr<VisibilityBlock> visibility_;
};

}  // namespace NsOvrin
