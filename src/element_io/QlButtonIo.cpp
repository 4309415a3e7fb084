#include "element_io/QlButtonIo.h"

#include "term_data/CacheVarBlock.h"
#include "termination/AddrBinder.h"
#include "termination/Task.h"

namespace NsOvrin::NsQlElemIo {
namespace {

using NsTermination::AddrBinder;
using NsTermination::kKindBit;
using NsTermination::kKindWord;

}  // namespace

QlButtonIo::~QlButtonIo() { NsTermination::ReleaseReadTaskRef(readTask_); }

std::shared_ptr<QlButtonIo> QlButtonIo::QlButtonIoWithAddresses(const std::string& readAddress,
                                                                const std::string& writeAddress) {
  auto io = std::make_shared<QlButtonIo>();
  io->buttonType = kButtonSetOff;
  io->dataType = NsTermination::kTypeBit;
  io->sameAsRead = false;
  io->readAddress = readAddress;
  io->writeAddress = writeAddress;
  return io;
}

std::shared_ptr<QlButtonIo> QlButtonIo::QlButtonIoDisplayOnly(const std::string& address) {
  auto io = std::make_shared<QlButtonIo>();
  io->buttonType = kButtonDisplayOnly;
  io->dataType = NsTermination::kTypeBit;
  io->sameAsRead = true;
  io->readAddress = address;
  return io;
}

bool QlButtonIo::Bind() {
  forceRefresh_ = true;
  if (buttonType == kButtonDisplayOnly) sameAsRead = true;

  AddrBinder read;
  read.node = &readNode_;
  read.addr = &readAddr_;
  read.dataType = dataType;
  read.task = &readTask_;
  read.offset = &readOffset_;
  NsTermination::TrimBlanks(readAddress);
  bool readBound = true;
  // A cleared address must neither be judged by its old descriptor nor keep
  // its block polled.
  if (readAddress.empty())
    NsTermination::ReleaseBinding(read);
  else
    readBound = NsTermination::BindAddress(readAddress, read);

  AddrBinder write;
  write.node = &writeNode_;
  write.addr = &writeAddr_;
  write.dataType = dataType;
  NsTermination::TrimBlanks(writeAddress);
  bool writeBound = true;
  if (writeAddress.empty())
    NsTermination::ReleaseBinding(write);
  else
    writeBound = NsTermination::BindAddress(writeAddress, write);

  const bool visibBound = BindVisibility();
  return readBound && writeBound && visibBound;
}

bool QlButtonIo::AcceptsAddress(const TermAddr& addr) const {
  switch (buttonType) {
    case kButtonToggle:
    case kButtonMomentary:
    case kButtonSetOn:
    case kButtonSetOff:
    case kButtonDisplayOnly: return addr.kind == kKindBit;
    case kButtonSetValue:
      switch (dataType) {
        case NsTermination::kTypeBit: return addr.kind == kKindBit;
        case NsTermination::kTypeInt16:
        case NsTermination::kTypeUInt16:
        case NsTermination::kTypeInt32:
        case NsTermination::kTypeUInt32:
        case NsTermination::kTypeString: return addr.kind == kKindWord;
        default: return false;
      }
    default: return false;
  }
}

bool QlButtonIo::Check(std::string* message) {
  const bool needsRead = !ReadIsOptional();
  const TermAddr& selected = SelectedAddr();
  const char* failure = nullptr;
  if (needsRead && readAddress.empty()) {
    failure = "读写地址不能为空!";
  } else if (SelectedText().empty()) {
    failure = "写地址不能为空!";
  } else if (needsRead && !readNode_.IsValid()) {
    failure = "读写地址节点不存在.";
  } else if (!SelectedNode().IsValid()) {
    failure = "写地址节点不存在.";
  } else if (selected.count == 0) {
    failure = "写地址异常.";
  } else if (needsRead && readAddr_.count == 0) {
    failure = "读地址异常.";
  } else if (!readTask_ && (needsRead || !readAddress.empty())) {
    failure = "读写地址异常或者不在数据列表中.";
  } else if (selected.writable == 0 && buttonType != kButtonDisplayOnly) {
    failure = "地址无写入权限.";
  } else if (readAddr_.count != 0 &&
             !(SelectsReadAddress() ? AcceptsAddress(readAddr_) : readAddr_.kind == kKindBit)) {
    failure = "读地址与数据类型不兼容.";
  } else if (!AcceptsAddress(selected)) {
    failure = "写地址与数据类型不兼容.";
  } else {
    return CheckVisibility(message);
  }
  if (message != nullptr) *message = failure;
  return false;
}

bool QlButtonIo::ReadState(uint8_t& value, bool& changed, bool* counterMoved) {
  if (!readTask_) return false;
  const std::shared_ptr<NsTermination::CacheVarBlock> block = readTask_->GetCacheBlock();
  if (!block) return false;
  // Taken before the value: a reply landing in between is seen as a move at
  // the next read instead of being counted as already seen.
  const uint32_t counter = block->GetUpdateCount();

  uint8_t current = 0;
  if (readAddr_.kind == kKindBit) {
    bool bit = false;
    if (!block->GetBit(readOffset_, bit)) return false;
    current = bit ? 1 : 0;
  } else {
    // The offset of a word address counts bytes: the word is ON when not 0.
    if (std::size_t{readOffset_} + 1 >= block->GetSize()) return false;
    current = block->GetWord(readOffset_) != 0 ? 1 : 0;
  }

  const bool moved = counter != lastCounter_;
  if (counterMoved != nullptr) *counterMoved = moved;
  changed = forceRefresh_ || (moved && current != lastValue_);
  value = current;
  lastCounter_ = counter;
  lastValue_ = current;
  forceRefresh_ = false;
  return true;
}

bool QlButtonIo::WriteValue(uint8_t value) {
  const TermAddr& addr = SelectedAddr();
  if (addr.count == 0) return false;
  // Held shared for the whole exchange, so that the node cannot be
  // destroyed under the write.
  const auto node = SelectedNode().Lock();
  if (!node) return false;
  // There is one value byte: a range address writes its first unit only,
  // never bytes past the value.
  TermAddr first = addr;
  first.count = 1;
  NsTermination::TaskWriteData task(first, NsTermination::kTypeBit);
  task.SetValue(&value);
  return node->ExecuteTask(&task);
}

std::shared_ptr<QlButtonIo> QlButtonIo::Clone() const {
  auto copy = std::make_shared<QlButtonIo>();
  copy->baseIoData_ = baseIoData_;
  copy->buttonType = buttonType;
  copy->dataType = dataType;
  copy->sameAsRead = sameAsRead;
  copy->readAddress = readAddress;
  copy->writeAddress = writeAddress;
  copy->presetValue = presetValue;
  copy->readNode_ = readNode_;
  copy->writeNode_ = writeNode_;
  copy->readTask_ = readTask_;
  if (copy->readTask_) copy->readTask_->AddSubscriber();
  copy->readOffset_ = readOffset_;
  copy->writeAddr_ = writeAddr_;
  copy->readAddr_ = readAddr_;
  copy->lastCounter_ = lastCounter_;
  copy->lastValue_ = lastValue_;
  copy->forceRefresh_ = forceRefresh_;
  copy->CopyBase(*this);
  return copy;
}

}  // namespace NsOvrin::NsQlElemIo
