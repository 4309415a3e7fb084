#pragma once
// A loopback TCP server standing in for an Ethernet device: serves one
// connection at a time (a new one replaces the old), answering request lines
// as the handler says; a reply may instead reset the connection.
#include <arpa/inet.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <thread>
#include <vector>

#include "LinePeer.h"

namespace NsOvrin::NsTermination::Testing {

class TcpPeer : public LinePeer {
 public:
  TcpPeer();
  ~TcpPeer() override;

  bool IsListening() const { return listen_ >= 0; }
  uint16_t Port() const { return port_; }  // host order
  uint16_t PortNet() const { return htons(port_); }
  static uint32_t LoopbackNet() { return htonl(INADDR_LOOPBACK); }

  size_t Accepted() const { return accepted_.load(); }
  bool WaitForAccepted(size_t count,
                       std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
  // The client's port of every accepted connection, in order.
  std::vector<uint16_t> ClientPorts() const;

 private:
  void Run();
  void CloseConnection(bool reset);

  int listen_ = -1;
  int conn_ = -1;
  uint16_t port_ = 0;
  std::atomic<size_t> accepted_{0};
  mutable std::mutex portsMutex_;
  std::vector<uint16_t> clientPorts_;
  std::thread thread_;
  std::atomic<bool> stop_{false};
};

// A port on the loopback address where nobody listens while it lives:
// connects to it are refused at once.
class ClosedPort {
 public:
  ClosedPort();
  ~ClosedPort();
  uint16_t PortNet() const { return htons(port_); }

 private:
  int fd_ = -1;
  uint16_t port_ = 0;
};

}  // namespace NsOvrin::NsTermination::Testing
