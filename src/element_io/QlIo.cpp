#include "element_io/QlIo.h"

#include "QlDev/DataTypeFlag.h"
#include "termination/AddrBinder.h"

namespace NsOvrin::NsQlElemIo {
namespace {

using NsTermination::AddrBinder;

}  // namespace

QlIo::~QlIo() { NsTermination::ReleaseReadTaskRef(visibTask_); }

void QlIo::ReleaseVisibility() {
  AddrBinder binder;
  binder.addr = &visibAddr_;
  binder.task = &visibTask_;
  binder.offset = &visibOffset_;
  NsTermination::ReleaseBinding(binder);
}

bool QlIo::BindVisibility() {
  BaseIoData* data = GetBaseIoData();
  if (data == nullptr) return false;
  // Turning the control off keeps the earlier binding; the address stays
  // stored with the element.
  if (!data->enableVisib) return true;
  NsTermination::TrimBlanks(data->addressForVisib);
  if (data->addressForVisib.empty()) {
    // A cleared address must neither be judged by its old descriptor nor
    // keep its block polled.
    ReleaseVisibility();
    return false;
  }
  AddrBinder binder;
  binder.addr = &visibAddr_;
  binder.dataType = NsTermination::kTypeBit;
  binder.task = &visibTask_;
  binder.offset = &visibOffset_;
  return NsTermination::BindAddress(data->addressForVisib, binder);
}

bool QlIo::CheckVisibility(std::string* message) const {
  const char* failure = nullptr;
  const BaseIoData* data = GetBaseIoDataConst();
  if (data == nullptr) {
    failure = "系统错误: baseIoData == nullptr";
  } else if (!data->enableVisib) {
    return true;
  } else if (data->addressForVisib.empty()) {
    failure = "控制可见性的地址为空!";
  } else if (visibAddr_.count == 0) {
    failure = "控制可见性的地址异常.";
  } else if (!visibTask_) {
    failure = "控制可见性的地址异常或者不在数据列表中.";
  } else if (visibAddr_.kind != NsTermination::kKindBit) {
    failure = "控制可见性的地址不是点类型数据.";
  } else {
    return true;
  }
  if (message != nullptr) *message = failure;
  return false;
}

std::string QlIo::GetVisibAddress() const {
  const BaseIoData* data = GetBaseIoDataConst();
  return data != nullptr ? data->addressForVisib : std::string();
}

void QlIo::CopyBase(const QlIo& other) {
  if (this == &other) return;
  NsTermination::ReleaseReadTaskRef(visibTask_);
  visibTask_ = other.visibTask_;
  if (visibTask_) visibTask_->AddSubscriber();
  visibOffset_ = other.visibOffset_;
  visibAddr_ = other.visibAddr_;
}

}  // namespace NsOvrin::NsQlElemIo
