#include "element_io/QlStringIo.h"

#include <vector>

#include "QlDev/DeviceAddress.h"
#include "platform/Cp936.h"
#include "termination/AddrBinder.h"

namespace NsOvrin::NsQlElemIo {

QlStringIo::~QlStringIo() { NsTermination::ReleaseReadTaskRef(readTask_); }

bool QlStringIo::Bind() {
  forceRefresh = true;
  NsTermination::AddrBinder binder;
  binder.node = &node_;
  binder.addr = &addr_;
  binder.dataType = NsTermination::kTypeString;
  binder.task = &readTask_;
  binder.offset = &offset_;
  const bool bound = NsTermination::BindAddress(address, binder);
  const bool visible = BindVisibility();
  return bound && visible;
}

bool QlStringIo::Check(std::string* message) {
  const char* failure = nullptr;
  if (address.empty()) {
    failure = "读写地址不能为空!";
  } else if (!node_.IsValid()) {
    failure = "读写地址节点不存在.";
  } else if (addr_.count == 0) {
    failure = "读写地址异常.";
  } else if (!readTask_) {
    failure = "读写地址异常或者不在数据列表中.";
  } else if (addr_.kind != NsTermination::kKindWord) {
    failure = "读写地址与数据类型不兼容.";
  } else if (addr_.writable == 0 && !readOnly) {
    failure = "地址无写入权限.";
  } else {
    return CheckVisibility(message);
  }
  if (message != nullptr) *message = failure;
  return false;
}

bool QlStringIo::ReadText(std::string& text, bool& changed) {
  changed = false;
  if (!readTask_ || length == 0) return false;
  const std::shared_ptr<NsTermination::CacheVarBlock>& block = readTask_->GetCacheBlock();
  if (!block) return false;
  // The counter before the bytes: a reply landing in between is seen again
  // at the next read rather than missed.
  const uint32_t counter = block->GetUpdateCount();
  std::vector<char> buffer(static_cast<std::size_t>(length) + 1, '\0');
  const char* end = block->ReadLine(offset_, buffer.data(), length);
  const std::string read = NsPlatform::AcpToUtf8(std::string_view(buffer.data(), end - buffer.data()));

  changed = forceRefresh || (counter != lastCounter_ && read != lastText_);
  lastCounter_ = counter;
  lastText_ = read;
  forceRefresh = false;
  text = read;
  return true;
}

std::string QlStringIo::GetStartAddressText() const {
  if (addr_.prefix.empty() || addr_.count == 0) return {};
  const auto node = node_.Lock();
  if (!node) return {};
  const std::shared_ptr<NsTermination::NodeMem>& mem = node->GetNodeMem();
  if (!mem) return {};
  return NsTermination::JoinDeviceAddress(
      node->GetName(), mem->FormatAddress(addr_.prefix, addr_.start, 1, addr_.lastAddress));
}

void QlStringIo::ApplyLength() {
  if (length == 0) return;
  const auto node = node_.Lock();
  if (!node || !node->GetNodeMem()) return;
  if (node->GetNodeMem()->SetCountFromBytes(addr_, length)) lastCounter_ = 0;
}

void QlStringIo::UpdateAddressText() {
  if (length == 0) return;
  const auto node = node_.Lock();
  if (!node || !node->GetNodeMem()) return;
  std::string canonical = NsTermination::JoinDeviceAddress(node->GetName(), node->FormatAddress(addr_));
  // The node resolves before the address parses: a run that never parsed
  // formats empty and must not wipe what the user wrote.
  if (canonical.empty()) return;
  address = std::move(canonical);
}

std::shared_ptr<QlStringIo> QlStringIo::Clone() const {
  auto copy = std::make_shared<QlStringIo>();
  copy->CopyBase(*this);
  copy->baseIoData_ = baseIoData_;
  copy->readOnly = readOnly;
  copy->address = address;
  copy->node_ = node_;  // copied under the handle's shared lock
  copy->readTask_ = readTask_;
  if (copy->readTask_) copy->readTask_->AddSubscriber();
  copy->offset_ = offset_;
  copy->length = length;
  copy->addr_ = addr_;
  copy->lastCounter_ = lastCounter_;
  copy->lastText_ = lastText_;
  copy->forceRefresh = forceRefresh;
  return copy;
}

}  // namespace NsOvrin::NsQlElemIo
