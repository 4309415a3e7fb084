// Instruction lines: tokens, canonical texts and the checks with their
// messages, against the project's pages and the node database.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CompilerFixture.h"
#include "common/Regex.h"
#include "compiler/FuncText.h"
#include "compiler/QlCmData.h"
#include "compiler/QlCmTermAddr.h"

namespace NsOvrin::NsQlCompiler {
namespace {

using Testing::CompilerFixture;

TEST(NextFuncTokenTest, SplitsOnlyAtBlanksAndTabs) {
  struct Case {
    std::string line;
    std::vector<std::string> tokens;
  };
  const Case cases[] = {
      {"", {}},
      {" \t  ", {}},
      {"SET Y0", {"SET", "Y0"}},
      {"\t MOV\t\t1  D0 ", {"MOV", "1", "D0"}},
      // Other white space belongs to a token.
      {"a\rb\nc", {"a\rb\nc"}},
      {"页面跳到　“页面1”", {"页面跳到　“页面1”"}},
      {"页面跳到 “页 面1”", {"页面跳到", "“页", "面1”"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> tokens;
    std::string token;
    std::size_t pos = 0;
    while (NextFuncToken(c.line, token, pos)) {
      tokens.push_back(token);
      // The position rests on the separator after the token, or the end.
      ASSERT_TRUE(pos == c.line.size() || c.line[pos] == ' ' || c.line[pos] == '\t') << c.line;
    }
    EXPECT_EQ(tokens, c.tokens) << c.line;
    EXPECT_EQ(pos, c.line.size()) << c.line;
  }
}

TEST(NextFuncTokenTest, PositionPastTheEndGivesNothing) {
  std::string token = "kept";
  std::size_t pos = 10;
  EXPECT_FALSE(NextFuncToken("SET", token, pos));
  EXPECT_EQ(token, "kept");
  EXPECT_EQ(pos, 10u);
}

TEST(UpperFuncNameTest, OnlyLatinLettersChange) {
  EXPECT_EQ(UpperFuncName("set"), "SET");
  EXPECT_EQ(UpperFuncName("mOv1"), "MOV1");
  EXPECT_EQ(UpperFuncName("退出登录ａ"), "退出登录ａ");
}

class FuncTextTest : public CompilerFixture {};

TEST_F(FuncTextTest, CanonicalTexts) {
  struct Case {
    std::string line;
    std::string canonical;
  };
  const Case cases[] = {
      // No instruction: unchanged.
      {"", ""},
      {" \t ", " \t "},
      {"跳转 \"页面1\"", "跳转 \"页面1\""},
      {"页面跳到“页面1”", "页面跳到“页面1”"},
      // Quoted forms, ASCII and full-width quotes, blanks inside kept.
      {"页面跳到  “ 页面1 ”", "页面跳到 \" 页面1 \""},
      {"  页面跳到\t\"页面1\"  ", "页面跳到 \"页面1\""},
      {"弹出画面 “手动页面\"", "弹出画面 \"手动页面\""},
      {"短消息 “自动状态, 不允许操作”", "短消息 \"自动状态, 不允许操作\""},
      {"短消息 \"  \"", "短消息 \"  \""},
      // Not the quoted form: unchanged.
      {"页面跳到 页面1", "页面跳到 页面1"},
      {"页面跳到 ＂页面1＂", "页面跳到 ＂页面1＂"},
      {"短消息 \"\"", "短消息 \"\""},
      {"弹出画面 \"a\" b", "弹出画面 \"a\" b"},
      // SET and RST: upper-cased name, canonical address, rest dropped.
      {"set y0", "SET PLC1.Y0"},
      {"Set Y0", "SET PLC1.Y0"},
      {"SET Y0 extra", "SET PLC1.Y0"},
      {"rst\tPLC1.m7", "RST PLC1.M7"},
      {"SET NoSuch.Y0", "SET NoSuch.Y0"},
      {"SET plc1.Y0", "SET plc1.Y0"},
      {"SET", "SET"},
      // MOV: literals in decimal, addresses canonical, fourth token dropped.
      {"MOV 5 D2", "MOV 5 PLC1.D2"},
      {"mov +5 d2", "MOV 5 PLC1.D2"},
      {"MOV -05 D2", "MOV -5 PLC1.D2"},
      {"MOV -0 D2", "MOV 0 PLC1.D2"},
      {"MOV 99999999999 D2", "MOV 2147483647 PLC1.D2"},
      {"MOV D2 D3 D4", "MOV PLC1.D2 PLC1.D3"},
      {"MOV PLC1.D100 X1", "MOV PLC1.D100 PLC1.X1"},
      {"MOV 1.5 D2", "MOV 1.5 D2"},
      {"MOV 1", "MOV 1"},
      // 退出登录: the name alone.
      {"退出登录 now", "退出登录"},
      {"  退出登录\t", "退出登录"},
  };
  for (const Case& c : cases) EXPECT_EQ(NormalizeFuncText(c.line), c.canonical) << c.line;
}

TEST_F(FuncTextTest, ChecksAndTheirMessages) {
  struct Case {
    std::string line;
    bool valid;
    std::string message;
  };
  const Case cases[] = {
      {"", false, "查询函数名失败."},
      {" \t ", false, "查询函数名失败."},
      {"跳转 \"页面1\"", false, "未知的函数名 跳转."},
      {"xyz 1", false, "未知的函数名 XYZ."},
      {"页面跳到“页面1”", false, "未知的函数名 页面跳到“页面1”."},
      {"页面跳到　“页面1”", false, "未知的函数名 页面跳到　“页面1”."},
      // Page forms.
      {"页面跳到 \"页面1\"", true, ""},
      {"页面跳到  “ 页面1 ”", true, ""},
      {"弹出画面 “手动页面”", true, ""},
      {"页面跳到 页面1", false, "格式不正确, 期望为: 页面跳到 \"画面1\""},
      {"页面跳到 ＂页面1＂", false, "格式不正确, 期望为: 页面跳到 \"画面1\""},
      {"页面跳到 \"\"", false, "格式不正确, 期望为: 页面跳到 \"画面1\""},
      {"弹出画面 页面1", false, "格式不正确, 期望为: 弹出画面 \"画面1\""},
      {"页面跳到 \" \"", false, "页面不能为空!"},
      {"页面跳到 \"\t\"", false, "页面不能为空!"},
      {"弹出画面 \" \"", false, "页面 \"\" 不存在."},
      {"页面跳到 \"页面9\"", false, "页面 \"页面9\" 不存在."},
      {"弹出画面 \"手动页面 \"", true, ""},
      {"页面跳到 \"PAGE1\"", false, "页面 \"PAGE1\" 不存在."},
      // Short messages.
      {"短消息 \"消息\"", true, ""},
      {"短消息 \"  \"", true, ""},
      {"短消息 \"\"", false, "格式不正确, 期望为: 短消息 \"消息1\""},
      {"短消息 消息", false, "格式不正确, 期望为: 短消息 \"消息1\""},
      // SET and RST: the write-address checks of a set-OFF button.
      {"set y0", true, ""},
      {"RST PLC1.Y17", true, ""},
      {"SET Y0 extra", true, ""},
      {"SET", false, "获取地址异常."},
      {"SET NoSuch.Y0", false, "写地址节点不存在."},
      {"SET PLC1.Q0", false, "写地址异常."},
      {"SET PLC1.Y8", false, "写地址异常."},
      {"SET X0", false, "地址无写入权限."},
      {"RST D0", false, "写地址与数据类型不兼容."},
      // MOV.
      {"MOV 5 D2", true, ""},
      {"MOV D2 D3", true, ""},
      {"MOV -3 D100", true, ""},
      {"MOV", false, "获取源地址异常."},
      {"MOV D2", false, "获取目标地址异常."},
      {"MOV 1.5 D2", false, "1.5 转换失败."},
      {"MOV D2 0x10", false, "0x10 转换失败."},
      {"MOV １２ D2", false, "１２ 转换失败."},
      {"MOV 5 5", false, "源地址和目标地址不能相同."},
      {"MOV 5 +5", false, "源地址和目标地址不能相同."},
      {"MOV D2 PLC1.d2", false, "源地址和目标地址不能相同."},
      {"MOV D2 5", false, "5 不能作为输出."},
      {"MOV 5 -3", false, "-3 不能作为输出."},
      {"MOV D100 D2", false, "地址 PLC1.D100 不在预定义的数据块中."},
      {"MOV M0 D2", false, "PLC1.M0 不支持 无符号 WORD(16bits) 操作."},
      {"MOV D2 Y0", false, "PLC1.Y0 不支持 无符号 WORD(16bits) 操作."},
      {"MOV D2 D3 D4", true, ""},
      // 退出登录.
      {"退出登录", true, ""},
      {"退出登录 \t ", true, ""},
      {"退出登录 now", false, "指令后不能有其它参数."},
  };
  for (const Case& c : cases) {
    std::string message = "untouched";
    EXPECT_EQ(CheckFuncText(c.line, &message), c.valid) << c.line;
    EXPECT_EQ(message, c.valid ? "untouched" : c.message) << c.line;
    EXPECT_EQ(CheckFuncText(c.line, nullptr), c.valid) << c.line;
  }
}

TEST_F(FuncTextTest, ANormalisedLineIsJudgedLikeTheTypedOne) {
  // What the instruction table stores must pass the check the typed line
  // passed.
  for (const std::string line : {"set y0", "mov +5 d2", "页面跳到  “ 页面1 ”", "退出登录\t",
                                 "短消息 “ok”", "MOV D2 D3 D4"}) {
    ASSERT_TRUE(CheckFuncText(line, nullptr)) << line;
    EXPECT_TRUE(CheckFuncText(NormalizeFuncText(line), nullptr)) << line;
  }
  // Logout: refused as typed, but its canonical text passes.
  EXPECT_FALSE(CheckFuncText("退出登录 now", nullptr));
  EXPECT_TRUE(CheckFuncText(NormalizeFuncText("退出登录 now"), nullptr));
}

TEST_F(FuncTextTest, BareAddressesNeedASoleNode) {
  AddSecondNode();
  EXPECT_EQ(NormalizeFuncText("SET Y0"), "SET Y0");
  EXPECT_EQ(NormalizeFuncText("SET PLC2.0x3"), "SET PLC2.0x00003");
  EXPECT_EQ(NormalizeFuncText("MOV 1 PLC2.4x7"), "MOV 1 PLC2.4x00007");
  std::string message;
  EXPECT_FALSE(CheckFuncText("SET Y0", &message));
  EXPECT_EQ(message, "写地址节点不存在.");
  EXPECT_FALSE(CheckFuncText("MOV 1 D2", &message));
  EXPECT_EQ(message, "D2 转换失败.");
  EXPECT_TRUE(CheckFuncText("SET PLC2.0x3", &message));
  // 1x is read-only.
  EXPECT_FALSE(CheckFuncText("SET PLC2.1x3", &message));
  EXPECT_EQ(message, "地址无写入权限.");
}

TEST_F(FuncTextTest, PageChecksGiveThePageName) {
  struct Case {
    std::string line;
    bool popup;
    std::string pageName;
  };
  const Case cases[] = {
      {"页面跳到 “ 页面1\t”", false, "页面1"},
      {"弹出画面 \"手动页面\"", true, "手动页面"},
      {"弹出画面 \"   \"", true, ""},
      {"页面跳到 \"不存在\"", false, "不存在"},
  };
  for (const Case& c : cases) {
    std::string name = "old";
    if (c.popup)
      CheckPopupScreen(c.line, name, nullptr);
    else
      CheckJumpToPage(c.line, name, nullptr);
    EXPECT_EQ(name, c.pageName) << c.line;
  }
  std::string text;
  ASSERT_TRUE(CheckToast("短消息 “ 两边 ”", text, nullptr));
  EXPECT_EQ(text, " 两边 ");
}

// The page name is the quoted text less the white space around it, as the
// pattern ^\s*([\s\S]*?)\s*$ takes it: on every short text of blanks,
// line ends, other spaces and letters, and on long runs of white space.
TEST_F(FuncTextTest, PageNamesAreTrimmedAsTheTrimPatternTakesThem) {
  const std::vector<std::string> chars = {" ", "\t", "\n", "\v", "\u3000", "\u00a0", "a", "页"};
  std::vector<std::string> quoted = {""};
  std::size_t from = 0;
  for (int length = 1; length <= 5; ++length) {
    const std::size_t to = quoted.size();
    for (std::size_t i = from; i < to; ++i)
      for (const std::string& c : chars) quoted.push_back(quoted[i] + c);
    from = to;
  }
  for (const std::string& q : quoted) {
    RegexQuery trim;
    trim.subject = q;
    ASSERT_TRUE(RegexSearch(R"(^\s*([\s\S]*?)\s*$)", trim)) << q;
    std::string name = "old";
    // Empty quotes do not have the form and give no name.
    CheckPopupScreen("弹出画面 \"" + q + "\"", name, nullptr);
    EXPECT_EQ(name, q.empty() ? "old" : trim.Group(1)) << q;
  }
  // Long runs of white space, where a search would backtrack.
  const std::string blanks(40000, ' ');
  const struct {
    std::string quoted, name;
  } longCases[] = {
      {" a" + blanks + "b\n", "a" + blanks + "b"},
      {blanks + "页" + blanks + "面" + blanks, "页" + blanks + "面"},
      {"\t" + blanks + "\n", ""},
  };
  for (const auto& c : longCases) {
    std::string name = "old";
    CheckPopupScreen("弹出画面 \"" + c.quoted + "\"", name, nullptr);
    EXPECT_TRUE(name == c.name) << c.quoted.substr(0, 20);
  }
  std::string name;
  std::string message;
  EXPECT_FALSE(CheckJumpToPage("页面跳到 \" a" + blanks + "b \"", name, &message));
  EXPECT_TRUE(message == "页面 \"a" + blanks + "b\" 不存在.");
}

TEST_F(FuncTextTest, ChecksOfLinesWithoutAToken) {
  std::string name = "old";
  std::string address = "old";
  std::string message;
  EXPECT_FALSE(CheckSetRstAddress(" ", name, address, &message));
  EXPECT_EQ(message, "获取函数名称异常.");
  EXPECT_FALSE(CheckSetRstAddress("rst", name, address, &message));
  EXPECT_EQ(message, "获取地址异常.");
  EXPECT_EQ(name, "RST");
  // An address that does not resolve is judged as written.
  EXPECT_FALSE(CheckSetRstAddress("rst plc1.y0 x", name, address, &message));
  EXPECT_EQ(address, "plc1.y0");
  ASSERT_TRUE(CheckSetRstAddress("set y1 x", name, address, &message));
  EXPECT_EQ(name, "SET");
  EXPECT_EQ(address, "PLC1.Y1");

  std::shared_ptr<QlCmData> source, target;
  EXPECT_FALSE(ParseMoveOperands("", source, target, &message));
  EXPECT_EQ(message, "获取函数名称异常.");

  EXPECT_FALSE(CheckLogout(" \t", &message));
  EXPECT_EQ(message, "指令格式异常");
  EXPECT_EQ(NormalizeLogout(" \t"), " \t");
}

TEST_F(FuncTextTest, MoveOperandsAreBothSetOrBothEmpty) {
  std::shared_ptr<QlCmData> source, target;
  ASSERT_TRUE(ParseMoveOperands("MOV D2 +7", source, target, nullptr));
  ASSERT_TRUE(source && target);
  EXPECT_NE(dynamic_cast<QlCmTermAddr*>(source.get()), nullptr);
  EXPECT_NE(dynamic_cast<QlCmUInt*>(target.get()), nullptr);
  EXPECT_EQ(target->value, 7);

  // A failing target leaves no source behind either.
  EXPECT_FALSE(ParseMoveOperands("MOV D2 Q", source, target, nullptr));
  EXPECT_EQ(source, nullptr);
  EXPECT_EQ(target, nullptr);

  std::string message;
  EXPECT_FALSE(CheckMoveOperands(nullptr, nullptr, &message));
  EXPECT_EQ(message, "系统错误, 源操作数为空.");
  ASSERT_TRUE(ParseIntOperand("1", source));
  EXPECT_FALSE(CheckMoveOperands(source, nullptr, &message));
  EXPECT_EQ(message, "系统错误, 目标操作数为空.");
}

TEST_F(FuncTextTest, ChecksHoldNoSubscriptionAfterwards) {
  ASSERT_TRUE(CheckFuncText("MOV D2 D3", nullptr));
  ASSERT_TRUE(CheckFuncText("SET M3", nullptr));
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
  EXPECT_EQ(bits_->GetSubscriberCount(), 0u);
  EXPECT_EQ(NormalizeFuncText("MOV D2 D3"), "MOV PLC1.D2 PLC1.D3");
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
}

}  // namespace
}  // namespace NsOvrin::NsQlCompiler
