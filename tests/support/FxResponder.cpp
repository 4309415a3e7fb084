#include "FxResponder.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>

namespace NsOvrin::NsTestSupport {

namespace {

constexpr uint32_t kMemorySize = 0x70000;

struct Region {
  uint32_t begin;
  uint32_t bytes;
};

// Byte ranges of the device address space. Bit areas are rounded up to whole
// words, since reads always take whole words.
constexpr Region kRegions[] = {
    {0x4000, 2 * 8000},    // D
    {0x60000, 2 * 32768},  // R
    {0x8800, 960},         // M
    {0x8CE0, 512},         // S
    {0x0240, 32},          // X
    {0x0180, 32},          // Y
};

// Value of a number whose decimal digits are octal digits (X17 is 15);
// false when a digit is 8 or 9.
bool OctalValue(uint32_t number, uint32_t& value) {
  value = 0;
  uint32_t scale = 1;
  while (number != 0) {
    const uint32_t digit = number % 10;
    if (digit > 7) return false;
    value += digit * scale;
    scale *= 8;
    number /= 10;
  }
  return true;
}

int HexDigit(uint8_t c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Reads n hex digits at p; false on any character that is not a hex digit.
bool ParseHex(const uint8_t* p, int n, uint32_t& value) {
  value = 0;
  for (int i = 0; i < n; ++i) {
    const int d = HexDigit(p[i]);
    if (d < 0) return false;
    value = value * 16 + static_cast<uint32_t>(d);
  }
  return true;
}

void AppendHexByte(std::vector<uint8_t>& out, uint8_t b) {
  static const char kDigits[] = "0123456789ABCDEF";
  out.push_back(static_cast<uint8_t>(kDigits[b >> 4]));
  out.push_back(static_cast<uint8_t>(kDigits[b & 0x0F]));
}

}  // namespace

FxResponder::FxResponder() : memory_(kMemorySize, 0) {}

FxResponder::~FxResponder() { Stop(); }

bool FxResponder::Start() {
  if (thread_.joinable()) return false;
  char name[PATH_MAX] = {};
  if (openpty(&master_, &slave_, name, nullptr, nullptr) != 0) return false;
  // Raw both ways: no echo, no line editing, no output translation.
  termios tio{};
  if (tcgetattr(slave_, &tio) == 0) {
    cfmakeraw(&tio);
    tcsetattr(slave_, TCSANOW, &tio);
  }
  wake_ = eventfd(0, EFD_CLOEXEC);
  if (wake_ < 0) {
    Stop();
    return false;
  }
  slavePath_ = name;
  try {
    thread_ = std::thread([this] { Serve(); });
  } catch (...) {
    Stop();
    return false;
  }
  return true;
}

void FxResponder::Stop() {
  if (thread_.joinable()) {
    const uint64_t one = 1;
    [[maybe_unused]] ssize_t n = write(wake_, &one, sizeof(one));
    thread_.join();
  }
  for (int* fd : {&wake_, &slave_, &master_}) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
  }
}

bool FxResponder::WordTarget(char area, uint32_t number, uint32_t& byteAddress) {
  switch (area) {
    case 'D':
      if (number >= 8000) return false;
      byteAddress = 0x4000 + 2 * number;
      return true;
    case 'R':
      if (number >= 32768) return false;
      byteAddress = 0x60000 + 2 * number;
      return true;
    default:
      return false;
  }
}

bool FxResponder::BitTarget(char area, uint32_t number, uint32_t& byteAddress, uint8_t& bit) {
  uint32_t base = 0, limit = 0, index = number;
  switch (area) {
    case 'M': base = 0x8800; limit = 7680; break;
    case 'S': base = 0x8CE0; limit = 4096; break;
    case 'X': base = 0x0240; limit = 256; break;
    case 'Y': base = 0x0180; limit = 256; break;
    default: return false;
  }
  if ((area == 'X' || area == 'Y') && !OctalValue(number, index)) return false;
  if (index >= limit) return false;
  byteAddress = base + index / 8;
  bit = static_cast<uint8_t>(index % 8);
  return true;
}

bool FxResponder::ForceTarget(uint32_t forceAddress, uint32_t& byteAddress, uint8_t& bit) {
  uint32_t index = 0, base = 0;
  if (forceAddress >= 0x0C00 && forceAddress < 0x0C00 + 256) {
    index = forceAddress - 0x0C00;
    base = 0x0180;  // Y
  } else if (forceAddress >= 0x4000 && forceAddress < 0x4000 + 7680) {
    index = forceAddress - 0x4000;
    base = 0x8800;  // M
  } else if (forceAddress >= 0x6700 && forceAddress < 0x6700 + 4096) {
    index = forceAddress - 0x6700;
    base = 0x8CE0;  // S
  } else {
    return false;
  }
  byteAddress = base + index / 8;
  bit = static_cast<uint8_t>(index % 8);
  return true;
}

bool FxResponder::InMemory(uint32_t address, uint32_t n) const {
  for (const Region& r : kRegions) {
    if (address >= r.begin && address + n <= r.begin + r.bytes) return true;
  }
  return false;
}

void FxResponder::SetWord(char area, uint32_t number, uint16_t value) {
  uint32_t at = 0;
  if (!WordTarget(area, number, at)) return;
  std::lock_guard<std::mutex> lock(memLock_);
  memory_[at] = static_cast<uint8_t>(value & 0xFF);
  memory_[at + 1] = static_cast<uint8_t>(value >> 8);
}

uint16_t FxResponder::GetWord(char area, uint32_t number) const {
  uint32_t at = 0;
  if (!WordTarget(area, number, at)) return 0;
  std::lock_guard<std::mutex> lock(memLock_);
  return static_cast<uint16_t>(memory_[at] | (memory_[at + 1] << 8));
}

void FxResponder::SetBit(char area, uint32_t number, bool on) {
  uint32_t at = 0;
  uint8_t bit = 0;
  if (!BitTarget(area, number, at, bit)) return;
  std::lock_guard<std::mutex> lock(memLock_);
  if (on) {
    memory_[at] = static_cast<uint8_t>(memory_[at] | (1u << bit));
  } else {
    memory_[at] = static_cast<uint8_t>(memory_[at] & ~(1u << bit));
  }
}

bool FxResponder::GetBit(char area, uint32_t number) const {
  uint32_t at = 0;
  uint8_t bit = 0;
  if (!BitTarget(area, number, at, bit)) return false;
  std::lock_guard<std::mutex> lock(memLock_);
  return (memory_[at] >> bit) & 1;
}

std::string FxResponder::LastFrame() const {
  std::lock_guard<std::mutex> lock(memLock_);
  return lastFrame_;
}

void FxResponder::Serve() {
  pollfd fds[2] = {{master_, POLLIN, 0}, {wake_, POLLIN, 0}};
  uint8_t buf[512];
  for (;;) {
    fds[0].revents = fds[1].revents = 0;
    const int r = poll(fds, 2, -1);
    if (r < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (fds[1].revents != 0) return;
    if (fds[0].revents & POLLIN) {
      const ssize_t n = read(master_, buf, sizeof(buf));
      if (n > 0) {
        pending_.insert(pending_.end(), buf, buf + n);
        ProcessPending();
        continue;
      }
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    }
    if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
      // Every slave opener is gone (we hold one, so this is unexpected):
      // wait for the stop rather than spin.
      pollfd wake{wake_, POLLIN, 0};
      poll(&wake, 1, -1);
      return;
    }
  }
}

void FxResponder::ProcessPending() {
  for (;;) {
    size_t stx = 0;
    while (stx < pending_.size() && pending_[stx] != kStx) ++stx;
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(stx));
    if (pending_.empty()) return;
    size_t etx = 1;
    while (etx < pending_.size() && pending_[etx] != kEtx) ++etx;
    if (etx + 2 >= pending_.size()) return;  // ETX or the sum digits still to come
    const std::vector<uint8_t> frame(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(etx + 3));
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(etx + 3));
    ++frameCount_;
    {
      std::lock_guard<std::mutex> lock(memLock_);
      lastFrame_.assign(frame.begin(), frame.end());
    }
    std::vector<uint8_t> reply = Answer(frame);
    if (!silent_) SendReply(reply);
  }
}

