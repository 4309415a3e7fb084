#include "protocol/ProtocolMitsFx.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "common/Log.h"
#include "term_data/TermAddr.h"
#include "termination/CacheVarMitsFx.h"
#include "termination/NodeMemMitsFx.h"

namespace NsOvrin::NsProtocol {
namespace {

using NsTermination::CacheVarBlock;
using NsTermination::CacheVarMitsFx;
using NsTermination::NodeMemMitsFx;
using NsTermination::TermAddr;

constexpr char kStx = '\x02';
constexpr char kEtx = '\x03';

TermAddr Parse(const std::string& text) {
  NodeMemMitsFx map;
  TermAddr addr;
  EXPECT_EQ(map.ParseAddress(text, addr), NsTermination::kAddrOk) << text;
  return addr;
}

// A hand-made descriptor, for areas and numbers no memory map accepts.
TermAddr Raw(const std::string& prefix, uint32_t start, uint16_t count) {
  TermAddr addr;
  addr.prefix = prefix;
  addr.start = start;
  addr.count = count;
  return addr;
}

// STX body ETX sum, the sum given as written on the wire.
std::string Frame(const std::string& body, const std::string& sum) {
  return std::string(1, kStx) + body + kEtx + sum;
}

std::string BuildRead(ProtocolMitsFx& fx, const TermAddr& addr, uint8_t* status,
                      uint32_t capacity = 50) {
  std::vector<uint8_t> buf(capacity);
  uint32_t length = 0;
  *status = fx.BuildReadRequest(addr, buf.data(), capacity, length);
  if (*status != ProtoStatus::Built) return {};
  EXPECT_LE(length, capacity);
  return std::string(buf.begin(), buf.begin() + length);
}

std::string BuildWrite(ProtocolMitsFx& fx, const TermAddr& addr, uint32_t type, const void* value,
                       uint8_t* status, uint32_t capacity = 400) {
  std::vector<uint8_t> buf(capacity);
  uint32_t length = 0;
  *status = fx.BuildWriteRequest(addr, type, value, buf.data(), capacity, length);
  if (*status != ProtoStatus::Built) return {};
  EXPECT_LE(length, capacity);
  return std::string(buf.begin(), buf.begin() + length);
}

uint8_t Feed(ProtocolMitsFx& fx, const std::string& bytes, const TermAddr& addr, CacheVarBlock* block) {
  return fx.ParseReadReply(reinterpret_cast<const uint8_t*>(bytes.data()),
                           static_cast<uint32_t>(bytes.size()), addr, block);
}

// ---------------------------------------------------------------------------
// Read requests

struct ReadCase {
  const char* address;
  std::string frame;
};

TEST(ProtocolMitsFxTest, ReadRequestFramesAreByteExact) {
  const ReadCase cases[] = {
      {"D[100~101]", Frame("E0040C804", "EB")},  // 0x4000 + 2 x 100
      {"D7998", Frame("E007E7C02", "00")},
      {"R0", Frame("E06000002", "D0")},
      {"R[10~12]", Frame("E06001406", "D9")},    // 0x60000 + 2 x 10
      {"M[100~115]", Frame("E00880C02", "ED")},  // 0x8800 + 100 / 8, one word
      {"M[0~31]", Frame("E00880004", "DC")},
      {"S[8~23]", Frame("E008CE102", "FB")},     // 0x8CE0 + 8 / 8
      {"X[0~23]", Frame("E00024004", "D2")},     // 20 points: two words
      {"X[20~37]", Frame("E00024202", "D2")},    // X20 is point 16
      {"Y[10~17]", Frame("E00018102", "D4")},    // Y10 is point 8
  };
  for (const ReadCase& c : cases) {
    ProtocolMitsFx fx;
    uint8_t status = 0;
    EXPECT_EQ(BuildRead(fx, Parse(c.address), &status), c.frame) << c.address;
    EXPECT_EQ(status, ProtoStatus::Built) << c.address;
  }
}

TEST(ProtocolMitsFxTest, ReadRequestRefusals) {
  ProtocolMitsFx fx;
  uint8_t buf[64];
  uint32_t length = 77;
  const TermAddr d100 = Parse("D[100~101]");

  // The frame is 13 bytes: 12 of room is an error, never a cut frame.
  for (uint32_t capacity : {0u, 11u, 12u}) {
    EXPECT_EQ(fx.BuildReadRequest(d100, buf, capacity, length), ProtoStatus::Error) << capacity;
  }
  EXPECT_EQ(length, 77u);
  EXPECT_EQ(fx.BuildReadRequest(d100, buf, 13, length), ProtoStatus::Built);
  EXPECT_EQ(length, 13u);

  const TermAddr refused[] = {
      Raw("W", 0, 1),        // no such area
      Raw("", 0, 1),         // unparsed
      Raw("x", 0, 1),        // prefixes are compared as normalised
      Raw("D", 128, 128),    // 256 bytes do not fit the byte-count field
      Raw("R", 0x7FFFFFFF, 1),  // past five address digits
  };
  for (const TermAddr& addr : refused) {
    EXPECT_EQ(fx.BuildReadRequest(addr, buf, sizeof(buf), length), ProtoStatus::Error)
        << addr.prefix << addr.start;
  }
  // 127 words is the largest read the byte count can announce.
  EXPECT_EQ(fx.BuildReadRequest(Raw("D", 0, 127), buf, sizeof(buf), length), ProtoStatus::Built);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf) + 8, 2), "FE");
}

