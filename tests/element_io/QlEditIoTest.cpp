#include "element_io/QlEditIo.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "BoxNodeDb.h"
#include "termination/ChannelManager.h"

namespace NsOvrin::NsQlElemIo {
namespace {

using NsQlUiElem::ValueKind;
using namespace NsTermination;

class QlEditIoTest : public Testing::BoxNodeDb {};

TEST(QlEditIo, StartsAsAnUnboundSignedWordWithoutDecimals) {
  const QlEditIo io;
  EXPECT_EQ(io.dataType, kTypeInt16);
  EXPECT_EQ(io.scale, 0);
  EXPECT_FALSE(io.readOnly);
  EXPECT_FALSE(io.enableMinVal);
  EXPECT_EQ(io.minVal, 0);
  EXPECT_FALSE(io.enableMaxVal);
  EXPECT_EQ(io.maxVal, 16777215);
  EXPECT_EQ(io.address, "");
  EXPECT_FALSE(io.forceRefresh);
  EXPECT_TRUE(io.GetNode().IsEmpty());
  EXPECT_EQ(io.GetReadTask(), nullptr);
  EXPECT_EQ(io.GetOffset(), 0);
  EXPECT_EQ(io.GetAddr().count, 0);
  EXPECT_EQ(io.GetAddr().kind, kKindWord);
  const BaseIoData* visib = io.GetBaseIoDataConst();
  ASSERT_NE(visib, nullptr);
  EXPECT_FALSE(visib->enableVisib);
  EXPECT_EQ(visib->addressForVisib, "");
}

TEST(QlEditIo, FormatsByDataTypeAndScale) {
  struct Case {
    uint16_t dataType;
    uint8_t scale;
    enum { Int16, UInt16, Int32, UInt32 } fn;
    uint32_t value;
    const char* expected;
  };
  const Case cases[] = {
      // Design mode: the value 0 of every type and scale.
      {kTypeInt16, 0, Case::UInt16, 0, "0"},
      {kTypeUInt32, 1, Case::UInt16, 0, "0.0"},
      {kTypeInt32, 3, Case::UInt16, 0, "0.000"},
      {kTypeInt16, 0, Case::Int16, 0xFFFF, "-1"},
      {kTypeInt16, 2, Case::Int16, 0x8000, "-327.68"},
      {kTypeUInt16, 0, Case::UInt16, 0xFFFF, "65535"},
      {kTypeInt32, 0, Case::Int32, 0x80000000u, "-2147483648"},
      {kTypeUInt32, 0, Case::UInt32, 0x80000000u, "2147483648"},
      // At scale 0 the data type picks %d or %u, whichever widening came first.
      {kTypeUInt16, 0, Case::Int16, 0xFFFF, "4294967295"},
      {kTypeInt32, 0, Case::UInt32, 0xFFFFFFFFu, "-1"},
      // A signed box reads any 32 bits signed, a stored limit included.
      {kTypeInt32, 1, Case::UInt32, 0xFFFFFFF1u, "-1.5"},
      {kTypeInt16, 2, Case::UInt32, 0xFFFF8000u, "-327.68"},
      {kTypeInt16, 0, Case::UInt32, 0xFFFF8000u, "-32768"},
      {kTypeUInt16, 1, Case::UInt32, 0xFFFFFFF1u, "429496736.0"},
      {kTypeUInt32, 1, Case::UInt32, 0xFFFFFFF1u, "429496736.0"},
      // Divided in single precision.
      {kTypeUInt32, 1, Case::UInt32, 16777217, "1677721.6"},
      {kTypeUInt32, 10, Case::UInt32, 12345, "0.0000012345"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.expected));
    QlEditIo io;
    io.dataType = c.dataType;
    io.scale = c.scale;
    std::string text;
    switch (c.fn) {
      case Case::Int16: text = io.FormatInt16(static_cast<uint16_t>(c.value)); break;
      case Case::UInt16: text = io.FormatUInt16(static_cast<uint16_t>(c.value)); break;
      case Case::Int32: text = io.FormatInt32(c.value); break;
      case Case::UInt32: text = io.FormatUInt32(c.value); break;
    }
    EXPECT_EQ(text, c.expected);
  }
}

TEST(QlEditIo, FormatFixedPrintsTheDecimalsAsked) {
  EXPECT_EQ(FormatFixed(0.05f, 2), "0.05");
  EXPECT_EQ(FormatFixed(-3.25f, 1), "-3.2");  // 3.25 is exact: halves go to even
  EXPECT_EQ(FormatFixed(7.0f, 0), "7");
  EXPECT_EQ(FormatFixed(7.0f, -3), "7");
  EXPECT_EQ(FormatFixed(1.0f, 4), "1.0000");
}

TEST_F(QlEditIoTest, ShowsTheBlockValueOfEveryDataTypeAndScale) {
  struct Case {
    bool fx;
    uint16_t dataType;
    uint8_t scale;
    std::vector<uint8_t> bytes;  // at the value's offset, in block order
    const char* expected;
  };
  const Case cases[] = {
      // Modbus: a register high byte first, a double word low register first.
      {false, kTypeInt16, 0, {0xFF, 0xFF}, "-1"},
      {false, kTypeInt16, 0, {0x7F, 0xFF}, "32767"},
      {false, kTypeInt16, 0, {0x80, 0x00}, "-32768"},
      {false, kTypeInt16, 1, {0xFF, 0x9C}, "-10.0"},
      {false, kTypeInt16, 2, {0x30, 0x39}, "123.45"},
      {false, kTypeInt16, 3, {0x80, 0x00}, "-32.768"},
      {false, kTypeInt16, 5, {0x30, 0x39}, "0.12345"},
      {false, kTypeUInt16, 0, {0xFF, 0xFF}, "65535"},
      {false, kTypeUInt16, 1, {0xFF, 0xFF}, "6553.5"},
      {false, kTypeUInt16, 2, {0x30, 0x39}, "123.45"},
      {false, kTypeUInt16, 2, {0x00, 0x05}, "0.05"},
      {false, kTypeUInt16, 4, {0x00, 0x07}, "0.0007"},
      {false, kTypeInt32, 0, {0xFF, 0xFF, 0xFF, 0xFF}, "-1"},
      {false, kTypeInt32, 0, {0x56, 0x78, 0x12, 0x34}, "305419896"},
      {false, kTypeInt32, 1, {0x00, 0x01, 0x01, 0x00}, "1677721.6"},
      {false, kTypeInt32, 2, {0x1D, 0xC0, 0xFF, 0xFE}, "-1234.56"},
      {false, kTypeInt32, 3, {0x00, 0x00, 0x80, 0x00}, "-2147483.750"},
      {false, kTypeUInt32, 0, {0xFF, 0xFF, 0xFF, 0xFF}, "4294967295"},
      {false, kTypeUInt32, 1, {0x00, 0x01, 0x01, 0x00}, "1677721.6"},
      {false, kTypeUInt32, 2, {0x00, 0x05, 0x00, 0x00}, "0.05"},
      {false, kTypeUInt32, 4, {0xFF, 0xFF, 0xFF, 0xFF}, "429496.7188"},
      // FX: little-endian throughout.
      {true, kTypeInt16, 0, {0xFF, 0xFF}, "-1"},
      {true, kTypeUInt16, 0, {0x34, 0x12}, "4660"},
      {true, kTypeUInt16, 1, {0x39, 0x30}, "1234.5"},
      {true, kTypeInt32, 0, {0x78, 0x56, 0x34, 0x12}, "305419896"},
      {true, kTypeInt32, 1, {0x9C, 0xFF, 0xFF, 0xFF}, "-10.0"},
      {true, kTypeUInt32, 2, {0x39, 0x30, 0x00, 0x00}, "123.45"},
      {true, kTypeUInt32, 0, {0x00, 0x00, 0x01, 0x00}, "65536"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.fx ? "FX " : "Modbus ") + std::to_string(c.dataType) + " scale " +
                 std::to_string(c.scale) + " -> " + c.expected);
    QlEditIo io;
    io.address = c.fx ? "FX1.D10" : "PLC1.4x2";
    io.dataType = c.dataType;
    io.scale = c.scale;
    ASSERT_TRUE(io.Bind());
    const auto& task = c.fx ? fxWords_ : words_;
    ASSERT_EQ(io.GetReadTask(), task);
    ASSERT_EQ(io.GetOffset(), c.fx ? 20 : 4);
    const auto& block = task->GetCacheBlock();
    std::vector<uint8_t> reply(block->GetSize(), 0);
    std::copy(c.bytes.begin(), c.bytes.end(), reply.begin() + io.GetOffset());
    block->Update(reply.data(), reply.size());

    std::string text = "untouched";
    bool changed = false;
    ASSERT_TRUE(io.ReadValueText(text, changed));
    EXPECT_TRUE(changed);
    EXPECT_EQ(text, c.expected);
  }
}

