#pragma once
// Lets another thread cut a pending wait on a port or socket short: the
// waiter polls Fd() together with its own descriptor.
#include <cstdint>

namespace NsOvrin::NsCommServer {

class WakeEvent {
 public:
  WakeEvent();
  ~WakeEvent();
  WakeEvent(const WakeEvent&) = delete;
  WakeEvent& operator=(const WakeEvent&) = delete;

  // Thread-safe. The wait in progress ends, or the next one when none is.
  void Set();
  // True when it was set; resets it.
  bool Consume();
  // -1 when the event could not be made (waits then run their full time).
  int Fd() const { return fd_; }

 private:
  int fd_ = -1;
};

enum class WaitResult {
  Ready,      // the descriptor has an event (data, room, hang-up or error)
  TimedOut,
  Retry,      // a signal interrupted the wait
  Cancelled,  // the wake event was set; it is consumed
  Failed,     // the descriptor is not valid
};

// Waits for `events` on fd, at most timeoutMs (negative: without limit), or
// until the wake event is set.
WaitResult WaitForFd(int fd, short events, int64_t timeoutMs, WakeEvent& wake);

}  // namespace NsOvrin::NsCommServer
