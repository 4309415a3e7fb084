#include "termination/DeviceImpl.h"

#include <algorithm>
#include <climits>
#include <mutex>

namespace NsOvrin::NsTermination {

void DeviceImpl::InterruptIfUsedBy(const void* user) {
  if (user != nullptr && _user.load() == user) Interrupt();
}

// ---- serial ----

void DevSerialImpl::Purge() { _client.Purge(); }

bool DevSerialImpl::Send(const uint8_t* data, uint32_t length, LinkFailCount&) {
  return _client.Write(data, length);
}

int32_t DevSerialImpl::Receive(uint8_t* buffer, uint32_t size, LinkFailCount&) {
  return _client.Read(buffer, size);
}

void DevSerialImpl::Close() {
  if (_client._hfile < 0) return;
  // Wakes a wait still in progress, then closes once nobody exchanges: a
  // descriptor closed under a reader could be reused for another file.
  _client.CancelIo();
  std::lock_guard lock(GetLock());
  _client.Close();
}

void DevSerialImpl::SetPortHandle(int handle) {
  std::lock_guard lock(GetLock());
  if (_client._hfile >= 0 && _client._hfile != handle) _client.Close();
  _client._hfile = handle;
}

// ---- TCP ----

DevETcpImpl::DevETcpImpl(uint32_t remoteAddr, uint16_t remotePort, uint32_t recvTimeoutMs,
                         uint32_t localAddr, uint16_t localPort)
    : _localAddr(localAddr),
      _localPort(localPort),
      _remoteAddr(remoteAddr),
      _remotePort(remotePort),
      _client(kSendTimeoutMs, recvTimeoutMs != 0 ? recvTimeoutMs : kDefaultRecvTimeoutMs) {}

void DevETcpImpl::Connect(LinkFailCount& failCount) {
  if (_client.GetState() != NsCommServer::ENetClient::kConnectTried) {
    _client.Connect(_remoteAddr, _remotePort, failCount, _localAddr, _localPort);
  }
  failCount = _client.GetState() == NsCommServer::ENetClient::kConnectTried ? 0 : 5;
}

void DevETcpImpl::Purge() { _waiting = _client.Waiting(); }

int32_t DevETcpImpl::ReceiveWaiting(uint8_t* buffer, uint32_t size) {
  if (buffer == nullptr || _waiting == 0) return 0;
  const ssize_t n = _client.RecvWaiting(buffer, std::min(size, _waiting));
  if (n <= 0) {
    _waiting = 0;
    return 0;
  }
  _waiting -= static_cast<uint32_t>(n);
  return static_cast<int32_t>(n);
}

bool DevETcpImpl::Send(const uint8_t* data, uint32_t length, LinkFailCount& failCount) {
  if (_client.GetSocket() < 0 || data == nullptr || length == 0) return false;
  // Never 0: the constructor gave a zero time-out its bound.
  _replyClock = true;
  _replyDeadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(_client.GetRecvTimeout());
  if (_client.Send(data, length) < 0) {
    _client.OnSocketError(failCount);
    return false;
  }
  return true;
}

bool DevETcpImpl::IsReady(uint32_t elapsed, LinkFailCount& failCount) {
  if (_client.GetState() == NsCommServer::ENetClient::kConnectTried) {
    _reconnectElapsed = 0;
    return true;
  }
  // The first cycle of a thread passes the whole counter value: saturate.
  _reconnectElapsed = elapsed > UINT32_MAX - _reconnectElapsed ? UINT32_MAX
                                                               : _reconnectElapsed + elapsed;
  if (_reconnectElapsed >= kReconnectMs) {
    _client.Connect(_remoteAddr, _remotePort, failCount, _localAddr, _localPort);
    _reconnectElapsed = 0;
  }
  return _client.GetState() == NsCommServer::ENetClient::kConnectTried;
}

int32_t DevETcpImpl::Receive(uint8_t* buffer, uint32_t size, LinkFailCount& failCount) {
  if (_client.GetSocket() < 0 || buffer == nullptr || size == 0) return -1;
  if (size > INT32_MAX) size = INT32_MAX;
  const ssize_t n = _replyClock ? _client.RecvUntil(buffer, size, _replyDeadline)
                                : _client.Recv(buffer, size);
  if (n < 0) {
    _client.OnSocketError(failCount);
    return -1;
  }
  if (n == 0) {
    _client.Close();
    _replyClock = false;
  }
  return static_cast<int32_t>(n);
}

void DevETcpImpl::Close() {
  // Never under a thread still exchanging on the socket.
  std::lock_guard lock(GetLock());
  _client.Close();
  _replyClock = false;
}

}  // namespace NsOvrin::NsTermination
