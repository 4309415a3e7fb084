#include "platform/IniFile.h"

#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/CheckedFile.h"
#include "platform/Cp936.h"
#include "platform/Utf.h"

namespace NsOvrin::NsPlatform {
namespace {

enum class ReadStatus { kOk, kMissing, kError };

ReadStatus ReadWholeFile(const std::string& path, std::string& out) {
  out.clear();
  const int fd = OpenRegularFileForReading(path);
  if (fd < 0) return (errno == ENOENT || errno == ENOTDIR) ? ReadStatus::kMissing : ReadStatus::kError;
  char buf[8192];
  for (;;) {
    const ssize_t n = read(fd, buf, sizeof(buf));
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      close(fd);
      return ReadStatus::kError;
    }
    out.append(buf, static_cast<std::size_t>(n));
  }
  close(fd);
  return ReadStatus::kOk;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  return true;
}

// "[name]" up to the last ']'; a '[' line without one is no header.
bool ParseSectionHeader(std::string_view line, std::string_view& name) {
  line = Trim(line);
  if (line.empty() || line.front() != '[') return false;
  const std::size_t close = line.rfind(']');
  if (close == std::string_view::npos) return false;
  name = Trim(line.substr(1, close - 1));
  return true;
}

bool ParseKeyLine(std::string_view line, std::string_view& key, std::string_view& value) {
  line = Trim(line);
  if (line.empty() || line.front() == ';' || line.front() == '[') return false;
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return !key.empty();
}

struct IniText {
  bool bom = false;
  bool crlf = false;
  std::vector<std::string> lines;  // without their line ends
};

IniText ParseIniText(std::string_view bytes) {
  IniText ini;
  if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
    ini.bom = true;
    bytes.remove_prefix(kUtf8Mark.size());
  }
  std::string decoded;
  if (!IsValidUtf8(bytes)) {
    decoded = AcpToUtf8(bytes);
    bytes = decoded;
  }
  const std::size_t firstLf = bytes.find('\n');
  ini.crlf = firstLf != std::string_view::npos && firstLf > 0 && bytes[firstLf - 1] == '\r';
  std::size_t pos = 0;
  while (pos < bytes.size()) {
    std::size_t end = bytes.find('\n', pos);
    if (end == std::string_view::npos) end = bytes.size();
    std::string_view line = bytes.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    ini.lines.emplace_back(line);
    pos = end + 1;
  }
  return ini;
}

// Index of the first line holding the key inside the first section of that
// name; a later section of the same name is not looked at.
std::optional<std::size_t> FindKeyLine(const IniText& ini, std::string_view section,
                                       std::string_view key) {
  bool inSection = false;
  for (std::size_t i = 0; i < ini.lines.size(); ++i) {
    std::string_view name, k, v;
    if (ParseSectionHeader(ini.lines[i], name)) {
      if (inSection) break;
      inSection = EqualsNoCase(name, section);
    } else if (inSection && ParseKeyLine(ini.lines[i], k, v) && EqualsNoCase(k, key)) {
      return i;
    }
  }
  return std::nullopt;
}

// Whether the folder holding the file (through a symbolic link, the file it
// names) takes no new file for this process.
bool FolderRefusesNewFiles(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (real == nullptr) return false;
  std::string target(real);
  std::free(real);
  const std::size_t slash = target.rfind('/');
  const std::string folder = slash == 0 ? "/" : target.substr(0, slash);
  return ::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0 &&
         (errno == EACCES || errno == EPERM || errno == EROFS);
}

// Overwrites an existing regular file with the bytes. The old content stays
// readable until it is overwritten, and the file is cut to the new length
// last.
bool RewriteInPlace(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
  ok = ok && WriteAllToFd(fd, bytes.data(), bytes.size());
  ok = ok && ::ftruncate(fd, static_cast<off_t>(bytes.size())) == 0;
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  return ok;
}

std::string UnquoteValue(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  return std::string(value);
}

