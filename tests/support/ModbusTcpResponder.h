#pragma once
// Our own small Modbus TCP server on a loopback port, for what a libmodbus
// slave will not do on purpose: it answers reads of holding registers
// (function code 3), those of chosen blocks late, or as a script says (in
// pieces sent apart, with other frames around, not at all). Like a device
// that works through its requests in order, a reply goes out no earlier than
// the one before it: a late reply comes just before the reply to a later
// request, while that request waits. It echoes the transaction identifier
// and records every request's identifier and start. One connection at a
// time: a new one replaces the old, dropping the replies still due on it.
#include <chrono>
#include <cstdint>
#include <functional>
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
  // Bytes that go out the given time after the piece before them (the first
  // at the reply's due time).
  struct Piece {
    std::chrono::milliseconds after;
    std::vector<uint8_t> bytes;
  };
  // What goes out for a request in place of its reply: the request, how many
  // requests of its start came before it, and the reply the device would
  // send (an exception for anything but a read of holding registers). No
  // pieces: the request goes unanswered.
  using Script = std::function<std::vector<Piece>(const Request& request, size_t index,
                                                  const std::vector<uint8_t>& reply)>;

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
  // Requests (of any function) starting at this register are answered by the script.
  void SetScript(uint16_t start, Script script);
  // The first count connections are shut for sending as soon as they are
  // accepted (the socket stays open) and their requests go unanswered.
  void SetHalfClosedConnections(size_t count);

  // Every read request so far, in arrival order.
  std::vector<Request> Requests() const;
  // Replies sent so far to reads starting at this register.
  size_t RepliesSent(uint16_t start) const;
  // Connections accepted so far.
  size_t AcceptCount() const;

 private:
  using Clock = std::chrono::steady_clock;
  struct Pending {
    Clock::time_point due;
    uint16_t start;
    std::vector<uint8_t> frame;
    bool last;  // the last piece of its reply
  };

  void Serve();
  // Takes the complete frames off the front of the input and queues their replies.
  void TakeRequests(std::vector<uint8_t>& input, std::vector<Pending>& pending,
                    Clock::time_point& lastDue);
  std::vector<uint8_t> Reply(const uint8_t* request, uint16_t& start);
  // The pieces that go out for the request, by the script of its start.
  std::vector<Piece> Pieces(const uint8_t* request, uint16_t start, std::vector<uint8_t> reply);

  int listen_ = -1;
  int wake_ = -1;
  uint16_t port_ = 0;
  std::thread thread_;
  bool stop_ = false;  // under mutex_
  mutable std::mutex mutex_;
  std::map<uint16_t, uint16_t> registers_;
  std::map<uint16_t, std::chrono::milliseconds> delays_;
  std::map<uint16_t, Script> scripts_;
  std::map<uint16_t, size_t> seen_;
  size_t halfClosed_ = 0;
  size_t accepted_ = 0;
  std::vector<Request> requests_;
  std::map<uint16_t, size_t> sent_;
};

}  // namespace NsOvrin::NsTestSupport
