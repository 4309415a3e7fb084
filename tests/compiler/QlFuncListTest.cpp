// Compiling instruction lists into function objects: what each line
// becomes, what preparing leaves in it, what binding holds, and what
// executing asks of the user interface.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "CompilerFixture.h"
#include "compiler/FuncText.h"
#include "compiler/QlFuncBase.h"
#include "compiler/QlFuncList.h"
#include "compiler/QlFuncUi.h"
#include "project_base/QlUser.h"

namespace NsOvrin::NsQlCompiler {
namespace {

using Testing::CompilerFixture;

class RecordingFuncUi : public QlFuncUi {
 public:
  void PopupScreen(const std::string& pageName) override { calls.push_back("popup " + pageName); }
  void JumpToPage(const std::string& pageName) override { calls.push_back("jump " + pageName); }
  void ShowToast(const std::string& text) override { calls.push_back("toast " + text); }
  void UserLoggedOut() override { calls.push_back("logout " + GetCurrentUser().name); }

  std::vector<std::string> calls;
};

class QlFuncListTest : public CompilerFixture {
 protected:
  void SetUp() override {
    CompilerFixture::SetUp();
    SetFuncUi(&ui_);
  }
  void TearDown() override {
    SetFuncUi(nullptr);
    LogoutUser();
    CompilerFixture::TearDown();
  }

  static std::shared_ptr<QlFuncBase> Compiled(const std::string& line) {
    auto function = CreateFunc(line);
    if (function) function->Prepare();
    return function;
  }

