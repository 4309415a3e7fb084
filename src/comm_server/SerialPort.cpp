#include "comm_server/SerialPort.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <map>
#include <memory>
#include <string_view>

#include "common/PathUtil.h"
#include "platform/Format.h"
#include "platform/IniFile.h"

namespace NsOvrin::NsCommServer {
namespace {

constexpr const char* kOverrideSection = "serial_ports";
// Highest COM number an override key is looked for when listing ports.
constexpr uint32_t kMaxOverridePort = 256;

std::string OverrideKey(uint32_t port) { return NsPlatform::StrFormat("COM%u", port); }

std::string DefaultIniPath() { return ResolveRelativePath("default_config_.ini"); }

// The device a path finally names; empty when it does not exist.
std::string Canonical(const std::string& path) {
  if (path.empty()) return {};
  std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
  return real ? std::string(real.get()) : std::string();
}

// Number following the prefix, when the rest of the name is all digits.
bool TrailingNumber(std::string_view name, std::string_view prefix, uint32_t& out) {
  if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix) return false;
  std::string_view digits = name.substr(prefix.size());
  if (digits.size() > 9) return false;
  for (char c : digits)
    if (c < '0' || c > '9') return false;
  out = NsPlatform::ParseDecimalU32Saturating(digits);
  return true;
}

struct DirCloser {
  void operator()(DIR* d) const { closedir(d); }
};

speed_t SpeedOf(uint32_t baud) {
  switch (baud) {
    case 4800: return B4800;
    case 9600: return B9600;
    case 19200: return B19200;
    case 38400: return B38400;
    case 115200: return B115200;
    default: return B0;
  }
}

}  // namespace

std::string GetDefaultSerialDevicePath(uint32_t port, const std::string& devDir) {
  if (port == 0) return {};
  if (port <= 32) return NsPlatform::StrFormat("%s/ttyS%u", devDir.c_str(), port - 1);
  if (port <= 64) return NsPlatform::StrFormat("%s/ttyUSB%u", devDir.c_str(), port - 33);
  return NsPlatform::StrFormat("%s/ttyACM%u", devDir.c_str(), port - 65);
}

uint32_t GetDefaultSerialPortNumber(const std::string& deviceName) {
  uint32_t k = 0;
  if (TrailingNumber(deviceName, "ttyS", k)) return k < 32 ? k + 1 : 0;
  if (TrailingNumber(deviceName, "ttyUSB", k)) return k < 32 ? k + 33 : 0;
  if (TrailingNumber(deviceName, "ttyACM", k)) return k <= UINT32_MAX - 65 ? k + 65 : 0;
  return 0;
}

std::string GetSerialDevicePath(uint32_t port) { return GetSerialDevicePath(port, DefaultIniPath()); }

std::string GetSerialDevicePath(uint32_t port, const std::string& iniPath, const std::string& devDir) {
  if (port == 0) return {};
  std::string path = NsPlatform::GetProfileString(iniPath, kOverrideSection, OverrideKey(port), "");
  return path.empty() ? GetDefaultSerialDevicePath(port, devDir) : path;
}

bool BuildSerialTermios(const SerialParams& settings, termios& tio) {
  const speed_t speed = SpeedOf(BaudRateOfFlag(settings.baud));
  tcflag_t size = 0;
  switch (DataBitsOfFlag(settings.dataBits)) {
    case 5: size = CS5; break;
    case 6: size = CS6; break;
    case 7: size = CS7; break;
    case 8: size = CS8; break;
    default: return false;
  }
  tcflag_t parity = 0;
  switch (ParityLetterOfFlag(settings.parity)) {
    case 'n': break;
    case 'o': parity = PARENB | PARODD; break;
    case 'e': parity = PARENB; break;
    case 'm': parity = PARENB | PARODD | CMSPAR; break;
    case 's': parity = PARENB | CMSPAR; break;
    default: return false;
  }
  const uint32_t stop = StopBitsOfFlag(settings.stopBits);
  if (speed == B0 || stop == 0) return false;

  cfmakeraw(&tio);
  tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP);
  tio.c_cflag &= ~(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS);
  tio.c_cflag |= CLOCAL | CREAD | size | parity | (stop == 2 ? CSTOPB : 0);
  // Reads never block in the driver; SerPortClient times them itself.
  tio.c_cc[VMIN] = 0;
  tio.c_cc[VTIME] = 0;
  return cfsetispeed(&tio, speed) == 0 && cfsetospeed(&tio, speed) == 0;
}

