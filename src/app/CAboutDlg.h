#pragma once
// The about box of the Help menu.
#include <QDialog>

namespace NsOvrin {

class CAboutDlg : public QDialog {
 public:
  static constexpr int IDD = 100;

  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace NsOvrin
