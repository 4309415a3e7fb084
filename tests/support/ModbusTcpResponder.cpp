#include "ModbusTcpResponder.h"

#include "LoopbackListener.h"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace NsOvrin::NsTestSupport {

namespace {

uint16_t Word(const uint8_t* p) { return static_cast<uint16_t>((p[0] << 8) | p[1]); }

void PutWord(std::vector<uint8_t>& out, uint16_t value) {
  out.push_back(static_cast<uint8_t>(value >> 8));
  out.push_back(static_cast<uint8_t>(value & 0xFF));
}

}  // namespace

ModbusTcpResponder::~ModbusTcpResponder() { Stop(); }

bool ModbusTcpResponder::Start() {
  if (thread_.joinable()) return false;
  listen_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  wake_ = eventfd(0, EFD_CLOEXEC);
  if (listen_ < 0 || wake_ < 0) {
    Stop();
    return false;
  }
  const int port = ListenOnLoopback(listen_, 0, 4);
  if (port < 0) {
    Stop();
    return false;
  }
  port_ = static_cast<uint16_t>(port);
  try {
    thread_ = std::thread([this] { Serve(); });
  } catch (...) {
    Stop();
    return false;
  }
  return true;
}

void ModbusTcpResponder::Stop() {
  if (thread_.joinable()) {
    {
      std::lock_guard lock(mutex_);
      stop_ = true;
    }
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(wake_, &one, sizeof(one));
    thread_.join();
  }
  for (int* fd : {&wake_, &listen_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
  port_ = 0;
}

void ModbusTcpResponder::SetRegister(uint16_t address, uint16_t value) {
  std::lock_guard lock(mutex_);
  registers_[address] = value;
}

void ModbusTcpResponder::SetDelay(uint16_t start, std::chrono::milliseconds delay) {
  std::lock_guard lock(mutex_);
  delays_[start] = delay;
}

std::vector<ModbusTcpResponder::Request> ModbusTcpResponder::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

void ModbusTcpResponder::SetScript(uint16_t start, Script script) {
  std::lock_guard lock(mutex_);
  scripts_[start] = std::move(script);
}

void ModbusTcpResponder::SetHalfClosedConnections(size_t count) {
  std::lock_guard lock(mutex_);
  halfClosed_ = count;
}

size_t ModbusTcpResponder::AcceptCount() const {
  std::lock_guard lock(mutex_);
  return accepted_;
}

size_t ModbusTcpResponder::RepliesSent(uint16_t start) const {
  std::lock_guard lock(mutex_);
  const auto it = sent_.find(start);
  return it == sent_.end() ? 0 : it->second;
}

std::vector<uint8_t> ModbusTcpResponder::Reply(const uint8_t* request, uint16_t& start) {
  const uint16_t transaction = Word(request);
  const uint8_t unit = request[6];
  const uint8_t fc = request[7];
  start = Word(request + 8);
  const uint16_t count = Word(request + 10);
  std::vector<uint8_t> out;
  PutWord(out, transaction);
  PutWord(out, 0);
  if (fc != 3 || Word(request + 4) != 6 || count == 0 || count > 125) {
    // Illegal function.
    PutWord(out, 3);
    out.push_back(unit);
    out.push_back(static_cast<uint8_t>(fc | 0x80));
    out.push_back(1);
    return out;
  }
  PutWord(out, static_cast<uint16_t>(3 + 2 * count));
  out.push_back(unit);
  out.push_back(fc);
  out.push_back(static_cast<uint8_t>(2 * count));
  std::lock_guard lock(mutex_);
  requests_.push_back(Request{transaction, start});
  for (uint16_t i = 0; i < count; ++i) {
    const auto it = registers_.find(static_cast<uint16_t>(start + i));
    PutWord(out, it == registers_.end() ? 0 : it->second);
  }
  return out;
}

std::vector<ModbusTcpResponder::Piece> ModbusTcpResponder::Pieces(const uint8_t* request,
                                                                  uint16_t start,
                                                                  std::vector<uint8_t> reply) {
  Script script;
  size_t index = 0;
  {
    std::lock_guard lock(mutex_);
    const auto it = scripts_.find(start);
    if (it == scripts_.end()) return {Piece{std::chrono::milliseconds{0}, std::move(reply)}};
    script = it->second;
    index = seen_[start]++;
  }
  // Outside the lock: a script may ask the responder.
  return script(Request{Word(request), start}, index, reply);
}

void ModbusTcpResponder::TakeRequests(std::vector<uint8_t>& input, std::vector<Pending>& pending,
                                      Clock::time_point& lastDue) {
  while (input.size() >= 12) {
    const size_t frame = 6 + size_t{Word(input.data() + 4)};
    if (frame < 8 || input.size() < frame) return;
    std::vector<uint8_t> request(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(frame));
    request.resize(std::max<size_t>(frame, 12), 0);
    input.erase(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(frame));
    uint16_t start = 0;
    std::vector<uint8_t> reply = Reply(request.data(), start);
    std::vector<Piece> pieces = Pieces(request.data(), start, std::move(reply));
    if (pieces.empty()) continue;
    std::chrono::milliseconds delay{0};
    {
      std::lock_guard lock(mutex_);
      if (const auto it = delays_.find(start); it != delays_.end()) delay = it->second;
    }
    lastDue = std::max(Clock::now() + delay, lastDue);
    for (size_t i = 0; i < pieces.size(); ++i) {
      if (i > 0) lastDue += pieces[i].after;
      pending.push_back(Pending{lastDue, start, std::move(pieces[i].bytes), i + 1 == pieces.size()});
    }
  }
}

void ModbusTcpResponder::Serve() {
  int conn = -1;
  std::vector<uint8_t> input;
  std::vector<Pending> pending;  // in due order
  Clock::time_point lastDue;
  bool halfClosed = false;  // the connection sends nothing more
  const auto dropConnection = [&] {
    if (conn >= 0) close(conn);
    conn = -1;
    input.clear();
    pending.clear();
    halfClosed = false;
  };
  for (;;) {
    {
      std::lock_guard lock(mutex_);
      if (stop_) break;
    }
    int timeout = -1;
    if (!pending.empty()) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(pending.front().due - Clock::now());
      timeout = static_cast<int>(std::clamp<int64_t>(left.count() + 1, 0, 60000));
    }
    pollfd fds[3] = {{wake_, POLLIN, 0}, {listen_, POLLIN, 0}, {conn, POLLIN, 0}};
    if (poll(fds, conn >= 0 ? 3 : 2, timeout) < 0 && errno != EINTR) break;
    if ((fds[0].revents & POLLIN) != 0) continue;  // the stop flag says
    if ((fds[1].revents & POLLIN) != 0) {
      const int accepted = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
      if (accepted >= 0) {
        dropConnection();
        conn = accepted;
        // Each piece of a scripted reply goes out as its own segment.
        const int one = 1;
        setsockopt(conn, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        std::lock_guard lock(mutex_);
        halfClosed = ++accepted_ <= halfClosed_;
        if (halfClosed) shutdown(conn, SHUT_WR);
        continue;
      }
    }
    if (conn >= 0 && fds[2].fd == conn && fds[2].revents != 0) {
      uint8_t buffer[512];
      const ssize_t n = recv(conn, buffer, sizeof(buffer), MSG_DONTWAIT);
      if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) {
        dropConnection();
        continue;
      }
      if (n > 0 && !halfClosed) input.insert(input.end(), buffer, buffer + n);
      TakeRequests(input, pending, lastDue);
    }
    const Clock::time_point now = Clock::now();
    while (conn >= 0 && !pending.empty() && pending.front().due <= now) {
      const Pending& reply = pending.front();
      if (send(conn, reply.frame.data(), reply.frame.size(), MSG_NOSIGNAL) < 0) {
        dropConnection();
        break;
      }
      if (reply.last) {
        std::lock_guard lock(mutex_);
        ++sent_[reply.start];
      }
      pending.erase(pending.begin());
    }
  }
  dropConnection();
}

}  // namespace NsOvrin::NsTestSupport
