#include "protocol/ProtocolModbRtu.h"

#include <gtest/gtest.h>

#include <memory>

#include "ModbusTestSupport.h"
#include "termination/CacheVarModbus.h"

using namespace NsOvrin::NsProtocol;
using namespace NsOvrin::NsProtocol::NsModbusTest;
using NsOvrin::NsTermination::CacheVarModbus;

namespace {

Bytes BuildRead(ProtocolModbRtu& codec, const TermAddr& addr, uint8_t& status) {
  Bytes buffer(codec.GetReadRequestSize(addr), 0xEE);
  uint32_t length = 0;
  status = codec.BuildReadRequest(addr, buffer.data(), static_cast<uint32_t>(buffer.size()), length);
  buffer.resize(status == ProtoStatus::Built ? length : 0);
  return buffer;
}

Bytes BuildWrite(ProtocolModbRtu& codec, const TermAddr& addr, uint32_t type, const void* value,
                 uint8_t& status) {
  Bytes buffer(codec.GetWriteRequestSize(type, addr.count), 0xEE);
  uint32_t length = 0;
  status = codec.BuildWriteRequest(addr, type, value, buffer.data(),
                                   static_cast<uint32_t>(buffer.size()), length);
  buffer.resize(status == ProtoStatus::Built ? length : 0);
  return buffer;
}

uint8_t ParseRead(ProtocolModbRtu& codec, const Bytes& chunk, const TermAddr& addr,
                  NsOvrin::NsTermination::CacheVarBlock* block) {
  return codec.ParseReadReply(chunk.data(), static_cast<uint32_t>(chunk.size()), addr, block);
}

uint8_t ParseWrite(ProtocolModbRtu& codec, const Bytes& chunk, const TermAddr& addr) {
  return codec.ParseWriteReply(addr, chunk.data(), static_cast<uint32_t>(chunk.size()));
}

}  // namespace

TEST(ModbusCrc, MatchesThePublishedExample) {
  // Read 10 holding registers from 0 of station 1: CRC C5 CD on the wire.
  ProtocolGeneralModbRtu codec(1);
  uint8_t status = 0;
  EXPECT_EQ(BuildRead(codec, Modbus("4x[0~9]"), status),
            (Bytes{0x01, 0x03, 0x00, 0x00, 0x00, 0x0A, 0xC5, 0xCD}));
}

