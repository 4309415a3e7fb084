#pragma once
// Our own small Modbus TCP server on a loopback port, for what a libmodbus
// slave will not do on purpose: it answers reads of holding registers
// (function code 3), those of chosen blocks late. Like a device that works
// through its requests in order, a reply goes out no earlier than the one
// before it: a late reply comes just before the reply to a later request,
// while that request waits. It echoes the transaction identifier and
// records every request's identifier and start. One connection at a time:
// a new one replaces the old, dropping the replies still due on it.
#include <chrono>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace NsOvrin::NsTestSupport {

class ModbusTcpResponder {
 public:
  struct Request {
    uint16_t transaction;
    uint16_t start;
  };

  ModbusTcpResponder() = default;
  ~ModbusTcpResponder();
  ModbusTcpResponder(const ModbusTcpResponder&) = delete;
  ModbusTcpResponder& operator=(const ModbusTcpResponder&) = delete;

  // Listens on 127.0.0.1 at a free port and starts serving; false when the
  // socket or the thread cannot be made, or when already started.
  bool Start();
  void Stop();
  uint16_t Port() const { return port_; }

  void SetRegister(uint16_t address, uint16_t value);
  // Reads starting at this register are answered this much later.
  void SetDelay(uint16_t start, std::chrono::milliseconds delay);

  // Every read request so far, in arrival order.
  std::vector<Request> Requests() const;
  // Replies sent so far to reads starting at this register.
  size_t RepliesSent(uint16_t start) const;

 private:
  using Clock = std::chrono::steady_clock;
  struct Pending {
    Clock::time_point due;
    uint16_t start;
    std::vector<uint8_t> frame;
  };

  void Serve();
  // Takes the complete frames off the front of the input and queues their replies.
  void TakeRequests(std::vector<uint8_t>& input, std::vector<Pending>& pending,
                    Clock::time_point& lastDue);
  std::vector<uint8_t> Reply(const uint8_t* request, uint16_t& start);

  int listen_ = -1;
  int wake_ = -1;
  uint16_t port_ = 0;
  std::thread thread_;
  bool stop_ = false;  // under mutex_
  mutable std::mutex mutex_;
  std::map<uint16_t, uint16_t> registers_;
  std::map<uint16_t, std::chrono::milliseconds> delays_;
  std::vector<Request> requests_;
  std::map<uint16_t, size_t> sent_;
};

}  // namespace NsOvrin::NsTestSupport
