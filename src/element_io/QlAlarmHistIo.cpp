#include "element_io/QlAlarmHistIo.h"

namespace NsOvrin::NsQlElemIo {

std::shared_ptr<QlAlarmHistIo> QlAlarmHistIo::Clone() const {
  auto copy = std::make_shared<QlAlarmHistIo>();
  copy->CopyBase(*this);
  copy->baseIoData_ = baseIoData_;
  return copy;
}

}  // namespace NsOvrin::NsQlElemIo
