#include "ModbusTcpSlave.h"

#include "LoopbackListener.h"

#include <arpa/inet.h>
#include <modbus/modbus-tcp.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace NsOvrin::NsTestSupport {

ModbusTcpSlave::~ModbusTcpSlave() { Stop(); }

bool ModbusTcpSlave::Start(uint16_t port) {
  if (thread_.joinable()) return false;
  // Our own listener: libmodbus cannot listen on port 0.
  listen_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (listen_ < 0) return false;
  const int bound = ListenOnLoopback(listen_, port, 16);
  if (bound < 0) {
    Stop();
    return false;
  }
  port_ = static_cast<uint16_t>(bound);
  ctx_ = modbus_new_tcp("127.0.0.1", port_);
  wake_ = eventfd(0, EFD_CLOEXEC);
  if (ctx_ == nullptr || wake_ < 0) {
    Stop();
    return false;
  }
  // A request cut short must not hold the serving thread for long.
  modbus_set_byte_timeout(ctx_, 0, 200000);
  modbus_set_indication_timeout(ctx_, 0, 200000);
  try {
    thread_ = std::thread([this] { Serve(); });
  } catch (...) {
    Stop();
    return false;
  }
  return true;
}

void ModbusTcpSlave::Stop() {
  if (thread_.joinable()) {
    stopRequested_ = true;
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(wake_, &one, sizeof(one));
    thread_.join();
    stopRequested_ = false;
  }
  if (ctx_ != nullptr) {
    modbus_set_socket(ctx_, -1);
    modbus_free(ctx_);
    ctx_ = nullptr;
  }
  for (int* fd : {&wake_, &listen_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
  port_ = 0;
}

void ModbusTcpSlave::DropConnections() {
  if (!thread_.joinable()) return;
  dropRequested_ = true;
  const uint64_t one = 1;
  [[maybe_unused]] ssize_t n = write(wake_, &one, sizeof(one));
}

void ModbusTcpSlave::Serve() {
  std::vector<int> clients;
  auto closeAll = [&clients] {
    for (int fd : clients) close(fd);
    clients.clear();
  };
  uint8_t request[MODBUS_TCP_MAX_ADU_LENGTH];
  for (;;) {
    std::vector<pollfd> fds{{wake_, POLLIN, 0}, {listen_, POLLIN, 0}};
    for (int fd : clients) fds.push_back({fd, POLLIN, 0});
    const int r = poll(fds.data(), fds.size(), -1);
    if (r < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (fds[0].revents != 0) {
      uint64_t value = 0;
      [[maybe_unused]] ssize_t n = read(wake_, &value, sizeof(value));
      if (stopRequested_) break;
      if (dropRequested_.exchange(false)) closeAll();
      continue;
    }
    if (fds[1].revents & POLLIN) {
      const int fd = accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd >= 0) {
        const int on = 1;
        setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof(on));
        clients.push_back(fd);
        ++accepts_;
      }
    }
    std::vector<int> gone;
    for (size_t i = 2; i < fds.size(); ++i) {
      if (fds[i].revents == 0) continue;
      modbus_set_socket(ctx_, fds[i].fd);
      const int n = modbus_receive(ctx_, request);
      if (n > 0) {
        Reply(ctx_, request, n);
      } else if (n < 0) {
        gone.push_back(fds[i].fd);  // closed by the peer, or garbage
      }
    }
    for (int fd : gone) {
      close(fd);
      std::erase(clients, fd);
    }
  }
  modbus_set_socket(ctx_, -1);
  closeAll();
}

}  // namespace NsOvrin::NsTestSupport
