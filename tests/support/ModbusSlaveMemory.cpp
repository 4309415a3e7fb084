#include "ModbusSlaveMemory.h"

#include <new>

namespace NsOvrin::NsTestSupport {

namespace {
constexpr int kSpan = 0x10000;
}

ModbusSlaveMemory::ModbusSlaveMemory()
    : mapping_(modbus_mapping_new_start_address(0, kSpan, 0, kSpan, 0, kSpan, 0, kSpan)) {
  if (mapping_ == nullptr) throw std::bad_alloc();
}

ModbusSlaveMemory::~ModbusSlaveMemory() { modbus_mapping_free(mapping_); }

void ModbusSlaveMemory::SetCoil(uint16_t address, bool on) {
  std::lock_guard<std::mutex> lock(lock_);
  mapping_->tab_bits[address] = on ? 1 : 0;
}

bool ModbusSlaveMemory::GetCoil(uint16_t address) const {
  std::lock_guard<std::mutex> lock(lock_);
  return mapping_->tab_bits[address] != 0;
}

void ModbusSlaveMemory::SetDiscreteInput(uint16_t address, bool on) {
  std::lock_guard<std::mutex> lock(lock_);
  mapping_->tab_input_bits[address] = on ? 1 : 0;
}

bool ModbusSlaveMemory::GetDiscreteInput(uint16_t address) const {
  std::lock_guard<std::mutex> lock(lock_);
  return mapping_->tab_input_bits[address] != 0;
}

void ModbusSlaveMemory::SetHoldingRegister(uint16_t address, uint16_t value) {
  std::lock_guard<std::mutex> lock(lock_);
  mapping_->tab_registers[address] = value;
}

uint16_t ModbusSlaveMemory::GetHoldingRegister(uint16_t address) const {
  std::lock_guard<std::mutex> lock(lock_);
  return mapping_->tab_registers[address];
}

void ModbusSlaveMemory::SetInputRegister(uint16_t address, uint16_t value) {
  std::lock_guard<std::mutex> lock(lock_);
  mapping_->tab_input_registers[address] = value;
}

uint16_t ModbusSlaveMemory::GetInputRegister(uint16_t address) const {
  std::lock_guard<std::mutex> lock(lock_);
  return mapping_->tab_input_registers[address];
}

uint32_t ModbusSlaveMemory::RequestCount() const {
  std::lock_guard<std::mutex> lock(lock_);
  return requests_;
}

void ModbusSlaveMemory::SetSilent(bool on) {
  std::lock_guard<std::mutex> lock(lock_);
  silent_ = on;
}

void ModbusSlaveMemory::Reply(modbus_t* ctx, const uint8_t* request, int length) {
  std::lock_guard<std::mutex> lock(lock_);
  ++requests_;
  if (silent_) return;
  modbus_reply(ctx, request, length, mapping_);
}

}  // namespace NsOvrin::NsTestSupport
