#pragma once
// The walking and registration shared by the listener registries. A registry
// is a plain vector of listener pointers it does not own; listeners may add
// or remove entries (their own or others') while they are being notified.
#include <algorithm>
#include <vector>

namespace NsOvrin {

// The one registry of a listener kind, made on first use and never
// destroyed: listeners held by other process-wide objects leave it during
// their own destruction at exit, in any order.
template <typename Listener>
std::vector<Listener*>& LastingRegistry() {
  static auto* registry = new std::vector<Listener*>();
  return *registry;
}

// Appends the listener unless it is null or already registered.
template <typename Listener>
void RegisterListener(std::vector<Listener*>& registry, Listener* listener) {
  if (listener == nullptr) return;
  if (std::find(registry.begin(), registry.end(), listener) != registry.end()) return;
  registry.push_back(listener);
}

// Calls call(listener) on every listener that was registered when the walk
// began, in registration order, skipping those removed meanwhile: a removed
// listener may already be gone, and a removal must not make the walk miss
// or repeat one that is still registered. Listeners added during the walk
// hear from the next notification.
template <typename Listener, typename Call>
void NotifyListeners(std::vector<Listener*>& registry, Call&& call) {
  const std::vector<Listener*> snapshot = registry;
  for (std::size_t i = 0; i < snapshot.size(); ++i) {
    Listener* listener = snapshot[i];
    if (std::find(registry.begin(), registry.end(), listener) == registry.end()) continue;
    call(listener);
  }
}

}  // namespace NsOvrin
