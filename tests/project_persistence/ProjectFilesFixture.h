#pragma once
// The channel database and the alarm manager of the process emptied before
// and after each test, the hand-written project folders of the data folder,
// and a byte-exact comparison of a written file with its expected text.
#include <gtest/gtest.h>

#include <memory>
#include <shared_mutex>
#include <string>

#include "TempFolder.h"
#include "alarm/AlarmManager.h"
#include "alarm/AlarmSegCvb.h"
#include "termination/Channel.h"
#include "termination/ChannelManager.h"
#include "termination/Node.h"

namespace NsOvrin::Testing {

class ProjectFilesFixture : public ::testing::Test {
 protected:
  void SetUp() override { ResetRuntime(); }
  void TearDown() override { ResetRuntime(); }

  // Segments first: they hold subscriptions on the nodes' tasks.
  static void ResetRuntime() {
    NsAlarm::AlarmManager::Instance().Clear();
    NsTermination::ChannelManager::Instance().Reset();
  }

  static NsTermination::ChannelManager& Db() { return NsTermination::ChannelManager::Instance(); }
  static NsAlarm::AlarmManager& Alarms() { return NsAlarm::AlarmManager::Instance(); }

  // A file of a project folder under the data folder.
  static std::string Data(const std::string& folder, const std::string& file) {
    return TestDataPath(folder + "/" + file);
  }

  static std::shared_ptr<NsTermination::Node> FindNode(const std::string& name) {
    for (const auto& channel : Db().GetChannels())
      for (const auto& node : channel->GetNodeList())
        if (node->GetName() == name) return node;
    return nullptr;
  }

  static std::shared_ptr<NsTermination::TaskReadData> FindTask(const std::string& node,
                                                               const std::string& task) {
    if (const auto found = FindNode(node))
      for (const auto& t : found->GetTasks())
        if (t->GetName() == task) return t;
    return nullptr;
  }

  static std::shared_ptr<NsAlarm::AlarmSegCvb> Segment(std::size_t i) {
    const auto segments = Alarms().GetSegments();
    if (i >= segments.size()) return nullptr;
    return std::dynamic_pointer_cast<NsAlarm::AlarmSegCvb>(segments[i]);
  }

  static uint32_t HistoryCapacity() {
    std::shared_lock lock(Alarms().GetHistoryLock());
    return Alarms().GetHistory().Capacity();
  }

  // The written file holds exactly the expected file's bytes.
  static void ExpectSameFile(const std::string& written, const std::string& expected) {
    ASSERT_TRUE(Exists(written)) << written;
    const std::string want = ReadFileText(expected);
    ASSERT_FALSE(want.empty()) << expected;
    EXPECT_EQ(ReadFileText(written), want) << "written " << written << ", expected " << expected;
  }

  TempFolder temp_;
};

}  // namespace NsOvrin::Testing
