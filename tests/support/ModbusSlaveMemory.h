#pragma once
// The memory a libmodbus slave serves: coils, discrete inputs, holding and
// input registers over the whole 0..65535 address range. The serving thread
// and the test thread share it under one lock.
#include <modbus/modbus.h>

#include <cstdint>
#include <mutex>

namespace NsOvrin::NsTestSupport {

class ModbusSlaveMemory {
 public:
  ModbusSlaveMemory();
  ~ModbusSlaveMemory();
  ModbusSlaveMemory(const ModbusSlaveMemory&) = delete;
  ModbusSlaveMemory& operator=(const ModbusSlaveMemory&) = delete;

  void SetCoil(uint16_t address, bool on);
  bool GetCoil(uint16_t address) const;
  void SetDiscreteInput(uint16_t address, bool on);
  bool GetDiscreteInput(uint16_t address) const;
  void SetHoldingRegister(uint16_t address, uint16_t value);
  uint16_t GetHoldingRegister(uint16_t address) const;
  void SetInputRegister(uint16_t address, uint16_t value);
  uint16_t GetInputRegister(uint16_t address) const;

  // Requests answered (or swallowed while silent) since the start.
  uint32_t RequestCount() const;
  // Silent: requests are read and counted but never answered.
  void SetSilent(bool on);

 protected:
  // Answers one received request against the memory, unless silent.
  void Reply(modbus_t* ctx, const uint8_t* request, int length);

 private:
  mutable std::mutex lock_;
  modbus_mapping_t* mapping_ = nullptr;
  uint32_t requests_ = 0;
  bool silent_ = false;
};

}  // namespace NsOvrin::NsTestSupport
