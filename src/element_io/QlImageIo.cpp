#include "element_io/QlImageIo.h"

namespace NsOvrin::NsQlElemIo {

std::shared_ptr<QlImageIo> QlImageIo::Clone() const {
  auto copy = std::make_shared<QlImageIo>();
  copy->CopyBase(*this);
  copy->baseIoData_ = baseIoData_;
  return copy;
}

}  // namespace NsOvrin::NsQlElemIo
