#include "dialogs/ProtValidators.h"

#include <cstdint>
#include <limits>

#include "common/UiValidation.h"

namespace NsOvrin {

using namespace NsUiRule;

namespace {

bool CheckPreset(UiRuleSegment* segment, const std::string& text, std::string& message) {
  UiRule rule("预设值");
  rule.AddSegment(segment);
  return rule.Check(text, message);
}

}  // namespace

bool ValidateInt16Value(const std::string& text, std::string& message) {
  return CheckPreset(new UiRuleSegSIntRange(-32768, 32767, kBoundBoth), text, message);
}

bool ValidateUInt16Value(const std::string& text, std::string& message) {
  return CheckPreset(new UiRuleSegUIntRange(0, 65535, kBoundBoth), text, message);
}

bool ValidateInt32Value(const std::string& text, std::string& message) {
  return CheckPreset(new UiRuleSegSIntRange(std::numeric_limits<int32_t>::min(),
                                            std::numeric_limits<int32_t>::max(), kBoundBoth),
                     text, message);
}

bool ValidateUInt32Value(const std::string& text, std::string& message) {
  return CheckPreset(new UiRuleSegUIntRange(0, 0, kBoundNone), text, message);
}

}  // namespace NsOvrin
