#pragma once
// The binding of a multi-function button: an instruction list, compiled
// when the binding binds. The lines' own errors are reported by the error
// check and the instruction table, not by this binding's check.
#include <memory>
#include <string>

#include "compiler/QlFuncList.h"
#include "element_io/QlIo.h"

namespace NsOvrin::NsQlElemIo {

class QlMultFuncBtnIo : public QlIo {
 public:
  // Compiles the list (lines in error included), then binds the visibility,
  // whose result it returns.
  bool Bind() override;
  bool Check(std::string* message) override { return CheckVisibility(message); }
  const BaseIoData* GetBaseIoDataConst() const override { return &baseIoData_; }
  BaseIoData* GetBaseIoData() override { return &baseIoData_; }

  // The settings, the lines and the visibility binding (with a counted
  // read-task reference of its own); the compiled objects are shared with
  // this binding until the copy is bound and compiles its own.
  std::shared_ptr<QlMultFuncBtnIo> Clone() const;

  NsQlCompiler::QlFuncList funcList;

 private:
  BaseIoData baseIoData_;
};

}  // namespace NsOvrin::NsQlElemIo