TEST_F(QlEditIoTest, ReportsAChangeWhenForcedOrWhenAnUpdateMovedTheValue) {
  QlEditIo io;
  io.address = "PLC1.4x2";
  io.dataType = kTypeUInt16;
  ASSERT_TRUE(io.Bind());
  Put(words_, 4, {0x01, 0x02});

  uint32_t raw = 0;
  ValueKind kind = NsQlUiElem::kValueNone;
  bool changed = false;
  auto read = [&] {
    changed = false;
    EXPECT_TRUE(io.ReadRawValue(raw, kind, changed));
    return changed;
  };

  EXPECT_TRUE(read()) << "the first read after binding reports a change";
  EXPECT_EQ(raw, 0x0102u);
  EXPECT_EQ(kind, NsQlUiElem::kValueUInt16);
  EXPECT_FALSE(read()) << "no new reply";
  Repeat(words_);
  EXPECT_FALSE(read()) << "a reply with the same value";
  Put(words_, 6, {0xAA, 0xBB});
  EXPECT_FALSE(read()) << "a reply that moved another value only";
  Put(words_, 4, {0x01, 0x03});
  EXPECT_TRUE(read());
  EXPECT_EQ(raw, 0x0103u);

  io.forceRefresh = true;
  EXPECT_TRUE(read()) << "forced without a reply";
  EXPECT_FALSE(io.forceRefresh);
  EXPECT_FALSE(read());

  // Another kind of the same bits counts as a change once a reply came.
  io.dataType = kTypeInt16;
  EXPECT_FALSE(read()) << "no new reply";
  EXPECT_EQ(kind, NsQlUiElem::kValueInt16);
  io.dataType = kTypeUInt16;
  Repeat(words_);
  EXPECT_TRUE(read());
  EXPECT_EQ(kind, NsQlUiElem::kValueUInt16);

  // The double word takes the next register too.
  io.dataType = kTypeUInt32;
  Repeat(words_);
  EXPECT_TRUE(read());
  EXPECT_EQ(raw, 0xAABB0103u);
  Put(words_, 6, {0xAA, 0xBC});
  EXPECT_TRUE(read()) << "the high register moved";
  EXPECT_EQ(kind, NsQlUiElem::kValueUInt32);

  // Binding again forces the next read.
  ASSERT_TRUE(io.Bind());
  EXPECT_TRUE(read());
}

