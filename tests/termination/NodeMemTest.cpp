#include "termination/CacheVarMitsFx.h"
#include "termination/CacheVarModbus.h"
#include "termination/NodeMemHxU.h"
#include "termination/NodeMemMitsFx.h"
#include "termination/NodeMemModbus.h"

#include <gtest/gtest.h>

#include "QlDev/OctalAddress.h"

using namespace NsOvrin::NsTermination;

namespace {

const NodeMemModbus kModbus;
const NodeMemHxU kHxU;
const NodeMemMitsFx kFx;

struct ParseCase {
  const GeneralNodeMem* map;
  const char* text;
  AddrCheckCode code;
  const char* prefix = "";
  uint32_t start = 0;
  uint16_t count = 0;
  uint32_t kind = kKindWord;
  uint16_t writable = 0;
};

const char* MapName(const NodeMem* map) {
  if (map == &kModbus) return "Modbus";
  if (map == &kHxU) return "HxU";
  return "FX";
}

}  // namespace

TEST(NodeMemParse, Modbus) {
  const ParseCase cases[] = {
      {&kModbus, "4x[00010~00019]", kAddrOk, "4x", 10, 10, kKindWord, 1},
      {&kModbus, "4X10", kAddrOk, "4x", 10, 1, kKindWord, 1},
      {&kModbus, "0x[5~5]", kAddrOk, "0x", 5, 1, kKindBit, 1},
      {&kModbus, "1x7", kAddrOk, "1x", 7, 1, kKindBit, 0},
      {&kModbus, "3x[0~124]", kAddrOk, "3x", 0, 125, kKindWord, 0},
      {&kModbus, "abc4x[1~2]", kAddrOk, "4x", 1, 2, kKindWord, 1},
      {&kModbus, "  4x3  ", kAddrOk, "4x", 3, 1, kKindWord, 1},
      {&kModbus, "4x65533", kAddrOk, "4x", 65533, 1, kKindWord, 1},
      {&kModbus, "4x[0~65533]", kAddrOk, "4x", 0, 65534, kKindWord, 1},
      {&kModbus, "4x65534", kAddrBadRange},
      {&kModbus, "4x[65533~65534]", kAddrBadRange},
      {&kModbus, "4x[0~65534]", kAddrBadRange},
      {&kModbus, "0x[5~4]", kAddrBadRange},
      {&kModbus, " abc4x[1~2]", kAddrFormatError},
      {&kModbus, "2x1", kAddrFormatError},
      {&kModbus, "4x", kAddrFormatError},
      {&kModbus, "4x-1", kAddrFormatError},
      {&kModbus, "", kAddrFormatError},
      // Saturated numbers never wrap into the area.
      {&kModbus, "4x4294967295", kAddrBadRange},
      {&kModbus, "4x4294967296", kAddrBadRange},
      {&kModbus, "4x99999999999999999999", kAddrBadRange},
      {&kModbus, "4x[4294967295~4294967296]", kAddrBadRange},
      {&kModbus, "4x[0~4294967296]", kAddrBadRange},
      {&kModbus, "4x[0~65535]", kAddrBadRange},   // 65536 units, not a count of 0
      {&kModbus, "4x[0~131071]", kAddrBadRange},  // 131072 units, not 0 in 16 bits
      {&kModbus, "4x[65535~65535]", kAddrBadRange},
      {&kModbus, "4x[2147483649~5]", kAddrBadRange},
  };
  for (const ParseCase& c : cases) {
    TermAddr addr;
    addr.prefix = "old";
    EXPECT_EQ(c.map->ParseAddress(c.text, addr), c.code) << c.text;
    if (c.code != kAddrOk) {
      EXPECT_EQ(addr.prefix, "old") << c.text;  // written only on success
      continue;
    }
    EXPECT_EQ(addr.prefix, c.prefix) << c.text;
    EXPECT_EQ(addr.start, c.start) << c.text;
    EXPECT_EQ(addr.count, c.count) << c.text;
    EXPECT_EQ(addr.kind, c.kind) << c.text;
    EXPECT_EQ(addr.writable, c.writable) << c.text;
    EXPECT_EQ(addr.linearPos, nullptr) << c.text;
    EXPECT_EQ(addr.lastAddress, nullptr) << c.text;
  }
}

