#pragma once
// Message boxes of the project store. The store sits below the widget layer:
// the application installs the widget implementation at start-up, tests a
// recording double.
#include <string>

namespace NsOvrin {

// A window of the widget layer, opaque here: the owner of a box or dialog
// shown over it. May be null.
struct ParentWindow;

enum class MessageIcon { Information, Warning, Error, Question };

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;

  // A modal box with an OK button, owned by owner.
  virtual void Show(ParentWindow* owner, const std::string& text, const std::string& caption,
                    MessageIcon icon) = 0;

  // Process-wide, not owned; null removes it. User-interface thread only.
  static void Install(MessageBoxService* service);
  static MessageBoxService* Installed();
};

// Through the installed service. Without one the text goes to the warning
// log, so that a failure is never dropped unseen.
void ShowMessageBox(ParentWindow* owner, const std::string& text, const std::string& caption,
                    MessageIcon icon);

}  // namespace NsOvrin
