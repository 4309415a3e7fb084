#include "protocol/ProtocolDataSink.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace NsOvrin::NsProtocol;

namespace {

using Bytes = std::vector<uint8_t>;

bool Feed(ProtocolDataSink& sink, const Bytes& bytes, uint32_t& begin, uint32_t& end) {
  return sink.AppendAndFindFrame(bytes.data(), static_cast<uint32_t>(bytes.size()), begin, end);
}

}  // namespace

TEST(ProtocolDataSinkNoMark, WholeBufferIsTheFrame) {
  ProtocolDataSinkNoMark sink(16);
  uint32_t begin = 99, end = 99;
  EXPECT_FALSE(sink.FindFrame(begin, end));
  EXPECT_FALSE(Feed(sink, {}, begin, end));
  EXPECT_TRUE(Feed(sink, {1, 2, 3}, begin, end));
  EXPECT_EQ(begin, 0u);
  EXPECT_EQ(end, 3u);
  EXPECT_TRUE(Feed(sink, {4, 5}, begin, end));
  EXPECT_EQ(end, 5u);
  EXPECT_EQ(Bytes(sink.Data(), sink.Data() + sink.Used()), (Bytes{1, 2, 3, 4, 5}));
}

TEST(ProtocolDataSink, OverflowEmptiesTheSinkAndFindsNothing) {
  ProtocolDataSinkNoMark sink(8);
  uint32_t begin = 0, end = 0;
  EXPECT_TRUE(Feed(sink, {1, 2, 3, 4, 5}, begin, end));
  EXPECT_FALSE(Feed(sink, {6, 7, 8, 9}, begin, end));  // 4 > 3 free
  EXPECT_EQ(sink.Used(), 0u);
  // The next reply starts from a clean sink and may fill it exactly.
  EXPECT_TRUE(Feed(sink, {9, 9, 9, 9, 9, 9, 9, 9}, begin, end));
  EXPECT_EQ(end, 8u);
  EXPECT_TRUE(Feed(sink, {}, begin, end));  // nothing more always fits
  EXPECT_FALSE(Feed(sink, {1}, begin, end));
  EXPECT_EQ(sink.Used(), 0u);
}

TEST(ProtocolDataSink, ResetForgetsAndZeroesTheStorage) {
  ProtocolDataSinkNoMark sink(4);
  uint32_t begin = 0, end = 0;
  Feed(sink, {0xAA, 0xBB, 0xCC}, begin, end);
  sink.Reset();
  EXPECT_EQ(sink.Used(), 0u);
  EXPECT_EQ(Bytes(sink.Data(), sink.Data() + sink.Capacity()), (Bytes{0, 0, 0, 0}));
  EXPECT_FALSE(sink.FindFrame(begin, end));
}

TEST(ProtocolDataSink, NullChunkWithLengthIsIgnored) {
  ProtocolDataSinkNoMark sink(4);
  uint32_t begin = 0, end = 0;
  EXPECT_FALSE(sink.AppendAndFindFrame(nullptr, 3, begin, end));
  EXPECT_EQ(sink.Used(), 0u);
}

namespace {

struct StartEndCase {
  const char* name;
  Bytes received;
  uint16_t trailing;
  bool found;
  uint32_t begin;
  uint32_t end;
};

constexpr uint8_t S = 0x02;
constexpr uint8_t E = 0x03;

}  // namespace

TEST(ProtoDataSinkStartEndExtend, FindsTheFrameOfTheLastEndByte) {
  const std::vector<StartEndCase> cases = {
      {"nothing received", {}, 2, false, 0, 0},
      {"noise only", {'x', 'y', 'z'}, 2, false, 0, 0},
      {"no end byte", {S, 'A', 'B'}, 2, false, 0, 0},
      {"end byte first", {E, 'a', 'b'}, 2, false, 0, 0},
      {"no start before the end", {'A', E, 'a', 'b'}, 2, false, 0, 0},
      {"start directly followed by end", {S, E, 'a', 'b'}, 2, false, 0, 0},
      {"one trailing byte missing", {'n', 'n', S, 'A', E, 'a'}, 2, false, 0, 0},
      {"noise then a complete frame", {'n', 'n', S, 'A', E, 'a', 'b'}, 2, true, 2, 7},
      {"bytes after the frame", {S, 'A', 'B', E, 'a', 'b', 'c'}, 2, true, 0, 6},
      {"earlier frame skipped", {S, 'A', E, 'x', 'y', S, 'B', 'C', E, 'z', 'w'}, 2, true, 5, 11},
      {"last end byte still waits", {S, 'A', E, 'x', 'y', S, 'B', E, 'z'}, 2, false, 0, 0},
      {"start byte nearest the end", {S, 'A', S, 'B', E, 'a', 'b'}, 2, true, 2, 7},
      {"no trailing bytes", {'n', S, 'A', E}, 0, true, 1, 4},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ProtoDataSinkStartEndExtend sink(64, S, E, c.trailing);
    uint32_t begin = 77, end = 77;
    EXPECT_EQ(Feed(sink, c.received, begin, end), c.found);
    if (c.found) {
      EXPECT_EQ(begin, c.begin);
      EXPECT_EQ(end, c.end);
    }
  }
}

TEST(ProtoDataSinkStartEndExtend, FrameAppearsWhenItsLastTrailingByteArrives) {
  ProtoDataSinkStartEndExtend sink(2048, S, E, 2);
  EXPECT_EQ(sink.StartByte(), S);
  EXPECT_EQ(sink.EndByte(), E);
  EXPECT_EQ(sink.TrailingCount(), 2);
  const Bytes reply = {'?', '!', S, '1', '2', E, 'C', '3'};
  uint32_t begin = 0, end = 0;
  for (size_t i = 0; i + 1 < reply.size(); ++i) {
    EXPECT_FALSE(Feed(sink, {reply[i]}, begin, end)) << i;
  }
  EXPECT_TRUE(Feed(sink, {reply.back()}, begin, end));
  EXPECT_EQ(begin, 2u);
  EXPECT_EQ(end, 8u);
  EXPECT_EQ(sink.Data()[begin], S);
}