  RecordingFuncUi ui_;
};

TEST_F(QlFuncListTest, CreateFuncPicksTheClassByName) {
  struct Case {
    std::string line;
    const std::type_info* type;
  };
  const Case cases[] = {
      {"弹出画面 \"页面1\"", &typeid(QlPopupScreen)},
      {"页面跳到 x", &typeid(QlJumpToPage)},
      {"rst", &typeid(QlRst)},
      {"Set Y0", &typeid(QlSet)},
      {"\tmov 1 2", &typeid(QlMove)},
      {"退出登录 x", &typeid(QlLogout)},
      {"短消息", &typeid(QlToast)},
      {"  ", &typeid(QlFuncunknown)},
      {"xyz 1", &typeid(QlFuncunknown)},
      {"页面跳到“页面1”", &typeid(QlFuncunknown)},
      {"SETX Y0", &typeid(QlFuncunknown)},
  };
  for (const Case& c : cases) {
    const auto function = CreateFunc(c.line);
    ASSERT_NE(function, nullptr) << c.line;
    EXPECT_EQ(typeid(*function), *c.type) << c.line;
    EXPECT_FALSE(function->IsReady()) << c.line;
    EXPECT_EQ(function->GetError(), "") << c.line;
    EXPECT_EQ(function->GetSourceLine(), c.line) << c.line;
  }
  EXPECT_EQ(CreateFunc(""), nullptr);
  EXPECT_TRUE(dynamic_cast<QlSet&>(*CreateFunc("SET Y0")).IsOn());
  EXPECT_FALSE(dynamic_cast<QlRst&>(*CreateFunc("RST Y0")).IsOn());
}

TEST_F(QlFuncListTest, PreparedObjects) {
  struct Case {
    std::string line;
    bool ready;
    std::string sourceLine;
    std::string error;
  };
  const Case cases[] = {
      {"  ", false, "  ", "未知指令:   "},
      {"xyz 1", false, "xyz 1", "未知指令: xyz 1"},
      {"页面跳到 “页面1”", true, "页面跳到 \"页面1\"", ""},
      {"弹出画面  \"手动页面\" ", true, "弹出画面 \"手动页面\"", ""},
      {"页面跳到 “页面9”", false, "页面跳到 \"页面9\"", "页面 \"页面9\" 不存在."},
      {"页面跳到 页面1", false, "页面跳到 页面1", "格式不正确, 期望为: 页面跳到 \"画面1\""},
      {"短消息 “你好”", true, "短消息 \"你好\"", ""},
      {"短消息 \"\"", false, "短消息 \"\"", "格式不正确, 期望为: 短消息 \"消息1\""},
      {"退出登录 now", true, "退出登录", ""},
      {"set y0 extra", true, "SET PLC1.Y0", ""},
      {"rst PLC1.m3", true, "RST PLC1.M3", ""},
      // A failed SET keeps its line as typed.
      {"set X0", false, "set X0", "地址无写入权限."},
      {"rst", false, "rst", "获取地址异常."},
      // MOV keeps its line as typed, ready or not.
      {"MOV 5 D2", true, "MOV 5 D2", ""},
      {"mov D2 d3 D4", true, "mov D2 d3 D4", ""},
      {"MOV D2 5", false, "MOV D2 5", "5 不能作为输出."},
      {"MOV D2 D2", false, "MOV D2 D2", "源地址和目标地址不能相同."},
      {"MOV Q D2", false, "MOV Q D2", "Q 转换失败."},
  };
  for (const Case& c : cases) {
    const auto function = CreateFunc(c.line);
    ASSERT_NE(function, nullptr) << c.line;
    EXPECT_EQ(function->Prepare(), c.ready) << c.line;
    EXPECT_EQ(function->IsReady(), c.ready) << c.line;
    EXPECT_EQ(function->GetSourceLine(), c.sourceLine) << c.line;
    EXPECT_EQ(function->GetError(), c.error) << c.line;
  }
}

TEST_F(QlFuncListTest, WhatPreparedObjectsHold) {
  const auto jump = Compiled("页面跳到 “ 页面1 ”");
  EXPECT_EQ(dynamic_cast<QlJumpToPage&>(*jump).GetPageName(), "页面1");
  const auto toast = Compiled("短消息 \" 注意 \"");
  EXPECT_EQ(dynamic_cast<QlToast&>(*toast).GetMessage(), " 注意 ");

  const auto set = Compiled("SET Y7");
  const auto& setOnOff = dynamic_cast<QlSetOnOff&>(*set);
  EXPECT_EQ(setOnOff.GetAddress(), "PLC1.Y7");
  EXPECT_EQ(setOnOff.GetIo().writeAddress, "PLC1.Y7");
  EXPECT_TRUE(setOnOff.GetIo().GetWriteNode().SameObject(plc1_->GetHandle()));
  EXPECT_EQ(setOnOff.GetIo().GetReadTask(), nullptr) << "a bit write subscribes nothing";

  const auto failed = Compiled("SET PLC1.Q0");
  EXPECT_EQ(dynamic_cast<QlSetOnOff&>(*failed).GetAddress(), "");

  const auto move = Compiled("MOV D2 D3");
  const auto& mov = dynamic_cast<QlMove&>(*move);
  ASSERT_TRUE(mov.GetSource() && mov.GetTarget());
  EXPECT_EQ(mov.GetSource()->ToString(), "PLC1.D2");
  EXPECT_EQ(mov.GetTarget()->ToString(), "PLC1.D3");
}

TEST_F(QlFuncListTest, ASetOrResetIsJudgedAsTheCheckJudgesItsLine) {
  // Preparing binds the instruction's own button once; its verdict and
  // message must stay those of the line check, and a refused line keeps its
  // text and no address.
  const std::string lines[] = {"SET Y7", "rst  y0", "SET PLC1.Q0", "SET PLC9.Y0", "SET", "RST PLC1.D100"};
  for (const std::string& line : lines) {
    SCOPED_TRACE(line);
    std::string expected;
    const bool passes = CheckSetRst(line, &expected);
    const auto function = Compiled(line);
    const auto& setOnOff = dynamic_cast<QlSetOnOff&>(*function);
    EXPECT_EQ(setOnOff.IsReady(), passes);
    if (passes) {
      EXPECT_EQ(setOnOff.GetSourceLine(), NormalizeSetRst(line));
      EXPECT_FALSE(setOnOff.GetAddress().empty());
    } else {
      EXPECT_EQ(setOnOff.GetError(), expected);
      EXPECT_EQ(setOnOff.GetSourceLine(), line);
      EXPECT_EQ(setOnOff.GetAddress(), "");
    }
  }
}

TEST_F(QlFuncListTest, CompileKeepsEveryObjectAndSkipsEmptyLines) {
  QlFuncList list;
  list.sourceLines = {"SET Y0", "", "xyz", "MOV 5 D2", ""};
  EXPECT_TRUE(list.Compile());
  ASSERT_EQ(list.functions.size(), 3u);
  EXPECT_EQ(list.functions[0]->GetSourceLine(), "SET PLC1.Y0");
  EXPECT_TRUE(list.functions[0]->IsReady());
  EXPECT_EQ(list.functions[1]->GetError(), "未知指令: xyz");
  EXPECT_FALSE(list.functions[1]->IsReady());
  EXPECT_TRUE(list.functions[2]->IsReady());
  EXPECT_EQ(list.sourceLines.size(), 5u) << "the stored lines stay as they are";
  EXPECT_EQ(list.sourceLines[0], "SET Y0");

  list.sourceLines.clear();
  EXPECT_TRUE(list.Compile());
  EXPECT_TRUE(list.functions.empty());
}

TEST_F(QlFuncListTest, AMoveKeepsItsSourceSubscribedOnce) {
  QlFuncList list;
  list.sourceLines = {"MOV D2 D3", "SET M1"};
  list.Compile();
  EXPECT_EQ(words_->GetSubscriberCount(), 1u) << "the source only; the target is written";
  EXPECT_EQ(bits_->GetSubscriberCount(), 0u);
  list.Compile();
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  list.functions[0]->Prepare();
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);

