#pragma once
// The open COM port of a serial transport: writes a request, reads reply bytes
// with the line's time-outs.
#include <cstdint>

#include "comm_server/WakeEvent.h"

namespace NsOvrin::NsCommServer {

// Milliseconds. A read returns when its buffer is full, when more than
// readInterval passes between two received bytes, or after readTotal in all.
// A write of n bytes may take writeMultiplier * n + writeConstant.
struct SerialTimeouts {
  uint32_t readInterval = 15;
  uint32_t readTotal = 2000;
  uint32_t writeMultiplier = 10;
  uint32_t writeConstant = 500;
};

class SerPortClient {
 public:
  SerPortClient() = default;
  virtual ~SerPortClient();
  SerPortClient(const SerPortClient&) = delete;
  SerPortClient& operator=(const SerPortClient&) = delete;

  // The whole request within the write time-out. False without logging when
  // no port is open.
  bool Write(const void* pData, uint32_t len);
  // Bytes read, 0 when the time-out passed without data, -1 on an error, on
  // no open port, or when CancelIo cut the wait short.
  int32_t Read(void* pBuff, uint32_t size);
  // Discards input waiting from earlier exchanges.
  void Purge();
  // Closes the port; _hfile becomes -1. Not while another thread reads or
  // writes (the transport's exchange lock sees to that); a cancel not yet
  // consumed is dropped so that a reopened port starts clean.
  void Close();
  // Thread-safe: the pending Read or Write (or the next one when none is
  // pending) returns at once with failure.
  void CancelIo() { _wake.Set(); }

  void SetTimeouts(const SerialTimeouts& timeouts) { _timeouts = timeouts; }
  const SerialTimeouts& GetTimeouts() const { return _timeouts; }

  // Descriptor from OpenSerialPort, owned by this client; -1 when none.
  int _hfile = -1;

 private:
  SerialTimeouts _timeouts;
  WakeEvent _wake;
};

}  // namespace NsOvrin::NsCommServer