int OpenSerialPort(const SerialParams& settings) {
  const std::string path = GetSerialDevicePath(settings.port);
  if (path.empty()) return kInvalidSerialHandle;
  return OpenSerialPort(settings, path);
}

int OpenSerialPort(const SerialParams& settings, const std::string& devicePath) {
  const int fd = open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return kInvalidSerialHandle;
  termios tio{};
  // flock keeps a second opener out even when it may ignore TIOCEXCL (root).
  const bool ok = flock(fd, LOCK_EX | LOCK_NB) == 0 && ioctl(fd, TIOCEXCL) == 0 &&
                  tcgetattr(fd, &tio) == 0 && BuildSerialTermios(settings, tio) &&
                  tcsetattr(fd, TCSANOW, &tio) == 0;
  if (!ok) {
    CloseSerialPort(fd);
    return kInvalidSerialHandle;
  }
  // Lines a pseudo-terminal does not have: its refusal does not matter.
  int lines = TIOCM_DTR | TIOCM_RTS;
  ioctl(fd, TIOCMBIS, &lines);
  tcflush(fd, TCIOFLUSH);
  return fd;
}

void CloseSerialPort(int fd) {
  if (fd < 0) return;
  ioctl(fd, TIOCNXCL);
  close(fd);
}

std::vector<SerialPortInfo> EnumerateSerialPorts() {
  return EnumerateSerialPorts("/sys/class/tty", "/dev", DefaultIniPath());
}

std::vector<SerialPortInfo> EnumerateSerialPorts(const std::string& sysClassTtyDir,
                                                 const std::string& devDir,
                                                 const std::string& iniPath) {
  std::vector<SerialPortInfo> ports;
  std::unique_ptr<DIR, DirCloser> dir(opendir(sysClassTtyDir.c_str()));
  if (!dir) return ports;

  // Device (canonical path) of every override, read once.
  std::map<uint32_t, std::string> overrides;
  struct stat st {};
  if (!iniPath.empty() && stat(iniPath.c_str(), &st) == 0) {
    for (uint32_t n = 1; n <= kMaxOverridePort; ++n) {
      const std::string v = NsPlatform::GetProfileString(iniPath, kOverrideSection, OverrideKey(n), "");
      if (!v.empty()) overrides[n] = Canonical(v);
    }
  }
  auto deviceOf = [&](uint32_t n) {
    auto it = overrides.find(n);
    return it != overrides.end() ? it->second : Canonical(GetDefaultSerialDevicePath(n, devDir));
  };

  std::vector<std::string> names;
  while (dirent* e = readdir(dir.get())) {
    const std::string name = e->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  // Directory order is arbitrary: by name, so that a tie always goes the same way.
  std::sort(names.begin(), names.end());

  for (const std::string& name : names) {
    // Only entries backed by hardware (or a driver) have a "device" link.
    if (lstat((sysClassTtyDir + "/" + name + "/device").c_str(), &st) != 0) continue;
    const std::string devPath = devDir + "/" + name;
    const std::string real = Canonical(devPath);
    if (real.empty()) continue;

    // The COM number that opens this very device: an override naming it, or
    // the fixed rule when no override moved that number elsewhere.
    std::vector<uint32_t> candidates;
    for (const auto& [n, dev] : overrides)
      if (dev == real) candidates.push_back(n);
    if (uint32_t n = GetDefaultSerialPortNumber(name); n != 0) candidates.push_back(n);
    uint32_t number = 0;
    for (uint32_t n : candidates) {
      if (deviceOf(n) == real) {
        number = n;
        break;
      }
    }
    if (number == 0) continue;
    if (std::any_of(ports.begin(), ports.end(), [&](const SerialPortInfo& p) { return p.port == number; }))
      continue;

    // Missing hardware or a port another program holds is left out.
    const int fd = open(devPath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) continue;
    const bool idle = flock(fd, LOCK_EX | LOCK_NB) == 0;
    close(fd);
    if (!idle) continue;
    ports.push_back({NsPlatform::StrFormat("%s (COM%u)", name.c_str(), number), number});
  }
  std::sort(ports.begin(), ports.end(),
            [](const SerialPortInfo& a, const SerialPortInfo& b) { return a.port < b.port; });
  return ports;
}

}  // namespace NsOvrin::NsCommServer
