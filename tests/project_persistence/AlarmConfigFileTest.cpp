// The alarm configuration file: every fallback of a group, the history
// capacity, a project without the file, and the rules that fail or end a
// read.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <string>
#include <vector>

#include "ProjectFilesFixture.h"
#include "alarm/AlarmSeg.h"
#include "project_persistence/AlarmConfigFile.h"
#include "project_persistence/ChannelsFile.h"
#include "project_persistence/DataBlockFile.h"

namespace NsOvrin::Testing {
namespace {

class AlarmConfigFile : public ProjectFilesFixture {
 protected:
  // The small project's devices and data blocks; no groups.
  void SetUp() override {
    ProjectFilesFixture::SetUp();
    ASSERT_TRUE(ReadChannelsFile(Data("project_small", "com_chns")));
    ASSERT_TRUE(ReadDataBlocksFile(Data("project_small", "acq_db")));
  }

  static std::vector<std::string> Addresses() {
    std::vector<std::string> addresses;
    for (std::size_t i = 0; i < Alarms().GetSegments().size(); ++i)
      addresses.push_back(Segment(i) ? Segment(i)->GetAddress() : "<not bound to an address>");
    return addresses;
  }

  static std::vector<std::string> Messages(std::size_t i) {
    std::vector<std::string> messages;
    const auto segment = Segment(i);
    if (!segment) return messages;
    for (std::size_t bit = 0; bit < segment->GetCount(); ++bit)
      messages.push_back(segment->GetBitMessage(bit));
    return messages;
  }

  static uint32_t HistoryCount() {
    std::shared_lock lock(Alarms().GetHistoryLock());
    return Alarms().GetHistory().Count();
  }

  // Records one history entry of a segment that is not in the manager.
  static void AddHistoryRecord() {
    NsAlarm::AlarmSeg segment("source");
    segment.SetMessages({"message"});
    std::unique_lock lock(segment.GetLock());
    Alarms().AddHistory(&segment, 0);
  }

  // Reads the text as the alarm configuration file; what it left unread
  // goes to unread_.
  bool ReadText(const std::string& text) {
    WriteFileText(temp_ / "alarm_config", text);
    unread_.clear();
    return ReadAlarmConfigFile(temp_ / "alarm_config", &unread_);
  }

