#pragma once
// The pages fixture with the program's alarm manager emptied around every
// test: no alarm group, no active alarm, no history record. Its counters
// keep counting from test to test, as they do in the program.
#include <memory>
#include <string>
#include <vector>

#include "PagesFixture.h"
#include "QlUiElem/AlarmTableRows.h"
#include "alarm/AlarmManager.h"

namespace NsOvrin::NsQlElemEditor::Testing {

class AlarmsFixture : public PagesFixture {
 protected:
  void SetUp() override {
    PagesFixture::SetUp();
    EmptyAlarms();
  }
  // The groups go before the node database: they may hold its blocks.
  void TearDown() override {
    EmptyAlarms();
    PagesFixture::TearDown();
  }

  static NsAlarm::AlarmManager& Alarms() { return NsAlarm::AlarmManager::Instance(); }

  // A group of the program's manager whose bits the test switches.
  static std::shared_ptr<NsAlarm::AlarmSeg> AddGroup(const std::vector<std::string>& messages) {
    return NsQlUiElem::Testing::AddSegment(Alarms(), messages);
  }

 private:
  static void EmptyAlarms() {
    Alarms().Clear();
    Alarms().ClearHistory();
  }
};

}  // namespace NsOvrin::NsQlElemEditor::Testing
