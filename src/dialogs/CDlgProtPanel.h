#pragma once
// The property page of panels: the title, its font size, the four colours
// and the visibility block.
#include <memory>

#include "dialogs/ProtDialog.h"
#include "dialogs/UiElemProtEditor.h"
#include "dialogs/VisibilityBlock.h"

class QComboBox;
class QLineEdit;

namespace NsOvrin {

namespace NsWui {
class CColorButton;
}

class CDlgProtPanel : public ProtDialog, public UiElemProtEditor {
 public:
  static constexpr int IDD = 354;
  static constexpr int IDC_TITLE = 1000;
  static constexpr int IDC_TEXT_COLOR = 1023;
  static constexpr int IDC_FONT_SIZE = 1006;
  static constexpr int IDC_TITLE_BK_COLOR = 1025;
  static constexpr int IDC_BORDER_COLOR = 1027;
  static constexpr int IDC_BK_COLOR = 1026;
  static constexpr int IDC_CAPTION_TITLE = 1047;
  static constexpr int IDC_CAPTION_VISIB = 1048;
  static constexpr int IDC_LINE_TITLE = 1050;
  static constexpr int IDC_LINE_VISIB = 1051;

  explicit CDlgProtPanel(QWidget* parent = nullptr);

  QWidget* GetWindow() override { return this; }
  void Bind(const Selection& elems) override;
  // Only hides: the selection stays until the next Bind.
  void Hide() override;

  // True only while Bind fills the controls.
  bool loading = false;

 protected:
  QScrollBar* GetVScrollBar() override { return VScrollBar(); }

 private:
  void OnInitDialog();

  QLineEdit* title_;
  NsWui::CColorButton* textColour_;
  QComboBox* fontSize_;
  NsWui::CColorButton* titleBkColour_;
  NsWui::CColorButton* borderColour_;
  NsWui::CColorButton* bkColour_;
  std::unique_ptr<VisibilityBlock> visibility_;
};

}  // namespace NsOvrin
