#pragma once
// Operands of MOV: an integer literal or a device address. An operand gives
// its canonical text, says whether it may serve as a data type in a
// direction, and reads and writes its value. Held through shared_ptr.
#include <cstdint>
#include <memory>
#include <string>

#include "QlDev/DataTypeFlag.h"

namespace NsOvrin::NsQlCompiler {

using NsTermination::DataTypeFlag;

// Access kinds of CheckUsage and Bind.
inline constexpr uint32_t kAccessRead = 0;
inline constexpr uint32_t kAccessWrite = 1;
inline constexpr uint32_t kAccessReadWrite = 2;

class QlCmData {
 public:
  QlCmData() = default;
  // An address operand counts its data-block subscription: no copies.
  QlCmData(const QlCmData&) = delete;
  QlCmData& operator=(const QlCmData&) = delete;
  virtual ~QlCmData() = default;

  virtual std::string ToString() const = 0;
  // Reads the current value into value.
  virtual bool Fetch() = 0;
  virtual bool WriteDword(uint32_t value) = 0;
  virtual bool WriteWord(uint16_t value) = 0;
  // May the operand serve as that type in that direction; the message
  // (when given) says why not.
  virtual bool CheckUsage(DataTypeFlag type, uint32_t access, std::string* message) const = 0;
  // Prepares the operand for use as that type in that direction.
  virtual void Bind(DataTypeFlag type, uint32_t access) = 0;

  int32_t value = 0;
};

// A literal written with a minus sign.
class QlCmInt : public QlCmData {
 public:
  explicit QlCmInt(int32_t literal) { value = literal; }

  std::string ToString() const override;
  bool Fetch() override { return true; }
  bool WriteDword(uint32_t) override { return false; }
  bool WriteWord(uint16_t) override { return false; }
  bool CheckUsage(DataTypeFlag type, uint32_t access, std::string* message) const override;
  void Bind(DataTypeFlag, uint32_t) override {}
};

// A literal written without a sign or with a plus sign.
class QlCmUInt : public QlCmData {
 public:
  explicit QlCmUInt(int32_t literal) { value = literal; }

  std::string ToString() const override;
  bool Fetch() override { return true; }
  bool WriteDword(uint32_t) override { return false; }
  bool WriteWord(uint16_t) override { return false; }
  bool CheckUsage(DataTypeFlag type, uint32_t access, std::string* message) const override;
  void Bind(DataTypeFlag, uint32_t) override {}
};

// An optional sign and decimal digits, nothing else: a QlCmInt for "-", a
// QlCmUInt otherwise, the value saturated to the signed 32-bit range. The
// operand is set only on success.
bool ParseIntOperand(const std::string& token, std::shared_ptr<QlCmData>& operand);

}  // namespace NsOvrin::NsQlCompiler
