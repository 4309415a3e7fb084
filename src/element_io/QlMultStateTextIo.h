#pragma once
// The binding of a multi-state text: one number read from a device and the
// value of each state, in the order of the element's states. The state
// shown is the first whose value equals the number read; the 16-bit kinds
// compare the low 16 bits only.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QlUiElem/QlUiElemDef.h"
#include "element_io/QlIo.h"

namespace NsOvrin::NsQlElemIo {

using NsQlUiElem::ValueKind;

class QlMultStateTextIo : public QlIo {
 public:
  QlMultStateTextIo() = default;
  // Lets its read task go.
  ~QlMultStateTextIo() override;

  // The DataTypeFlag the read address is bound as: 4, 8, 16 for kinds 2, 3,
  // 4, else 2.
  static uint16_t DataTypeOfKind(ValueKind kind);

  // Forces the next read to report a change, binds the read address (its
  // old binding released first, also when it was cleared), then the
  // visibility; true when both bound.
  bool Bind() override;
  // Address, parse, data block, data type, then visibility; the first
  // failure's message.
  bool Check(std::string* message) override;
  const BaseIoData* GetBaseIoDataConst() const override { return &baseIoData_; }
  BaseIoData* GetBaseIoData() override { return &baseIoData_; }

  // The value in the bound block and the index of the first state with that
  // value (-1 for none). changed follows the value, not the index: forced,
  // or the block was updated and the value or its kind differs from the
  // last read. False without a block or for a kind outside 1-4; the outputs
  // are then left alone.
  bool ReadState(uint32_t& raw, ValueKind& kind, int32_t& index, bool& changed);

  // Whether a state already has the value the text gives (leading blanks, a
  // sign, digits up to the first other character; none read as 0). Writes
  // the state's index when asked. False for a kind outside 1-4.
  bool FindStateByValueText(const std::string& text, int32_t* index = nullptr) const;

  // The settings copied; the read binding is not: the copy reads nothing
  // until it is bound. The visibility binding is copied with a counted
  // read-task reference of its own.
  std::shared_ptr<QlMultStateTextIo> Clone() const;

  const std::shared_ptr<TaskReadData>& GetReadTask() const { return readTask_; }
  // Bytes from the start of the task's cache block.
  uint16_t GetOffset() const { return offset_; }
  const TermAddr& GetAddr() const { return addr_; }

  ValueKind valueKind = NsQlUiElem::kValueInt16;
  // "node.address" of the number.
  std::string readAddress;
  // Value of state i; the 16-bit kinds use the low 16 bits.
  std::vector<uint32_t> stateValues;
  // Makes the next read report a change.
  bool forceRefresh = false;

 private:
  BaseIoData baseIoData_;
  std::shared_ptr<TaskReadData> readTask_;
  uint16_t offset_ = 0;
  TermAddr addr_;
  uint32_t lastCounter_ = 0;
  uint32_t lastValue_ = 0;
  ValueKind lastKind_ = NsQlUiElem::kValueNone;
};

}  // namespace NsOvrin::NsQlElemIo
