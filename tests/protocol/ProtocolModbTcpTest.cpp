#include "protocol/ProtocolModbTcp.h"

#include <gtest/gtest.h>

#include <memory>

#include "ModbusTestSupport.h"
#include "termination/CacheVarModbus.h"

using namespace NsOvrin::NsProtocol;
using namespace NsOvrin::NsProtocol::NsModbusTest;
using NsOvrin::NsTermination::CacheVarModbus;

namespace {

Bytes BuildRead(ProtocolModbTcp& codec, const TermAddr& addr) {
  Bytes buffer(codec.GetReadRequestSize(addr), 0xEE);
  uint32_t length = 0;
  const uint8_t status =
      codec.BuildReadRequest(addr, buffer.data(), static_cast<uint32_t>(buffer.size()), length);
  EXPECT_EQ(status, ProtoStatus::Built);
  buffer.resize(status == ProtoStatus::Built ? length : 0);
  return buffer;
}

Bytes BuildWrite(ProtocolModbTcp& codec, const TermAddr& addr, uint32_t type, const void* value) {
  Bytes buffer(codec.GetWriteRequestSize(type, addr.count), 0xEE);
  uint32_t length = 0;
  const uint8_t status = codec.BuildWriteRequest(addr, type, value, buffer.data(),
                                                 static_cast<uint32_t>(buffer.size()), length);
  EXPECT_EQ(status, ProtoStatus::Built);
  buffer.resize(status == ProtoStatus::Built ? length : 0);
  return buffer;
}

uint8_t ParseRead(ProtocolModbTcp& codec, const Bytes& chunk, const TermAddr& addr,
                  NsOvrin::NsTermination::CacheVarBlock* block) {
  return codec.ParseReadReply(chunk.data(), static_cast<uint32_t>(chunk.size()), addr, block);
}

uint8_t ParseWrite(ProtocolModbTcp& codec, const Bytes& chunk, const TermAddr& addr) {
  return codec.ParseWriteReply(addr, chunk.data(), static_cast<uint32_t>(chunk.size()));
}

// MBAP header with transaction 0, protocol 0, the length of what follows and the unit.
Bytes Mbap(uint8_t unit, const Bytes& pdu) {
  const auto length = static_cast<uint16_t>(pdu.size() + 1);
  return Concat({0x00, 0x00, 0x00, 0x00, static_cast<uint8_t>(length >> 8),
                 static_cast<uint8_t>(length & 0xFF), unit},
                pdu);
}

Bytes Words(std::initializer_list<uint16_t> values) {
  Bytes out;
  for (uint16_t v : values) {
    const auto* p = reinterpret_cast<const uint8_t*>(&v);
    out.insert(out.end(), p, p + 2);
  }
  return out;
}

}  // namespace

