#include "element_io/QlIo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "element_io/QlTextIo.h"
#include "termination/NodeDbFixture.h"

namespace NsOvrin::NsQlElemIo {
namespace {

using NsTermination::TaskReadData;

// A binding that may lose its settings, to see every user cope with that.
class ProbeIo : public QlIo {
 public:
  bool Bind() override { return BindVisibility(); }
  bool Check(std::string* message) override { return CheckVisibility(message); }
  const BaseIoData* GetBaseIoDataConst() const override { return hasData ? &data : nullptr; }
  BaseIoData* GetBaseIoData() override { return hasData ? &data : nullptr; }
  void CopyBaseFrom(const QlIo& other) { CopyBase(other); }

  bool hasData = true;
  BaseIoData data;
};

class QlIoTest : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    auto eth = AddEthernet("ETH1");
    plc1_ = AddTcpNode(eth, "PLC1");
    ASSERT_NE(plc1_, nullptr);
    AddBlock(*plc1_, "0x[0~127]", "coils");
    AddBlock(*plc1_, "0x[200~215]", "more coils");
    AddBlock(*plc1_, "4x[0~99]", "words");
    coils_ = TaskNamed(*plc1_, "coils");
    moreCoils_ = TaskNamed(*plc1_, "more coils");
    words_ = TaskNamed(*plc1_, "words");
    ASSERT_TRUE(coils_ && moreCoils_ && words_);
  }

  static void SetVisibility(QlIo& io, bool enable, const std::string& address) {
    io.GetBaseIoData()->enableVisib = enable;
    io.GetBaseIoData()->addressForVisib = address;
  }

  static std::string CheckMessage(QlIo& io) {
    std::string message = "untouched";
    io.Check(&message);
    return message;
  }

  std::shared_ptr<NsTermination::Node> plc1_;
  std::shared_ptr<TaskReadData> coils_, moreCoils_, words_;
};

TEST_F(QlIoTest, CheckGivesEachMessageForItsBadInput) {
  struct Case {
    bool enable;
    std::string address;
    bool bound;
    const char* message;  // null: the check passes and writes nothing
  };
  const Case cases[] = {
      {false, "", true, nullptr},
      {false, "PLC1.no such", true, nullptr},
      {true, "", false, "控制可见性的地址为空!"},
      {true, " \t ", false, "控制可见性的地址为空!"},
      {true, "PLC9.0x5", false, "控制可见性的地址异常."},
      {true, "PLC1.zz5", false, "控制可见性的地址异常."},
      {true, "0x5", false, "控制可见性的地址异常."},
      {true, "PLC1.0x150", false, "控制可见性的地址异常或者不在数据列表中."},
      {true, "PLC1.4x10", true, "控制可见性的地址不是点类型数据."},
      {true, " PLC1.0x5 ", true, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("\"" + c.address + "\"");
    QlTextIo io;
    SetVisibility(io, c.enable, c.address);
    EXPECT_EQ(io.Bind(), c.bound);
    EXPECT_EQ(io.Check(nullptr), c.message == nullptr);
    EXPECT_EQ(CheckMessage(io), c.message ? c.message : "untouched");
  }
  // Each binding let its task go with it.
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
}

TEST_F(QlIoTest, MissingSettingsAreReportedAsASystemError) {
  ProbeIo io;
  io.hasData = false;
  EXPECT_FALSE(io.BindVisibility());
  EXPECT_FALSE(io.Check(nullptr));
  EXPECT_EQ(CheckMessage(io), "系统错误: baseIoData == nullptr");
  EXPECT_EQ(io.GetVisibAddress(), "");
}

TEST_F(QlIoTest, BindingTrimsRewritesAndSubscribesTheBit) {
  QlTextIo io;
  SetVisibility(io, true, "  PLC1.0x5\t");
  ASSERT_TRUE(io.Bind());
  EXPECT_EQ(io.GetVisibAddress(), "PLC1.0x00005");
  EXPECT_EQ(io.GetVisibTask(), coils_);
  EXPECT_EQ(io.GetVisibOffset(), 5u);
  EXPECT_EQ(io.GetVisibAddr().prefix, "0x");
  EXPECT_EQ(io.GetVisibAddr().kind, NsTermination::kKindBit);
  EXPECT_EQ(coils_->GetSubscriberCount(), 1u);
  EXPECT_TRUE(coils_->IsPolled());

  // Binding again does not count twice; moving to another block moves the
  // subscription.
  ASSERT_TRUE(io.Bind());
  EXPECT_EQ(coils_->GetSubscriberCount(), 1u);
  SetVisibility(io, true, "PLC1.0x203");
  ASSERT_TRUE(io.Bind());
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
  EXPECT_FALSE(coils_->IsPolled());
  EXPECT_EQ(moreCoils_->GetSubscriberCount(), 1u);
  EXPECT_EQ(io.GetVisibOffset(), 3u);
}

TEST_F(QlIoTest, ClearingTheAddressReleasesItsBinding) {
  QlTextIo io;
  SetVisibility(io, true, "PLC1.0x5");
  ASSERT_TRUE(io.Bind());
  ASSERT_EQ(coils_->GetSubscriberCount(), 1u);

  SetVisibility(io, true, "  ");
  EXPECT_FALSE(io.Bind());
  EXPECT_EQ(io.GetVisibAddress(), "");
  EXPECT_EQ(io.GetVisibTask(), nullptr);
  EXPECT_EQ(io.GetVisibAddr().count, 0u);
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u) << "nothing is polled for a removed address";
  EXPECT_EQ(CheckMessage(io), "控制可见性的地址为空!");
}

