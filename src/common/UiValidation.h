#pragma once
// Rule lists that check text typed into dialogs. A list runs its segments in
// order; the first refusal gives the message "[<list name>] <reason>".
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace NsOvrin {

// Everything the segments of one check share. The input is classified once,
// on the first segment that needs a number.
struct UiRuleCtx {
  // Values of `kind`.
  static constexpr int32_t kDigits = 1;     // digits only
  static constexpr int32_t kSigned = 2;     // signed integer
  static constexpr int32_t kDecimal = 3;    // decimal number
  static constexpr int32_t kNotNumber = 4;  // anything else

  UiRuleCtx(std::string ruleName, std::string input)
      : ruleName(std::move(ruleName)), input(std::move(input)) {}

  std::string ruleName;
  std::string input;
  std::string error;  // reason written by a refusing segment
  int32_t kind = kNotNumber;
  // Integers are read in 64 bits (saturating) so that a value beyond the
  // 32-bit range is refused instead of being stored as something else.
  int64_t intValue = 0;     // kinds 1 and 2
  double floatValue = 0.0;  // kind 3
  bool classified = false;

  void Classify();
};

namespace NsUiRule {

// Bound flags of the range segments.
constexpr uint16_t kBoundNone = 0;
constexpr uint16_t kBoundLower = 1;
constexpr uint16_t kBoundUpper = 2;
constexpr uint16_t kBoundBoth = 3;

class UiRuleSegment {
 public:
  virtual ~UiRuleSegment() = default;
  // False refuses the input, with the reason in ctx.error.
  virtual bool Check(UiRuleCtx& ctx) const = 0;
};

class UiRuleSegRequired : public UiRuleSegment {
 public:
  bool Check(UiRuleCtx& ctx) const override;
};

class UiRuleSegSIntRange : public UiRuleSegment {
 public:
  UiRuleSegSIntRange(int32_t lower, int32_t upper, uint16_t boundFlags)
      : lower_(lower), upper_(upper), boundFlags_(boundFlags) {}
  bool Check(UiRuleCtx& ctx) const override;

 private:
  int32_t lower_;
  int32_t upper_;
  uint16_t boundFlags_;
};

class UiRuleSegUIntRange : public UiRuleSegment {
 public:
  UiRuleSegUIntRange(uint32_t lower, uint32_t upper, uint16_t boundFlags)
      : lower_(lower), upper_(upper), boundFlags_(boundFlags) {}
  bool Check(UiRuleCtx& ctx) const override;

 private:
  uint32_t lower_;
  uint32_t upper_;
  uint16_t boundFlags_;
};

class UiRuleSegFloatRange : public UiRuleSegment {
 public:
  UiRuleSegFloatRange(double lower, double upper, uint16_t boundFlags, uint8_t decimals)
      : lower_(lower), upper_(upper), boundFlags_(boundFlags), decimals_(decimals) {}
  bool Check(UiRuleCtx& ctx) const override;

 private:
  double lower_;
  double upper_;
  uint16_t boundFlags_;
  uint8_t decimals_;  // decimals of the bounds shown in the reason
};

// Range reasons, about the fixed subject "数据". numberFormat prints one bound
// ("%d", "%u", "%.2lf", ...); the bounds must match it.
std::string FormatIntRangeError(uint16_t boundFlags, int32_t lower, int32_t upper,
                                const char* numberFormat);
std::string FormatIntRangeError(uint16_t boundFlags, uint32_t lower, uint32_t upper,
                                const char* numberFormat);
std::string FormatFloatRangeError(uint16_t boundFlags, double lower, double upper,
                                  const char* numberFormat);

}  // namespace NsUiRule

class UiRule {
 public:
  explicit UiRule(std::string name) : name_(std::move(name)) {}
  UiRule(const UiRule&) = delete;
  UiRule& operator=(const UiRule&) = delete;
  ~UiRule();

  // Takes ownership of the segment; a null one is logged and left out.
  UiRule& AddSegment(NsUiRule::UiRuleSegment* segment);

  // True when every segment accepts the text; otherwise false and message
  // becomes "[name] reason" of the first refusal (untouched on success).
  bool Check(const std::string& text, std::string& message) const;

  const std::string& Name() const { return name_; }
  std::size_t SegmentCount() const { return segments_.size(); }

 private:
  std::string name_;
  std::vector<std::unique_ptr<NsUiRule::UiRuleSegment>> segments_;
};

// Checks a value typed for a bound data type: valueKind 1 signed 16-bit,
// 2 unsigned 16-bit, 3 signed 32-bit, 4 unsigned 32-bit. message may be null.
bool ValidateDataTypeValue(int32_t valueKind, const std::string& text, std::string* message);

}  // namespace NsOvrin
