#include "element_io/QlNavBarIo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "BoxNodeDb.h"
#include "project/QlEProject.h"

namespace NsOvrin::NsQlElemIo {
namespace {

class QlNavBarIoTest : public Testing::BoxNodeDb {
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

TEST(QlNavBarIo, StartsWithoutTargets) {
  const QlNavBarIo io;
  EXPECT_TRUE(io.targetPages.empty());
  ASSERT_NE(io.GetBaseIoDataConst(), nullptr);
  EXPECT_FALSE(io.GetBaseIoDataConst()->enableVisib);
}

TEST_F(QlNavBarIoTest, ChecksEveryTargetAgainstTheProjectsPages) {
  struct Case {
    const char* name;
    std::vector<std::string> pages;
    std::vector<std::string> targets;
    bool visib;
    const char* visibAddress;
    const char* message;  // null: passes
  };
  const Case cases[] = {
      {"no targets", {}, {}, false, "", nullptr},
      {"empty targets lead nowhere and pass", {}, {"", ""}, false, "", nullptr},
      {"an empty target and a listed page", {"P1"}, {"", "P1"}, false, "", nullptr},
      {"the first missing page is named", {"P1"}, {"", "P1", "P9", "P8"}, false, "", "页面'P9'不存在."},
      {"names compare case-sensitively", {"p1"}, {"P1"}, false, "", "页面'P1'不存在."},
      {"a name is filled in as it stands", {"首页"}, {"首页", "100%s 页"}, false, "",
       "页面'100%s 页'不存在."},
      {"a missing page before the visibility", {"P1"}, {"P2"}, true, "", "页面'P2'不存在."},
      {"then the visibility", {"P1"}, {"P1"}, true, "", "控制可见性的地址为空!"},
      {"a bound visibility bit", {"P1"}, {"P1"}, true, "PLC1.0x3", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    QlEProject::Instance().pageNames = c.pages;
    QlNavBarIo io;
    io.targetPages = c.targets;
    SetVisibility(io, c.visib, c.visibAddress);
    io.Bind();
    EXPECT_EQ(io.Check(nullptr), c.message == nullptr);
    EXPECT_EQ(CheckMessage(io), c.message ? c.message : "untouched");
  }
}

TEST_F(QlNavBarIoTest, CloneCopiesTheTargetsAndCountsTheVisibilityBit) {
  QlEProject::Instance().pageNames = {"P1", "P2"};
  auto io = std::make_shared<QlNavBarIo>();
  io->targetPages = {"P1", "", "P2"};
  SetVisibility(*io, true, "PLC1.0x3");
  ASSERT_TRUE(io->Bind());
  ASSERT_EQ(coils_->GetSubscriberCount(), 1u);

  std::shared_ptr<QlNavBarIo> copy = io->Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->targetPages, (std::vector<std::string>{"P1", "", "P2"}));
  EXPECT_EQ(copy->GetVisibAddress(), "PLC1.0x00003");
  EXPECT_EQ(copy->GetVisibTask(), coils_);
  EXPECT_EQ(coils_->GetSubscriberCount(), 2u);
  EXPECT_TRUE(copy->Check(nullptr));

  copy->targetPages[1] = "P3";
  EXPECT_EQ(io->targetPages[1], "");
  EXPECT_EQ(CheckMessage(*copy), "页面'P3'不存在.");
  io.reset();
  EXPECT_EQ(coils_->GetSubscriberCount(), 1u);
}

}  // namespace
}  // namespace NsOvrin::NsQlElemIo