TEST(NodeMemParse, LetterMaps) {
  const ParseCase cases[] = {
      {&kHxU, "x17", kAddrOk, "X", 17, 1, kKindBit, 0},
      {&kHxU, "X18", kAddrBadRange},
      {&kHxU, "X[10~17]", kAddrOk, "X", 10, 8, kKindBit, 0},
      {&kHxU, "X[10~18]", kAddrBadRange},
      {&kHxU, "X[0~377]", kAddrOk, "X", 0, 256, kKindBit, 0},
      {&kHxU, "X377", kAddrOk, "X", 377, 1, kKindBit, 0},
      {&kHxU, "X400", kAddrBadRange},
      {&kHxU, "X370", kAddrOk, "X", 370, 1, kKindBit, 0},
      {&kHxU, "y[0~7]", kAddrOk, "Y", 0, 8, kKindBit, 1},
      {&kHxU, "Y9", kAddrBadRange},
      {&kHxU, "m7678", kAddrOk, "M", 7678, 1, kKindBit, 1},
      {&kHxU, "M7679", kAddrBadRange},
      {&kHxU, "S4094", kAddrOk, "S", 4094, 1, kKindBit, 1},
      {&kHxU, "S4095", kAddrBadRange},
      {&kHxU, "D[0~7998]", kAddrOk, "D", 0, 7999, kKindWord, 1},
      {&kHxU, "D7998", kAddrOk, "D", 7998, 1, kKindWord, 1},
      {&kHxU, "D7999", kAddrBadRange},
      {&kHxU, "d19", kAddrOk, "D", 19, 1, kKindWord, 1},  // decimal: 9 is a digit
      {&kHxU, "R32766", kAddrOk, "R", 32766, 1, kKindWord, 1},
      {&kHxU, "R32767", kAddrBadRange},
      {&kHxU, "W1", kAddrFormatError},
      {&kHxU, "4x1", kAddrFormatError},
      {&kHxU, "D[5~4]", kAddrBadRange},
      {&kHxU, "X4294967296", kAddrBadRange},
      {&kHxU, "X3777777777", kAddrBadRange},
      {&kHxU, "X[0~3777777777]", kAddrBadRange},
      {&kHxU, "D4294967296", kAddrBadRange},
      {&kFx, "X367", kAddrOk, "X", 367, 1, kKindBit, 0},
      {&kFx, "X370", kAddrBadRange},
      {&kFx, "X[0~367]", kAddrOk, "X", 0, 248, kKindBit, 0},
      {&kFx, "X[0~377]", kAddrBadRange},
      {&kFx, "Y370", kAddrBadRange},
      {&kFx, "Y18", kAddrBadRange},
      {&kFx, "M7678", kAddrOk, "M", 7678, 1, kKindBit, 1},
      {&kFx, "M7679", kAddrBadRange},
      {&kFx, "S4095", kAddrBadRange},
      {&kFx, "D7999", kAddrBadRange},
      {&kFx, "R[32760~32766]", kAddrOk, "R", 32760, 7, kKindWord, 1},
      {&kFx, "R32767", kAddrBadRange},
  };
  for (const ParseCase& c : cases) {
    TermAddr addr;
    const std::string where = std::string(MapName(c.map)) + " " + c.text;
    EXPECT_EQ(c.map->ParseAddress(c.text, addr), c.code) << where;
    if (c.code != kAddrOk) continue;
    EXPECT_EQ(addr.prefix, c.prefix) << where;
    EXPECT_EQ(addr.start, c.start) << where;
    EXPECT_EQ(addr.count, c.count) << where;
    EXPECT_EQ(addr.kind, c.kind) << where;
    EXPECT_EQ(addr.writable, c.writable) << where;
    const bool octal = addr.prefix == "X" || addr.prefix == "Y";
    EXPECT_EQ(addr.linearPos, octal ? OctalToLinear : nullptr) << where;
    EXPECT_EQ(addr.lastAddress, octal ? OctalLastAddress : nullptr) << where;
  }
}

