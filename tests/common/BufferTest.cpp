#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include "common/ByteBuffer.h"
#include "common/FixedBuffer.h"
#include "common/Log.h"

using namespace NsOvrin;
namespace fs = std::filesystem;

namespace {

struct RecordingSink : NsLog::LogSink {
  std::mutex m;
  std::vector<NsLog::LogRecord> records;
  void Write(const NsLog::LogRecord& r) override {
    std::lock_guard g(m);
    records.push_back(r);
  }
};

// Collects the error records for the test's duration.
struct ErrorLogCapture {
  NsLog::Logger& logger = NsLog::GetLogger(8);
  RecordingSink sink;
  bool was = logger.IsEnabled();
  ErrorLogCapture() {
    logger.AddSink(&sink);
    logger.SetEnabled(true);
  }
  ~ErrorLogCapture() {
    logger.RemoveSink(&sink);
    logger.SetEnabled(was);
  }
};

}  // namespace

TEST(FixedBuffer, FillsToCapacityThenDropsEverythingOnOverflow) {
  ErrorLogCapture log;
  std::vector<uint8_t> storage(1024, 0);
  FixedBuffer fb{storage.data(), 1024, 0};
  std::vector<uint8_t> chunk(1000, 0x11);
  ASSERT_TRUE(fb.Append(chunk.data(), 1000));
  const std::vector<uint8_t> more(25, 0x22);
  EXPECT_TRUE(fb.Append(more.data(), 24));
  EXPECT_EQ(fb.used, 1024u);
  EXPECT_EQ(storage[999], 0x11);
  EXPECT_EQ(storage[1000], 0x22);
  EXPECT_EQ(storage[1023], 0x22);
  EXPECT_TRUE(log.sink.records.empty());

  fb.used = 1000;
  EXPECT_FALSE(fb.Append(more.data(), 25));
  EXPECT_EQ(fb.used, 0u);
  ASSERT_EQ(log.sink.records.size(), 1u);
  EXPECT_EQ(log.sink.records[0].text, "数据长度超过缓存：25 vs 24");
  EXPECT_EQ(log.sink.records[0].level, 8);
  EXPECT_EQ(log.sink.records[0].fileName, "FixedBuffer.cpp");

  // The next reply starts from a clean buffer.
  const uint8_t reply[] = {0x02, 0x03};
  EXPECT_TRUE(fb.Append(reply, 2));
  EXPECT_EQ(fb.used, 2u);
  EXPECT_EQ(storage[0], 0x02);
}

TEST(FixedBuffer, AppendingNothingAlwaysSucceeds) {
  uint8_t storage[4] = {};
  FixedBuffer full{storage, 4, 4};
  EXPECT_TRUE(full.Append(nullptr, 0));
  EXPECT_EQ(full.used, 4u);
  FixedBuffer none;
  EXPECT_TRUE(none.Append(nullptr, 0));
  EXPECT_EQ(none.used, 0u);
}

// A capacity below zero or a fill count past the capacity must not turn into
// a huge unsigned "free space" that lets the copy run off the storage.
TEST(FixedBuffer, InconsistentCountsLeaveNoRoom) {
  ErrorLogCapture log;
  uint8_t storage[8] = {};
  const uint8_t one = 1;
  FixedBuffer negative{storage, -1, 0};
  EXPECT_FALSE(negative.Append(&one, 1));
  EXPECT_EQ(negative.used, 0u);
  FixedBuffer overfull{storage, 8, 12};
  EXPECT_FALSE(overfull.Append(&one, 1));
  EXPECT_EQ(overfull.used, 0u);
  ASSERT_EQ(log.sink.records.size(), 2u);
  EXPECT_EQ(log.sink.records[1].text, "数据长度超过缓存：1 vs 0");
}

