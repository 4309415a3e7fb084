#include "events/QlIntVarEvent.h"

namespace NsOvrin::NsQlEvent {

std::string QlIntVarEvent::GetTriggerName(std::size_t index) const {
  return index == 0 ? "数值变更" : "";
}

const std::vector<std::string>& QlIntVarEvent::GetFunctionTextsConst(std::size_t index) const {
  return index == 0 ? functionTexts_ : EmptyFunctionTexts;
}

std::vector<std::string>& QlIntVarEvent::GetFunctionTexts(std::size_t index) {
  return index == 0 ? functionTexts_ : ScratchFunctionTexts();
}

}  // namespace NsOvrin::NsQlEvent