// Texts parsed before give the same answers again, each map class its own:
// "X370" is an input of one letter map and past the end of the other.
TEST(NodeMemParse, RepeatedTextsKeepEachMapsAnswer) {
  const std::string padded = "4x3" + std::string(80, ' ');  // longer than any remembered text
  const ParseCase cases[] = {
      {&kHxU, "X370", kAddrOk, "X", 370, 1, kKindBit, 0},
      {&kFx, "X370", kAddrBadRange},
      {&kModbus, "X370", kAddrFormatError},
      {&kFx, "D7998", kAddrOk, "D", 7998, 1, kKindWord, 1},
      {&kModbus, "4x[1~2]", kAddrOk, "4x", 1, 2, kKindWord, 1},
      {&kModbus, padded.c_str(), kAddrOk, "4x", 3, 1, kKindWord, 1},
      {&kModbus, "4x[2~1]", kAddrBadRange},
  };
  for (int round = 0; round < 3; ++round) {
    for (const ParseCase& c : cases) {
      TermAddr addr;
      addr.prefix = "old";
      const std::string where = std::string(MapName(c.map)) + " " + c.text + " round " + std::to_string(round);
      EXPECT_EQ(c.map->ParseAddress(c.text, addr), c.code) << where;
      if (c.code != kAddrOk) {
        EXPECT_EQ(addr.prefix, "old") << where;
        continue;
      }
      EXPECT_EQ(addr.prefix, c.prefix) << where;
      EXPECT_EQ(addr.start, c.start) << where;
      EXPECT_EQ(addr.count, c.count) << where;
      EXPECT_EQ(addr.kind, c.kind) << where;
      EXPECT_EQ(addr.writable, c.writable) << where;
    }
  }
}

TEST(NodeMemFormat, ParsedAddressesFormatBack) {
  const struct {
    const NodeMem* map;
    const char* text;
    const char* formatted;
  } cases[] = {
      {&kModbus, "4x[00010~00019]", "4x[00010~00019]"},
      {&kModbus, "4X10", "4x00010"},
      {&kModbus, "0x[5~5]", "0x00005"},
      {&kModbus, "3x[7~65533]", "3x[00007~65533]"},
      {&kHxU, "x[10~17]", "X[10~17]"},
      {&kHxU, "X[0~377]", "X[0~377]"},
      {&kHxU, "d0010", "D10"},
      {&kHxU, "M[8~15]", "M[8~15]"},
      {&kFx, "y[0~367]", "Y[0~367]"},
  };
  for (const auto& c : cases) {
    TermAddr addr;
    ASSERT_EQ(c.map->ParseAddress(c.text, addr), kAddrOk) << c.text;
    EXPECT_EQ(c.map->FormatAddress(addr.prefix, addr.start, addr.count, addr.lastAddress),
              c.formatted)
        << c.text;
  }
  EXPECT_EQ(kModbus.FormatAddress("4x", 5, 0, nullptr), "");
  EXPECT_EQ(kModbus.FormatAddress("", 5, 1, nullptr), "");
  // Modbus ignores the function; the letter maps use it.
  EXPECT_EQ(kModbus.FormatAddress("4x", 10, 8, OctalLastAddress), "4x[00010~00017]");
  EXPECT_EQ(kHxU.FormatAddress("X", 10, 9, OctalLastAddress), "X[10~20]");
  EXPECT_EQ(kHxU.FormatAddress("D", 0, 0, nullptr), "");
  // Modbus numbers take at least five digits, more when they need them; the
  // prefix ends at a NUL.
  const struct {
    std::string prefix;
    uint32_t start;
    uint16_t count;
    const char* formatted;
  } modbus[] = {
      {"0x", 0, 1, "0x00000"},
      {"4x", 99999, 1, "4x99999"},
      {"4x", 100000, 1, "4x100000"},
      {"4x", 4294967295u, 1, "4x4294967295"},
      {"4x", 99998, 3, "4x[99998~100000]"},
      {"3x", 4294967295u, 65535, "3x[4294967295~4295032829]"},
      {std::string("4x\0y", 4), 7, 1, "4x00007"},
  };
  for (const auto& c : modbus)
    EXPECT_EQ(kModbus.FormatAddress(c.prefix, c.start, c.count, nullptr), c.formatted) << c.formatted;
}

