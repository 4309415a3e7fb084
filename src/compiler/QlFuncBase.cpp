#include "compiler/QlFuncBase.h"

#include "compiler/FuncText.h"
#include "compiler/QlFuncUi.h"
#include "platform/Format.h"
#include "project_base/QlUser.h"
#include "termination/Task.h"

namespace NsOvrin::NsQlCompiler {

bool QlPopupScreen::Prepare() {
  ready_ = false;
  pageName_.clear();
  sourceLine_ = NormalizePopupScreen(sourceLine_);
  ready_ = CheckPopupScreen(sourceLine_, pageName_, &error_);
  return ready_;
}

bool QlPopupScreen::Execute() {
  if (!ready_ || pageName_.empty()) return false;
  if (QlFuncUi* ui = GetFuncUi()) ui->PopupScreen(pageName_);
  return true;
}

bool QlJumpToPage::Prepare() {
  ready_ = false;
  pageName_.clear();
  sourceLine_ = NormalizeJumpToPage(sourceLine_);
  ready_ = CheckJumpToPage(sourceLine_, pageName_, &error_);
  return ready_;
}

bool QlJumpToPage::Execute() {
  if (!ready_ || pageName_.empty()) return false;
  if (QlFuncUi* ui = GetFuncUi()) ui->JumpToPage(pageName_);
  return true;
}

QlSetOnOff::QlSetOnOff(const std::string& line)
    : QlFuncBase(line), io_(NsQlElemIo::QlButtonIo::QlButtonIoWithAddresses("", "")) {}

bool QlSetOnOff::Prepare() {
  ready_ = false;
  address_.clear();
  std::string name;
  std::string address;
  if (!ParseSetRstLine(sourceLine_, name, address, &error_)) return false;
  // The instruction's own binding is judged as CheckSetRstAddress judges a
  // temporary one: a set-OFF button writing the address.
  io_->writeAddress = address;
  io_->Bind();
  if (!io_->Check(&error_)) return false;
  address_ = address;
  // "%s %s" put together by hand; each part ends at a NUL, as through %s.
  sourceLine_.assign(name.c_str()).append(1, ' ').append(address_.c_str());
  ready_ = true;
  return true;
}

bool QlSetOnOff::Execute() {
  if (!ready_ || address_.empty()) return false;
  return io_->WriteValue(IsOn() ? 1 : 0);
}

bool QlMove::Prepare() {
  ready_ = false;
  if (!ParseMoveOperands(sourceLine_, source_, target_, &error_)) return false;
  source_->Bind(NsTermination::kTypeUInt16, kAccessRead);
  target_->Bind(NsTermination::kTypeUInt16, kAccessWrite);
  ready_ = CheckMoveOperands(source_, target_, &error_);
  return ready_;
}

bool QlMove::Execute() {
  if (!ready_ || !source_ || !target_) return false;
  if (!source_->Fetch()) return false;
  return target_->WriteWord(static_cast<uint16_t>(source_->value));
}

bool QlLogout::Prepare() {
  ready_ = false;
  sourceLine_ = NormalizeLogout(sourceLine_);
  ready_ = CheckLogout(sourceLine_, &error_);
  return ready_;
}

bool QlLogout::Execute() {
  if (!ready_) return false;
  LogoutUser();
  if (QlFuncUi* ui = GetFuncUi()) ui->UserLoggedOut();
  return true;
}

bool QlToast::Prepare() {
  ready_ = false;
  message_.clear();
  sourceLine_ = NormalizeToast(sourceLine_);
  ready_ = CheckToast(sourceLine_, message_, &error_);
  return ready_;
}

bool QlToast::Execute() {
  if (!ready_) return false;
  if (QlFuncUi* ui = GetFuncUi()) ui->ShowToast(message_);
  return true;
}

bool QlFuncunknown::Prepare() {
  ready_ = false;
  error_ = NsPlatform::StrFormat("未知指令: %s", sourceLine_.c_str());
  return false;
}

std::shared_ptr<QlFuncBase> CreateFunc(const std::string& line) {
  if (line.empty()) return nullptr;
  std::string token;
  std::size_t pos = 0;
  if (!NextFuncToken(line, token, pos)) return std::make_shared<QlFuncunknown>(line);
  const std::string name = UpperFuncName(token);
  if (name == kFuncPopupScreen) return std::make_shared<QlPopupScreen>(line);
  if (name == kFuncJumpToPage) return std::make_shared<QlJumpToPage>(line);
  if (name == kFuncRst) return std::make_shared<QlRst>(line);
  if (name == kFuncSet) return std::make_shared<QlSet>(line);
  if (name == kFuncMove) return std::make_shared<QlMove>(line);
  if (name == kFuncLogout) return std::make_shared<QlLogout>(line);
  if (name == kFuncToast) return std::make_shared<QlToast>(line);
  return std::make_shared<QlFuncunknown>(line);
}

}  // namespace NsOvrin::NsQlCompiler