// ---------------------------------------------------------------------------
// Write requests

struct WordWriteCase {
  const char* name;
  TermAddr addr;
  uint32_t type;
  std::vector<uint8_t> value;  // value memory as the caller holds it
  std::string frame;
};

std::vector<uint8_t> Words16(std::initializer_list<uint16_t> words) {
  std::vector<uint8_t> out(words.size() * 2);
  std::memcpy(out.data(), std::data(words), out.size());
  return out;
}

std::vector<uint8_t> Words32(std::initializer_list<uint32_t> words) {
  std::vector<uint8_t> out(words.size() * 4);
  std::memcpy(out.data(), std::data(words), out.size());
  return out;
}

TEST(ProtocolMitsFxTest, WordWriteFramesAreByteExact) {
  const WordWriteCase cases[] = {
      {"D0 0x1234", Parse("D0"), 4, Words16({0x1234}), Frame("E104000023412", "99")},
      {"D10 two signed words", Parse("D[10~11]"), 2, Words16({0x0001, 0xABCD}),
       Frame("E104014040100CDAB", "A1")},
      {"R5", Parse("R5"), 4, Words16({0xBEEF}), Frame("E16000A02EFBE", "F4")},
      // A double word covers two words, least significant byte first.
      {"D20 dword", Parse("D20"), 16, Words32({0x12345678}), Frame("E1040280478563412", "7F")},
      {"D20 dword, count 2", Parse("D[20~21]"), 8, Words32({0x12345678}),
       Frame("E1040280478563412", "7F")},
      // Three words round up to two double words: byte count and data agree.
      {"D20 count 3", Parse("D[20~22]"), 16, Words32({0x11223344, 0x55667788}),
       Frame("E104028084433221188776655", "27")},
  };
  for (const WordWriteCase& c : cases) {
    ProtocolMitsFx fx;
    uint8_t status = 0;
    EXPECT_EQ(BuildWrite(fx, c.addr, c.type, c.value.data(), &status), c.frame) << c.name;
    EXPECT_EQ(status, ProtoStatus::Built) << c.name;
  }
}

struct ForceCase {
  const char* address;
  uint8_t value;
  std::string frame;
};

TEST(ProtocolMitsFxTest, BitForceFramesAreByteExact) {
  const ForceCase cases[] = {
      {"M0", 1, Frame("E70040", "43")},     // 0x4000, low byte first
      {"M0", 0, Frame("E80040", "44")},
      {"M100", 0xFF, Frame("E76440", "4D")},  // any non-zero byte sets
      {"M[100~107]", 0, Frame("E86440", "4E")},  // the start point only
      {"S5", 1, Frame("E70567", "51")},     // 0x6705
      {"Y17", 1, Frame("E70F0C", "68")},    // Y17 is point 15: 0x0C0F
      {"Y17", 0, Frame("E80F0C", "69")},
  };
  for (const ForceCase& c : cases) {
    ProtocolMitsFx fx;
    uint8_t status = 0;
    EXPECT_EQ(BuildWrite(fx, Parse(c.address), 1, &c.value, &status), c.frame) << c.address;
    EXPECT_EQ(status, ProtoStatus::Built) << c.address;
  }
}

