#pragma once
// Replacing a file so that a crash or a full disk leaves either the old file
// or the new one, never a half-written one: the content goes to a new file
// beside the target (same file system), is synced, and is renamed over it.
#include <functional>
#include <string>
#include <string_view>
#include <utility>
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
// Those of this process and of running ones stay. A commit left pending (see
// FolderCommit) is carried out first; while one stays pending nothing is
// removed, since its files are among them. The count removed.
int RemoveStaleSaveTemporaries(const std::string& folder);

// Files of one folder that take their places together, so that no file is
// overwritten or removed while the content another one needs is not yet on
// disk under its own name (pages whose names were swapped). Each new content
// is written and synced beside the folder's files first; once every one is,
// a commit record naming every rename and removal is written, and they
// follow. A process that stops before the record leaves the folder as it
// was; one that stops after it leaves the rest to CompletePendingCommit,
// which the next open or save of the folder runs. Names are plain file names
// in the folder.
class FolderCommit {
 public:
  explicit FolderCommit(std::string folder);
  // What was staged and not committed is removed.
  ~FolderCommit();
  FolderCommit(const FolderCommit&) = delete;
  FolderCommit& operator=(const FolderCommit&) = delete;

  // Writes the new content of name beside it. A failure is noted under the
  // name's path in the thread's recorders.
  bool Stage(const std::string& name, const FileFiller& fill);
  bool Stage(const std::string& name, std::string_view bytes);
  // The regular file source becomes the new content of name. A source that
  // cannot be opened fails with errno set and nothing noted.
  bool StageCopy(const std::string& name, const std::string& source);
  // name goes with the commit; a missing file or a folder of that name is
  // left alone.
  void Remove(const std::string& name);
  // Records the commit, then renames and removes. False, with the failure
  // noted, when the record could not be written (then nothing changed) or a
  // step after it failed (then the record stays for CompletePendingCommit).
  // A commit left pending in the folder is completed first.
  bool Commit();
  // The record was written: whatever failed after it is carried out by
  // CompletePendingCommit, the commit stands.
  bool Recorded() const { return recorded_; }

 private:
  std::string folder_;
  std::vector<std::pair<std::string, std::string>> renames_;  // temporary, name
  std::vector<std::string> removals_;
  bool recorded_ = false;
};

// Carries out what a commit record left in folder still names and removes the
// record. True when none is pending any more; a failure is noted.
bool CompletePendingCommit(const std::string& folder);
// The record's path in folder.
std::string CommitRecordPath(const std::string& folder);

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
