#pragma once
// The modal new-project dialog: project name, folder and the panel's
// screen size. The caller presets width and height, runs it and on IDOK
// builds the project from the four members; the dialog changes nothing.
#include <cstdint>
#include <string>

#include "wui/CModalDialog.h"

namespace NsOvrin {

namespace NsWui {
class CConfirmEditCtrl;
class MfcEditBrowse;
}  // namespace NsWui

class CDlgNewProject : public NsWui::CModalDialog {
 public:
  // Control ids.
  static constexpr int IDC_NAME = 1000;
  static constexpr int IDC_FOLDER = 1001;
  static constexpr int IDC_WIDTH = 1002;
  static constexpr int IDC_HEIGHT = 1003;
  static constexpr int IDC_OK = 1;
  static constexpr int IDC_CANCEL = 2;

  explicit CDlgNewProject(QWidget* parent = nullptr);

  // Trimmed; not validated.
  std::string folder;
  // Trimmed, not empty and a valid name.
  std::string name;
  // Screen size in pixels, always > 0 on IDOK. Not width/height, which
  // would hide the widget's own.
  int32_t screenWidth = 600;
  int32_t screenHeight = 480;
  NsWui::CConfirmEditCtrl* widthEdit = nullptr;
  NsWui::CConfirmEditCtrl* heightEdit = nullptr;

  void OnInitDialog() override;
  void OnOK();
};

// The primary screen's size in physical pixels divided by the display scale
// factor, each truncated; 0 without a screen.
int32_t ScreenExtentForDpi(int physicalPixels, float dpiScale);

}  // namespace NsOvrin