TEST(ProtocolMitsFxTest, ForceUsesTheFirstValueByteWhateverTheType) {
  ProtocolMitsFx fx;
  uint8_t status = 0;
  const uint8_t lowZero[2] = {0x00, 0x01};
  EXPECT_EQ(BuildWrite(fx, Parse("M100"), 4, lowZero, &status), Frame("E86440", "4E"));
}

// Captures the level-8 records while alive.
class ErrorLogCapture : public NsLog::LogSink {
 public:
  ErrorLogCapture() : wasEnabled_(NsLog::GetLogger(8).IsEnabled()) {
    NsLog::GetLogger(8).SetEnabled(true);
    NsLog::GetLogger(8).AddSink(this);
  }
  ~ErrorLogCapture() override {
    NsLog::GetLogger(8).RemoveSink(this);
    NsLog::GetLogger(8).SetEnabled(wasEnabled_);
  }
  void Write(const NsLog::LogRecord& record) override { texts.push_back(record.text); }
  std::vector<std::string> texts;

 private:
  bool wasEnabled_;
};

TEST(ProtocolMitsFxTest, WriteRefusals) {
  const uint16_t word = 0x1234;
  const uint8_t on = 1;
  struct Case {
    const char* name;
    TermAddr addr;
    uint32_t type;
    const void* value;
    const char* logged;  // the error record, or null for none
  };
  const Case cases[] = {
      {"no value", Parse("D0"), 4, nullptr, nullptr},
      {"no value, bit", Parse("M0"), 1, nullptr, nullptr},
      {"X cannot be forced", Parse("X0"), 1, &on, nullptr},
      {"unknown area", Raw("W", 0, 1), 1, &on, nullptr},
      {"bit on D", Parse("D0"), 1, &on, "无效的数据类型:D"},
      {"bit on R", Parse("R0"), 1, &on, "无效的数据类型:R"},
      {"string on D", Parse("D0"), 32, &word, "无效的数据类型:D"},
      {"type 0 on R", Parse("R0"), 0, &word, "无效的数据类型:R"},
      {"byte count past one byte", Raw("D", 0, 128), 4, &word, nullptr},
      {"force address past 16 bits", Raw("M", 0xC000, 1), 1, &on, nullptr},
  };
  for (const Case& c : cases) {
    ErrorLogCapture log;
    ProtocolMitsFx fx;
    uint8_t buf[64];
    uint32_t length = 77;
    EXPECT_EQ(fx.BuildWriteRequest(c.addr, c.type, c.value, buf, sizeof(buf), length),
              ProtoStatus::Error)
        << c.name;
    EXPECT_EQ(length, 77u) << c.name;
    if (c.logged) {
      EXPECT_EQ(log.texts, std::vector<std::string>{c.logged}) << c.name;
    } else {
      EXPECT_TRUE(log.texts.empty()) << c.name;
    }
  }
}

TEST(ProtocolMitsFxTest, WriteCapacityIsTheRealFrameLength) {
  const uint16_t words[2] = {1, 2};
  const uint8_t on = 1;
  struct Case {
    const char* name;
    TermAddr addr;
    uint32_t type;
    const void* value;
    uint32_t frameLength;
  };
  const Case cases[] = {
      {"force", Parse("M0"), 1, &on, 10},
      {"one word", Parse("D0"), 4, words, 17},
      {"two words", Parse("D[0~1]"), 4, words, 21},  // past 16 bytes
      {"double word", Parse("D0"), 16, words, 21},
  };
  for (const Case& c : cases) {
    ProtocolMitsFx fx;
    std::vector<uint8_t> buf(c.frameLength);
    uint32_t length = 0;
    EXPECT_EQ(fx.BuildWriteRequest(c.addr, c.type, c.value, buf.data(), c.frameLength - 1, length),
              ProtoStatus::Error)
        << c.name;
    EXPECT_EQ(fx.BuildWriteRequest(c.addr, c.type, c.value, buf.data(), c.frameLength, length),
              ProtoStatus::Built)
        << c.name;
    EXPECT_EQ(length, c.frameLength) << c.name;
    EXPECT_EQ(buf[c.frameLength - 3], kEtx) << c.name;
  }
}

