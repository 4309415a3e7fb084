#pragma once
// The modal new-page dialog. The caller writes the proposed name into
// pageName, runs it and on IDOK reads the accepted, trimmed name back; the
// project is left to the caller.
#include <string>

#include <QDialog>

namespace NsOvrin {

class CDlgNewPage : public QDialog {
 public:
  static constexpr int IDC_NAME = 1000;
  static constexpr int IDC_OK = 1;
  static constexpr int IDC_CANCEL = 2;

  explicit CDlgNewPage(QWidget* parent = nullptr);

  // IDOK or IDCANCEL.
  int DoModal();

  std::string pageName;

  void OnInitDialog();
  void OnOK();

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  bool initialised_ = false;
};

}  // namespace NsOvrin
