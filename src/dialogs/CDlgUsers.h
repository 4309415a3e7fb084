#pragma once
// The users dialog: the project's users in a grid of level, name, password
// and description, where only the passwords can be changed. A confirmed
// password takes effect at once in the live user list; there is no OK step:
// Enter and Escape do nothing and only the close box ends it.
#include <cstdint>
#include <string>

#include "wui/CModalDialog.h"

namespace NsOvrin {

namespace NsWui {
class OvReportCtrl;
}

class CDlgUsers : public NsWui::CModalDialog {
 public:
  static constexpr int IDC_GRID = 1037;

  static constexpr int kColLevel = 0;
  static constexpr int kColName = 1;
  static constexpr int kColPassword = 2;
  static constexpr int kColDescription = 3;

  explicit CDlgUsers(QWidget* parent = nullptr);
  ~CDlgUsers() override;

  void OnInitDialog() override;
  // Header row, then one row per user; an empty list first gets the default
  // users.
  void FillRows();
  // The commit of the password editor on the grid's edit row.
  void CommitPassword(std::string& text);

  // At most 20 characters, each an ASCII letter or digit, the blank or one of
  // ! # $ % & * - = @ _; the empty password is allowed.
  static bool ValidatePassword(const std::string& text, std::string& message);
  // What a level may do; empty for the levels without a description.
  static std::string GetLevelDescription(int32_t level);

  NsWui::OvReportCtrl* grid = nullptr;
};

}  // namespace NsOvrin