TEST(ByteBuffer, GrowthRule) {
  struct Case {
    int32_t capacity, n, expected;
  };
  const Case cases[] = {
      {8, 10, 12},          // half again beats n
      {12, 20, 20},         // n beats 18
      {1, 5, 5},            // (1 / 2) * 3 is 0
      {0, 3, 3},
      {7, 10, 10},          // (7 / 2) * 3 is 9: truncated before the product
      {1'500'000'000, 1'500'000'001, INT32_MAX},  // half again does not fit 32 bits
      {INT32_MAX - 1, INT32_MAX, INT32_MAX},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ByteBuffer::GrownCapacity(c.capacity, c.n), c.expected) << c.capacity << " for " << c.n;
  }
}

TEST(ByteBuffer, ReserveKeepsOrDropsContents) {
  ByteBuffer b;
  EXPECT_EQ(b.Data(), nullptr);
  EXPECT_EQ(b.Reserve(0, true), nullptr);
  EXPECT_EQ(b.Capacity(), 0);

  uint8_t* p = b.Reserve(8, false);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(b.Capacity(), 8);
  std::memcpy(p, "abcdeXYZ", 8);
  b.SetSize(5);

  EXPECT_EQ(b.Reserve(8, false), p);  // already large enough: nothing changes
  EXPECT_EQ(b.Size(), 5);

  p = b.Reserve(10, true);
  EXPECT_EQ(b.Capacity(), 12);
  EXPECT_EQ(b.Size(), 5);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(p), 5), "abcde");
  p = b.Reserve(20, true);
  EXPECT_EQ(b.Capacity(), 20);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(p), 5), "abcde");
  EXPECT_EQ(b.Data(), p);

  b.Reserve(21, false);
  EXPECT_EQ(b.Capacity(), 30);
  EXPECT_EQ(b.Size(), 0);
}

TEST(ByteBuffer, SizeAndIndexStayInsideTheStorage) {
  ByteBuffer empty;
  empty[0] = 5;  // no storage: lands in scratch
  EXPECT_EQ(empty[0], 0);
  EXPECT_EQ(std::as_const(empty)[3], 0);

  ByteBuffer b;
  b.Reserve(4, false);
  for (int32_t i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(i + 1);
  b[-1] = 0xEE;
  b[4] = 0xEE;
  b[INT32_MAX] = 0xEE;
  EXPECT_EQ(b[4], 0);
  EXPECT_EQ(std::as_const(b)[-1], 0);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(b.Data()), 4), "\x01\x02\x03\x04");

  b.SetSize(-3);
  EXPECT_EQ(b.Size(), 0);
  b.SetSize(100);
  EXPECT_EQ(b.Size(), 4);
  b.SetSize(2);
  EXPECT_EQ(b.Size(), 2);
}

TEST(ByteBuffer, MoveLeavesAnEmptyBuffer) {
  ByteBuffer a;
  a.Reserve(6, false);
  std::memcpy(a.Data(), "hello", 6);
  a.SetSize(5);
  ByteBuffer b(std::move(a));
  EXPECT_EQ(b.Size(), 5);
  EXPECT_EQ(b.Capacity(), 6);
  EXPECT_STREQ(reinterpret_cast<const char*>(b.Data()), "hello");
  EXPECT_EQ(a.Capacity(), 0);  // NOLINT(bugprone-use-after-move): the moved-from state is the point
  EXPECT_EQ(a.Size(), 0);
  EXPECT_EQ(a.Data(), nullptr);
  a[0] = 1;  // safe: no storage behind it

  ByteBuffer c;
  c.Reserve(100, false);
  c = std::move(b);
  EXPECT_EQ(c.Capacity(), 6);
  EXPECT_EQ(b.Capacity(), 0);
}

class ReadWholeFileTest : public testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "ovrin-buffer-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  std::string Write(const std::string& name, const std::string& contents) {
    const fs::path p = dir_ / fs::u8path(name);
    std::ofstream(p, std::ios::binary) << contents;
    return p.string();
  }
  // A file of the given size that occupies no disk.
  std::string Sparse(const std::string& name, off_t size) {
    const std::string p = (dir_ / name).string();
    const int fd = ::open(p.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    EXPECT_GE(fd, 0);
    EXPECT_EQ(::ftruncate(fd, size), 0);
    ::close(fd);
    return p;
  }
  fs::path dir_;
};

