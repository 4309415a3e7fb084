#pragma once
// The binding of a number box: one address holding a 16-bit or 32-bit
// number, shown with a number of decimal places. The limits and the
// read-only flag govern entering values at the panel; the editor stores,
// checks and edits them.
#include <cstdint>
#include <memory>
#include <string>

#include "QlDev/DataTypeFlag.h"
#include "QlUiElem/QlUiElemDef.h"
#include "common/OneWayWrapper.h"
#include "element_io/QlIo.h"
#include "termination/Node.h"

namespace NsOvrin::NsQlElemIo {

using NsQlUiElem::ValueKind;
using NsTermination::Node;

// The value printed with that many decimals ("%.nf", "C" locale); a negative
// count prints none.
std::string FormatFixed(float value, int decimals);

class QlEditIo : public QlIo {
 public:
  QlEditIo() = default;
  // Lets its read task go.
  ~QlEditIo() override;

  // Forces the next read to report a change, binds the address (its old
  // binding released first, also when it was cleared), then the visibility.
  bool Bind() override;
  // Address, node, parse, data block, data type, write permission, then
  // visibility; the first failure's message.
  bool Check(std::string* message) override;
  const BaseIoData* GetBaseIoDataConst() const override { return &baseIoData_; }
  BaseIoData* GetBaseIoData() override { return &baseIoData_; }

  // The value in the bound block as the data type reads it. changed: forced,
  // or the block was updated and the value or its kind differs from the last
  // read. False without a block or for another data type; the outputs are
  // then left alone.
  bool ReadRawValue(uint32_t& raw, ValueKind& kind, bool& changed);
  // The read value formatted for the box.
  bool ReadValueText(std::string& text, bool& changed);

  // A value formatted with the data type and the scale. The 16-bit ones read
  // the low half of a word as signed or unsigned. FormatUInt16(0) is a number
  // box's text in design mode. FormatUInt32 also shows a stored limit: for the
  // signed data types (2 and 8) it reads the 32 bits as signed.
  std::string FormatInt16(uint16_t value) const;
  std::string FormatUInt16(uint16_t value) const;
  std::string FormatInt32(uint32_t value) const;
  std::string FormatUInt32(uint32_t value) const;

  // Every field; the read task as a counted reference of its own.
  std::shared_ptr<QlEditIo> Clone() const;

  const OneWayWrapper<Node>& GetNode() const { return node_; }
  const std::shared_ptr<TaskReadData>& GetReadTask() const { return readTask_; }
  // Bytes from the start of the task's cache block.
  uint16_t GetOffset() const { return offset_; }
  const TermAddr& GetAddr() const { return addr_; }

  // DataTypeFlag: 2 signed word, 4 unsigned word, 8 signed double word, 16
  // unsigned double word.
  uint16_t dataType = NsTermination::kTypeInt16;
  // Decimal places shown.
  uint8_t scale = 0;
  bool readOnly = false;
  bool enableMinVal = false;
  int32_t minVal = 0;
  bool enableMaxVal = false;
  int32_t maxVal = 0xFFFFFF;
  // "node.address" of the value.
  std::string address;
  // Makes the next read report a change.
  bool forceRefresh = false;

 private:
  // %d or %u by the data type at scale 0, else divided down in single
  // precision.
  std::string FormatWidened(int64_t widened) const;

  BaseIoData baseIoData_;
  OneWayWrapper<Node> node_;
  std::shared_ptr<TaskReadData> readTask_;
  uint16_t offset_ = 0;
  TermAddr addr_;
  uint32_t lastCounter_ = 0;
  uint32_t lastValue_ = 0;
  ValueKind lastKind_ = NsQlUiElem::kValueNone;
};

}  // namespace NsOvrin::NsQlElemIo
