#pragma once
// The byte transport of a node: connect, discard stale input, send a request,
// receive reply bytes, close. Its exchange lock makes one request/reply
// exchange atomic; a serial transport is shared by all nodes of its channel,
// a TCP transport belongs to one node.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>

#include "comm_server/ENetClient.h"
#include "comm_server/SerPortClient.h"

namespace NsOvrin::NsTermination {

// A node's link failure count, 0..5, shared with the transport and the
// clients; changed only atomically.
using LinkFailCount = std::atomic<int>;

class DeviceImpl {
 public:
  enum Kind : uint32_t { kSerial = 1, kTcp = 2 };

  DeviceImpl() = default;
  DeviceImpl(const DeviceImpl&) = delete;
  DeviceImpl& operator=(const DeviceImpl&) = delete;

  virtual uint32_t GetKind() const = 0;
  // Once when a node's polling thread starts (or a node without a thread starts).
  virtual void Connect(LinkFailCount& failCount) = 0;
  // Before a request is sent: discards input left over from earlier
  // exchanges. A byte stream (TCP) is not cut: its purge marks the bytes
  // waiting, which ReceiveWaiting then hands out.
  virtual void Purge() = 0;
  // The bytes marked by the last purge, at most size, without waiting; 0
  // once they are all handed out.
  virtual int32_t ReceiveWaiting(uint8_t* /*buffer*/, uint32_t /*size*/) { return 0; }
  // The connection the received bytes come on: a byte stream goes from
  // connect to close, and each new connection has a new number.
  virtual uint32_t GetConnection() const { return 0; }
  virtual bool Send(const uint8_t* data, uint32_t length, LinkFailCount& failCount) = 0;
  // Asked by the polling thread every cycle with the milliseconds since the
  // previous cycle.
  virtual bool IsReady(uint32_t elapsed, LinkFailCount& failCount) = 0;
  // Bytes received; 0 when a serial read timed out or the TCP peer closed;
  // -1 on an error (a TCP time-out included). A TCP receive waits at most
  // until the deadline of the request sent last.
  virtual int32_t Receive(uint8_t* buffer, uint32_t size, LinkFailCount& failCount) = 0;
  virtual void Close() = 0;
  virtual ~DeviceImpl() = default;

  // Thread-safe: the wait in progress on the port or socket (or the next one
  // when none is) ends at once with failure.
  virtual void Interrupt() = 0;

  // The exchange lock; re-entrant.
  std::recursive_mutex& GetLock() { return _lock; }

  // Marks who waits on the transport, under the exchange lock, so that a
  // stopping node wakes its own wait and not that of another node of the line.
  class UseScope {
   public:
    UseScope(DeviceImpl& device, const void* user) : _device(device) { _device._user.store(user); }
    ~UseScope() { _device._user.store(nullptr); }
    UseScope(const UseScope&) = delete;
    UseScope& operator=(const UseScope&) = delete;

   private:
    DeviceImpl& _device;
  };
  void InterruptIfUsedBy(const void* user);

 private:
  std::recursive_mutex _lock;
  std::atomic<const void*> _user{nullptr};
};

// The COM port of a serial channel.
class DevSerialImpl : public DeviceImpl {
 public:
  DevSerialImpl() = default;

  uint32_t GetKind() const override { return kSerial; }
  // The channel opened the port already.
  void Connect(LinkFailCount&) override {}
  void Purge() override;
  bool Send(const uint8_t* data, uint32_t length, LinkFailCount& failCount) override;
  bool IsReady(uint32_t, LinkFailCount&) override { return true; }
  int32_t Receive(uint8_t* buffer, uint32_t size, LinkFailCount& failCount) override;
  void Close() override;
  void Interrupt() override { _client.CancelIo(); }

  // Takes over a descriptor from OpenSerialPort (closing one held before).
  void SetPortHandle(int handle);
  int GetPortHandle() const { return _client._hfile; }
  NsCommServer::SerPortClient& GetClient() { return _client; }

 private:
  NsCommServer::SerPortClient _client;
};

// The TCP client socket of one Ethernet node.
class DevETcpImpl : public DeviceImpl {
 public:
  // Polling time spent without a connection before the next connect attempt.
  static constexpr uint32_t kReconnectMs = 1500;
  static constexpr uint32_t kSendTimeoutMs = 1500;
  // The reply wait of a device whose receive time-out is 0 (the device
  // dialog refuses 0 and proposes this; a channels file may still hold 0).
  static constexpr uint32_t kDefaultRecvTimeoutMs = 2000;

  // Addresses and ports in network byte order; local address 0: no bind.
  // A receive time-out of 0 waits kDefaultRecvTimeoutMs: never without bound.
  DevETcpImpl(uint32_t remoteAddr, uint16_t remotePort, uint32_t recvTimeoutMs,
              uint32_t localAddr = 0, uint16_t localPort = 0);

  uint32_t GetKind() const override { return kTcp; }
  void Connect(LinkFailCount& failCount) override;
  void Purge() override;
  bool Send(const uint8_t* data, uint32_t length, LinkFailCount& failCount) override;
  bool IsReady(uint32_t elapsed, LinkFailCount& failCount) override;
  int32_t ReceiveWaiting(uint8_t* buffer, uint32_t size) override;
  uint32_t GetConnection() const override { return _client.GetConnection(); }
  // End of stream (0) closes the socket: the peer ended its side, nothing
  // more comes on it, and the link is restored like a reset one.
  int32_t Receive(uint8_t* buffer, uint32_t size, LinkFailCount& failCount) override;
  void Close() override;
  void Interrupt() override { _client.Interrupt(); }

  uint32_t GetRemoteAddr() const { return _remoteAddr; }
  uint16_t GetRemotePort() const { return _remotePort; }
  uint32_t GetReconnectElapsed() const { return _reconnectElapsed; }
  NsCommServer::ENetClient& GetClient() { return _client; }

 private:
  uint32_t _localAddr;
  uint16_t _localPort;
  uint32_t _remoteAddr;
  uint16_t _remotePort;
  NsCommServer::ENetClient _client;
  uint32_t _reconnectElapsed = 0;
  // Bytes that were waiting at the last purge and are not handed out yet.
  uint32_t _waiting = 0;
  // The receive time-out counts from the request: the receives of one
  // exchange share it (a reply of an earlier exchange does not extend it).
  bool _replyClock = false;
  std::chrono::steady_clock::time_point _replyDeadline;
};

}  // namespace NsOvrin::NsTermination
