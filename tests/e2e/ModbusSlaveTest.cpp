// The libmodbus slaves against a plain libmodbus client: the peers the other
// end-to-end tests rely on.
#include <gtest/gtest.h>
#include <modbus/modbus-rtu.h>
#include <modbus/modbus-tcp.h>

#include <chrono>
#include <memory>
#include <thread>

#include "support/ModbusRtuSlave.h"
#include "support/ModbusTcpSlave.h"

namespace NsOvrin::NsTestSupport {
namespace {

using ModbusPtr = std::unique_ptr<modbus_t, void (*)(modbus_t*)>;

ModbusPtr TcpClient(uint16_t port) {
  ModbusPtr ctx(modbus_new_tcp("127.0.0.1", port), [](modbus_t* c) {
    modbus_close(c);
    modbus_free(c);
  });
  if (ctx) modbus_set_response_timeout(ctx.get(), 2, 0);
  return ctx;
}

TEST(ModbusTcpSlaveTest, ServesAllFourTablesToSeveralClients) {
  ModbusTcpSlave slave;
  ASSERT_TRUE(slave.Start());
  ASSERT_NE(slave.Port(), 0);
  EXPECT_FALSE(slave.Start());

  slave.SetHoldingRegister(0xFFFF, 0xBEEF);
  slave.SetInputRegister(7, 0x1234);
  slave.SetCoil(0xFC01, true);
  slave.SetDiscreteInput(3, true);

  ModbusPtr a = TcpClient(slave.Port());
  ModbusPtr b = TcpClient(slave.Port());
  ASSERT_EQ(modbus_connect(a.get()), 0);
  ASSERT_EQ(modbus_connect(b.get()), 0);

  uint16_t reg = 0;
  ASSERT_EQ(modbus_read_registers(a.get(), 0xFFFF, 1, &reg), 1);
  EXPECT_EQ(reg, 0xBEEF);
  ASSERT_EQ(modbus_read_input_registers(b.get(), 7, 1, &reg), 1);
  EXPECT_EQ(reg, 0x1234);
  uint8_t bits[2] = {};
  ASSERT_EQ(modbus_read_bits(a.get(), 0xFC00, 2, bits), 2);
  EXPECT_EQ(bits[0], 0);
  EXPECT_EQ(bits[1], 1);
  ASSERT_EQ(modbus_read_input_bits(b.get(), 3, 1, bits), 1);
  EXPECT_EQ(bits[0], 1);

  ASSERT_EQ(modbus_write_register(b.get(), 100, 0x5A5A), 1);
  ASSERT_EQ(modbus_write_bit(a.get(), 9, 1), 1);
  EXPECT_EQ(slave.GetHoldingRegister(100), 0x5A5A);
  EXPECT_TRUE(slave.GetCoil(9));
  EXPECT_EQ(slave.RequestCount(), 6u);
  EXPECT_EQ(slave.AcceptCount(), 2u);
  slave.Stop();
  slave.Stop();
  EXPECT_EQ(slave.Port(), 0);
}

TEST(ModbusTcpSlaveTest, SilentAndDroppedConnections) {
  ModbusTcpSlave slave;
  ASSERT_TRUE(slave.Start());
  ModbusPtr a = TcpClient(slave.Port());
  ASSERT_EQ(modbus_connect(a.get()), 0);
  modbus_set_response_timeout(a.get(), 0, 300000);
  slave.SetSilent(true);
  uint16_t reg = 0;
  EXPECT_EQ(modbus_read_registers(a.get(), 0, 1, &reg), -1);
  EXPECT_EQ(slave.RequestCount(), 1u);
  slave.SetSilent(false);

  slave.DropConnections();
  // The dropped connection fails; a new one is served again.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  bool failed = false;
  while (!failed && std::chrono::steady_clock::now() < deadline) {
    failed = modbus_read_registers(a.get(), 0, 1, &reg) == -1;
  }
  EXPECT_TRUE(failed);
  ModbusPtr b = TcpClient(slave.Port());
  ASSERT_EQ(modbus_connect(b.get()), 0);
  EXPECT_EQ(modbus_read_registers(b.get(), 0, 1, &reg), 1);
}

TEST(ModbusRtuSlaveTest, ServesItsStationOnThePseudoTerminal) {
  ModbusRtuSlave slave(5);
  ASSERT_TRUE(slave.Start());
  ASSERT_FALSE(slave.SlavePath().empty());
  slave.SetHoldingRegister(10, 0x0102);

  ModbusPtr client(modbus_new_rtu(slave.SlavePath().c_str(), 9600, 'N', 8, 1), [](modbus_t* c) {
    modbus_close(c);
    modbus_free(c);
  });
  ASSERT_TRUE(client);
  ASSERT_EQ(modbus_set_slave(client.get(), 5), 0);
  modbus_set_response_timeout(client.get(), 2, 0);
  ASSERT_EQ(modbus_connect(client.get()), 0);
  uint16_t reg = 0;
  ASSERT_EQ(modbus_read_registers(client.get(), 10, 1, &reg), 1);
  EXPECT_EQ(reg, 0x0102);
  ASSERT_EQ(modbus_write_bit(client.get(), 4, 1), 1);
  EXPECT_TRUE(slave.GetCoil(4));
  slave.Stop();
  EXPECT_TRUE(slave.SlavePath().empty());
}

}  // namespace
}  // namespace NsOvrin::NsTestSupport