TEST(ProtocolModbRtu, ReadRequestsForEveryArea) {
  struct Case {
    uint8_t station;
    const char* address;
    Bytes head;  // without the CRC
  };
  const std::vector<Case> cases = {
      {1, "4x[100~109]", {0x01, 0x03, 0x00, 0x64, 0x00, 0x0A}},
      {1, "0x[0~15]", {0x01, 0x01, 0x00, 0x00, 0x00, 0x10}},
      {7, "1x[5~12]", {0x07, 0x02, 0x00, 0x05, 0x00, 0x08}},
      {0x11, "3x[65500~65533]", {0x11, 0x04, 0xFF, 0xDC, 0x00, 0x22}},
      {247, "4X65533", {0xF7, 0x03, 0xFF, 0xFD, 0x00, 0x01}},
      {0, "0x[0~1919]", {0x00, 0x01, 0x00, 0x00, 0x07, 0x80}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    ProtocolGeneralModbRtu codec(c.station);
    uint8_t status = 0;
    EXPECT_EQ(BuildRead(codec, Modbus(c.address), status), WithCrc(c.head));
    EXPECT_EQ(status, ProtoStatus::Built);
  }
}

TEST(ProtocolModbRtu, ReadRequestNeedsEightBytes) {
  ProtocolGeneralModbRtu codec(1);
  const TermAddr addr = Modbus("4x[100~109]");
  EXPECT_EQ(codec.GetReadRequestSize(addr), 20u);
  uint8_t buffer[8] = {};
  uint32_t length = 1234;
  EXPECT_EQ(codec.BuildReadRequest(addr, buffer, 7, length), ProtoStatus::Error);
  EXPECT_EQ(length, 1234u);
  EXPECT_EQ(codec.BuildReadRequest(addr, buffer, 8, length), ProtoStatus::Built);
  EXPECT_EQ(length, 8u);
}

TEST(ProtocolModbRtu, DescriptorOfUnknownKindIsNotBuilt) {
  ProtocolGeneralModbRtu codec(1);
  TermAddr addr = Modbus("4x[100~109]");
  addr.kind = 2;
  uint8_t status = 0;
  EXPECT_TRUE(BuildRead(codec, addr, status).empty());
  EXPECT_EQ(status, ProtoStatus::Error);
}

TEST(ProtocolModbRtu, WriteRequests) {
  struct Case {
    const char* name;
    const char* address;
    uint32_t type;
    Bytes value;  // the value memory as the caller holds it
    Bytes head;   // without the CRC
  };
  auto u16 = [](std::initializer_list<uint16_t> values) {
    Bytes out;
    for (uint16_t v : values) {
      const auto* p = reinterpret_cast<const uint8_t*>(&v);
      out.insert(out.end(), p, p + 2);
    }
    return out;
  };
  auto u32 = [](std::initializer_list<uint32_t> values) {
    Bytes out;
    for (uint32_t v : values) {
      const auto* p = reinterpret_cast<const uint8_t*>(&v);
      out.insert(out.end(), p, p + 4);
    }
    return out;
  };
  const std::vector<Case> cases = {
      {"coil on", "0x00010", 1, {1}, {0x01, 0x05, 0x00, 0x0A, 0xFF, 0x00}},
      {"coil on, any non-zero byte", "0x00010", 1, {0x80}, {0x01, 0x05, 0x00, 0x0A, 0xFF, 0x00}},
      // A single write takes its function code from the address and its value
      // from the data type: a set-value button writes a bit to a register.
      {"bit to a register", "4x00010", 1, {1}, {0x01, 0x06, 0x00, 0x0A, 0xFF, 0x00}},
      {"bit off to a register", "4x00010", 1, {0}, {0x01, 0x06, 0x00, 0x0A, 0x00, 0x00}},
      {"coil off", "0x00010", 1, {0}, {0x01, 0x05, 0x00, 0x0A, 0x00, 0x00}},
      {"one unsigned register", "4x00100", 4, u16({0x1234}), {0x01, 0x06, 0x00, 0x64, 0x12, 0x34}},
      {"one signed register", "4x00100", 2, u16({0xFFFE}), {0x01, 0x06, 0x00, 0x64, 0xFF, 0xFE}},
      {"ten coils",
       "0x[0~9]",
       1,
       {1, 0, 1, 1, 0, 0, 0, 1, 0, 1},
       {0x01, 0x0F, 0x00, 0x00, 0x00, 0x0A, 0x02, 0x8D, 0x02}},
      {"eight coils", "0x[8~15]", 1, {0, 0, 0, 0, 0, 0, 0, 9}, {0x01, 0x0F, 0x00, 0x08, 0x00, 0x08, 0x01, 0x80}},
      {"three registers",
       "4x[100~102]",
       4,
       u16({0x0001, 0xABCD, 0xFFFF}),
       {0x01, 0x10, 0x00, 0x64, 0x00, 0x03, 0x06, 0x00, 0x01, 0xAB, 0xCD, 0xFF, 0xFF}},
      {"one 32-bit value: two registers, low word first",
       "4x00100",
       16,
       u32({0x12345678}),
       {0x01, 0x10, 0x00, 0x64, 0x00, 0x02, 0x04, 0x56, 0x78, 0x12, 0x34}},
      {"two 32-bit values",
       "4x[7~8]",
       8,
       u32({0x12345678, 0xCAFEBABE}),
       {0x01, 0x10, 0x00, 0x07, 0x00, 0x04, 0x08, 0x56, 0x78, 0x12, 0x34, 0xBA, 0xBE, 0xCA, 0xFE}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProtocolGeneralModbRtu codec(1);
    uint8_t status = 0;
    EXPECT_EQ(BuildWrite(codec, Modbus(c.address), c.type, c.value.data(), status), WithCrc(c.head));
    EXPECT_EQ(status, ProtoStatus::Built);
  }
}

TEST(ProtocolModbRtu, WrittenDoubleWordReadsBackThroughTheCacheBlock) {
  ProtocolGeneralModbRtu codec(1);
  const uint32_t value = 0x89ABCDEF;
  uint8_t status = 0;
  const Bytes frame = BuildWrite(codec, Modbus("4x00000"), 16, &value, status);
  ASSERT_EQ(frame.size(), 13u);
  CacheVarModbus block(4);
  block.Update(frame.data() + 7, 4);
  EXPECT_EQ(block.GetDword(0), value);
}

TEST(ProtocolModbRtu, WriteRequestSizes) {
  ProtocolGeneralModbRtu codec(1);
  struct Case {
    uint32_t type;
    uint16_t count;
    uint32_t size;
  };
  for (const Case& c : std::vector<Case>{{1, 10, 30}, {2, 10, 40}, {4, 1, 22}, {8, 1, 24}, {16, 3, 28}, {32, 5, 30}, {0, 0, 20}}) {
    EXPECT_EQ(codec.GetWriteRequestSize(c.type, c.count), c.size) << c.type << " " << c.count;
  }
}

TEST(ProtocolModbRtu, WriteCapacityIsTheRealFrameLength) {
  struct Case {
    const char* address;
    uint32_t type;
    uint32_t frameLength;
  };
  const uint8_t values[16] = {};
  for (const Case& c : std::vector<Case>{{"0x00001", 1, 8}, {"4x00001", 4, 8}, {"4x[0~2]", 4, 15},
                                         {"0x[0~9]", 1, 11}, {"4x00001", 16, 13}}) {
    SCOPED_TRACE(c.address);
    ProtocolGeneralModbRtu codec(1);
    const TermAddr addr = Modbus(c.address);
    Bytes buffer(64);
    uint32_t length = 0;
    EXPECT_EQ(codec.BuildWriteRequest(addr, c.type, values, buffer.data(), c.frameLength - 1, length),
              ProtoStatus::Error);
    EXPECT_EQ(codec.BuildWriteRequest(addr, c.type, values, buffer.data(), c.frameLength, length),
              ProtoStatus::Built);
    EXPECT_EQ(length, c.frameLength);
    EXPECT_LE(c.frameLength, codec.GetWriteRequestSize(c.type, addr.count));
  }
}

TEST(ProtocolModbRtu, WriteWhoseDataOutgrowsTheByteCountIsRefused) {
  // The byte-count field holds 8 bits: 127 registers (254 bytes) still fit,
  // 128 would be announced as 0 bytes.
  struct Case {
    const char* address;
    uint32_t type;
    uint8_t status;
  };
  const std::vector<uint8_t> values(4096, 1);
  for (const Case& c : std::vector<Case>{{"4x[0~126]", 4, ProtoStatus::Built},
                                         {"4x[0~127]", 4, ProtoStatus::Error},
                                         {"0x[0~2039]", 1, ProtoStatus::Built},
                                         {"0x[0~2040]", 1, ProtoStatus::Error},
                                         {"4x[0~62]", 16, ProtoStatus::Built},
                                         {"4x[0~63]", 16, ProtoStatus::Error}}) {
    SCOPED_TRACE(c.address);
    ProtocolGeneralModbRtu codec(1);
    const TermAddr addr = Modbus(c.address);
    Bytes buffer(4096);
    uint32_t length = 0;
    EXPECT_EQ(codec.BuildWriteRequest(addr, c.type, values.data(), buffer.data(),
                                      static_cast<uint32_t>(buffer.size()), length),
              c.status);
    if (c.status == ProtoStatus::Built) {
      EXPECT_EQ(length, 9u + buffer[6]);
    }
  }
}

TEST(ProtocolModbRtu, WriteOfAnInvalidDataTypeIsLogged) {
  struct Case {
    const char* address;
    uint32_t type;
  };
  const uint8_t values[8] = {1, 1, 1, 1, 1, 1, 1, 1};
  for (const Case& c : std::vector<Case>{{"4x00005", 32}, {"4x00005", 3}, {"4x[5~6]", 0},
                                         {"0x[5~6]", 2}, {"4x[5~6]", 1}}) {
    SCOPED_TRACE(std::string(c.address) + " type " + std::to_string(c.type));
    ProtocolGeneralModbRtu codec(1);
    const TermAddr addr = Modbus(c.address);
    ScopedLogCollector log(8);
    Bytes buffer(64);
    uint32_t length = 0;
    EXPECT_EQ(codec.BuildWriteRequest(addr, c.type, values, buffer.data(), 64, length),
              ProtoStatus::Error);
    EXPECT_EQ(log.Texts(), std::vector<std::string>{"无效的数据类型:" + addr.prefix});
  }
}

TEST(ProtocolModbRtu, WriteWithoutValueMemoryIsRefused) {
  ProtocolGeneralModbRtu codec(1);
  Bytes buffer(64);
  uint32_t length = 0;
  EXPECT_EQ(codec.BuildWriteRequest(Modbus("4x00001"), 4, nullptr, buffer.data(), 64, length),
            ProtoStatus::Error);
  EXPECT_EQ(codec.BuildWriteRequest(Modbus("0x[1~9]"), 1, nullptr, buffer.data(), 64, length),
            ProtoStatus::Error);
}

namespace {

class RtuReadReply : public ::testing::Test {
 protected:
  ProtocolGeneralModbRtu codec_{1};
  TermAddr addr_ = Modbus("4x[100~101]");
  CacheVarModbus block_{4};
  // Station 1, function 3, 4 bytes: registers 0x1234 and 0x5678.
  Bytes reply_ = WithCrc({0x01, 0x03, 0x04, 0x12, 0x34, 0x56, 0x78});
};

}  // namespace

TEST_F(RtuReadReply, GoodReplyLandsInTheBlockInRegisterOrder) {
  CountingListener listener;
  block_.AddListener(&listener);
  EXPECT_EQ(ParseRead(codec_, reply_, addr_, &block_), ProtoStatus::Complete);
  EXPECT_EQ(BlockBytes(block_), (Bytes{0x12, 0x34, 0x56, 0x78}));
  EXPECT_EQ(block_.GetWord(0), 0x1234);
  EXPECT_EQ(block_.GetWord(2), 0x5678);
  EXPECT_EQ(block_.GetUpdateCount(), 3u);
  EXPECT_EQ(block_.GetChangeCount(), 3u);
  EXPECT_EQ(listener.calls, 1);

  // The same reply in the next exchange changes nothing but the update count.
  codec_.ResetReceive();
  EXPECT_EQ(ParseRead(codec_, reply_, addr_, &block_), ProtoStatus::Complete);
  EXPECT_EQ(block_.GetUpdateCount(), 4u);
  EXPECT_EQ(block_.GetChangeCount(), 3u);
  EXPECT_EQ(listener.calls, 1);
  block_.RemoveListener(&listener);
}

TEST_F(RtuReadReply, ReplyInThreeChunks) {
  EXPECT_EQ(ParseRead(codec_, Bytes(reply_.begin(), reply_.begin() + 2), addr_, &block_), ProtoStatus::MoreData);
  EXPECT_EQ(ParseRead(codec_, Bytes(reply_.begin() + 2, reply_.begin() + 6), addr_, &block_), ProtoStatus::MoreData);
  EXPECT_EQ(block_.GetUpdateCount(), 2u);
  EXPECT_EQ(ParseRead(codec_, Bytes(reply_.begin() + 6, reply_.end()), addr_, &block_), ProtoStatus::Complete);
  EXPECT_EQ(block_.GetWord(2), 0x5678);
}

TEST_F(RtuReadReply, RejectedReplies) {
  auto corrupt = [this](size_t index, uint8_t value) {
    Bytes r = reply_;
    r[index] = value;
    return r;
  };
  struct Case {
    const char* name;
    Bytes reply;
    uint8_t status;
  };
  const std::vector<Case> cases = {
      {"wrong CRC low byte", corrupt(7, reply_[7] ^ 1), ProtoStatus::Error},
      {"wrong CRC high byte", corrupt(8, reply_[8] ^ 0x80), ProtoStatus::Error},
      {"data changed, CRC not", corrupt(4, 0x35), ProtoStatus::Error},
      {"other station", WithCrc({0x02, 0x03, 0x04, 0x12, 0x34, 0x56, 0x78}), ProtoStatus::Error},
      {"input registers instead", WithCrc({0x01, 0x04, 0x04, 0x12, 0x34, 0x56, 0x78}), ProtoStatus::Error},
      {"byte after the frame", Concat(reply_, {0x55}), ProtoStatus::Error},
      {"two bytes after the frame", Concat(reply_, {0x12, 0x00}), ProtoStatus::Error},
      // A CRC register that reaches 0 stays 0 on zero bytes: zeros after a
      // valid frame pass the check; the stored data is still the frame's.
      {"zeros after the frame", Concat(reply_, {0x00, 0x00, 0x00}), ProtoStatus::Complete},
      {"noise before the frame", Concat({0xFF}, reply_), ProtoStatus::Error},
      {"exception reply", WithCrc({0x01, 0x83, 0x02}), ProtoStatus::MoreData},
      {"one data byte short", WithCrc({0x01, 0x03, 0x04, 0x12, 0x34, 0x56}), ProtoStatus::MoreData},
      {"wrong byte count, right length and CRC", WithCrc({0x01, 0x03, 0x09, 0x12, 0x34, 0x56, 0x78}),
       ProtoStatus::Complete},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    codec_.ResetReceive();
    CacheVarModbus block(4);
    EXPECT_EQ(ParseRead(codec_, c.reply, addr_, &block), c.status);
    EXPECT_EQ(block.GetUpdateCount(), c.status == ProtoStatus::Complete ? 3u : 2u);
  }
}

TEST_F(RtuReadReply, NoBlockIsAnErrorBeforeAnyByteIsKept) {
  EXPECT_EQ(ParseRead(codec_, reply_, addr_, nullptr), ProtoStatus::Error);
  EXPECT_EQ(codec_.GetSink().Used(), 0u);
  EXPECT_EQ(ParseRead(codec_, reply_, addr_, &block_), ProtoStatus::Complete);
}

TEST_F(RtuReadReply, ResetReceiveDropsTheBytesOfTheLastExchange) {
  EXPECT_EQ(ParseRead(codec_, {0x01, 0x03, 0x04}, addr_, &block_), ProtoStatus::MoreData);
  codec_.ResetReceive();
  EXPECT_EQ(codec_.GetSink().Used(), 0u);
  EXPECT_EQ(ParseRead(codec_, reply_, addr_, &block_), ProtoStatus::Complete);
}

TEST_F(RtuReadReply, ChunkLargerThanTheSinkEmptiesIt) {
  EXPECT_EQ(ParseRead(codec_, {0x01, 0x03}, addr_, &block_), ProtoStatus::MoreData);
  const Bytes flood(ProtocolModbRtu::kSinkCapacity - 1, 0x55);
  EXPECT_EQ(ParseRead(codec_, flood, addr_, &block_), ProtoStatus::MoreData);
  EXPECT_EQ(codec_.GetSink().Used(), 0u);
  EXPECT_EQ(ParseRead(codec_, reply_, addr_, &block_), ProtoStatus::Complete);
}

TEST(ProtocolModbRtuRead, CoilsAndTheLargestBlocks) {
  struct Case {
    const char* address;
    uint8_t fc;
    uint32_t dataLength;
  };
  for (const Case& c : std::vector<Case>{{"0x[0~15]", 1, 2}, {"1x[0~9]", 2, 2}, {"0x[0~1919]", 1, 240},
                                         {"3x[0~119]", 4, 240}, {"4x[0~0]", 3, 2}}) {
    SCOPED_TRACE(c.address);
    ProtocolGeneralModbRtu codec(9);
    const TermAddr addr = Modbus(c.address);
    auto block = NsOvrin::NsTermination::NodeMemModbus().CreateCacheFor(addr);
    ASSERT_EQ(block->GetSize(), c.dataLength);
    Bytes head = {9, c.fc, static_cast<uint8_t>(c.dataLength)};
    for (uint32_t i = 0; i < c.dataLength; ++i) head.push_back(static_cast<uint8_t>(i * 7 + 1));
    const Bytes reply = WithCrc(head);
    ASSERT_EQ(reply.size(), c.dataLength + 5);
    EXPECT_EQ(ParseRead(codec, reply, addr, block.get()), ProtoStatus::Complete);
    EXPECT_EQ(BlockBytes(*block), Bytes(head.begin() + 3, head.end()));
  }
}

TEST(ProtocolModbRtuRead, ByteCountWrapsForOversizedBlocksWithoutTouchingOtherMemory) {
  // 128 registers announce N = 0 (8 bits): such a block is refused by the
  // unit limit; should one get here, nothing is read or stored past a buffer.
  ProtocolGeneralModbRtu codec(1);
  const TermAddr addr = Modbus("4x[0~127]");
  CacheVarModbus block(256);
  Bytes head = {0x01, 0x03, 0x00};
  head.resize(3 + 256, 0xAB);
  EXPECT_EQ(ParseRead(codec, WithCrc(head), addr, &block), ProtoStatus::Complete);
  EXPECT_EQ(block.GetChangeCount(), 2u);
  EXPECT_EQ(block.GetWord(0), 0);
}

namespace {

struct WriteReplyCase {
  const char* name;
  Bytes reply;
  uint8_t status;
};

void CheckWriteReplies(const char* address, uint32_t type, const std::vector<WriteReplyCase>& cases) {
  const uint32_t values[4] = {0x11111111, 0x22222222, 0x33333333, 0x44444444};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(address) + ": " + c.name);
    ProtocolGeneralModbRtu codec(1);
    const TermAddr addr = Modbus(address);
    uint8_t status = 0;
    BuildWrite(codec, addr, type, values, status);
    ASSERT_EQ(status, ProtoStatus::Built);
    EXPECT_EQ(ParseWrite(codec, c.reply, addr), c.status);
  }
}

}  // namespace

