#pragma once
// Ways to make a write fail for real while the tests run as root, who passes
// every permission check: a file size limit standing in for a full disk, and
// the effective user "nobody" for a folder that cannot be written.
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>

namespace NsOvrin::Testing {

// While it lives, a write past limit bytes fails with EFBIG instead of
// raising SIGXFSZ.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t limit) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &previousAction_);
    ::getrlimit(RLIMIT_FSIZE, &previous_);
    struct rlimit tight = previous_;
    tight.rlim_cur = limit;
    active_ = ::setrlimit(RLIMIT_FSIZE, &tight) == 0;
  }
  ~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &previous_);
    ::sigaction(SIGXFSZ, &previousAction_, nullptr);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  bool Active() const { return active_; }

 private:
  struct rlimit previous_ {};
  struct sigaction previousAction_ {};
  bool active_ = false;
};

// While it lives, a root process acts as "nobody" (uid and gid 65534), so
// that a folder without write permission refuses it; a process that is not
// root stays as it is and is refused anyway. Active() is false when root
// cannot drop its rights here.
class UnprivilegedUser {
 public:
  static constexpr uid_t kNobody = 65534;

  UnprivilegedUser() {
    if (::geteuid() != 0) {
      active_ = true;
      return;
    }
    if (::setegid(kNobody) != 0) return;
    if (::seteuid(kNobody) != 0) {
      ::setegid(0);
      return;
    }
    dropped_ = true;
    active_ = true;
  }
  ~UnprivilegedUser() {
    if (!dropped_) return;
    [[maybe_unused]] const int user = ::seteuid(0);
    [[maybe_unused]] const int group = ::setegid(0);
  }
  UnprivilegedUser(const UnprivilegedUser&) = delete;
  UnprivilegedUser& operator=(const UnprivilegedUser&) = delete;

  bool Active() const { return active_; }

 private:
  bool active_ = false;
  bool dropped_ = false;
};

}  // namespace NsOvrin::Testing
