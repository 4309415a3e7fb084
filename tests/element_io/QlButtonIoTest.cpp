#include "element_io/QlButtonIo.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "termination/NodeDbFixture.h"

namespace NsOvrin::NsQlElemIo {
namespace {

using NsTermination::TaskReadData;

class QlButtonIoTest : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    auto eth = AddEthernet("ETH1");
    plc1_ = AddTcpNode(eth, "PLC1");
    ASSERT_NE(plc1_, nullptr);
    AddBlock(*plc1_, "0x[0~127]", "coils");
    AddBlock(*plc1_, "1x[0~63]", "inputs");
    AddBlock(*plc1_, "4x[0~99]", "words");
    coils_ = TaskNamed(*plc1_, "coils");
    inputs_ = TaskNamed(*plc1_, "inputs");
    words_ = TaskNamed(*plc1_, "words");
    ASSERT_TRUE(coils_ && inputs_ && words_);
  }

  static std::string CheckMessage(QlButtonIo& io) {
    std::string message = "untouched";
    io.Check(&message);
    return message;
  }

  // Puts a reply into the block as the polling thread would.
  static void Reply(const std::shared_ptr<TaskReadData>& task, std::vector<uint8_t> bytes) {
    bytes.resize(task->GetCacheBlock()->GetSize());
    task->GetCacheBlock()->Update(bytes.data(), bytes.size());
  }

  struct Read {
    bool ok = false;
    uint8_t value = 0xFF;
    bool changed = false;
    bool moved = false;
  };
  static Read ReadOnce(QlButtonIo& io) {
    Read r;
    r.ok = io.ReadState(r.value, r.changed, &r.moved);
    return r;
  }

  std::shared_ptr<NsTermination::Node> plc1_;
  std::shared_ptr<TaskReadData> coils_, inputs_, words_;
};

TEST_F(QlButtonIoTest, DefaultsAndTheTwoMadeForms) {
  const QlButtonIo io;
  EXPECT_EQ(io.buttonType, kButtonToggle);
  EXPECT_EQ(io.dataType, NsTermination::kTypeBit);
  EXPECT_TRUE(io.sameAsRead);
  EXPECT_EQ(io.readAddress, "");
  EXPECT_EQ(io.writeAddress, "");
  EXPECT_EQ(io.presetValue, 0u);
  EXPECT_FALSE(io.GetBaseIoDataConst()->enableVisib);
  EXPECT_EQ(io.GetReadAddr().kind, NsTermination::kKindWord);
  EXPECT_EQ(io.GetReadAddr().count, 0u);
  EXPECT_EQ(io.GetWriteAddr().count, 0u);
  EXPECT_FALSE(io.GetForceRefresh());

  const auto setReset = QlButtonIo::QlButtonIoWithAddresses("PLC1.0x1", "PLC1.0x2");
  EXPECT_EQ(setReset->buttonType, kButtonSetOff);
  EXPECT_EQ(setReset->dataType, NsTermination::kTypeBit);
  EXPECT_FALSE(setReset->sameAsRead);
  EXPECT_EQ(setReset->readAddress, "PLC1.0x1");
  EXPECT_EQ(setReset->writeAddress, "PLC1.0x2");

  const auto row = QlButtonIo::QlButtonIoDisplayOnly("PLC1.0x3");
  EXPECT_EQ(row->buttonType, kButtonDisplayOnly);
  EXPECT_EQ(row->dataType, NsTermination::kTypeBit);
  EXPECT_TRUE(row->sameAsRead);
  EXPECT_EQ(row->readAddress, "PLC1.0x3");
  EXPECT_EQ(row->writeAddress, "");
}

TEST_F(QlButtonIoTest, AcceptsAddressByButtonTypeAndDataType) {
  NsTermination::TermAddr bit;
  bit.kind = NsTermination::kKindBit;
  NsTermination::TermAddr word;
  word.kind = NsTermination::kKindWord;
  struct Case {
    ButtonType type;
    uint16_t dataType;
    bool bit, word;
  };
  const Case cases[] = {
      {kButtonToggle, 1, true, false},     {kButtonMomentary, 1, true, false},
      {kButtonSetOn, 1, true, false},      {kButtonSetOff, 4, true, false},
      {kButtonDisplayOnly, 1, true, false}, {kButtonSetValue, 1, true, false},
      {kButtonSetValue, 2, false, true},   {kButtonSetValue, 4, false, true},
      {kButtonSetValue, 8, false, true},   {kButtonSetValue, 16, false, true},
      {kButtonSetValue, 32, false, true},  {kButtonSetValue, 0, false, false},
      {kButtonSetValue, 64, false, false}, {6, 1, false, false},
      {-1, 1, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " data type " << c.dataType);
    QlButtonIo io;
    io.buttonType = c.type;
    io.dataType = c.dataType;
    EXPECT_EQ(io.AcceptsAddress(bit), c.bit);
    EXPECT_EQ(io.AcceptsAddress(word), c.word);
  }
}