TEST(ProtocolModbRtuWriteReply, SingleCoil) {
  const Bytes echo = WithCrc({0x01, 0x05, 0x00, 0x0A, 0xFF, 0x00});
  CheckWriteReplies("0x00010", 1,
                    {{"echo", echo, ProtoStatus::Complete},
                     {"echoed value not compared", WithCrc({0x01, 0x05, 0x00, 0x0A, 0x12, 0x34}), ProtoStatus::Complete},
                     {"seven bytes", Bytes(echo.begin(), echo.begin() + 7), ProtoStatus::MoreData},
                     {"exception", WithCrc({0x01, 0x85, 0x02}), ProtoStatus::MoreData},
                     {"other station", WithCrc({0x02, 0x05, 0x00, 0x0A, 0xFF, 0x00}), ProtoStatus::Error},
                     {"multiple-write code", WithCrc({0x01, 0x0F, 0x00, 0x0A, 0x00, 0x01}), ProtoStatus::Error},
                     {"other start", WithCrc({0x01, 0x05, 0x00, 0x0B, 0xFF, 0x00}), ProtoStatus::Error},
                     {"wrong CRC", Concat(Bytes(echo.begin(), echo.end() - 1), {0x00}), ProtoStatus::Error},
                     {"byte after the echo", Concat(echo, {0x01}), ProtoStatus::Error}});
}

