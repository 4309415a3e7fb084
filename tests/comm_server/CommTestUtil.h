#pragma once
// Helpers shared by the comm_server tests: temporary folders, captured log
// records, pseudo-terminals.
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "common/Log.h"

namespace NsOvrin::NsCommServerTest {

class TempDir {
 public:
  TempDir() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "commserver-XXXXXX").string();
    if (mkdtemp(tmpl.data()) != nullptr) path_ = tmpl;
  }
  ~TempDir() {
    std::error_code ec;
    if (!path_.empty()) std::filesystem::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }
  std::string Write(const std::string& name, const std::string& text) const {
    const std::string file = path_ + "/" + name;
    std::ofstream(file, std::ios::binary) << text;
    return file;
  }

 private:
  std::string path_;
};

// Registers a sink on one level and switches the level on while it lives.
class LogCapture : public NsLog::LogSink {
 public:
  explicit LogCapture(int level) : logger_(NsLog::GetLogger(level)), was_(logger_.IsEnabled()) {
    logger_.AddSink(this);
    logger_.SetEnabled(true);
  }
  ~LogCapture() override {
    logger_.RemoveSink(this);
    logger_.SetEnabled(was_);
  }
  void Write(const NsLog::LogRecord& r) override {
    std::lock_guard g(m_);
    texts_.push_back(r.text);
  }
  std::vector<std::string> Texts() {
    std::lock_guard g(m_);
    return texts_;
  }

 private:
  NsLog::Logger& logger_;
  bool was_;
  std::mutex m_;
  std::vector<std::string> texts_;
};

// A pseudo-terminal; the slave end stands in for a serial device.
class PtyPair {
 public:
  PtyPair() {
    int slave = -1;
    char name[128] = {};
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) return;
    termios tio{};
    tcgetattr(master_, &tio);
    cfmakeraw(&tio);
    tcsetattr(master_, TCSANOW, &tio);
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    slavePath_ = name;
    slave_ = slave;
  }
  ~PtyPair() {
    CloseSlave();
    if (master_ >= 0) close(master_);
  }
  bool Ok() const { return master_ >= 0 && !slavePath_.empty(); }
  int Master() const { return master_; }
  const std::string& SlavePath() const { return slavePath_; }
  // Once the port under test holds the slave, the first descriptor can go.
  void CloseSlave() {
    if (slave_ >= 0) close(slave_);
    slave_ = -1;
  }
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }
  bool WriteMaster(const std::string& bytes) const {
    return write(master_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
  }
  // Reads until `count` bytes arrived or nothing came for timeoutMs.
  std::string ReadMaster(size_t count, int timeoutMs = 5000) const {
    std::string out;
    while (out.size() < count) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, timeoutMs) <= 0) break;
      char buf[256];
      const ssize_t n = read(master_, buf, sizeof buf);
      if (n <= 0) break;
      out.append(buf, static_cast<size_t>(n));
    }
    return out;
  }

 private:
  int master_ = -1;
  int slave_ = -1;
  std::string slavePath_;
};

inline int64_t MsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start)
      .count();
}

}  // namespace NsOvrin::NsCommServerTest
