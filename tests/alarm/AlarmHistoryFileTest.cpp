#include <gtest/gtest.h>

#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "alarm/AlarmHistory.h"
#include "alarm/ArchiveReader.h"
#include "alarm/ArchiveWriter.h"

using namespace NsOvrin::NsAlarm;
using Bytes = std::vector<uint8_t>;

namespace {

Bytes ArchiveOf(const std::string& text) {
  ArchiveWriter ar;
  ar.WriteString(text);
  return ar.Bytes();
}

Bytes Concat(std::initializer_list<Bytes> parts) {
  Bytes out;
  for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
  return out;
}

Bytes Units(std::size_t n, uint8_t lo) {
  Bytes out;
  for (std::size_t i = 0; i < n; ++i) {
    out.push_back(lo);
    out.push_back(0);
  }
  return out;
}

// A fresh folder per test, removed with everything in it.
class HistoryFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string tmpl = (std::filesystem::temp_directory_path() / "alarmhistXXXXXX").string();
    ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    path_ = (dir_ / kAlarmHistoryFileName).string();
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  static Bytes ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  static void WriteBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir_))
      names.push_back(e.path().filename().string());
    return names;
  }

  std::filesystem::path dir_;
  std::string path_;
};

void Fill(AlarmHistoryRing& ring, int n) {
  for (int i = 1; i <= n; ++i) {
    HistData* r = ring.Append();
    r->onTime = 1000 + i;
    r->offTime = -i;
    r->sourceText = i % 2 ? "" : "段" + std::to_string(i);
    r->message = "报警 " + std::to_string(i);
  }
}

const Bytes kEmptyText = {0xFF, 0xFE, 0xFF, 0x00};

}  // namespace

TEST(ArchiveString, LengthForms) {
  EXPECT_EQ(ArchiveOf(""), kEmptyText);
  EXPECT_EQ(ArchiveOf("报警"), (Bytes{0xFF, 0xFE, 0xFF, 0x02, 0xA5, 0x62, 0x66, 0x8B}));
  // Lengths count UTF-16 units: a character outside the BMP takes two.
  EXPECT_EQ(ArchiveOf("\xF0\x9F\x98\x80"), (Bytes{0xFF, 0xFE, 0xFF, 0x02, 0x3D, 0xD8, 0x00, 0xDE}));

  const Bytes mark = {0xFF, 0xFE, 0xFF};
  struct Case {
    std::size_t n;
    Bytes length;
  };
  const std::vector<Case> cases = {
      {254, {0xFE}},
      {255, {0xFF, 0xFF, 0x00}},
      {0xFFFD, {0xFF, 0xFD, 0xFF}},
      {0xFFFE, {0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00}},
      {0x10000, {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x01, 0x00}},
  };
  for (const auto& c : cases) {
    const Bytes got = ArchiveOf(std::string(c.n, 'a'));
    EXPECT_EQ(got, Concat({mark, c.length, Units(c.n, 'a')})) << c.n;
    ArchiveReader reader(got.data(), got.size());
    std::string back;
    ASSERT_TRUE(reader.ReadString(back)) << c.n;
    EXPECT_EQ(back, std::string(c.n, 'a'));
    EXPECT_TRUE(reader.AtEnd());
  }
}

TEST(ArchiveString, MalformedUtf8IsReplacedNotDropped) {
  EXPECT_EQ(ArchiveOf("a\xFF" "b"),
            (Bytes{0xFF, 0xFE, 0xFF, 0x03, 'a', 0x00, 0xFD, 0xFF, 'b', 0x00}));
}