TEST(ProtocolModbTcp, ReadRequestsOfTheGeneralMap) {
  struct Case {
    uint8_t unit;
    const char* address;
    Bytes pdu;
  };
  const std::vector<Case> cases = {
      {1, "4x[100~109]", {0x03, 0x00, 0x64, 0x00, 0x0A}},
      {1, "0x[0~1919]", {0x01, 0x00, 0x00, 0x07, 0x80}},
      {2, "1x[16~23]", {0x02, 0x00, 0x10, 0x00, 0x08}},
      {255, "3x[65530~65533]", {0x04, 0xFF, 0xFA, 0x00, 0x04}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    ProtocolGeneralModbTcp codec(c.unit);
    EXPECT_EQ(BuildRead(codec, Modbus(c.address)), Mbap(c.unit, c.pdu));
  }
  ProtocolGeneralModbTcp codec(1);
  EXPECT_EQ(BuildRead(codec, Modbus("4x[100~109]")),
            (Bytes{0x00, 0x00, 0x00, 0x00, 0x00, 0x06, 0x01, 0x03, 0x00, 0x64, 0x00, 0x0A}));
}

TEST(ProtocolH3uTcp, ReadRequestsMapTheAreas) {
  struct Case {
    const char* address;
    Bytes pdu;
  };
  const std::vector<Case> cases = {
      {"X[10~17]", {0x01, 0xF8, 0x08, 0x00, 0x08}},  // octal 10 is the 8th point
      {"X377", {0x01, 0xF8, 0xFF, 0x00, 0x01}},
      {"Y[0~7]", {0x01, 0xFC, 0x00, 0x00, 0x08}},
      {"Y[20~27]", {0x01, 0xFC, 0x10, 0x00, 0x08}},
      {"M[0~15]", {0x01, 0x00, 0x00, 0x00, 0x10}},
      {"M7678", {0x01, 0x1D, 0xFE, 0x00, 0x01}},
      {"S[0~15]", {0x01, 0xE0, 0x00, 0x00, 0x10}},
      {"S4094", {0x01, 0xEF, 0xFE, 0x00, 0x01}},
      {"D100", {0x03, 0x00, 0x64, 0x00, 0x01}},
      {"D[7990~7998]", {0x03, 0x1F, 0x36, 0x00, 0x09}},
      {"R100", {0x03, 0x30, 0x64, 0x00, 0x01}},
      {"R32766", {0x03, 0xAF, 0xFE, 0x00, 0x01}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.address);
    ProtocolH3uTcp codec(3);
    EXPECT_EQ(BuildRead(codec, HxU(c.address)), Mbap(3, c.pdu));
  }
}

TEST(ProtocolH3uTcp, AreaOutsideTheMapGoesToZero) {
  ProtocolH3uTcp codec(1);
  TermAddr addr = HxU("D[5~6]");
  addr.prefix = "W";
  EXPECT_EQ(codec.MapStart(addr), 0);
  EXPECT_EQ(codec.MapCount(addr), 0);
  // The start wraps modulo 65536.
  addr = HxU("R32766");
  addr.start = 0xE000;
  EXPECT_EQ(codec.MapStart(addr), 0x1000);
}

TEST(ProtocolModbTcp, ReadRequestNeedsItsTwelveBytes) {
  ProtocolGeneralModbTcp codec(1);
  const TermAddr addr = Modbus("4x[100~109]");
  EXPECT_EQ(codec.GetReadRequestSize(addr), 30u);
  uint8_t buffer[12] = {};
  for (uint32_t capacity : {0u, 7u, 8u, 11u}) {
    uint32_t length = 99;
    EXPECT_EQ(codec.BuildReadRequest(addr, buffer, capacity, length), ProtoStatus::Error) << capacity;
    EXPECT_EQ(length, 99u);
  }
  uint32_t length = 0;
  EXPECT_EQ(codec.BuildReadRequest(addr, buffer, 12, length), ProtoStatus::Built);
  EXPECT_EQ(length, 12u);
}

TEST(ProtocolModbTcp, WriteRequestsAreMultipleWrites) {
  struct Case {
    const char* name;
    bool h3u;
    const char* address;
    uint32_t type;
    Bytes value;
    Bytes pdu;
  };
  const std::vector<Case> cases = {
      {"three registers", false, "4x[100~102]", 4, Words({1, 0xABCD, 0xFFFF}),
       {0x10, 0x00, 0x64, 0x00, 0x03, 0x06, 0x00, 0x01, 0xAB, 0xCD, 0xFF, 0xFF}},
      {"one register", false, "4x00100", 2, Words({0x8001}), {0x10, 0x00, 0x64, 0x00, 0x01, 0x02, 0x80, 0x01}},
      {"one coil", false, "0x00010", 1, {1}, {0x0F, 0x00, 0x0A, 0x00, 0x01, 0x01, 0x01}},
      {"ten coils", false, "0x[0~9]", 1, {1, 0, 1, 1, 0, 0, 0, 1, 0, 1},
       {0x0F, 0x00, 0x00, 0x00, 0x0A, 0x02, 0x8D, 0x02}},
      {"H3U Y bits", true, "Y[10~17]", 1, {0, 1, 0, 0, 0, 0, 0, 0}, {0x0F, 0xFC, 0x08, 0x00, 0x08, 0x01, 0x02}},
      {"H3U M bit", true, "M100", 1, {5}, {0x0F, 0x00, 0x64, 0x00, 0x01, 0x01, 0x01}},
      {"H3U D word", true, "D100", 4, Words({0x1234}), {0x10, 0x00, 0x64, 0x00, 0x01, 0x02, 0x12, 0x34}},
      {"H3U R words", true, "R[0~1]", 4, Words({0x0102, 0x0304}),
       {0x10, 0x30, 0x00, 0x00, 0x02, 0x04, 0x01, 0x02, 0x03, 0x04}},
      {"32-bit value: two registers, low word first", false, "4x00100", 16,
       {0x78, 0x56, 0x34, 0x12}, {0x10, 0x00, 0x64, 0x00, 0x02, 0x04, 0x56, 0x78, 0x12, 0x34}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<ProtocolModbTcp> codec;
    if (c.h3u)
      codec = std::make_unique<ProtocolH3uTcp>(1);
    else
      codec = std::make_unique<ProtocolGeneralModbTcp>(1);
    const TermAddr addr = c.h3u ? HxU(c.address) : Modbus(c.address);
    EXPECT_EQ(BuildWrite(*codec, addr, c.type, c.value.data()), Mbap(1, c.pdu));
  }
}

TEST(ProtocolModbTcp, WriteOfThreeValuesAnnouncesLengthThirteen) {
  ProtocolGeneralModbTcp codec(1);
  const Bytes values = Words({1, 2, 3});
  const Bytes frame = BuildWrite(codec, Modbus("4x[0~2]"), 4, values.data());
  ASSERT_EQ(frame.size(), 19u);
  EXPECT_EQ(frame[5], 13);   // length field
  EXPECT_EQ(frame[7], 16);   // function code
  EXPECT_EQ(frame[11], 3);   // quantity
  EXPECT_EQ(frame[12], 6);   // byte count
}

TEST(ProtocolModbTcp, WriteCapacityIsTheRealFrameLength) {
  struct Case {
    const char* address;
    uint32_t type;
    uint32_t frameLength;
  };
  const uint8_t values[16] = {};
  for (const Case& c : std::vector<Case>{{"4x[0~2]", 4, 19}, {"4x00001", 2, 15}, {"0x[0~9]", 1, 15},
                                         {"0x00001", 1, 14}, {"4x00001", 16, 17}}) {
    SCOPED_TRACE(c.address);
    ProtocolGeneralModbTcp codec(1);
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

TEST(ProtocolModbTcp, WriteRequestSizes) {
  ProtocolGeneralModbTcp codec(1);
  struct Case {
    uint32_t type;
    uint16_t count;
    uint32_t size;
  };
  for (const Case& c : std::vector<Case>{{1, 10, 40}, {2, 10, 50}, {4, 1, 32}, {8, 1, 34}, {16, 3, 38}, {32, 5, 40}}) {
    EXPECT_EQ(codec.GetWriteRequestSize(c.type, c.count), c.size) << c.type << " " << c.count;
  }
}

TEST(ProtocolModbTcp, WriteRefusals) {
  struct Case {
    const char* name;
    const char* address;
    uint32_t type;
    uint8_t status;
    bool logged;
  };
  const std::vector<uint8_t> values(4096, 1);
  for (const Case& c : std::vector<Case>{
           {"string type", "4x00005", 32, ProtoStatus::Error, true},
           {"no such type", "4x[5~6]", 3, ProtoStatus::Error, true},
           {"word to a coil", "0x00005", 4, ProtoStatus::Error, true},
           {"bit to a register", "4x00005", 1, ProtoStatus::Error, true},
           {"127 registers still fit", "4x[0~126]", 4, ProtoStatus::Built, false},
           {"128 registers: byte count wraps", "4x[0~127]", 4, ProtoStatus::Error, false},
           {"2040 coils still fit", "0x[0~2039]", 1, ProtoStatus::Built, false},
           {"2041 coils: byte count wraps", "0x[0~2040]", 1, ProtoStatus::Error, false}}) {
    SCOPED_TRACE(c.name);
    ProtocolGeneralModbTcp codec(1);
    const TermAddr addr = Modbus(c.address);
    ScopedLogCollector log(8);
    Bytes buffer(1024);
    uint32_t length = 0;
    const uint8_t status = codec.BuildWriteRequest(addr, c.type, values.data(), buffer.data(),
                                                   static_cast<uint32_t>(buffer.size()), length);
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(log.Texts(), c.logged ? std::vector<std::string>{"无效的数据类型:" + addr.prefix}
                                    : std::vector<std::string>{});
  }
  ProtocolGeneralModbTcp codec(1);
  Bytes buffer(64);
  uint32_t length = 0;
  EXPECT_EQ(codec.BuildWriteRequest(Modbus("4x00001"), 4, nullptr, buffer.data(), 64, length),
            ProtoStatus::Error);
}

namespace {

class TcpReadReply : public ::testing::Test {
 protected:
  ProtocolGeneralModbTcp codec_{1};
  TermAddr addr_ = Modbus("4x[100~101]");
  CacheVarModbus block_{4};
  Bytes reply_ = Mbap(1, {0x03, 0x04, 0x12, 0x34, 0x56, 0x78});
};

}  // namespace

TEST_F(TcpReadReply, GoodReplyLandsInTheBlockInRegisterOrder) {
  CountingListener listener;
  block_.AddListener(&listener);
  EXPECT_EQ(ParseRead(codec_, reply_, addr_, &block_), ProtoStatus::Complete);
  EXPECT_EQ(BlockBytes(block_), (Bytes{0x12, 0x34, 0x56, 0x78}));
  EXPECT_EQ(block_.GetDword(0), 0x56781234u);
  EXPECT_EQ(block_.GetChangeCount(), 3u);
  // The protocol identifier is not compared; an identical reply changes nothing.
  Bytes again = reply_;
  again[3] = 0x01;
  EXPECT_EQ(ParseRead(codec_, again, addr_, &block_), ProtoStatus::Complete);
  EXPECT_EQ(block_.GetUpdateCount(), 4u);
  EXPECT_EQ(block_.GetChangeCount(), 3u);
  EXPECT_EQ(listener.calls, 1);
  block_.RemoveListener(&listener);
}

TEST_F(TcpReadReply, RefusedAndUnfinishedReplies) {
  auto with = [this](size_t index, uint8_t value) {
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
      {"first half only", Bytes(reply_.begin(), reply_.begin() + 6), ProtoStatus::MoreData},
      {"one byte short", Bytes(reply_.begin(), reply_.end() - 1), ProtoStatus::MoreData},
      {"too short to tell whose it is", Bytes(reply_.begin(), reply_.begin() + 5), ProtoStatus::MoreData},
      {"other unit", with(6, 2), ProtoStatus::Error},
      {"other function code", with(7, 4), ProtoStatus::Error},
      {"byte count differs", with(8, 6), ProtoStatus::Error},
      {"length field beyond the data", with(5, 8), ProtoStatus::Error},
      // 263: no frame can be that long; the bytes go and the wait goes on.
      {"length field no frame can have", with(4, 1), ProtoStatus::MoreData},
      {"length field ends before the data", with(5, 3), ProtoStatus::Error},
      {"length field ends inside the data", with(5, 5), ProtoStatus::Error},
      {"exception", Mbap(1, {0x83, 0x02}), ProtoStatus::Error},
      // What follows a whole reply belongs to no frame of this exchange.
      {"trailing bytes", Concat(reply_, {0xAA, 0xBB}), ProtoStatus::Complete},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    codec_.ResetStream();
    CacheVarModbus block(4);
    EXPECT_EQ(ParseRead(codec_, c.reply, addr_, &block), c.status);
    EXPECT_EQ(block.GetUpdateCount(), c.status == ProtoStatus::Complete ? 3u : 2u);
  }
  EXPECT_EQ(ParseRead(codec_, reply_, addr_, nullptr), ProtoStatus::Error);
  codec_.ResetStream();
  EXPECT_EQ(codec_.ParseReadReply(reply_.data(), 0, addr_, &block_), ProtoStatus::MoreData) << "empty chunk";
  EXPECT_EQ(codec_.ParseReadReply(nullptr, 0, addr_, &block_), ProtoStatus::Error);
}

// TCP may cut a reply anywhere: the pieces are gathered until the frame is
// whole, whatever the cut.
TEST_F(TcpReadReply, ReplyCutAnywhereIsGathered) {
  for (size_t cut = 1; cut < reply_.size(); ++cut) {
    SCOPED_TRACE(cut);
    codec_.ResetStream();
    CacheVarModbus block(4);
    EXPECT_EQ(ParseRead(codec_, Bytes(reply_.begin(), reply_.begin() + cut), addr_, &block), ProtoStatus::MoreData);
    EXPECT_EQ(block.GetUpdateCount(), 2u);
    EXPECT_EQ(ParseRead(codec_, Bytes(reply_.begin() + cut, reply_.end()), addr_, &block), ProtoStatus::Complete);
    EXPECT_EQ(BlockBytes(block), (Bytes{0x12, 0x34, 0x56, 0x78}));
  }
  // Three chunks: more, more, complete; then byte by byte.
  codec_.ResetStream();
  EXPECT_EQ(ParseRead(codec_, Bytes(reply_.begin(), reply_.begin() + 4), addr_, &block_), ProtoStatus::MoreData);
  EXPECT_EQ(ParseRead(codec_, Bytes(reply_.begin() + 4, reply_.begin() + 10), addr_, &block_), ProtoStatus::MoreData);
  EXPECT_EQ(ParseRead(codec_, Bytes(reply_.begin() + 10, reply_.end()), addr_, &block_), ProtoStatus::Complete);
  EXPECT_EQ(BlockBytes(block_), (Bytes{0x12, 0x34, 0x56, 0x78}));
  codec_.ResetStream();
  CacheVarModbus block(4);
  for (size_t i = 0; i + 1 < reply_.size(); ++i) {
    EXPECT_EQ(ParseRead(codec_, Bytes{reply_[i]}, addr_, &block), ProtoStatus::MoreData) << i;
  }
  EXPECT_EQ(ParseRead(codec_, Bytes{reply_.back()}, addr_, &block), ProtoStatus::Complete);
  EXPECT_EQ(BlockBytes(block), (Bytes{0x12, 0x34, 0x56, 0x78}));
  // A new exchange passes over the rest of a reply left unfinished.
  codec_.ResetStream();
  CacheVarModbus fresh(4);
  EXPECT_EQ(ParseRead(codec_, Bytes(reply_.begin(), reply_.begin() + 8), addr_, &fresh), ProtoStatus::MoreData);
  codec_.ResetReceive();
  EXPECT_EQ(ParseRead(codec_, Bytes(reply_.begin() + 8, reply_.end()), addr_, &fresh), ProtoStatus::MoreData);
  EXPECT_EQ(fresh.GetUpdateCount(), 2u);
}

// The reply awaited is the one carrying the identifier of the exchange in
// progress: a reply of an earlier exchange (come after its time-out) is
// passed over and the wait goes on; the rest of the frame is judged as before.
TEST_F(TcpReadReply, RepliesOfOtherExchangesArePassedOver) {
  Bytes request = BuildRead(codec_, addr_);
  codec_.BeginExchange(request.data(), static_cast<uint32_t>(request.size()));
  codec_.BeginExchange(request.data(), static_cast<uint32_t>(request.size()));
  ASSERT_EQ(codec_.GetTransaction(), 2);
  const auto numbered = [](Bytes frame, uint16_t id) {
    frame[0] = static_cast<uint8_t>(id >> 8);
    frame[1] = static_cast<uint8_t>(id & 0xFF);
    return frame;
  };
  const Bytes own = numbered(reply_, 2);
  const Bytes stale = numbered(Mbap(1, {0x03, 0x04, 0xDE, 0xAD, 0xBE, 0xEF}), 1);
  Bytes ownBadCode = own;
  ownBadCode[7] = 0x04;
  struct Case {
    const char* name;
    Bytes chunk;
    uint8_t status;
  };
  const std::vector<Case> cases = {
      {"own reply", own, ProtoStatus::Complete},
      {"earlier exchange", stale, ProtoStatus::MoreData},
      {"identifier 0", reply_, ProtoStatus::MoreData},
      {"high byte differs", numbered(reply_, 0x0102), ProtoStatus::MoreData},
      {"earlier exchange cut short", Bytes(stale.begin(), stale.end() - 2), ProtoStatus::MoreData},
      {"earlier exchange's exception", numbered(Mbap(1, {0x83, 0x02}), 1), ProtoStatus::MoreData},
      {"earlier exchange, then own", Concat(stale, own), ProtoStatus::Complete},
      {"two earlier ones, then own", Concat(Concat(stale, numbered(stale, 0)), own), ProtoStatus::Complete},
      {"own with another code", ownBadCode, ProtoStatus::Error},
      {"earlier exchange, then own with another code", Concat(stale, ownBadCode), ProtoStatus::Error},
      {"too short to tell", Bytes(own.begin(), own.begin() + 5), ProtoStatus::MoreData},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    codec_.ResetStream();
    CacheVarModbus block(4);
    EXPECT_EQ(ParseRead(codec_, c.chunk, addr_, &block), c.status);
    if (c.status == ProtoStatus::Complete) {
      EXPECT_EQ(BlockBytes(block), (Bytes{0x12, 0x34, 0x56, 0x78}));
    } else {
      EXPECT_EQ(block.GetUpdateCount(), 2u);
    }
  }
}

// Frames of other exchanges are passed over whole however the stream is cut:
// the bytes of their payload are never taken for a header, even when they
// look like a reply of this exchange. A frame of this exchange whose length
// field is not what the reply carries is refused, not filled up from the
// frame after it.
TEST_F(TcpReadReply, StreamsCutAcrossFrames) {
  Bytes request = BuildRead(codec_, addr_);
  for (int i = 0; i < 5; ++i) codec_.BeginExchange(request.data(), static_cast<uint32_t>(request.size()));
  const auto numbered = [](Bytes frame, uint16_t id) {
    frame[0] = static_cast<uint8_t>(id >> 8);
    frame[1] = static_cast<uint8_t>(id & 0xFF);
    return frame;
  };
  const Bytes own = numbered(reply_, 5);
  const Bytes lookAlike = numbered(Mbap(1, {0x03, 0x04, 0xAA, 0xAA, 0xAA, 0xAA}), 5);
  // An earlier exchange's reply whose data holds a frame of this exchange.
  const Bytes stale = numbered(Concat(Bytes{0, 0, 0, 0, 0, static_cast<uint8_t>(3 + lookAlike.size()), 1, 0x03,
                                            static_cast<uint8_t>(lookAlike.size())},
                                      lookAlike),
                               4);
  Bytes ownShort(own.begin(), own.begin() + 9);
  ownShort[5] = 3;
  const Bytes other = numbered(Mbap(1, {0x03, 0x04, 0x00, 0x00, 0x00, 0x00}), 8);
  // A header no frame can have, and a look-alike after it in the same receive.
  const Bytes garbage = Concat(numbered({0, 0, 0, 0, 0xFF, 0xFF, 1, 0x03}, 4), lookAlike);
  struct Case {
    const char* name;
    std::vector<Bytes> chunks;
    std::vector<uint8_t> statuses;
  };
  const auto cut = [](const Bytes& bytes, size_t at) {
    return std::vector<Bytes>{Bytes(bytes.begin(), bytes.begin() + at), Bytes(bytes.begin() + at, bytes.end())};
  };
  const std::vector<Case> cases = {
      {"cut after its header", {Bytes(stale.begin(), stale.begin() + 9), Bytes(stale.begin() + 9, stale.end()), own},
       {ProtoStatus::MoreData, ProtoStatus::MoreData, ProtoStatus::Complete}},
      {"cut inside its header", {Bytes(stale.begin(), stale.begin() + 3), Concat(Bytes(stale.begin() + 3, stale.end()), own)},
       {ProtoStatus::MoreData, ProtoStatus::Complete}},
      {"cut inside its payload's look-alike, own reply in the same chunk",
       {Bytes(stale.begin(), stale.begin() + 15), Concat(Bytes(stale.begin() + 15, stale.end()), own)},
       {ProtoStatus::MoreData, ProtoStatus::Complete}},
      {"its tail and the own reply's head together", cut(Concat(stale, own), stale.size() + 4),
       {ProtoStatus::MoreData, ProtoStatus::Complete}},
      {"a length no frame can have: the rest of its receive goes, the next is a new start",
       {garbage, own}, {ProtoStatus::MoreData, ProtoStatus::Complete}},
      {"the same with its header cut", {Bytes(garbage.begin(), garbage.begin() + 4), Bytes(garbage.begin() + 4, garbage.end()), own},
       {ProtoStatus::MoreData, ProtoStatus::MoreData, ProtoStatus::Complete}},
      {"own frame shorter than its byte count, then another exchange's", {Concat(ownShort, other)}, {ProtoStatus::Error}},
      {"the same cut after its header", cut(Concat(ownShort, other), 6), {ProtoStatus::Error}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    codec_.ResetStream();
    CacheVarModbus block(4);
    ASSERT_LE(c.statuses.size(), c.chunks.size());
    for (size_t i = 0; i < c.statuses.size(); ++i) {
      EXPECT_EQ(ParseRead(codec_, c.chunks[i], addr_, &block), c.statuses[i]) << i;
    }
    if (c.statuses.back() == ProtoStatus::Complete) {
      EXPECT_EQ(BlockBytes(block), (Bytes{0x12, 0x34, 0x56, 0x78}));
    } else {
      EXPECT_EQ(block.GetUpdateCount(), 2u);
    }
  }
  // A length field one more than the reply carries: the frame is refused.
  Bytes longer = Concat(own, Bytes{0x00});
  longer[5] = 8;
  codec_.ResetStream();
  EXPECT_EQ(ParseRead(codec_, longer, addr_, &block_), ProtoStatus::Error);
  EXPECT_EQ(block_.GetUpdateCount(), 2u);
}

// One connection's bytes are one stream across exchanges: what came after a
// reply, the rest of a frame left unfinished or refused, and what waited at
// the purge are passed over by their frames, so that a later exchange never
// reads a frame from its middle (where a look-alike of its own reply lies).
TEST_F(TcpReadReply, OneConnectionIsOneStreamAcrossExchanges) {
  const auto numbered = [](Bytes frame, uint16_t id) {
    frame[0] = static_cast<uint8_t>(id >> 8);
    frame[1] = static_cast<uint8_t>(id & 0xFF);
    return frame;
  };
  const Bytes own1 = numbered(reply_, 1);
  const Bytes own2 = numbered(reply_, 2);
  const Bytes lookAlike2 = numbered(Mbap(1, {0x03, 0x04, 0xDE, 0xDE, 0xDE, 0xDE}), 2);
  // A frame carrying the look-alike in its payload, of an earlier exchange
  // and of exchange 1 (whose reply it is not: its length differs).
  const auto carrier = [&](uint16_t id) {
    return numbered(Concat(Bytes{0, 0, 0, 0, 0, static_cast<uint8_t>(3 + lookAlike2.size()), 1, 0x03,
                                 static_cast<uint8_t>(lookAlike2.size())},
                           lookAlike2),
                    id);
  };
  const Bytes stale = carrier(0);
  const Bytes refused = carrier(1);
  const auto part = [](const Bytes& bytes, size_t from, size_t to) {
    return Bytes(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                 bytes.begin() + static_cast<std::ptrdiff_t>(std::min(to, bytes.size())));
  };
  const size_t all = SIZE_MAX;
  const Bytes garbage = Concat({0x00, 0x02, 0x00, 0x00, 0xFF, 0xFF, 0x01, 0x03}, lookAlike2);

  enum Kind { kReceive, kPurge, kNextExchange, kNewConnection };
  struct Step {
    Kind kind;
    Bytes bytes;
    uint8_t status = ProtoStatus::MoreData;
  };
  const Step next{kNextExchange, {}};
  struct Case {
    const char* name;
    std::vector<Step> steps;  // exchange 1 has begun
  };
  const std::vector<Case> cases = {
      {"the head of a frame in the receive of a reply",
       {{kReceive, Concat(own1, part(stale, 0, 9)), ProtoStatus::Complete}, next,
        {kReceive, Concat(part(stale, 9, all), own2), ProtoStatus::Complete}}},
      {"a frame left unfinished when its exchange ended",
       {{kReceive, part(stale, 0, 9)}, next, {kReceive, Concat(part(stale, 9, all), own2), ProtoStatus::Complete}}},
      {"this exchange's frame with another length",
       {{kReceive, part(refused, 0, 9), ProtoStatus::Error}, next,
        {kReceive, Concat(part(refused, 9, all), own2), ProtoStatus::Complete}}},
      {"the purge cuts inside a header",
       {{kPurge, part(stale, 0, 4)}, next, {kReceive, Concat(part(stale, 4, all), own2), ProtoStatus::Complete}}},
      {"the purge cuts inside a frame",
       {{kPurge, part(stale, 0, 12)}, next, {kReceive, Concat(part(stale, 12, all), own2), ProtoStatus::Complete}}},
      {"a header with the new exchange's number, begun before its request",
       {{kPurge, part(lookAlike2, 0, 5)}, next,
        {kReceive, Concat(part(lookAlike2, 5, all), own2), ProtoStatus::Complete}}},
      {"a length no frame can have, the reply in the next receive",
       {next, {kReceive, garbage}, {kReceive, own2, ProtoStatus::Complete}}},
      {"a new connection begins a new stream",
       {{kReceive, part(stale, 0, 9)}, {kNewConnection, {}}, next, {kReceive, own2, ProtoStatus::Complete}}},
  };
  Bytes request = BuildRead(codec_, addr_);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ProtocolGeneralModbTcp codec(1);
    CacheVarModbus block(4);
    codec.BeginExchange(request.data(), static_cast<uint32_t>(request.size()));
    codec.ResetReceive();
    for (size_t i = 0; i < c.steps.size(); ++i) {
      const Step& step = c.steps[i];
      switch (step.kind) {
        case kReceive: EXPECT_EQ(ParseRead(codec, step.bytes, addr_, &block), step.status) << i; break;
        case kPurge: codec.PassOver(step.bytes.data(), static_cast<uint32_t>(step.bytes.size())); break;
        case kNewConnection: codec.ResetStream(); break;
        case kNextExchange:
          codec.BeginExchange(request.data(), static_cast<uint32_t>(request.size()));
          codec.ResetReceive();
          break;
      }
    }
    EXPECT_EQ(codec.GetTransaction(), 2);
    EXPECT_EQ(BlockBytes(block), (Bytes{0x12, 0x34, 0x56, 0x78}));
  }
}

TEST(ProtocolModbTcpExchange, EveryRequestGoesOutWithAnIdentifierOfItsOwn) {
  ProtocolGeneralModbTcp general(1);
  ProtocolH3uTcp h3u(1);
  for (ProtocolModbTcp* codec : {static_cast<ProtocolModbTcp*>(&general), static_cast<ProtocolModbTcp*>(&h3u)}) {
    SCOPED_TRACE(codec == &general ? "Modbus TCP" : "H3U");
    const TermAddr addr = codec == &general ? Modbus("4x[100~109]") : HxU("D[100~109]");
    Bytes frame = BuildRead(*codec, addr);
    const Bytes built = frame;
    // A request sent again (its task keeps the frame) is renumbered each time.
    for (uint16_t expected = 1; expected <= 3; ++expected) {
      codec->BeginExchange(frame.data(), static_cast<uint32_t>(frame.size()));
      EXPECT_EQ(codec->GetTransaction(), expected);
      EXPECT_EQ(frame, Concat({0x00, static_cast<uint8_t>(expected)}, Bytes(built.begin() + 2, built.end())));
    }
    // A write built now carries the exchange in progress and is renumbered like a read.
    const uint16_t values[3] = {1, 2, 3};
    TermAddr three = addr;
    three.count = 3;
    Bytes write = BuildWrite(*codec, three, 4, values);
    ASSERT_GE(write.size(), 2u);
    EXPECT_EQ(write[1], 3);
    codec->BeginExchange(write.data(), static_cast<uint32_t>(write.size()));
    EXPECT_EQ(write[1], 4);
    EXPECT_EQ(ParseWrite(*codec, Mbap(1, {0x10, 0x00, 0x64, 0x00, 0x03}), three), ProtoStatus::MoreData);
    Bytes echo = Mbap(1, {0x10, 0x00, 0x64, 0x00, 0x03});
    echo[1] = 4;
    EXPECT_EQ(ParseWrite(*codec, echo, three), ProtoStatus::Complete);
    EXPECT_EQ(ParseWrite(*codec, Concat(Mbap(1, {0x10, 0x00, 0x64, 0x00, 0x03}), echo), three),
              ProtoStatus::Complete);
  }
  // Each node's codec counts on its own; the count wraps after 65535.
  ProtocolGeneralModbTcp other(1);
  Bytes frame = BuildRead(other, Modbus("4x[0~1]"));
  EXPECT_EQ(other.GetTransaction(), 0);
  for (int i = 0; i < 65535; ++i) other.BeginExchange(frame.data(), static_cast<uint32_t>(frame.size()));
  EXPECT_EQ(other.GetTransaction(), 0xFFFF);
  EXPECT_EQ(frame[0], 0xFF);
  other.BeginExchange(frame.data(), static_cast<uint32_t>(frame.size()));
  EXPECT_EQ(other.GetTransaction(), 0);
  EXPECT_EQ(frame[0], 0x00);
  EXPECT_EQ(frame[1], 0x00);
  EXPECT_EQ(general.GetTransaction(), 4);
}

TEST(ProtocolModbTcpRead, CoilsAndTheLargestBlocks) {
  struct Case {
    bool h3u;
    const char* address;
    uint8_t fc;
    uint32_t dataLength;
  };
  for (const Case& c : std::vector<Case>{{false, "0x[0~1919]", 1, 240}, {false, "1x[0~15]", 2, 2},
                                         {false, "3x[0~119]", 4, 240}, {true, "X[0~377]", 1, 32},
                                         {true, "S[0~8]", 1, 2}, {true, "R[0~119]", 3, 240}}) {
    SCOPED_TRACE(c.address);
    std::unique_ptr<ProtocolModbTcp> codec;
    if (c.h3u)
      codec = std::make_unique<ProtocolH3uTcp>(1);
    else
      codec = std::make_unique<ProtocolGeneralModbTcp>(1);
    const TermAddr addr = c.h3u ? HxU(c.address) : Modbus(c.address);
    auto block = NsOvrin::NsTermination::NodeMemModbus().CreateCacheFor(addr);
    ASSERT_EQ(block->GetSize(), c.dataLength);
    Bytes pdu = {c.fc, static_cast<uint8_t>(c.dataLength)};
    for (uint32_t i = 0; i < c.dataLength; ++i) pdu.push_back(static_cast<uint8_t>(i * 3 + 1));
    const Bytes reply = Mbap(1, pdu);
    ASSERT_EQ(reply.size(), c.dataLength + 9);
    EXPECT_EQ(ParseRead(*codec, reply, addr, block.get()), ProtoStatus::Complete);
    EXPECT_EQ(BlockBytes(*block), Bytes(pdu.begin() + 2, pdu.end()));
  }
}

TEST(ProtocolModbTcpWriteReply, EchoesAndRefusals) {
  struct Case {
    const char* name;
    bool h3u;
    const char* address;
    uint32_t type;
    Bytes reply;
    uint8_t status;
  };
  const Bytes regs = Mbap(1, {0x10, 0x00, 0x64, 0x00, 0x03});
  auto with = [&regs](size_t index, uint8_t value) {
    Bytes r = regs;
    r[index] = value;
    return r;
  };
  const std::vector<Case> cases = {
      {"registers", false, "4x[100~102]", 4, regs, ProtoStatus::Complete},
      {"eleven bytes: more to come", false, "4x[100~102]", 4, Bytes(regs.begin(), regs.end() - 1),
       ProtoStatus::MoreData},
      {"length field beyond", false, "4x[100~102]", 4, with(5, 7), ProtoStatus::Error},
      {"length field short", false, "4x[100~102]", 4, with(5, 5), ProtoStatus::Error},
      {"other unit", false, "4x[100~102]", 4, with(6, 9), ProtoStatus::Error},
      {"coil code", false, "4x[100~102]", 4, with(7, 0x0F), ProtoStatus::Error},
      {"other start", false, "4x[100~102]", 4, with(9, 0x65), ProtoStatus::Error},
      {"other quantity", false, "4x[100~102]", 4, with(11, 2), ProtoStatus::Error},
      {"exception", false, "4x[100~102]", 4, Mbap(1, {0x90, 0x02}), ProtoStatus::Error},
      {"coils", false, "0x[0~9]", 1, Mbap(1, {0x0F, 0x00, 0x00, 0x00, 0x0A}), ProtoStatus::Complete},
      {"register code to a coil write", false, "0x[0~9]", 1, Mbap(1, {0x10, 0x00, 0x00, 0x00, 0x0A}),
       ProtoStatus::Error},
      {"H3U Y", true, "Y[10~17]", 1, Mbap(1, {0x0F, 0xFC, 0x08, 0x00, 0x08}), ProtoStatus::Complete},
      {"H3U Y unmapped start", true, "Y[10~17]", 1, Mbap(1, {0x0F, 0x00, 0x0A, 0x00, 0x08}), ProtoStatus::Error},
      {"H3U S", true, "S5", 1, Mbap(1, {0x0F, 0xE0, 0x05, 0x00, 0x01}), ProtoStatus::Complete},
      {"32-bit: two registers", false, "4x00100", 16, Mbap(1, {0x10, 0x00, 0x64, 0x00, 0x02}),
       ProtoStatus::Complete},
      {"32-bit: one register", false, "4x00100", 16, Mbap(1, {0x10, 0x00, 0x64, 0x00, 0x01}), ProtoStatus::Error},
      {"16-bit: one register", false, "4x00100", 4, Mbap(1, {0x10, 0x00, 0x64, 0x00, 0x01}), ProtoStatus::Complete},
      {"16-bit: two registers", false, "4x00100", 4, Mbap(1, {0x10, 0x00, 0x64, 0x00, 0x02}), ProtoStatus::Error},
  };
  const uint32_t values[4] = {};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::unique_ptr<ProtocolModbTcp> codec;
    if (c.h3u)
      codec = std::make_unique<ProtocolH3uTcp>(1);
    else
      codec = std::make_unique<ProtocolGeneralModbTcp>(1);
    const TermAddr addr = c.h3u ? HxU(c.address) : Modbus(c.address);
    ASSERT_FALSE(BuildWrite(*codec, addr, c.type, values).empty());
    EXPECT_EQ(ParseWrite(*codec, c.reply, addr), c.status);
  }
}

TEST(ProtocolModbTcp, MaxUnits) {
  ProtocolGeneralModbTcp general(1);
  ProtocolH3uTcp h3u(1);
  for (uint32_t transport : {1u, 2u}) {
    SCOPED_TRACE(transport);
    EXPECT_EQ(general.GetMaxUnits(transport, Modbus("0x00001")), 1920);
    EXPECT_EQ(general.GetMaxUnits(transport, Modbus("1x00001")), 1920);
    EXPECT_EQ(general.GetMaxUnits(transport, Modbus("3x00001")), 120);
    EXPECT_EQ(general.GetMaxUnits(transport, Modbus("4x00001")), 120);
    for (const char* bit : {"X0", "Y0", "M0", "S0"}) EXPECT_EQ(h3u.GetMaxUnits(transport, HxU(bit)), 1920) << bit;
    for (const char* word : {"D0", "R0"}) EXPECT_EQ(h3u.GetMaxUnits(transport, HxU(word)), 120) << word;
  }
}
