#pragma once
// Replacing a file so that a crash or a full disk leaves either the old file
// or the new one, never a half-written one: the content goes to a new file
// beside the target (same file system), is synced, and is renamed over it.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace NsOvrin::NsPlatform {

// Fills the open temporary file; false aborts the replacement.
using FileFiller = std::function<bool(int fd)>;

// A symbolic link target is replaced through the link; an existing file's
// permission bits are kept. Any error fails, removes the temporary file and
// is noted in every WriteFailureRecorder of the thread.
bool ReplaceFileAtomically(const std::string& path, const FileFiller& fill);
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Removes from folder the temporary files ".ovrin-save-<pid>-<n>.tmp" that a
// save killed part-way left behind: those of processes that no longer run.
// Those of this process and of running ones stay. The count removed.
int RemoveStaleSaveTemporaries(const std::string& folder);

// A file that could not be written and the errno value that stopped it.
struct WriteFailure {
  std::string path;
  int error = 0;

  bool operator==(const WriteFailure&) const = default;
};

// While one lives, every file the calling thread fails to write is listed
// in it, and in the recorders around it: a save of many files can name each
// one that failed and why, however deep the writer sits.
class WriteFailureRecorder {
 public:
  WriteFailureRecorder();
  ~WriteFailureRecorder();
  WriteFailureRecorder(const WriteFailureRecorder&) = delete;
  WriteFailureRecorder& operator=(const WriteFailureRecorder&) = delete;

  const std::vector<WriteFailure>& Failures() const { return failures_; }

 private:
  friend void RecordWriteFailure(const std::string& path, int error);
  std::vector<WriteFailure> failures_;
};

// Notes a failed write in every live recorder of the thread; for writers
// that refuse before they reach the disk.
void RecordWriteFailure(const std::string& path, int error);

// writer (path). When it fails without a failure noted (it refused its data
// before it reached the disk), path is noted with EINVAL.
bool WriteNoted(const std::string& path, const std::function<bool(const std::string&)>& writer);

// The system's text for an errno value, as strerror gives it.
std::string DescribeError(int error);

// write() until every byte is written (EINTR retried).
bool WriteAllToFd(int fd, const void* data, std::size_t size);

}  // namespace NsOvrin::NsPlatform