// Cuts valid UTF-8 to at most maxUnits UTF-16 units without splitting a
// character.
std::string CutToUtf16Units(std::string text, std::size_t maxUnits) {
  std::size_t pos = 0, units = 0;
  while (pos < text.size()) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    const std::size_t len = lead < 0x80 ? 1 : (lead & 0xE0) == 0xC0 ? 2 : (lead & 0xF0) == 0xE0 ? 3 : 4;
    const std::size_t need = len == 4 ? 2 : 1;
    if (units + need > maxUnits) break;
    units += need;
    pos += len;
  }
  text.resize(std::min(pos, text.size()));
  return text;
}

bool HasLineBreakOrNul(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos; }

// One writer at a time inside the process, so concurrent writes to one file
// do not lose each other's keys.
std::mutex& WriteLock() {
  static std::mutex lock;
  return lock;
}

}  // namespace

std::string GetProfileString(const std::string& iniPath, const std::string& section,
                             const std::string& key, const std::string& defaultValue,
                             std::size_t maxChars) {
  if (maxChars == 0) return {};
  const std::size_t maxUnits = maxChars - 1;
  const std::string_view wantSection = Trim(section), wantKey = Trim(key);
  std::string bytes;
  if (wantSection.empty() || wantKey.empty() || ReadWholeFile(iniPath, bytes) != ReadStatus::kOk)
    return CutToUtf16Units(defaultValue, maxUnits);
  const IniText ini = ParseIniText(bytes);
  const auto index = FindKeyLine(ini, wantSection, wantKey);
  if (!index) return CutToUtf16Units(defaultValue, maxUnits);
  std::string_view k, v;
  ParseKeyLine(ini.lines[*index], k, v);
  return CutToUtf16Units(UnquoteValue(v), maxUnits);
}

bool WriteProfileString(const std::string& iniPath, const std::string& section,
                        const std::string& key, const std::string& value) {
  const std::string_view wantSection = Trim(section), wantKey = Trim(key);
  if (iniPath.empty() || wantSection.empty() || wantKey.empty()) return false;
  if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value)) return false;
  if (wantKey.find('=') != std::string_view::npos || wantKey.front() == ';' || wantKey.front() == '[')
    return false;
  if (!IsValidUtf8(section) || !IsValidUtf8(key) || !IsValidUtf8(value)) return false;

  std::lock_guard<std::mutex> guard(WriteLock());
  std::string bytes;
  const ReadStatus status = ReadWholeFile(iniPath, bytes);
  if (status == ReadStatus::kError) return false;
  IniText ini = ParseIniText(bytes);

  if (const auto index = FindKeyLine(ini, wantSection, wantKey)) {
    std::string_view k, v;
    ParseKeyLine(ini.lines[*index], k, v);
    ini.lines[*index] = std::string(k) + "=" + value;
  } else {
    std::optional<std::size_t> header;
    std::size_t insertAt = 0;
    for (std::size_t i = 0; i < ini.lines.size(); ++i) {
      std::string_view name;
      const bool isHeader = ParseSectionHeader(ini.lines[i], name);
      if (header) {
        if (isHeader) break;
        const std::string_view t = Trim(ini.lines[i]);
        // After the section's last entry, before blanks and comments that
        // lead into the next section.
        if (!t.empty() && t.front() != ';') insertAt = i + 1;
      } else if (isHeader && EqualsNoCase(name, wantSection)) {
        header = i;
        insertAt = i + 1;
      }
    }
    const std::string entry = std::string(wantKey) + "=" + value;
    if (header) {
      ini.lines.insert(ini.lines.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
    } else {
      if (!ini.lines.empty() && !Trim(ini.lines.back()).empty()) ini.lines.emplace_back();
      ini.lines.push_back("[" + std::string(wantSection) + "]");
      ini.lines.push_back(entry);
    }
  }

  const std::string_view eol = ini.crlf ? "\r\n" : "\n";
  std::string out;
  if (ini.bom) out += kUtf8Mark;
  for (const std::string& line : ini.lines) {
    out += line;
    out += eol;
  }
  if (ReplaceFileAtomically(iniPath, out)) return true;
  // No new file can go beside it: a file that may be written is then
  // written in place, as the profile functions do.
  return FolderRefusesNewFiles(iniPath) && RewriteInPlace(iniPath, out);
}

}  // namespace NsOvrin::NsPlatform
