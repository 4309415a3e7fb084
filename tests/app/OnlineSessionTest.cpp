// The online mode against a libmodbus slave through the main frame: a value
// or an alarm of an earlier session never shows as current, and the alarm
// history keeps every record.
#include <QCoreApplication>
#include <chrono>
#include <shared_mutex>
#include <thread>

#include "AppFixture.h"
#include "alarm/AlarmManager.h"
#include "alarm/AlarmSegCvb.h"
#include "editor/QlEHostElem.h"
#include "QlUiElem/QlUiEdit.h"
#include "support/ModbusTcpSlave.h"

namespace NsOvrin::Testing {
namespace {

using NsAlarm::ActiveAlarm;
using NsAlarm::AlarmManager;
using NsAlarm::AlarmSegCvb;

// PLC1 on a slave whose register 4x1 holds 1234 and whose coil 0x3, an alarm
// bit, is on; page P1's number box shows 4x1.
class OnlineSession : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    ASSERT_TRUE(slave_.Start());
    port_ = slave_.Port();
    slave_.SetHoldingRegister(1, 1234);
    slave_.SetCoil(3, true);
    node_ = AddTcpNode(AddEthernet("ETH1"), "PLC1", port_);
    ASSERT_NE(node_, nullptr);
    AddBlock(*node_, "4x[0~9]", "words", 20);
    AddBlock(*node_, "0x[0~15]", "coils", 20);
    segment_ = std::make_shared<AlarmSegCvb>();
    segment_->SetAddress("PLC1.0x3");
    segment_->SetMessages({"超温"});
    AlarmManager::Instance().AddSeg(segment_);
    ASSERT_TRUE(segment_->IsBound());

    OpenProject();
    frame_ = Start();
    ASSERT_NE(frame_, nullptr);
    view_ = OpenPage("P1");
    ASSERT_NE(view_, nullptr);
  }
  void TearDown() override {
    // The program's exit ends the polling and lets the alarm groups go.
    AppFixture::TearDown();
    segment_.reset();
  }

  std::string Shown() const {
    const auto& elems = view_->GetCanvas().GetPage()->elements->elems;
    const auto host = std::dynamic_pointer_cast<NsQlElemEditor::QlEHostElem>(elems.at(1)->host);
    const auto box = host ? std::dynamic_pointer_cast<NsQlUiElem::QlUiEdit>(host->GetUi()) : nullptr;
    return box ? box->textBox.text : "<no box>";
  }
  // The view's refresh tick, until the box shows the text.
  bool TickUntilShown(const std::string& text) {
    return WaitFor([&] {
      view_->OnTimer();
      return Shown() == text;
    });
  }
  static std::vector<std::string> Active() {
    const AlarmManager& manager = AlarmManager::Instance();
    std::shared_lock lock(manager.GetActiveLock());
    std::vector<std::string> messages;
    for (const ActiveAlarm& alarm : manager.GetActiveAlarms())
      messages.push_back(alarm.segment->GetBitMessage(alarm.bit));
    return messages;
  }
  static uint32_t HistoryCount() {
    const AlarmManager& manager = AlarmManager::Instance();
    std::shared_lock lock(manager.GetHistoryLock());
    return manager.GetHistory().Count();
  }

  NsTestSupport::ModbusTcpSlave slave_;
  uint16_t port_ = 0;
  std::shared_ptr<NsTermination::Node> node_;
  std::shared_ptr<AlarmSegCvb> segment_;
  CMainFrame* frame_ = nullptr;
  CQuillaneView* view_ = nullptr;
};

TEST_F(OnlineSession, ANewSessionShowsNothingOfTheLastUntilItsOwnRepliesCome) {
  EXPECT_EQ(Shown(), "0");
  frame_->StartOnline();
  ASSERT_TRUE(TickUntilShown("1234"));
  ASSERT_TRUE(WaitFor([] { return Active() == std::vector<std::string>{"超温"}; }));

  // Offline: the alarm still on goes off into the history with the session.
  const uint32_t records = HistoryCount();
  frame_->StopOnline();
  EXPECT_EQ(Shown(), "0");
  EXPECT_TRUE(Active().empty());
  EXPECT_EQ(HistoryCount(), records + 1);

  // The slave is gone when the next session starts: the box keeps its
  // not-yet-read look and the alarm list stays empty.
  slave_.Stop();
  slave_.SetHoldingRegister(1, 4321);
  frame_->StartOnline();
  EXPECT_TRUE(Active().empty());
  for (int i = 0; i < 20; ++i) {
    view_->OnTimer();
    ASSERT_EQ(Shown(), "0") << "tick " << i;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  EXPECT_TRUE(Active().empty());

  // The slave back: this session's own values and alarms.
  ASSERT_TRUE(slave_.Start(port_));
  ASSERT_TRUE(TickUntilShown("4321"));
  ASSERT_TRUE(WaitFor([] { return Active() == std::vector<std::string>{"超温"}; }));
  EXPECT_EQ(HistoryCount(), records + 1) << "no record lost, none made twice";

  frame_->StopOnline();
  EXPECT_EQ(HistoryCount(), records + 2);
}

}  // namespace
}  // namespace NsOvrin::Testing
