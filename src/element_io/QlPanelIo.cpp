#include "element_io/QlPanelIo.h"

namespace NsOvrin::NsQlElemIo {

std::shared_ptr<QlPanelIo> QlPanelIo::Clone() const {
  auto copy = std::make_shared<QlPanelIo>();
  copy->CopyBase(*this);
  copy->baseIoData_ = baseIoData_;
  return copy;
}

}  // namespace NsOvrin::NsQlElemIo
