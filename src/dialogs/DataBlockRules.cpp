#include "dialogs/DataBlockRules.h"

namespace NsOvrin {

std::unique_ptr<UiRule> MakeLengthRule() {
  auto rule = std::make_unique<UiRule>("长度");
  rule->AddSegment(new NsUiRule::UiRuleSegRequired())
      .AddSegment(new NsUiRule::UiRuleSegUIntRange(1, 0, NsUiRule::kBoundLower));
  return rule;
}

std::unique_ptr<UiRule> MakeIntervalRule() {
  auto rule = std::make_unique<UiRule>("采样频率");
  // The interval is held in 16 bits: a larger number is refused rather than
  // cut to its low bits.
  rule->AddSegment(new NsUiRule::UiRuleSegRequired())
      .AddSegment(new NsUiRule::UiRuleSegUIntRange(0, 0xFFFF, NsUiRule::kBoundUpper));
  return rule;
}

}  // namespace NsOvrin
