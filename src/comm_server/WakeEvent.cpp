#include "comm_server/WakeEvent.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>

namespace NsOvrin::NsCommServer {

WakeEvent::WakeEvent() : fd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}

WakeEvent::~WakeEvent() {
  if (fd_ >= 0) close(fd_);
}

void WakeEvent::Set() {
  if (fd_ < 0) return;
  const uint64_t one = 1;
  // Fails only when the counter is already near its maximum: still set.
  [[maybe_unused]] ssize_t n = write(fd_, &one, sizeof one);
}

bool WakeEvent::Consume() {
  if (fd_ < 0) return false;
  uint64_t value = 0;
  return read(fd_, &value, sizeof value) == static_cast<ssize_t>(sizeof value) && value != 0;
}

WaitResult WaitForFd(int fd, short events, int64_t timeoutMs, WakeEvent& wake) {
  pollfd fds[2] = {{fd, events, 0}, {wake.Fd(), POLLIN, 0}};
  const nfds_t count = wake.Fd() >= 0 ? 2 : 1;
  const int timeout = timeoutMs < 0 ? -1 : static_cast<int>(timeoutMs > INT_MAX ? INT_MAX : timeoutMs);
  const int r = poll(fds, count, timeout);
  if (r < 0) return errno == EINTR ? WaitResult::Retry : WaitResult::Failed;
  if (count == 2 && (fds[1].revents & POLLIN) && wake.Consume()) return WaitResult::Cancelled;
  if (fds[0].revents & POLLNVAL) return WaitResult::Failed;
  return fds[0].revents != 0 ? WaitResult::Ready : WaitResult::TimedOut;
}

}  // namespace NsOvrin::NsCommServer
