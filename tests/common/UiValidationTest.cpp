#include "common/UiValidation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "common/Log.h"

using namespace NsOvrin;
using namespace NsOvrin::NsUiRule;

namespace {

const char* const kIntReason = "请输入整数类型的数字例如 (100, -100) 等等.";
const char* const kUIntReason = "请输入无符号类型的数字例如 (0， 100) 等等.";
const char* const kFloatReason = "请输入浮点数类型的数字，例如 (0.213, -12.345) 等等.";

// Runs one segment alone and returns its reason ("" when it accepts).
std::string Reason(const UiRuleSegment& seg, const std::string& text) {
  UiRuleCtx ctx("r", text);
  if (seg.Check(ctx)) return "";
  EXPECT_FALSE(ctx.error.empty()) << text;
  return ctx.error;
}

struct SegCase {
  std::string text;
  std::string reason;  // "" accepted
};

void ExpectCases(const UiRuleSegment& seg, const std::vector<SegCase>& cases) {
  for (const auto& c : cases) EXPECT_EQ(Reason(seg, c.text), c.reason) << "input: " << c.text;
}

}  // namespace

TEST(UiRuleCtx, ClassifiesOnceAndReadsValues) {
  constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
  constexpr int64_t kMin = std::numeric_limits<int64_t>::min();
  struct Case {
    std::string input;
    int32_t kind;
    int64_t intValue;
    double floatValue;
  };
  const std::vector<Case> cases = {
      {"0", 1, 0, 0},
      {"007", 1, 7, 0},
      {"4294967296", 1, 4294967296LL, 0},
      {"99999999999999999999999", 1, kMax, 0},
      {"-0", 2, 0, 0},
      {"+12", 2, 12, 0},
      {"-12", 2, -12, 0},
      {"-99999999999999999999999", 2, kMin, 0},
      {"1.5", 3, 0, 1.5},
      {"-0.25", 3, 0, -0.25},
      {"+3.0", 3, 0, 3.0},
      {".5", 4, 0, 0},
      {"5.", 4, 0, 0},
      {"1e3", 4, 0, 0},
      {"1,5", 4, 0, 0},
      {"|5", 4, 0, 0},
      {"+-5", 4, 0, 0},
      {"１２", 4, 0, 0},
      {"", 4, 0, 0},
      {"5 ", 4, 0, 0},
      {" 5", 4, 0, 0},
      {"5\n", 4, 0, 0},
      {"\xff", 4, 0, 0},
  };
  for (const auto& c : cases) {
    UiRuleCtx ctx("r", c.input);
    ctx.Classify();
    EXPECT_TRUE(ctx.classified);
    EXPECT_EQ(ctx.kind, c.kind) << c.input;
    if (c.kind == 1 || c.kind == 2) {
      EXPECT_EQ(ctx.intValue, c.intValue) << c.input;
    }
    if (c.kind == 3) {
      EXPECT_DOUBLE_EQ(ctx.floatValue, c.floatValue) << c.input;
    }
  }

  UiRuleCtx ctx("r", "12");
  ctx.Classify();
  ctx.input = "abc";
  ctx.Classify();
  EXPECT_EQ(ctx.kind, UiRuleCtx::kDigits);
  EXPECT_EQ(ctx.intValue, 12);
}

TEST(UiRuleCtx, DecimalsOutsideTheDoubleRange) {
  UiRuleCtx huge("r", std::string(400, '9') + ".5");
  huge.Classify();
  ASSERT_EQ(huge.kind, UiRuleCtx::kDecimal);
  EXPECT_TRUE(std::isinf(huge.floatValue) && huge.floatValue > 0);

  UiRuleCtx negHuge("r", "-" + std::string(400, '9') + ".5");
  negHuge.Classify();
  EXPECT_TRUE(std::isinf(negHuge.floatValue) && negHuge.floatValue < 0);

  UiRuleCtx tiny("r", "0." + std::string(400, '0') + "1");
  tiny.Classify();
  ASSERT_EQ(tiny.kind, UiRuleCtx::kDecimal);
  EXPECT_EQ(tiny.floatValue, 0.0);
}

TEST(UiRuleSegments, Required) {
  UiRuleSegRequired seg;
  ExpectCases(seg, {{"", "输入不能为空！"}, {" ", ""}, {"x", ""}});
}