TEST_F(QlEditIoTest, ReadsNothingUnboundOrWithAnotherDataType) {
  QlEditIo io;
  uint32_t raw = 77;
  ValueKind kind = 9;
  bool changed = true;
  std::string text = "kept";
  EXPECT_FALSE(io.ReadRawValue(raw, kind, changed));
  EXPECT_FALSE(io.ReadValueText(text, changed));

  io.address = "PLC1.4x2";
  ASSERT_TRUE(io.Bind());
  Put(words_, 4, {0x00, 0x09});
  for (uint16_t type : {uint16_t{kTypeBit}, uint16_t{kTypeString}, uint16_t{3}, uint16_t{0}}) {
    SCOPED_TRACE(type);
    io.dataType = type;
    EXPECT_FALSE(io.ReadRawValue(raw, kind, changed));
    EXPECT_FALSE(io.ReadValueText(text, changed));
  }
  EXPECT_EQ(raw, 77u);
  EXPECT_EQ(kind, 9);
  EXPECT_TRUE(changed);
  EXPECT_EQ(text, "kept");

  // Nothing was stored: the forced change is still due.
  io.dataType = kTypeInt16;
  changed = false;
  ASSERT_TRUE(io.ReadValueText(text, changed));
  EXPECT_TRUE(changed);
  EXPECT_EQ(text, "9");
}

