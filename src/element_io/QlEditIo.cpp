#include "element_io/QlEditIo.h"

#include <cmath>

#include "platform/Format.h"
#include "termination/AddrBinder.h"

namespace NsOvrin::NsQlElemIo {
namespace {

using NsPlatform::StrFormat;
using namespace NsQlUiElem;

}  // namespace

std::string FormatFixed(float value, int decimals) {
  return StrFormat("%.*f", decimals < 0 ? 0 : decimals, static_cast<double>(value));
}

QlEditIo::~QlEditIo() { NsTermination::ReleaseReadTaskRef(readTask_); }

bool QlEditIo::Bind() {
  forceRefresh = true;
  lastCounter_ = 0;
  NsTermination::AddrBinder binder;
  binder.node = &node_;
  binder.addr = &addr_;
  binder.dataType = dataType;
  binder.task = &readTask_;
  binder.offset = &offset_;
  const bool bound = NsTermination::BindAddress(address, binder);
  const bool visible = BindVisibility();
  return bound && visible;
}

bool QlEditIo::Check(std::string* message) {
  const char* failure = nullptr;
  if (address.empty()) {
    failure = "读写地址不能为空!";
  } else if (!node_.IsValid()) {
    failure = "读写地址节点不存在.";
  } else if (addr_.count == 0) {
    failure = "读写地址异常.";
  } else if (!readTask_) {
    failure = "读写地址异常或者不在数据列表中.";
  } else if (!addr_.AcceptsDataType(static_cast<NsTermination::DataTypeFlag>(dataType))) {
    failure = "读写地址与数据类型不兼容.";
  } else if (addr_.writable == 0 && !readOnly) {
    failure = "地址无写入权限.";
  } else {
    return CheckVisibility(message);
  }
  if (message != nullptr) *message = failure;
  return false;
}

bool QlEditIo::ReadRawValue(uint32_t& raw, ValueKind& kind, bool& changed) {
  if (!readTask_) return false;
  const std::shared_ptr<NsTermination::CacheVarBlock>& block = readTask_->GetCacheBlock();
  if (!block) return false;
  // The counter before the value: a reply landing in between is seen again
  // at the next read rather than missed.
  const uint32_t counter = block->GetUpdateCount();
  uint32_t value = 0;
  ValueKind valueKind = kValueNone;
  switch (dataType) {
    case NsTermination::kTypeInt16:
      value = block->GetWord(offset_);
      valueKind = kValueInt16;
      break;
    case NsTermination::kTypeUInt16:
      value = block->GetWord(offset_);
      valueKind = kValueUInt16;
      break;
    case NsTermination::kTypeInt32:
      value = block->GetDword(offset_);
      valueKind = kValueInt32;
      break;
    case NsTermination::kTypeUInt32:
      value = block->GetDword(offset_);
      valueKind = kValueUInt32;
      break;
    default:
      return false;
  }

  bool moved = forceRefresh;
  if (!moved && counter != lastCounter_) {
    if (valueKind != lastKind_) {
      moved = true;
    } else if (valueKind == kValueInt16 || valueKind == kValueUInt16) {
      moved = (value & 0xFFFF) != (lastValue_ & 0xFFFF);
    } else {
      moved = value != lastValue_;
    }
  }
  lastCounter_ = counter;
  lastValue_ = value;
  lastKind_ = valueKind;
  forceRefresh = false;
  raw = value;
  kind = valueKind;
  changed = moved;
  return true;
}

bool QlEditIo::ReadValueText(std::string& text, bool& changed) {
  uint32_t raw = 0;
  ValueKind kind = kValueNone;
  if (!ReadRawValue(raw, kind, changed)) return false;
  switch (kind) {
    case kValueInt16: text = FormatInt16(static_cast<uint16_t>(raw)); break;
    case kValueUInt16: text = FormatUInt16(static_cast<uint16_t>(raw)); break;
    case kValueInt32: text = FormatInt32(raw); break;
    default: text = FormatUInt32(raw); break;
  }
  return true;
}

std::string QlEditIo::FormatWidened(int64_t widened) const {
  if (scale == 0) {
    const uint32_t bits = static_cast<uint32_t>(widened);
    if (dataType == NsTermination::kTypeInt16 || dataType == NsTermination::kTypeInt32)
      return StrFormat("%d", static_cast<int32_t>(bits));
    return StrFormat("%u", bits);
  }
  // Single precision on purpose: values beyond 2^24 show what a panel shows.
  const float value = static_cast<float>(widened);
  const float scaled = static_cast<float>(static_cast<double>(value) / std::pow(10.0, scale));
  return FormatFixed(scaled, scale);
}

std::string QlEditIo::FormatInt16(uint16_t value) const {
  return FormatWidened(static_cast<int16_t>(value));
}

std::string QlEditIo::FormatUInt16(uint16_t value) const { return FormatWidened(value); }

std::string QlEditIo::FormatInt32(uint32_t value) const {
  return FormatWidened(static_cast<int32_t>(value));
}

std::string QlEditIo::FormatUInt32(uint32_t value) const {
  // A signed box shows a stored limit signed: -1.5 stays -1.5, not 429496736.0.
  if (dataType == NsTermination::kTypeInt16 || dataType == NsTermination::kTypeInt32)
    return FormatWidened(static_cast<int32_t>(value));
  return FormatWidened(value);
}

std::shared_ptr<QlEditIo> QlEditIo::Clone() const {
  auto copy = std::make_shared<QlEditIo>();
  copy->CopyBase(*this);
  copy->baseIoData_ = baseIoData_;
  copy->dataType = dataType;
  copy->scale = scale;
  copy->readOnly = readOnly;
  copy->enableMinVal = enableMinVal;
  copy->minVal = minVal;
  copy->enableMaxVal = enableMaxVal;
  copy->maxVal = maxVal;
  copy->address = address;
  copy->node_ = node_;  // copied under the handle's shared lock
  copy->readTask_ = readTask_;
  if (copy->readTask_) copy->readTask_->AddSubscriber();
  copy->offset_ = offset_;
  copy->addr_ = addr_;
  copy->lastCounter_ = lastCounter_;
  copy->lastValue_ = lastValue_;
  copy->lastKind_ = lastKind_;
  copy->forceRefresh = forceRefresh;
  return copy;
}

}  // namespace NsOvrin::NsQlElemIo
