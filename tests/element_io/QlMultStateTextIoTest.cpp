#include "element_io/QlMultStateTextIo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "BoxNodeDb.h"

namespace NsOvrin::NsQlElemIo {
namespace {

using namespace NsQlUiElem;
using namespace NsTermination;

class QlMultStateTextIoTest : public Testing::BoxNodeDb {
 protected:
  // The whole block as a reply: zeros but for bytes at offset.
  static void Reply(const std::shared_ptr<TaskReadData>& task, uint16_t offset,
                    const std::vector<uint8_t>& bytes) {
    const auto& block = task->GetCacheBlock();
    std::vector<uint8_t> reply(block->GetSize(), 0);
    ASSERT_LE(offset + bytes.size(), reply.size());
    std::copy(bytes.begin(), bytes.end(), reply.begin() + offset);
    block->Update(reply.data(), reply.size());
  }

  struct Read {
    bool ok = false;
    uint32_t raw = 0xDEAD;
    ValueKind kind = 99;
    int32_t index = 99;
    bool changed = false;
  };

  static Read ReadOnce(QlMultStateTextIo& io) {
    Read r;
    r.ok = io.ReadState(r.raw, r.kind, r.index, r.changed);
    return r;
  }
};

TEST(QlMultStateTextIo, StartsAsAnUnboundSignedWordWithoutStates) {
  const QlMultStateTextIo io;
  EXPECT_EQ(io.valueKind, kValueInt16);
  EXPECT_EQ(io.readAddress, "");
  EXPECT_TRUE(io.stateValues.empty());
  EXPECT_FALSE(io.forceRefresh);
  EXPECT_EQ(io.GetReadTask(), nullptr);
  EXPECT_EQ(io.GetOffset(), 0);
  EXPECT_EQ(io.GetAddr().kind, kKindWord);
  EXPECT_EQ(io.GetAddr().count, 0);
  const BaseIoData* visib = io.GetBaseIoDataConst();
  ASSERT_NE(visib, nullptr);
  EXPECT_FALSE(visib->enableVisib);
  EXPECT_FALSE(visib->showWhenTrue);
  EXPECT_EQ(visib->addressForVisib, "");
}

TEST(QlMultStateTextIo, TheKindGivesTheDataTypeOfTheBinding) {
  const std::pair<ValueKind, uint16_t> cases[] = {
      {kValueNone, kTypeInt16}, {kValueInt16, kTypeInt16},   {kValueUInt16, kTypeUInt16},
      {kValueInt32, kTypeInt32}, {kValueUInt32, kTypeUInt32}, {5, kTypeInt16},
      {-1, kTypeInt16},
  };
  for (const auto& [kind, type] : cases) EXPECT_EQ(QlMultStateTextIo::DataTypeOfKind(kind), type) << kind;
}

TEST_F(QlMultStateTextIoTest, ChoosesTheFirstStateWithTheValueReadForEveryKind) {
  struct Case {
    const char* name;
    bool fx;
    ValueKind kind;
    std::vector<uint32_t> states;
    std::vector<uint8_t> bytes;  // at the value's offset, in block order
    uint32_t raw;
    int32_t index;
  };
  const Case cases[] = {
      // Modbus: a register high byte first, a double word low register first.
      {"int16 -1 stored as 65535", false, kValueInt16, {0, 1, 0xFFFF}, {0xFF, 0xFF}, 0xFFFF, 2},
      {"int16 without a match", false, kValueInt16, {0, 1, 0xFFFF}, {0x00, 0x05}, 5, -1},
      {"int16 0", false, kValueInt16, {0, 1, 0xFFFF}, {0x00, 0x00}, 0, 0},
      {"int16 compares the low 16 bits of a state", false, kValueInt16, {0x10001, 1}, {0x00, 0x01}, 1, 0},
      {"uint16 65535", false, kValueUInt16, {7, 65535}, {0xFF, 0xFF}, 0xFFFF, 1},
      {"int32 70000", false, kValueInt32, {70000, 0xFFFFFFFF}, {0x11, 0x70, 0x00, 0x01}, 70000, 0},
      {"int32 -1", false, kValueInt32, {70000, 0xFFFFFFFF}, {0xFF, 0xFF, 0xFF, 0xFF}, 0xFFFFFFFF, 1},
      {"int32 4464 is not 70000", false, kValueInt32, {70000}, {0x11, 0x70, 0x00, 0x00}, 4464, -1},
      {"uint32 3000000000", false, kValueUInt32, {4294967295u, 3000000000u}, {0x5E, 0x00, 0xB2, 0xD0},
       3000000000u, 1},
      {"the first of two equal states", false, kValueInt32, {9, 9}, {0x00, 0x09, 0x00, 0x00}, 9, 0},
      {"no states", false, kValueUInt16, {}, {0x00, 0x00}, 0, -1},
      // FX: little-endian throughout.
      {"FX int16 -1", true, kValueInt16, {0, 1, 0xFFFF}, {0xFF, 0xFF}, 0xFFFF, 2},
      {"FX uint16 4660", true, kValueUInt16, {4660, 7}, {0x34, 0x12}, 4660, 0},
      {"FX int32 70000", true, kValueInt32, {1, 70000}, {0x70, 0x11, 0x01, 0x00}, 70000, 1},
      {"FX uint32 3000000000", true, kValueUInt32, {3000000000u}, {0x00, 0x5E, 0xD0, 0xB2},
       3000000000u, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QlMultStateTextIo io;
    io.readAddress = c.fx ? "FX1.D10" : "PLC1.4x2";
    io.valueKind = c.kind;
    io.stateValues = c.states;
    ASSERT_TRUE(io.Bind());
    const auto& task = c.fx ? fxWords_ : words_;
    ASSERT_EQ(io.GetReadTask(), task);
    ASSERT_EQ(io.GetOffset(), c.fx ? 20 : 4);
    Reply(task, io.GetOffset(), c.bytes);

    const Read r = ReadOnce(io);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.changed) << "the first read after binding";
    EXPECT_EQ(r.raw, c.raw);
    EXPECT_EQ(r.kind, c.kind);
    EXPECT_EQ(r.index, c.index);
  }
}

TEST_F(QlMultStateTextIoTest, ReportsAChangeOfTheValueNotOfTheIndex) {
  QlMultStateTextIo io;
  io.readAddress = "PLC1.4x2";
  io.valueKind = kValueUInt16;
  io.stateValues = {1, 2};
  ASSERT_TRUE(io.Bind());
  Put(words_, 4, {0x00, 0x01});

  EXPECT_TRUE(ReadOnce(io).changed) << "forced by the bind";
  EXPECT_FALSE(io.forceRefresh);
  EXPECT_FALSE(ReadOnce(io).changed) << "no new reply";
  Repeat(words_);
  EXPECT_FALSE(ReadOnce(io).changed) << "a reply with the same value";
  Put(words_, 6, {0x00, 0x02});
  EXPECT_FALSE(ReadOnce(io).changed) << "a reply that moved another value only";

  Put(words_, 4, {0x00, 0x02});
  Read r = ReadOnce(io);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(r.index, 1);

  // Other state values move the index, not the changed flag.
  io.stateValues = {2, 1};
  Repeat(words_);
  r = ReadOnce(io);
  EXPECT_FALSE(r.changed);
  EXPECT_EQ(r.index, 0);

  io.forceRefresh = true;
  EXPECT_TRUE(ReadOnce(io).changed) << "forced without a reply";

  // Another kind over the same bits is a change once a reply came.
  io.valueKind = kValueInt16;
  r = ReadOnce(io);
  EXPECT_FALSE(r.changed) << "no new reply";
  EXPECT_EQ(r.kind, kValueInt16);
  io.valueKind = kValueUInt16;
  Repeat(words_);
  EXPECT_TRUE(ReadOnce(io).changed);

  // The double word takes the next register as well; its high half counts.
  io.valueKind = kValueUInt32;
  Repeat(words_);
  r = ReadOnce(io);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(r.raw, 0x00020002u);
  Put(words_, 6, {0x00, 0x03});
  r = ReadOnce(io);
  EXPECT_TRUE(r.changed) << "the high register moved";
  EXPECT_EQ(r.raw, 0x00030002u);

  ASSERT_TRUE(io.Bind());
  EXPECT_TRUE(ReadOnce(io).changed) << "binding again forces the next read";
}

TEST_F(QlMultStateTextIoTest, ReadsNothingUnboundOrOfAnotherKind) {
  QlMultStateTextIo io;
  io.stateValues = {9};
  Read r = ReadOnce(io);
  EXPECT_FALSE(r.ok);

  io.readAddress = "PLC1.4x2";
  ASSERT_TRUE(io.Bind());
  Put(words_, 4, {0x00, 0x09});
  for (ValueKind kind : {kValueNone, ValueKind{5}, ValueKind{-1}}) {
    SCOPED_TRACE(kind);
    io.valueKind = kind;
    r = ReadOnce(io);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.raw, 0xDEADu);
    EXPECT_EQ(r.kind, 99);
    EXPECT_EQ(r.index, 99);
    EXPECT_FALSE(r.changed);
  }
  // Nothing was stored: the forced change is still due.
  io.valueKind = kValueInt16;
  r = ReadOnce(io);
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(r.index, 0);
}

TEST_F(QlMultStateTextIoTest, ChecksInOrderForEveryKind) {
  struct Case {
    const char* address;
    bool visib;
    const char* visibAddress;
    const char* message16;  // null: passes
    const char* message32;
  };
  const char* empty = "读地址不能为空!";
  const char* bad = "读地址异常.";
  const char* noBlock = "读地址异常或者不在数据列表中.";
  const char* wrongType = "读地址与数据类型不兼容.";
  const Case cases[] = {
      // Each failure is reported even when the visibility is wrong as well:
      // the visibility check comes last.
      {"", true, "", empty, empty},
      {" \t", true, "", empty, empty},
      {"PLC9.4x1", true, "", bad, bad},
      {"4x1", true, "", bad, bad},
      {"PLC1.5x1", true, "", bad, bad},
      {"PLC1.4x150", true, "", noBlock, noBlock},
      {"PLC1.0x5", true, "", wrongType, wrongType},
      {"FX1.M5", true, "", wrongType, wrongType},
      // Only read: a read-only word will do.
      {"PLC1.3x5", false, "", nullptr, nullptr},
      {"PLC1.3x9", false, "", nullptr, noBlock},  // the last word of its block
      {" FX1.D19 ", false, "", nullptr, noBlock},
      {"PLC1.4x10", true, "", "控制可见性的地址为空!", "控制可见性的地址为空!"},
      {"PLC1.4x10", true, "PLC1.4x1", "控制可见性的地址不是点类型数据.",
       "控制可见性的地址不是点类型数据."},
      {"PLC1.4x10", true, "PLC1.0x200", "控制可见性的地址异常或者不在数据列表中.",
       "控制可见性的地址异常或者不在数据列表中."},
      {"PLC1.4x10", true, "PLC1.0x5", nullptr, nullptr},
  };
  for (ValueKind kind : {kValueInt16, kValueUInt16, kValueInt32, kValueUInt32}) {
    for (const Case& c : cases) {
      SCOPED_TRACE("kind " + std::to_string(kind) + " \"" + c.address + "\"");
      const char* expected = kind <= kValueUInt16 ? c.message16 : c.message32;
      QlMultStateTextIo io;
      io.valueKind = kind;
      io.readAddress = c.address;
      SetVisibility(io, c.visib, c.visibAddress);
      io.Bind();
      EXPECT_EQ(io.Check(nullptr), expected == nullptr);
      EXPECT_EQ(CheckMessage(io), expected ? expected : "untouched");
    }
  }
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
  EXPECT_EQ(inputs_->GetSubscriberCount(), 0u);
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
}

TEST_F(QlMultStateTextIoTest, BindingRewritesTheAddressAndMovesTheSubscription) {
  {
    QlMultStateTextIo io;
    io.readAddress = "  PLC1.4x10\t";
    EXPECT_TRUE(io.Bind());
    EXPECT_EQ(io.readAddress, "PLC1.4x00010");
    EXPECT_EQ(io.GetOffset(), 20);
    EXPECT_EQ(io.GetAddr().prefix, "4x");
    EXPECT_EQ(words_->GetSubscriberCount(), 1u);
    EXPECT_TRUE(words_->IsPolled());

    EXPECT_TRUE(io.Bind());
    EXPECT_EQ(words_->GetSubscriberCount(), 1u) << "binding again does not count twice";

    io.readAddress = "PLC1.4x203";
    EXPECT_TRUE(io.Bind());
    EXPECT_EQ(words_->GetSubscriberCount(), 0u);
    EXPECT_EQ(moreWords_->GetSubscriberCount(), 1u);
    EXPECT_EQ(io.GetOffset(), 6);

    // A double word needs the next register in the block too.
    io.readAddress = "PLC1.4x209";
    io.valueKind = kValueUInt32;
    EXPECT_FALSE(io.Bind());
    EXPECT_EQ(moreWords_->GetSubscriberCount(), 0u);
    io.valueKind = kValueUInt16;
    EXPECT_TRUE(io.Bind());
    EXPECT_EQ(moreWords_->GetSubscriberCount(), 1u);
  }
  EXPECT_EQ(moreWords_->GetSubscriberCount(), 0u) << "a destroyed binding lets its block go";
}

TEST_F(QlMultStateTextIoTest, ClearingTheAddressReleasesItsBinding) {
  QlMultStateTextIo io;
  io.readAddress = "PLC1.4x2";
  io.stateValues = {0};
  ASSERT_TRUE(io.Bind());
  ASSERT_EQ(words_->GetSubscriberCount(), 1u);

  io.readAddress = " ";
  EXPECT_FALSE(io.Bind());
  EXPECT_EQ(io.readAddress, "");
  EXPECT_EQ(io.GetReadTask(), nullptr);
  EXPECT_EQ(io.GetAddr().count, 0);
  EXPECT_EQ(io.GetOffset(), 0);
  EXPECT_EQ(words_->GetSubscriberCount(), 0u) << "nothing is polled for a removed address";
  EXPECT_EQ(CheckMessage(io), "读地址不能为空!");
  EXPECT_FALSE(ReadOnce(io).ok);

  // An address that no longer parses releases the old one as well.
  io.readAddress = "PLC1.4x2";
  ASSERT_TRUE(io.Bind());
  io.readAddress = "PLC1.4x";
  EXPECT_FALSE(io.Bind());
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
  EXPECT_EQ(CheckMessage(io), "读地址异常.");
}

TEST(QlMultStateTextIo, FindStateByValueText) {
  struct Case {
    ValueKind kind;
    std::vector<uint32_t> states;
    const char* text;
    int32_t index;  // -1: not found
  };
  const Case cases[] = {
      {kValueInt16, {1, 0xFFFF, 300}, "1", 0},
      {kValueInt16, {1, 0xFFFF, 300}, "65537", 0},  // only the low 16 bits count
      {kValueInt16, {1, 0xFFFF, 300}, "-1", 1},
      {kValueInt16, {1, 0xFFFF, 300}, "65535", 1},
      {kValueInt16, {1, 0xFFFF, 300}, " \t+300abc", 2},
      {kValueInt16, {1, 0xFFFF, 300}, "3 00", -1},
      {kValueInt16, {1, 0xFFFF, 300}, "abc", -1},  // no digits: 0
      {kValueInt16, {1, 0, 300}, "abc", 1},
      {kValueInt16, {1, 0, 300}, "", 1},
      {kValueInt16, {1, 0, 300}, "-", 1},
      {kValueUInt16, {65535}, "-1", 0},
      {kValueUInt16, {7, 7}, "7", 0},
      {kValueInt32, {70000}, "70000", 0},
      {kValueInt32, {70000}, "4464", -1},
      {kValueInt32, {0xFFFFFFFF}, "-1", 0},
      {kValueInt32, {0x7FFFFFFF}, "99999999999", 0},  // saturates, never wraps
      {kValueInt32, {0x80000000u}, "-99999999999", 0},
      {kValueUInt32, {4294967295u, 3000000000u}, "3000000000", 1},
      {kValueUInt32, {4294967295u, 3000000000u}, "4294967295", 0},
      {kValueUInt32, {4294967295u, 3000000000u}, "-1", 0},
      {kValueUInt32, {4294967295u, 3000000000u}, "2147483647", -1},
      {kValueUInt32, {123}, "123", 0},
      {kValueNone, {0}, "0", -1},
      {ValueKind{5}, {0}, "0", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string("kind ") + std::to_string(c.kind) + " \"" + c.text + "\"");
    QlMultStateTextIo io;
    io.valueKind = c.kind;
    io.stateValues = c.states;
    int32_t index = 42;
    EXPECT_EQ(io.FindStateByValueText(c.text, &index), c.index >= 0);
    EXPECT_EQ(index, c.index >= 0 ? c.index : 42);
    EXPECT_EQ(io.FindStateByValueText(c.text), c.index >= 0);
  }
}

TEST_F(QlMultStateTextIoTest, CloneCopiesTheSettingsButNotTheReadBinding) {
  auto io = std::make_shared<QlMultStateTextIo>();
  io->readAddress = "PLC1.4x2";
  io->valueKind = kValueInt32;
  io->stateValues = {5, 70000};
  SetVisibility(*io, true, "PLC1.0x7");
  io->GetBaseIoData()->showWhenTrue = true;
  ASSERT_TRUE(io->Bind());
  Reply(words_, 4, {0x11, 0x70, 0x00, 0x01});
  ASSERT_EQ(ReadOnce(*io).index, 1);
  ASSERT_EQ(words_->GetSubscriberCount(), 1u);
  ASSERT_EQ(coils_->GetSubscriberCount(), 1u);

  std::shared_ptr<QlMultStateTextIo> copy = io->Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->readAddress, "PLC1.4x00002");
  EXPECT_EQ(copy->valueKind, kValueInt32);
  EXPECT_EQ(copy->stateValues, (std::vector<uint32_t>{5, 70000}));
  EXPECT_TRUE(copy->GetBaseIoDataConst()->enableVisib);
  EXPECT_TRUE(copy->GetBaseIoDataConst()->showWhenTrue);
  EXPECT_EQ(copy->GetVisibAddress(), "PLC1.0x00007");
  // The copy reads nothing until it is bound.
  EXPECT_EQ(copy->GetReadTask(), nullptr);
  EXPECT_EQ(copy->GetAddr().count, 0);
  EXPECT_EQ(copy->GetOffset(), 0);
  EXPECT_FALSE(copy->forceRefresh);
  EXPECT_FALSE(ReadOnce(*copy).ok);
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  // The visibility binding is shared and counted.
  EXPECT_EQ(copy->GetVisibTask(), coils_);
  EXPECT_EQ(copy->GetVisibOffset(), 7);
  EXPECT_EQ(coils_->GetSubscriberCount(), 2u);
  EXPECT_TRUE(copy->Check(nullptr) == false) << "unbound: the read address is not parsed yet";

  ASSERT_TRUE(copy->Bind());
  EXPECT_EQ(words_->GetSubscriberCount(), 2u);
  const Read r = ReadOnce(*copy);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(r.index, 1);

  // The copy stands alone.
  copy->stateValues[0] = 6;
  EXPECT_EQ(io->stateValues[0], 5u);
  io.reset();
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  EXPECT_EQ(coils_->GetSubscriberCount(), 1u) << "the copy still keeps the visibility bit polled";
  EXPECT_TRUE(copy->Check(nullptr));
  copy.reset();
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
}

}  // namespace
}  // namespace NsOvrin::NsQlElemIo