// ---------------------------------------------------------------------------
// Sizes and limits

TEST(ProtocolMitsFxTest, RequestSizesAndMaxUnits) {
  ProtocolMitsFx fx;
  EXPECT_EQ(fx.GetReadRequestSize(Parse("D0")), 50u);

  struct SizeCase {
    uint32_t type;
    uint16_t count;
    uint32_t size;
  };
  const SizeCase sizes[] = {
      {1, 1, 114},  {1, 8, 114},  {1, 9, 178},  {1, 0, 50},
      {2, 3, 1200}, {4, 1, 400},  {8, 1, 800},  {16, 2, 1200},
      {32, 10, 130}, {0, 0, 50},
  };
  for (const SizeCase& c : sizes) {
    EXPECT_EQ(fx.GetWriteRequestSize(c.type, c.count), c.size) << c.type << "/" << c.count;
  }

  struct UnitsCase {
    uint32_t kind;
    const char* prefix;
    uint16_t units;
  };
  const UnitsCase units[] = {
      {1, "X", 512}, {1, "Y", 512}, {2, "M", 512}, {2, "S", 512},
      {1, "D", 32},  {2, "R", 32},  {0, "M", 32},  {3, "X", 32},
  };
  for (const UnitsCase& c : units) {
    EXPECT_EQ(fx.GetMaxUnits(c.kind, Raw(c.prefix, 0, 1)), c.units) << c.kind << c.prefix;
  }
}

// Every write frame the generous size bound allows fits, for every count a
// block may carry.
TEST(ProtocolMitsFxTest, WriteRequestSizeHoldsTheFrame) {
  std::vector<uint8_t> value(4 * 32, 0x5A);
  for (uint32_t type : {2u, 4u, 8u, 16u}) {
    for (uint16_t count = 1; count <= 32; ++count) {
      ProtocolMitsFx fx;
      const uint32_t size = fx.GetWriteRequestSize(type, count);
      std::vector<uint8_t> buf(size);
      uint32_t length = 0;
      ASSERT_EQ(fx.BuildWriteRequest(Raw("D", 0, count), type, value.data(), buf.data(), size, length),
                ProtoStatus::Built)
          << type << "/" << count;
      // Byte count field agrees with the data that follows it.
      const uint32_t announced = std::stoul(std::string(buf.begin() + 8, buf.begin() + 10), nullptr, 16);
      EXPECT_EQ(length, 13 + 2 * announced) << type << "/" << count;
    }
  }
}

// ---------------------------------------------------------------------------
// Read replies

class MitsFxReplyTest : public ::testing::Test {
 protected:
  // D100, two words; the block is the size the memory map makes.
  TermAddr addr_ = Parse("D[100~101]");
  std::shared_ptr<CacheVarBlock> block_ = NodeMemMitsFx().CreateCacheFor(addr_);
  ProtocolMitsFx fx_;
  const std::string good_ = Frame("34127856", "A7");

  void ExpectUntouched() {
    EXPECT_EQ(block_->GetUpdateCount(), CacheVarBlock::kInitialCount);
    EXPECT_EQ(block_->GetChangeCount(), CacheVarBlock::kInitialCount);
    EXPECT_EQ(block_->GetDword(0), 0u);
  }
};

TEST_F(MitsFxReplyTest, GoodReplyLandsLittleEndian) {
  ASSERT_EQ(block_->GetSize(), 4);
  EXPECT_EQ(Feed(fx_, good_, addr_, block_.get()), ProtoStatus::Complete);
  EXPECT_EQ(block_->GetWord(0), 0x1234);
  EXPECT_EQ(block_->GetWord(2), 0x5678);
  EXPECT_EQ(block_->GetDword(0), 0x56781234u);
  EXPECT_EQ(block_->GetUpdateCount(), 3u);
  EXPECT_EQ(block_->GetChangeCount(), 3u);

  // The same reply again, in a new exchange: only the update counter moves.
  fx_.ResetReceive();
  EXPECT_EQ(Feed(fx_, good_, addr_, block_.get()), ProtoStatus::Complete);
  EXPECT_EQ(block_->GetUpdateCount(), 4u);
  EXPECT_EQ(block_->GetChangeCount(), 3u);
}

