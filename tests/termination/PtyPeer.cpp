#include "PtyPeer.h"

#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>

#include "comm_server/SerialPort.h"

namespace NsOvrin::NsTermination::Testing {

PtyPeer::PtyPeer() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) return;
  const char* name = nullptr;
  if (grantpt(master_) != 0 || unlockpt(master_) != 0 || (name = ptsname(master_)) == nullptr) {
    close(master_);
    master_ = -1;
    return;
  }
  slavePath_ = name;
  termios tio{};
  if (tcgetattr(master_, &tio) == 0) {
    cfmakeraw(&tio);
    tcsetattr(master_, TCSANOW, &tio);
  }
}

PtyPeer::~PtyPeer() {
  Stop();
  if (master_ >= 0) close(master_);
}

int PtyPeer::OpenSlave() const {
  NsCommServer::SerialParams params;
  params.parity = NsCommServer::kParityNone;
  params.dataBits = NsCommServer::kDataBits8;
  return NsCommServer::OpenSerialPort(params, slavePath_);
}

void PtyPeer::Start() {
  stop_ = false;
  thread_ = std::thread([this] { Run(); });
}

void PtyPeer::Stop() {
  stop_ = true;
  if (thread_.joinable()) thread_.join();
}

void PtyPeer::Write(const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(master_, bytes.data() + done, bytes.size() - done);
    if (n > 0) {
      done += static_cast<size_t>(n);
    } else if (n < 0 && errno != EINTR && errno != EAGAIN) {
      return;
    }
  }
}

std::string PtyPeer::Read(std::chrono::milliseconds timeout) {
  std::string out;
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd fd{master_, POLLIN, 0};
    if (poll(&fd, 1, 20) <= 0 || !(fd.revents & POLLIN)) {
      if (!out.empty()) break;
      continue;
    }
    char buffer[256];
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) break;
    out.append(buffer, static_cast<size_t>(n));
  }
  return out;
}

void PtyPeer::Run() {
  while (!stop_) {
    pollfd fd{master_, POLLIN, 0};
    if (poll(&fd, 1, 20) <= 0) continue;
    if (!(fd.revents & POLLIN)) {
      // No slave open (hang-up): wait for the node to open it.
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    char buffer[512];
    const ssize_t n = read(master_, buffer, sizeof buffer);
    if (n <= 0) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
      continue;
    }
    for (const PeerReply& reply : Feed(buffer, static_cast<size_t>(n))) Send(reply);
  }
}

void PtyPeer::Send(const PeerReply& reply) {
  for (size_t i = 0; i < reply.chunks.size() && !stop_; ++i) {
    if (i > 0 && reply.gapMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(reply.gapMs));
    Write(reply.chunks[i]);
  }
}

}  // namespace NsOvrin::NsTermination::Testing