  // A list that no longer holds the line gives the subscription back.
  list.sourceLines = {"MOV 1 D3"};
  list.Compile();
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
  list.sourceLines = {"MOV D4 D3"};
  list.Compile();
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
  list.functions.clear();
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
}

TEST_F(QlFuncListTest, ExecutingReachesTheUserInterface) {
  GetCurrentUser() = QlUser{"管理员", "", kUserAdministrator};
  QlFuncList list;
  list.sourceLines = {"弹出画面 “手动页面”", "页面跳到 \"页面1\"", "短消息 “自动状态, 不允许操作”",
                      "退出登录 now"};
  list.Compile();
  for (const auto& function : list.functions) EXPECT_TRUE(function->Execute());
  EXPECT_EQ(ui_.calls, (std::vector<std::string>{"popup 手动页面", "jump 页面1",
                                                 "toast 自动状态, 不允许操作", "logout 匿名用户"}));
  EXPECT_EQ(GetCurrentUser(), AnonymousUser);

  // Without an interface the results stay.
  SetFuncUi(nullptr);
  GetCurrentUser() = QlUser{"工程师", "", kUserEngineer};
  for (const auto& function : list.functions) EXPECT_TRUE(function->Execute());
  EXPECT_EQ(GetCurrentUser(), AnonymousUser);
  EXPECT_EQ(ui_.calls.size(), 4u);
}

TEST_F(QlFuncListTest, WhatIsNotReadyDoesNothing) {
  GetCurrentUser() = QlUser{"管理员", "", kUserAdministrator};
  // Made but never prepared.
  for (const std::string line : {"退出登录", "页面跳到 \"页面1\"", "短消息 \"x\"", "SET Y0", "MOV 1 D2"})
    EXPECT_FALSE(CreateFunc(line)->Execute()) << line;
  // Prepared and refused.
  for (const std::string line : {"页面跳到 \"页面9\"", "弹出画面 \" \"", "短消息 \"\"", "SET X0",
                                 "MOV D2 5", "xyz"})
    EXPECT_FALSE(Compiled(line)->Execute()) << line;
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_EQ(GetCurrentUser().name, "管理员");
}

TEST_F(QlFuncListTest, APageRemovedAfterCompilingIsStillReadyUntilRecompiled) {
  QlFuncList list;
  list.sourceLines = {"页面跳到 \"手动页面\""};
  list.Compile();
  QlEProject::Instance().pageNames = {"页面1"};
  EXPECT_TRUE(list.functions[0]->Execute());
  list.Compile();
  EXPECT_FALSE(list.functions[0]->IsReady());
  EXPECT_EQ(list.functions[0]->GetError(), "页面 \"手动页面\" 不存在.");
  EXPECT_FALSE(list.functions[0]->Execute());
  EXPECT_EQ(ui_.calls, std::vector<std::string>{"jump 手动页面"});
}

TEST_F(QlFuncListTest, DeviceInstructionsFailWhileTheNodeIsOffline) {
  // PLC1 is not connected: a ready object reports the failed write.
  const auto set = Compiled("SET Y0");
  const auto move = Compiled("MOV 5 D2");
  ASSERT_TRUE(set->IsReady() && move->IsReady());
  EXPECT_FALSE(set->Execute());
  EXPECT_FALSE(move->Execute());
}

}  // namespace
}  // namespace NsOvrin::NsQlCompiler