TEST_F(QlButtonIoTest, CheckGivesEachMessageInItsOrder) {
  struct Case {
    ButtonType type;
    uint16_t dataType;
    bool sameAsRead;
    std::string read, write;
    bool bound;
    const char* message;  // null: the check passes
  };
  const Case cases[] = {
      // 1: a read address is needed by types 0 and 5 and by unknown types.
      {kButtonToggle, 1, false, "", "PLC1.0x5", true, "读写地址不能为空!"},
      {kButtonDisplayOnly, 1, false, "", "", true, "读写地址不能为空!"},
      {7, 1, false, "", "PLC1.0x5", true, "读写地址不能为空!"},
      // 2: the selected address.
      {kButtonMomentary, 1, false, "", "", true, "写地址不能为空!"},
      {kButtonToggle, 1, false, "PLC1.0x1", "", true, "写地址不能为空!"},
      {kButtonSetOn, 1, true, "", "PLC1.0x5", true, "写地址不能为空!"},
      // 3, 4: nodes.
      {kButtonToggle, 1, true, "PLC9.0x1", "", false, "读写地址节点不存在."},
      {kButtonDisplayOnly, 1, false, "PLC9.0x1", "", false, "读写地址节点不存在."},
      {kButtonMomentary, 1, false, "", "PLC9.0x5", false, "写地址节点不存在."},
      {kButtonToggle, 1, false, "PLC1.0x1", "PLC9.0x5", false, "写地址节点不存在."},
      {kButtonSetOff, 1, false, "", "0x5", false, "写地址节点不存在."},
      // 5, 6: addresses that do not parse.
      {kButtonMomentary, 1, false, "", "PLC1.zz5", false, "写地址异常."},
      {kButtonDisplayOnly, 1, false, "PLC1.zz5", "", false, "写地址异常."},
      {kButtonToggle, 1, false, "PLC1.zz1", "PLC1.0x5", false, "读地址异常."},
      // 7: the read address outside every data block.
      {kButtonToggle, 1, true, "PLC1.0x150", "", false, "读写地址异常或者不在数据列表中."},
      {kButtonSetOn, 1, false, "PLC1.0x150", "PLC1.0x5", false, "读写地址异常或者不在数据列表中."},
      {kButtonDisplayOnly, 1, false, "PLC1.4x200", "", false, "读写地址异常或者不在数据列表中."},
      // A 32-bit value in the last word of the block does not fit.
      {kButtonSetValue, 16, true, "PLC1.4x99", "", false, "读写地址异常或者不在数据列表中."},
      // 8: write permission, except for display only.
      {kButtonToggle, 1, true, "PLC1.1x3", "", true, "地址无写入权限."},
      {kButtonMomentary, 1, false, "", "PLC1.1x3", true, "地址无写入权限."},
      {kButtonDisplayOnly, 1, false, "PLC1.1x3", "", true, nullptr},
      // 9: the read address must suit the type.
      {kButtonToggle, 1, false, "PLC1.4x1", "PLC1.0x5", true, "读地址与数据类型不兼容."},
      {kButtonDisplayOnly, 1, false, "PLC1.4x1", "", true, "读地址与数据类型不兼容."},
      {kButtonSetValue, 4, true, "PLC1.0x1", "", true, "读地址与数据类型不兼容."},
      {kButtonSetValue, 4, false, "PLC1.4x1", "PLC1.4x5", true, "读地址与数据类型不兼容."},
      {-1, 1, true, "PLC1.0x1", "", true, "读地址与数据类型不兼容."},
      // 10: the selected address must suit the type.
      {kButtonSetValue, 4, false, "", "PLC1.0x5", true, "写地址与数据类型不兼容."},
      {kButtonSetOff, 1, false, "", "PLC1.4x5", true, "写地址与数据类型不兼容."},
      {kButtonSetValue, 64, false, "", "PLC1.4x5", true, "写地址与数据类型不兼容."},
      // Passing.
      {kButtonSetValue, 4, false, "", "PLC1.4x5", true, nullptr},
      {kButtonSetValue, 16, true, "PLC1.4x98", "", true, nullptr},
      {kButtonSetValue, 1, false, "PLC1.0x1", "PLC1.0x5", true, nullptr},
      {kButtonMomentary, 1, false, "", "PLC1.0x5", true, nullptr},
      {kButtonToggle, 1, true, " PLC1.0x1 ", "", true, nullptr},
      {kButtonToggle, 1, false, "PLC1.1x2", "PLC1.0x5", true, nullptr},
      {kButtonSetOn, 1, false, "PLC1.0x1", "PLC1.0x5", true, nullptr},
      {kButtonSetOff, 1, false, "", "PLC1.0x5", true, nullptr},
      {kButtonDisplayOnly, 1, false, "PLC1.0x1", "PLC9.zz", false, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "type " << c.type << " data type " << c.dataType << " same "
                                    << c.sameAsRead << " read \"" << c.read << "\" write \"" << c.write
                                    << "\"");
    QlButtonIo io;
    io.buttonType = c.type;
    io.dataType = c.dataType;
    io.sameAsRead = c.sameAsRead;
    io.readAddress = c.read;
    io.writeAddress = c.write;
    EXPECT_EQ(io.Bind(), c.bound);
    EXPECT_EQ(io.Check(nullptr), c.message == nullptr);
    EXPECT_EQ(CheckMessage(io), c.message ? c.message : "untouched");
  }
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
  EXPECT_EQ(inputs_->GetSubscriberCount(), 0u);
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
}

