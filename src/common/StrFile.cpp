#include "common/StrFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "common/PathUtil.h"
#include "platform/CheckedFile.h"
#include "platform/Cp936.h"
#include "platform/Format.h"
#include "platform/Utf.h"

namespace NsOvrin {
namespace {

// Bytes asked of the file per read while a line is assembled.
constexpr int32_t kReadChunk = 128;
constexpr int kTempNameTries = 64;
std::atomic<unsigned> tempCounter{0};

bool HasNul(const std::string& path) { return path.find('\0') != std::string::npos; }

// Follows a symbolic link, so that writing through it replaces the file it
// names rather than the link.
std::string WriteTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return path;
  std::string resolved(real);
  std::free(real);
  return resolved;
}

std::string FolderOf(const std::string& path) {
  const std::size_t pos = path.rfind('/');
  if (pos == std::string::npos) return ".";
  if (pos == 0) return "/";
  return path.substr(0, pos);
}

// A new temporary file in folder, or -1 with errno set.
int CreateTempFile(const std::string& folder, std::string& tempPath) {
  for (int i = 0; i < kTempNameTries; ++i) {
    tempPath = NsPlatform::StrFormat("%s/.ovrin-line-%ld-%u.tmp", folder.c_str(),
                                     static_cast<long>(::getpid()), tempCounter.fetch_add(1));
    // The mode is filtered by the umask like any new file of the program.
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -1;
  }
  errno = EEXIST;
  return -1;
}

bool WriteAll(int fd, const char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t n = ::write(fd, data, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

// Makes the rename durable where the file system can sync a folder.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

}  // namespace

// ---------------------------------------------------------------- writing

WFileBase::WFileBase(std::unique_ptr<CodeRule> rule) : rule_(std::move(rule)) {}

WFileBase::~WFileBase() {
  if (IsOpen()) Close();
}

bool WFileBase::Open(const std::string& path, CreationDisposition disposition) {
  if (!rule_) {
    errno = EINVAL;
    return false;
  }
  if (IsOpen()) Close();
  failed_ = false;
  if (path.empty() || HasNul(path)) {
    errno = ENOENT;
    return false;
  }
  const std::string target = WriteTarget(path);
  if (target.back() == '/') {
    errno = EISDIR;
    return false;
  }

  struct stat st {};
  const bool exists = ::stat(target.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return false;
  if (exists) {
    if (!S_ISREG(st.st_mode)) {
      errno = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
      return false;
    }
    // A read-only file is not replaced, not even by a privileged user.
    if ((st.st_mode & 0222) == 0 || ::access(target.c_str(), W_OK) != 0) {
      errno = EACCES;
      return false;
    }
  }
  switch (disposition) {
    case CreationDisposition::CreateNew:
      if (exists) {
        errno = EEXIST;
        return false;
      }
      break;
    case CreationDisposition::OpenExisting:
    case CreationDisposition::TruncateExisting:
      if (!exists) {
        errno = ENOENT;
        return false;
      }
      break;
    case CreationDisposition::CreateAlways:
    case CreationDisposition::OpenAlways:
      break;
  }
  const bool isNew = disposition == CreationDisposition::CreateNew ||
                     disposition == CreationDisposition::CreateAlways ||
                     disposition == CreationDisposition::TruncateExisting ||
                     (disposition == CreationDisposition::OpenAlways && !exists);

  std::string tempPath;
  const int fd = CreateTempFile(FolderOf(target), tempPath);
  if (fd < 0) return false;
  // Keep the permissions a user gave the file.
  if (exists) ::fchmod(fd, st.st_mode & 07777);

  handle_ = fd;
  target_ = target;
  tempPath_ = tempPath;
  createNew_ = disposition == CreationDisposition::CreateNew;
  // A header that did not make it would leave a file its reader refuses.
  if (isNew && !rule_->WriteHeader(handle_)) failed_ = true;
  return true;
}

bool WFileBase::WriteLine(const std::string& text) {
  if (!rule_ || !IsOpen() || failed_) return false;
  if (!text.empty() && !rule_->Write(handle_, text)) {
    failed_ = true;
    return false;
  }
  if (!rule_->Write(handle_, "\r\n")) {
    failed_ = true;
    return false;
  }
  return true;
}

bool WFileBase::Close() {
  if (!IsOpen()) return false;
  bool ok = !failed_;
  ok = (::fsync(handle_) == 0) && ok;
  ok = (::close(handle_) == 0) && ok;
  handle_ = -1;
  if (ok) {
    // A file made with CreateNew must not replace one that appeared meanwhile.
    ok = createNew_ ? RenameFile(tempPath_, target_) : ::rename(tempPath_.c_str(), target_.c_str()) == 0;
  }
  if (ok) {
    SyncFolder(FolderOf(target_));
  } else {
    ::unlink(tempPath_.c_str());
  }
  tempPath_.clear();
  target_.clear();
  failed_ = false;
  return ok;
}

WFileACP::WFileACP() : WFileBase(std::make_unique<CR_ACP>()) {}

bool WFileACP::CR_ACP::Write(int handle, const std::string& text) {
  if (text.empty()) return true;
  if (handle < 0) return false;
  // A byte that is not part of valid UTF-8 becomes '?', the way the
  // conversion treats a character the code page lacks.
  const std::string bytes = NsPlatform::Utf8ToAcp(NsPlatform::ReplaceInvalidUtf8(text, "?"));
  // Every character gives at least one byte: nothing means the conversion failed.
  if (bytes.empty()) return false;
  return WriteAll(handle, bytes.data(), bytes.size());
}

bool WFileACP::CR_ACP::WriteHeader(int) { return true; }

// ---------------------------------------------------------------- reading

RFileBase::RFileBase(std::unique_ptr<CodeRule> rule) : rule_(std::move(rule)) {}

RFileBase::~RFileBase() { CloseHandle(); }

void RFileBase::CloseHandle() {
  if (handle_ >= 0) ::close(handle_);
  handle_ = -1;
  pending_.SetSize(0);
  lineLength_ = 0;
  searchFrom_ = 0;
  endOfData_ = true;
  error_ = 0;
}

void RFileBase::StopFailed(int error) {
  pending_.SetSize(0);
  lineLength_ = 0;
  searchFrom_ = 0;
  endOfData_ = true;
  error_ = error;
}

bool RFileBase::Open(const std::string& path) {
  // Lines left from another file must not mix into this one.
  CloseHandle();
  if (!rule_) {
    errno = EINVAL;
    return false;
  }
  if (path.empty() || HasNul(path)) {
    errno = ENOENT;
    return false;
  }
  const int fd = NsPlatform::OpenRegularFileForReading(path);
  if (fd < 0) return false;
  if (!rule_->ReadHeader(fd)) {
    ::close(fd);
    errno = EINVAL;
    return false;
  }
  handle_ = fd;
  endOfData_ = false;
  return true;
}

bool RFileBase::FillLine() {
  if (!rule_) return false;
  for (;;) {
    const int32_t size = pending_.Size();
    int32_t position = searchFrom_;
    if (rule_->FindLineEnd(pending_.Data(), searchFrom_, size, position)) {
      lineLength_ = position + 1;
      return true;
    }
    // The bytes already walked hold no line end: the next search starts after
    // them, so a long line costs one pass.
    searchFrom_ = (position >= searchFrom_ && position <= size) ? position : 0;
    if (endOfData_) break;

    // A line too long to hold is not returned cut short, and a failed read
    // is no end of the file: either way the caller learns that the file was
    // not read whole.
    if (size > INT32_MAX - kReadChunk || pending_.Reserve(size + kReadChunk, true) == nullptr) {
      StopFailed(ENOMEM);
      return false;
    }
    const ssize_t got = NsPlatform::ReadFromFile(handle_, pending_.Data() + size, kReadChunk);
    if (got < 0) {
      StopFailed(errno != 0 ? errno : EIO);
      return false;
    }
    if (got == 0) {
      endOfData_ = true;
    } else {
      pending_.SetSize(size + static_cast<int32_t>(got));
    }
  }
  // The last line of a file needs no LF.
  lineLength_ = pending_.Size();
  return lineLength_ > 0;
}

bool RFileBase::ReadLine(std::string& text) {
  if (!rule_ || handle_ < 0 || !FillLine()) return false;
  uint8_t* data = pending_.Data();
  const int32_t size = pending_.Size();
  rule_->Decode(data, lineLength_, text);
  std::memmove(data, data + lineLength_, static_cast<std::size_t>(size - lineLength_));
  pending_.SetSize(size - lineLength_);
  lineLength_ = 0;
  searchFrom_ = 0;
  const std::size_t keep = text.find_last_not_of("\r\n");
  text.resize(keep == std::string::npos ? 0 : keep + 1);
  return true;
}

RFileACP::RFileACP() : RFileBase(std::make_unique<CRACP>()) {}

bool RFileACP::CRACP::ReadHeader(int handle) {
  utf8_ = false;
  const std::string_view mark = NsPlatform::kUtf8Mark;
  char start[3];
  static_assert(sizeof start == NsPlatform::kUtf8Mark.size());
  ssize_t got;
  do {
    got = ::pread(handle, start, sizeof start, 0);
  } while (got < 0 && errno == EINTR);
  if (got < 0) return false;
  if (std::string_view(start, static_cast<std::size_t>(got)) != mark) return true;
  // The mark is no text: reading starts after it.
  if (::lseek(handle, static_cast<off_t>(mark.size()), SEEK_SET) < 0) return false;
  utf8_ = true;
  return true;
}

bool RFileACP::CRACP::FindLineEnd(const uint8_t* bytes, int32_t from, int32_t to, int32_t& position) {
  int32_t i = from;
  if (utf8_) {
    // No byte of a UTF-8 sequence but the character itself is LF.
    const void* lf = i < to ? std::memchr(bytes + i, 0x0A, static_cast<std::size_t>(to - i)) : nullptr;
    position = lf == nullptr ? to : static_cast<int32_t>(static_cast<const uint8_t*>(lf) - bytes);
    return lf != nullptr;
  }
  while (i < to) {
    const uint8_t b = bytes[i];
    if (b == 0x0A) {
      position = i;
      return true;
    }
    // 0x81..0xFE lead a double-byte character (0x80 is the one-byte euro
    // sign). A trail byte is never LF, so an LF after a lead byte still ends
    // the line: a malformed byte must not join two lines.
    if (b >= 0x81 && b <= 0xFE) {
      if (i + 1 >= to) break;  // the trail byte is not read yet
      i += bytes[i + 1] == 0x0A ? 1 : 2;
      continue;
    }
    ++i;
  }
  position = i;
  return false;
}

void RFileACP::CRACP::Decode(const uint8_t* bytes, int32_t length, std::string& text) {
  if (bytes == nullptr || length <= 0 || bytes[0] == 0) {
    text.clear();
    return;
  }
  const std::string_view line(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(length));
  // In a UTF-8 file a byte that is no valid UTF-8 becomes U+FFFD, as a byte
  // that starts no character does in the code page.
  text = utf8_ ? NsPlatform::ReplaceInvalidUtf8(line, NsPlatform::kReplacementCharacter) : NsPlatform::AcpToUtf8(line);
}

}  // namespace NsOvrin
