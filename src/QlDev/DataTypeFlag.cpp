#include "QlDev/DataTypeFlag.h"

namespace NsOvrin::NsTermination {

std::string GetDataTypeName(DataTypeFlag type) {
  switch (type) {
    case kTypeBit: return "Bit";
    case kTypeInt16: return "有符号 WORD(16bits)";
    case kTypeUInt16: return "无符号 WORD(16bits)";
    case kTypeInt32: return "有符号 DWORD(32bits)";
    case kTypeUInt32: return "无符号 DWORD(32bits)";
    case kTypeString: return "字符串";
  }
  return {};
}

}  // namespace NsOvrin::NsTermination
