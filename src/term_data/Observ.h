#pragma once
// A list of listeners (not owned) with its own reader/writer lock: register
// and unregister exclusively, notify shared.
#include <algorithm>
#include <mutex>
#include <shared_mutex>
#include <vector>

namespace NsOvrin::NsTermination {

template <typename Listener, int Tag>
class Observ {
 public:
  Observ() = default;
  Observ(const Observ&) = delete;
  Observ& operator=(const Observ&) = delete;

  // Appends the listener unless it is already registered.
  void AddListener(Listener* listener) {
    if (!listener) return;
    std::unique_lock lock(listenerLock_);
    if (std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
      listeners_.push_back(listener);
  }

  // The remaining listeners keep their order.
  void RemoveListener(Listener* listener) {
    std::unique_lock lock(listenerLock_);
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
  }

 protected:
  ~Observ() = default;

  // Calls fn on every listener in registration order under the shared lock.
  template <typename Fn>
  void ForEachListener(Fn&& fn) {
    std::shared_lock lock(listenerLock_);
    for (Listener* listener : listeners_) fn(*listener);
  }

 private:
  std::shared_mutex listenerLock_;
  std::vector<Listener*> listeners_;
};

}  // namespace NsOvrin::NsTermination
