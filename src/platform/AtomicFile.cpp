#include "platform/AtomicFile.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/CheckedFile.h"
#include "platform/Format.h"

namespace NsOvrin::NsPlatform {
namespace {

// A file left behind by a crashed save of another process with the same id
// only costs a retry.
constexpr int kTempNameTries = 64;
std::atomic<unsigned> tempCounter{0};
constexpr std::string_view kTempPrefix = ".ovrin-save-";
constexpr std::string_view kTempSuffix = ".tmp";

bool AllDigits(std::string_view text) {
  if (text.empty() || text.size() > 18) return false;
  for (const char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The process id in a temporary's name, or -1 when the name is not one of ours.
long TempOwner(std::string_view name) {
  if (name.size() <= kTempPrefix.size() + kTempSuffix.size() || !name.starts_with(kTempPrefix) ||
      !name.ends_with(kTempSuffix))
    return -1;
  name.remove_prefix(kTempPrefix.size());
  name.remove_suffix(kTempSuffix.size());
  const std::size_t dash = name.find('-');
  if (dash == std::string_view::npos) return -1;
  const std::string_view pid = name.substr(0, dash);
  if (!AllDigits(pid) || !AllDigits(name.substr(dash + 1))) return -1;
  long value = 0;
  for (const char c : pid) value = value * 10 + (c - '0');
  return value;
}

// A process we may not signal still runs; only ESRCH says it is gone.
bool ProcessRuns(long pid) {
  if (pid <= 0 || pid > INT32_MAX) return true;
  if (pid == static_cast<long>(::getpid())) return true;
  return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno != ESRCH;
}

// Saving through a symbolic link replaces the file it names, not the link.
// A dangling link is replaced.
std::string SaveTarget(const std::string& path) {
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

int CreateTempFile(const std::string& folder, std::string& tempPath) {
  for (int i = 0; i < kTempNameTries; ++i) {
    tempPath = StrFormat("%s/.ovrin-save-%ld-%u.tmp", folder.c_str(),
                         static_cast<long>(::getpid()), tempCounter.fetch_add(1));
    // The mode is filtered by the umask like any new file of the program.
    const int fd = ::open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) return fd;
    if (errno != EEXIST) return -1;
  }
  return -1;
}

thread_local std::vector<WriteFailureRecorder*> liveRecorders;


// The errno of a failed step; a step that failed without one still failed.
int FailureErrno(int error) { return error != 0 ? error : EIO; }

// Makes the rename itself durable; not every file system can sync a folder,
// and the new file is already in place, so a failure here is not reported.
void SyncFolder(const std::string& folder) {
  const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// A new temporary file in folder filled, synced and closed, with the
// permissions of the regular file target when there is one. 0, or the
// errno of the first step that failed, with the temporary removed.
int WriteTempFile(const std::string& folder, const std::string& target, const FileFiller& fill,
                  std::string& tempPath) {
  const int fd = CreateTempFile(folder, tempPath);
  if (fd < 0) return FailureErrno(errno);
  // Keep the permissions a user gave the file.
  struct stat old {};
  if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
  errno = 0;
  int error = fill(fd) ? 0 : FailureErrno(errno);
  if (::fsync(fd) != 0 && error == 0) error = FailureErrno(errno);
  if (::close(fd) != 0 && error == 0) error = FailureErrno(errno);
  if (error != 0) ::unlink(tempPath.c_str());
  return error;
}

constexpr const char* kCommitRecordName = ".ovrin-save-commit";
constexpr std::string_view kCommitHeader = "ovrin-commit 1";

// A name that stays in its folder.
bool PlainName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos && name.find('\n') == std::string_view::npos;
}

struct CommitSteps {
  std::vector<std::pair<std::string, std::string>> renames;  // temporary, name
  std::vector<std::string> removals;
};

std::string CommitText(const CommitSteps& steps) {
  std::string text(kCommitHeader);
  text += '\n';
  for (const auto& [temp, name] : steps.renames) text += "R " + temp + "/" + name + "\n";
  for (const std::string& name : steps.removals) text += "D " + name + "\n";
  return text;
}

// A record that does not read whole is none of ours: nothing of it is done.
bool ParseCommit(const std::string& text, CommitSteps& steps) {
  std::size_t pos = 0;
  bool header = true;
  while (pos < text.size()) {
    const std::size_t end = text.find('\n', pos);
    if (end == std::string::npos) return false;
    const std::string_view line(text.data() + pos, end - pos);
    pos = end + 1;
    if (header) {
      if (line != kCommitHeader) return false;
      header = false;
      continue;
    }
    if (line.size() < 3 || line[1] != ' ') return false;
    const std::string_view rest = line.substr(2);
    if (line[0] == 'R') {
      const std::size_t slash = rest.find('/');
      if (slash == std::string_view::npos) return false;
      const std::string_view temp = rest.substr(0, slash);
      const std::string_view name = rest.substr(slash + 1);
      // Only what a commit staged is moved.
      if (TempOwner(temp) < 0 || !PlainName(name)) return false;
      steps.renames.emplace_back(std::string(temp), std::string(name));
    } else if (line[0] == 'D') {
      if (!PlainName(rest)) return false;
      steps.removals.emplace_back(rest);
    } else {
      return false;
    }
  }
  return !header;
}

// Every step of the record, each one as often as it takes (a temporary
// already gone was renamed by an earlier run), then the record itself.
bool CarryOut(const std::string& folder, const CommitSteps& steps) {
  bool ok = true;
  for (const auto& [temp, name] : steps.renames) {
    const std::string from = folder + "/" + temp;
    const std::string to = folder + "/" + name;
    // The rest waits: a later step must not land without this one.
    if (::rename(from.c_str(), to.c_str()) != 0 && errno != ENOENT) {
      RecordWriteFailure(to, FailureErrno(errno));
      SyncFolder(folder);
      return false;
    }
  }
  for (const std::string& name : steps.removals) {
    const std::string path = folder + "/" + name;
    struct stat st {};
    // A folder of that name is not a file of ours.
    if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) {
      RecordWriteFailure(path, FailureErrno(errno));
      ok = false;
    }
  }
  const std::string record = folder + "/" + kCommitRecordName;
  if (ok && ::unlink(record.c_str()) != 0 && errno != ENOENT) {
    RecordWriteFailure(record, FailureErrno(errno));
    ok = false;
  }
  SyncFolder(folder);
  return ok;
}

}  // namespace

WriteFailureRecorder::WriteFailureRecorder() { liveRecorders.push_back(this); }

WriteFailureRecorder::~WriteFailureRecorder() { std::erase(liveRecorders, this); }

void RecordWriteFailure(const std::string& path, int error) {
  for (WriteFailureRecorder* recorder : liveRecorders) recorder->failures_.push_back({path, error});
}

bool WriteNoted(const std::string& path, const std::function<bool(const std::string&)>& writer) {
  const WriteFailureRecorder step;
  const bool written = writer(path);
  if (!written && step.Failures().empty()) RecordWriteFailure(path, EINVAL);
  return written;
}

std::string DescribeError(int error) {
  char buffer[256] = {};
  // The GNU strerror_r may answer with its own static text instead.
  return std::string(::strerror_r(error, buffer, sizeof buffer));
}

int RemoveStaleSaveTemporaries(const std::string& folder) {
  if (folder.empty() || folder.find('\0') != std::string::npos) return 0;
  if (!CompletePendingCommit(folder)) return 0;
  DIR* dir = ::opendir(folder.c_str());
  if (dir == nullptr) return 0;
  const std::string base = folder.back() == '/' ? folder : folder + '/';
  int removed = 0;
  while (const dirent* entry = ::readdir(dir)) {
    const std::string_view name(entry->d_name);
    if (ProcessRuns(TempOwner(name))) continue;
    const std::string path = base + std::string(name);
    // Only files this program could have made; a folder or link of that name
    // is the user's.
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::unlink(path.c_str()) == 0)
      ++removed;
  }
  ::closedir(dir);
  return removed;
}

bool WriteAllToFd(int fd, const void* data, std::size_t size) {
  const auto* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t n = ::write(fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

bool ReplaceFileAtomically(const std::string& path, const FileFiller& fill) {
  const auto fail = [&path](int error) {
    RecordWriteFailure(path, FailureErrno(error));
    errno = error;
    return false;
  };
  if (path.empty() || path.find('\0') != std::string::npos) return fail(EINVAL);
  const std::string target = SaveTarget(path);
  if (target.back() == '/') return fail(EISDIR);
  const std::string folder = FolderOf(target);

  // The first step that fails gives the reason.
  std::string tempPath;
  if (const int error = WriteTempFile(folder, target, fill, tempPath); error != 0) return fail(error);
  if (::rename(tempPath.c_str(), target.c_str()) != 0) {
    const int error = errno;
    ::unlink(tempPath.c_str());
    return fail(error);
  }
  SyncFolder(folder);
  return true;
}

std::string CommitRecordPath(const std::string& folder) {
  return folder + "/" + kCommitRecordName;
}

bool CompletePendingCommit(const std::string& folder) {
  if (folder.empty() || folder.find('\0') != std::string::npos) return true;
  const std::string record = CommitRecordPath(folder);
  struct stat st {};
  if (::lstat(record.c_str(), &st) != 0) return true;
  std::string text;
  CommitSteps steps;
  if (!ReadRegularFile(record, text, 1u << 24) || !ParseCommit(text, steps)) {
    // Written whole or not at all: this one was never ours to carry out.
    if (S_ISREG(st.st_mode)) ::unlink(record.c_str());
    return true;
  }
  return CarryOut(folder, steps);
}

FolderCommit::FolderCommit(std::string folder) : folder_(std::move(folder)) {}

FolderCommit::~FolderCommit() {
  for (const auto& [temp, name] : renames_) ::unlink((folder_ + "/" + temp).c_str());
}

bool FolderCommit::Stage(const std::string& name, const FileFiller& fill) {
  const std::string target = folder_ + "/" + name;
  const auto fail = [&target](int error) {
    RecordWriteFailure(target, FailureErrno(error));
    errno = error;
    return false;
  };
  if (folder_.empty() || !PlainName(name)) return fail(EINVAL);
  struct stat old {};
  // The rename would fail after the record: refused before it.
  if (::stat(target.c_str(), &old) == 0 && S_ISDIR(old.st_mode)) return fail(EISDIR);
  std::string tempPath;
  if (const int error = WriteTempFile(folder_, target, fill, tempPath); error != 0) return fail(error);
  renames_.emplace_back(tempPath.substr(tempPath.rfind('/') + 1), name);
  return true;
}

bool FolderCommit::Stage(const std::string& name, std::string_view bytes) {
  return Stage(name, [bytes](int fd) { return WriteAllToFd(fd, bytes.data(), bytes.size()); });
}

bool FolderCommit::StageCopy(const std::string& name, const std::string& source) {
  // A source that cannot be read is the caller's to name: nothing was to be
  // written there.
  const int in = OpenRegularFileForReading(source);
  if (in < 0) return false;
  const bool staged = Stage(name, [in](int out) { return CopyFileContent(in, out); });
  ::close(in);
  return staged;
}

void FolderCommit::Remove(const std::string& name) {
  if (PlainName(name)) removals_.push_back(name);
}

bool FolderCommit::Commit() {
  if (renames_.empty() && removals_.empty()) return true;
  // The record of an earlier commit names files this one may replace.
  if (!CompletePendingCommit(folder_)) return false;
  const CommitSteps steps{renames_, removals_};
  if (!ReplaceFileAtomically(CommitRecordPath(folder_), CommitText(steps))) return false;
  // From here on the record owns the staged files.
  recorded_ = true;
  renames_.clear();
  removals_.clear();
  return CarryOut(folder_, steps);
}

bool ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  return ReplaceFileAtomically(path, [bytes](int fd) { return WriteAllToFd(fd, bytes.data(), bytes.size()); });
}

}  // namespace NsOvrin::NsPlatform
