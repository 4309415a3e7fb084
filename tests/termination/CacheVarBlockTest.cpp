#include "termination/CacheVarMitsFx.h"
#include "termination/CacheVarModbus.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

using namespace NsOvrin::NsTermination;

namespace {

std::unique_ptr<CacheVarBlock> MakeBlock(bool fx, uint16_t size) {
  if (fx) return std::make_unique<CacheVarMitsFx>(size);
  return std::make_unique<CacheVarModbus>(size);
}

void Fill(CacheVarBlock& block, const std::vector<uint8_t>& bytes) {
  block.Update(bytes.data(), bytes.size());
}

// Records every notification and what the block held at that moment.
class RecordingListener : public CvbListener {
 public:
  void OnBlockChanged(CacheVarBlock& block) override {
    ++calls;
    seenWord = block.GetWord(0);
    seenUpdates = block.GetUpdateCount();
    seenChanges = block.GetChangeCount();
    order.push_back(this);
    if (log) log->push_back(this);
  }
  int calls = 0;
  uint16_t seenWord = 0;
  uint32_t seenUpdates = 0;
  uint32_t seenChanges = 0;
  std::vector<RecordingListener*> order;
  std::vector<RecordingListener*>* log = nullptr;
};

}  // namespace

TEST(CacheVarBlock, NewBlockIsZeroed) {
  for (bool fx : {false, true}) {
    auto block = MakeBlock(fx, 4);
    EXPECT_EQ(block->GetSize(), 4);
    EXPECT_EQ(block->GetUpdateCount(), 2u);
    EXPECT_EQ(block->GetChangeCount(), 2u);
    EXPECT_EQ(block->GetDword(0), 0u);
    uint8_t buf[4] = {1, 1, 1, 1};
    EXPECT_TRUE(block->ReadBytes(0, buf, 4));
    EXPECT_EQ(std::memcmp(buf, "\0\0\0\0", 4), 0);
  }
  auto empty = MakeBlock(false, 0);
  EXPECT_EQ(empty->GetWord(0), 0);
  bool bit = true;
  EXPECT_FALSE(empty->GetBit(0, bit));
  char text[4] = "xyz";
  EXPECT_EQ(empty->ReadString(0, text, 4), text);
  EXPECT_EQ(text[0], '\0');
  empty->Update(nullptr, 0);
  EXPECT_EQ(empty->GetUpdateCount(), 3u);
  EXPECT_EQ(empty->GetChangeCount(), 2u);
}

TEST(CacheVarBlock, WordsAndDwordsInBothByteOrders) {
  const struct {
    bool fx;
    uint16_t offset;
    uint16_t word;
    uint32_t dword;
  } cases[] = {
      {false, 0, 0x1234, 0x56781234},
      {false, 2, 0x5678, 0x9ABC5678},
      {false, 4, 0x9ABC, 0},  // a double word needs four bytes inside
      {false, 5, 0, 0},
      {true, 0, 0x3412, 0x78563412},
      {true, 2, 0x7856, 0xBC9A7856},
      {true, 1, 0x5634, 0x9A785634},
      {true, 4, 0xBC9A, 0},
      {true, 0xFFFF, 0, 0},
  };
  for (const auto& c : cases) {
    auto block = MakeBlock(c.fx, 6);
    Fill(*block, {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC});
    EXPECT_EQ(block->GetWord(c.offset), c.word) << c.fx << " @" << c.offset;
    EXPECT_EQ(block->GetDword(c.offset), c.dword) << c.fx << " @" << c.offset;
  }
  auto small = MakeBlock(false, 4);
  Fill(*small, {1, 2, 3, 4});
  EXPECT_EQ(small->GetWord(3), 0);
  EXPECT_EQ(small->GetDword(1), 0u);
  EXPECT_EQ(small->GetDword(0), 0x03040102u);
  EXPECT_EQ(CacheVarMitsFx(0).MakeDword(1, 2, 3, 4), 0x04030201u);
  EXPECT_EQ(CacheVarModbus(0).MakeWord(0xAB, 0xCD), 0xABCD);
}

TEST(CacheVarBlock, GetBit) {
  auto block = MakeBlock(false, 4);
  Fill(*block, {0x81, 0x02, 0x00, 0x80});
  const struct {
    uint32_t index;
    bool ok;
    bool bit;
  } cases[] = {
      {0, true, true},   {1, true, false}, {7, true, true},   {8, true, false},
      {9, true, true},   {31, true, true}, {30, true, false}, {32, false, false},
      {0xFFFFFFFFu, false, false},
  };
  for (const auto& c : cases) {
    bool bit = !c.bit;
    EXPECT_EQ(block->GetBit(c.index, bit), c.ok) << c.index;
    if (c.ok) {
      EXPECT_EQ(bit, c.bit) << c.index;
    }
  }
}

