#pragma once
// The node database the box bindings are tested against: a Modbus TCP node
// PLC1 (coils, read-only input registers, holding registers) and an FX node
// FX1 (data registers, relays), whose cache blocks the tests fill by hand.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "element_io/QlIo.h"
#include "termination/NodeDbFixture.h"

namespace NsOvrin::NsQlElemIo::Testing {

using NsTermination::Node;
using NsTermination::TaskReadData;

class BoxNodeDb : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    eth_ = AddEthernet("ETH1");
    plc1_ = AddTcpNode(eth_, "PLC1");
    ASSERT_NE(plc1_, nullptr);
    AddBlock(*plc1_, "0x[0~127]", "coils");
    AddBlock(*plc1_, "3x[0~9]", "inputs");
    AddBlock(*plc1_, "4x[0~99]", "words");
    AddBlock(*plc1_, "4x[200~209]", "more words");

    serial_ = std::make_shared<NsTermination::ChannelSerialPort>("COM1", "");
    ASSERT_TRUE(Db().AddChannel(serial_));
    NsTermination::NsDevDefine::RsDevParam fx;
    fx.name = "FX1";
    fx.deviceId = NsTermination::kModelMitsFx;
    ASSERT_TRUE(NsTermination::AddRsDev(serial_->GetHandle(), fx));
    fx1_ = FindShared("FX1");
    ASSERT_NE(fx1_, nullptr);
    AddBlock(*fx1_, "D[0~19]", "fx words");
    AddBlock(*fx1_, "M[0~15]", "fx relays");

    coils_ = TaskNamed(*plc1_, "coils");
    inputs_ = TaskNamed(*plc1_, "inputs");
    words_ = TaskNamed(*plc1_, "words");
    moreWords_ = TaskNamed(*plc1_, "more words");
    fxWords_ = TaskNamed(*fx1_, "fx words");
    ASSERT_TRUE(coils_ && inputs_ && words_ && moreWords_ && fxWords_);
  }

  void TearDown() override {
    plc1_.reset();
    fx1_.reset();
    NodeDbFixture::TearDown();
  }

  // A reply that leaves the block as it was but for these bytes at offset.
  static void Put(const std::shared_ptr<TaskReadData>& task, uint16_t offset,
                  std::initializer_list<uint8_t> bytes) {
    const auto& block = task->GetCacheBlock();
    std::vector<uint8_t> reply(block->GetSize());
    block->ReadBytes(0, reply.data(), block->GetSize());
    ASSERT_LE(offset + bytes.size(), reply.size());
    std::copy(bytes.begin(), bytes.end(), reply.begin() + offset);
    block->Update(reply.data(), reply.size());
  }

  // The same bytes again: only the update counter moves.
  static void Repeat(const std::shared_ptr<TaskReadData>& task) {
    const auto& block = task->GetCacheBlock();
    std::vector<uint8_t> reply(block->GetSize());
    block->ReadBytes(0, reply.data(), block->GetSize());
    const uint32_t before = block->GetUpdateCount();
    block->Update(reply.data(), reply.size());
    ASSERT_EQ(block->GetUpdateCount(), before + 1);
  }

  static void SetVisibility(QlIo& io, bool enable, const std::string& address) {
    io.GetBaseIoData()->enableVisib = enable;
    io.GetBaseIoData()->addressForVisib = address;
  }

  static std::string CheckMessage(QlIo& io) {
    std::string message = "untouched";
    io.Check(&message);
    return message;
  }

  std::shared_ptr<NsTermination::ChannelEthernet> eth_;
  std::shared_ptr<NsTermination::ChannelSerialPort> serial_;
  std::shared_ptr<Node> plc1_, fx1_;
  std::shared_ptr<TaskReadData> coils_, inputs_, words_, moreWords_, fxWords_;
};

}  // namespace NsOvrin::NsQlElemIo::Testing
