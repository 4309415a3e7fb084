#include "compiler/QlMultFuncBtnIo.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "compiler/QlFuncBase.h"
#include "element_io/BoxNodeDb.h"
#include "project/QlEProject.h"

namespace NsOvrin::NsQlElemIo {
namespace {

using NsQlCompiler::QlFuncBase;

// Two nodes (no bare addresses) and a project with the pages "页面1" and
// "手动页面".
class QlMultFuncBtnIoTest : public Testing::BoxNodeDb {
 protected:
  void SetUp() override {
    BoxNodeDb::SetUp();
    QlEProject::Instance().Reset("");
    QlEProject::Instance().pageNames = {"页面1", "手动页面"};
  }
  void TearDown() override {
    QlEProject::Instance().Reset("");
    BoxNodeDb::TearDown();
  }

  static std::vector<const QlFuncBase*> Objects(const QlMultFuncBtnIo& io) {
    std::vector<const QlFuncBase*> out;
    for (const auto& function : io.funcList.functions) out.push_back(function.get());
    return out;
  }
};

TEST(QlMultFuncBtnIo, StartsWithoutLinesOrFunctions) {
  const QlMultFuncBtnIo io;
  EXPECT_TRUE(io.funcList.sourceLines.empty());
  EXPECT_TRUE(io.funcList.functions.empty());
  ASSERT_NE(io.GetBaseIoDataConst(), nullptr);
  EXPECT_FALSE(io.GetBaseIoDataConst()->enableVisib);
}

TEST_F(QlMultFuncBtnIoTest, BindingCompilesEveryLineWithItsMessage) {
  struct Line {
    std::string source;
    bool ready;
    std::string compiled;
    std::string error;
  };
  const Line lines[] = {
      {"页面跳到 “页面1”", true, "页面跳到 \"页面1\"", ""},
      {"页面跳到 “页面9”", false, "页面跳到 \"页面9\"", "页面 \"页面9\" 不存在."},
      {"页面跳到 页面1", false, "页面跳到 页面1", "格式不正确, 期望为: 页面跳到 \"画面1\""},
      {"弹出画面 \"手动页面\"", true, "弹出画面 \"手动页面\"", ""},
      {"短消息 “你好”", true, "短消息 \"你好\"", ""},
      {"短消息 \"\"", false, "短消息 \"\"", "格式不正确, 期望为: 短消息 \"消息1\""},
      {"退出登录 now", true, "退出登录", ""},
      {"set PLC1.0x5", true, "SET PLC1.0x00005", ""},
      {"rst PLC1.3x1", false, "rst PLC1.3x1", "地址无写入权限."},
      {"SET PLC1.4x1", false, "SET PLC1.4x1", "写地址与数据类型不兼容."},
      {"SET PLC9.0x1", false, "SET PLC9.0x1", "写地址节点不存在."},
      {"RST", false, "RST", "获取地址异常."},
      {"MOV PLC1.4x1 PLC1.4x2", true, "MOV PLC1.4x1 PLC1.4x2", ""},
      {"MOV PLC1.4x1 PLC1.4x1", false, "MOV PLC1.4x1 PLC1.4x1", "源地址和目标地址不能相同."},
      {"xyz 1", false, "xyz 1", "未知指令: xyz 1"},
      {"  ", false, "  ", "未知指令:   "},
  };
  QlMultFuncBtnIo io;
  for (const Line& line : lines) io.funcList.sourceLines.push_back(line.source);
  // An emptied row of the instruction table gives no object.
  io.funcList.sourceLines.insert(io.funcList.sourceLines.begin() + 2, "");

  EXPECT_TRUE(io.Bind()) << "lines in error still bind";
  EXPECT_TRUE(io.Check(nullptr)) << "the lines' errors are not this check's";
  ASSERT_EQ(io.funcList.functions.size(), std::size(lines));
  for (std::size_t i = 0; i < std::size(lines); ++i) {
    const Line& line = lines[i];
    SCOPED_TRACE(line.source);
    const auto& function = io.funcList.functions[i];
    ASSERT_NE(function, nullptr);
    EXPECT_EQ(function->IsReady(), line.ready);
    EXPECT_EQ(function->GetSourceLine(), line.compiled);
    EXPECT_EQ(function->GetError(), line.error);
  }
  // The stored lines stay as typed.
  EXPECT_EQ(io.funcList.sourceLines.front(), "页面跳到 “页面1”");
  // Both MOV objects bound their source before judging the operands: each
  // keeps the block polled.
  EXPECT_EQ(words_->GetSubscriberCount(), 2u);
}

TEST_F(QlMultFuncBtnIoTest, TheBindResultAndTheCheckAreTheVisibilitys) {
  struct Case {
    bool visib;
    const char* visibAddress;
    bool bound;
    const char* message;  // null: passes
  };
  const Case cases[] = {
      {false, "", true, nullptr},
      {true, "PLC1.0x3", true, nullptr},
      {true, " ", false, "控制可见性的地址为空!"},
      {true, "PLC1.0x500", false, "控制可见性的地址异常或者不在数据列表中."},
      {true, "PLC9.0x1", false, "控制可见性的地址异常."},
      {true, "PLC1.4x1", true, "控制可见性的地址不是点类型数据."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.visibAddress);
    QlMultFuncBtnIo io;
    io.funcList.sourceLines = {"xyz", "页面跳到 “页面9”"};
    SetVisibility(io, c.visib, c.visibAddress);
    EXPECT_EQ(io.Bind(), c.bound);
    EXPECT_EQ(io.funcList.functions.size(), 2u) << "compiled whatever the visibility";
    EXPECT_EQ(io.Check(nullptr), c.message == nullptr);
    EXPECT_EQ(CheckMessage(io), c.message ? c.message : "untouched");
  }
}

TEST_F(QlMultFuncBtnIoTest, BindingAgainCompilesAfresh) {
  QlMultFuncBtnIo io;
  io.funcList.sourceLines = {"MOV PLC1.4x1 PLC1.4x2", "页面跳到 “页面2”"};
  ASSERT_TRUE(io.Bind());
  const std::vector<const QlFuncBase*> first = Objects(io);
  ASSERT_EQ(first.size(), 2u);
  EXPECT_FALSE(io.funcList.functions[1]->IsReady());
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);

