#include "comm_server/SerPortClient.h"

#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdint>

#include "comm_server/SerialPort.h"
#include "common/Log.h"

namespace NsOvrin::NsCommServer {
namespace {

using Clock = std::chrono::steady_clock;

int64_t MsSince(Clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

}  // namespace

SerPortClient::~SerPortClient() { Close(); }

void SerPortClient::Close() {
  if (_hfile >= 0) {
    CloseSerialPort(_hfile);
    _hfile = -1;
  }
  _wake.Consume();
}

void SerPortClient::Purge() {
  if (_hfile >= 0) tcflush(_hfile, TCIFLUSH);
}

bool SerPortClient::Write(const void* pData, uint32_t len) {
  if (_hfile < 0) return false;
  if (pData == nullptr) {
    OV_LOG(8).AppendText("pData is null. ");
    return false;
  }
  if (len == 0) {
    OV_LOG(8).AppendText("len != 0").AppendOpenParen().AppendNumber(len).AppendText(" VS ")
        .AppendNumber(0).AppendCloseParen();
    return false;
  }
  const auto* p = static_cast<const unsigned char*>(pData);
  const int64_t limit = int64_t{_timeouts.writeMultiplier} * len + _timeouts.writeConstant;
  const Clock::time_point start = Clock::now();
  uint32_t sent = 0;
  while (sent < len) {
    const ssize_t n = write(_hfile, p + sent, len - sent);
    if (n > 0) {
      sent += static_cast<uint32_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    const int64_t left = limit - MsSince(start);
    // A request cut short is no request: a time-out is a failure.
    if (left <= 0) return false;
    const WaitResult w = WaitForFd(_hfile, POLLOUT, left, _wake);
    if (w == WaitResult::Cancelled || w == WaitResult::Failed) return false;
  }
  return true;
}

int32_t SerPortClient::Read(void* pBuff, uint32_t size) {
  if (_hfile < 0) {
    OV_LOG(8).AppendText("_hfile == INVALID_HANDLE_VALUE");
    return -1;
  }
  if (pBuff == nullptr) {
    OV_LOG(8).AppendText("pBuff is null. ");
    return -1;
  }
  // The count is returned as a signed 32-bit value.
  if (size > INT32_MAX) size = INT32_MAX;
  auto* p = static_cast<unsigned char*>(pBuff);
  const Clock::time_point start = Clock::now();
  uint32_t got = 0;
  while (got < size) {
    const int64_t left = int64_t{_timeouts.readTotal} - MsSince(start);
    if (left <= 0) break;
    // Before the first byte only the total limit counts; after it, a gap
    // longer than the interval ends the read too.
    const int64_t wait = got == 0 ? left : std::min<int64_t>(left, _timeouts.readInterval);
    const WaitResult w = WaitForFd(_hfile, POLLIN, wait, _wake);
    if (w == WaitResult::Cancelled || w == WaitResult::Failed) return -1;
    if (w == WaitResult::Retry) continue;
    if (w == WaitResult::TimedOut) {
      if (got > 0) break;
      continue;
    }
    const ssize_t n = read(_hfile, p + got, size - got);
    if (n > 0) {
      got += static_cast<uint32_t>(n);
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
      // The device went away (hang-up or an I/O error).
      return -1;
    }
  }
  return static_cast<int32_t>(got);
}

}  // namespace NsOvrin::NsCommServer
