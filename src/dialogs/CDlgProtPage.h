#pragma once
// The property page of the page being edited, shown when nothing is
// selected: the page's name (a rename of the page in the project), its
// background colour, width and height, and its access level. Renames and
// changed properties are announced to the project's page listeners.
#include <cstdint>
#include <memory>
#include <string>

#include "dialogs/ProtDialog.h"
#include "dialogs/UiPageProtEditor.h"

class QComboBox;

namespace NsOvrin {

namespace NsWui {
class CColorButton;
class CConfirmEditCtrl;
}  // namespace NsWui

class CDlgProtPage : public ProtDialog, public UiPageProtEditor {
 public:
  static constexpr int IDD = 323;
  static constexpr int IDC_NAME = 1000;
  static constexpr int IDC_BK_COLOR = 1018;
  static constexpr int IDC_WIDTH = 1001;
  static constexpr int IDC_HEIGHT = 1002;
  static constexpr int IDC_USER_LEVEL = 1007;
  static constexpr int IDC_CAPTION_NAME = 1047;
  static constexpr int IDC_CAPTION_SIZE = 1048;
  static constexpr int IDC_CAPTION_LEVEL = 1049;
  static constexpr int IDC_LINE_NAME = 1050;
  static constexpr int IDC_LINE_SIZE = 1051;
  static constexpr int IDC_LINE_LEVEL = 1052;

  // The colour shown without a page.
  static constexpr uint32_t kNoPageColour = 0xF0F0F0;

  explicit CDlgProtPage(QWidget* parent = nullptr);

  QWidget* GetWindow() override { return this; }
  // Only hides: the page stays held until the next Bind.
  void Hide() override { hide(); }
  void Bind(const std::shared_ptr<QlEPage>& edited) override;

  // Renames the held page in the project and tells the page listeners;
  // message says why not.
  bool RenamePageName(const std::string& text, std::string& message);
  // The trimmed text becomes the held page's name, and the edit's text.
  void StorePageName(std::string& text);
  void SetPageColour(uint32_t colour);
  // The confirmed text as width or height; the left and top edges stay.
  void SetPageWidth(const std::string& text);
  void SetPageHeight(const std::string& text);

  // A page size typed into the width or height edit: at least 20.
  static bool ValidatePageSize(const std::string& text, std::string& message);
  // The confirmed (validated) text as a size; a value too large for a page
  // coordinate stops at the largest one.
  static float PageSizeOf(const std::string& text);

 protected:
  QScrollBar* GetVScrollBar() override { return VScrollBar(); }

 private:
  void OnInitDialog();
  // The page listeners hear of the page's colour and rectangle, then the
  // pane of the change.
  void AnnouncePageChanged();

  NsWui::CConfirmEditCtrl* name_;
  NsWui::CColorButton* colour_;
  NsWui::CConfirmEditCtrl* width_;
  NsWui::CConfirmEditCtrl* height_;
  QComboBox* userLevel_;
};

}  // namespace NsOvrin
