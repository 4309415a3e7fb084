#pragma once
// The property page of the login button (type 12): its heading only.
#include "dialogs/ProtHeadingPage.h"

namespace NsOvrin {

class CDlgProtBtnUser : public ProtHeadingPage {
 public:
  static constexpr int IDD = 381;

  explicit CDlgProtBtnUser(QWidget* parent = nullptr);
};

}  // namespace NsOvrin
