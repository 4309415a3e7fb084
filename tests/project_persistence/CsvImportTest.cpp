// The CSV imports of alarm lists and IO table rows keep exactly what the
// project files keep of them: saved and opened again, nothing changes.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ProjectFilesFixture.h"
#include "QlUiElem/QlPageData.h"
#include "QlUiElem/QlUiOvList.h"
#include "element_io/QlOvListIo.h"
#include "project_persistence/AlarmConfigFile.h"
#include "project_persistence/AlarmListCsv.h"
#include "project_persistence/ChannelsFile.h"
#include "project_persistence/DataBlockFile.h"
#include "project_persistence/IoTableCsv.h"
#include "project_persistence/PageFile.h"
#include "support/FailingReads.h"

namespace NsOvrin::Testing {
namespace {

using Strings = std::vector<std::string>;
using Rows = std::vector<std::pair<std::string, std::string>>;
using namespace std::string_literals;

class CsvImport : public ProjectFilesFixture {
 protected:
  void SetUp() override {
    ProjectFilesFixture::SetUp();
    LoadDevices();
  }

  static void LoadDevices() {
    ASSERT_TRUE(ReadChannelsFile(Data("project_small", "com_chns")));
    ASSERT_TRUE(ReadDataBlocksFile(Data("project_small", "acq_db")));
  }

  static Strings MessagesOf(const NsAlarm::AlarmSeg& group) {
    Strings messages;
    for (std::size_t i = 0; i < group.GetCount(); ++i) messages.push_back(group.GetBitMessage(i));
    return messages;
  }

  // The messages of the file as one group on the coils, after the alarm
  // configuration was written and read again.
  Strings AlarmsAfterReopen(const Strings& imported) {
    auto group = std::make_shared<NsAlarm::AlarmSegCvb>();
    group->BindAddress("PLC1.0x0");
    group->SetMessages(imported);
    Alarms().AddSeg(group);
    group.reset();
    const std::string file = temp_ / "alarm_config";
    EXPECT_TRUE(WriteAlarmConfigFile(file));
    ResetRuntime();
    LoadDevices();
    EXPECT_TRUE(ReadAlarmConfigFile(file));
    const auto reread = Segment(0);
    return reread ? MessagesOf(*reread) : Strings{"<no group>"};
  }

