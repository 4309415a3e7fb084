#pragma once
// The instruction lines of multi-function buttons and variable events: one
// instruction per line, cut into tokens at blanks and tabs, named by its
// first token (a-z upper-cased). Each line has a canonical text, which the
// editor stores, and a check that accepts it or says why not. Every message
// argument is optional: with none the check only gives its result.
//
// The seven instructions, in the order every dispatch tests them:
// 弹出画面 "page", 页面跳到 "page", RST address, SET address, MOV source
// target, 退出登录, 短消息 "text".
#include <cstddef>
#include <memory>
#include <string>

#include "compiler/QlCmData.h"

namespace NsOvrin::NsQlCompiler {

inline constexpr const char* kFuncPopupScreen = "弹出画面";
inline constexpr const char* kFuncJumpToPage = "页面跳到";
inline constexpr const char* kFuncRst = "RST";
inline constexpr const char* kFuncSet = "SET";
inline constexpr const char* kFuncMove = "MOV";
inline constexpr const char* kFuncLogout = "退出登录";
inline constexpr const char* kFuncToast = "短消息";

// The next run of characters other than blank and tab at or after pos
// (a byte offset); pos is left on the character after it. False when none
// is left.
bool NextFuncToken(const std::string& line, std::string& token, std::size_t& pos);
// Letters a-z become A-Z; every other character stays.
std::string UpperFuncName(const std::string& token);

// The canonical text of the line, or the line unchanged when it names no
// instruction or does not have the instruction's form.
std::string NormalizeFuncText(const std::string& line);
// True when the line is a valid instruction.
bool CheckFuncText(const std::string& line, std::string* message);

// Per instruction, on the whole line as typed.
std::string NormalizePopupScreen(const std::string& line);
std::string NormalizeJumpToPage(const std::string& line);
std::string NormalizeToast(const std::string& line);
std::string NormalizeSetRst(const std::string& line);
std::string NormalizeMove(const std::string& line);
std::string NormalizeLogout(const std::string& line);

// The page must be one of the project's pages.
bool CheckPopupScreen(const std::string& line, std::string& pageName, std::string* message);
bool CheckJumpToPage(const std::string& line, std::string& pageName, std::string* message);
bool CheckToast(const std::string& line, std::string& text, std::string* message);
bool CheckSetRst(const std::string& line, std::string* message);
// The upper-case function name and the normalised address of a set or reset
// line; false, with the message, when either token is missing.
bool ParseSetRstLine(const std::string& line, std::string& name, std::string& address, std::string* message);
// The address must take a bit write: judged by a temporary button binding.
bool CheckSetRstAddress(const std::string& line, std::string& name, std::string& address,
                        std::string* message);
// Operands of the second and third tokens, not bound. Both are set on
// success and reset on failure.
bool ParseMoveOperands(const std::string& line, std::shared_ptr<QlCmData>& source,
                       std::shared_ptr<QlCmData>& target, std::string* message);
bool CheckMove(const std::string& line, std::string* message);
// On operands already bound: the source for reading, the target for
// writing, both as unsigned words.
bool CheckMoveOperands(const std::shared_ptr<QlCmData>& source,
                       const std::shared_ptr<QlCmData>& target, std::string* message);
bool CheckLogout(const std::string& line, std::string* message);

}  // namespace NsOvrin::NsQlCompiler