  std::vector<std::string> unread_;
};

TEST_F(AlarmConfigFile, MissingAndMistypedMembersKeepTheirDefaults) {
  Alarms().SetMaxHistCount(7);
  std::vector<std::string> unread;
  ASSERT_TRUE(ReadAlarmConfigFile(Data("fallbacks", "alarm_config"), &unread));

  EXPECT_EQ(HistoryCapacity(), 100u);  // 65636: the low 16 bits
  // The empty message list is a group of no bits with its address; the
  // group without a message array ends the reading, and it and the group
  // after it are named.
  EXPECT_EQ(Addresses(), (std::vector<std::string>{"PLC1.0x00003", "", "", "Nobody.D1",
                                                   "PLC1.4x00005", "FX1.D10"}));
  EXPECT_EQ(Messages(0), (std::vector<std::string>{"a", "", "b"}));
  EXPECT_EQ(Messages(1), (std::vector<std::string>{"no address"}));
  EXPECT_EQ(Messages(2), (std::vector<std::string>{"typed address"}));
  EXPECT_EQ(Messages(3), (std::vector<std::string>{"x"}));
  EXPECT_EQ(Messages(4), (std::vector<std::string>{}));
  EXPECT_EQ(Messages(5), (std::vector<std::string>{"", "", "ok"}));
  const bool kBound[] = {true, false, false, false, true, true};
  for (std::size_t i = 0; i < std::size(kBound); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(Segment(i)->IsBound(), kBound[i]);
  }
  EXPECT_EQ(unread, (std::vector<std::string>{"第7组(PLC1.0x1)", "第8组(PLC1.0x2)"}));

  ASSERT_TRUE(WriteAlarmConfigFile(temp_ / "alarm_config"));
  ExpectSameFile(temp_ / "alarm_config", Data("fallbacks_expected", "alarm_config"));
}

// A group without messages, as the editor makes it (added with an address
// and no count, or emptied by an empty import), keeps its address through
// write and read; the groups a read could not reach are named, whatever
// they hold, and only when there are such groups.
TEST_F(AlarmConfigFile, EmptyGroupsAreKeptAndUnreadGroupsNamed) {
  auto added = std::make_shared<NsAlarm::AlarmSegCvb>();
  added->BindAddress("PLC1.4x3");
  Alarms().AddSeg(added);
  auto emptied = std::make_shared<NsAlarm::AlarmSegCvb>();
  emptied->BindAddress("H3U1.M5");
  emptied->SetMessages({"a", "b"});
  emptied->SetMessages({});
  Alarms().AddSeg(emptied);
  added.reset();
  emptied.reset();
  ASSERT_TRUE(WriteAlarmConfigFile(temp_ / "alarm_config"));
  Alarms().Clear();
  std::vector<std::string> unread;
  ASSERT_TRUE(ReadAlarmConfigFile(temp_ / "alarm_config", &unread));
  EXPECT_EQ(Addresses(), (std::vector<std::string>{"PLC1.4x00003", "H3U1.M5"}));
  EXPECT_EQ(Segment(0)->GetCount(), 0u);
  EXPECT_EQ(Segment(1)->GetCount(), 0u);
  EXPECT_TRUE(unread.empty());

  const struct {
    const char* list;
    std::vector<std::string> named;
  } kCases[] = {
      {R"([{"address":"PLC1.0x1"}])", {"第1组(PLC1.0x1)"}},
      {R"([{"address":"PLC1.0x1","message-list":[]},7,{"address":"FX1.D1","message-list":["m"]}])",
       {"第2组()", "第3组(FX1.D1)"}},
      {R"([{"message-list":null,"address":"带空格 .D1"}])", {"第1组(带空格 .D1)"}},
      {R"([{"address":"PLC1.0x1","message-list":[]}])", {}},
      {"[]", {}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.list);
    Alarms().Clear();
    WriteFileText(temp_ / "alarm_config", std::string(R"({"alarm-list":)") + c.list + "}");
    std::vector<std::string> named;
    EXPECT_TRUE(ReadAlarmConfigFile(temp_ / "alarm_config", &named));
    EXPECT_EQ(named, c.named);
  }
}

// A group keeps every message bits can number, up to 65,535, whatever its
// data block holds; it is bound only when its bits fit the block, and the
// error check reports it otherwise. The messages past that are named as
// what the next save drops.
TEST_F(AlarmConfigFile, AGroupKeepsEveryMessageBitsCanNumber) {
  const struct {
    const char* address;
    std::size_t messages;
    std::size_t kept;
    bool bound;
  } kCases[] = {
      {"PLC1.0x3", 13, 13, true},         // coils 0x0 to 0x15: exactly what is left
      {"PLC1.0x3", 14, 14, false},        // one more than the block holds
      {"FX1.D10", 22 * 16, 22 * 16, true},  // words D0 to D31
      {"FX1.D10", 22 * 16 + 1, 22 * 16 + 1, false},
      {"FX1.X10", 9, 9, false},           // X0 to X17, octal: 8 left
      {"H3U1.M96", 40, 40, false},        // M0 to M127: 32 left
      {"H3U1.M100", 70000, 65535, false},
      {"PLC1.4x100", 70000, 65535, false},  // in no block
      {"NoSuch.D1", 70000, 65535, false},   // no such device
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(std::string(c.address) + " " + std::to_string(c.messages));
    Alarms().Clear();
    std::string list;
    for (std::size_t i = 0; i < c.messages; ++i)
      list += (i == 0 ? "\"m" : ",\"m") + std::to_string(i) + "\"";
    ASSERT_TRUE(ReadText(std::string(R"({"alarm-list":[{"address":")") + c.address +
                         R"(","message-list":[)" + list + "]}]}"));
    const auto segment = Segment(0);
    ASSERT_NE(segment, nullptr);
    ASSERT_EQ(segment->GetCount(), c.kept);
    EXPECT_EQ(segment->GetBitMessage(0), "m0");
    EXPECT_EQ(segment->GetBitMessage(c.kept - 1), "m" + std::to_string(c.kept - 1));
    EXPECT_EQ(segment->IsBound(), c.bound);
    if (c.kept < c.messages) {
      EXPECT_EQ(unread_, std::vector<std::string>{"第1组(" + std::string(c.address) + ")中超出65535条的消息"});
    } else {
      EXPECT_TRUE(unread_.empty());
    }
  }
}

