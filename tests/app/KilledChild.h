#pragma once
// This test program started again as a child that runs one test only (the
// one that does the work to be killed), told where to work through its
// environment, and killed by the parent at a moment of its choosing.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

extern char** environ;

namespace NsOvrin::Testing {

class KilledChild {
 public:
  // Environment variable through which the child gets the descriptor it
  // writes one byte to once it is ready.
  static constexpr const char* kReadyFd = "OVRIN_KILLED_CHILD_READY_FD";

  // Starts the child running the test filter with the variables set; what
  // it leaves in the temporary folder goes to tmpdir. Started() is false
  // when the fork failed.
  KilledChild(const std::string& filter, const std::vector<std::pair<std::string, std::string>>& variables,
              const std::string& tmpdir) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      const int quiet = ::open("/dev/null", O_WRONLY);
      ::dup2(quiet, 1);
      ::dup2(quiet, 2);
      for (const auto& [name, value] : variables) ::setenv(name.c_str(), value.c_str(), 1);
      ::setenv(kReadyFd, std::to_string(ready[1]).c_str(), 1);
      ::setenv("TMPDIR", tmpdir.c_str(), 1);
      const std::string self = std::filesystem::read_symlink("/proc/self/exe");
      const std::string argument = "--gtest_filter=" + filter;
      char* const argv[] = {const_cast<char*>(self.c_str()), const_cast<char*>(argument.c_str()), nullptr};
      ::execve(self.c_str(), argv, environ);
      ::_exit(127);
    }
    ::close(ready[1]);
    readyFd_ = ready[0];
  }
  ~KilledChild() {
    Kill();
    if (readyFd_ >= 0) ::close(readyFd_);
  }
  KilledChild(const KilledChild&) = delete;
  KilledChild& operator=(const KilledChild&) = delete;

  bool Started() const { return pid_ > 0; }

  // Waits up to two minutes for the child's byte: true once it is ready.
  bool WaitReady() {
    if (readyFd_ < 0) return false;
    pollfd waiting{readyFd_, POLLIN, 0};
    char byte = 0;
    const bool ready = ::poll(&waiting, 1, 120000) == 1 && ::read(readyFd_, &byte, 1) == 1;
    ::close(readyFd_);
    readyFd_ = -1;
    return ready;
  }

  // SIGKILL, and waits until it is gone. True when it was reaped.
  bool Kill() {
    if (pid_ <= 0) return false;
    ::kill(pid_, SIGKILL);
    int status = 0;
    const bool reaped = ::waitpid(pid_, &status, 0) == pid_;
    pid_ = -1;
    return reaped;
  }

  // In the child: tells the parent it is ready.
  static bool SayReady() {
    const char* fd = std::getenv(kReadyFd);
    if (fd == nullptr) return false;
    const int descriptor = std::atoi(fd);
    const bool said = ::write(descriptor, "r", 1) == 1;
    ::close(descriptor);
    return said;
  }

 private:
  pid_t pid_ = -1;
  int readyFd_ = -1;
};

}  // namespace NsOvrin::Testing
