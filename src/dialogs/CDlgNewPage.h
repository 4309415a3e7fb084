#pragma once
// The modal new-page dialog. The caller writes the proposed name into
// pageName, runs it and on IDOK reads the accepted, trimmed name back; the
// project is left to the caller.
#include <string>

#include "wui/CModalDialog.h"

namespace NsOvrin {

class CDlgNewPage : public NsWui::CModalDialog {
 public:
  static constexpr int IDC_NAME = 1000;
  static constexpr int IDC_OK = 1;
  static constexpr int IDC_CANCEL = 2;

  explicit CDlgNewPage(QWidget* parent = nullptr);

  std::string pageName;

  void OnInitDialog() override;
  void OnOK();
};

}  // namespace NsOvrin
