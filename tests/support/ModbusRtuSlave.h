#pragma once
// A Modbus RTU slave (libmodbus) on the master end of a pseudo-terminal,
// served on its own thread. Clients open SlavePath() as they would open a
// serial device. Requests for another station number are not answered (and
// libmodbus then takes the next frame for that station's reply).
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>

#include "support/ModbusSlaveMemory.h"

namespace NsOvrin::NsTestSupport {

class ModbusRtuSlave : public ModbusSlaveMemory {
 public:
  explicit ModbusRtuSlave(int station = 1) : station_(station) {}
  ~ModbusRtuSlave();

  // Opens the pseudo-terminal (raw mode) and starts serving. False when the
  // terminal, the context or the thread cannot be made, or when already started.
  bool Start();
  // Stops the thread and closes the terminal; safe to call twice.
  void Stop();

  // Path of the slave end, e.g. /dev/pts/5; empty before Start.
  const std::string& SlavePath() const { return slavePath_; }

 private:
  void Serve();

  int station_;
  modbus_t* ctx_ = nullptr;
  int master_ = -1;
  int slave_ = -1;  // held open so the master never sees a hang-up
  int wake_ = -1;
  std::string slavePath_;
  std::thread thread_;
  std::atomic<bool> stopRequested_{false};
};

}  // namespace NsOvrin::NsTestSupport
