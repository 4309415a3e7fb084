#pragma once
// The group "可见性" that ten element pages carry: whether a bit address
// shows or hides the element, which address, and which state shows it. It
// edits the visibility settings at the start of every selected element's
// binding.
#include <memory>
#include <string>

#include "dialogs/UiElemProtEditor.h"
#include "editor/TUiHost.h"

class QButtonGroup;
class QCheckBox;
class QLabel;
class QRadioButton;
class QWidget;

namespace NsOvrin {

namespace NsWui {
class CConfirmEditCtrl;
}

class VisibilityBlock {
 public:
  static constexpr int IDC_ENABLE = 1044;
  static constexpr int IDC_ADDRESS = 1046;
  static constexpr int IDC_RADIO1 = 1029;  // shown while ON
  static constexpr int IDC_RADIO2 = 1030;  // shown while OFF

  // Height of the controls below the group caption.
  static constexpr int kHeight = 84;

  // Makes the controls in page from (x, y), width wide; their handlers
  // write through editor.
  VisibilityBlock(QWidget* page, UiElemProtEditor& editor, int x, int y, int width);

  QCheckBox* enable = nullptr;
  QLabel* addressLabel = nullptr;
  NsWui::CConfirmEditCtrl* address = nullptr;
  QRadioButton* showOn = nullptr;
  QRadioButton* showOff = nullptr;

 private:
  QButtonGroup* modeGroup_ = nullptr;
};

// Sets the block from the anchored host's binding (defaults without one),
// installs the address edit's validator and formatter and enables the
// controls. Part of every Bind.
void LoadVisibilityBlock(QWidget* page, UiElemProtEditor& editor, const VisibilityBlock& block);

// Refuses without an anchored element, an empty (blank) address, and an
// address that is not a bit inside one of its node's data blocks.
bool ValidateVisibilityAddress(const std::shared_ptr<NsUiD2ElemEditor::TUiHost>& anchored,
                               const std::string& text, std::string& message);

// Each writes every selected element's setting, follows up and calls
// NotifyChanged once: the address binds again, the enable flag is checked,
// the mode needs nothing.
void SetVisibilityAddress(UiElemProtEditor& editor, const std::string& address);
void SetVisibilityEnabled(UiElemProtEditor& editor, bool enabled);
void SetVisibilityMode(UiElemProtEditor& editor, bool showWhenTrue);

// Enables or disables the address edit and both radios of the page. A radio
// missing from the page is reported in a message box; the rest is handled.
void EnableVisibilityControls(QWidget* page, bool on);

// Back to idle with no buttons, the text restored on focus loss: the state
// Bind leaves every confirm edit in before setting its text.
void ResetConfirmEdit(NsWui::CConfirmEditCtrl& edit);

}  // namespace NsOvrin
