#pragma once
// The binding of a string box: a run of words holding a text in the ANSI
// code page (CP936), in the byte order of the device family.
#include <cstdint>
#include <memory>
#include <string>

#include "common/OneWayWrapper.h"
#include "element_io/QlIo.h"
#include "termination/Node.h"

namespace NsOvrin::NsQlElemIo {

using NsTermination::Node;

class QlStringIo : public QlIo {
 public:
  QlStringIo() = default;
  // Lets its read task go.
  ~QlStringIo() override;

  // Forces the next read to report a change, binds the address as a string
  // (its old binding released first, also when it was cleared), then the
  // visibility.
  bool Bind() override;
  // As the number box's check, the data-type step asking for a word address.
  bool Check(std::string* message) override;
  const BaseIoData* GetBaseIoDataConst() const override { return &baseIoData_; }
  BaseIoData* GetBaseIoData() override { return &baseIoData_; }

  // At most length bytes from the bound block, up to NUL, LF or CR, decoded
  // from CP936. changed: forced, or the block was updated and the text
  // differs from the last read. False, changed false and the text left alone
  // without a block or with length 0.
  bool ReadText(std::string& text, bool& changed);

  // "node.first address" of the bound run; empty when nothing is parsed or
  // the node is gone.
  std::string GetStartAddressText() const;
  std::string GetRangeText() const { return GetStartAddressText(); }
  // Makes the bound run cover length bytes (an even, non-zero length).
  void ApplyLength();
  // Rewrites the address from the bound run; an address that never parsed
  // is kept as the user wrote it.
  void UpdateAddressText();

  // Every field; the read task as a counted reference of its own.
  std::shared_ptr<QlStringIo> Clone() const;

  const OneWayWrapper<Node>& GetNode() const { return node_; }
  const std::shared_ptr<TaskReadData>& GetReadTask() const { return readTask_; }
  // Bytes from the start of the task's cache block.
  uint16_t GetOffset() const { return offset_; }
  const TermAddr& GetAddr() const { return addr_; }

  bool readOnly = false;
  // "node.address", usually a range of words.
  std::string address;
  // Bytes of the text.
  uint16_t length = 10;
  // Makes the next read report a change.
  bool forceRefresh = false;

 private:
  BaseIoData baseIoData_;
  OneWayWrapper<Node> node_;
  std::shared_ptr<TaskReadData> readTask_;
  uint16_t offset_ = 0;
  TermAddr addr_;
  uint32_t lastCounter_ = 0;
  std::string lastText_;
};

}  // namespace NsOvrin::NsQlElemIo
