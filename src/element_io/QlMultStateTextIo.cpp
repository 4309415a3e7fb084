#include "element_io/QlMultStateTextIo.h"

#include <limits>

#include "QlDev/DataTypeFlag.h"
#include "term_data/CacheVarBlock.h"
#include "termination/AddrBinder.h"

namespace NsOvrin::NsQlElemIo {
namespace {

using namespace NsQlUiElem;

bool Is16Bit(ValueKind kind) { return kind == kValueInt16 || kind == kValueUInt16; }

// Leading blanks, an optional sign, then the digits up to the first other
// character; no digits give 0. Saturates far beyond 32 bits instead of
// wrapping.
int64_t ParseDecimal(const std::string& text) {
  constexpr int64_t kLimit = int64_t{1} << 40;
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t' || text[i] == '\r' ||
                             text[i] == '\n' || text[i] == '\v' || text[i] == '\f'))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  int64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (value < kLimit) value = value * 10 + (text[i] - '0');
  }
  return negative ? -value : value;
}

int64_t Clamp(int64_t value, int64_t low, int64_t high) {
  return value < low ? low : value > high ? high : value;
}

}  // namespace

QlMultStateTextIo::~QlMultStateTextIo() { NsTermination::ReleaseReadTaskRef(readTask_); }

uint16_t QlMultStateTextIo::DataTypeOfKind(ValueKind kind) {
  switch (kind) {
    case kValueUInt16: return NsTermination::kTypeUInt16;
    case kValueInt32: return NsTermination::kTypeInt32;
    case kValueUInt32: return NsTermination::kTypeUInt32;
    default: return NsTermination::kTypeInt16;
  }
}

bool QlMultStateTextIo::Bind() {
  lastCounter_ = 0;
  forceRefresh = true;
  // No node handle is kept: the read task is all a read needs.
  NsTermination::AddrBinder binder;
  binder.addr = &addr_;
  binder.dataType = DataTypeOfKind(valueKind);
  binder.task = &readTask_;
  binder.offset = &offset_;
  const bool bound = NsTermination::BindAddress(readAddress, binder);
  const bool visible = BindVisibility();
  return bound && visible;
}

bool QlMultStateTextIo::Check(std::string* message) {
  const char* failure = nullptr;
  if (readAddress.empty()) {
    failure = "读地址不能为空!";
  } else if (addr_.count == 0) {
    failure = "读地址异常.";
  } else if (!readTask_) {
    failure = "读地址异常或者不在数据列表中.";
  } else if (!addr_.AcceptsDataType(static_cast<NsTermination::DataTypeFlag>(DataTypeOfKind(valueKind)))) {
    failure = "读地址与数据类型不兼容.";
  } else {
    return CheckVisibility(message);
  }
  if (message != nullptr) *message = failure;
  return false;
}

bool QlMultStateTextIo::ReadState(uint32_t& raw, ValueKind& kind, int32_t& index, bool& changed) {
  if (!readTask_) return false;
  const std::shared_ptr<NsTermination::CacheVarBlock> block = readTask_->GetCacheBlock();
  if (!block) return false;
  // The counter before the value: a reply landing in between is seen again
  // at the next read rather than missed.
  const uint32_t counter = block->GetUpdateCount();
  const ValueKind valueKindNow = valueKind;
  uint32_t value = 0;
  if (Is16Bit(valueKindNow)) {
    value = block->GetWord(offset_);
  } else if (valueKindNow == kValueInt32 || valueKindNow == kValueUInt32) {
    value = block->GetDword(offset_);
  } else {
    return false;
  }

  const uint32_t mask = Is16Bit(valueKindNow) ? 0xFFFFu : 0xFFFFFFFFu;
  int32_t found = -1;
  for (std::size_t i = 0; i < stateValues.size(); ++i) {
    if ((stateValues[i] & mask) == (value & mask)) {
      found = static_cast<int32_t>(i);
      break;
    }
  }

  bool moved = forceRefresh;
  if (!moved && counter != lastCounter_) {
    if (valueKindNow != lastKind_) {
      moved = true;
    } else {
      moved = (value & mask) != (lastValue_ & mask);
    }
  }
  lastCounter_ = counter;
  lastValue_ = value;
  lastKind_ = valueKindNow;
  forceRefresh = false;
  raw = value;
  kind = valueKindNow;
  index = found;
  changed = moved;
  return true;
}

bool QlMultStateTextIo::FindStateByValueText(const std::string& text, int32_t* index) const {
  if (valueKind < kValueInt16 || valueKind > kValueUInt32) return false;
  const int64_t parsed = ParseDecimal(text);
  uint32_t wanted = 0;
  uint32_t mask = 0xFFFFFFFFu;
  if (valueKind == kValueUInt32) {
    // The unsigned kind takes its whole range; a negative text still means
    // its two's complement, as for the signed kinds.
    wanted = static_cast<uint32_t>(Clamp(parsed, std::numeric_limits<int32_t>::min(),
                                         std::numeric_limits<uint32_t>::max()));
  } else {
    wanted = static_cast<uint32_t>(static_cast<int32_t>(
        Clamp(parsed, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max())));
    if (Is16Bit(valueKind)) mask = 0xFFFFu;
  }
  for (std::size_t i = 0; i < stateValues.size(); ++i) {
    if ((stateValues[i] & mask) == (wanted & mask)) {
      if (index != nullptr) *index = static_cast<int32_t>(i);
      return true;
    }
  }
  return false;
}

std::shared_ptr<QlMultStateTextIo> QlMultStateTextIo::Clone() const {
  auto copy = std::make_shared<QlMultStateTextIo>();
  copy->CopyBase(*this);
  copy->baseIoData_ = baseIoData_;
  copy->valueKind = valueKind;
  copy->readAddress = readAddress;
  copy->stateValues = stateValues;
  return copy;
}

}  // namespace NsOvrin::NsQlElemIo
