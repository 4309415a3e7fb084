// Values typed into dialogs, through the rule lists of every data type and a
// list of every segment kind.
#include "common/UiValidation.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  using namespace NsOvrin;
  using namespace NsOvrin::NsUiRule;
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string message;
  for (int32_t kind = 0; kind <= 5; ++kind) ValidateDataTypeValue(kind, text, &message);
  ValidateDataTypeValue(1, text, nullptr);

  static UiRule port("端口"), lower("下限"), upper("上限"), number("格式");
  static const bool built = [] {
    port.AddSegment(new UiRuleSegRequired).AddSegment(new UiRuleSegUIntRange(1, 65535, kBoundBoth));
    lower.AddSegment(new UiRuleSegSIntRange(-100, 0, kBoundLower));
    upper.AddSegment(new UiRuleSegFloatRange(0.0, 10.0, kBoundBoth, 2));
    number.AddSegment(new UiRuleSegFloatRange(0.0, 0.0, kBoundNone, 0));
    return true;
  }();
  (void)built;
  for (const UiRule* rule : {&port, &lower, &upper, &number}) rule->Check(text, message);
  return 0;
}
