#pragma once
// A project with the pages "页面1" and "手动页面" and a node database whose
// only node, PLC1, is an H3U device (not connected) with three data blocks:
// the words D0-D9, the bits M0-M15 and the read-only inputs X0-X7. A bare
// address ("D2") therefore names PLC1.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "project/QlEProject.h"
#include "termination/DevSetup.h"
#include "termination/NodeDbFixture.h"

namespace NsOvrin::NsQlCompiler::Testing {

class CompilerFixture : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    QlEProject::Instance().Reset("");
    QlEProject::Instance().pageNames = {"页面1", "手动页面"};
    channel_ = AddEthernet("ETH1");
    ASSERT_TRUE(NsTermination::AddENetDev(channel_->GetHandle(),
                                          TcpParam("PLC1", 1, NsTermination::kModelH5u)));
    plc1_ = FindShared("PLC1");
    ASSERT_NE(plc1_, nullptr);
    AddBlock(*plc1_, "D[0~9]", "words");
    AddBlock(*plc1_, "M[0~15]", "bits");
    AddBlock(*plc1_, "X[0~7]", "inputs");
    words_ = TaskNamed(*plc1_, "words");
    bits_ = TaskNamed(*plc1_, "bits");
    inputs_ = TaskNamed(*plc1_, "inputs");
    ASSERT_TRUE(words_ && bits_ && inputs_);
  }

  void TearDown() override {
    QlEProject::Instance().Reset("");
    NodeDbFixture::TearDown();
  }

  // A second Modbus TCP node: bare addresses no longer resolve.
  void AddSecondNode() {
    ASSERT_TRUE(NsTermination::AddENetDev(channel_->GetHandle(), TcpParam("PLC2", 1)));
  }

  std::shared_ptr<NsTermination::ChannelEthernet> channel_;
  std::shared_ptr<NsTermination::Node> plc1_;
  std::shared_ptr<NsTermination::TaskReadData> words_, bits_, inputs_;
};

}  // namespace NsOvrin::NsQlCompiler::Testing