TEST(NodeMemAreas, TablesAndRangeTexts) {
  const struct {
    const NodeMem* map;
    std::vector<std::string> ranges;
  } cases[] = {
      {&kModbus, {"0x[0~65533]", "1x[0~65533]", "3x[0~65533]", "4x[0~65533]"}},
      {&kHxU, {"X[0~377]", "Y[0~377]", "M[0~7678]", "S[0~4094]", "D[0~7998]", "R[0~32766]"}},
      {&kFx, {"X[0~367]", "Y[0~367]", "M[0~7678]", "S[0~4094]", "D[0~7998]", "R[0~32766]"}},
  };
  for (const auto& c : cases) {
    const std::vector<MemArea>& areas = c.map->GetAreas();
    ASSERT_EQ(areas.size(), c.ranges.size()) << MapName(c.map);
    for (std::size_t i = 0; i < areas.size(); ++i) {
      ASSERT_NE(areas[i].rangeText, nullptr);
      EXPECT_EQ(areas[i].rangeText(areas[i]), c.ranges[i]) << MapName(c.map);
    }
    // One table per model, shared by every map of it.
    EXPECT_EQ(&areas, &c.map->GetAreas());
  }
  EXPECT_EQ(&NodeMemHxU().GetAreas(), &kHxU.GetAreas());
}

TEST(NodeMemAreas, CheckAreaRangeAndBlockRange) {
  const struct {
    const GeneralNodeMem* map;
    const char* prefix;
    uint32_t start;
    uint64_t count;
    AddrCheckCode code;
  } cases[] = {
      {&kModbus, "4x", 65533, 1, kAddrOk},
      {&kModbus, "4x", 65534, 1, kAddrBadRange},
      {&kModbus, "4x", 0, 65534, kAddrOk},
      {&kModbus, "4x", 0, 65535, kAddrBadRange},
      {&kModbus, "4x", 4294967295u, 1, kAddrBadRange},
      {&kModbus, "4x", 1, 0, kAddrBadLength},
      {&kModbus, "", 1, 1, kAddrBadType},
      {&kModbus, "4X", 1, 1, kAddrBadType},  // prefixes compare exactly
      {&kModbus, "2x", 1, 1, kAddrBadType},
      {&kHxU, "X", 377, 1, kAddrOk},
      {&kHxU, "X", 370, 9, kAddrBadRange},
      {&kHxU, "X", 0, 256, kAddrOk},
      {&kFx, "X", 370, 1, kAddrBadRange},
      {&kFx, "X", 360, 8, kAddrOk},
      {&kFx, "D", 7990, 9, kAddrOk},
      {&kFx, "D", 7990, 10, kAddrBadRange},
  };
  for (const auto& c : cases) {
    MemArea area;
    const AddrCheckCode code = c.map->CheckAreaRange(c.prefix, c.start, c.count, &area);
    EXPECT_EQ(code, c.code) << MapName(c.map) << " " << c.prefix << c.start << "+" << c.count;
    if (code == kAddrOk) {
      EXPECT_EQ(area.prefix, c.prefix);
    }
    if (c.count > 0xFFFF) continue;
    TermAddr addr;
    addr.prefix = c.prefix;
    addr.start = c.start;
    addr.count = static_cast<uint16_t>(c.count);
    EXPECT_EQ(c.map->CheckBlockRange(addr), c.code) << MapName(c.map) << " " << c.prefix << c.start;
  }
  // A start spelled with a non-octal digit is refused before the area check.
  TermAddr x18;
  x18.prefix = "X";
  x18.start = 18;
  x18.count = 1;
  EXPECT_EQ(kHxU.CheckBlockRange(x18), kAddrBadRange);
  x18.start = 17;
  EXPECT_EQ(kHxU.CheckBlockRange(x18), kAddrOk);
  x18.prefix = "D";
  x18.start = 18;
  EXPECT_EQ(kHxU.CheckBlockRange(x18), kAddrOk);
}

TEST(NodeMemAreas, FindArea) {
  MemArea area;
  ASSERT_EQ(kHxU.FindArea("x[0~7]", area), kAddrOk);
  EXPECT_EQ(area.prefix, "X");
  EXPECT_EQ(area.size, 256u);
  EXPECT_EQ(area.kind, kKindBit);
  ASSERT_EQ(kFx.FindArea("D10", area), kAddrOk);
  EXPECT_EQ(area.prefix, "D");
  EXPECT_EQ(area.kind, kKindWord);
  area.prefix = "kept";
  EXPECT_EQ(kFx.FindArea("D8000", area), kAddrBadRange);
  EXPECT_EQ(kFx.FindArea("W1", area), kAddrFormatError);
  EXPECT_EQ(area.prefix, "kept");
  ASSERT_EQ(kModbus.FindArea("0x1", area), kAddrOk);
  EXPECT_EQ(area.writable, 1);
}

