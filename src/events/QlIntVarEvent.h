#pragma once
// The event of a word address: its address and the lines of its one trigger
// "数值变更". It compiles nothing and never runs.
#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "events/QlVarEventBase.h"

namespace NsOvrin::NsQlEvent {

class QlIntVarEvent : public QlVarEventBase {
 public:
  QlIntVarEvent() = default;
  explicit QlIntVarEvent(std::string address) : address_(std::move(address)) {}

  std::string GetAddress() const override { return address_; }
  bool SetAddress(const std::string& address) override {
    address_ = address;
    return true;
  }
  uint16_t GetEventType() const override { return kIntEvent; }
  std::size_t GetTriggerCount() const override { return 1; }
  std::string GetTriggerName(std::size_t index) const override;
  const std::vector<std::string>& GetFunctionTextsConst(std::size_t index) const override;
  std::vector<std::string>& GetFunctionTexts(std::size_t index) override;
  NsQlCompiler::QlFuncList* GetFunctions(std::size_t) override { return nullptr; }
  bool Compile() override { return false; }
  bool BindAddress() override { return false; }
  void Evaluate() override {}

 private:
  std::string address_;
  std::vector<std::string> functionTexts_;
};

}  // namespace NsOvrin::NsQlEvent
