#include "compiler/QlCmTermAddr.h"

#include "QlDev/DeviceAddress.h"
#include "platform/Format.h"
#include "term_data/CacheVarBlock.h"
#include "termination/AddrBinder.h"
#include "termination/ChannelManager.h"

namespace NsOvrin::NsQlCompiler {
namespace {

using NsPlatform::StrFormat;
using NsTermination::kKindBit;
using NsTermination::kKindWord;
using NsTermination::kTypeBit;
using NsTermination::kTypeInt16;
using NsTermination::kTypeInt32;
using NsTermination::kTypeString;
using NsTermination::kTypeUInt16;
using NsTermination::kTypeUInt32;

bool Refuse(std::string* message, std::string text) {
  if (message != nullptr) *message = std::move(text);
  return false;
}

}  // namespace

QlCmTermAddr::QlCmTermAddr(const TermAddr& addr, const OneWayWrapper<Node>& node)
    : addr_(addr), node_(node) {
  if (const auto locked = node_.Lock())
    text_ = NsTermination::JoinDeviceAddress(locked->GetName(), locked->FormatAddress(addr_));
}

QlCmTermAddr::~QlCmTermAddr() { ReleaseSubscription(); }

void QlCmTermAddr::ReleaseSubscription() { NsTermination::ReleaseReadTaskRef(task_); }

void QlCmTermAddr::Bind(DataTypeFlag type, uint32_t access) {
  ReleaseSubscription();
  boundType_ = static_cast<uint16_t>(type);
  if (addr_.prefix.empty() || addr_.count == 0) return;
  if (access != kAccessRead && access != kAccessReadWrite) return;
  const auto node = node_.Lock();
  if (!node) return;
  task_ = node->FindTaskForAddress(addr_, type, &offset_);
  if (task_) task_->AddSubscriber();
}

bool QlCmTermAddr::CheckUsage(DataTypeFlag type, uint32_t access, std::string* message) const {
  if (type == kTypeBit) {
    if (addr_.kind != kKindBit) return Refuse(message, StrFormat("%s 不支持点位操作.", text_.c_str()));
  } else if (type == kTypeInt16 || type == kTypeUInt16 || type == kTypeInt32 ||
             type == kTypeUInt32 || type == kTypeString) {
    if (addr_.kind != kKindWord)
      return Refuse(message, StrFormat("%s 不支持 %s 操作.", text_.c_str(),
                                       NsTermination::GetDataTypeName(type).c_str()));
  } else {
    return Refuse(message, "系统异常, 异常的数据类型.");
  }

  // Worded only when refused: every instruction of a project passes here.
  const auto notInBlock = [&] {
    return Refuse(message, StrFormat("地址 %s 不在预定义的数据块中.", text_.c_str()));
  };
  const auto readOnly = [&] {
    return Refuse(message, StrFormat("%s 为只读地址.", text_.c_str()));
  };
  switch (access) {
    case kAccessRead: return task_ ? true : notInBlock();
    case kAccessWrite: return addr_.writable != 0 ? true : readOnly();
    case kAccessReadWrite:
      if (!task_) return notInBlock();
      return addr_.writable != 0 ? true : readOnly();
    default: return Refuse(message, "系统异常.");
  }
}

bool QlCmTermAddr::Fetch() {
  if (!task_) return false;
  const std::shared_ptr<NsTermination::CacheVarBlock> block = task_->GetCacheBlock();
  if (!block) return false;
  // A block no reply has filled yet holds zeros, not the device's value.
  if (!block->HasData()) return false;
  switch (boundType_) {
    case kTypeInt16:
    case kTypeUInt16: value = static_cast<int32_t>(uint32_t{block->GetWord(offset_)}); return true;
    case kTypeInt32:
    case kTypeUInt32: value = static_cast<int32_t>(block->GetDword(offset_)); return true;
    default: return false;
  }
}

bool QlCmTermAddr::Write(uint32_t dataType, const void* value) {
  if (addr_.prefix.empty() || addr_.count == 0) return false;
  // One value is written: a range address must not make the codec read
  // further values past it.
  TermAddr target = addr_;
  target.count = 1;
  NsTermination::TaskWriteData task(target, dataType);
  task.SetValue(value);
  // Held shared for the whole exchange: the node cannot be destroyed under
  // the write.
  const auto node = node_.Lock();
  if (!node) return false;
  return node->ExecuteTask(&task);
}

bool QlCmTermAddr::WriteWord(uint16_t value) { return Write(kTypeUInt16, &value); }

bool QlCmTermAddr::WriteDword(uint32_t value) { return Write(kTypeUInt32, &value); }

bool ParseAddrOperand(const std::string& token, std::shared_ptr<QlCmData>& operand) {
  OneWayWrapper<Node> node;
  TermAddr addr;
  if (NsTermination::ResolveDeviceAddress(token, nullptr, &node, &addr) != NsTermination::kAddrOk)
    return false;
  operand = std::make_shared<QlCmTermAddr>(addr, node);
  return true;
}

}  // namespace NsOvrin::NsQlCompiler