TEST(NodeMemOps, StepAndAlign) {
  const struct {
    const NodeMem* map;
    const char* prefix;
    uint32_t start;
    uint16_t count;
    uint32_t steppedStart;
    uint32_t alignedStart;
    uint16_t alignedCount;
  } cases[] = {
      {&kModbus, "0x", 13, 3, 14, 13, 3},
      {&kModbus, "4x", 7, 1, 8, 7, 1},
      {&kHxU, "X", 17, 1, 20, 10, 8},
      {&kHxU, "X", 13, 3, 14, 10, 6},
      {&kHxU, "Y", 377, 1, 400, 370, 8},
      {&kHxU, "X", 7, 2, 10, 0, 9},
      {&kHxU, "X", 20, 4, 21, 20, 4},
      {&kHxU, "M", 13, 3, 14, 8, 8},
      {&kHxU, "S", 7, 1, 8, 0, 8},
      {&kHxU, "M", 16, 5, 17, 16, 5},
      {&kHxU, "D", 13, 3, 14, 13, 3},
      {&kHxU, "R", 9, 1, 10, 9, 1},
      {&kFx, "Y", 77, 1, 100, 70, 8},
      {&kFx, "M", 13, 3, 14, 8, 8},
  };
  for (const auto& c : cases) {
    TermAddr addr;
    addr.prefix = c.prefix;
    addr.start = c.start;
    addr.count = c.count;
    TermAddr stepped = addr;
    EXPECT_TRUE(c.map->StepAddress(stepped));
    EXPECT_EQ(stepped.start, c.steppedStart) << MapName(c.map) << " " << c.prefix << c.start;
    EXPECT_EQ(stepped.count, c.count);
    c.map->AlignBitBlock(addr);
    EXPECT_EQ(addr.start, c.alignedStart) << MapName(c.map) << " " << c.prefix << c.start;
    EXPECT_EQ(addr.count, c.alignedCount) << MapName(c.map) << " " << c.prefix << c.start;
  }
}

TEST(NodeMemOps, ByteCounts) {
  TermAddr words;
  ASSERT_EQ(kHxU.ParseAddress("D[0~9]", words), kAddrOk);
  TermAddr bits;
  ASSERT_EQ(kHxU.ParseAddress("M[0~9]", bits), kAddrOk);
  TermAddr empty;
  empty.count = 4;

  EXPECT_EQ(kHxU.GetByteCount(words), 20);
  EXPECT_EQ(kHxU.GetByteCount(bits), 0);
  EXPECT_EQ(kHxU.GetByteCount(empty), 0);

  const struct {
    TermAddr addr;
    uint16_t bytes;
    bool ok;
    uint16_t count;
  } cases[] = {
      {words, 8, true, 4},
      {words, 0, false, 10},
      {words, 7, false, 10},
      {bits, 8, false, 10},
      {empty, 8, false, 4},
      {[&] { TermAddr w = words; w.count = 0; return w; }(), 8, false, 0},
  };
  for (const auto& c : cases) {
    TermAddr addr = c.addr;
    EXPECT_EQ(kHxU.SetCountFromBytes(addr, c.bytes), c.ok) << addr.prefix << " " << c.bytes;
    EXPECT_EQ(addr.count, c.count) << addr.prefix << " " << c.bytes;
  }
}

TEST(NodeMemOps, Relocate) {
  TermAddr block;
  ASSERT_EQ(kHxU.ParseAddress("D[0~9]", block), kAddrOk);
  const struct {
    const char* text;
    bool ok;
    const char* prefix;
    uint32_t start;
  } cases[] = {
      {"D20", true, "D", 20},
      {" d30 ", true, "D", 30},
      {"R5", true, "R", 5},
      {"D[1~2]", false, "D", 0},
      {"D8000", false, "D", 0},
      {"W1", false, "D", 0},
      {"", false, "D", 0},
  };
  for (const auto& c : cases) {
    TermAddr addr = block;
    EXPECT_EQ(kHxU.Relocate(addr, c.text), c.ok) << c.text;
    EXPECT_EQ(addr.prefix, c.prefix) << c.text;
    EXPECT_EQ(addr.start, c.start) << c.text;
    EXPECT_EQ(addr.count, 10) << c.text;
    EXPECT_EQ(addr.kind, kKindWord) << c.text;
  }
  TermAddr none;
  EXPECT_FALSE(kHxU.Relocate(none, "D20"));
  TermAddr zero = block;
  zero.count = 0;
  EXPECT_FALSE(kHxU.Relocate(zero, "D20"));
  EXPECT_EQ(zero.start, 0u);
}