TEST(UiRuleSegments, SignedRange) {
  ExpectCases(UiRuleSegSIntRange(-10, 10, kBoundBoth),
              {{"-10", ""},
               {"10", ""},
               {"+7", ""},
               {"11", "数据必须在 -10 ~ 10 之间."},
               {"-11", "数据必须在 -10 ~ 10 之间."},
               {"1.0", kIntReason},
               {"", kIntReason},
               {"|5", kIntReason}});
  ExpectCases(UiRuleSegSIntRange(5, 0, kBoundLower),
              {{"4", "数据必须大于等于5."},
               {"5", ""},
               {"2147483647", ""},
               // Beyond 32 bits: refused, naming the range the value can take.
               {"3000000000", "数据必须在 5 ~ 2147483647 之间."}});
  ExpectCases(UiRuleSegSIntRange(0, 10, kBoundUpper),
              {{"11", "数据必须小于等于10."},
               {"-2147483648", ""},
               {"-2147483649", "数据必须在 -2147483648 ~ 10 之间."}});
  ExpectCases(UiRuleSegSIntRange(100, 0, kBoundNone),
              {{"-5", ""},
               {"2147483648", "数据必须在 -2147483648 ~ 2147483647 之间."},
               {"x", kIntReason}});
}

TEST(UiRuleSegments, UnsignedRange) {
  ExpectCases(UiRuleSegUIntRange(2, 100, kBoundBoth),
              {{"2", ""},
               {"100", ""},
               {"1", "数据必须在 2 ~ 100 之间."},
               {"101", "数据必须在 2 ~ 100 之间."},
               {"+5", kUIntReason},
               {"-1", kUIntReason},
               {"-0", kUIntReason},
               {"5.0", kUIntReason}});
  ExpectCases(UiRuleSegUIntRange(2, 0, kBoundLower),
              {{"1", "数据必须大于等于2."},
               {"4294967295", ""},
               {"4294967296", "数据必须在 2 ~ 4294967295 之间."}});
  ExpectCases(UiRuleSegUIntRange(0, 3000000000u, kBoundUpper),
              {{"3000000000", ""}, {"3000000001", "数据必须小于等于3000000000."}});
  ExpectCases(UiRuleSegUIntRange(0, 0, kBoundNone),
              {{"0", ""},
               {"99999999999", "数据必须在 0 ~ 4294967295 之间."},
               {"", kUIntReason}});
}

TEST(UiRuleSegments, FloatRange) {
  ExpectCases(UiRuleSegFloatRange(0, 10, kBoundBoth, 2),
              {{"10.00000005", ""},
               {"-0.00000005", ""},
               {"10", ""},
               {"+0.5", ""},
               {"10.1", "数据必须在 0.00 ~ 10.00 之间."},
               {"-1", "数据必须在 0.00 ~ 10.00 之间."},
               {"abc", kFloatReason},
               {"1,5", kFloatReason},
               {"", kFloatReason}});
  ExpectCases(UiRuleSegFloatRange(20, 0, kBoundLower, 1),
              {{"19.9", "数据必须大于等于20.0."}, {"20", ""}});
  ExpectCases(UiRuleSegFloatRange(0, 1.5, kBoundUpper, 0), {{"1.6", "数据必须小于等于2."}});
  // Integers keep their full value, not a 32-bit cut of it.
  ExpectCases(UiRuleSegFloatRange(0, 5e9, kBoundUpper, 0),
              {{"4000000000", ""},
               {"6000000000", "数据必须小于等于5000000000."},
               {std::string(400, '9') + ".5", "数据必须小于等于5000000000."}});
  ExpectCases(UiRuleSegFloatRange(-1e12, 0, kBoundLower, 0),
              {{"-3000000000", ""}, {"-1000000000001", "数据必须大于等于-1000000000000."}});
  ExpectCases(UiRuleSegFloatRange(0, 0, kBoundNone, 7),
              {{"99999999999999999999999", ""}, {"-1.25", ""}, {"x", kFloatReason}});
}

