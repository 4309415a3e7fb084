#pragma once
// A node database with one Modbus TCP device "PLC1" and two data blocks,
// coils 0x0-0x15 and holding registers 4x0-4x9, and the editor's process
// values back at their start-up state around every test. Nothing polls:
// live data is written into the blocks' cache as a reply would be.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <vector>

#include "editor/EditorGlobals.h"
#include "termination/NodeDbFixture.h"

namespace NsOvrin::NsQlElemEditor::Testing {

class HostFixture : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    ResetGlobals();
    node_ = AddTcpNode(AddEthernet("ETH1"), "PLC1");
    ASSERT_NE(node_, nullptr);
    AddBlock(*node_, "0x[0~15]", "coils");
    AddBlock(*node_, "4x[0~9]", "words");
    coils_ = TaskNamed(*node_, "coils");
    words_ = TaskNamed(*node_, "words");
    ASSERT_NE(coils_, nullptr);
    ASSERT_NE(words_, nullptr);
  }
  void TearDown() override {
    ResetGlobals();
    NodeDbFixture::TearDown();
  }

  static void ResetGlobals() {
    HostOnlineFlag = false;
    ShowIoAddr = true;
  }

  // A reply of the coil block with the given coils ON.
  void ReplyCoils(std::initializer_list<int> on) {
    std::vector<uint8_t> bytes(2, 0);
    for (int bit : on) bytes[bit / 8] |= static_cast<uint8_t>(1u << (bit % 8));
    coils_->GetCacheBlock()->Update(bytes.data(), bytes.size());
  }
  // A reply of the register block: the words in the device's byte order
  // (high byte first), missing ones 0.
  void ReplyWords(std::vector<uint16_t> words) {
    words.resize(10, 0);
    std::vector<uint8_t> bytes;
    for (uint16_t w : words) {
      bytes.push_back(static_cast<uint8_t>(w >> 8));
      bytes.push_back(static_cast<uint8_t>(w & 0xFF));
    }
    words_->GetCacheBlock()->Update(bytes.data(), bytes.size());
  }

  std::shared_ptr<NsTermination::Node> node_;
  std::shared_ptr<NsTermination::TaskReadData> coils_;
  std::shared_ptr<NsTermination::TaskReadData> words_;
};

}  // namespace NsOvrin::NsQlElemEditor::Testing
