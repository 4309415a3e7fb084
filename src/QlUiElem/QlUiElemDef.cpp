#include "QlUiElem/QlUiElemDef.h"

#include <array>
#include <string_view>

#include "common/Log.h"
#include "platform/Format.h"

namespace NsOvrin::NsQlUiElem {
namespace {

using NsPlatform::StrFormat;

struct ElemTypeNames {
  // A view: every page element's type is looked up by it, length first.
  std::string_view name;
  const char* displayName;
};

// Indexed by type code.
constexpr std::array<ElemTypeNames, 15> kElemTypeNames = {{
    {"None", "空"},
    {"Text", "文字"},
    {"Number", "数字框"},
    {"String", "文字框"},
    {"Button", "按钮"},
    {"PageTo", "页面跳转按钮"},
    {"Panel", "面板"},
    {"Picture", "图片"},
    {"NavBar", "导航栏"},
    {"AlarmList", "警报列表"},
    {"MultiStateLabel", "多状态文字"},
    {"AlarmHist", "历史警报"},
    {"BtnLogin", "登录按钮"},
    {"MultFunc", "多功能按钮"},
    {"OVTable", "IO列表"},
}};

bool IsKnownType(QlElemType code) {
  return code >= 0 && static_cast<std::size_t>(code) < kElemTypeNames.size();
}

std::string UnknownTypeText(QlElemType code) {
  const auto bits = static_cast<uint32_t>(code);
  OV_LOG(8).AppendText("导出元件, 遇到异常的类型:").AppendNumber(bits);
  return StrFormat("%u", bits & 0xFFFFu);
}

}  // namespace

std::string ElemTypeToName(QlElemType code) {
  if (!IsKnownType(code)) return UnknownTypeText(code);
  return std::string(kElemTypeNames[static_cast<std::size_t>(code)].name);
}

bool FindElemType(std::string_view name, QlElemType& code) {
  for (std::size_t i = 0; i < kElemTypeNames.size(); ++i) {
    if (name == kElemTypeNames[i].name) {
      code = static_cast<QlElemType>(i);
      return true;
    }
  }
  return false;
}

bool ElemTypeFromName(const std::string& name, QlElemType& code) {
  if (FindElemType(name, code)) return true;
  OV_LOG(8).AppendText("导入元件, 遇到异常的类型:").AppendText(name);
  return false;
}

std::string ElemTypeToDisplayName(QlElemType code) {
  if (!IsKnownType(code)) return UnknownTypeText(code);
  return kElemTypeNames[static_cast<std::size_t>(code)].displayName;
}

std::string GetValueKindName(ValueKind kind) {
  switch (kind) {
    case kValueInt16: return "有符号WORD";
    case kValueUInt16: return "无符号WORD";
    case kValueInt32: return "有符号DWORD";
    case kValueUInt32: return "无符号DWORD";
    default: return "-- ? --";
  }
}

std::string FormatValueOfKind(ValueKind kind, uint32_t raw) {
  switch (kind) {
    case kValueNone: return "0";
    case kValueInt16: return StrFormat("%d", static_cast<int>(static_cast<int16_t>(raw & 0xFFFFu)));
    case kValueUInt16: return StrFormat("%u", raw & 0xFFFFu);
    case kValueInt32: return StrFormat("%d", static_cast<int32_t>(raw));
    case kValueUInt32: return StrFormat("%u", raw);
    default: return "--?--";
  }
}

}  // namespace NsOvrin::NsQlUiElem