TEST(UiRuleSegments, RangeReasonFormatters) {
  EXPECT_EQ(FormatIntRangeError(kBoundBoth, -1, 1, "%d"), "数据必须在 -1 ~ 1 之间.");
  EXPECT_EQ(FormatIntRangeError(kBoundLower, 4000000000u, 0u, "%u"), "数据必须大于等于4000000000.");
  EXPECT_EQ(FormatIntRangeError(kBoundUpper, 0, 7, "%d"), "数据必须小于等于7.");
  EXPECT_EQ(FormatFloatRangeError(kBoundBoth, 0.5, 10, "%.2lf"), "数据必须在 0.50 ~ 10.00 之间.");
  EXPECT_EQ(FormatFloatRangeError(kBoundUpper, 0, 10.25, "%.1lf"), "数据必须小于等于10.2.");
}

namespace {

// Counts its destruction; refuses with a fixed reason when told to.
struct ProbeSegment : UiRuleSegment {
  ProbeSegment(int* destroyed, bool accept, std::string reason, int* calls = nullptr)
      : destroyed(destroyed), accept(accept), reason(std::move(reason)), calls(calls) {}
  ~ProbeSegment() override { ++*destroyed; }
  bool Check(UiRuleCtx& ctx) const override {
    if (calls) ++*calls;
    if (!accept) ctx.error = reason;
    return accept;
  }
  int* destroyed;
  bool accept;
  std::string reason;
  int* calls;
};

struct CollectingSink : NsLog::LogSink {
  std::vector<NsLog::LogRecord> records;
  void Write(const NsLog::LogRecord& r) override { records.push_back(r); }
};

}  // namespace

TEST(UiRule, FirstRefusalGivesTheMessage) {
  int destroyed = 0;
  int laterCalls = 0;
  {
    UiRule rule("长度");
    rule.AddSegment(new ProbeSegment(&destroyed, true, ""))
        .AddSegment(new ProbeSegment(&destroyed, false, "first"))
        .AddSegment(new ProbeSegment(&destroyed, false, "second", &laterCalls));
    std::string message;
    EXPECT_FALSE(rule.Check("x", message));
    EXPECT_EQ(message, "[长度] first");
    EXPECT_EQ(laterCalls, 0);
  }
  EXPECT_EQ(destroyed, 3);
}

TEST(UiRule, ListsAsTheDialogsBuildThem) {
  UiRule length("字符串长度");
  length.AddSegment(new UiRuleSegRequired).AddSegment(new UiRuleSegUIntRange(2, 100, kBoundBoth));
  UiRule count("警报数量");
  count.AddSegment(new UiRuleSegUIntRange(0, 0, kBoundNone))
      .AddSegment(new UiRuleSegUIntRange(1, 1000, kBoundBoth));
  UiRule empty("空");

  struct Case {
    const UiRule* rule;
    std::string text;
    bool ok;
    std::string message;
  };
  const std::vector<Case> cases = {
      {&length, "", false, "[字符串长度] 输入不能为空！"},
      {&length, "x", false, std::string("[字符串长度] ") + kUIntReason},
      {&length, "101", false, "[字符串长度] 数据必须在 2 ~ 100 之间."},
      {&length, "50", true, "untouched"},
      {&count, "-3", false, std::string("[警报数量] ") + kUIntReason},
      {&count, "0", false, "[警报数量] 数据必须在 1 ~ 1000 之间."},
      {&count, "1000", true, "untouched"},
      {&empty, "", true, "untouched"},
      {&empty, "anything", true, "untouched"},
  };
  for (const auto& c : cases) {
    std::string message = "untouched";
    EXPECT_EQ(c.rule->Check(c.text, message), c.ok) << c.rule->Name() << " / " << c.text;
    EXPECT_EQ(message, c.message) << c.rule->Name() << " / " << c.text;
  }
}

TEST(UiRule, NullSegmentIsLoggedAndLeftOut) {
  NsLog::Logger& logger = NsLog::GetLogger(8);
  const bool was = logger.IsEnabled();
  CollectingSink sink;
  logger.AddSink(&sink);
  logger.SetEnabled(true);

  UiRule rule("r");
  UiRule& same = rule.AddSegment(nullptr).AddSegment(new UiRuleSegRequired).AddSegment(nullptr);

  logger.RemoveSink(&sink);
  logger.SetEnabled(was);

  EXPECT_EQ(&same, &rule);
  EXPECT_EQ(rule.SegmentCount(), 1u);
  ASSERT_EQ(sink.records.size(), 2u);
  EXPECT_EQ(sink.records[0].text, "seg is null. ");
  EXPECT_EQ(sink.records[0].level, 8);
  std::string message;
  EXPECT_FALSE(rule.Check("", message));
  EXPECT_EQ(message, "[r] 输入不能为空！");
}