TEST(CacheVarBlock, ReadBytes) {
  auto block = MakeBlock(true, 4);
  Fill(*block, {1, 2, 3, 4});
  const struct {
    uint16_t offset, length;
    std::vector<uint8_t> expected;
  } cases[] = {
      {0, 4, {1, 2, 3, 4}},
      {2, 4, {3, 4, 0, 0}},
      {1, 2, {2, 3}},
      {4, 3, {0, 0, 0}},
      {0xFFFF, 2, {0, 0}},
      {0, 6, {1, 2, 3, 4, 0, 0}},
  };
  for (const auto& c : cases) {
    std::vector<uint8_t> buf(c.length + 1, 0xEE);
    EXPECT_TRUE(block->ReadBytes(c.offset, buf.data(), c.length));
    EXPECT_EQ(std::vector<uint8_t>(buf.begin(), buf.begin() + c.length), c.expected)
        << c.offset << "+" << c.length;
    EXPECT_EQ(buf[c.length], 0xEE) << "wrote past the length";
  }
}

TEST(CacheVarBlock, ReadStringAndLine) {
  const struct {
    bool fx;
    bool line;
    std::string bytes;
    uint16_t offset, length;
    std::string expected;
  } cases[] = {
      {false, false, std::string("BADC\0\0", 6), 0, 16, "ABCD"},
      {false, false, std::string("BADC\0\0", 6), 1, 16, "ABCD"},
      {false, false, std::string("BADC\0\0", 6), 2, 16, "CD"},
      {false, false, "BADC", 0, 3, "ABC"},
      {false, false, "BADCF", 0, 16, "ABCD"},  // only whole words
      {false, false, "BADC", 4, 16, ""},
      {false, false, "BADC", 9, 16, ""},
      {true, false, std::string("BAC\0", 4), 0, 16, "AB"},  // same exchange on FX
      {false, true, "BAD\r", 0, 16, "AB"},
      {false, true, "BA\rD", 0, 16, "ABD"},
      {false, true, "B\nDC", 0, 16, ""},
      {true, true, "AB\rD", 0, 16, "AB"},
      {true, true, "AB\nD", 0, 16, "AB"},
      {true, true, "ABCD", 1, 16, "ABCD"},
      {true, true, "ABCD", 2, 1, "C"},
  };
  for (const auto& c : cases) {
    auto block = MakeBlock(c.fx, static_cast<uint16_t>(c.bytes.size()));
    Fill(*block, std::vector<uint8_t>(c.bytes.begin(), c.bytes.end()));
    std::vector<char> buf(c.length + 1, '#');
    char* end = c.line ? block->ReadLine(c.offset, buf.data(), c.length)
                       : block->ReadString(c.offset, buf.data(), c.length);
    const std::string where = (c.fx ? "fx " : "modbus ") + std::to_string(c.offset);
    ASSERT_EQ(end - buf.data(), static_cast<std::ptrdiff_t>(c.expected.size())) << where;
    EXPECT_EQ(std::string(buf.data(), end), c.expected) << where;
    if (c.expected.size() < c.length)
      EXPECT_EQ(*end, '\0') << where;
    else
      EXPECT_EQ(*end, '#') << where << ": wrote past the length";
  }
}

TEST(CacheVarBlock, UpdateCountsAndNotifies) {
  auto block = MakeBlock(false, 4);
  RecordingListener first;
  RecordingListener second;
  std::vector<RecordingListener*> log;
  first.log = second.log = &log;
  block->AddListener(&first);
  block->AddListener(&second);
  block->AddListener(&first);  // already there: no second entry

  Fill(*block, {0x12, 0x34, 0, 0});
  EXPECT_EQ(block->GetUpdateCount(), 3u);
  EXPECT_EQ(block->GetChangeCount(), 3u);
  EXPECT_EQ(log, (std::vector<RecordingListener*>{&first, &second}));
  // The listener reads the block from inside the notification and sees the
  // new bytes and the raised counters.
  EXPECT_EQ(first.seenWord, 0x1234);
  EXPECT_EQ(first.seenUpdates, 3u);
  EXPECT_EQ(first.seenChanges, 3u);

  // An identical reply raises only the update counter and calls nobody.
  Fill(*block, {0x12, 0x34, 0, 0});
  EXPECT_EQ(block->GetUpdateCount(), 4u);
  EXPECT_EQ(block->GetChangeCount(), 3u);
  EXPECT_EQ(log.size(), 2u);

  // A short reply compares and overwrites only its own bytes.
  Fill(*block, {0x12});
  EXPECT_EQ(block->GetUpdateCount(), 5u);
  EXPECT_EQ(block->GetChangeCount(), 3u);
  Fill(*block, {0x12, 0x34, 0x56});
  EXPECT_EQ(block->GetChangeCount(), 4u);
  EXPECT_EQ(block->GetDword(0), 0x56001234u);

  // A long reply is cut to the block's size.
  block->RemoveListener(&first);
  Fill(*block, {9, 9, 9, 9, 7, 7});
  EXPECT_EQ(block->GetChangeCount(), 5u);
  EXPECT_EQ(first.calls, 2);
  EXPECT_EQ(second.calls, 3);
  uint8_t buf[6];
  block->ReadBytes(0, buf, 6);
  EXPECT_EQ(std::vector<uint8_t>(buf, buf + 6), (std::vector<uint8_t>{9, 9, 9, 9, 0, 0}));

  // Removing keeps the order of the others; a re-added listener comes last.
  RecordingListener third;
  third.log = &log;
  block->AddListener(&third);
  block->AddListener(&first);
  block->AddListener(nullptr);
  block->RemoveListener(&third);
  block->RemoveListener(&third);
  log.clear();
  Fill(*block, {1});
  EXPECT_EQ(log, (std::vector<RecordingListener*>{&second, &first}));
}

