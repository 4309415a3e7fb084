#include "comm_server/ENetClient.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "common/Log.h"
#include "common/PathUtil.h"

namespace NsOvrin::NsCommServer {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int64_t kConnectTimeoutMs = 2000;
constexpr int kMaxFailCount = 5;

void RaiseFailCount(std::atomic<int>& failCount) {
  int v = failCount.load();
  while (v < kMaxFailCount && !failCount.compare_exchange_weak(v, v + 1)) {
  }
}

void SetTimeout(int fd, int option, uint32_t ms) {
  if (ms == 0) return;
  timeval tv{};
  tv.tv_sec = static_cast<time_t>(ms / 1000);
  tv.tv_usec = static_cast<suseconds_t>((ms % 1000) * 1000);
  setsockopt(fd, SOL_SOCKET, option, &tv, sizeof tv);
}

void SetNonBlocking(int fd, bool on) {
  const int flags = fcntl(fd, F_GETFL);
  if (flags < 0) return;
  fcntl(fd, F_SETFL, on ? (flags | O_NONBLOCK) : (flags & ~O_NONBLOCK));
}

int64_t MsLeft(Clock::time_point deadline) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
}

}  // namespace

ENetClient::~ENetClient() { Close(); }

bool ENetClient::MakeSocket(uint32_t localAddr, uint16_t localPort) {
  InitWinsockOnce();
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, IPPROTO_TCP);
  if (fd < 0) return false;
  SetTimeout(fd, SO_SNDTIMEO, _sendTimeout);
  SetTimeout(fd, SO_RCVTIMEO, _recvTimeout);
  if (localAddr != 0) {
    sockaddr_in local{};
    local.sin_family = AF_INET;
    local.sin_addr.s_addr = localAddr;
    local.sin_port = localPort;
    if (bind(fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) != 0) {
      close(fd);
      return false;
    }
  }
  static std::atomic<uint32_t> sockets{0};
  _socket = fd;
  _connection = ++sockets;
  _state = kNotConnected;
  _connectCalled = false;
  return true;
}

bool ENetClient::Connect(uint32_t remoteAddr, uint16_t remotePort, std::atomic<int>& failCount,
                         uint32_t localAddr, uint16_t localPort) {
  if (_state == kConnectTried) {
    // Only closes: the next call makes a new socket.
    Close();
  } else {
    // A socket connect() failed on cannot be connected again reliably: a
    // reconnect from "not connected" gets a fresh one.
    if (_state == kNotConnected && _connectCalled) Close();
    if (_state == kNoSocket) MakeSocket(localAddr, localPort);
  }
  if (_socket < 0) {
    failCount = kMaxFailCount;
    return false;
  }

  SetNonBlocking(_socket, true);
  sockaddr_in remote{};
  remote.sin_family = AF_INET;
  remote.sin_addr.s_addr = remoteAddr;
  remote.sin_port = remotePort;
  _connectCalled = true;
  bool ok = connect(_socket, reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == 0;
  if (!ok && (errno == EINPROGRESS || errno == EINTR)) {
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kConnectTimeoutMs);
    WaitResult w = WaitResult::Retry;
    while (w == WaitResult::Retry) {
      const int64_t left = MsLeft(deadline);
      w = left > 0 ? WaitForFd(_socket, POLLOUT, left, _wake) : WaitResult::TimedOut;
    }
    if (w == WaitResult::Ready) {
      int error = 0;
      socklen_t size = sizeof error;
      ok = getsockopt(_socket, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
  }
  _state = kConnectTried;
  if (!ok) {
    RaiseFailCount(failCount);
    return false;
  }
  failCount = 0;
  SetNonBlocking(_socket, false);
  return true;
}

void ENetClient::Drain() {
  char scratch[2048];
  for (uint32_t left = Waiting(); left > 0;) {
    const ssize_t n = RecvWaiting(scratch, sizeof scratch);
    if (n <= 0) break;
    left -= std::min(static_cast<uint32_t>(n), left);
  }
}

uint32_t ENetClient::Waiting() const {
  if (_state != kConnectTried || _socket < 0) return 0;
  int pending = 0;
  if (ioctl(_socket, FIONREAD, &pending) != 0 || pending < 0) return 0;
  return static_cast<uint32_t>(pending);
}

ssize_t ENetClient::RecvWaiting(void* buffer, size_t size) {
  if (_socket < 0) {
    errno = EBADF;
    return -1;
  }
  const ssize_t n = recv(_socket, buffer, size, MSG_DONTWAIT | MSG_NOSIGNAL);
  if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return 0;
  return n;
}

void ENetClient::OnSocketError(std::atomic<int>& failCount) { OnSocketError(errno, failCount); }

void ENetClient::OnSocketError(int error, std::atomic<int>& failCount) {
  _errorChanged = error != _lastError;
  _lastError = error;
  if (error == ECONNABORTED || error == ECONNRESET || error == ESHUTDOWN || error == EPIPE) {
    Close();
  } else if (error == ENOTCONN) {
    if (_state == kConnectTried) _state = kNotConnected;
    failCount = kMaxFailCount;
  } else if (error == EAGAIN || error == EWOULDBLOCK || error == ETIMEDOUT || error == ECANCELED) {
    // A receive time-out, or a wait cut short on purpose: the link may be fine.
  } else if (_errorChanged) {
    OV_LOG(4).AppendText("错误代码:").AppendNumber(error);
  }
}

void ENetClient::Close() {
  _state = kNoSocket;
  _connectCalled = false;
  if (_socket < 0) return;
  // Unsent data goes out in the background after close().
  shutdown(_socket, SHUT_RDWR);
  close(_socket);
  _socket = -1;
}

ssize_t ENetClient::Send(const void* data, size_t len) {
  if (_socket < 0) {
    errno = EBADF;
    return -1;
  }
  return send(_socket, data, len, MSG_NOSIGNAL);
}

ssize_t ENetClient::Recv(void* buffer, size_t size) {
  return Receive(buffer, size, _recvTimeout != 0,
                 Clock::now() + std::chrono::milliseconds(_recvTimeout));
}

ssize_t ENetClient::RecvUntil(void* buffer, size_t size, Clock::time_point deadline) {
  return Receive(buffer, size, true, deadline);
}

ssize_t ENetClient::Receive(void* buffer, size_t size, bool limited, Clock::time_point deadline) {
  if (_socket < 0) {
    errno = EBADF;
    return -1;
  }
  for (;;) {
    const int64_t left = limited ? MsLeft(deadline) : -1;
    if (limited && left <= 0) {
      errno = EAGAIN;
      return -1;
    }
    switch (WaitForFd(_socket, POLLIN, left, _wake)) {
      case WaitResult::Retry: continue;
      case WaitResult::TimedOut: errno = EAGAIN; return -1;
      case WaitResult::Cancelled: errno = ECANCELED; return -1;
      case WaitResult::Failed: errno = EBADF; return -1;
      case WaitResult::Ready: return recv(_socket, buffer, size, MSG_DONTWAIT | MSG_NOSIGNAL);
    }
  }
}

}  // namespace NsOvrin::NsCommServer