TEST_F(QlButtonIoTest, VisibilityIsCheckedLast) {
  QlButtonIo io;
  io.buttonType = kButtonMomentary;
  io.sameAsRead = false;
  io.writeAddress = "PLC1.0x5";
  io.GetBaseIoData()->enableVisib = true;
  io.GetBaseIoData()->addressForVisib = "PLC1.4x2";
  EXPECT_TRUE(io.Bind()) << "a word binds; the check refuses it";
  EXPECT_EQ(CheckMessage(io), "控制可见性的地址不是点类型数据.");
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);

  io.GetBaseIoData()->addressForVisib = " ";
  EXPECT_FALSE(io.Bind());
  EXPECT_EQ(CheckMessage(io), "控制可见性的地址为空!");

  // An earlier failure wins over the visibility.
  io.writeAddress.clear();
  io.Bind();
  EXPECT_EQ(CheckMessage(io), "写地址不能为空!");
}

TEST_F(QlButtonIoTest, BindTrimsRewritesAndSubscribesOnlyTheReadAddress) {
  QlButtonIo io;
  io.buttonType = kButtonDisplayOnly;
  io.sameAsRead = false;
  io.readAddress = "\tPLC1.0x10 ";
  io.writeAddress = " PLC1.4x7";
  ASSERT_TRUE(io.Bind());
  EXPECT_TRUE(io.sameAsRead) << "display only always shows its read address";
  EXPECT_EQ(io.readAddress, "PLC1.0x00010");
  EXPECT_EQ(io.writeAddress, "PLC1.4x00007");
  EXPECT_EQ(io.GetReadTask(), coils_);
  EXPECT_EQ(io.GetReadOffset(), 10u);
  EXPECT_EQ(io.GetReadAddr().kind, NsTermination::kKindBit);
  EXPECT_EQ(io.GetWriteAddr().prefix, "4x");
  EXPECT_TRUE(io.GetReadNode().IsValid());
  EXPECT_TRUE(io.GetWriteNode().IsValid());
  EXPECT_TRUE(io.GetForceRefresh());
  EXPECT_EQ(coils_->GetSubscriberCount(), 1u);
  EXPECT_EQ(words_->GetSubscriberCount(), 0u) << "the write address subscribes nothing";

  // Binding again counts once; another block takes the subscription over.
  ASSERT_TRUE(io.Bind());
  EXPECT_EQ(coils_->GetSubscriberCount(), 1u);
  io.readAddress = "PLC1.1x4";
  ASSERT_TRUE(io.Bind());
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
  EXPECT_EQ(inputs_->GetSubscriberCount(), 1u);
  EXPECT_EQ(io.GetReadOffset(), 4u);
}