// A group larger than its block today is written back whole and read again
// whole: shrinking a block loses no alarm text.
TEST_F(AlarmConfigFile, AGroupLargerThanItsBlockSurvivesWriteAndRead) {
  std::vector<std::string> messages;
  std::string list;
  for (int i = 0; i < 40; ++i) {
    messages.push_back("报警" + std::to_string(i));
    list += (i == 0 ? "\"" : ",\"") + messages.back() + "\"";
  }
  ASSERT_TRUE(ReadText(R"({"alarm-list":[{"address":"H3U1.M96","message-list":[)" + list +
                       "]}]}"));
  ASSERT_TRUE(WriteAlarmConfigFile(temp_ / "alarm_config"));
  Alarms().Clear();
  ASSERT_TRUE(ReadAlarmConfigFile(temp_ / "alarm_config"));
  EXPECT_EQ(Addresses(), (std::vector<std::string>{"H3U1.M96"}));
  EXPECT_EQ(Messages(0), messages);
  EXPECT_FALSE(Segment(0)->IsBound());
}

TEST_F(AlarmConfigFile, HistoryCapacityIsTakenOnlyFromAnUnsignedNumber) {
  const struct {
    const char* member;
    uint32_t capacity;
  } kCases[] = {
      {R"("max-number-of-alarm-hist":300,)", 300},
      {R"("max-number-of-alarm-hist":0,)", 0},
      {R"("max-number-of-alarm-hist":65636,)", 100},
      {R"("max-number-of-alarm-hist":65536,)", 0},
      {R"("max-number-of-alarm-hist":-1,)", 7},
      {R"("max-number-of-alarm-hist":"300",)", 7},
      {R"("max-number-of-alarm-hist":300.0,)", 7},
      {R"("max-number-of-alarm-hist":4294967296,)", 7},
      {R"("max-number-of-alarm-hist":null,)", 7},
      {"", 7},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.member);
    Alarms().SetMaxHistCount(7);
    EXPECT_TRUE(ReadText(std::string("{") + c.member + R"("alarm-list":[]})"));
    EXPECT_EQ(HistoryCapacity(), c.capacity);
  }
}

// Opening a project whose history size is the one in use keeps the alarm
// history, wherever the ring's oldest record happens to be.
TEST_F(AlarmConfigFile, SameHistoryCapacityKeepsTheHistory) {
  Alarms().SetMaxHistCount(3);
  for (int i = 0; i < 4; ++i) AddHistoryRecord();  // wrapped: the oldest is not slot 0
  ASSERT_EQ(HistoryCount(), 3u);

  EXPECT_TRUE(ReadText(R"({"max-number-of-alarm-hist":3,"alarm-list":[]})"));
  EXPECT_EQ(HistoryCapacity(), 3u);
  EXPECT_EQ(HistoryCount(), 3u);

  // Another size starts the ring afresh.
  const uint32_t changes = Alarms().GetHistoryChangeCount();
  EXPECT_TRUE(ReadText(R"({"max-number-of-alarm-hist":4,"alarm-list":[]})"));
  EXPECT_EQ(HistoryCapacity(), 4u);
  EXPECT_EQ(HistoryCount(), 0u);
  EXPECT_NE(Alarms().GetHistoryChangeCount(), changes);
}

