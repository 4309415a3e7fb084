#pragma once
// The node database the events are tested against: a Modbus TCP node PLC1
// (not connected) with coils, read-only discrete inputs and holding
// registers, whose cache blocks the tests fill by hand; the project's events
// emptied before and after; and a user interface that records the short
// messages executed instructions show.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "compiler/QlFuncUi.h"
#include "project/QlEProject.h"
#include "term_data/CacheVarBlock.h"
#include "termination/NodeDbFixture.h"

namespace NsOvrin::NsQlEvent::Testing {

class RecordingFuncUi : public NsQlCompiler::QlFuncUi {
 public:
  void PopupScreen(const std::string& pageName) override { shown.push_back("popup " + pageName); }
  void JumpToPage(const std::string& pageName) override { shown.push_back("jump " + pageName); }
  void ShowToast(const std::string& text) override { shown.push_back(text); }
  void UserLoggedOut() override { shown.push_back("logout"); }

  // What was shown since the last call.
  std::vector<std::string> Take() {
    std::vector<std::string> taken;
    taken.swap(shown);
    return taken;
  }

  std::vector<std::string> shown;
};

class EventsFixture : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    QlEProject::Instance().Reset("");
    NsQlCompiler::SetFuncUi(&ui_);
    auto eth = AddEthernet("ETH1");
    plc1_ = AddTcpNode(eth, "PLC1");
    ASSERT_NE(plc1_, nullptr);
    AddBlock(*plc1_, "0x[0~127]", "coils");
    AddBlock(*plc1_, "1x[0~63]", "inputs");
    AddBlock(*plc1_, "4x[0~99]", "words");
    coils_ = TaskNamed(*plc1_, "coils");
    inputs_ = TaskNamed(*plc1_, "inputs");
    words_ = TaskNamed(*plc1_, "words");
    ASSERT_TRUE(coils_ && inputs_ && words_);
  }

  void TearDown() override {
    NsQlCompiler::SetFuncUi(nullptr);
    QlEProject::Instance().Reset("");
    plc1_.reset();
    NodeDbFixture::TearDown();
  }

  // A new reading of the coils with this one bit changed.
  void SetCoil(uint16_t index, bool on) {
    const auto& block = coils_->GetCacheBlock();
    std::vector<uint8_t> reply(block->GetSize());
    block->ReadBytes(0, reply.data(), block->GetSize());
    ASSERT_LT(index / 8u, reply.size());
    const auto mask = static_cast<uint8_t>(1u << (index % 8));
    reply[index / 8] = on ? (reply[index / 8] | mask) : (reply[index / 8] & ~mask);
    block->Update(reply.data(), reply.size());
  }

  bool CoilIsOn(uint16_t index) const {
    bool on = false;
    EXPECT_TRUE(coils_->GetCacheBlock()->GetBit(index, on));
    return on;
  }

  // A new reading of the coils with the same bytes: only the counter moves.
  void RepeatCoils() {
    const auto& block = coils_->GetCacheBlock();
    std::vector<uint8_t> reply(block->GetSize());
    block->ReadBytes(0, reply.data(), block->GetSize());
    const uint32_t before = block->GetUpdateCount();
    block->Update(reply.data(), reply.size());
    ASSERT_EQ(block->GetUpdateCount(), before + 1);
  }

  RecordingFuncUi ui_;
  std::shared_ptr<NsTermination::Node> plc1_;
  std::shared_ptr<NsTermination::TaskReadData> coils_, inputs_, words_;
};

}  // namespace NsOvrin::NsQlEvent::Testing
