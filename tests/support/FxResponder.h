#pragma once
// A small FX programming-port PLC for end-to-end tests: it serves a simulated
// memory (D, R, M, S, X, Y) on the master end of a pseudo-terminal, on its own
// thread. Clients open SlavePath() as they would open a serial device.
//
// Requests: STX cmd ... ETX sum. "E0" reads bytes, "E1" writes bytes (both at
// a five-digit device address), "E7"/"E8" set/reset one bit (four-digit force
// address, low byte first). Reads are answered STX hex-data ETX sum, writes
// and forces ACK; a bad sum, an unknown command or an address outside the
// memory gets NAK.
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace NsOvrin::NsTestSupport {

class FxResponder {
 public:
  static constexpr uint8_t kStx = 0x02;
  static constexpr uint8_t kEtx = 0x03;
  static constexpr uint8_t kAck = 0x06;
  static constexpr uint8_t kNak = 0x15;

  FxResponder();
  ~FxResponder();
  FxResponder(const FxResponder&) = delete;
  FxResponder& operator=(const FxResponder&) = delete;

  // Opens the pseudo-terminal (raw mode) and starts serving. False when the
  // terminal or the thread cannot be made, or when already started.
  bool Start();
  // Stops the thread and closes the terminal; safe to call twice.
  void Stop();

  // Path of the slave end, e.g. /dev/pts/5; empty before Start.
  const std::string& SlavePath() const { return slavePath_; }

  // The simulated memory. Numbers are written as in addresses: for X and Y the
  // octal digits read as a decimal number (X17 is 17). Words are stored low
  // byte first, bits eight to a byte from the least significant bit.
  // Unknown areas and numbers outside the memory are ignored (reads give 0).
  void SetWord(char area, uint32_t number, uint16_t value);
  uint16_t GetWord(char area, uint32_t number) const;
  void SetBit(char area, uint32_t number, bool on);
  bool GetBit(char area, uint32_t number) const;

  // Hooks. Corrupt sum: read replies carry a sum one too high. Silent: frames
  // are consumed but not answered. Chunks: a reply is written in pieces of
  // chunkSize bytes with gapMs between them (0 writes it whole).
  void SetCorruptSum(bool on) { corruptSum_ = on; }
  void SetSilent(bool on) { silent_ = on; }
  void SetChunking(uint32_t chunkSize, uint32_t gapMs) {
    chunkSize_ = chunkSize;
    chunkGapMs_ = gapMs;
  }

  // Complete frames received (STX .. ETX sum), whatever the answer was.
  uint32_t FrameCount() const { return frameCount_; }
  // The last complete frame received, STX to sum.
  std::string LastFrame() const;

 private:
  void Serve();
  // Handles the complete frames at the front of pending_; drops noise before
  // STX; leaves an incomplete frame in place.
  void ProcessPending();
  std::vector<uint8_t> Answer(const std::vector<uint8_t>& frame);
  void SendReply(const std::vector<uint8_t>& reply);

  // Byte range [address, address + n) of the device address space, when it
  // lies inside one memory area.
  bool InMemory(uint32_t address, uint32_t n) const;
  // Byte address and bit of a force address; false for one that maps nowhere.
  static bool ForceTarget(uint32_t forceAddress, uint32_t& byteAddress, uint8_t& bit);
  static bool BitTarget(char area, uint32_t number, uint32_t& byteAddress, uint8_t& bit);
  static bool WordTarget(char area, uint32_t number, uint32_t& byteAddress);

  int master_ = -1;
  int slave_ = -1;
  int wake_ = -1;  // eventfd that cuts the serving poll short
  std::string slavePath_;
  std::thread thread_;

  mutable std::mutex memLock_;
  std::vector<uint8_t> memory_;
  std::string lastFrame_;

  std::vector<uint8_t> pending_;  // serving thread only

  std::atomic<bool> corruptSum_{false};
  std::atomic<bool> silent_{false};
  std::atomic<uint32_t> chunkSize_{0};
  std::atomic<uint32_t> chunkGapMs_{0};
  std::atomic<uint32_t> frameCount_{0};
};

}  // namespace NsOvrin::NsTestSupport
