#include "common/PathUtil.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>

#include "platform/ExePath.h"
#include "platform/IniFile.h"
#include "platform/Utf.h"

namespace NsOvrin {
namespace {

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// Everything before the last separator; the root keeps its '/'.
std::string RemoveFileSpec(const std::string& path) {
  const std::size_t pos = path.find_last_of("/\\");
  if (pos == std::string::npos) return {};
  if (pos == 0) return path.substr(0, 1);
  return path.substr(0, pos);
}

bool IsAbsoluteBase(const std::string& dir) {
  return (!dir.empty() && dir.front() == '/') || dir.find(':') != std::string::npos;
}

char AsciiUpper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// Opens for reading without ever blocking (a FIFO would wait for a writer).
int OpenForReading(const std::string& path) {
  return open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
}

}  // namespace

std::string GetExePath() { return NsPlatform::ReadExePath(); }

std::string GetExeDir(bool trailingBackslash) {
  const std::string dir = RemoveFileSpec(GetExePath());
  return trailingBackslash ? AddTrailingBackslash(dir) : RemoveTrailingSlash(dir);
}

std::string ResolveRelativePath(const std::string& path) {
  if (path.empty()) return {};
  return ResolveRelativePath(path, GetExeDir(true));
}

std::string ResolveRelativePath(const std::string& path, const std::string& programDir) {
  if (path.empty()) return {};
  if (path.front() == '/' || path.rfind("\\\\", 0) == 0 || path.find(':') != std::string::npos)
    return path;
  const std::string exeDir = AddTrailingBackslash(programDir);
  const std::string dir =
      NsPlatform::GetProfileString(exeDir + "config_ref.ini", "redirection", "dir", "", 1024);
  const std::string base = IsAbsoluteBase(dir) ? dir : exeDir + dir;
  return AddTrailingBackslash(base) + path;
}

std::string AddTrailingBackslash(const std::string& path) {
  if (path.empty() || IsSeparator(path.back())) return path;
  return path + '/';
}

std::string RemoveTrailingSlash(const std::string& path) {
  if (path.empty() || !IsSeparator(path.back())) return path;
  return path.substr(0, path.size() - 1);
}

std::string GetFileNameOfPath(const std::string& path) {
  // A separator starts the last component only when something other than
  // another separator follows it, so "dir/" gives "dir/".
  std::size_t start = 0;
  for (std::size_t i = 0; i + 1 < path.size(); ++i)
    if (IsSeparator(path[i]) && !IsSeparator(path[i + 1])) start = i + 1;
  return path.substr(start);
}

bool DirectoryExists(const std::string& path) {
  std::string p = RemoveTrailingSlash(path);
  // "/" is the root, not an empty path.
  if (p.empty() && path == "/") p = path;
  if (p.empty()) return false;
  struct stat st;
  return stat(p.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool RenameFile(const std::string& oldPath, const std::string& newPath) {
  if (oldPath.empty() || newPath.empty()) return false;
  const char* from = oldPath.c_str();
  const char* to = newPath.c_str();
  if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP) return false;

  // The file system refuses the flag: a hard link fails on an existing target.
  if (link(from, to) == 0) {
    if (unlink(from) == 0) return true;
    unlink(to);
    return false;
  }
  if (errno == EEXIST) return false;
  // No hard links here (or a folder): test, then rename.
  struct stat st;
  if (lstat(to, &st) == 0 || errno != ENOENT) return false;
  return rename(from, to) == 0;
}

bool IsSameFile(const std::string& a, const std::string& b) {
  if (a.empty()) return b.empty();
  if (b.empty()) return false;
  if (a.size() == b.size()) {
    bool equal = true;
    for (std::size_t i = 0; i < a.size() && equal; ++i) equal = AsciiUpper(a[i]) == AsciiUpper(b[i]);
    if (equal) return true;
  }
  const int fa = OpenForReading(a);
  const int fb = OpenForReading(b);
  bool same;
  if (fa < 0) {
    same = fb < 0;
  } else if (fb < 0) {
    same = false;
  } else {
    struct stat sa, sb;
    same = fstat(fa, &sa) == 0 && fstat(fb, &sb) == 0 && sa.st_size == sb.st_size &&
           sa.st_mtim.tv_sec == sb.st_mtim.tv_sec && sa.st_mtim.tv_nsec == sb.st_mtim.tv_nsec;
  }
  if (fa >= 0) close(fa);
  if (fb >= 0) close(fb);
  return same;
}

void InitGdiplusOnce() {
  static const bool started = true;
  (void)started;
}

void InitComOnce() {
  static const bool started = true;
  (void)started;
}

void InitWinsockOnce() {
  static const bool started = [] {
    struct sigaction sa {};
    sa.sa_handler = SIG_IGN;
    sigemptyset(&sa.sa_mask);
    return sigaction(SIGPIPE, &sa, nullptr) == 0;
  }();
  (void)started;
}

std::string Utf8ToCString(const char* utf8, std::size_t byteCount) {
  if (utf8 == nullptr || byteCount == 0 || utf8[0] == '\0') return {};
  const std::string_view bytes(utf8, byteCount);
  if (!NsPlatform::IsValidUtf8(bytes)) return {};
  return std::string(bytes.substr(0, bytes.find('\0')));
}

std::string CutAtNul(std::string text) {
  text.erase(std::min(text.find('\0'), text.size()));
  return text;
}

bool ParseIPv4(const std::string& text, uint32_t& address) {
  // inet_pton would stop at an embedded NUL and accept what precedes it.
  if (text.find('\0') != std::string::npos) return false;
  in_addr addr{};
  if (inet_pton(AF_INET, text.c_str(), &addr) != 1) return false;
  address = addr.s_addr;
  return true;
}

bool IsValidName(const std::string& text) {
  if (text.empty() || text.front() == '.' || text.back() == '.') return false;
  if (text.find("..") != std::string::npos) return false;
  const std::wstring chars = NsPlatform::Utf8ToWide(text);
  if (chars.empty()) return false;  // malformed UTF-8
  for (const wchar_t c : chars) {
    const bool ok = (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') ||
                    c == L'_' || c == L'-' || c == L'.' || (c >= 0x4E00 && c <= 0x9FBB);
    if (!ok) return false;
  }
  return true;
}

void SplitText(const std::string& text, const std::string& separator,
               std::vector<std::string>& pieces) {
  if (text.empty()) return;
  if (separator.empty()) {
    pieces.push_back(text);
    return;
  }
  std::size_t pos = 0;
  for (;;) {
    const std::size_t next = text.find(separator, pos);
    if (next == std::string::npos) break;
    pieces.push_back(text.substr(pos, next - pos));
    pos = next + separator.size();
  }
  pieces.push_back(text.substr(pos));
}

}  // namespace NsOvrin
