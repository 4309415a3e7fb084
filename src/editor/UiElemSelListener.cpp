#include "editor/UiElemSelListener.h"

#include <algorithm>

#include "editor/UiElemSelection.h"

namespace NsOvrin::NsUiD2ElemEditor {
namespace {

// In registration order, over the listeners registered when the walk began:
// one that is removed meanwhile (and may be gone) is skipped, one added
// hears from the next notification.
template <typename Call>
void NotifyAll(Call&& call) {
  std::vector<UiElemSelListener*>& registry = UiElemSelListener::GetRegistry();
  const std::vector<UiElemSelListener*> snapshot = registry;
  for (UiElemSelListener* listener : snapshot) {
    if (listener == nullptr) continue;
    if (std::find(registry.begin(), registry.end(), listener) == registry.end()) continue;
    call(*listener);
  }
}

}  // namespace

std::vector<UiElemSelListener*>& UiElemSelListener::GetRegistry() {
  static std::vector<UiElemSelListener*> registry;
  return registry;
}

void UiElemSelListener::NotifySelectionChanged(const UiElemSelection& selection) {
  // A listener may change the selection; every one hears the same members.
  const std::vector<std::shared_ptr<UiElem>> members = selection.GetMembers();
  NotifyAll([&members](UiElemSelListener& listener) { listener.OnSelectionChanged(members); });
}

void UiElemSelListener::NotifyPageSelected(const std::shared_ptr<QlEPage>& page) {
  NotifyAll([&page](UiElemSelListener& listener) { listener.OnPageSelected(page); });
}

void UiElemSelListener::NotifySelectionCleared() {
  NotifyAll([](UiElemSelListener& listener) { listener.OnSelectionCleared(); });
}

}  // namespace NsOvrin::NsUiD2ElemEditor
