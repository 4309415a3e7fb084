#include "platform/Format.h"

#include <gtest/gtest.h>

#include <clocale>
#include <limits>

using namespace NsOvrin::NsPlatform;

TEST(Format, IgnoresProcessLocale) {
  // A decimal comma locale must not leak into formatted numbers.
  const char* set = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
  EXPECT_EQ(StrFormat("%.1f|%s.%s|%05d", 2.25, "PLC1", "D1", 42), "2.2|PLC1.D1|00042");
  if (set) std::setlocale(LC_NUMERIC, "C");
  EXPECT_EQ(StrFormat("%s", ""), "");
}

TEST(Format, DecimalParsingSaturates) {
  const struct { const char* text; uint32_t u32; uint64_t u64; } cases[] = {
      {"0", 0, 0},
      {"", 0, 0},
      {"123abc", 123, 123},
      {"4294967295", 4294967295u, 4294967295u},
      {"4294967296", 4294967295u, 4294967296u},
      {"18446744073709551615", 4294967295u, 18446744073709551615ull},
      {"99999999999999999999999", 4294967295u, 18446744073709551615ull},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ParseDecimalU32Saturating(c.text), c.u32) << c.text;
    EXPECT_EQ(ParseDecimalU64Saturating(c.text), c.u64) << c.text;
  }
}

TEST(Format, AppendFixedWritesWhatPrintfWrites) {
  const double values[] = {0.0, -0.0, 0.05, 0.15, 0.25, 100.25, 2.5, -2.5, 1e-300, 123456789.125,
                           3.4028234663852886e38, -1.7976931348623157e308, 1.0 / 3.0,
                           std::numeric_limits<double>::infinity(), -std::numeric_limits<double>::infinity(),
                           std::numeric_limits<double>::quiet_NaN(), -std::numeric_limits<double>::quiet_NaN()};
  for (int decimals : {0, 1, 2, 9}) {
    for (double value : values) {
      std::string out = "x";
      AppendFixed(out, value, decimals);
      EXPECT_EQ(out, "x" + StrFormat("%.*f", decimals, value)) << value << " with " << decimals;
    }
  }
}