TEST_F(ReadWholeFileTest, LoadsContentsFollowedByTwoNuls) {
  const char raw[] = "{\"名称\":\"页面1\"}\0\r\n\xFF";
  const std::string contents(raw, sizeof raw - 1);
  const std::string path = Write("项目.json", contents);
  ByteBuffer b;
  ASSERT_TRUE(ReadWholeFile(path, b));
  ASSERT_EQ(b.Size(), static_cast<int32_t>(contents.size()));
  EXPECT_GE(b.Capacity(), b.Size() + 2);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(b.Data()), contents.size()), contents);
  EXPECT_EQ(b[b.Size()], 0);
  EXPECT_EQ(b[b.Size() + 1], 0);
}

TEST_F(ReadWholeFileTest, EmptyFileGivesSizeZeroAndTwoNuls) {
  ByteBuffer b;
  ASSERT_TRUE(ReadWholeFile(Write("empty", ""), b));
  EXPECT_EQ(b.Size(), 0);
  ASSERT_EQ(b.Capacity(), 2);
  EXPECT_EQ(b.Data()[0], 0);
  EXPECT_EQ(b.Data()[1], 0);
}

// A buffer already large enough is reused; its old size must not survive.
TEST_F(ReadWholeFileTest, ReusedBufferTakesTheNewSize) {
  ByteBuffer b;
  ASSERT_TRUE(ReadWholeFile(Write("long", std::string(100, 'x')), b));
  ASSERT_TRUE(ReadWholeFile(Write("short", "abc"), b));
  EXPECT_EQ(b.Size(), 3);
  EXPECT_STREQ(reinterpret_cast<const char*>(b.Data()), "abc");
}

TEST_F(ReadWholeFileTest, RefusesWhatIsNotAReadableRegularFile) {
  const std::string fifo = (dir_ / "fifo").string();
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string real = Write("a", "abc");
  struct Case {
    const char* what;
    std::string path;
  };
  const Case cases[] = {
      {"missing", (dir_ / "missing.json").string()},
      {"empty path", ""},
      {"directory", dir_.string()},
      {"fifo without a writer", fifo},  // must neither hang nor succeed
      {"embedded NUL naming another file", real + std::string("\0.bak", 5)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ByteBuffer b;
    b.Reserve(4, false);
    std::memcpy(b.Data(), "old", 4);
    b.SetSize(3);
    EXPECT_FALSE(ReadWholeFile(c.path, b));
    EXPECT_EQ(b.Size(), 3);  // refused before anything was read
  }
}

// sysfs attributes announce 4096 bytes and deliver a few: a short read is a
// failure, and the buffer holds no stale size afterwards.
TEST_F(ReadWholeFileTest, ShortReadFails) {
  const char* path = "/sys/devices/system/cpu/online";
  struct stat st {};
  if (::stat(path, &st) != 0 || st.st_size <= 64) GTEST_SKIP() << "no sysfs attribute to read short";
  ByteBuffer b;
  ASSERT_TRUE(ReadWholeFile(Write("long", std::string(5000, 'x')), b));
  EXPECT_FALSE(ReadWholeFile(path, b));
  EXPECT_EQ(b.Size(), 0);
}

// Sizes whose count plus the two NULs no longer fit 32 bits are refused
// without allocating anything.
TEST_F(ReadWholeFileTest, RefusesFilesOfTwoGibibytesOrMore) {
  for (off_t size : {off_t{INT32_MAX} - 1, off_t{INT32_MAX} + 1, off_t{5} << 30}) {
    SCOPED_TRACE(size);
    ByteBuffer b;
    EXPECT_FALSE(ReadWholeFile(Sparse("big", size), b));
    EXPECT_EQ(b.Size(), 0);
    EXPECT_EQ(b.Capacity(), 0);
  }
}