TEST_F(QlButtonIoTest, ClearingAnAddressReleasesItsBinding) {
  auto io = QlButtonIo::QlButtonIoWithAddresses("PLC1.0x3", "PLC1.0x5");
  io->buttonType = kButtonMomentary;
  ASSERT_TRUE(io->Bind());
  ASSERT_TRUE(io->Check(nullptr));
  ASSERT_EQ(coils_->GetSubscriberCount(), 1u);
  uint8_t value = 0;
  bool changed = false;
  ASSERT_TRUE(io->ReadState(value, changed));

  // The optional read address removed: nothing is polled or read for it.
  io->readAddress = "  ";
  EXPECT_TRUE(io->Bind());
  EXPECT_EQ(io->readAddress, "");
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
  EXPECT_EQ(io->GetReadTask(), nullptr);
  EXPECT_EQ(io->GetReadAddr().count, 0u);
  EXPECT_EQ(io->GetReadOffset(), 0u);
  EXPECT_TRUE(io->GetReadNode().IsEmpty());
  EXPECT_FALSE(io->ReadState(value, changed));
  EXPECT_TRUE(io->Check(nullptr));

  // The write address removed: nothing is left to write to.
  io->writeAddress = "";
  EXPECT_TRUE(io->Bind());
  EXPECT_EQ(io->GetWriteAddr().count, 0u);
  EXPECT_TRUE(io->GetWriteNode().IsEmpty());
  EXPECT_EQ(CheckMessage(*io), "写地址不能为空!");
  EXPECT_FALSE(io->WriteValue(1));
}

TEST_F(QlButtonIoTest, ReadStateReportsChangesOfTheBit) {
  QlButtonIo io;
  io.readAddress = "PLC1.0x9";
  Read r = ReadOnce(io);
  EXPECT_FALSE(r.ok) << "nothing bound";

  ASSERT_TRUE(io.Bind());
  r = ReadOnce(io);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.value, 0);
  EXPECT_TRUE(r.changed) << "the first read after a bind is a change";
  EXPECT_TRUE(r.moved);
  EXPECT_FALSE(io.GetForceRefresh());

  r = ReadOnce(io);
  EXPECT_TRUE(r.ok);
  EXPECT_FALSE(r.changed);
  EXPECT_FALSE(r.moved) << "no new reply in between";

  Reply(coils_, {0x00, 0x00});  // the same bytes again
  r = ReadOnce(io);
  EXPECT_FALSE(r.changed);
  EXPECT_TRUE(r.moved);

  Reply(coils_, {0x00, 0x02});  // bit 9
  r = ReadOnce(io);
  EXPECT_EQ(r.value, 1);
  EXPECT_TRUE(r.changed);
  EXPECT_EQ(io.GetLastValue(), 1);
  EXPECT_EQ(io.GetLastCounter(), coils_->GetCacheBlock()->GetUpdateCount());

  Reply(coils_, {0xFF, 0xFD});  // every bit but 9
  r = ReadOnce(io);
  EXPECT_EQ(r.value, 0);
  EXPECT_TRUE(r.changed);

  // Binding again reports the unchanged bit as a change once more.
  ASSERT_TRUE(io.Bind());
  r = ReadOnce(io);
  EXPECT_EQ(r.value, 0);
  EXPECT_TRUE(r.changed);
  EXPECT_FALSE(r.moved);

  // The third output is optional.
  uint8_t value = 0;
  bool changed = true;
  EXPECT_TRUE(io.ReadState(value, changed));
  EXPECT_FALSE(changed);
}

TEST_F(QlButtonIoTest, AWordReadAddressShowsOnWhenTheWordIsNotZero) {
  QlButtonIo io;
  io.buttonType = kButtonSetValue;
  io.dataType = NsTermination::kTypeUInt16;
  io.readAddress = "PLC1.4x3";
  ASSERT_TRUE(io.Bind());
  ASSERT_EQ(io.GetReadOffset(), 6u) << "bytes, not bits";

  struct Case {
    std::vector<uint8_t> bytes;
    uint8_t value;
  };
  const Case cases[] = {
      // Bit 6 of the block (what the byte offset names as a bit) is set,
      // the word is 0.
      {{0x40, 0, 0, 0, 0, 0, 0x00, 0x00}, 0},
      {{0x00, 0, 0, 0, 0, 0, 0x01, 0x00}, 1},
      {{0x00, 0, 0, 0, 0, 0, 0x00, 0x80}, 1},
      {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF}, 0},
  };
  for (const Case& c : cases) {
    Reply(words_, c.bytes);
    const Read r = ReadOnce(io);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.value, c.value);
  }

  // The last word of the block is read as well.
  io.readAddress = "PLC1.4x99";
  ASSERT_TRUE(io.Bind());
  std::vector<uint8_t> bytes(200, 0);
  bytes[198] = 0x12;
  Reply(words_, bytes);
  const Read r = ReadOnce(io);
  ASSERT_TRUE(r.ok);
  EXPECT_EQ(r.value, 1);
}

