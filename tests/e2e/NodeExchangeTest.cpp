// Nodes made by the factories, polling and writing real peers: libmodbus
// slaves over loopback TCP and a pseudo-terminal, and the FX responder.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "E2eUtil.h"
#include "support/FxResponder.h"
#include "support/ModbusRtuSlave.h"
#include "support/ModbusTcpResponder.h"
#include "support/ModbusTcpSlave.h"
#include "termination/Channel.h"
#include "termination/NodeFactory.h"

namespace NsOvrin::NsTermination::E2e {
namespace {

using NsTestSupport::FxResponder;
using NsTestSupport::ModbusRtuSlave;
using NsTestSupport::ModbusSlaveMemory;
using NsTestSupport::ModbusTcpResponder;
using NsTestSupport::ModbusTcpSlave;

// The same memory on every Modbus slave: ten holding registers, four input
// registers, sixteen coils and eight discrete inputs with distinct values.
void FillModbusMemory(ModbusSlaveMemory& slave) {
  for (uint16_t i = 0; i < 10; ++i) slave.SetHoldingRegister(i, static_cast<uint16_t>(0x1100 * (i + 1) + i));
  for (uint16_t i = 0; i < 4; ++i) slave.SetInputRegister(i, static_cast<uint16_t>(0xA000 + i));
  for (uint16_t i = 0; i < 16; ++i) slave.SetCoil(i, i % 3 == 0);
  for (uint16_t i = 0; i < 8; ++i) slave.SetDiscreteInput(i, i % 2 == 1);
}

// Polls the four Modbus tables through the node and checks the caches hold
// the slave's values in wire order (high byte first), then writes.
void ExerciseModbusNode(Node& node, ModbusSlaveMemory& slave) {
  auto holding = AddPolledBlock(node, "4x[0~9]");
  auto input = AddPolledBlock(node, "3x[0~3]");
  auto coils = AddPolledBlock(node, "0x[0~15]");
  auto discrete = AddPolledBlock(node, "1x[0~7]");

  EXPECT_TRUE(WaitForBlock(*holding, [](const CacheVarBlock& b) { return b.GetWord(18) == 0xAA09; }));
  uint8_t bytes[20] = {};
  holding->GetCacheBlock()->ReadBytes(0, bytes, sizeof(bytes));
  for (uint16_t i = 0; i < 10; ++i) {
    const uint16_t expected = static_cast<uint16_t>(0x1100 * (i + 1) + i);
    EXPECT_EQ(bytes[2 * i], expected >> 8) << i;
    EXPECT_EQ(bytes[2 * i + 1], expected & 0xFF) << i;
    EXPECT_EQ(holding->GetCacheBlock()->GetWord(static_cast<uint16_t>(2 * i)), expected) << i;
  }
  EXPECT_TRUE(WaitForBlock(*input, [](const CacheVarBlock& b) { return b.GetWord(6) == 0xA003; }));
  EXPECT_EQ(input->GetCacheBlock()->GetWord(0), 0xA000);
  EXPECT_TRUE(WaitForBlock(*coils, [](const CacheVarBlock& b) { return BlockBit(b, 15); }));
  for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(BlockBit(*coils->GetCacheBlock(), i), i % 3 == 0) << i;
  EXPECT_TRUE(WaitForBlock(*discrete, [](const CacheVarBlock& b) { return BlockBit(b, 7); }));
  for (uint32_t i = 0; i < 8; ++i) EXPECT_EQ(BlockBit(*discrete->GetCacheBlock(), i), i % 2 == 1) << i;

  // Polling goes on: a change in the slave reaches the cache.
  slave.SetHoldingRegister(3, 0xCAFE);
  EXPECT_TRUE(WaitForBlock(*holding, [](const CacheVarBlock& b) { return b.GetWord(6) == 0xCAFE; }));

  // Writes of a bit, a 16-bit and a 32-bit value (low word first).
  EXPECT_TRUE(WriteValue<uint16_t>(node, "4x5", 4, 0xABCD));
  EXPECT_EQ(slave.GetHoldingRegister(5), 0xABCD);
  EXPECT_TRUE(WriteValue<uint32_t>(node, "4x20", 16, 0x12345678u));
  EXPECT_EQ(slave.GetHoldingRegister(20), 0x5678);
  EXPECT_EQ(slave.GetHoldingRegister(21), 0x1234);
  EXPECT_TRUE(WriteValue<uint8_t>(node, "0x1", 1, 1));
  EXPECT_TRUE(slave.GetCoil(1));
  EXPECT_TRUE(WriteValue<uint8_t>(node, "0x0", 1, 0));
  EXPECT_FALSE(slave.GetCoil(0));
  // The written value comes back through the polling.
  EXPECT_TRUE(WaitForBlock(*holding, [](const CacheVarBlock& b) { return b.GetWord(10) == 0xABCD; }));
}

TEST(ModbusTcpNodeTest, PollsAndWritesALibmodbusSlave) {
  ModbusTcpSlave slave;
  ASSERT_TRUE(slave.Start());
  FillModbusMemory(slave);
  bool running = true;
  ChannelEthernet channel("E0");
  channel.SetRunningFlag(&running);
  auto node = NodeFactory::MakeModbusTcpNode(LoopbackParam("PLC1", kModelModbusTcp, slave.Port()));
  ASSERT_TRUE(node);
  ASSERT_TRUE(channel.AddNode(node));
  ExerciseModbusNode(*node, slave);
  channel.Close();
}

TEST(ModbusRtuNodeTest, PollsAndWritesALibmodbusSlaveOnAPseudoTerminal) {
  ModbusRtuSlave slave(7);
  ASSERT_TRUE(slave.Start());
  FillModbusMemory(slave);
  bool running = true;
  ChannelSerialPort channel("S1", "com:1;param:19200,n,8,1;");
  channel.SetRunningFlag(&running);
  channel.SetDevicePath(slave.SlavePath());
  NsDevDefine::RsDevParam param;
  param.name = "RTU7";
  param.deviceId = kModelModbusRtu;
  param.stationNo = 7;
  auto node = NodeFactory::MakeSerialNode(param);
  ASSERT_TRUE(node);
  ASSERT_TRUE(channel.AddNode(node));
  ASSERT_TRUE(channel.Open());
  ExerciseModbusNode(*node, slave);
  channel.Close();
}

TEST(ModbusRtuNodeTest, ANodeOfAnotherStationGetsNoAnswer) {
  ModbusRtuSlave slave(7);
  ASSERT_TRUE(slave.Start());
  bool running = true;
  ChannelSerialPort channel("S1", "");
  channel.SetRunningFlag(&running);
  channel.SetDevicePath(slave.SlavePath());
  // Short waits: every try ends in a time-out.
  NsCommServer::SerialTimeouts timeouts;
  timeouts.readTotal = 300;
  channel.GetDeviceImpl()->GetClient().SetTimeouts(timeouts);
  NsDevDefine::RsDevParam param;
  param.name = "RTU8";
  param.deviceId = kModelModbusRtu;
  param.stationNo = 8;
  auto node = NodeFactory::MakeSerialNode(param);
  ASSERT_TRUE(channel.AddNode(node));
  ASSERT_TRUE(channel.Open());
  EXPECT_FALSE(WriteValue<uint16_t>(*node, "4x1", 4, 0x1234));
  EXPECT_EQ(slave.GetHoldingRegister(1), 0);
  EXPECT_GT(node->GetLinkFailCount(), 0);
  channel.Close();
}

TEST(H3uTcpNodeTest, ReadsAndWritesThePlcAreasThroughTheAddressMapping) {
  ModbusTcpSlave slave;
  ASSERT_TRUE(slave.Start());
  // X and Y are octal: X1, X10 and X17 are the linear points 1, 8 and 15.
  for (uint16_t linear : {1, 8, 15}) slave.SetCoil(static_cast<uint16_t>(0xF800 + linear), true);
  slave.SetCoil(0xFC00 + 2, true);   // Y2
  slave.SetCoil(16 + 5, true);       // M21
  slave.SetCoil(0xE000 + 8 + 7, true);  // S15
  for (uint16_t i = 0; i < 4; ++i) slave.SetHoldingRegister(static_cast<uint16_t>(100 + i), static_cast<uint16_t>(0x0D00 + i));
  slave.SetHoldingRegister(0x3000 + 200, 0x5200);
  slave.SetHoldingRegister(0x3000 + 201, 0x5201);

  bool running = true;
  ChannelEthernet channel("E0");
  channel.SetRunningFlag(&running);
  auto node = NodeFactory::MakeH3uTcpNode(LoopbackParam("H3U", kModelH5u, slave.Port()));
  ASSERT_TRUE(node);
  ASSERT_TRUE(channel.AddNode(node));

  auto x = AddPolledBlock(*node, "X[0~17]");
  auto y = AddPolledBlock(*node, "Y[0~7]");
  auto m = AddPolledBlock(*node, "M[16~31]");
  auto s = AddPolledBlock(*node, "S[8~15]");
  auto d = AddPolledBlock(*node, "D[100~103]");
  auto r = AddPolledBlock(*node, "R[200~201]");

  EXPECT_TRUE(WaitForBlock(*x, [](const CacheVarBlock& b) { return BlockBit(b, 15); }));
  for (uint32_t i = 0; i < 16; ++i) EXPECT_EQ(BlockBit(*x->GetCacheBlock(), i), i == 1 || i == 8 || i == 15) << i;
  EXPECT_TRUE(WaitForBlock(*y, [](const CacheVarBlock& b) { return BlockBit(b, 2); }));
  EXPECT_FALSE(BlockBit(*y->GetCacheBlock(), 0));
  EXPECT_TRUE(WaitForBlock(*m, [](const CacheVarBlock& b) { return BlockBit(b, 5); }));
  EXPECT_FALSE(BlockBit(*m->GetCacheBlock(), 4));
  EXPECT_TRUE(WaitForBlock(*s, [](const CacheVarBlock& b) { return BlockBit(b, 7); }));
  EXPECT_FALSE(BlockBit(*s->GetCacheBlock(), 6));
  EXPECT_TRUE(WaitForBlock(*d, [](const CacheVarBlock& b) { return b.GetWord(6) == 0x0D03; }));
  EXPECT_EQ(d->GetCacheBlock()->GetWord(0), 0x0D00);
  EXPECT_TRUE(WaitForBlock(*r, [](const CacheVarBlock& b) { return b.GetWord(2) == 0x5201; }));
  EXPECT_EQ(r->GetCacheBlock()->GetWord(0), 0x5200);

  EXPECT_TRUE(WriteValue<uint16_t>(*node, "D7", 4, 0x0707));
  EXPECT_EQ(slave.GetHoldingRegister(7), 0x0707);
  EXPECT_TRUE(WriteValue<uint16_t>(*node, "R9", 4, 0x0909));
  EXPECT_EQ(slave.GetHoldingRegister(0x3000 + 9), 0x0909);
  EXPECT_TRUE(WriteValue<uint8_t>(*node, "Y11", 1, 1));  // octal 11: linear 9
  EXPECT_TRUE(slave.GetCoil(0xFC00 + 9));
  EXPECT_TRUE(WriteValue<uint8_t>(*node, "M3", 1, 1));
  EXPECT_TRUE(slave.GetCoil(3));
  EXPECT_TRUE(WriteValue<uint8_t>(*node, "S4", 1, 1));
  EXPECT_TRUE(slave.GetCoil(0xE000 + 4));
  channel.Close();
}

TEST(FxNodeTest, ReadsAndWritesThroughTheResponder) {
  FxResponder plc;
  ASSERT_TRUE(plc.Start());
  plc.SetWord('D', 0, 0x1234);
  plc.SetWord('D', 3, 0xBEEF);
  plc.SetWord('R', 1, 0x0102);
  plc.SetBit('M', 9, true);
  plc.SetBit('X', 17, true);  // the 16th point
  plc.SetBit('Y', 2, true);
  plc.SetBit('S', 15, true);

  bool running = true;
  ChannelSerialPort channel("S1", "com:1;param:9600,e,7,1;");
  channel.SetRunningFlag(&running);
  channel.SetDevicePath(plc.SlavePath());
  NsDevDefine::RsDevParam param;
  param.name = "FX";
  param.deviceId = kModelMitsFx;
  auto node = NodeFactory::MakeSerialNode(param);
  ASSERT_TRUE(node);
  ASSERT_TRUE(channel.AddNode(node));
  ASSERT_TRUE(channel.Open());

  auto d = AddPolledBlock(*node, "D[0~3]");
  auto r = AddPolledBlock(*node, "R[0~1]");
  auto m = AddPolledBlock(*node, "M[0~15]");
  auto x = AddPolledBlock(*node, "X[0~17]");
  auto y = AddPolledBlock(*node, "Y[0~7]");
  auto s = AddPolledBlock(*node, "S[8~15]");

  // The FX family stores words low byte first.
  EXPECT_TRUE(WaitForBlock(*d, [](const CacheVarBlock& b) { return b.GetWord(6) == 0xBEEF; }));
  uint8_t bytes[2] = {};
  d->GetCacheBlock()->ReadBytes(0, bytes, 2);
  EXPECT_EQ(bytes[0], 0x34);
  EXPECT_EQ(bytes[1], 0x12);
  EXPECT_EQ(d->GetCacheBlock()->GetWord(0), 0x1234);
  EXPECT_TRUE(WaitForBlock(*r, [](const CacheVarBlock& b) { return b.GetWord(2) == 0x0102; }));
  EXPECT_TRUE(WaitForBlock(*m, [](const CacheVarBlock& b) { return BlockBit(b, 9); }));
  EXPECT_FALSE(BlockBit(*m->GetCacheBlock(), 8));
  EXPECT_TRUE(WaitForBlock(*x, [](const CacheVarBlock& b) { return BlockBit(b, 15); }));
  EXPECT_FALSE(BlockBit(*x->GetCacheBlock(), 14));
  EXPECT_TRUE(WaitForBlock(*y, [](const CacheVarBlock& b) { return BlockBit(b, 2); }));
  EXPECT_TRUE(WaitForBlock(*s, [](const CacheVarBlock& b) { return BlockBit(b, 7); }));

  EXPECT_TRUE(WriteValue<uint16_t>(*node, "D5", 4, 0x5A5A));
  EXPECT_EQ(plc.GetWord('D', 5), 0x5A5A);
  EXPECT_TRUE(WriteValue<uint8_t>(*node, "M100", 1, 1));
  EXPECT_TRUE(plc.GetBit('M', 100));
  EXPECT_TRUE(WriteValue<uint8_t>(*node, "M9", 1, 0));
  EXPECT_FALSE(plc.GetBit('M', 9));
  EXPECT_TRUE(WriteValue<uint8_t>(*node, "Y7", 1, 1));
  EXPECT_TRUE(plc.GetBit('Y', 7));
  EXPECT_TRUE(WaitForBlock(*m, [](const CacheVarBlock& b) { return !BlockBit(b, 9); }));
  channel.Close();
}

TEST(ModbusTcpNodeTest, SilentSlaveFailsWithinTheReceiveTimeOut) {
  ModbusTcpSlave slave;
  ASSERT_TRUE(slave.Start());
  bool running = true;
  ChannelEthernet channel("E0");
  channel.SetRunningFlag(&running);
  auto param = LoopbackParam("PLC1", kModelModbusTcp, slave.Port());
  param.recvTimeout = 200;
  auto node = NodeFactory::MakeModbusTcpNode(param);
  ASSERT_TRUE(channel.AddNode(node));
  ASSERT_TRUE(WaitUntil([&] { return slave.AcceptCount() == 1; }));
  slave.SetSilent(true);
  auto write = std::async(std::launch::async, [&] { return WriteValue<uint16_t>(*node, "4x1", 4, 1); });
  // Bounded by the receive time-out: a lost time-out would wait forever.
  const bool ended = write.wait_for(20s) == std::future_status::ready;
  if (!ended) slave.Stop();  // lets the exchange end so the test can finish
  EXPECT_TRUE(ended);
  EXPECT_FALSE(write.get());
  EXPECT_GE(slave.RequestCount(), 1u);
  channel.Close();
}

// A device that answers one block later than the time-out and another at
// once, in order: each late reply arrives while a later request waits, and
// must never be taken for its reply. Judged by the values seen, not by any
// timing.
TEST(TcpNodeLateReplyTest, AReplyAfterItsTimeOutNeverLandsInAnotherBlock) {
  struct Case {
    const char* name;
    uint32_t model;
    const char* late;
    const char* prompt;
  };
  const Case cases[] = {
      {"Modbus TCP", kModelModbusTcp, "4x[0~1]", "4x[100~101]"},
      {"H3U", kModelH5u, "D[0~1]", "D[100~101]"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ModbusTcpResponder device;
    device.SetRegister(0, 0x0A00);
    device.SetRegister(1, 0x0A01);
    device.SetRegister(100, 0x0B64);
    device.SetRegister(101, 0x0B65);
    device.SetDelay(0, 380ms);
    ASSERT_TRUE(device.Start());

    bool running = true;
    ChannelEthernet channel("E0");
    channel.SetRunningFlag(&running);
    auto param = LoopbackParam("PLC1", c.model, device.Port());
    param.recvTimeout = 300;
    auto node = c.model == kModelModbusTcp ? NodeFactory::MakeModbusTcpNode(param)
                                           : NodeFactory::MakeH3uTcpNode(param);
    ASSERT_TRUE(node);
    ASSERT_TRUE(channel.AddNode(node));
    auto late = AddPolledBlock(*node, c.late);
    auto prompt = AddPolledBlock(*node, c.prompt);
    const CacheVarBlock& lateBlock = *late->GetCacheBlock();
    const CacheVarBlock& promptBlock = *prompt->GetCacheBlock();

    // Several seconds, and enough late replies to have crossed other requests.
    const auto since = std::chrono::steady_clock::now();
    bool promptShown = false;
    bool promptWrong = false;
    bool lateWrong = false;
    WaitUntil(
        [&] {
          if (promptBlock.GetUpdateCount() > CacheVarBlock::kInitialCount) {
            const uint16_t first = promptBlock.GetWord(0);
            const uint16_t second = promptBlock.GetWord(2);
            promptShown = promptShown || (first == 0x0B64 && second == 0x0B65);
            promptWrong = promptWrong || first == 0x0A00 || second == 0x0A01;
          }
          if (lateBlock.GetUpdateCount() > CacheVarBlock::kInitialCount) {
            lateWrong = lateWrong || lateBlock.GetWord(0) == 0x0B64 || lateBlock.GetWord(2) == 0x0B65;
          }
          return std::chrono::steady_clock::now() - since > 3s && device.RepliesSent(0) >= 4 &&
                 promptShown;
        },
        30s);
    channel.Close();
    EXPECT_TRUE(promptShown) << "the prompt block shows its own values";
    EXPECT_FALSE(promptWrong) << "the prompt block never holds the late block's values";
    EXPECT_FALSE(lateWrong);
    EXPECT_GE(device.RepliesSent(0), 4u);

    // Every request has an identifier of its own.
    const std::vector<ModbusTcpResponder::Request> requests = device.Requests();
    ASSERT_GE(requests.size(), 5u);
    for (size_t i = 1; i < requests.size(); ++i) {
      EXPECT_NE(requests[i].transaction, requests[i - 1].transaction) << i;
    }
  }
}

// Records every content a block took, in order.
class BlockValues : public CvbListener {
 public:
  void OnBlockChanged(CacheVarBlock& block) override {
    std::vector<uint8_t> bytes(block.GetSize());
    block.ReadBytes(0, bytes.data(), block.GetSize());
    std::lock_guard lock(mutex_);
    seen_.push_back(std::move(bytes));
  }
  std::vector<std::vector<uint8_t>> Seen() const {
    std::lock_guard lock(mutex_);
    return seen_;
  }

 private:
  mutable std::mutex mutex_;
  std::vector<std::vector<uint8_t>> seen_;
};

// A started node of the model on an Ethernet channel, polling the block from
// the device every 20 ms and recording every content the block takes.
struct PollingTcpNode {
  PollingTcpNode(const ModbusTcpResponder& device, uint32_t model, uint32_t recvTimeout,
                 const std::string& blockAddress) {
    channel.SetRunningFlag(&running);
    auto param = LoopbackParam("PLC1", model, device.Port());
    param.recvTimeout = recvTimeout;
    node = model == kModelModbusTcp ? NodeFactory::MakeModbusTcpNode(param)
                                    : NodeFactory::MakeH3uTcpNode(param);
    if (!node || !channel.AddNode(node)) return;
    task = AddPolledBlock(*node, blockAddress);
    task->GetCacheBlock()->AddListener(&values);
  }
  ~PollingTcpNode() { Close(); }
  bool Started() const { return task != nullptr; }
  void Close() {
    channel.Close();
    if (task && !closed) task->GetCacheBlock()->RemoveListener(&values);
    closed = true;
  }

  bool running = true;
  ChannelEthernet channel{"E0"};
  std::shared_ptr<Node> node;
  std::shared_ptr<TaskReadData> task;
  BlockValues values;
  bool closed = false;
};

// What TCP lets a device do to the replies of a block, and to the link: the
// node reads the device all the same, the block only ever holds the device's
// values, and no exchange waits without a bound. Judged by the values the
// block took over time and by the device's connections, not by timing.
TEST(TcpNodeStreamTest, RepliesAreReadAsAStreamAndNoExchangeWaitsForever) {
  using Frame = std::vector<uint8_t>;
  using Piece = ModbusTcpResponder::Piece;
  using Pieces = std::vector<Piece>;
  using Request = ModbusTcpResponder::Request;
  constexpr uint16_t kBlock = 100;
  constexpr uint16_t kSilent = 50;
  const Frame kValues = {0x10, 0x64, 0x10, 0x65};

  struct Case {
    const char* name;
    uint32_t recvTimeout;
    std::function<void(ModbusTcpResponder&)> script;
    bool reconnects;   // the link is lost and must be restored
    bool silentWrite;  // a write the device never answers must end too
  };
  const Case cases[] = {
      {"the header, then the data 50 ms later", 300,
       [](ModbusTcpResponder& device) {
         device.SetScript(kBlock, [](const Request&, size_t, const Frame& reply) {
           return Pieces{{0ms, Frame(reply.begin(), reply.begin() + 7)},
                         {50ms, Frame(reply.begin() + 7, reply.end())}};
         });
       },
       false, false},
      {"another exchange's frame cut after its header, a frame of this one in its payload", 300,
       [](ModbusTcpResponder& device) {
         device.SetScript(kBlock, [](const Request& request, size_t, const Frame& reply) {
           Frame lookAlike = reply;
           std::fill(lookAlike.begin() + 9, lookAlike.end(), 0xAA);
           const uint16_t earlier = static_cast<uint16_t>(request.transaction - 1);
           const auto size = static_cast<uint8_t>(lookAlike.size());
           Frame stale = {static_cast<uint8_t>(earlier >> 8), static_cast<uint8_t>(earlier & 0xFF),
                          0, 0, 0, static_cast<uint8_t>(3 + size), reply[6], 3, size};
           Frame rest = lookAlike;
           rest.insert(rest.end(), reply.begin(), reply.end());
           return Pieces{{0ms, stale}, {50ms, rest}};
         });
       },
       false, false},
      {"a frame of this exchange shorter than its byte count, then another exchange's frame", 300,
       [](ModbusTcpResponder& device) {
         device.SetScript(kBlock, [](const Request& request, size_t index, const Frame& reply) {
           if (index % 2 == 1) return Pieces{{0ms, reply}};
           Frame frames(reply.begin(), reply.begin() + 9);
           frames[5] = 3;  // ends after the byte count
           Frame other = reply;
           other[0] = 0x00;
           other[1] = request.transaction == 8 ? 9 : 8;
           std::fill(other.begin() + 9, other.end(), 0x55);
           frames.insert(frames.end(), other.begin(), other.end());
           return Pieces{{0ms, frames}};
         });
       },
       false, false},
      {"a peer that ends its side of the connection and keeps its socket", 300,
       [](ModbusTcpResponder& device) { device.SetHalfClosedConnections(1); }, true, false},
      {"a receive time-out of 0 and a device that stays silent", 0,
       [](ModbusTcpResponder& device) {
         device.SetScript(kBlock, [](const Request&, size_t index, const Frame& reply) {
           return index == 0 ? Pieces{} : Pieces{{0ms, reply}};
         });
         device.SetScript(kSilent, [](const Request&, size_t, const Frame&) { return Pieces{}; });
       },
       false, true},
  };
  struct Model {
    const char* name;
    uint32_t id;
    const char* block;
    const char* silent;
  };
  const Model models[] = {{"Modbus TCP", kModelModbusTcp, "4x[100~101]", "4x50"},
                          {"H3U", kModelH5u, "D[100~101]", "D50"}};

  for (const Case& c : cases) {
    for (const Model& model : models) {
      SCOPED_TRACE(std::string(c.name) + ", " + model.name);
      ModbusTcpResponder device;
      device.SetRegister(100, 0x1064);
      device.SetRegister(101, 0x1065);
      c.script(device);
      ASSERT_TRUE(device.Start());
      PollingTcpNode polling(device, model.id, c.recvTimeout, model.block);
      ASSERT_TRUE(polling.Started());
      Node* const node = polling.node.get();
      BlockValues& values = polling.values;

      // Several replies of the block, so that each way of the device was met more than once.
      const bool read = WaitUntil(
          [&] {
            const auto seen = values.Seen();
            return !seen.empty() && seen.back() == kValues && device.RepliesSent(kBlock) >= 4 &&
                   (!c.reconnects || device.AcceptCount() >= 2);
          },
          20s);
      bool writeEnded = true;
      bool written = false;
      if (c.silentWrite) {
        auto write = std::async(std::launch::async,
                                [&] { return WriteValue<uint16_t>(*node, model.silent, 4, 7); });
        writeEnded = write.wait_for(20s) == std::future_status::ready;
        polling.Close();  // ends a wait without bound, should there be one
        written = write.get();
      }
      polling.Close();

      EXPECT_TRUE(read) << "the block shows the device's values";
      EXPECT_EQ(values.Seen(), std::vector<Frame>{kValues}) << "and never held anything else";
      if (c.reconnects) {
        EXPECT_GE(device.AcceptCount(), 2u);
      }
      EXPECT_TRUE(writeEnded);
      EXPECT_FALSE(written);
    }
  }
}

// One connection's bytes are one stream from connect to close, and only a
// reply's deadline ends its wait: a reply in many small pieces is read, and
// however the device's bytes fall around the exchanges (after a reply, in a
// frame refused, across the purge, after a length no frame can have), the
// block only ever takes its own replies. Where a frame start was lost, a
// frame's payload holds a look-alike of the next exchange's reply with DE
// bytes in place of the data. Judged by the values the block took.
TEST(TcpNodeStreamTest, OneConnectionIsOneStreamAndOnlyTheDeadlineEndsTheWait) {
  using Frame = std::vector<uint8_t>;
  using Piece = ModbusTcpResponder::Piece;
  using Pieces = std::vector<Piece>;
  using Request = ModbusTcpResponder::Request;
  constexpr uint16_t kBlock = 100;
  constexpr uint16_t kWrite = 50;

  const auto header = [](uint16_t id, size_t length) {
    return Frame{static_cast<uint8_t>(id >> 8), static_cast<uint8_t>(id & 0xFF), 0, 0,
                 static_cast<uint8_t>(length >> 8), static_cast<uint8_t>(length & 0xFF)};
  };
  const auto join = [](std::initializer_list<Frame> parts) {
    Frame out;
    for (const Frame& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
  };
  // A frame of another exchange whose payload is a look-alike of the reply
  // to the request numbered lookId: its head (the first 9 bytes) and the rest.
  const auto carrier = [&](const Frame& reply, uint16_t id, uint16_t lookId) {
    Frame lookAlike = reply;
    lookAlike[0] = static_cast<uint8_t>(lookId >> 8);
    lookAlike[1] = static_cast<uint8_t>(lookId & 0xFF);
    std::fill(lookAlike.begin() + 9, lookAlike.end(), 0xDE);
    const size_t size = lookAlike.size();
    return join({header(id, 3 + size), {reply[6], reply[7], static_cast<uint8_t>(size)}, lookAlike});
  };
  const auto head = [](const Frame& frame) { return Frame(frame.begin(), frame.begin() + 9); };
  const auto tail = [](const Frame& frame) { return Frame(frame.begin() + 9, frame.end()); };
  const auto inPieces = [](const Frame& reply, size_t size, std::chrono::milliseconds gap) {
    Pieces pieces;
    for (size_t at = 0; at < reply.size(); at += size) {
      pieces.push_back({at == 0 ? 0ms : gap, Frame(reply.begin() + static_cast<std::ptrdiff_t>(at),
                                                   reply.begin() + static_cast<std::ptrdiff_t>(std::min(at + size, reply.size())))});
    }
    return pieces;
  };
  using Script = ModbusTcpResponder::Script;

  struct Case {
    const char* name;
    uint16_t registers;  // of the block
    std::function<void(ModbusTcpResponder&)> script;
    uint32_t recvTimeout = 2000;
    bool write = false;  // a write goes out once the block was read
  };
  const Case cases[] = {
      {"a 13-byte reply sent one byte every 3 ms", 2,
       [&](ModbusTcpResponder& device) {
         device.SetScript(kBlock, [&](const Request&, size_t, const Frame& reply) { return inPieces(reply, 1, 3ms); });
       }},
      {"a 29-byte reply in 15 pieces 15 ms apart", 10,
       [&](ModbusTcpResponder& device) {
         device.SetScript(kBlock, [&](const Request&, size_t, const Frame& reply) { return inPieces(reply, 2, 15ms); });
       }},
      {"this exchange's frame with a length other than its reply's, its body in the next exchange", 2,
       [&](ModbusTcpResponder& device) {
         device.SetScript(kBlock, [&](const Request& request, size_t index, const Frame& reply) {
           if (index % 2 == 1) return Pieces{{0ms, reply}};
           // Refused at its header; its body comes while the retry waits.
           const Frame refused = carrier(reply, request.transaction, static_cast<uint16_t>(request.transaction + 1));
           return Pieces{{0ms, head(refused)}, {120ms, tail(refused)}};
         });
       }},
      {"bytes after a whole reply in the same receive", 2,
       [&](ModbusTcpResponder& device) {
         device.SetScript(kBlock, [&](const Request& request, size_t index, const Frame& reply) {
           // The rest of the frame begun after the last reply, then this
           // reply and the head of another such frame, all in one piece.
           const uint16_t id = request.transaction;
           const Frame before = index == 0 ? Frame{} : tail(carrier(reply, static_cast<uint16_t>(id - 1), id));
           return Pieces{{0ms, join({before, reply, head(carrier(reply, static_cast<uint16_t>(id - 1), static_cast<uint16_t>(id + 1)))})}};
         });
       }},
      {"a frame left half passed over when its exchange timed out", 2,
       [&](ModbusTcpResponder& device) {
         device.SetScript(kBlock, [&](const Request& request, size_t index, const Frame& reply) {
           const uint16_t id = request.transaction;
           if (index % 2 == 0) return Pieces{{0ms, head(carrier(reply, static_cast<uint16_t>(id - 1), static_cast<uint16_t>(id + 1)))}};
           return Pieces{{0ms, join({tail(carrier(reply, static_cast<uint16_t>(id - 2), id)), reply})}};
         });
       },
       300},
      {"the purge before a request meets half a frame", 2,
       [&](ModbusTcpResponder& device) {
         device.SetScript(kBlock, [&](const Request& request, size_t index, const Frame& reply) {
           const uint16_t id = request.transaction;
           const Frame before = index == 0 ? Frame{} : tail(carrier(reply, static_cast<uint16_t>(id - 1), id));
           // The head comes just after the reply, before the next request.
           return Pieces{{0ms, join({before, reply})}, {5ms, head(carrier(reply, static_cast<uint16_t>(id - 1), static_cast<uint16_t>(id + 1)))}};
         });
       }},
      {"a header of another exchange with length 0xFFFF, the reply 30 ms later", 2,
       [&](ModbusTcpResponder& device) {
         device.SetScript(kBlock, [&](const Request& request, size_t, const Frame& reply) {
           const Frame garbage = join({header(static_cast<uint16_t>(request.transaction - 1), 0xFFFF), {reply[6], 0x03, 0x04}});
           return Pieces{{0ms, garbage}, {30ms, reply}};
         });
       }},
      {"a write's reply with the head of another frame after it", 2,
       [&](ModbusTcpResponder& device) {
         auto open = std::make_shared<std::atomic<bool>>(false);
         device.SetScript(kWrite, [&, open](const Request& request, size_t, const Frame& reply) {
           const uint16_t id = request.transaction;
           const Frame echo = join({header(id, 6), {reply[6], 0x10, 0x00, static_cast<uint8_t>(kWrite), 0x00, 0x01}});
           Frame read = join({header(0, 7), {reply[6], 0x03, 0x04, 0, 0, 0, 0}});
           open->store(true);
           return Pieces{{0ms, join({echo, head(carrier(read, static_cast<uint16_t>(id - 1), static_cast<uint16_t>(id + 1)))})}};
         });
         device.SetScript(kBlock, [&, open](const Request& request, size_t, const Frame& reply) {
           if (!open->exchange(false)) return Pieces{{0ms, reply}};
           return Pieces{{0ms, join({tail(carrier(reply, static_cast<uint16_t>(request.transaction - 1), request.transaction)), reply})}};
         });
       },
       2000, true},
  };
  struct Model {
    const char* name;
    uint32_t id;
    const char* blocks[2];  // of 2 and of 10 registers
    const char* write;
  };
  const Model models[] = {{"Modbus TCP", kModelModbusTcp, {"4x[100~101]", "4x[100~109]"}, "4x50"},
                          {"H3U", kModelH5u, {"D[100~101]", "D[100~109]"}, "D50"}};

  for (const Case& c : cases) {
    for (const Model& model : models) {
      SCOPED_TRACE(std::string(c.name) + ", " + model.name);
      ModbusTcpResponder device;
      Frame values;
      for (uint16_t i = 0; i < c.registers; ++i) {
        const auto value = static_cast<uint16_t>(0x1064 + i);
        device.SetRegister(static_cast<uint16_t>(kBlock + i), value);
        values.push_back(static_cast<uint8_t>(value >> 8));
        values.push_back(static_cast<uint8_t>(value & 0xFF));
      }
      c.script(device);
      ASSERT_TRUE(device.Start());
      PollingTcpNode polling(device, model.id, c.recvTimeout, model.blocks[c.registers == 2 ? 0 : 1]);
      ASSERT_TRUE(polling.Started());
      BlockValues& seen = polling.values;

      const auto readSeveralTimes = [&](size_t replies) {
        return WaitUntil(
            [&] {
              const auto all = seen.Seen();
              return !all.empty() && all.back() == values && device.RepliesSent(kBlock) >= replies;
            },
            30s);
      };
      bool read = readSeveralTimes(4);
      bool written = true;
      if (c.write) {
        written = WriteValue<uint16_t>(*polling.node, model.write, 4, 7);
        read = read && readSeveralTimes(device.RepliesSent(kBlock) + 3);
      }
      polling.Close();

      EXPECT_TRUE(read) << "the block shows the device's values";
      EXPECT_EQ(seen.Seen(), std::vector<Frame>{values}) << "and never held anything else";
      EXPECT_TRUE(written);
    }
  }
}

}  // namespace
}  // namespace NsOvrin::NsTermination::E2e
