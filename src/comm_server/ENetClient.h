#pragma once
// TCP client socket of an Ethernet transport: bounded connect, draining of
// stale input, sorting of socket errors, close.
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>

#include "comm_server/WakeEvent.h"

namespace NsOvrin::NsCommServer {

class ENetClient {
 public:
  enum State : int32_t {
    kNoSocket = 0,
    kNotConnected = 1,     // socket made
    kConnectTried = 2,     // after success, failure and time-out alike
  };

  // Milliseconds; 0 leaves the socket's default (no limit).
  explicit ENetClient(uint32_t sendTimeoutMs = 0, uint32_t recvTimeoutMs = 0)
      : _sendTimeout(sendTimeoutMs), _recvTimeout(recvTimeoutMs) {}
  virtual ~ENetClient();
  ENetClient(const ENetClient&) = delete;
  ENetClient& operator=(const ENetClient&) = delete;

  // Addresses and ports in network byte order; local address 0: no bind.
  // failCount is the node's link failure count, shared with its polling
  // thread and only changed atomically here.
  bool Connect(uint32_t remoteAddr, uint16_t remotePort, std::atomic<int>& failCount,
               uint32_t localAddr = 0, uint16_t localPort = 0);
  // Discards the bytes waiting when connected.
  void Drain();
  // The bytes waiting when connected (0 otherwise).
  uint32_t Waiting() const;
  // One receive of what is waiting, without waiting: the count, 0 when
  // nothing waits or the peer closed, -1 with errno set on an error.
  ssize_t RecvWaiting(void* buffer, size_t size);
  // After a failed Send or Recv: classifies errno.
  void OnSocketError(std::atomic<int>& failCount);
  void OnSocketError(int error, std::atomic<int>& failCount);
  // Never blocks the caller: no linger, shutdown and close.
  void Close();

  // One send (MSG_NOSIGNAL), bounded by the send time-out: the count sent, or
  // -1 with errno set.
  ssize_t Send(const void* data, size_t len);
  // One receive bounded by the receive time-out: the count (0 when the peer
  // closed), or -1 with errno set (EAGAIN on a time-out, ECANCELED when
  // Interrupt cut the wait short).
  ssize_t Recv(void* buffer, size_t size);
  // The same, bounded by a deadline instead: a reply awaited since the
  // request went out does not get a fresh time-out for each receive.
  ssize_t RecvUntil(void* buffer, size_t size, std::chrono::steady_clock::time_point deadline);
  // Thread-safe: the pending connect wait or Recv (or the next one when none
  // is pending) ends at once.
  void Interrupt() { _wake.Set(); }

  int GetSocket() const { return _socket; }
  // A number of the socket, new for every socket made in the process: the
  // bytes of one are one stream, and a reconnect begins another.
  uint32_t GetConnection() const { return _connection; }
  int32_t GetState() const { return _state; }
  void SetTimeouts(uint32_t sendTimeoutMs, uint32_t recvTimeoutMs) {
    _sendTimeout = sendTimeoutMs;
    _recvTimeout = recvTimeoutMs;
  }
  uint32_t GetRecvTimeout() const { return _recvTimeout; }
  bool ErrorChanged() const { return _errorChanged; }
  int32_t GetLastError() const { return _lastError; }

 private:
  bool MakeSocket(uint32_t localAddr, uint16_t localPort);
  ssize_t Receive(void* buffer, size_t size, bool limited,
                  std::chrono::steady_clock::time_point deadline);

  int _socket = -1;
  int32_t _state = kNoSocket;
  uint32_t _sendTimeout;
  uint32_t _recvTimeout;
  bool _errorChanged = false;
  int32_t _lastError = 0;
  // connect() was called on _socket: a reconnect needs a fresh socket.
  bool _connectCalled = false;
  uint32_t _connection = 0;
  WakeEvent _wake;
};

}  // namespace NsOvrin::NsCommServer