TEST(ProtocolModbRtuWriteReply, SingleRegisterAndMultipleWrites) {
  CheckWriteReplies("4x00100", 4,
                    {{"echo", WithCrc({0x01, 0x06, 0x00, 0x64, 0x11, 0x11}), ProtoStatus::Complete},
                     {"coil code", WithCrc({0x01, 0x05, 0x00, 0x64, 0x11, 0x11}), ProtoStatus::Error}});
  CheckWriteReplies("4x[100~102]", 4,
                    {{"echo", WithCrc({0x01, 0x10, 0x00, 0x64, 0x00, 0x03}), ProtoStatus::Complete},
                     {"other quantity", WithCrc({0x01, 0x10, 0x00, 0x64, 0x00, 0x02}), ProtoStatus::Error},
                     {"single-write code", WithCrc({0x01, 0x06, 0x00, 0x64, 0x00, 0x03}), ProtoStatus::Error}});
  CheckWriteReplies("0x[0~9]", 1,
                    {{"echo", WithCrc({0x01, 0x0F, 0x00, 0x00, 0x00, 0x0A}), ProtoStatus::Complete},
                     {"register code", WithCrc({0x01, 0x10, 0x00, 0x00, 0x00, 0x0A}), ProtoStatus::Error}});
  // A 32-bit value went as two registers; the echo says so.
  CheckWriteReplies("4x00100", 16,
                    {{"echo", WithCrc({0x01, 0x10, 0x00, 0x64, 0x00, 0x02}), ProtoStatus::Complete},
                     {"one register", WithCrc({0x01, 0x10, 0x00, 0x64, 0x00, 0x01}), ProtoStatus::Error},
                     {"single-write code", WithCrc({0x01, 0x06, 0x00, 0x64, 0x00, 0x02}), ProtoStatus::Error}});
}

TEST(ProtocolModbRtuWriteReply, EchoInTwoChunks) {
  ProtocolGeneralModbRtu codec(1);
  const TermAddr addr = Modbus("0x00010");
  const Bytes echo = WithCrc({0x01, 0x05, 0x00, 0x0A, 0xFF, 0x00});
  EXPECT_EQ(ParseWrite(codec, Bytes(echo.begin(), echo.begin() + 4), addr), ProtoStatus::MoreData);
  EXPECT_EQ(ParseWrite(codec, Bytes(echo.begin() + 4, echo.end()), addr), ProtoStatus::Complete);
}

TEST(ProtocolModbRtu, MaxUnits) {
  struct Case {
    uint32_t transport;
    const char* address;
    uint16_t units;
  };
  ProtocolGeneralModbRtu codec(1);
  for (const Case& c : std::vector<Case>{{1, "0x00001", 1920}, {1, "1x00001", 1920}, {1, "3x00001", 120},
                                         {1, "4x00001", 120}, {2, "0x00001", 120}, {2, "1x00001", 120},
                                         {0, "0x00001", 120}}) {
    EXPECT_EQ(codec.GetMaxUnits(c.transport, Modbus(c.address)), c.units) << c.transport << " " << c.address;
  }
}