TEST(NodeMemOps, CreateCacheFor) {
  const struct {
    const GeneralNodeMem* map;
    const char* text;
    uint16_t size;
    bool fx;
  } cases[] = {
      {&kHxU, "M[0~8]", 2, false},
      {&kHxU, "M[0~7]", 1, false},
      {&kHxU, "D[0~9]", 20, false},
      {&kModbus, "0x[0~15]", 2, false},
      {&kModbus, "4x1", 2, false},
      {&kFx, "X[0~367]", 31, true},
      {&kFx, "D[0~9]", 20, true},
  };
  for (const auto& c : cases) {
    TermAddr addr;
    ASSERT_EQ(c.map->ParseAddress(c.text, addr), kAddrOk) << c.text;
    const std::shared_ptr<CacheVarBlock> block = c.map->CreateCacheFor(addr);
    ASSERT_NE(block, nullptr) << c.text;
    EXPECT_EQ(block->GetSize(), c.size) << c.text;
    if (c.fx)
      EXPECT_NE(dynamic_cast<CacheVarMitsFx*>(block.get()), nullptr) << c.text;
    else
      EXPECT_NE(dynamic_cast<CacheVarModbus*>(block.get()), nullptr) << c.text;
  }
  TermAddr odd;
  odd.prefix = "D";
  odd.count = 4;
  odd.kind = 2;
  EXPECT_EQ(kHxU.CreateCacheFor(odd), nullptr);
}

TEST(NodeMemOps, NormalizeText) {
  const struct {
    const NodeMem* map;
    const char* text;
    const char* normal;
  } cases[] = {
      {&kModbus, "4X00010", "4x10"},
      {&kModbus, "0X[0005~00009] ", "0x[5~9]"},
      {&kModbus, " 0X[0005~00009]", " 0X[0005~00009]"},  // no blank before a range
      {&kModbus, "4x[9~1]", "4x[9~1]"},              // not validated
      {&kModbus, "4x4294967296", "4x4294967295"},    // saturated, never negative
      {&kModbus, "2x1", "2x1"},
      {&kModbus, "hello", "hello"},
      {&kHxU, "d0100", "D100"},
      {&kHxU, "x[010~017]", "X[10~17]"},
      {&kHxU, "X19", "X19"},
      {&kFx, " m7 ", "M7"},
      {&kFx, "", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.map->NormalizeText(c.text), c.normal) << c.text;
}

TEST(NodeMemOps, CountUnitsAndDigits) {
  const struct {
    const GeneralNodeMem* map;
    const char* prefix;
    uint32_t first, last;
    bool ok;
    uint64_t count;
  } cases[] = {
      {&kModbus, "4x", 10, 19, true, 10},
      {&kModbus, "4x", 0, 4294967295u, true, 4294967296ull},  // no wrap to 0
      {&kModbus, "4x", 5, 4, false, 0},
      {&kHxU, "X", 10, 17, true, 8},
      {&kHxU, "Y", 0, 377, true, 256},
      {&kHxU, "D", 10, 17, true, 8},
      {&kHxU, "M", 10, 19, true, 10},
      {&kFx, "X", 17, 10, false, 0},
  };
  for (const auto& c : cases) {
    uint64_t count = 99;
    EXPECT_EQ(c.map->CountUnits(c.prefix, c.first, c.last, count), c.ok) << c.prefix << c.first;
    EXPECT_EQ(count, c.count) << c.prefix << c.first;
  }
  EXPECT_TRUE(kModbus.CheckDigits("4x", 99));
  EXPECT_TRUE(kHxU.CheckDigits("X", 1234567));
  EXPECT_FALSE(kHxU.CheckDigits("X", 1238));
  EXPECT_FALSE(kFx.CheckDigits("Y", 90));
  EXPECT_TRUE(kFx.CheckDigits("D", 90));
  EXPECT_TRUE(kFx.CheckDigits("x", 90));  // only normalised prefixes are octal
}
