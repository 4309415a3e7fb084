#pragma once
// What executed instructions ask of the user interface: page changes,
// pop-ups, short messages and the news of a logout. The application installs
// its implementation; without one these instructions only report their
// result. User-interface thread.
#include <string>

namespace NsOvrin::NsQlCompiler {

class QlFuncUi {
 public:
  virtual ~QlFuncUi() = default;

  // Opens the page as a pop-up window.
  virtual void PopupScreen(const std::string& pageName) = 0;
  virtual void JumpToPage(const std::string& pageName) = 0;
  // A short message in the middle of the screen.
  virtual void ShowToast(const std::string& text) = 0;
  // The anonymous user has just become the current user.
  virtual void UserLoggedOut() = 0;
};

// Not owned; null removes it. The installer keeps it alive while installed.
void SetFuncUi(QlFuncUi* ui);
QlFuncUi* GetFuncUi();

}  // namespace NsOvrin::NsQlCompiler
