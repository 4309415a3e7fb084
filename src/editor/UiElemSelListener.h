#pragma once
// Who hears about the canvas's selection: the property pane. The registry
// never owns its listeners; they add and remove themselves.
#include <memory>
#include <vector>

#include "editor/UiElem.h"

namespace NsOvrin {
class QlEPage;
}

namespace NsOvrin::NsUiD2ElemEditor {

class UiElemSelection;

class UiElemSelListener {
 public:
  virtual ~UiElemSelListener() = default;

  // May be empty.
  virtual void OnSelectionChanged(const std::vector<std::shared_ptr<UiElem>>& members) = 0;
  // Nothing is selected: the page itself is the subject.
  virtual void OnPageSelected(const std::shared_ptr<QlEPage>& page) = 0;
  // The selection is about to vanish.
  virtual void OnSelectionCleared() = 0;

  // Process-wide, in registration order.
  static std::vector<UiElemSelListener*>& GetRegistry();
  static void NotifySelectionChanged(const UiElemSelection& selection);
  static void NotifyPageSelected(const std::shared_ptr<QlEPage>& page);
  static void NotifySelectionCleared();
};

}  // namespace NsOvrin::NsUiD2ElemEditor
