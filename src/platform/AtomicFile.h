#pragma once
// Replacing a file so that a crash or a full disk leaves either the old file
// or the new one, never a half-written one: the content goes to a new file
// beside the target (same file system), is synced, and is renamed over it.
#include <functional>
#include <string>
#include <string_view>

namespace NsOvrin::NsPlatform {

// Fills the open temporary file; false aborts the replacement.
using FileFiller = std::function<bool(int fd)>;

// A symbolic link target is replaced through the link; an existing file's
// permission bits are kept. Any error fails and removes the temporary file.
bool ReplaceFileAtomically(const std::string& path, const FileFiller& fill);
bool ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// Removes from folder the temporary files ".ovrin-save-<pid>-<n>.tmp" that a
// save killed part-way left behind: those of processes that no longer run.
// Those of this process and of running ones stay. The count removed.
int RemoveStaleSaveTemporaries(const std::string& folder);

// write() until every byte is written (EINTR retried).
bool WriteAllToFd(int fd, const void* data, std::size_t size);

}  // namespace NsOvrin::NsPlatform
