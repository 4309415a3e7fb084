#include "element_io/QlPageToIo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BoxNodeDb.h"
#include "project/QlEProject.h"

namespace NsOvrin::NsQlElemIo {
namespace {

// The node database for the visibility addresses and a project whose pages
// the tests choose.
class QlPageToIoTest : public Testing::BoxNodeDb {
 protected:
  void SetUp() override {
    BoxNodeDb::SetUp();
    QlEProject::Instance().Reset("");
  }
  void TearDown() override {
    QlEProject::Instance().Reset("");
    BoxNodeDb::TearDown();
  }
};

TEST(QlPageToIo, LeadsToTheHomePageUntilSetOtherwise) {
  const QlPageToIo io;
  EXPECT_EQ(io.targetPage, "");
  EXPECT_EQ(io.jumpType, kPageJumpHome);
  EXPECT_EQ(io.GetTargetText(), "首页");
  ASSERT_NE(io.GetBaseIoDataConst(), nullptr);
  EXPECT_FALSE(io.GetBaseIoDataConst()->enableVisib);
}

TEST(QlPageToIo, TheTargetTextFollowsTheJumpType) {
  struct Case {
    PageJumpType type;
    const char* expected;
  };
  const Case cases[] = {
      {kPageJumpPrevious, "上一页"}, {kPageJumpHome, "首页"}, {kPageJumpNamed, "设备页"},
      {3, ""},                      {-1, ""},
  };
  for (const Case& c : cases) {
    QlPageToIo io;
    io.targetPage = "设备页";
    io.jumpType = c.type;
    EXPECT_EQ(io.GetTargetText(), c.expected) << c.type;
  }
}

TEST_F(QlPageToIoTest, ChecksANamedTargetAgainstTheProjectsPages) {
  struct Case {
    const char* name;
    std::vector<std::string> pages;
    PageJumpType type;
    const char* target;
    bool visib;
    const char* visibAddress;
    const char* message;  // null: passes
  };
  const char* empty = "跳转页面不能为空!";
  const char* missing = "跳转页面文件不存在!";
  const Case cases[] = {
      {"a listed page", {"Page1", "页面2"}, kPageJumpNamed, "页面2", false, "", nullptr},
      {"names compare case-sensitively", {"page3"}, kPageJumpNamed, "Page3", false, "", missing},
      {"no blanks are trimmed", {"page3"}, kPageJumpNamed, "page3 ", false, "", missing},
      {"an empty target", {"page3"}, kPageJumpNamed, "", false, "", empty},
      {"no pages at all", {}, kPageJumpNamed, "page3", false, "", missing},
      {"the page fails before the visibility", {"P1"}, kPageJumpNamed, "P2", true, "", missing},
      {"then the visibility", {"P1"}, kPageJumpNamed, "P1", true, "", "控制可见性的地址为空!"},
      {"a bound visibility bit", {"P1"}, kPageJumpNamed, "P1", true, "PLC1.0x3", nullptr},
      {"the previous page ignores an empty target", {}, kPageJumpPrevious, "", false, "", nullptr},
      {"the home page ignores a missing target", {"P1"}, kPageJumpHome, "nowhere", false, "", nullptr},
      {"another jump type ignores its target", {}, 7, "", false, "", nullptr},
      {"an unnamed jump still checks the visibility", {}, kPageJumpHome, "", true, "PLC1.4x1",
       "控制可见性的地址不是点类型数据."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QlEProject::Instance().pageNames = c.pages;
    QlPageToIo io;
    io.jumpType = c.type;
    io.targetPage = c.target;
    SetVisibility(io, c.visib, c.visibAddress);
    io.Bind();
    EXPECT_EQ(io.Check(nullptr), c.message == nullptr);
    EXPECT_EQ(CheckMessage(io), c.message ? c.message : "untouched");
  }
}

TEST_F(QlPageToIoTest, BindsOnlyTheVisibility) {
  QlPageToIo io;
  io.jumpType = kPageJumpNamed;
  io.targetPage = "not a page";
  EXPECT_TRUE(io.Bind()) << "the target is judged by the check, not the bind";
  SetVisibility(io, true, " PLC1.0x3 ");
  EXPECT_TRUE(io.Bind());
  EXPECT_EQ(io.GetVisibAddress(), "PLC1.0x00003");
  EXPECT_EQ(coils_->GetSubscriberCount(), 1u);
  SetVisibility(io, true, "PLC1.0x500");
  EXPECT_FALSE(io.Bind());
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
}

TEST_F(QlPageToIoTest, CloneCopiesTheSettingsAndCountsTheVisibilityBit) {
  auto io = std::make_shared<QlPageToIo>();
  io->jumpType = kPageJumpNamed;
  io->targetPage = "报警页";
  SetVisibility(*io, true, "PLC1.0x3");
  io->GetBaseIoData()->showWhenTrue = true;
  ASSERT_TRUE(io->Bind());
  ASSERT_EQ(coils_->GetSubscriberCount(), 1u);

  std::shared_ptr<QlPageToIo> copy = io->Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->jumpType, kPageJumpNamed);
  EXPECT_EQ(copy->targetPage, "报警页");
  EXPECT_TRUE(copy->GetBaseIoDataConst()->enableVisib);
  EXPECT_TRUE(copy->GetBaseIoDataConst()->showWhenTrue);
  EXPECT_EQ(copy->GetVisibAddress(), "PLC1.0x00003");
  EXPECT_EQ(copy->GetVisibTask(), coils_);
  EXPECT_EQ(copy->GetVisibOffset(), 3);
  EXPECT_EQ(coils_->GetSubscriberCount(), 2u);

  QlEProject::Instance().pageNames = {"报警页"};
  copy->targetPage = "主页";
  EXPECT_EQ(io->targetPage, "报警页");
  EXPECT_TRUE(io->Check(nullptr));
  io.reset();
  EXPECT_EQ(coils_->GetSubscriberCount(), 1u);
  EXPECT_EQ(CheckMessage(*copy), "跳转页面文件不存在!");
}

}  // namespace
}  // namespace NsOvrin::NsQlElemIo