TEST(ArchiveString, RefusesWhatItNeverWrites) {
  const std::vector<Bytes> bad = {
      {},
      {0xFF, 0xFE},
      {0xFE, 0xFE, 0xFF, 0x00},                          // no marker
      {0xFF, 0xFF, 0xFE, 0x00},                          // wrong mark
      {0xFF, 0xFE, 0xFF, 0x02, 'a', 0x00},               // short text
      {0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF},              // a second mark as length
      {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF},  // huge length
      {0xFF, 0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
      {0xFF, 0xFE, 0xFF, 0xFF, 0x05},                    // truncated WORD length
  };
  for (const auto& b : bad) {
    ArchiveReader reader(b.data(), b.size());
    std::string out = "kept";
    EXPECT_FALSE(reader.ReadString(out)) << b.size();
    EXPECT_EQ(out, "kept");
    EXPECT_EQ(reader.Remaining(), b.size());
  }
}

TEST_F(HistoryFile, EmptyRingIsTheHeaderOnly) {
  AlarmHistoryRing ring(kAlarmHistoryCapacity, 0, false, kAlarmHistoryVersion, path_);
  ASSERT_TRUE(ring.Save());
  EXPECT_EQ(ReadBytes(path_), (Bytes{0x0C, 0x00, 0x04, 0, 0, 0, 0x20, 0, 0, 0, 0, 0, 0, 0,
                                     0x64, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(HistoryFile, RecordsOldestFirst) {
  AlarmHistoryRing ring(3, 0, false, 4, path_);
  HistData* first = ring.Append();
  first->onTime = 1;
  first->message = "x";
  HistData* r = ring.Append();
  r->onTime = 100;
  r->offTime = 160;
  r->message = "报警";
  HistData* last = ring.Append();
  last->onTime = -2;
  last->sourceText = "S";
  last->message = "y";
  ring.Append()->onTime = 7;  // overwrites the first; head 1
  ASSERT_TRUE(ring.Save());

  const Bytes header = {0x0C, 0, 4, 0, 0, 0, 32, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0, 3, 0, 0, 0};
  const Bytes rec1 = {100, 0, 0, 0, 0, 0, 0, 0, 160, 0, 0, 0, 0, 0, 0, 0,
                      0xFF, 0xFE, 0xFF, 0x00, 0xFF, 0xFE, 0xFF, 0x02, 0xA5, 0x62, 0x66, 0x8B};
  EXPECT_EQ(rec1.size(), 8u + 8u + 4u + 8u);
  const Bytes rec2 = {0xFE, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 0, 0, 0, 0,
                      0xFF, 0xFE, 0xFF, 0x01, 'S', 0, 0xFF, 0xFE, 0xFF, 0x01, 'y', 0};
  const Bytes rec3 = Concat({{7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}, kEmptyText, kEmptyText});
  EXPECT_EQ(ReadBytes(path_), Concat({header, rec1, rec2, rec3}));
}

TEST_F(HistoryFile, DestructorWritesOnlyWhenPersisting) {
  { AlarmHistoryRing ring(2, 0, false, 4, path_); }
  EXPECT_FALSE(std::filesystem::exists(path_));
  {
    AlarmHistoryRing ring(2, 0, true, 4, path_);
    Fill(ring, 1);
  }
  AlarmHistoryRing back(0, 0, false, 4, path_);
  ASSERT_TRUE(back.Load());
  EXPECT_EQ(back.Count(), 1u);
  EXPECT_EQ(back.At(0).message, "报警 1");
}

TEST_F(HistoryFile, SaveReplacesTheWholeFile) {
  WriteBytes(path_, Bytes(5000, 0xAA));
  AlarmHistoryRing ring(10, 0, false, 4, path_);
  ASSERT_TRUE(ring.Save());
  EXPECT_EQ(ReadBytes(path_).size(), 22u);
  EXPECT_EQ(Entries(), std::vector<std::string>{kAlarmHistoryFileName});
}

TEST_F(HistoryFile, FailedSaveIsReportedAndLeavesNoTemporary) {
  AlarmHistoryRing missingFolder(3, 0, false, 4, (dir_ / "no" / "alarm_history").string());
  EXPECT_FALSE(missingFolder.Save());

  // The target is a folder: the rename fails after the data was written.
  std::filesystem::create_directory(path_);
  AlarmHistoryRing ring(3, 0, false, 4, path_);
  Fill(ring, 2);
  EXPECT_FALSE(ring.Save());
  EXPECT_EQ(Entries(), std::vector<std::string>{kAlarmHistoryFileName});
  EXPECT_TRUE(std::filesystem::is_directory(path_));

  AlarmHistoryRing noPath(3, 0, false, 4, "");
  EXPECT_FALSE(noPath.Save());
}

TEST_F(HistoryFile, RoundTripKeepsTheRing) {
  AlarmHistoryRing ring(5, 0, false, 4, path_);
  Fill(ring, 7);  // wrapped: head 2
  ASSERT_TRUE(ring.Save());
  const Bytes saved = ReadBytes(path_);

  AlarmHistoryRing back(100, 0, false, 4, path_);
  ASSERT_TRUE(back.Load());
  EXPECT_EQ(back.Capacity(), 5u);
  EXPECT_EQ(back.Head(), ring.Head());
  EXPECT_EQ(back.WriteIndex(), ring.WriteIndex());
  EXPECT_EQ(back.IsFull(), ring.IsFull());
  ASSERT_EQ(back.Count(), ring.Count());
  for (uint32_t i = 0; i < ring.Count(); ++i) EXPECT_EQ(back.At(i), ring.At(i)) << i;

  // It goes on where it stopped and saves the same bytes.
  ASSERT_TRUE(back.Save());
  EXPECT_EQ(ReadBytes(path_), saved);
  back.Append()->message = "next";
  EXPECT_EQ(back.At(4).message, "next");
  EXPECT_EQ(back.At(0), ring.At(1));

  // A ring not full yet, and one of no capacity.
  AlarmHistoryRing partial(4, 0, false, 4, path_);
  Fill(partial, 2);
  ASSERT_TRUE(partial.Save());
  ASSERT_TRUE(back.Load());
  EXPECT_EQ(back.Count(), 2u);
  EXPECT_FALSE(back.IsFull());
  EXPECT_EQ(back.WriteIndex(), 2u);

  AlarmHistoryRing none(0, 0, false, 4, path_);
  ASSERT_TRUE(none.Save());
  ASSERT_TRUE(back.Load());
  EXPECT_EQ(back.Capacity(), 0u);
  EXPECT_EQ(back.Append(), nullptr);
}

TEST_F(HistoryFile, CorruptFilesAreRefusedAndChangeNothing) {
  AlarmHistoryRing ring(3, 0, false, 4, path_);
  Fill(ring, 4);
  ASSERT_TRUE(ring.Save());
  const Bytes good = ReadBytes(path_);

  auto expectRefused = [&](const Bytes& bytes, const std::string& what) {
    WriteBytes(path_, bytes);
    AlarmHistoryRing target(2, 1, false, 4, path_);
    target.Append()->message = "mine";
    EXPECT_FALSE(target.Load()) << what;
    EXPECT_EQ(target.Capacity(), 2u) << what;
    EXPECT_EQ(target.Head(), 1u) << what;
    ASSERT_EQ(target.Count(), 1u) << what;
    EXPECT_EQ(target.At(0).message, "mine") << what;
  };

  for (std::size_t n = 0; n < good.size(); ++n)
    expectRefused(Bytes(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(n)),
                  "truncated to " + std::to_string(n));
  expectRefused(Concat({good, {0}}), "trailing byte");

  auto patched = [&](std::size_t offset, uint32_t value) {
    Bytes b = good;
    for (int i = 0; i < 4; ++i) b[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    return b;
  };
  Bytes badTag = good;
  badTag[0] = 13;
  expectRefused(badTag, "tag");
  expectRefused(patched(2, 5), "version");
  expectRefused(patched(6, 24), "record size");
  expectRefused(patched(10, 3), "head at capacity");
  expectRefused(patched(18, 4), "count above capacity");
  expectRefused(patched(18, 2), "fewer records than the bytes hold");
  expectRefused(patched(14, 0x10000), "huge capacity");
  expectRefused(patched(14, 0xFFFFFFFF), "capacity 2^32-1");
  Bytes badMark = good;
  badMark[22 + 16] = 0xFE;  // first record's source text
  expectRefused(badMark, "string marker");

  AlarmHistoryRing missing(2, 0, false, 4, (dir_ / "absent").string());
  EXPECT_FALSE(missing.Load());
}

TEST(AlarmHistory, FileNextToTheProgram) {
  const std::string path = AlarmHistoryFilePath();
  EXPECT_EQ(std::filesystem::path(path).filename(), kAlarmHistoryFileName);
  EXPECT_TRUE(std::filesystem::path(path).is_absolute());
}