TEST_F(QlButtonIoTest, WriteValueNeedsABoundLiveNode) {
  QlButtonIo io;
  EXPECT_FALSE(io.WriteValue(1)) << "nothing bound";
  io.readAddress = "PLC1.0x3";
  ASSERT_TRUE(io.Bind());
  // The node is not started: no exchange is made.
  EXPECT_FALSE(io.WriteValue(1));
  Db().Reset();
  plc1_.reset();
  EXPECT_FALSE(io.GetReadNode().IsValid());
  EXPECT_FALSE(io.WriteValue(1));
  EXPECT_EQ(CheckMessage(io), "读写地址节点不存在.");
}

TEST_F(QlButtonIoTest, CloneCopiesTheBindingAndCountsItsSubscription) {
  auto first = std::make_shared<QlButtonIo>();
  first->buttonType = kButtonSetOn;
  first->sameAsRead = false;
  first->readAddress = "PLC1.0x3";
  first->writeAddress = "PLC1.0x5";
  first->presetValue = 77;
  first->GetBaseIoData()->enableVisib = true;
  first->GetBaseIoData()->showWhenTrue = true;
  first->GetBaseIoData()->addressForVisib = "PLC1.0x4";
  ASSERT_TRUE(first->Bind());
  ASSERT_EQ(coils_->GetSubscriberCount(), 2u);  // read and visibility
  Reply(coils_, {0x08});
  Read r = ReadOnce(*first);
  ASSERT_EQ(r.value, 1);

  std::shared_ptr<QlButtonIo> clone = first->Clone();
  EXPECT_EQ(coils_->GetSubscriberCount(), 4u);
  EXPECT_EQ(clone->buttonType, kButtonSetOn);
  EXPECT_EQ(clone->dataType, NsTermination::kTypeBit);
  EXPECT_FALSE(clone->sameAsRead);
  EXPECT_EQ(clone->readAddress, "PLC1.0x00003");
  EXPECT_EQ(clone->writeAddress, "PLC1.0x00005");
  EXPECT_EQ(clone->presetValue, 77u);
  EXPECT_TRUE(clone->GetBaseIoDataConst()->enableVisib);
  EXPECT_TRUE(clone->GetBaseIoDataConst()->showWhenTrue);
  EXPECT_EQ(clone->GetVisibAddress(), "PLC1.0x00004");
  EXPECT_EQ(clone->GetVisibTask(), coils_);
  EXPECT_EQ(clone->GetReadTask(), coils_);
  EXPECT_EQ(clone->GetReadOffset(), 3u);
  EXPECT_EQ(clone->GetReadAddr().start, 3u);
  EXPECT_EQ(clone->GetWriteAddr().start, 5u);
  EXPECT_TRUE(clone->GetReadNode().SameObject(first->GetReadNode()));
  EXPECT_TRUE(clone->GetWriteNode().SameObject(first->GetWriteNode()));
  EXPECT_EQ(clone->GetLastCounter(), first->GetLastCounter());
  EXPECT_EQ(clone->GetLastValue(), 1);
  EXPECT_FALSE(clone->GetForceRefresh());
  EXPECT_TRUE(clone->Check(nullptr)) << "checked without binding again";

  // The clone reads on from where the first one was.
  r = ReadOnce(*clone);
  EXPECT_FALSE(r.changed);
  EXPECT_FALSE(r.moved);

  // Deleting the first element leaves the block polled for the clone.
  first.reset();
  EXPECT_EQ(coils_->GetSubscriberCount(), 2u);
  EXPECT_TRUE(coils_->IsPolled());
  clone.reset();
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
}

}  // namespace
}  // namespace NsOvrin::NsQlElemIo
