#pragma once
// The binding of a button: a read address whose bit the button shows and a
// write address it writes when operated, checked by the button type. Also
// the display-only binding of an IO-list row, the writer of the SET and RST
// instructions and the watcher of a bit variable event.
#include <cstdint>
#include <memory>
#include <string>

#include "QlDev/DataTypeFlag.h"
#include "common/OneWayWrapper.h"
#include "element_io/QlIo.h"
#include "termination/Node.h"

namespace NsOvrin::NsQlElemIo {

using ButtonType = int32_t;

inline constexpr ButtonType kButtonToggle = 0;
inline constexpr ButtonType kButtonMomentary = 1;
inline constexpr ButtonType kButtonSetOn = 2;
inline constexpr ButtonType kButtonSetOff = 3;
inline constexpr ButtonType kButtonSetValue = 4;
// Writes nothing; shows its read address, which is also its selected one.
inline constexpr ButtonType kButtonDisplayOnly = 5;

class QlButtonIo : public QlIo {
 public:
  // A toggle button of the bit type writing to its read address.
  QlButtonIo() = default;
  // Releases the read task.
  ~QlButtonIo() override;

  // The writer of SET and RST: a set-OFF button of the bit type writing to
  // the write address.
  static std::shared_ptr<QlButtonIo> QlButtonIoWithAddresses(const std::string& readAddress,
                                                             const std::string& writeAddress);
  // An IO-list row: shows the bit at the address.
  static std::shared_ptr<QlButtonIo> QlButtonIoDisplayOnly(const std::string& address);

  // Binds the read address (with a read-task subscription), the write
  // address and the visibility address; true when all three bound. The next
  // ReadState reports a change.
  bool Bind() override;
  bool Check(std::string* message) override;
  const BaseIoData* GetBaseIoDataConst() const override { return &baseIoData_; }
  BaseIoData* GetBaseIoData() override { return &baseIoData_; }

  // Whether an address suits the button type and the data type.
  bool AcceptsAddress(const TermAddr& addr) const;

  // The value at the read address from its cache block: a bit, or for a
  // word address ON when the word is not 0. changed: after a Bind, or when
  // a new reply brought another value. counterMoved (optional): any new
  // reply since the last read. False when nothing is bound or readable.
  bool ReadState(uint8_t& value, bool& changed, bool* counterMoved = nullptr);
  // Writes the bit (0 or not 0) to the selected address, synchronously on
  // the calling thread; the node cannot be destroyed meanwhile. False when
  // nothing is bound, the node is gone or the exchange failed.
  bool WriteValue(uint8_t value);

  // Settings, addresses and resolved references copied; the copy holds a
  // read-task subscription of its own.
  std::shared_ptr<QlButtonIo> Clone() const;

  // The read address for same-as-read and the display-only type, the write
  // address otherwise.
  bool SelectsReadAddress() const { return sameAsRead || buttonType == kButtonDisplayOnly; }

  ButtonType buttonType = kButtonToggle;
  // Type of the written value and of the read binding.
  uint16_t dataType = NsTermination::kTypeBit;
  bool sameAsRead = true;
  std::string readAddress;
  std::string writeAddress;
  // What a set-value button writes.
  uint32_t presetValue = 0;

  const OneWayWrapper<NsTermination::Node>& GetReadNode() const { return readNode_; }
  const OneWayWrapper<NsTermination::Node>& GetWriteNode() const { return writeNode_; }
  const std::shared_ptr<TaskReadData>& GetReadTask() const { return readTask_; }
  uint16_t GetReadOffset() const { return readOffset_; }
  const TermAddr& GetReadAddr() const { return readAddr_; }
  const TermAddr& GetWriteAddr() const { return writeAddr_; }
  uint32_t GetLastCounter() const { return lastCounter_; }
  uint8_t GetLastValue() const { return lastValue_; }
  bool GetForceRefresh() const { return forceRefresh_; }

 private:
  const OneWayWrapper<NsTermination::Node>& SelectedNode() const {
    return SelectsReadAddress() ? readNode_ : writeNode_;
  }
  const TermAddr& SelectedAddr() const { return SelectsReadAddress() ? readAddr_ : writeAddr_; }
  const std::string& SelectedText() const { return SelectsReadAddress() ? readAddress : writeAddress; }
  // Types 1-4 may go without a read address.
  bool ReadIsOptional() const { return buttonType >= kButtonMomentary && buttonType <= kButtonSetValue; }

  BaseIoData baseIoData_;
  OneWayWrapper<NsTermination::Node> readNode_;
  OneWayWrapper<NsTermination::Node> writeNode_;
  std::shared_ptr<TaskReadData> readTask_;
  // Bits for a bit address, bytes for a word address.
  uint16_t readOffset_ = 0;
  TermAddr writeAddr_;
  TermAddr readAddr_;
  uint32_t lastCounter_ = 0;
  uint8_t lastValue_ = 0;
  bool forceRefresh_ = false;
};

}  // namespace NsOvrin::NsQlElemIo
