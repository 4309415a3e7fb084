#include "compiler/FuncText.h"

#include <algorithm>

#include "common/Regex.h"
#include "compiler/QlCmTermAddr.h"
#include "element_io/QlButtonIo.h"
#include "platform/Format.h"
#include "project_base/PageNameList.h"
#include "termination/ChannelManager.h"

namespace NsOvrin::NsQlCompiler {
namespace {

using NsPlatform::StrFormat;

// Opening quote '"' or '“', closing '"' or '”'.
constexpr const char* kPopupPattern = R"(^\s*弹出画面\s+["“]([^"”]+)["”]\s*$)";
constexpr const char* kJumpPattern = R"(^\s*页面跳到\s+["“]([^"”]+)["”]\s*$)";
constexpr const char* kToastPattern = R"(^\s*短消息\s+["“]([^"”]+)["”]\s*$)";

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool Refuse(std::string* message, std::string text) {
  if (message != nullptr) *message = std::move(text);
  return false;
}

// Group 1 of a quoted form; false when the line does not have the form.
bool MatchQuoted(const char* pattern, const std::string& line, std::string& quoted) {
  RegexQuery query;
  query.subject = line;
  if (!RegexSearch(pattern, query)) return false;
  quoted = query.Group(1);
  return true;
}

std::string NormalizeQuoted(const char* pattern, const char* name, const std::string& line) {
  std::string quoted;
  if (!MatchQuoted(pattern, line, quoted)) return line;
  return StrFormat("%s \"%s\"", name, quoted.c_str());
}

// The white space of the patterns: tab, line feed, vertical tab, form
// feed, carriage return and blank.
bool IsPatternSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Trimmed of the white space the quoted forms skip around the quotes: what
// ^\s*([\s\S]*?)\s*$ takes as group 1, without the search, which
// backtracks over long runs of white space inside the text.
std::string TrimWhiteSpace(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsPatternSpace(text[begin])) ++begin;
  while (end > begin && IsPatternSpace(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

bool IsProjectPage(const std::string& name) {
  const auto& names = GetPageNameList();
  return std::find(names.begin(), names.end(), name) != names.end();
}

bool CheckPageForm(const char* pattern, const char* formatMessage, bool refuseEmpty,
                   const std::string& line, std::string& pageName, std::string* message) {
  std::string quoted;
  if (!MatchQuoted(pattern, line, quoted)) return Refuse(message, formatMessage);
  pageName = TrimWhiteSpace(quoted);
  if (refuseEmpty && pageName.empty()) return Refuse(message, "页面不能为空!");
  if (IsProjectPage(pageName)) return true;
  return Refuse(message, StrFormat("页面 \"%s\" 不存在.", pageName.c_str()));
}

// An integer literal first, then a device address.
bool ParseOperand(const std::string& token, std::shared_ptr<QlCmData>& operand) {
  return ParseIntOperand(token, operand) || ParseAddrOperand(token, operand);
}

}  // namespace

bool NextFuncToken(const std::string& line, std::string& token, std::size_t& pos) {
  if (pos >= line.size()) return false;
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos >= line.size()) return false;
  const std::size_t begin = pos;
  while (pos < line.size() && !IsBlank(line[pos])) ++pos;
  token = line.substr(begin, pos - begin);
  return true;
}

std::string UpperFuncName(const std::string& token) {
  std::string name = token;
  for (char& c : name)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return name;
}

std::string NormalizeFuncText(const std::string& line) {
  std::string token;
  std::size_t pos = 0;
  if (!NextFuncToken(line, token, pos)) return line;
  const std::string name = UpperFuncName(token);
  if (name == kFuncPopupScreen) return NormalizePopupScreen(line);
  if (name == kFuncJumpToPage) return NormalizeJumpToPage(line);
  if (name == kFuncRst || name == kFuncSet) return NormalizeSetRst(line);
  if (name == kFuncMove) return NormalizeMove(line);
  if (name == kFuncLogout) return NormalizeLogout(line);
  if (name == kFuncToast) return NormalizeToast(line);
  return line;
}

bool CheckFuncText(const std::string& line, std::string* message) {
  std::string token;
  std::size_t pos = 0;
  if (!NextFuncToken(line, token, pos)) return Refuse(message, "查询函数名失败.");
  const std::string name = UpperFuncName(token);
  std::string scratch;
  if (name == kFuncPopupScreen) return CheckPopupScreen(line, scratch, message);
  if (name == kFuncJumpToPage) return CheckJumpToPage(line, scratch, message);
  if (name == kFuncRst || name == kFuncSet) return CheckSetRst(line, message);
  if (name == kFuncMove) return CheckMove(line, message);
  if (name == kFuncLogout) return CheckLogout(line, message);
  if (name == kFuncToast) return CheckToast(line, scratch, message);
  return Refuse(message, StrFormat("未知的函数名 %s.", name.c_str()));
}

std::string NormalizePopupScreen(const std::string& line) {
  return NormalizeQuoted(kPopupPattern, kFuncPopupScreen, line);
}

std::string NormalizeJumpToPage(const std::string& line) {
  return NormalizeQuoted(kJumpPattern, kFuncJumpToPage, line);
}

std::string NormalizeToast(const std::string& line) {
  return NormalizeQuoted(kToastPattern, kFuncToast, line);
}

