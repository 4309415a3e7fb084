#include "compiler/QlMultFuncBtnIo.h"

namespace NsOvrin::NsQlElemIo {

bool QlMultFuncBtnIo::Bind() {
  funcList.Compile();
  return BindVisibility();
}

std::shared_ptr<QlMultFuncBtnIo> QlMultFuncBtnIo::Clone() const {
  auto copy = std::make_shared<QlMultFuncBtnIo>();
  copy->CopyBase(*this);
  copy->baseIoData_ = baseIoData_;
  copy->funcList.sourceLines = funcList.sourceLines;
  copy->funcList.functions = funcList.functions;
  return copy;
}

}  // namespace NsOvrin::NsQlElemIo
