#pragma once
// Questions of the project store: a modal box with Yes, No and Cancel and
// the question icon. The store sits below the widget layer: the application
// installs the widget implementation at start-up, tests a scripted double.
#include <string>

#include "ui_services/MessageBoxService.h"

namespace NsOvrin {

enum class QuestionAnswer { Yes, No, Cancel };

class QuestionBoxService {
 public:
  virtual ~QuestionBoxService() = default;

  // Owned by owner; closing the box counts as Cancel.
  virtual QuestionAnswer Ask(ParentWindow* owner, const std::string& text,
                             const std::string& caption) = 0;

  // Process-wide, not owned; null removes it. User-interface thread only.
  static void Install(QuestionBoxService* service);
  static QuestionBoxService* Installed();
};

// Through the installed service. Without one the question goes to the
// warning log and the answer is Cancel: whatever was asked about is left as
// it is.
QuestionAnswer AskQuestion(ParentWindow* owner, const std::string& text,
                           const std::string& caption);

}  // namespace NsOvrin
