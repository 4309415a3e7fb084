#include "QlUiElem/QlUiElemDef.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "termination/LogCapture.h"

using namespace NsOvrin::NsQlUiElem;
using NsOvrin::NsTermination::Testing::LogCapture;

namespace {

struct TypeRow {
  QlElemType code;
  const char* name;
  const char* displayName;
};

const TypeRow kTypes[] = {
    {kElemNone, "None", "空"},
    {kElemText, "Text", "文字"},
    {kElemNumber, "Number", "数字框"},
    {kElemString, "String", "文字框"},
    {kElemButton, "Button", "按钮"},
    {kElemPageTo, "PageTo", "页面跳转按钮"},
    {kElemPanel, "Panel", "面板"},
    {kElemPicture, "Picture", "图片"},
    {kElemNavBar, "NavBar", "导航栏"},
    {kElemAlarmList, "AlarmList", "警报列表"},
    {kElemMultiStateLabel, "MultiStateLabel", "多状态文字"},
    {kElemAlarmHist, "AlarmHist", "历史警报"},
    {kElemBtnLogin, "BtnLogin", "登录按钮"},
    {kElemMultFunc, "MultFunc", "多功能按钮"},
    {kElemOVTable, "OVTable", "IO列表"},
};

}  // namespace

TEST(ElemType, EveryCodeHasItsNamesAndComesBackFromItsName) {
  LogCapture errors(8);
  QlElemType expectedCode = 0;
  for (const TypeRow& row : kTypes) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(row.code, expectedCode++) << "the codes run 0-14 in table order";
    EXPECT_EQ(ElemTypeToName(row.code), row.name);
    EXPECT_EQ(ElemTypeToDisplayName(row.code), row.displayName);
    QlElemType code = -7;
    EXPECT_TRUE(ElemTypeFromName(row.name, code));
    EXPECT_EQ(code, row.code);
  }
  EXPECT_TRUE(errors.Texts().empty());
}

TEST(ElemType, UnknownCodesAreLoggedAndGiveTheDecimalOfTheirLowHalf) {
  struct Case {
    QlElemType code;
    const char* text;
    const char* logged;
  };
  const Case cases[] = {
      {15, "15", "导出元件, 遇到异常的类型:15"},
      {65540, "4", "导出元件, 遇到异常的类型:65540"},
      {-1, "65535", "导出元件, 遇到异常的类型:4294967295"},
      {0x7FFF0000, "0", "导出元件, 遇到异常的类型:2147418112"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.code);
    {
      LogCapture errors(8);
      EXPECT_EQ(ElemTypeToName(c.code), c.text);
      EXPECT_EQ(errors.Texts(), std::vector<std::string>{c.logged});
    }
    {
      LogCapture errors(8);
      EXPECT_EQ(ElemTypeToDisplayName(c.code), c.text);
      EXPECT_EQ(errors.Texts(), std::vector<std::string>{c.logged});
    }
  }
}

TEST(ElemType, NamesMatchExactlyOrAreLoggedAndRefused) {
  const char* const refused[] = {"button", "BUTTON", " Button", "Button ", "", "按钮", "Ovtable",
                                 "OVTable\n"};
  for (const char* name : refused) {
    SCOPED_TRACE(name);
    LogCapture errors(8);
    QlElemType code = 99;
    EXPECT_FALSE(ElemTypeFromName(name, code));
    EXPECT_EQ(code, 99) << "the out value is left untouched";
    EXPECT_EQ(errors.Texts(), std::vector<std::string>{std::string("导入元件, 遇到异常的类型:") + name});
  }
}

TEST(ValueKind, Names) {
  struct Case {
    ValueKind kind;
    const char* name;
  };
  const Case cases[] = {
      {kValueInt16, "有符号WORD"}, {kValueUInt16, "无符号WORD"}, {kValueInt32, "有符号DWORD"},
      {kValueUInt32, "无符号DWORD"}, {kValueNone, "-- ? --"},    {5, "-- ? --"},
      {-1, "-- ? --"},
  };
  for (const Case& c : cases) EXPECT_EQ(GetValueKindName(c.kind), c.name) << c.kind;
}

TEST(ValueKind, FormatValueOfKind) {
  struct Case {
    ValueKind kind;
    uint32_t raw;
    const char* text;
  };
  const Case cases[] = {
      {kValueNone, 0, "0"},
      {kValueNone, 12345, "0"},
      {kValueInt16, 65535, "-1"},
      {kValueInt16, 0x00018000, "-32768"},  // only the low half counts
      {kValueInt16, 32767, "32767"},
      {kValueUInt16, 65537, "1"},
      {kValueUInt16, 0xFFFF0000 | 65535, "65535"},
      {kValueInt32, 0xFFFFFFFF, "-1"},
      {kValueInt32, 0x80000000, "-2147483648"},
      {kValueInt32, 70000, "70000"},
      {kValueUInt32, static_cast<uint32_t>(-1), "4294967295"},
      {kValueUInt32, 0x80000000, "2147483648"},
      {7, 5, "--?--"},
      {-1, 5, "--?--"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FormatValueOfKind(c.kind, c.raw), c.text) << "kind " << c.kind << " raw " << c.raw;
  }
}