std::vector<uint8_t> FxResponder::Answer(const std::vector<uint8_t>& frame) {
  const std::vector<uint8_t> nak{kNak};
  const size_t etx = frame.size() - 3;
  uint8_t sum = 0;
  for (size_t i = 1; i <= etx; ++i) sum = static_cast<uint8_t>(sum + frame[i]);
  uint32_t sent = 0;
  if (!ParseHex(&frame[etx + 1], 2, sent) || sent != sum) return nak;

  const uint8_t* body = frame.data() + 1;  // command and fields, up to ETX
  const size_t bodyLen = etx - 1;
  if (bodyLen < 2 || body[0] != 'E') return nak;
  const uint8_t cmd = body[1];

  if (cmd == '0' || cmd == '1') {
    uint32_t address = 0, n = 0;
    if (bodyLen < 9 || !ParseHex(body + 2, 5, address) || !ParseHex(body + 7, 2, n)) return nak;
    if (!InMemory(address, n)) return nak;
    if (cmd == '0') {
      if (bodyLen != 9) return nak;
      std::vector<uint8_t> reply{kStx};
      {
        std::lock_guard<std::mutex> lock(memLock_);
        for (uint32_t i = 0; i < n; ++i) AppendHexByte(reply, memory_[address + i]);
      }
      reply.push_back(kEtx);
      uint8_t replySum = 0;
      for (size_t i = 1; i < reply.size(); ++i) replySum = static_cast<uint8_t>(replySum + reply[i]);
      if (corruptSum_) replySum = static_cast<uint8_t>(replySum + 1);
      AppendHexByte(reply, replySum);
      return reply;
    }
    if (bodyLen != 9 + 2 * static_cast<size_t>(n)) return nak;
    std::vector<uint8_t> data(n);
    for (uint32_t i = 0; i < n; ++i) {
      uint32_t b = 0;
      if (!ParseHex(body + 9 + 2 * i, 2, b)) return nak;
      data[i] = static_cast<uint8_t>(b);
    }
    std::lock_guard<std::mutex> lock(memLock_);
    for (uint32_t i = 0; i < n; ++i) memory_[address + i] = data[i];
    return {kAck};
  }

  if (cmd == '7' || cmd == '8') {
    uint32_t lo = 0, hi = 0;
    if (bodyLen != 6 || !ParseHex(body + 2, 2, lo) || !ParseHex(body + 4, 2, hi)) return nak;
    uint32_t at = 0;
    uint8_t bit = 0;
    if (!ForceTarget(lo | (hi << 8), at, bit)) return nak;
    std::lock_guard<std::mutex> lock(memLock_);
    if (cmd == '7') {
      memory_[at] = static_cast<uint8_t>(memory_[at] | (1u << bit));
    } else {
      memory_[at] = static_cast<uint8_t>(memory_[at] & ~(1u << bit));
    }
    return {kAck};
  }
  return nak;
}

void FxResponder::SendReply(const std::vector<uint8_t>& reply) {
  const uint32_t chunk = chunkSize_;
  const uint32_t gap = chunkGapMs_;
  size_t done = 0;
  while (done < reply.size()) {
    size_t n = reply.size() - done;
    if (chunk != 0 && n > chunk) n = chunk;
    size_t written = 0;
    while (written < n) {
      const ssize_t w = write(master_, reply.data() + done + written, n - written);
      if (w < 0) {
        if (errno == EINTR) continue;
        return;
      }
      written += static_cast<size_t>(w);
    }
    done += n;
    if (done < reply.size() && gap != 0) {
      // Stay responsive to Stop between the pieces.
      pollfd wake{wake_, POLLIN, 0};
      if (poll(&wake, 1, static_cast<int>(gap)) > 0) return;
    }
  }
}

}  // namespace NsOvrin::NsTestSupport
