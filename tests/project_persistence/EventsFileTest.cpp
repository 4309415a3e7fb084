// The events file: the bytes written for a list of events, a hand-written
// file with every fallback read and written back, the rules that fail or
// end a read, and a project without the file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "events/QlBitVarEvent.h"
#include "events/QlIntVarEvent.h"
#include "project_persistence/EventsFile.h"

namespace NsOvrin::Testing {
namespace {

using NsQlEvent::QlBitVarEvent;
using NsQlEvent::QlIntVarEvent;
using NsQlEvent::QlVarEventBase;
using Strings = std::vector<std::string>;

std::string Data(const std::string& name) { return TestDataPath("events/" + name); }

std::shared_ptr<QlBitVarEvent> BitEvent(const std::string& address, const Strings& rising,
                                        const Strings& falling, const Strings& whileOn) {
  auto event = std::make_shared<QlBitVarEvent>(address);
  event->GetFunctionTexts(0) = rising;
  event->GetFunctionTexts(1) = falling;
  event->GetFunctionTexts(2) = whileOn;
  return event;
}

// What the reader made of one event; an integer event's lines are in
// rising.
struct Read {
  std::string address;
  Strings rising, falling, whileOn;
  bool integer = false;
};

void ExpectEvents(const VarEventList& events, const std::vector<Read>& expected) {
  ASSERT_EQ(events.size(), expected.size());
  for (std::size_t i = 0; i < events.size(); ++i) {
    SCOPED_TRACE(i);
    if (expected[i].integer) {
      const auto* event = dynamic_cast<const QlIntVarEvent*>(events[i].get());
      ASSERT_NE(event, nullptr);
      EXPECT_EQ(event->GetAddress(), expected[i].address);
      EXPECT_EQ(event->GetFunctionTextsConst(0), expected[i].rising);
      continue;
    }
    const auto* event = dynamic_cast<const QlBitVarEvent*>(events[i].get());
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(event->GetAddress(), expected[i].address);
    EXPECT_EQ(event->GetFunctionTextsConst(0), expected[i].rising);
    EXPECT_EQ(event->GetFunctionTextsConst(1), expected[i].falling);
    EXPECT_EQ(event->GetFunctionTextsConst(2), expected[i].whileOn);
    EXPECT_TRUE(event->GetIo().sameAsRead);
    EXPECT_EQ(event->GetIo().buttonType, NsQlElemIo::kButtonDisplayOnly);
  }
}

class EventsFile : public ::testing::Test {
 protected:
  // The file written from events holds exactly the expected file's bytes.
  void ExpectWritten(const VarEventList& events, const std::string& expected) {
    const std::string path = temp_ / "events";
    ASSERT_TRUE(WriteEventsFile(path, events));
    const std::string want = ReadFileText(Data(expected));
    ASSERT_FALSE(want.empty()) << expected;
    EXPECT_EQ(ReadFileText(path), want);
  }

  // The events read from a file holding text; what it left unread goes to
  // unread_.
  VarEventList ReadText(const std::string& text, bool expectedResult = true) {
    const std::string path = temp_ / "events";
    WriteFileText(path, text);
    VarEventList events;
    unread_.clear();
    EXPECT_EQ(ReadEventsFile(path, events, &unread_), expectedResult) << text;
    return events;
  }

