#pragma once
// The event of a bit address: one instruction list for the rising edge, one
// for the falling edge and one run on every new reading while the bit is 1.
// The bit is watched through a display-only button binding of the address.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "compiler/QlFuncList.h"
#include "element_io/QlButtonIo.h"
#include "events/QlVarEventBase.h"

namespace NsOvrin::NsQlEvent {

class QlBitVarEvent : public QlVarEventBase {
 public:
  static constexpr std::size_t kRisingEdge = 0;
  static constexpr std::size_t kFallingEdge = 1;
  static constexpr std::size_t kWhileOn = 2;
  static constexpr std::size_t kTriggerCount = 3;

  // Empty lists, watching the address.
  explicit QlBitVarEvent(const std::string& address);

  std::string GetAddress() const override;
  bool SetAddress(const std::string& address) override;
  uint16_t GetEventType() const override { return kBitEvent; }
  std::size_t GetTriggerCount() const override { return kTriggerCount; }
  std::string GetTriggerName(std::size_t index) const override;
  const std::vector<std::string>& GetFunctionTextsConst(std::size_t index) const override;
  std::vector<std::string>& GetFunctionTexts(std::size_t index) override;
  NsQlCompiler::QlFuncList* GetFunctions(std::size_t index) override;
  // Every trigger, in order; always true. Lines that do not compile become
  // objects that are not ready.
  bool Compile() override;
  // The binding's Bind: the next Evaluate counts as a change.
  bool BindAddress() override;
  // On a change of the bit the rising- or falling-edge list, then on any
  // new reading with the bit at 1 the "==1" list. Nothing without a bound,
  // readable block.
  void Evaluate() override;

  const NsQlElemIo::QlButtonIo& GetIo() const { return io_; }

 private:
  void Run(std::size_t trigger);

  std::array<NsQlCompiler::QlFuncList, kTriggerCount> triggers_;
  NsQlElemIo::QlButtonIo io_;
};

}  // namespace NsOvrin::NsQlEvent
