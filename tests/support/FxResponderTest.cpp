#include "support/FxResponder.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "protocol/ProtocolMitsFx.h"
#include "termination/NodeMemMitsFx.h"

namespace NsOvrin::NsTestSupport {
namespace {

using NsProtocol::ProtocolMitsFx;
namespace ProtoStatus = NsProtocol::ProtoStatus;
using NsTermination::CacheVarBlock;
using NsTermination::NodeMemMitsFx;
using NsTermination::TermAddr;

TermAddr Parse(const std::string& text) {
  TermAddr addr;
  EXPECT_EQ(NodeMemMitsFx().ParseAddress(text, addr), NsTermination::kAddrOk) << text;
  return addr;
}

class FxResponderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(responder_.Start());
    fd_ = open(responder_.SlavePath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_GE(fd_, 0) << responder_.SlavePath();
  }

  void TearDown() override {
    if (fd_ >= 0) close(fd_);
    responder_.Stop();
  }

  void Send(const std::vector<uint8_t>& bytes) {
    ASSERT_EQ(write(fd_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }

  // Feeds every chunk that arrives to parse until it decides (0 or 2) or the
  // wait runs out (1). chunks counts the reads.
  template <class ParseFn>
  uint8_t Receive(ParseFn parse, int waitMs = 2000, int* chunks = nullptr) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
    uint8_t status = ProtoStatus::MoreData;
    while (status == ProtoStatus::MoreData) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                            deadline - std::chrono::steady_clock::now())
                            .count();
      if (left <= 0) break;
      pollfd p{fd_, POLLIN, 0};
      if (poll(&p, 1, static_cast<int>(left)) <= 0) break;
      uint8_t buf[256];
      const ssize_t n = read(fd_, buf, sizeof(buf));
      if (n <= 0) break;
      if (chunks) ++*chunks;
      status = parse(buf, static_cast<uint32_t>(n));
    }
    return status;
  }

  std::vector<uint8_t> ReadRequest(const TermAddr& addr) {
    std::vector<uint8_t> buf(fx_.GetReadRequestSize(addr));
    uint32_t length = 0;
    EXPECT_EQ(fx_.BuildReadRequest(addr, buf.data(), static_cast<uint32_t>(buf.size()), length),
              ProtoStatus::Built);
    buf.resize(length);
    return buf;
  }

  // One read exchange into a fresh block of the descriptor.
  uint8_t Read(const TermAddr& addr, std::shared_ptr<CacheVarBlock>& block, int* chunks = nullptr) {
    block = NodeMemMitsFx().CreateCacheFor(addr);
    fx_.ResetReceive();
    Send(ReadRequest(addr));
    return Receive(
        [&](const uint8_t* d, uint32_t n) { return fx_.ParseReadReply(d, n, addr, block.get()); },
        2000, chunks);
  }

  uint8_t Write(const TermAddr& addr, uint32_t type, const void* value) {
    std::vector<uint8_t> buf(fx_.GetWriteRequestSize(type, addr.count));
    uint32_t length = 0;
    EXPECT_EQ(fx_.BuildWriteRequest(addr, type, value, buf.data(), static_cast<uint32_t>(buf.size()),
                                    length),
              ProtoStatus::Built);
    buf.resize(length);
    Send(buf);
    return Receive([&](const uint8_t* d, uint32_t n) { return fx_.ParseWriteReply(addr, d, n); });
  }

  FxResponder responder_;
  ProtocolMitsFx fx_;
  int fd_ = -1;
};

TEST_F(FxResponderTest, ServesWordReadsLittleEndian) {
  responder_.SetWord('D', 100, 0x1234);
  responder_.SetWord('D', 101, 0x5678);
  responder_.SetWord('R', 10, 0xBEEF);
  std::shared_ptr<CacheVarBlock> block;

  ASSERT_EQ(Read(Parse("D[100~101]"), block), ProtoStatus::Complete);
  EXPECT_EQ(block->GetDword(0), 0x56781234u);
  EXPECT_EQ(responder_.LastFrame(), std::string("\x02" "E0040C804\x03" "EB"));

  ASSERT_EQ(Read(Parse("R10"), block), ProtoStatus::Complete);
  EXPECT_EQ(block->GetWord(0), 0xBEEF);
  EXPECT_EQ(responder_.FrameCount(), 2u);
}

TEST_F(FxResponderTest, ServesBitAreas) {
  struct Case {
    char area;
    uint32_t number;  // as written
    const char* block;
    uint32_t bit;     // index inside the block
  };
  const Case cases[] = {
      {'M', 15, "M[0~15]", 15}, {'M', 100, "M[96~111]", 4}, {'S', 8, "S[8~23]", 0},
      {'X', 17, "X[0~17]", 15}, {'X', 23, "X[0~23]", 19},   {'Y', 10, "Y[10~17]", 0},
  };
  for (const Case& c : cases) {
    responder_.SetBit(c.area, c.number, true);
    std::shared_ptr<CacheVarBlock> block;
    ASSERT_EQ(Read(Parse(c.block), block), ProtoStatus::Complete) << c.block;
    for (uint32_t i = 0; i < 8u * block->GetSize(); ++i) {
      bool bit = false;
      ASSERT_TRUE(block->GetBit(i, bit));
      EXPECT_EQ(bit, i == c.bit) << c.block << " bit " << i;
    }
    responder_.SetBit(c.area, c.number, false);
  }
}

