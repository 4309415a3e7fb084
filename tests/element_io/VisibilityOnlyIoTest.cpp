// The six bindings that hold nothing but the visibility settings.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "element_io/QlAlarmHistIo.h"
#include "element_io/QlAlarmListIo.h"
#include "element_io/QlBtnUserIo.h"
#include "element_io/QlImageIo.h"
#include "element_io/QlPanelIo.h"
#include "element_io/QlTextIo.h"
#include "termination/NodeDbFixture.h"

namespace NsOvrin::NsQlElemIo {
namespace {

template <typename Io>
class VisibilityOnlyIo : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    auto node = AddTcpNode(AddEthernet("ETH1"), "PLC1");
    ASSERT_NE(node, nullptr);
    AddBlock(*node, "0x[0~15]", "coils");
    AddBlock(*node, "4x[0~9]", "words");
    coils_ = TaskNamed(*node, "coils");
  }
  std::shared_ptr<NsTermination::TaskReadData> coils_;
};

using Kinds = ::testing::Types<QlTextIo, QlPanelIo, QlImageIo, QlAlarmListIo, QlAlarmHistIo,
                               QlBtnUserIo>;
TYPED_TEST_SUITE(VisibilityOnlyIo, Kinds);

TYPED_TEST(VisibilityOnlyIo, BindAndCheckAreTheVisibilityOnes) {
  TypeParam io;
  EXPECT_FALSE(io.GetBaseIoDataConst()->enableVisib);
  EXPECT_FALSE(io.GetBaseIoDataConst()->showWhenTrue);
  EXPECT_EQ(io.GetVisibAddress(), "");
  EXPECT_EQ(io.GetVisibAddr().kind, NsTermination::kKindWord);
  EXPECT_EQ(io.GetVisibAddr().count, 0u);
  EXPECT_TRUE(io.Bind()) << "nothing to bind while visibility is off";
  EXPECT_TRUE(io.Check(nullptr));

  io.GetBaseIoData()->enableVisib = true;
  io.GetBaseIoData()->addressForVisib = "PLC1.4x3";
  EXPECT_TRUE(io.Bind());
  std::string message;
  EXPECT_FALSE(io.Check(&message));
  EXPECT_EQ(message, "控制可见性的地址不是点类型数据.");

  io.GetBaseIoData()->addressForVisib = "PLC1.0x3";
  EXPECT_TRUE(io.Bind());
  EXPECT_TRUE(io.Check(&message));
  EXPECT_EQ(this->coils_->GetSubscriberCount(), 1u);
}

TYPED_TEST(VisibilityOnlyIo, CloneCopiesTheSettingsAndTheBinding) {
  TypeParam io;
  *io.GetBaseIoData() = BaseIoData{true, true, "PLC1.0x3"};
  ASSERT_TRUE(io.Bind());
  std::shared_ptr<TypeParam> clone = io.Clone();
  EXPECT_EQ(this->coils_->GetSubscriberCount(), 2u);
  EXPECT_TRUE(clone->GetBaseIoDataConst()->enableVisib);
  EXPECT_TRUE(clone->GetBaseIoDataConst()->showWhenTrue);
  EXPECT_EQ(clone->GetVisibAddress(), io.GetVisibAddress());
  EXPECT_EQ(clone->GetVisibTask(), this->coils_);
  // The settings are the clone's own.
  clone->GetBaseIoData()->addressForVisib.clear();
  EXPECT_EQ(io.GetVisibAddress(), "PLC1.0x00003");
}

}  // namespace
}  // namespace NsOvrin::NsQlElemIo
