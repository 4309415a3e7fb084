#pragma once
// The one way the program opens a file to read it. Project folders are
// hand-edited and shared: a name may stand for a folder, a FIFO, a device or
// a dangling link. Only regular files are read, and the open never blocks (a
// FIFO would wait for a writer for ever). Nothing here throws.
#include <sys/types.h>

#include <cstddef>
#include <string>

namespace NsOvrin::NsPlatform {

// A descriptor open for reading on the regular file at path (a symbolic link
// is followed), or -1 with errno set: ENOENT for an empty path or one holding
// a NUL, EISDIR for a folder, EINVAL for anything else that is not a regular
// file. The caller closes the descriptor.
int OpenRegularFileForReading(const std::string& path);

// One read(2) of at most size bytes, repeated when a signal interrupts it:
// the count, 0 at the end of the file, or -1 with errno set.
ssize_t ReadFromFile(int fd, void* buffer, std::size_t size);

// What ReadFromFile calls in place of read(2), so that a test can make a read
// fail part-way through a file as a failing disk does; nullptr puts read(2)
// back. Returns the function it replaces (nullptr for read(2)).
using FileReadFunction = ssize_t (*)(int fd, void* buffer, std::size_t size);
FileReadFunction ReplaceFileReadFunction(FileReadFunction read);

// Everything left to read of in, written to out; false when a read or a
// write fails.
bool CopyFileContent(int in, int out);

// The whole regular file into bytes (cleared first). Files above maxBytes,
// read errors and anything OpenRegularFileForReading refuses fail.
bool ReadRegularFile(const std::string& path, std::string& bytes,
                     std::size_t maxBytes = static_cast<std::size_t>(1) << 31);

// Copies the regular file source over target through a temporary file beside
// target, so a failed copy leaves what target held whole. keepTimes carries
// the permission bits and the modification time along, as a platform file
// copy does. False when source cannot be read or target cannot be written.
bool CopyRegularFile(const std::string& source, const std::string& target, bool keepTimes);

// Both paths name one existing file (same device and inode).
bool SameExistingFile(const std::string& a, const std::string& b);

}  // namespace NsOvrin::NsPlatform
