#include "element_io/QlTextIo.h"

namespace NsOvrin::NsQlElemIo {

std::shared_ptr<QlTextIo> QlTextIo::Clone() const {
  auto copy = std::make_shared<QlTextIo>();
  copy->CopyBase(*this);
  copy->baseIoData_ = baseIoData_;
  return copy;
}

}  // namespace NsOvrin::NsQlElemIo