  // The rows in an IO table of a page, after the page was written and read
  // again.
  Rows RowsAfterReopen(const Rows& imported) {
    auto page = std::make_shared<NsQlUiElem::QlPageData>();
    page->name = "table";
    auto ui = std::make_shared<NsQlUiElem::QlUiOvList>();
    auto io = std::make_shared<NsQlElemIo::QlOvListIo>(ui);
    ui->table.SetRect({10.0f, 10.0f, 400.0f, 300.0f});
    for (const auto& [address, description] : imported) {
      EXPECT_TRUE(ui->AddRow(description));
      io->rowAddresses.push_back(address);
    }
    page->elements.push_back({NsQlUiElem::kElemOVTable, ui, io});
    EXPECT_TRUE(SavePageFile(temp_.Path(), page, {}));
    std::shared_ptr<NsQlUiElem::QlPageData> reread;
    if (!LoadPageFile(temp_.Path(), "table", {}, reread) || reread->elements.size() != 1) return {};
    const auto* readUi = dynamic_cast<const NsQlUiElem::QlUiOvList*>(reread->elements[0].ui.get());
    const auto* readIo = dynamic_cast<const NsQlElemIo::QlOvListIo*>(reread->elements[0].io.get());
    if (readUi == nullptr || readIo == nullptr) return {};
    Rows rows;
    for (std::size_t i = 0; i < readUi->data.descriptions.size(); ++i)
      rows.emplace_back(i < readIo->rowAddresses.size() ? readIo->rowAddresses[i] : "<none>",
                        readUi->data.descriptions[i]);
    return rows;
  }
};

// Text after a NUL byte is no part of a text the project files keep: the
// import ends each field there, and what was imported is what reopens.
TEST_F(CsvImport, AFieldEndsAtItsFirstNulByteAndReopensAsImported) {
  WriteFileText(temp_ / "alarms.csv", "序号, 警报消息\r\n"
                                      "1, hot\0 and more\r\n"s
                                      "2, \0only after\r\n"s
                                      "3, plain\r\n"
                                      "4, a\0b,c\r\n"s);
  Strings messages;
  ASSERT_TRUE(ReadAlarmListCsv(temp_ / "alarms.csv", messages));
  EXPECT_EQ(messages, (Strings{"hot", "", "plain", "a"}));
  EXPECT_EQ(AlarmsAfterReopen(messages), messages);

  WriteFileText(temp_ / "rows.csv", "地址,描述\r\n"
                                    "PLC1.0x1,stop\0 here\r\n"s
                                    "PLC1.0x2\0junk,kept\r\n"s
                                    "\0PLC1.0x3,after\r\n"s
                                    "PLC1.0x4,\0\r\n"s
                                    "bad\0,line,here\r\n"s);
  Rows rows;
  ASSERT_TRUE(ReadIoTableCsv(temp_ / "rows.csv", rows));
  EXPECT_EQ(rows, (Rows{{"PLC1.0x00001", "stop"},
                        {"PLC1.0x00002", "kept"},
                        {"", "???"},  // a line that starts with NUL reads as empty
                        {"PLC1.0x00004", ""},
                        {"", "???"}}));
  EXPECT_EQ(RowsAfterReopen(rows), rows);
}

TEST_F(CsvImport, AFileThatDoesNotOpenIsAFailureAndAnEmptyOneNoRows) {
  Strings messages{"old"};
  Rows rows{{"old", "old"}};
  EXPECT_FALSE(ReadAlarmListCsv(temp_ / "missing.csv", messages));
  EXPECT_FALSE(ReadIoTableCsv(temp_ / "missing.csv", rows));
  EXPECT_FALSE(ReadIoTableCsv("", rows));
  WriteFileText(temp_ / "empty.csv", "");
  EXPECT_TRUE(ReadIoTableCsv(temp_ / "empty.csv", rows));
  EXPECT_TRUE(rows.empty());
}

// A disk error part-way through the file fails the import: neither reader
// gives the lines it read before the error as if they were the whole file.
TEST_F(CsvImport, AReadThatFailsPartWayIsAFailureWithNothingRead) {
  std::string alarms = "序号, 警报消息\r\n";
  std::string addresses = "地址,描述\r\n";
  for (int i = 1; i < 200; ++i) {
    alarms += std::to_string(i) + ", m" + std::to_string(i) + "\r\n";
    addresses += "PLC1.0x" + std::to_string(i) + ",d" + std::to_string(i) + "\r\n";
  }
  WriteFileText(temp_ / "alarms.csv", alarms);
  WriteFileText(temp_ / "rows.csv", addresses);
  // Each reader on its file; false when it failed. Without a failing read
  // both give the 199 lines after the header.
  const std::pair<std::string, std::function<bool(std::size_t&)>> readers[] = {
      {temp_ / "alarms.csv",
       [&](std::size_t& count) {
         Strings messages{"old"};
         const bool read = ReadAlarmListCsv(temp_ / "alarms.csv", messages);
         count = messages.size();
         return read;
       }},
      {temp_ / "rows.csv",
       [&](std::size_t& count) {
         Rows rows{{"old", "old"}};
         const bool read = ReadIoTableCsv(temp_ / "rows.csv", rows);
         count = rows.size();
         return read;
       }},
  };
  for (const auto& [path, read] : readers) {
    SCOPED_TRACE(path);
    std::size_t count = 0;
    int wholeReads = 0;
    {
      FailingReads counting(path, 1 << 20);
      ASSERT_TRUE(counting.Active());
      ASSERT_TRUE(read(count));
      EXPECT_EQ(count, 199u);
      wholeReads = counting.Reads();
    }
    ASSERT_GT(wholeReads, 4);
    // The first read (not even the header), the fourth, and the one that
    // would find the end after every line was given.
    for (const int good : {0, 3, wholeReads - 1}) {
      SCOPED_TRACE(good);
      FailingReads failing(path, good);
      ASSERT_TRUE(failing.Active());
      EXPECT_FALSE(read(count));
      EXPECT_EQ(count, 0u);
      EXPECT_EQ(failing.Failures(), 1);
    }
  }
}

}  // namespace
}  // namespace NsOvrin::Testing
