#include "events/QlBitVarEvent.h"

#include <memory>

#include "QlDev/DataTypeFlag.h"

namespace NsOvrin::NsQlEvent {

namespace {

constexpr const char* kTriggerNames[QlBitVarEvent::kTriggerCount] = {"上升沿", "下降沿", "==1"};

}  // namespace

QlBitVarEvent::QlBitVarEvent(const std::string& address) {
  io_.readAddress = address;
  io_.sameAsRead = true;
  io_.buttonType = NsQlElemIo::kButtonDisplayOnly;
  io_.dataType = NsTermination::kTypeBit;
}

std::string QlBitVarEvent::GetAddress() const { return io_.readAddress; }

bool QlBitVarEvent::SetAddress(const std::string& address) {
  io_.readAddress = address;
  return true;
}

std::string QlBitVarEvent::GetTriggerName(std::size_t index) const {
  return index < kTriggerCount ? kTriggerNames[index] : "";
}

const std::vector<std::string>& QlBitVarEvent::GetFunctionTextsConst(std::size_t index) const {
  return index < kTriggerCount ? triggers_[index].sourceLines : EmptyFunctionTexts;
}

std::vector<std::string>& QlBitVarEvent::GetFunctionTexts(std::size_t index) {
  return index < kTriggerCount ? triggers_[index].sourceLines : ScratchFunctionTexts();
}

NsQlCompiler::QlFuncList* QlBitVarEvent::GetFunctions(std::size_t index) {
  return index < kTriggerCount ? &triggers_[index] : nullptr;
}

bool QlBitVarEvent::Compile() {
  for (NsQlCompiler::QlFuncList& trigger : triggers_) trigger.Compile();
  return true;
}

bool QlBitVarEvent::BindAddress() { return io_.Bind(); }

void QlBitVarEvent::Evaluate() {
  uint8_t bit = 0;
  bool changed = false;
  bool counterMoved = false;
  if (!io_.ReadState(bit, changed, &counterMoved)) return;
  if (changed) Run(bit != 0 ? kRisingEdge : kFallingEdge);
  if (counterMoved && bit != 0) Run(kWhileOn);
}

void QlBitVarEvent::Run(std::size_t trigger) {
  // A copy: an executed instruction may lead to the list being recompiled.
  const std::vector<std::shared_ptr<NsQlCompiler::QlFuncBase>> functions =
      triggers_[trigger].functions;
  for (const auto& function : functions)
    if (function) function->Execute();
}

}  // namespace NsOvrin::NsQlEvent
