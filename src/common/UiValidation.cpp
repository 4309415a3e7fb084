#include "common/UiValidation.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string_view>

#include "common/Log.h"
#include "common/Regex.h"
#include "platform/Format.h"

namespace NsOvrin {
namespace {

using NsPlatform::StrFormat;

// Subject of every range reason, whatever the list is called.
constexpr const char* kRangeLabel = "数据";

constexpr int64_t kInt64Max = std::numeric_limits<int64_t>::max();
constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr int64_t kUInt32Max = std::numeric_limits<uint32_t>::max();

// Sign "+" or "-" and ASCII digits only: a full-width digit is not a number.
constexpr const char* kDigitsPattern = "^[0-9]+$";
constexpr const char* kSignedPattern = "^[+-]?[0-9]+$";
constexpr const char* kDecimalPattern = "^[+-]?[0-9]+(\\.[0-9]+)?$";

// Optional sign then digits, saturating at the 64-bit limits.
int64_t ReadSaturatingInt64(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  const uint64_t magnitude = NsPlatform::ParseDecimalU64Saturating(text);
  if (negative) {
    if (magnitude > static_cast<uint64_t>(kInt64Max)) return std::numeric_limits<int64_t>::min();
    return -static_cast<int64_t>(magnitude);
  }
  return magnitude > static_cast<uint64_t>(kInt64Max) ? kInt64Max
                                                       : static_cast<int64_t>(magnitude);
}

// The text already matches the decimal pattern. Locale-free; a value beyond
// the double range becomes infinite, one below it 0.
double ReadDecimal(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  double v = 0.0;
  const auto res = std::from_chars(text.data(), text.data() + text.size(), v,
                                   std::chars_format::fixed);
  if (res.ec == std::errc::result_out_of_range) {
    // A number of 1 or more cannot underflow, one below 1 cannot overflow.
    const bool atLeastOne = text.find_first_not_of('0') < text.find('.');
    v = atLeastOne ? std::numeric_limits<double>::infinity() : 0.0;
  }
  return negative ? -v : v;
}

template <typename T>
std::string FormatRangeError(uint16_t boundFlags, T lower, T upper, const char* numberFormat) {
  // The label and the number format carry no directive of their own, so the
  // filled template is a format taking exactly the bounds it names.
  switch (boundFlags & NsUiRule::kBoundBoth) {
    case NsUiRule::kBoundLower:
      return StrFormat(StrFormat("%s必须大于等于%s.", kRangeLabel, numberFormat).c_str(), lower);
    case NsUiRule::kBoundUpper:
      return StrFormat(StrFormat("%s必须小于等于%s.", kRangeLabel, numberFormat).c_str(), upper);
    default:
      return StrFormat(
          StrFormat("%s必须在 %s ~ %s 之间.", kRangeLabel, numberFormat, numberFormat).c_str(),
          lower, upper);
  }
}

bool InBounds(uint16_t boundFlags, auto v, auto lower, auto upper) {
  return (!(boundFlags & NsUiRule::kBoundLower) || v >= lower) &&
         (!(boundFlags & NsUiRule::kBoundUpper) || v <= upper);
}

}  // namespace

void UiRuleCtx::Classify() {
  if (classified) return;
  classified = true;
  if (RegexTest(input, kDigitsPattern)) {
    kind = kDigits;
    intValue = ReadSaturatingInt64(input);
  } else if (RegexTest(input, kSignedPattern)) {
    kind = kSigned;
    intValue = ReadSaturatingInt64(input);
  } else if (RegexTest(input, kDecimalPattern)) {
    kind = kDecimal;
    floatValue = ReadDecimal(input);
  } else {
    kind = kNotNumber;
  }
}

namespace NsUiRule {

std::string FormatIntRangeError(uint16_t boundFlags, int32_t lower, int32_t upper,
                                const char* numberFormat) {
  return FormatRangeError(boundFlags, lower, upper, numberFormat);
}

std::string FormatIntRangeError(uint16_t boundFlags, uint32_t lower, uint32_t upper,
                                const char* numberFormat) {
  return FormatRangeError(boundFlags, lower, upper, numberFormat);
}

std::string FormatFloatRangeError(uint16_t boundFlags, double lower, double upper,
                                  const char* numberFormat) {
  return FormatRangeError(boundFlags, lower, upper, numberFormat);
}

bool UiRuleSegRequired::Check(UiRuleCtx& ctx) const {
  if (!ctx.input.empty()) return true;
  ctx.error = "输入不能为空！";
  return false;
}

bool UiRuleSegSIntRange::Check(UiRuleCtx& ctx) const {
  ctx.Classify();
  if (ctx.kind != UiRuleCtx::kDigits && ctx.kind != UiRuleCtx::kSigned) {
    ctx.error = "请输入整数类型的数字例如 (100, -100) 等等.";
    return false;
  }
  const int64_t v = ctx.intValue;
  if (v < kInt32Min || v > kInt32Max) {
    // Beyond what the value can hold: name the bounds actually in force.
    const int32_t lo = (boundFlags_ & kBoundLower) ? lower_ : static_cast<int32_t>(kInt32Min);
    const int32_t hi = (boundFlags_ & kBoundUpper) ? upper_ : static_cast<int32_t>(kInt32Max);
    ctx.error = FormatIntRangeError(kBoundBoth, lo, hi, "%d");
    return false;
  }
  if (InBounds(boundFlags_, v, int64_t{lower_}, int64_t{upper_})) return true;
  ctx.error = FormatIntRangeError(boundFlags_, lower_, upper_, "%d");
  return false;
}

bool UiRuleSegUIntRange::Check(UiRuleCtx& ctx) const {
  ctx.Classify();
  if (ctx.kind != UiRuleCtx::kDigits) {
    ctx.error = "请输入无符号类型的数字例如 (0， 100) 等等.";
    return false;
  }
  const int64_t v = ctx.intValue;  // never negative for digits only
  if (v > kUInt32Max) {
    const uint32_t lo = (boundFlags_ & kBoundLower) ? lower_ : 0u;
    const uint32_t hi =
        (boundFlags_ & kBoundUpper) ? upper_ : static_cast<uint32_t>(kUInt32Max);
    ctx.error = FormatIntRangeError(kBoundBoth, lo, hi, "%u");
    return false;
  }
  if (InBounds(boundFlags_, v, int64_t{lower_}, int64_t{upper_})) return true;
  ctx.error = FormatIntRangeError(boundFlags_, lower_, upper_, "%u");
  return false;
}

bool UiRuleSegFloatRange::Check(UiRuleCtx& ctx) const {
  ctx.Classify();
  if (ctx.kind == UiRuleCtx::kNotNumber) {
    ctx.error = "请输入浮点数类型的数字，例如 (0.213, -12.345) 等等.";
    return false;
  }
  // An integer keeps its full value here rather than a 32-bit cut of it.
  const double v = ctx.kind == UiRuleCtx::kDecimal ? ctx.floatValue
                                                   : static_cast<double>(ctx.intValue);
  constexpr double kTolerance = 1e-7;
  const bool lowOk = !(boundFlags_ & kBoundLower) || !(v < lower_ - kTolerance);
  const bool highOk = !(boundFlags_ & kBoundUpper) || !(v > upper_ + kTolerance);
  if (lowOk && highOk) return true;
  const std::string numberFormat = StrFormat("%%.%dlf", static_cast<int>(decimals_));
  ctx.error = FormatFloatRangeError(boundFlags_, lower_, upper_, numberFormat.c_str());
  return false;
}

}  // namespace NsUiRule

UiRule::~UiRule() = default;

UiRule& UiRule::AddSegment(NsUiRule::UiRuleSegment* segment) {
  if (segment == nullptr) {
    OV_LOG(8).AppendText("seg is null. ");
    return *this;
  }
  segments_.emplace_back(segment);
  return *this;
}

bool UiRule::Check(const std::string& text, std::string& message) const {
  UiRuleCtx ctx(name_, text);
  for (const auto& segment : segments_) {
    if (!segment->Check(ctx)) {
      message = StrFormat("[%s] %s", ctx.ruleName.c_str(), ctx.error.c_str());
      return false;
    }
  }
  return true;
}

bool ValidateDataTypeValue(int32_t valueKind, const std::string& text, std::string* message) {
  UiRule rule("数据");
  switch (valueKind) {
    case 1:
      rule.AddSegment(new NsUiRule::UiRuleSegSIntRange(-32768, 32767, NsUiRule::kBoundBoth));
      break;
    case 2:
      rule.AddSegment(new NsUiRule::UiRuleSegUIntRange(0, 65535, NsUiRule::kBoundBoth));
      break;
    case 3:
      rule.AddSegment(new NsUiRule::UiRuleSegSIntRange(std::numeric_limits<int32_t>::min(),
                                                       std::numeric_limits<int32_t>::max(),
                                                       NsUiRule::kBoundBoth));
      break;
    case 4:
      rule.AddSegment(new NsUiRule::UiRuleSegUIntRange(0, std::numeric_limits<uint32_t>::max(),
                                                       NsUiRule::kBoundBoth));
      break;
    default:
      if (message != nullptr) *message = "未知的数据类型.";
      return false;
  }
  std::string scratch;
  return rule.Check(text, message != nullptr ? *message : scratch);
}

}  // namespace NsOvrin