TEST(CacheVarBlock, MarkedUnreadItHoldsNoDataUntilTheNextReply) {
  for (bool fx : {false, true}) {
    SCOPED_TRACE(fx);
    auto block = MakeBlock(fx, 4);
    EXPECT_FALSE(block->HasData());
    RecordingListener listener;
    block->AddListener(&listener);
    // A reply equal to the zeros of a new block is data all the same.
    Fill(*block, {0, 0, 0, 0});
    EXPECT_TRUE(block->HasData());
    Fill(*block, {0x12, 0x34, 0x56, 0x78});
    ASSERT_EQ(listener.calls, 1);

    block->MarkUnread();
    EXPECT_FALSE(block->HasData());
    EXPECT_EQ(block->GetDword(0), 0u);
    EXPECT_EQ(block->GetUpdateCount(), 4u) << "no reply came";
    EXPECT_EQ(block->GetChangeCount(), 4u);
    // The listeners hear of the zeros as of any change.
    EXPECT_EQ(listener.calls, 2);
    EXPECT_EQ(listener.seenWord, 0u);

    // Already zero: nothing to tell.
    block->MarkUnread();
    EXPECT_EQ(block->GetChangeCount(), 4u);
    EXPECT_EQ(listener.calls, 2);

    Fill(*block, {0x12, 0x34, 0x56, 0x78});
    EXPECT_TRUE(block->HasData());
    EXPECT_NE(block->GetDword(0), 0u);
    EXPECT_EQ(block->GetUpdateCount(), 5u);
    block->RemoveListener(&listener);
  }
}

TEST(CacheVarBlock, Name) {
  auto block = MakeBlock(true, 2);
  EXPECT_EQ(block->GetName(), "");
  block->SetName("数据块1");
  EXPECT_EQ(block->GetName(), "数据块1");
}

namespace {

// Checks from inside the notification that the block is never seen torn.
class ConsistencyListener : public CvbListener {
 public:
  void OnBlockChanged(CacheVarBlock& block) override {
    const uint32_t d = block.GetDword(4);
    if (d != (d & 0xFF) * 0x01010101u) torn.fetch_add(1);
    calls.fetch_add(1);
  }
  std::atomic<int> calls{0};
  std::atomic<int> torn{0};
};

class NullListener : public CvbListener {
 public:
  void OnBlockChanged(CacheVarBlock&) override {}
};

}  // namespace

TEST(CacheVarBlock, ConcurrentWriterReadersAndRegistration) {
  for (bool fx : {false, true}) {
    std::shared_ptr<CacheVarBlock> block = MakeBlock(fx, 8);
    ConsistencyListener listener;
    block->AddListener(&listener);
    constexpr int kReplies = 4000;
    std::atomic<bool> done{false};
    std::atomic<int> tornReads{0};

    std::thread writer([&] {
      uint8_t reply[8];
      for (int i = 0; i < kReplies; ++i) {
        // Every other reply repeats the previous one.
        std::memset(reply, 1 + (i / 2) % 200, sizeof(reply));
        block->Update(reply, sizeof(reply));
      }
      done = true;
    });
    auto reader = [&] {
      uint32_t lastSeen = 0;
      while (!done) {
        const uint32_t counter = block->GetUpdateCount();
        if (counter < lastSeen) tornReads.fetch_add(1);  // counters never go back
        lastSeen = counter;
        uint8_t bytes[8];
        block->ReadBytes(0, bytes, 8);
        for (uint8_t b : bytes)
          if (b != bytes[0]) tornReads.fetch_add(1);
        const uint32_t d = block->GetDword(0);
        if (d != (d & 0xFF) * 0x01010101u) tornReads.fetch_add(1);
        char text[9];
        block->ReadLine(0, text, sizeof(text));
      }
    };
    std::thread reader1(reader);
    std::thread reader2(reader);
    std::thread registrar([&] {
      NullListener other;
      while (!done) {
        block->AddListener(&other);
        block->RemoveListener(&other);
      }
    });
    writer.join();
    reader1.join();
    reader2.join();
    registrar.join();

    EXPECT_EQ(tornReads.load(), 0);
    EXPECT_EQ(listener.torn.load(), 0);
    EXPECT_EQ(block->GetUpdateCount(), 2u + kReplies);
    EXPECT_EQ(block->GetChangeCount(), 2u + kReplies / 2);
    EXPECT_EQ(listener.calls.load(), kReplies / 2);
    block->RemoveListener(&listener);
  }
}
