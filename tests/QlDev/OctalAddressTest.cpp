#include "QlDev/MemArea.h"
#include "QlDev/OctalAddress.h"

#include <gtest/gtest.h>

using namespace NsOvrin::NsTermination;

TEST(OctalAddress, ToLinearAndBack) {
  const struct {
    uint32_t written, linear;
  } cases[] = {
      {0, 0}, {7, 7}, {10, 8}, {17, 15}, {20, 16}, {367, 247}, {377, 255}, {400, 256},
      {3777777777u, 536870911u},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(OctalToLinear(c.written), c.linear) << c.written;
    EXPECT_EQ(LinearToOctal(c.linear), c.written) << c.linear;
  }
  // Digits 8 and 9 are read as given; the maps refuse them.
  EXPECT_EQ(OctalToLinear(18), 16u);
  EXPECT_EQ(OctalToLinear(4294967295u), 4u * 134217728 + 2 * 16777216 + 9 * 2097152 +
                                             4 * 262144 + 9 * 32768 + 6 * 4096 + 7 * 512 +
                                             2 * 64 + 9 * 8 + 5);
  // Octal spellings beyond 32 bits saturate instead of wrapping.
  EXPECT_EQ(LinearToOctal(671088639u), 4294967295u);  // 4777777777 in octal digits
  EXPECT_EQ(LinearToOctal(536870912u), 4000000000u);
  EXPECT_EQ(LinearToOctal(uint64_t{1} << 40), 4294967295u);
}

TEST(OctalAddress, LastAddressAndIncrement) {
  const struct {
    uint32_t start;
    uint16_t count;
    uint32_t last;
  } lasts[] = {
      {20, 8, 27}, {0, 1, 0}, {0, 256, 377}, {0, 248, 367}, {10, 8, 17}, {7, 2, 10},
      {17, 0, 17}, {3777777777u, 2, 4000000000u}, {3777777777u, 65535, 4000177775u},
      // 4315367313 and 4315167315 in octal digits do not fit 32 bits.
      {4294967295u, 65535, 4294967295u}, {4294967295u, 1, 4294967295u},
  };
  for (const auto& c : lasts)
    EXPECT_EQ(OctalLastAddress(c.start, c.count), c.last) << c.start << "+" << c.count;

  const struct {
    uint32_t number, next;
  } steps[] = {{0, 1}, {7, 10}, {17, 20}, {77, 100}, {377, 400}, {3777777777u, 4000000000u}};
  for (const auto& c : steps) EXPECT_EQ(OctalIncrement(c.number), c.next) << c.number;
}

TEST(OctalAddress, AreaRangeTexts) {
  MemArea d;
  d.prefix = "D";
  d.size = 7999;
  EXPECT_EQ(FormatAreaRange(d), "D[0~7998]");
  MemArea holding;
  holding.prefix = "4x";
  holding.size = 65534;
  EXPECT_EQ(FormatAreaRange(holding), "4x[0~65533]");
  MemArea shifted;
  shifted.prefix = "R";
  shifted.start = 100;
  shifted.size = 10;
  EXPECT_EQ(FormatAreaRange(shifted), "R[100~109]");

  MemArea x;
  x.prefix = "X";
  x.size = 256;
  EXPECT_EQ(FormatOctalAreaRange(x), "X[0~377]");
  x.size = 248;
  EXPECT_EQ(FormatOctalAreaRange(x), "X[0~367]");
  x.start = 20;
  x.size = 8;
  EXPECT_EQ(FormatOctalAreaRange(x), "X[20~27]");
}