  // The project gained the page: the next bind sees it.
  QlEProject::Instance().pageNames.push_back("页面2");
  ASSERT_TRUE(io.Bind());
  ASSERT_EQ(io.funcList.functions.size(), 2u);
  EXPECT_TRUE(io.funcList.functions[1]->IsReady());
  EXPECT_EQ(words_->GetSubscriberCount(), 1u) << "the old objects let their block go";

  io.funcList.sourceLines.clear();
  ASSERT_TRUE(io.Bind());
  EXPECT_TRUE(io.funcList.functions.empty());
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
}

TEST_F(QlMultFuncBtnIoTest, CloneSharesTheCompiledObjectsUntilItIsBound) {
  auto io = std::make_shared<QlMultFuncBtnIo>();
  io->funcList.sourceLines = {"MOV PLC1.4x1 PLC1.4x2", "SET PLC1.0x5"};
  SetVisibility(*io, true, "PLC1.0x3");
  io->GetBaseIoData()->showWhenTrue = true;
  ASSERT_TRUE(io->Bind());
  const std::vector<const QlFuncBase*> original = Objects(*io);
  ASSERT_EQ(words_->GetSubscriberCount(), 1u);
  ASSERT_EQ(coils_->GetSubscriberCount(), 1u);

  std::shared_ptr<QlMultFuncBtnIo> copy = io->Clone();
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->funcList.sourceLines, io->funcList.sourceLines);
  EXPECT_EQ(Objects(*copy), original) << "the same objects";
  EXPECT_TRUE(copy->GetBaseIoDataConst()->enableVisib);
  EXPECT_TRUE(copy->GetBaseIoDataConst()->showWhenTrue);
  EXPECT_EQ(copy->GetVisibAddress(), "PLC1.0x00003");
  EXPECT_EQ(copy->GetVisibTask(), coils_);
  EXPECT_EQ(coils_->GetSubscriberCount(), 2u);
  EXPECT_EQ(words_->GetSubscriberCount(), 1u) << "shared objects hold one subscription";

  // Deleting the first element keeps the shared objects alive for the copy.
  io.reset();
  ASSERT_EQ(copy->funcList.functions.size(), 2u);
  EXPECT_TRUE(copy->funcList.functions[0]->IsReady());
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  EXPECT_EQ(coils_->GetSubscriberCount(), 1u);

  ASSERT_TRUE(copy->Bind());
  const std::vector<const QlFuncBase*> own = Objects(*copy);
  ASSERT_EQ(own.size(), 2u);
  EXPECT_TRUE(copy->funcList.functions[0]->IsReady());
  EXPECT_TRUE(copy->funcList.functions[1]->IsReady());
  EXPECT_EQ(copy->funcList.functions[1]->GetSourceLine(), "SET PLC1.0x00005");
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  copy.reset();
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
  EXPECT_EQ(coils_->GetSubscriberCount(), 0u);
}

}  // namespace
}  // namespace NsOvrin::NsQlElemIo
