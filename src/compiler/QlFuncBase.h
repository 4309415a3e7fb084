#pragma once
// Compiled instructions: one object per instruction line. Prepare
// normalises and checks the object's own line and binds what the
// instruction needs; a ready object can be executed. Objects that fail to
// prepare keep their error for the error check. Held through shared_ptr;
// user-interface thread.
#include <memory>
#include <string>

#include "compiler/QlCmData.h"
#include "element_io/QlButtonIo.h"

namespace NsOvrin::NsQlCompiler {

class QlFuncBase {
 public:
  explicit QlFuncBase(const std::string& line) : sourceLine_(line) {}
  // A prepared object holds bindings of its own: no copies.
  QlFuncBase(const QlFuncBase&) = delete;
  QlFuncBase& operator=(const QlFuncBase&) = delete;
  virtual ~QlFuncBase() = default;

  // False at once, doing nothing, when not ready.
  virtual bool Execute() = 0;
  // Returns the new readiness.
  virtual bool Prepare() = 0;

  bool IsReady() const { return ready_; }
  // The message of the last failed preparation.
  const std::string& GetError() const { return error_; }
  // Most kinds hold their canonical text once prepared.
  const std::string& GetSourceLine() const { return sourceLine_; }

 protected:
  bool ready_ = false;
  std::string error_;
  std::string sourceLine_;
};

// 弹出画面: opens a page as a pop-up window.
class QlPopupScreen : public QlFuncBase {
 public:
  using QlFuncBase::QlFuncBase;
  bool Execute() override;
  bool Prepare() override;
  const std::string& GetPageName() const { return pageName_; }

 private:
  std::string pageName_;
};

// 页面跳到: goes to a page.
class QlJumpToPage : public QlFuncBase {
 public:
  using QlFuncBase::QlFuncBase;
  bool Execute() override;
  bool Prepare() override;
  const std::string& GetPageName() const { return pageName_; }

 private:
  std::string pageName_;
};

// SET and RST: write one bit through a set-OFF button binding of the
// address, which lives as long as the object.
class QlSetOnOff : public QlFuncBase {
 public:
  explicit QlSetOnOff(const std::string& line);
  bool Execute() override;
  bool Prepare() override;
  // The bit written.
  virtual bool IsOn() const = 0;

  // Canonical "node.address" once the check passed.
  const std::string& GetAddress() const { return address_; }
  const NsQlElemIo::QlButtonIo& GetIo() const { return *io_; }

 private:
  std::string address_;
  std::shared_ptr<NsQlElemIo::QlButtonIo> io_;
};

class QlRst : public QlSetOnOff {
 public:
  using QlSetOnOff::QlSetOnOff;
  bool IsOn() const override { return false; }
};

class QlSet : public QlSetOnOff {
 public:
  using QlSetOnOff::QlSetOnOff;
  bool IsOn() const override { return true; }
};

// MOV: copies one unsigned 16-bit word. A prepared object keeps its source
// block subscribed; its line stays as typed.
class QlMove : public QlFuncBase {
 public:
  using QlFuncBase::QlFuncBase;
  bool Execute() override;
  bool Prepare() override;
  const std::shared_ptr<QlCmData>& GetSource() const { return source_; }
  const std::shared_ptr<QlCmData>& GetTarget() const { return target_; }

 private:
  std::shared_ptr<QlCmData> source_;
  std::shared_ptr<QlCmData> target_;
};

// 退出登录: the anonymous user becomes the current user.
class QlLogout : public QlFuncBase {
 public:
  using QlFuncBase::QlFuncBase;
  bool Execute() override;
  bool Prepare() override;
};

// 短消息: a short message for the operator.
class QlToast : public QlFuncBase {
 public:
  using QlFuncBase::QlFuncBase;
  bool Execute() override;
  bool Prepare() override;
  const std::string& GetMessage() const { return message_; }

 private:
  std::string message_;
};

// A line that names none of the instructions: never ready.
class QlFuncunknown : public QlFuncBase {
 public:
  using QlFuncBase::QlFuncBase;
  bool Execute() override { return false; }
  bool Prepare() override;
};

// The object for the line, not prepared; empty for an empty line.
std::shared_ptr<QlFuncBase> CreateFunc(const std::string& line);

}  // namespace NsOvrin::NsQlCompiler