  TempFolder temp_;
  Strings unread_;
};

TEST_F(EventsFile, WritesOneCompactLine) {
  ExpectWritten({BitEvent("PLC1.M0", {"SET PLC1.Y0"}, {}, {})}, "one_bit_event_expected");

  // Empty and escaped lines, text that is not UTF-8, an integer event and a
  // hole in the list.
  auto integer = std::make_shared<QlIntVarEvent>();
  integer->GetFunctionTexts(0) = {"MOV 1 D2", ""};
  ExpectWritten({BitEvent("PLC1.0x1", {}, {"", "短消息 \"a\\b\"", "\xFF bad", "tab\there"},
                          {"退出登录"}),
                 integer, nullptr, BitEvent("\xC3(", {"SET PLC1.0x2"}, {}, {})},
                "mixed_expected");

  ASSERT_TRUE(WriteEventsFile(temp_ / "none", {}));
  EXPECT_EQ(ReadFileText(temp_ / "none"), "{\"var-list\":[]}");
}

TEST_F(EventsFile, HandWrittenFileReadWithEveryFallbackAndWrittenBack) {
  VarEventList events;
  ASSERT_TRUE(ReadEventsFile(Data("fallbacks"), events, &unread_));
  // Lines past a value that is no text, in a fourth item, under a key the
  // trigger does not have; the event that ends the reading and the one
  // after it.
  EXPECT_EQ(unread_, (Strings{"第1个(PLC1.M0)中的部分指令", "第2个中的部分指令",
                              "第6个(PLC1.M3)中的部分指令", "第7个(PLC1.M4)中的部分指令",
                              "第9个(PLC1.M6)", "第10个(PLC1.M7)"}));
  ExpectEvents(events, {
      {"PLC1.M0", {"SET PLC1.Y0", "  set   y1  ", "短消息 “带\"引号\\”"}, {"RST PLC1.Y0"},
       {"xyz 不是指令"}},
      {"", {}, {}, {"页面跳到 \"页面1\""}},
      {"PLC1.D0", {"MOV 1 D2"}, {}, {}, true},
      {"PLC1.M1", {"SET M2"}, {}, {}},
      {"PLC1.M2", {}, {}, {}},
      // Type 65537 is 1 in its low 16 bits; its list is not under its trigger.
      {"PLC1.M3", {}, {}, {}, true},
      {"PLC1.M4", {}, {"RST M4"}, {}},
      {"PLC1.M5", {}, {}, {"短消息 \"on\""}},
  });
  for (const auto& event : events)
    for (std::size_t i = 0; i < event->GetTriggerCount(); ++i)
      if (const auto* functions = event->GetFunctions(i))
        EXPECT_TRUE(functions->functions.empty()) << "nothing is compiled on reading";

  ExpectWritten(events, "fallbacks_expected");

  // The written file reads back whole to the same events and the same bytes.
  VarEventList again;
  Strings unreadAgain;
  ASSERT_TRUE(ReadEventsFile(temp_ / "events", again, &unreadAgain));
  EXPECT_TRUE(unreadAgain.empty());
  ExpectWritten(again, "fallbacks_expected");
}

TEST_F(EventsFile, IntegerEventsAreReadBackWithTheirAddressAndLines) {
  auto integer = std::make_shared<QlIntVarEvent>("PLC1.4x00005");
  integer->GetFunctionTexts(0) = {"MOV 1 D2", "", "SET PLC1.0x1"};
  const VarEventList written = {integer, BitEvent("PLC1.0x3", {"SET PLC1.0x4"}, {}, {})};
  ASSERT_TRUE(WriteEventsFile(temp_ / "events", written));
  EXPECT_EQ(ReadFileText(temp_ / "events"),
            R"({"var-list":[{"address":"PLC1.4x00005","var-event-type":1,"event-list":[)"
            R"({"数值变更":["MOV 1 D2","","SET PLC1.0x1"]}]},)"
            R"({"address":"PLC1.0x3","var-event-type":0,"event-list":[{"上升沿":["SET PLC1.0x4"]},)"
            R"({"下降沿":[]},{"==1":[]}]}]})");

  VarEventList events = {BitEvent("kept", {}, {}, {})};
  ASSERT_TRUE(ReadEventsFile(temp_ / "events", events));
  ASSERT_EQ(events.size(), 3u);
  const auto* read = dynamic_cast<const QlIntVarEvent*>(events[1].get());
  ASSERT_NE(read, nullptr);
  EXPECT_EQ(read->GetAddress(), "PLC1.4x00005");
  EXPECT_EQ(read->GetFunctionTextsConst(0), (Strings{"MOV 1 D2", "SET PLC1.0x1"}));
  EXPECT_EQ(events[2]->GetAddress(), "PLC1.0x3");
  EXPECT_EQ(events[2]->GetEventType(), NsQlEvent::kBitEvent);
}

TEST_F(EventsFile, FilesOfTheOlderFormReadAsTheyAlwaysDid) {
  // Integer events were written without an address; they are skipped, and
  // so is an event of a type that does not exist.
  const VarEventList events = ReadText(
      R"({"var-list":[{"address":"","var-event-type":1,"event-list":[{"数值变更":["MOV 1 D2"]}]},)"
      R"({"address":"PLC1.M0","var-event-type":0,"event-list":[{"上升沿":["SET PLC1.Y0"]}]},)"
      R"({"var-event-type":1,"event-list":[{"数值变更":["RST PLC1.Y0"]}]},)"
      R"({"address":"PLC1.D0","var-event-type":2,"event-list":[]},)"
      R"({"address":"PLC1.M1","event-list":[]}]})");
  ExpectEvents(events, {{"PLC1.M0", {"SET PLC1.Y0"}, {}, {}}, {"PLC1.M1", {}, {}, {}}});
  // The next save drops them: the user hears which.
  EXPECT_EQ(unread_, (Strings{"第1个", "第3个", "第4个(PLC1.D0)"}));

  // The file in the form the older program wrote, with an integer event.
  VarEventList mixed;
  ASSERT_TRUE(ReadEventsFile(Data("mixed_expected"), mixed));
  ASSERT_EQ(mixed.size(), 2u);
  for (const auto& event : mixed) EXPECT_EQ(event->GetEventType(), NsQlEvent::kBitEvent);
  EXPECT_EQ(mixed[0]->GetAddress(), "PLC1.0x1");
}

// The reading ends at an event without a trigger array; that event and
// every later one are named, by place and address, as what the next save
// drops, and so is an entry the reading skips.
TEST_F(EventsFile, AnEventWithoutATriggerArrayEndsTheReading) {
  struct Case {
    std::string text;
    Strings addresses;
    Strings unread;
  };
  const Case cases[] = {
      {R"({"var-list":[{"address":"A","event-list":[]},{"address":"B"},)"
       R"({"address":"C","event-list":[]}]})",
       {"A"},
       {"第2个(B)", "第3个(C)"}},
      {R"({"var-list":[{"address":"A","event-list":[]},{"address":"B","event-list":{}},)"
       R"({"address":"C","event-list":[]}]})",
       {"A"},
       {"第2个(B)", "第3个(C)"}},
      {R"({"var-list":[{"address":"A","event-list":[]},"B",{"address":"C","event-list":[]}]})",
       {"A"},
       {"第2个", "第3个(C)"}},
      {R"({"var-list":[null,{"address":"C","event-list":[]}]})", {}, {"第1个", "第2个(C)"}},
      // An integer event of the older form is skipped and needs no trigger
      // array; one with an address is read like a bit event.
      {R"({"var-list":[{"address":"","var-event-type":1},{"address":"B","event-list":[]}]})",
       {"B"},
       {"第1个"}},
      {R"({"var-list":[{"address":"B","event-list":[]},{"address":"A","var-event-type":1},)"
       R"({"address":"C","event-list":[]}]})",
       {"B"},
       {"第2个(A)", "第3个(C)"}},
      {R"({"var-list":[]})", {}, {}},
  };
  for (const Case& c : cases) {
    const VarEventList events = ReadText(c.text);
    Strings addresses;
    for (const auto& event : events) addresses.push_back(event->GetAddress());
    EXPECT_EQ(addresses, c.addresses) << c.text;
    EXPECT_EQ(unread_, c.unread) << c.text;
  }
}

TEST_F(EventsFile, FilesThatFailTheRead) {
  const std::string texts[] = {
      "",
      "not json",
      R"({"var-list":[{"address":"A","event-list":[]}])",
      R"({"var-list":[{"address":"A","event-list":[]}]} trailing)",
      R"([{"var-list":[]}])",
      R"("var-list")",
      "{}",
      R"({"var-list":{}})",
      R"({"var-list":null})",
      R"({"Var-List":[]})",
  };
  for (const std::string& text : texts) EXPECT_TRUE(ReadText(text, false).empty()) << text;
}

TEST_F(EventsFile, AProjectWithoutTheFileHasNoEvents) {
  VarEventList events = {BitEvent("kept", {}, {}, {})};
  EXPECT_TRUE(ReadEventsFile(temp_ / "missing", events));
  EXPECT_TRUE(ReadEventsFile(temp_ / "missing/events", events));
  std::filesystem::create_directory(temp_ / "folder");
  EXPECT_TRUE(ReadEventsFile(temp_ / "folder", events));
  ASSERT_EQ(::symlink((temp_ / "nowhere").c_str(), (temp_ / "dangling").c_str()), 0);
  EXPECT_TRUE(ReadEventsFile(temp_ / "dangling", events));
  ExpectEvents(events, {{"kept", {}, {}, {}}});

  EXPECT_FALSE(ReadEventsFile("", events));
  EXPECT_EQ(events.size(), 1u);
}

TEST_F(EventsFile, AFileThatCannotBeReadFails) {
  // Something is there, but no file can be reached through it.
  ASSERT_EQ(::symlink((temp_ / "loop2").c_str(), (temp_ / "loop1").c_str()), 0);
  ASSERT_EQ(::symlink((temp_ / "loop1").c_str(), (temp_ / "loop2").c_str()), 0);
  VarEventList looped;
  EXPECT_FALSE(ReadEventsFile(temp_ / "loop1", looped));
  EXPECT_TRUE(looped.empty());

  if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
  const std::string path = temp_ / "events";
  WriteFileText(path, R"({"var-list":[{"address":"A","event-list":[]}]})");
  ASSERT_EQ(::chmod(path.c_str(), 0), 0);
  VarEventList events;
  EXPECT_FALSE(ReadEventsFile(path, events));
  EXPECT_TRUE(events.empty());
}

TEST_F(EventsFile, FailedWritesAreReportedAndLeaveTheOldFile) {
  const VarEventList events = {BitEvent("PLC1.M0", {"SET PLC1.Y0"}, {}, {})};
  EXPECT_FALSE(WriteEventsFile("", events));
  EXPECT_FALSE(WriteEventsFile(temp_ / "missing/events", events));
  EXPECT_FALSE(Exists(temp_ / "missing"));

  // A folder where the file should be stays a folder.
  std::filesystem::create_directory(temp_ / "events");
  WriteFileText(temp_ / "events/inside", "kept");
  EXPECT_FALSE(WriteEventsFile(temp_ / "events", events));
  EXPECT_EQ(ReadFileText(temp_ / "events/inside"), "kept");
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(temp_.Path()),
                          std::filesystem::directory_iterator()),
            1)
      << "no temporary file is left behind";
}

}  // namespace
}  // namespace NsOvrin::Testing