TEST_F(MitsFxReplyTest, ChunkedRepliesAndNoise) {
  struct Case {
    const char* name;
    std::vector<std::string> chunks;  // all but the last report more data
  };
  const Case cases[] = {
      {"three chunks", {good_.substr(0, 3), good_.substr(3, 5), good_.substr(8)}},
      {"byte by byte", {}},
      {"noise before STX", {"\x15\xFFzz" + good_.substr(0, 6), good_.substr(6)}},
      {"stale partial frame first", {"\x02" "12", good_}},
      {"sum digits one by one", {good_.substr(0, 10), good_.substr(10, 1), good_.substr(11)}},
  };
  for (const Case& c : cases) {
    ProtocolMitsFx fx;
    auto block = NodeMemMitsFx().CreateCacheFor(addr_);
    std::vector<std::string> chunks = c.chunks;
    if (chunks.empty()) {
      for (char ch : good_) chunks.emplace_back(1, ch);
    }
    for (size_t i = 0; i + 1 < chunks.size(); ++i) {
      EXPECT_EQ(Feed(fx, chunks[i], addr_, block.get()), ProtoStatus::MoreData) << c.name << " " << i;
    }
    EXPECT_EQ(Feed(fx, chunks.back(), addr_, block.get()), ProtoStatus::Complete) << c.name;
    EXPECT_EQ(block->GetDword(0), 0x56781234u) << c.name;
    EXPECT_EQ(block->GetUpdateCount(), 3u) << c.name;
  }
}

TEST_F(MitsFxReplyTest, SumDigitsAreReadInEitherCase) {
  EXPECT_EQ(Feed(fx_, Frame("ABCD1234", "d7"), addr_, block_.get()), ProtoStatus::Complete);
  EXPECT_EQ(block_->GetWord(0), 0xCDAB);
  EXPECT_EQ(block_->GetWord(2), 0x3412);
  // Data digits too.
  fx_.ResetReceive();
  EXPECT_EQ(Feed(fx_, Frame("abcd1234", "57"), addr_, block_.get()), ProtoStatus::Complete);
  EXPECT_EQ(block_->GetWord(0), 0xCDAB);
}

TEST_F(MitsFxReplyTest, BadRepliesAreErrorsAndLeaveTheBlock) {
  struct Case {
    const char* name;
    std::string reply;
  };
  const Case cases[] = {
      {"wrong sum", Frame("34127856", "A8")},
      {"sum digits not hex", Frame("34127856", "GG")},
      {"one word short", Frame("3412", "CD")},
      {"one word long", Frame("341278561234", "71")},
      {"seven bytes", Frame("123", "99")},
  };
  for (const Case& c : cases) {
    ProtocolMitsFx fx;
    EXPECT_EQ(Feed(fx, c.reply, addr_, block_.get()), ProtoStatus::Error) << c.name;
  }
  ExpectUntouched();
}

TEST_F(MitsFxReplyTest, IncompleteFramesWaitForMore) {
  const std::string cases[] = {
      "",                          // nothing
      "\x15\x15",                  // noise only
      good_.substr(0, 9),          // up to ETX
      good_.substr(0, 10),         // one sum digit
      std::string("\x02\x03") + "1",  // STX directly followed by ETX is no frame
  };
  for (const std::string& c : cases) {
    ProtocolMitsFx fx;
    EXPECT_EQ(Feed(fx, c, addr_, block_.get()), ProtoStatus::MoreData) << c.size();
  }
  ExpectUntouched();
}

TEST_F(MitsFxReplyTest, NoBlockIsAnErrorOnceAFrameIsThere) {
  EXPECT_EQ(Feed(fx_, good_.substr(0, 5), addr_, nullptr), ProtoStatus::MoreData);
  EXPECT_EQ(Feed(fx_, good_.substr(5), addr_, nullptr), ProtoStatus::Error);
}

TEST_F(MitsFxReplyTest, ResetReceiveForgetsThePreviousExchange) {
  EXPECT_EQ(Feed(fx_, good_.substr(0, 6), addr_, block_.get()), ProtoStatus::MoreData);
  fx_.ResetReceive();
  EXPECT_EQ(fx_.Sink().Used(), 0u);
  // Without its STX the rest is no frame.
  EXPECT_EQ(Feed(fx_, good_.substr(6), addr_, block_.get()), ProtoStatus::MoreData);
  ExpectUntouched();
}

