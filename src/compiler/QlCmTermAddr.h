#pragma once
// A device-address operand: its own copy of the parsed address and of the
// node handle, and, once bound for reading, a subscription on the read task
// whose data block holds the address (a subscribed block is polled).
#include <cstdint>
#include <memory>
#include <string>

#include "common/OneWayWrapper.h"
#include "compiler/QlCmData.h"
#include "term_data/TermAddr.h"
#include "termination/Node.h"
#include "termination/Task.h"

namespace NsOvrin::NsQlCompiler {

using NsTermination::Node;
using NsTermination::TaskReadData;
using NsTermination::TermAddr;

class QlCmTermAddr : public QlCmData {
 public:
  // The text becomes the canonical "node.address".
  QlCmTermAddr(const TermAddr& addr, const OneWayWrapper<Node>& node);
  // Gives the subscription back.
  ~QlCmTermAddr() override;

  std::string ToString() const override { return text_; }
  // The word or double word at the bound position, as the last bind's type.
  bool Fetch() override;
  bool WriteDword(uint32_t value) override;
  bool WriteWord(uint16_t value) override;
  bool CheckUsage(DataTypeFlag type, uint32_t access, std::string* message) const override;
  // Drops the previous subscription; reading access subscribes the block.
  void Bind(DataTypeFlag type, uint32_t access) override;

  uint16_t GetOffset() const { return offset_; }
  const std::shared_ptr<TaskReadData>& GetTask() const { return task_; }
  uint16_t GetBoundType() const { return boundType_; }
  const TermAddr& GetAddr() const { return addr_; }
  const OneWayWrapper<Node>& GetNode() const { return node_; }

 private:
  void ReleaseSubscription();
  // One unit of the given type written synchronously on the calling thread.
  bool Write(uint32_t dataType, const void* value);

  std::string text_;
  // Bytes into the subscribed block.
  uint16_t offset_ = 0;
  std::shared_ptr<TaskReadData> task_;
  uint16_t boundType_ = 0;
  TermAddr addr_;
  OneWayWrapper<Node> node_;
};

// An address that resolves in the node database ("node.address", or a bare
// address of the only node). The operand is set only on success.
bool ParseAddrOperand(const std::string& token, std::shared_ptr<QlCmData>& operand);

}  // namespace NsOvrin::NsQlCompiler
