#pragma once
// Where the program lives and where its relative files go; path text helpers;
// start-up guards; small text helpers shared by every layer.
//
// Paths use '/'. Paths stored by Windows builds may hold '\': the helpers
// that take a file name or a directory out of a path accept both separators.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace NsOvrin {

// Paths.

// Full path of the program file.
std::string GetExePath();
// The program's directory, with or without one trailing '/'.
std::string GetExeDir(bool trailingBackslash);
// An absolute path (starting with '/' or two backslashes, or holding ':') comes back
// unchanged; a relative one is put under the folder named by key "dir" of
// section "redirection" in config_ref.ini next to the program (relative to
// the program's directory unless absolute), else under the program's
// directory. The path is not normalised.
std::string ResolveRelativePath(const std::string& path);
// The same with config_ref.ini looked up in programDir instead of the
// program's directory; lets tests stay out of the build folder.
std::string ResolveRelativePath(const std::string& path, const std::string& programDir);
// Appends '/' unless the path is empty or already ends with '/' or '\'.
std::string AddTrailingBackslash(const std::string& path);
// Removes one final '/' or '\'.
std::string RemoveTrailingSlash(const std::string& path);
// The last component of the path; a final separator stays with it.
std::string GetFileNameOfPath(const std::string& path);
bool DirectoryExists(const std::string& path);
// Renames or moves a file or folder. Never replaces an existing target and
// never shortens a path: it fails instead.
bool RenameFile(const std::string& oldPath, const std::string& newPath);
// Same text (ASCII letters case-folded), or both unopenable, or both open
// with equal size and modification time.
bool IsSameFile(const std::string& a, const std::string& b);

// Start-up guards: the first call does the work, later calls nothing.

// Nothing to start on this platform; kept so that callers stay as they are.
void InitGdiplusOnce();
void InitComOnce();
// Sockets need no start-up here, but a write to a peer that went away must
// not kill the process with SIGPIPE.
void InitWinsockOnce();

// Text.

// Exactly byteCount bytes of UTF-8, cut at the first NUL. A null pointer, a
// first byte of 0, a count of 0 or malformed UTF-8 give the empty text.
std::string Utf8ToCString(const char* utf8, std::size_t byteCount);
// The text up to its first NUL byte: the project files keep no more of a
// text, so an import keeps what a save and reopen will show.
std::string CutAtNul(std::string text);
// A dotted IPv4 address; the output (written only on success) holds it in
// network byte order.
bool ParseIPv4(const std::string& text, uint32_t& address);
// Project and page names: ASCII letters, digits, '_', '-', '.' and the CJK
// characters U+4E00..U+9FBB; no '.' first, last or twice in a row.
bool IsValidName(const std::string& text);
// Appends the pieces of text between separators to pieces (not cleared);
// empty pieces are kept. An empty text appends nothing, an empty separator
// the whole text.
void SplitText(const std::string& text, const std::string& separator,
               std::vector<std::string>& pieces);

}  // namespace NsOvrin
