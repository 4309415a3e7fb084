#pragma once
// A disk that fails part-way through a file: while a FailingReads lives, the
// reads of one file through the program's read layer succeed a given number
// of times, then fail with EIO. Reads of every other file go on as usual.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "platform/CheckedFile.h"

namespace NsOvrin::Testing {

class FailingReads {
 public:
  // The file at path (it must exist) gives goodReads reads, then errors.
  FailingReads(const std::string& path, int goodReads) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return;
    device_ = st.st_dev;
    inode_ = st.st_ino;
    goodReads_ = goodReads;
    reads_ = 0;
    failures_ = 0;
    previous_ = NsPlatform::ReplaceFileReadFunction(&Read);
    active_ = true;
  }
  ~FailingReads() {
    if (active_) NsPlatform::ReplaceFileReadFunction(previous_);
  }
  FailingReads(const FailingReads&) = delete;
  FailingReads& operator=(const FailingReads&) = delete;

  bool Active() const { return active_; }
  // Reads of the file asked for so far, the failed ones included.
  int Reads() const { return reads_; }
  int Failures() const { return failures_; }

 private:
  static bool IsTheFile(int fd) {
    struct stat st {};
    return ::fstat(fd, &st) == 0 && st.st_dev == device_ && st.st_ino == inode_;
  }

  static ssize_t Read(int fd, void* buffer, std::size_t size) {
    if (IsTheFile(fd) && reads_++ >= goodReads_) {
      ++failures_;
      errno = EIO;
      return -1;
    }
    return ::read(fd, buffer, size);
  }

  static inline std::atomic<dev_t> device_{0};
  static inline std::atomic<ino_t> inode_{0};
  static inline std::atomic<int> goodReads_{0};
  static inline std::atomic<int> reads_{0};
  static inline std::atomic<int> failures_{0};
  NsPlatform::FileReadFunction previous_ = nullptr;
  bool active_ = false;
};

}  // namespace NsOvrin::Testing
