#include "TcpPeer.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace NsOvrin::NsTermination::Testing {
namespace {

// A socket bound to an ephemeral loopback port; its port in host order.
int BindLoopback(uint16_t& port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof addr;
  if (bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &size) != 0) {
    close(fd);
    return -1;
  }
  port = ntohs(addr.sin_port);
  return fd;
}

}  // namespace

TcpPeer::TcpPeer() {
  listen_ = BindLoopback(port_);
  if (listen_ < 0) return;
  if (listen(listen_, 4) != 0) {
    close(listen_);
    listen_ = -1;
    return;
  }
  thread_ = std::thread([this] { Run(); });
}

TcpPeer::~TcpPeer() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
  CloseConnection(false);
  if (listen_ >= 0) close(listen_);
}

bool TcpPeer::WaitForAccepted(size_t count, std::chrono::milliseconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (accepted_.load() < count) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

std::vector<uint16_t> TcpPeer::ClientPorts() const {
  std::lock_guard lock(portsMutex_);
  return clientPorts_;
}

void TcpPeer::CloseConnection(bool reset) {
  if (conn_ < 0) return;
  if (reset) {
    linger lin{1, 0};
    setsockopt(conn_, SOL_SOCKET, SO_LINGER, &lin, sizeof lin);
  }
  close(conn_);
  conn_ = -1;
}

void TcpPeer::Run() {
  while (!stop_) {
    pollfd fds[2] = {{listen_, POLLIN, 0}, {conn_, POLLIN, 0}};
    if (poll(fds, conn_ >= 0 ? 2 : 1, 20) <= 0) continue;
    if (fds[0].revents & POLLIN) {
      sockaddr_in client{};
      socklen_t size = sizeof client;
      const int fd = accept4(listen_, reinterpret_cast<sockaddr*>(&client), &size, SOCK_CLOEXEC);
      if (fd >= 0) {
        CloseConnection(false);
        conn_ = fd;
        {
          std::lock_guard lock(portsMutex_);
          clientPorts_.push_back(ntohs(client.sin_port));
        }
        ++accepted_;
      }
      continue;
    }
    if (conn_ < 0 || !(fds[1].revents & (POLLIN | POLLHUP | POLLERR))) continue;
    char buffer[512];
    const ssize_t n = recv(conn_, buffer, sizeof buffer, 0);
    if (n <= 0) {
      CloseConnection(false);
      continue;
    }
    for (const PeerReply& reply : Feed(buffer, static_cast<size_t>(n))) {
      if (reply.reset) {
        CloseConnection(true);
        break;
      }
      for (size_t i = 0; i < reply.chunks.size() && conn_ >= 0 && !stop_; ++i) {
        if (i > 0 && reply.gapMs > 0) {
          std::this_thread::sleep_for(std::chrono::milliseconds(reply.gapMs));
        }
        send(conn_, reply.chunks[i].data(), reply.chunks[i].size(), MSG_NOSIGNAL);
      }
      if (reply.halfClose && conn_ >= 0) shutdown(conn_, SHUT_WR);
    }
  }
}

ClosedPort::ClosedPort() { fd_ = BindLoopback(port_); }

ClosedPort::~ClosedPort() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace NsOvrin::NsTermination::Testing