TEST_F(QlEditIoTest, ChecksInOrderForEveryDataType) {
  struct Case {
    const char* address;
    bool readOnly;
    bool visib;
    const char* visibAddress;
    const char* message16;  // null: passes
    const char* message32;
  };
  const char* empty = "读写地址不能为空!";
  const char* noNode = "读写地址节点不存在.";
  const char* bad = "读写地址异常.";
  const char* noBlock = "读写地址异常或者不在数据列表中.";
  const char* wrongType = "读写地址与数据类型不兼容.";
  const char* noWrite = "地址无写入权限.";
  const Case cases[] = {
      // Each failure is reported even when the visibility is wrong as well:
      // the visibility check comes last.
      {"", false, true, "", empty, empty},
      {" \t", false, true, "", empty, empty},
      {"PLC9.4x1", false, true, "", noNode, noNode},
      {"4x1", false, true, "", noNode, noNode},
      {"PLC1.5x1", false, true, "", bad, bad},
      {"PLC1.4x70000", false, true, "", bad, bad},
      {"PLC1.4x150", false, true, "", noBlock, noBlock},
      {"PLC1.0x5", false, true, "", wrongType, wrongType},
      {"FX1.M5", false, true, "", wrongType, wrongType},
      {"PLC1.3x5", false, true, "", noWrite, noWrite},
      {"PLC1.3x5", true, false, "", nullptr, nullptr},
      {"PLC1.3x9", true, false, "", nullptr, noBlock},  // the last word of its block
      {"PLC1.4x99", false, false, "", nullptr, noBlock},
      {" PLC1.4x10 ", false, false, "", nullptr, nullptr},
      {"FX1.D19", false, false, "", nullptr, noBlock},
      {"PLC1.4x10", false, true, "", "控制可见性的地址为空!", "控制可见性的地址为空!"},
      {"PLC1.4x10", false, true, "PLC1.4x1", "控制可见性的地址不是点类型数据.",
       "控制可见性的地址不是点类型数据."},
      {"PLC1.4x10", false, true, "PLC1.0x5", nullptr, nullptr},
  };
  for (uint16_t type : {uint16_t{kTypeInt16}, uint16_t{kTypeUInt16}, uint16_t{kTypeInt32},
                        uint16_t{kTypeUInt32}}) {
    for (const Case& c : cases) {
      SCOPED_TRACE("type " + std::to_string(type) + " \"" + c.address + "\"");
      const char* expected = type == kTypeInt16 || type == kTypeUInt16 ? c.message16 : c.message32;
      QlEditIo io;
      io.dataType = type;
      io.address = c.address;
      io.readOnly = c.readOnly;
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

TEST_F(QlEditIoTest, BindingRewritesTheAddressAndMovesTheSubscription) {
  QlEditIo io;
  io.address = "  PLC1.4x10\t";
  EXPECT_TRUE(io.Bind());
  EXPECT_EQ(io.address, "PLC1.4x00010");
  EXPECT_EQ(io.GetOffset(), 20);
  EXPECT_EQ(io.GetAddr().prefix, "4x");
  EXPECT_EQ(io.GetNode().Lock()->GetName(), "PLC1");
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  EXPECT_TRUE(words_->IsPolled());

  EXPECT_TRUE(io.Bind());
  EXPECT_EQ(words_->GetSubscriberCount(), 1u) << "binding again does not count twice";

  io.address = "PLC1.4x203";
  EXPECT_TRUE(io.Bind());
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
  EXPECT_FALSE(words_->IsPolled());
  EXPECT_EQ(moreWords_->GetSubscriberCount(), 1u);
  EXPECT_EQ(io.GetOffset(), 6);

  // A visibility that does not bind fails the whole bind, the value bound.
  SetVisibility(io, true, "PLC1.0x500");
  EXPECT_FALSE(io.Bind());
  EXPECT_EQ(io.GetReadTask(), moreWords_);
}

TEST_F(QlEditIoTest, ClearingTheAddressReleasesItsBinding) {
  QlEditIo io;
  io.address = "PLC1.4x2";
  ASSERT_TRUE(io.Bind());
  ASSERT_EQ(words_->GetSubscriberCount(), 1u);

  io.address = " ";
  EXPECT_FALSE(io.Bind());
  EXPECT_EQ(io.address, "");
  EXPECT_EQ(io.GetReadTask(), nullptr);
  EXPECT_TRUE(io.GetNode().IsEmpty());
  EXPECT_EQ(io.GetAddr().count, 0);
  EXPECT_EQ(io.GetOffset(), 0);
  EXPECT_EQ(words_->GetSubscriberCount(), 0u) << "nothing is polled for a removed address";
  EXPECT_EQ(CheckMessage(io), "读写地址不能为空!");
  uint32_t raw = 0;
  ValueKind kind = 0;
  bool changed = false;
  EXPECT_FALSE(io.ReadRawValue(raw, kind, changed));
}

TEST_F(QlEditIoTest, ANodeRemovedFromTheDatabaseIsReportedMissing) {
  {
    auto plc2 = AddTcpNode(eth_, "PLC2");
    ASSERT_NE(plc2, nullptr);
    AddBlock(*plc2, "4x[0~9]", "plc2 words");
  }
  QlEditIo io;
  io.address = "PLC2.4x1";
  ASSERT_TRUE(io.Bind());
  ASSERT_TRUE(io.Check(nullptr));

  ASSERT_TRUE(Db().RemoveNode(eth_->GetHandle(), Db().FindNode("PLC2")));
  ASSERT_FALSE(io.GetNode().IsValid());
  EXPECT_EQ(CheckMessage(io), "读写地址节点不存在.");
}

TEST_F(QlEditIoTest, CloneCopiesEveryFieldAndCountsItsSubscription) {
  auto io = std::make_shared<QlEditIo>();
  io->address = "PLC1.4x2";
  io->dataType = kTypeInt32;
  io->scale = 2;
  io->readOnly = true;
  io->enableMinVal = true;
  io->minVal = -5;
  io->enableMaxVal = true;
  io->maxVal = 500;
  SetVisibility(*io, true, "PLC1.0x7");
  io->GetBaseIoData()->showWhenTrue = true;
  ASSERT_TRUE(io->Bind());
  Put(words_, 4, {0x00, 0x64, 0x00, 0x00});
  std::string text;
  bool changed = false;
  ASSERT_TRUE(io->ReadValueText(text, changed));
  ASSERT_EQ(text, "1.00");
  ASSERT_EQ(words_->GetSubscriberCount(), 1u);
  ASSERT_EQ(coils_->GetSubscriberCount(), 1u);

  std::shared_ptr<QlEditIo> copy = io->Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->address, "PLC1.4x00002");
  EXPECT_EQ(copy->dataType, kTypeInt32);
  EXPECT_EQ(copy->scale, 2);
  EXPECT_TRUE(copy->readOnly);
  EXPECT_TRUE(copy->enableMinVal);
  EXPECT_EQ(copy->minVal, -5);
  EXPECT_TRUE(copy->enableMaxVal);
  EXPECT_EQ(copy->maxVal, 500);
  EXPECT_FALSE(copy->forceRefresh);
  EXPECT_TRUE(copy->GetNode().SameObject(io->GetNode()));
  EXPECT_EQ(copy->GetReadTask(), words_);
  EXPECT_EQ(copy->GetOffset(), 4);
  EXPECT_EQ(copy->GetAddr().prefix, "4x");
  EXPECT_EQ(copy->GetAddr().start, 2u);
  EXPECT_EQ(copy->GetVisibAddress(), "PLC1.0x00007");
  EXPECT_TRUE(copy->GetBaseIoDataConst()->enableVisib);
  EXPECT_TRUE(copy->GetBaseIoDataConst()->showWhenTrue);
  EXPECT_EQ(copy->GetVisibTask(), coils_);
  EXPECT_TRUE(copy->Check(nullptr));
  EXPECT_EQ(words_->GetSubscriberCount(), 2u);
  EXPECT_EQ(coils_->GetSubscriberCount(), 2u);

  // The clone saw the same read: no change until a reply moves the value.
  EXPECT_TRUE(copy->ReadValueText(text, changed));
  EXPECT_FALSE(changed);
  EXPECT_EQ(text, "1.00");

  io.reset();
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  EXPECT_TRUE(words_->IsPolled()) << "the clone keeps the block polled";
  copy.reset();
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
}

}  // namespace
}  // namespace NsOvrin::NsQlElemIo