TEST(ValidateDataTypeValue, ByKind) {
  struct Case {
    int32_t kind;
    std::string text;
    bool ok;
    std::string message;  // "untouched" when accepted
  };
  const std::string intMsg = std::string("[数据] ") + kIntReason;
  const std::string uintMsg = std::string("[数据] ") + kUIntReason;
  const std::string s16 = "[数据] 数据必须在 -32768 ~ 32767 之间.";
  const std::string u16 = "[数据] 数据必须在 0 ~ 65535 之间.";
  const std::string s32 = "[数据] 数据必须在 -2147483648 ~ 2147483647 之间.";
  const std::string u32 = "[数据] 数据必须在 0 ~ 4294967295 之间.";
  const std::vector<Case> cases = {
      {1, "70000", false, s16},
      {1, "-32769", false, s16},
      {1, "-32768", true, "untouched"},
      {1, "32767", true, "untouched"},
      {1, "+5", true, "untouched"},
      {1, "", false, intMsg},
      {1, "1.5", false, intMsg},
      {1, "|5", false, intMsg},
      {2, "-1", false, uintMsg},
      {2, "+5", false, uintMsg},
      {2, "65535", true, "untouched"},
      {2, "65536", false, u16},
      {3, "-2147483648", true, "untouched"},
      {3, "2147483647", true, "untouched"},
      {3, "3000000000", false, s32},
      {3, "-2147483649", false, s32},
      {3, "99999999999999999999999", false, s32},
      {4, "4294967295", true, "untouched"},
      {4, "4294967296", false, u32},
      {4, "99999999999", false, u32},
      {4, "5\n", false, uintMsg},
      {4, "１２", false, uintMsg},
      {0, "1", false, "未知的数据类型."},
      {5, "1", false, "未知的数据类型."},
      {7, "1", false, "未知的数据类型."},
      {-1, "1", false, "未知的数据类型."},
  };
  for (const auto& c : cases) {
    std::string message = "untouched";
    EXPECT_EQ(ValidateDataTypeValue(c.kind, c.text, &message), c.ok) << c.kind << " " << c.text;
    EXPECT_EQ(message, c.message) << c.kind << " " << c.text;
    EXPECT_EQ(ValidateDataTypeValue(c.kind, c.text, nullptr), c.ok) << c.kind << " " << c.text;
  }
}

// Values of tens of thousands of characters get the messages of short ones:
// digits read as a saturated number, anything else as no number.
TEST(ValidateDataTypeValue, LongValues) {
  const std::string digits(40000, '7');
  const std::string dots(20000, '.');
  const std::string intMsg = std::string("[数据] ") + kIntReason;
  const std::string uintMsg = std::string("[数据] ") + kUIntReason;
  const struct {
    int32_t kind;
    std::string text;
    std::string message;
  } cases[] = {
      {1, digits, "[数据] 数据必须在 -32768 ~ 32767 之间."},
      {3, "-" + digits, "[数据] 数据必须在 -2147483648 ~ 2147483647 之间."},
      {4, "0" + std::string(40000, '0'), "untouched"},
      {4, std::string(40000, '0') + "1", "untouched"},
      {2, digits + "x", uintMsg},
      {1, digits + ".5", intMsg},
      {1, dots + "\n", intMsg},
      {3, "1" + dots + "\n1", intMsg},
      {4, std::string(40000, ' ') + "1", uintMsg},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 40));
    std::string message = "untouched";
    EXPECT_EQ(ValidateDataTypeValue(c.kind, c.text, &message), c.message == "untouched");
    EXPECT_EQ(message, c.message);
  }
  // The float segment reads a long decimal, and refuses a long non-number.
  const UiRuleSegFloatRange floats(0.0, 10.0, kBoundBoth, 2);
  EXPECT_EQ(Reason(floats, "1." + digits), "");
  EXPECT_EQ(Reason(floats, digits + "." + digits), "数据必须在 0.00 ~ 10.00 之间.");
  EXPECT_EQ(Reason(floats, "1." + digits + "x"), kFloatReason);
  EXPECT_EQ(Reason(floats, dots + "\n"), kFloatReason);
}