// A project may lack the file: nothing there, or a folder there.
TEST_F(AlarmConfigFile, AbsentFileReadsAsSuccessWithNothingRead) {
  Alarms().SetMaxHistCount(9);
  std::filesystem::create_directory(temp_ / "folder");
  std::filesystem::create_symlink(temp_ / "nowhere", temp_ / "dangling");
  WriteFileText(temp_ / "plain", "x");
  const std::string kAbsent[] = {temp_ / "alarm_config", temp_ / "folder",
                                 temp_ / "missing/alarm_config", temp_ / "dangling",
                                 temp_ / "plain/alarm_config"};
  for (const std::string& path : kAbsent) {
    SCOPED_TRACE(path);
    EXPECT_TRUE(ReadAlarmConfigFile(path));
  }
  EXPECT_TRUE(Alarms().GetSegments().empty());
  EXPECT_EQ(HistoryCapacity(), 9u);
}

TEST_F(AlarmConfigFile, FilesThatFailTheRead) {
  EXPECT_FALSE(ReadAlarmConfigFile(""));
  const char* kBroken[] = {
      "",
      "{",
      R"({"alarm-list":[]}x)",
      R"([{"alarm-list":[]}])",
      "7",
      "{}",
      R"({"alarm-list":{}})",
      R"({"alarm-list":null})",
      R"({"alarm_list":[]})",
  };
  for (const char* text : kBroken) {
    SCOPED_TRACE(text);
    EXPECT_FALSE(ReadText(text));
  }
  EXPECT_TRUE(Alarms().GetSegments().empty());
}

// A failed read has still taken the capacity read before the group list.
TEST_F(AlarmConfigFile, CapacityIsTakenBeforeTheGroupListIsChecked) {
  Alarms().SetMaxHistCount(7);
  EXPECT_FALSE(ReadText(R"({"max-number-of-alarm-hist":12})"));
  EXPECT_EQ(HistoryCapacity(), 12u);
}

// Reading adds to the alarm manager; a group whose address is in no data
// block is kept unbound (its address still rewritten in canonical form).
TEST_F(AlarmConfigFile, ReadingAddsGroups) {
  ASSERT_TRUE(ReadText(R"({"alarm-list":[{"address":"PLC1.0x1","message-list":["one"]}]})"));
  ASSERT_TRUE(ReadText(R"({"alarm-list":[{"address":"PLC1.0x1","message-list":["again"]},)"
                       R"({"address":"PLC1.4x100","message-list":["outside"]}]})"));
  EXPECT_EQ(Addresses(),
            (std::vector<std::string>{"PLC1.0x00001", "PLC1.0x00001", "PLC1.4x00100"}));
  EXPECT_TRUE(Segment(1)->IsBound());
  EXPECT_FALSE(Segment(2)->IsBound());
  EXPECT_EQ(FindTask("PLC1", "coils")->GetSubscriberCount(), 2u);
}

// Segments of the manager that carry no address are written with an empty
// one.
TEST_F(AlarmConfigFile, PlainSegmentIsWrittenWithoutAddress) {
  Alarms().SetMaxHistCount(5);
  auto plain = std::make_shared<NsAlarm::AlarmSeg>();
  plain->SetMessages({"p", "q"});
  Alarms().AddSeg(plain);
  ASSERT_TRUE(WriteAlarmConfigFile(temp_ / "alarm_config"));
  EXPECT_EQ(ReadFileText(temp_ / "alarm_config"),
            R"({"max-number-of-alarm-hist":5,"alarm-list":[{"address":"","message-list":["p","q"]}]})");
}

}  // namespace
}  // namespace NsOvrin::Testing
