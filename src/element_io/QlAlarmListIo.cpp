#include "element_io/QlAlarmListIo.h"

namespace NsOvrin::NsQlElemIo {

std::shared_ptr<QlAlarmListIo> QlAlarmListIo::Clone() const {
  auto copy = std::make_shared<QlAlarmListIo>();
  copy->CopyBase(*this);
  copy->baseIoData_ = baseIoData_;
  return copy;
}

}  // namespace NsOvrin::NsQlElemIo