bool CheckPopupScreen(const std::string& line, std::string& pageName, std::string* message) {
  // A name of blanks only is left to the page lookup.
  return CheckPageForm(kPopupPattern, "格式不正确, 期望为: 弹出画面 \"画面1\"", false, line,
                       pageName, message);
}

bool CheckJumpToPage(const std::string& line, std::string& pageName, std::string* message) {
  return CheckPageForm(kJumpPattern, "格式不正确, 期望为: 页面跳到 \"画面1\"", true, line,
                       pageName, message);
}

bool CheckToast(const std::string& line, std::string& text, std::string* message) {
  if (!MatchQuoted(kToastPattern, line, text))
    return Refuse(message, "格式不正确, 期望为: 短消息 \"消息1\"");
  return true;
}

bool ParseSetRstLine(const std::string& line, std::string& name, std::string& address, std::string* message) {
  std::string token;
  std::size_t pos = 0;
  if (!NextFuncToken(line, token, pos)) return Refuse(message, "获取函数名称异常.");
  name = UpperFuncName(token);
  if (!NextFuncToken(line, token, pos)) return Refuse(message, "获取地址异常.");
  address = NsTermination::NormalizeDeviceAddress(token);
  return true;
}

bool CheckSetRstAddress(const std::string& line, std::string& name, std::string& address,
                        std::string* message) {
  if (!ParseSetRstLine(line, name, address, message)) return false;
  // Judged exactly as a set-OFF button writing the address; the binding
  // ends with the check.
  const auto io = NsQlElemIo::QlButtonIo::QlButtonIoWithAddresses("", address);
  io->Bind();
  return io->Check(message);
}

bool CheckSetRst(const std::string& line, std::string* message) {
  std::string name;
  std::string address;
  return CheckSetRstAddress(line, name, address, message);
}

std::string NormalizeSetRst(const std::string& line) {
  std::string name;
  std::string address;
  std::size_t pos = 0;
  if (!NextFuncToken(line, name, pos) || !NextFuncToken(line, address, pos)) return line;
  return StrFormat("%s %s", UpperFuncName(name).c_str(),
                   NsTermination::NormalizeDeviceAddress(address).c_str());
}

bool ParseMoveOperands(const std::string& line, std::shared_ptr<QlCmData>& source,
                       std::shared_ptr<QlCmData>& target, std::string* message) {
  source.reset();
  target.reset();
  std::string name;
  std::string sourceText;
  std::string targetText;
  std::size_t pos = 0;
  if (!NextFuncToken(line, name, pos)) return Refuse(message, "获取函数名称异常.");
  if (!NextFuncToken(line, sourceText, pos)) return Refuse(message, "获取源地址异常.");
  if (!NextFuncToken(line, targetText, pos)) return Refuse(message, "获取目标地址异常.");
  std::shared_ptr<QlCmData> parsedSource;
  std::shared_ptr<QlCmData> parsedTarget;
  if (!ParseOperand(sourceText, parsedSource))
    return Refuse(message, StrFormat("%s 转换失败.", sourceText.c_str()));
  if (!ParseOperand(targetText, parsedTarget))
    return Refuse(message, StrFormat("%s 转换失败.", targetText.c_str()));
  source = std::move(parsedSource);
  target = std::move(parsedTarget);
  return true;
}

bool CheckMoveOperands(const std::shared_ptr<QlCmData>& source,
                       const std::shared_ptr<QlCmData>& target, std::string* message) {
  if (!source) return Refuse(message, "系统错误, 源操作数为空.");
  if (!target) return Refuse(message, "系统错误, 目标操作数为空.");
  if (source->ToString() == target->ToString()) return Refuse(message, "源地址和目标地址不能相同.");
  if (!source->CheckUsage(NsTermination::kTypeUInt16, kAccessRead, message)) return false;
  return target->CheckUsage(NsTermination::kTypeUInt16, kAccessWrite, message);
}

bool CheckMove(const std::string& line, std::string* message) {
  std::shared_ptr<QlCmData> source;
  std::shared_ptr<QlCmData> target;
  if (!ParseMoveOperands(line, source, target, message)) return false;
  source->Bind(NsTermination::kTypeUInt16, kAccessRead);
  target->Bind(NsTermination::kTypeUInt16, kAccessWrite);
  return CheckMoveOperands(source, target, message);
}

std::string NormalizeMove(const std::string& line) {
  std::shared_ptr<QlCmData> source;
  std::shared_ptr<QlCmData> target;
  if (!ParseMoveOperands(line, source, target, nullptr)) return line;
  return StrFormat("%s %s %s", kFuncMove, source->ToString().c_str(), target->ToString().c_str());
}

bool CheckLogout(const std::string& line, std::string* message) {
  std::string token;
  std::size_t pos = 0;
  if (!NextFuncToken(line, token, pos)) return Refuse(message, "指令格式异常");
  const bool onlyBlanks =
      std::all_of(line.begin() + static_cast<std::ptrdiff_t>(pos), line.end(), IsBlank);
  return onlyBlanks ? true : Refuse(message, "指令后不能有其它参数.");
}

std::string NormalizeLogout(const std::string& line) {
  std::string token;
  std::size_t pos = 0;
  if (!NextFuncToken(line, token, pos)) return line;
  return UpperFuncName(token);
}

}  // namespace NsOvrin::NsQlCompiler
