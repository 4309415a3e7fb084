#include "term_data/TermAddr.h"
#include "termination/NodeMemHxU.h"
#include "termination/NodeMemModbus.h"

#include <gtest/gtest.h>

using namespace NsOvrin::NsTermination;

namespace {

TermAddr Parse(const NodeMem& map, const char* text) {
  TermAddr addr;
  EXPECT_EQ(map.ParseAddress(text, addr), kAddrOk) << text;
  return addr;
}

}  // namespace

TEST(TermAddr, ContainsWithOffsets) {
  const NodeMemHxU hxu;
  const NodeMemModbus modbus;
  const struct {
    const NodeMem* map;
    const char* block;
    const char* address;
    DataTypeFlag type;
    bool contained;
    uint16_t offset;  // checked when contained
  } cases[] = {
      {&hxu, "D[0~9]", "D9", kTypeInt16, true, 18},
      {&hxu, "D[0~9]", "D9", kTypeInt32, false, 0},
      {&hxu, "D[0~9]", "D8", kTypeUInt32, true, 16},
      {&hxu, "D[0~9]", "D0", kTypeString, true, 0},
      {&hxu, "D[0~9]", "D10", kTypeInt16, false, 0},
      {&hxu, "D[0~9]", "D[8~9]", kTypeInt16, true, 16},
      {&hxu, "D[0~9]", "D[8~10]", kTypeInt16, false, 0},
      {&hxu, "D[5~9]", "D4", kTypeInt16, false, 0},
      {&hxu, "D[0~9]", "R1", kTypeInt16, false, 0},
      {&hxu, "M[0~15]", "M3", kTypeBit, true, 3},
      {&hxu, "M[8~15]", "M15", kTypeBit, true, 7},
      {&hxu, "M[0~15]", "M16", kTypeBit, false, 0},
      // Octal blocks count their offsets in linear positions.
      {&hxu, "X[10~27]", "X20", kTypeBit, true, 8},
      {&hxu, "X[10~27]", "X27", kTypeBit, true, 15},
      {&hxu, "X[0~7]", "X10", kTypeBit, false, 0},
      {&hxu, "X[10~17]", "X[10~17]", kTypeBit, true, 0},
      // The double-word rule applies to word blocks only.
      {&modbus, "0x[0~15]", "0x15", kTypeInt32, true, 15},
      {&modbus, "4x[00010~00019]", "4x19", kTypeUInt16, true, 18},
      {&modbus, "4x[00010~00019]", "4x19", kTypeUInt32, false, 0},
  };
  for (const auto& c : cases) {
    const TermAddr block = Parse(*c.map, c.block);
    const TermAddr address = Parse(*c.map, c.address);
    const std::string where = std::string(c.block) + " " + c.address;
    EXPECT_EQ(block.Contains(address, c.type, nullptr), c.contained) << where;
    uint16_t offset = 0xBEEF;
    EXPECT_EQ(block.Contains(address, c.type, &offset), c.contained) << where;
    if (c.contained) {
      EXPECT_EQ(offset, c.offset) << where;
    }
  }
}

TEST(TermAddr, ContainsAddressOfUnknownKind) {
  TermAddr block;
  block.prefix = "D";
  block.start = 10;
  block.count = 10;
  TermAddr address = block;
  address.start = 13;
  address.count = 1;
  address.kind = 7;
  // Without an offset the kind does not matter; with one it is refused.
  EXPECT_TRUE(block.Contains(address, kTypeInt16, nullptr));
  uint16_t offset = 0;
  EXPECT_FALSE(block.Contains(address, kTypeInt16, &offset));
  EXPECT_EQ(offset, 3);
}

TEST(TermAddr, AcceptsDataType) {
  TermAddr bit;
  bit.kind = kKindBit;
  TermAddr word;
  word.kind = kKindWord;
  TermAddr other;
  other.kind = 2;
  const struct {
    uint32_t type;
    bool bit, word;
  } cases[] = {
      {1, true, false},  {2, false, true}, {4, false, true},  {8, false, true},
      {16, false, true}, {32, false, true}, {0, false, false}, {3, false, false},
      {64, false, false},
  };
  for (const auto& c : cases) {
    const auto type = static_cast<DataTypeFlag>(c.type);
    EXPECT_EQ(bit.AcceptsDataType(type), c.bit) << c.type;
    EXPECT_EQ(word.AcceptsDataType(type), c.word) << c.type;
    EXPECT_FALSE(other.AcceptsDataType(type)) << c.type;
  }
}

TEST(TermAddr, AlignOctal) {
  const struct {
    uint32_t start;
    uint16_t count;
    uint32_t alignedStart;
    uint16_t alignedCount;
  } cases[] = {
      {13, 3, 10, 6}, {7, 1, 0, 8}, {0, 5, 0, 5}, {10, 8, 10, 8}, {377, 1, 370, 8}, {21, 2, 20, 3},
  };
  for (const auto& c : cases) {
    TermAddr addr;
    addr.prefix = "X";
    addr.start = c.start;
    addr.count = c.count;
    TermAddr::AlignOctal(addr);
    EXPECT_EQ(addr.start, c.alignedStart) << c.start;
    EXPECT_EQ(addr.count, c.alignedCount) << c.start;
  }
}