TEST_F(MitsFxReplyTest, OverflowEmptiesTheSink) {
  EXPECT_EQ(Feed(fx_, good_.substr(0, 6), addr_, block_.get()), ProtoStatus::MoreData);
  const std::string flood(ProtocolMitsFx::kSinkCapacity, 'F');
  EXPECT_EQ(Feed(fx_, flood, addr_, block_.get()), ProtoStatus::MoreData);
  EXPECT_EQ(fx_.Sink().Used(), 0u);
  EXPECT_EQ(Feed(fx_, good_, addr_, block_.get()), ProtoStatus::Complete);
  EXPECT_EQ(block_->GetDword(0), 0x56781234u);
}

TEST(ProtocolMitsFxTest, BitAreaRepliesFillTheBlockBitByBit) {
  ProtocolMitsFx fx;
  const TermAddr m = Parse("M[0~15]");
  auto block = NodeMemMitsFx().CreateCacheFor(m);
  ASSERT_EQ(block->GetSize(), 2);
  EXPECT_EQ(Feed(fx, Frame("0580", "D0"), m, block.get()), ProtoStatus::Complete);
  bool bit = false;
  const std::pair<uint32_t, bool> expected[] = {{0, true}, {1, false}, {2, true}, {14, false}, {15, true}};
  for (const auto& [index, value] : expected) {
    ASSERT_TRUE(block->GetBit(index, bit));
    EXPECT_EQ(bit, value) << index;
  }
}

// The reply covers whole words; the block of 20 bits holds 3 bytes and gets
// no more than that.
TEST(ProtocolMitsFxTest, LongReplyStopsAtTheBlockEnd) {
  ProtocolMitsFx fx;
  const TermAddr x = Parse("X[0~23]");
  auto block = NodeMemMitsFx().CreateCacheFor(x);
  ASSERT_EQ(block->GetSize(), 3);
  EXPECT_EQ(Feed(fx, Frame("11223344", "97"), x, block.get()), ProtoStatus::Complete);
  uint8_t bytes[4] = {};
  block->ReadBytes(0, bytes, 4);
  EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + 4), (std::vector<uint8_t>{0x11, 0x22, 0x33, 0}));

  // A block far smaller than the descriptor says.
  ProtocolMitsFx fx2;
  CacheVarMitsFx tiny(1);
  EXPECT_EQ(Feed(fx2, Frame("11223344", "97"), x, &tiny), ProtoStatus::Complete);
  EXPECT_EQ(tiny.GetSize(), 1);
  tiny.ReadBytes(0, bytes, 2);
  EXPECT_EQ(bytes[0], 0x11);
  EXPECT_EQ(bytes[1], 0);
}

// ---------------------------------------------------------------------------
// Write replies

TEST(ProtocolMitsFxTest, WriteReplies) {
  struct Case {
    const char* name;
    std::string reply;
    uint8_t status;
  };
  const Case cases[] = {
      {"ACK", "\x06", ProtoStatus::Complete},
      {"NAK", "\x15", ProtoStatus::Error},
      {"empty", "", ProtoStatus::Error},
      {"ACK last", "\x15\x06", ProtoStatus::Complete},
      {"ACK then noise", std::string("\x06") + "x", ProtoStatus::Error},
      {"frame", Frame("1234", "CD"), ProtoStatus::Error},
  };
  for (const Case& c : cases) {
    ProtocolMitsFx fx;
    EXPECT_EQ(fx.ParseWriteReply(Parse("D0"), reinterpret_cast<const uint8_t*>(c.reply.data()),
                                 static_cast<uint32_t>(c.reply.size())),
              c.status)
        << c.name;
    // The sink is not used for write replies.
    EXPECT_EQ(fx.Sink().Used(), 0u) << c.name;
  }
  ProtocolMitsFx fx;
  EXPECT_EQ(fx.ParseWriteReply(Parse("D0"), nullptr, 3), ProtoStatus::Error);
}

}  // namespace
}  // namespace NsOvrin::NsProtocol
