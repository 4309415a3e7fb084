#pragma once
// A Modbus TCP slave (libmodbus) on a loopback port, served on its own thread.
// Any number of clients may be connected at once; each request is answered
// against the shared memory. The unit identifier is not checked.
#include <atomic>
#include <cstdint>
#include <thread>

#include "support/ModbusSlaveMemory.h"

namespace NsOvrin::NsTestSupport {

class ModbusTcpSlave : public ModbusSlaveMemory {
 public:
  ModbusTcpSlave() = default;
  ~ModbusTcpSlave();

  // Listens on 127.0.0.1 at a free port, or at the port given (a slave
  // coming back where it was), and starts serving. False when the socket,
  // the context or the thread cannot be made, or when already started.
  bool Start(uint16_t port = 0);
  // Stops the thread and closes every connection; safe to call twice.
  void Stop();

  // The listening port; 0 before Start.
  uint16_t Port() const { return port_; }
  // Connections accepted since the start.
  uint32_t AcceptCount() const { return accepts_; }
  // Drops every client connection (the listener stays): a peer that vanished.
  void DropConnections();

 private:
  void Serve();

  modbus_t* ctx_ = nullptr;
  int listen_ = -1;
  int wake_ = -1;  // eventfd that cuts the serving poll short
  uint16_t port_ = 0;
  std::thread thread_;
  std::atomic<uint32_t> accepts_{0};
  std::atomic<bool> dropRequested_{false};
  std::atomic<bool> stopRequested_{false};
};

}  // namespace NsOvrin::NsTestSupport
