#include "platform/CheckedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>

#include "platform/AtomicFile.h"

namespace NsOvrin::NsPlatform {
namespace {

struct FdCloser {
  int fd;
  ~FdCloser() {
    if (fd >= 0) ::close(fd);
  }
};

std::atomic<FileReadFunction> fileRead{nullptr};

}  // namespace

ssize_t ReadFromFile(int fd, void* buffer, std::size_t size) {
  for (;;) {
    const FileReadFunction read = fileRead.load();
    const ssize_t n = read != nullptr ? read(fd, buffer, size) : ::read(fd, buffer, size);
    if (n < 0 && errno == EINTR) continue;
    return n;
  }
}

FileReadFunction ReplaceFileReadFunction(FileReadFunction read) { return fileRead.exchange(read); }

bool CopyFileContent(int in, int out) {
  char block[65536];
  for (;;) {
    const ssize_t n = ReadFromFile(in, block, sizeof block);
    if (n == 0) return true;
    if (n < 0 || !WriteAllToFd(out, block, static_cast<std::size_t>(n))) return false;
  }
}

int OpenRegularFileForReading(const std::string& path) {
  if (path.empty() || path.find('\0') != std::string::npos) {
    errno = ENOENT;
    return -1;
  }
  // O_NONBLOCK: opening a FIFO must not wait for a writer. It changes nothing
  // for a regular file, and it is cleared again below all the same.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    const int reason = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
    ::close(fd);
    errno = reason;
    return -1;
  }
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
  return fd;
}

bool ReadRegularFile(const std::string& path, std::string& bytes, std::size_t maxBytes) {
  bytes.clear();
  FdCloser file{OpenRegularFileForReading(path)};
  if (file.fd < 0) return false;
  struct stat st {};
  if (::fstat(file.fd, &st) != 0 || st.st_size < 0 ||
      static_cast<unsigned long long>(st.st_size) > maxBytes)
    return false;
  try {
    bytes.reserve(static_cast<std::size_t>(st.st_size));
    char block[65536];
    for (;;) {
      const ssize_t n = ReadFromFile(file.fd, block, sizeof block);
      if (n == 0) return true;
      // A file that grows while it is read is still held to the limit.
      if (n < 0 || bytes.size() + static_cast<std::size_t>(n) > maxBytes) break;
      bytes.append(block, static_cast<std::size_t>(n));
    }
  } catch (...) {
    // Out of memory: the file is simply not read.
  }
  bytes.clear();
  return false;
}

bool CopyRegularFile(const std::string& source, const std::string& target, bool keepTimes) {
  FdCloser in{OpenRegularFileForReading(source)};
  if (in.fd < 0) return false;
  struct stat st {};
  if (::fstat(in.fd, &st) != 0) return false;
  try {
    return ReplaceFileAtomically(target, [&](int out) {
      if (!CopyFileContent(in.fd, out)) return false;
      if (!keepTimes) return true;
      const struct timespec times[2] = {st.st_atim, st.st_mtim};
      return ::fchmod(out, st.st_mode & 0777) == 0 && ::futimens(out, times) == 0;
    });
  } catch (...) {
    return false;
  }
}

bool SameExistingFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (a.empty() || b.empty() || a.find('\0') != std::string::npos || b.find('\0') != std::string::npos)
    return false;
  return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

}  // namespace NsOvrin::NsPlatform