TEST_F(FxResponderTest, WritesAndForcesReachTheMemory) {
  const uint16_t word = 0xBEEF;
  EXPECT_EQ(Write(Parse("D0"), 4, &word), ProtoStatus::Complete);
  EXPECT_EQ(responder_.GetWord('D', 0), 0xBEEF);

  const uint16_t words[2] = {0x0102, 0x0304};
  EXPECT_EQ(Write(Parse("R[7~8]"), 2, words), ProtoStatus::Complete);
  EXPECT_EQ(responder_.GetWord('R', 7), 0x0102);
  EXPECT_EQ(responder_.GetWord('R', 8), 0x0304);

  const uint32_t dword = 0x12345678;
  EXPECT_EQ(Write(Parse("D20"), 16, &dword), ProtoStatus::Complete);
  EXPECT_EQ(responder_.GetWord('D', 20), 0x5678);
  EXPECT_EQ(responder_.GetWord('D', 21), 0x1234);

  const std::pair<char, uint32_t> bits[] = {{'M', 100}, {'S', 5}, {'Y', 17}};
  for (const auto& [area, number] : bits) {
    const std::string text = std::string(1, area) + std::to_string(number);
    const uint8_t on = 1, off = 0;
    EXPECT_EQ(Write(Parse(text), 1, &on), ProtoStatus::Complete) << text;
    EXPECT_TRUE(responder_.GetBit(area, number)) << text;
    EXPECT_EQ(Write(Parse(text), 1, &off), ProtoStatus::Complete) << text;
    EXPECT_FALSE(responder_.GetBit(area, number)) << text;
  }
}

TEST_F(FxResponderTest, RefusesBadFramesWithNak) {
  auto writeReply = [&](const uint8_t* d, uint32_t n) { return fx_.ParseWriteReply(TermAddr{}, d, n); };
  // Right layout, wrong sum.
  const std::string badSum = "\x02" "E70040\x03" "44";
  Send(std::vector<uint8_t>(badSum.begin(), badSum.end()));
  EXPECT_EQ(Receive(writeReply), ProtoStatus::Error);

  // A word write outside D: the codec builds it, the PLC refuses it.
  TermAddr beyond;
  beyond.prefix = "D";
  beyond.start = 8000;
  beyond.count = 1;
  const uint16_t word = 1;
  EXPECT_EQ(Write(beyond, 4, &word), ProtoStatus::Error);
}

TEST_F(FxResponderTest, SkipsNoiseBeforeARequest) {
  responder_.SetWord('D', 0, 0x4242);
  std::vector<uint8_t> request{0x15, 'z', 0x03};
  const std::vector<uint8_t> read = ReadRequest(Parse("D0"));
  request.insert(request.end(), read.begin(), read.end());
  auto block = NodeMemMitsFx().CreateCacheFor(Parse("D0"));
  fx_.ResetReceive();
  Send(request);
  EXPECT_EQ(Receive([&](const uint8_t* d, uint32_t n) {
              return fx_.ParseReadReply(d, n, Parse("D0"), block.get());
            }),
            ProtoStatus::Complete);
  EXPECT_EQ(block->GetWord(0), 0x4242);
}

TEST_F(FxResponderTest, HooksCorruptSilenceAndSplit) {
  responder_.SetWord('D', 5, 0x1111);
  std::shared_ptr<CacheVarBlock> block;

  responder_.SetCorruptSum(true);
  EXPECT_EQ(Read(Parse("D5"), block), ProtoStatus::Error);
  EXPECT_EQ(block->GetUpdateCount(), CacheVarBlock::kInitialCount);
  responder_.SetCorruptSum(false);

  responder_.SetSilent(true);
  block = NodeMemMitsFx().CreateCacheFor(Parse("D5"));
  fx_.ResetReceive();
  Send(ReadRequest(Parse("D5")));
  EXPECT_EQ(Receive([&](const uint8_t* d, uint32_t n) {
              return fx_.ParseReadReply(d, n, Parse("D5"), block.get());
            }, 300),
            ProtoStatus::MoreData);
  EXPECT_EQ(responder_.FrameCount(), 2u);  // heard, not answered
  responder_.SetSilent(false);

  // 8-byte reply in 3-byte pieces, with gaps long enough to be read apart.
  responder_.SetChunking(3, 30);
  int chunks = 0;
  EXPECT_EQ(Read(Parse("D5"), block, &chunks), ProtoStatus::Complete);
  EXPECT_EQ(block->GetWord(0), 0x1111);
  EXPECT_GE(chunks, 2);
}

TEST(FxResponderLifecycleTest, StopsCleanly) {
  FxResponder responder;
  EXPECT_TRUE(responder.SlavePath().empty());
  ASSERT_TRUE(responder.Start());
  EXPECT_FALSE(responder.Start());  // already serving
  const int fd = open(responder.SlavePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  // A request cut short is simply pending when the responder stops.
  const char partial[] = "\x02" "E00";
  ASSERT_EQ(write(fd, partial, 4), 4);
  responder.Stop();
  responder.Stop();
  close(fd);
}

TEST(FxResponderLifecycleTest, StopsInsideASplitReply) {
  FxResponder responder;
  ASSERT_TRUE(responder.Start());
  responder.SetChunking(1, 10000);
  const int fd = open(responder.SlavePath().c_str(), O_RDWR | O_NOCTTY);
  ASSERT_GE(fd, 0);
  const std::string request = "\x02" "E00400002\x03" "CE";
  ASSERT_EQ(write(fd, request.data(), request.size()), static_cast<ssize_t>(request.size()));
  pollfd p{fd, POLLIN, 0};
  ASSERT_EQ(poll(&p, 1, 2000), 1);  // the first piece is out; the next waits 10 s
  responder.Stop();                  // does not wait for it
  close(fd);
}

}  // namespace
}  // namespace NsOvrin::NsTestSupport
