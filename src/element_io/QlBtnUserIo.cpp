#include "element_io/QlBtnUserIo.h"

namespace NsOvrin::NsQlElemIo {

std::shared_ptr<QlBtnUserIo> QlBtnUserIo::Clone() const {
  auto copy = std::make_shared<QlBtnUserIo>();
  copy->CopyBase(*this);
  copy->baseIoData_ = baseIoData_;
  return copy;
}

}  // namespace NsOvrin::NsQlElemIo
