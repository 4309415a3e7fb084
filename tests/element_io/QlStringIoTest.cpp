#include "element_io/QlStringIo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BoxNodeDb.h"

namespace NsOvrin::NsQlElemIo {
namespace {

using namespace NsTermination;

class QlStringIoTest : public Testing::BoxNodeDb {};

TEST(QlStringIo, StartsUnboundWithTenBytes) {
  const QlStringIo io;
  EXPECT_FALSE(io.readOnly);
  EXPECT_EQ(io.address, "");
  EXPECT_EQ(io.length, 10);
  EXPECT_FALSE(io.forceRefresh);
  EXPECT_TRUE(io.GetNode().IsEmpty());
  EXPECT_EQ(io.GetReadTask(), nullptr);
  EXPECT_EQ(io.GetOffset(), 0);
  EXPECT_EQ(io.GetAddr().count, 0);
  EXPECT_EQ(io.GetAddr().kind, kKindWord);
  EXPECT_EQ(io.GetStartAddressText(), "");
  ASSERT_NE(io.GetBaseIoDataConst(), nullptr);
  EXPECT_FALSE(io.GetBaseIoDataConst()->enableVisib);
}

TEST_F(QlStringIoTest, DecodesCp936BytesInTheFamilysByteOrder) {
  struct Case {
    const char* name;
    bool fx;
    uint16_t length;
    std::vector<uint8_t> bytes;  // at the text's offset, in block order
    const char* expected;
  };
  const Case cases[] = {
      // Modbus: the two bytes of every register exchanged.
      {"letters", false, 10, {'B', 'A', 'D', 'C'}, "ABCD"},
      {"Chinese", false, 10, {0xD0, 0xD6, 0xC4, 0xCE}, "中文"},
      {"stops at CR", false, 10, {'B', 'A', 'D', '\r'}, "AB"},
      {"stops at LF", false, 10, {'\n', 'A', 'D', 'C'}, "A"},
      {"stops at NUL", false, 10, {'B', 'A', 'D', 0, 'F', 'E'}, "AB"},
      {"at most length bytes", false, 3, {'B', 'A', 'D', 'C', 'F', 'E'}, "ABC"},
      {"a whole run", false, 10,
       {'1', '0', '3', '2', '5', '4', '7', '6', '9', '8'}, "0123456789"},
      {"cut inside a character", false, 3, {0xD0, 0xD6, 0xC4, 0xCE}, "中\xEF\xBF\xBD"},
      // FX: bytes in block order.
      {"FX letters", true, 10, {'A', 'B', 'C', 'D'}, "ABCD"},
      {"FX Chinese", true, 10, {0xD6, 0xD0, 0xCE, 0xC4}, "中文"},
      {"FX stops at CR", true, 10, {'A', 'B', '\r', 'D'}, "AB"},
      {"FX at most length bytes", true, 2, {'A', 'B', 'C', 'D'}, "AB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QlStringIo io;
    io.address = c.fx ? "FX1.D[10~14]" : "PLC1.4x[2~6]";
    io.length = c.length;
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
    ASSERT_TRUE(io.ReadText(text, changed));
    EXPECT_TRUE(changed);
    EXPECT_EQ(text, c.expected);
  }
}

TEST_F(QlStringIoTest, ReportsAChangeWhenForcedOrWhenAnUpdateMovedTheText) {
  QlStringIo io;
  io.address = "PLC1.4x[2~6]";
  ASSERT_TRUE(io.Bind());
  Put(words_, 4, {'B', 'A'});

  std::string text;
  bool changed = false;
  auto read = [&] {
    changed = true;
    EXPECT_TRUE(io.ReadText(text, changed));
    return changed;
  };
  EXPECT_TRUE(read()) << "the first read after binding reports a change";
  EXPECT_EQ(text, "AB");
  EXPECT_FALSE(read()) << "no new reply";
  Repeat(words_);
  EXPECT_FALSE(read()) << "a reply with the same text";
  Put(words_, 0, {'x', 'y'});
  EXPECT_FALSE(read()) << "a reply that moved other words only";
  Put(words_, 4, {'B', 'A', 0, 'C'});
  EXPECT_TRUE(read());
  EXPECT_EQ(text, "ABC");
  io.forceRefresh = true;
  EXPECT_TRUE(read()) << "forced without a reply";
  EXPECT_FALSE(io.forceRefresh);

  // A shorter length shows less; without a reply only ApplyLength makes the
  // next read look again.
  io.length = 2;
  EXPECT_FALSE(read());
  EXPECT_EQ(text, "AB");
  io.length = 3;
  io.ApplyLength();  // odd: the run stays, and so does the counter
  EXPECT_FALSE(read());
  EXPECT_EQ(text, "ABC");
  io.length = 2;
  io.ApplyLength();
  EXPECT_TRUE(read());
  EXPECT_EQ(text, "AB");
}

TEST_F(QlStringIoTest, ReadsNothingUnboundOrWithLengthZero) {
  QlStringIo io;
  std::string text = "kept";
  bool changed = true;
  EXPECT_FALSE(io.ReadText(text, changed));
  EXPECT_FALSE(changed);

  io.address = "PLC1.4x[2~6]";
  ASSERT_TRUE(io.Bind());
  Put(words_, 4, {'B', 'A'});
  io.length = 0;
  changed = true;
  EXPECT_FALSE(io.ReadText(text, changed));
  EXPECT_FALSE(changed);
  EXPECT_EQ(text, "kept");
  EXPECT_TRUE(io.forceRefresh) << "nothing was read";
}

TEST_F(QlStringIoTest, ChecksInOrder) {
  struct Case {
    const char* address;
    bool readOnly;
    bool visib;
    const char* visibAddress;
    const char* message;  // null: passes
  };
  const Case cases[] = {
      {"", false, true, "", "读写地址不能为空!"},
      {"PLC9.4x[1~5]", false, true, "", "读写地址节点不存在."},
      {"4x[1~5]", false, true, "", "读写地址节点不存在."},
      {"PLC1.4x[5~1]", false, true, "", "读写地址异常."},
      {"PLC1.4x[98~102]", false, true, "", "读写地址异常或者不在数据列表中."},
      {"PLC1.0x[0~15]", false, true, "", "读写地址与数据类型不兼容."},
      {"FX1.M[0~15]", true, true, "", "读写地址与数据类型不兼容."},
      {"PLC1.3x[0~4]", false, true, "", "地址无写入权限."},
      {"PLC1.3x[0~4]", true, false, "", nullptr},
      {"PLC1.4x[95~99]", false, false, "", nullptr},
      {"FX1.D[10~14]", false, false, "", nullptr},
      {"PLC1.4x[2~6]", false, true, "", "控制可见性的地址为空!"},
      {"PLC1.4x[2~6]", false, true, "PLC1.4x1", "控制可见性的地址不是点类型数据."},
      {"PLC1.4x[2~6]", false, true, "FX1.M3", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.address);
    QlStringIo io;
    io.address = c.address;
    io.readOnly = c.readOnly;
    SetVisibility(io, c.visib, c.visibAddress);
    io.Bind();
    EXPECT_EQ(io.Check(nullptr), c.message == nullptr);
    EXPECT_EQ(CheckMessage(io), c.message ? c.message : "untouched");
  }
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
  EXPECT_EQ(inputs_->GetSubscriberCount(), 0u);
}

TEST_F(QlStringIoTest, StartAddressLengthAndAddressTextFollowTheBoundRun) {
  QlStringIo io;
  io.address = " PLC1.4x[2~6] ";
  ASSERT_TRUE(io.Bind());
  EXPECT_EQ(io.address, "PLC1.4x[00002~00006]");
  EXPECT_EQ(io.GetStartAddressText(), "PLC1.4x00002");
  EXPECT_EQ(io.GetRangeText(), "PLC1.4x00002");

  io.length = 4;
  io.ApplyLength();
  EXPECT_EQ(io.GetAddr().count, 2);
  io.UpdateAddressText();
  EXPECT_EQ(io.address, "PLC1.4x[00002~00003]");

  // An odd length leaves the run; 0 does nothing at all.
  io.length = 7;
  io.ApplyLength();
  io.UpdateAddressText();
  EXPECT_EQ(io.GetAddr().count, 2);
  EXPECT_EQ(io.address, "PLC1.4x[00002~00003]");
  io.address = "as typed";
  io.length = 0;
  io.ApplyLength();
  io.UpdateAddressText();
  EXPECT_EQ(io.address, "as typed");

  QlStringIo fx;
  fx.address = "FX1.d[10~14]";
  ASSERT_TRUE(fx.Bind());
  EXPECT_EQ(fx.GetStartAddressText(), "FX1.D10");
  fx.length = 20;
  fx.ApplyLength();
  fx.UpdateAddressText();
  EXPECT_EQ(fx.address, "FX1.D[10~19]");
}

TEST_F(QlStringIoTest, AnAddressThatDidNotParseIsKeptAsTyped) {
  QlStringIo io;
  io.address = "PLC1.4x[5~1]";
  EXPECT_FALSE(io.Bind());
  ASSERT_TRUE(io.GetNode().IsValid()) << "the node resolved before the address failed";
  EXPECT_EQ(io.GetStartAddressText(), "");
  io.length = 4;
  io.ApplyLength();
  io.UpdateAddressText();
  EXPECT_EQ(io.address, "PLC1.4x[5~1]");
  EXPECT_EQ(CheckMessage(io), "读写地址异常.");

  io.address = "PLC9.4x[1~5]";
  EXPECT_FALSE(io.Bind());
  io.UpdateAddressText();
  EXPECT_EQ(io.address, "PLC9.4x[1~5]");
  EXPECT_EQ(io.GetStartAddressText(), "");
}

TEST_F(QlStringIoTest, ClearingTheAddressReleasesItsBinding) {
  QlStringIo io;
  io.address = "PLC1.4x[2~6]";
  ASSERT_TRUE(io.Bind());
  ASSERT_EQ(words_->GetSubscriberCount(), 1u);

  io.address = "";
  EXPECT_FALSE(io.Bind());
  EXPECT_EQ(io.GetReadTask(), nullptr);
  EXPECT_TRUE(io.GetNode().IsEmpty());
  EXPECT_EQ(io.GetAddr().count, 0);
  EXPECT_EQ(words_->GetSubscriberCount(), 0u) << "nothing is polled for a removed address";
  EXPECT_EQ(io.GetStartAddressText(), "");
  EXPECT_EQ(CheckMessage(io), "读写地址不能为空!");
}

TEST_F(QlStringIoTest, CloneCopiesEveryFieldAndCountsItsSubscription) {
  auto io = std::make_shared<QlStringIo>();
  io->address = "FX1.D[10~14]";
  io->readOnly = true;
  io->length = 6;
  SetVisibility(*io, true, "FX1.M3");
  ASSERT_TRUE(io->Bind());
  Put(fxWords_, 20, {'O', 'K'});
  std::string text;
  bool changed = false;
  ASSERT_TRUE(io->ReadText(text, changed));
  ASSERT_EQ(text, "OK");
  const auto relays = TaskNamed(*fx1_, "fx relays");
  ASSERT_EQ(relays->GetSubscriberCount(), 1u);

  std::shared_ptr<QlStringIo> copy = io->Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->address, "FX1.D[10~14]");
  EXPECT_TRUE(copy->readOnly);
  EXPECT_EQ(copy->length, 6);
  EXPECT_FALSE(copy->forceRefresh);
  EXPECT_TRUE(copy->GetNode().SameObject(io->GetNode()));
  EXPECT_EQ(copy->GetReadTask(), fxWords_);
  EXPECT_EQ(copy->GetOffset(), 20);
  EXPECT_EQ(copy->GetAddr().count, 5);
  EXPECT_EQ(copy->GetStartAddressText(), "FX1.D10");
  EXPECT_EQ(copy->GetVisibAddress(), "FX1.M3");
  EXPECT_EQ(copy->GetVisibTask(), relays);
  EXPECT_TRUE(copy->Check(nullptr));
  EXPECT_EQ(fxWords_->GetSubscriberCount(), 2u);
  EXPECT_EQ(relays->GetSubscriberCount(), 2u);

  // The clone saw the same read.
  EXPECT_TRUE(copy->ReadText(text, changed));
  EXPECT_FALSE(changed);

  io.reset();
  EXPECT_EQ(fxWords_->GetSubscriberCount(), 1u);
  EXPECT_TRUE(fxWords_->IsPolled());
  copy.reset();
  EXPECT_EQ(fxWords_->GetSubscriberCount(), 0u);
  EXPECT_EQ(relays->GetSubscriberCount(), 0u);
}

}  // namespace
}  // namespace NsOvrin::NsQlElemIo