TEST_F(QlIoTest, TurningVisibilityOffKeepsTheEarlierBinding) {
  QlTextIo io;
  SetVisibility(io, true, "PLC1.0x5");
  ASSERT_TRUE(io.Bind());
  SetVisibility(io, false, "PLC1.0x5");
  EXPECT_TRUE(io.Bind());
  EXPECT_TRUE(io.Check(nullptr));
  EXPECT_EQ(io.GetVisibTask(), coils_);
  EXPECT_EQ(coils_->GetSubscriberCount(), 1u);
}

TEST_F(QlIoTest, CloneCountsAsASubscriberOfItsOwn) {
  auto first = std::make_shared<QlTextIo>();
  SetVisibility(*first, true, "PLC1.0x5");
  first->GetBaseIoData()->showWhenTrue = true;
  ASSERT_TRUE(first->Bind());

  std::shared_ptr<QlTextIo> clone = first->Clone();
  EXPECT_EQ(coils_->GetSubscriberCount(), 2u);
  EXPECT_EQ(clone->GetVisibAddress(), "PLC1.0x00005");
  EXPECT_TRUE(clone->GetBaseIoDataConst()->enableVisib);
  EXPECT_TRUE(clone->GetBaseIoDataConst()->showWhenTrue);
  EXPECT_EQ(clone->GetVisibTask(), coils_);
  EXPECT_EQ(clone->GetVisibOffset(), 5u);
  EXPECT_EQ(clone->GetVisibAddr().start, 5u);
  EXPECT_TRUE(clone->Check(nullptr)) << "the clone is checked without binding again";

  // Deleting the first element leaves the block polled for the clone.
  first.reset();
  EXPECT_EQ(coils_->GetSubscriberCount(), 1u);
  EXPECT_TRUE(coils_->IsPolled());
  clone.reset();
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
}

TEST_F(QlIoTest, CopyBaseReleasesWhatTheTargetHeld) {
  ProbeIo source;
  source.data = {true, false, "PLC1.0x5"};
  ASSERT_TRUE(source.Bind());
  ProbeIo target;
  target.data = {true, false, "PLC1.0x201"};
  ASSERT_TRUE(target.Bind());
  ASSERT_EQ(moreCoils_->GetSubscriberCount(), 1u);

  target.CopyBaseFrom(source);
  EXPECT_EQ(moreCoils_->GetSubscriberCount(), 0u);
  EXPECT_EQ(coils_->GetSubscriberCount(), 2u);
  EXPECT_EQ(target.GetVisibOffset(), 5u);
  target.CopyBaseFrom(target);
  EXPECT_EQ(coils_->GetSubscriberCount(), 2u);
}

TEST_F(QlIoTest, ABindingOutlivesItsNode) {
  auto io = std::make_shared<QlTextIo>();
  SetVisibility(*io, true, "PLC1.0x5");
  ASSERT_TRUE(io->Bind());
  // The database goes away; the binding keeps its task until it is rebound.
  plc1_.reset();
  std::weak_ptr<TaskReadData> task = coils_;
  coils_.reset();
  Db().Reset();
  EXPECT_FALSE(task.expired());
  EXPECT_TRUE(io->Check(nullptr)) << "the check judges the last bind";
  EXPECT_FALSE(io->Bind());
  EXPECT_EQ(CheckMessage(*io), "控制可见性的地址异常.");
  EXPECT_TRUE(task.expired());
}

}  // namespace
}  // namespace NsOvrin::NsQlElemIo
