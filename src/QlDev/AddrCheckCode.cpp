#include "QlDev/AddrCheckCode.h"

namespace NsOvrin::NsTermination {

std::string GetAddrCheckMessage(AddrCheckCode code) {
  switch (code) {
    case kAddrOk: return "正确";
    case kAddrEmpty: return "地址不能为空";
    case kAddrSystemError: return "系统错误";
    case kAddrFormatError: return "格式错误";
    case kAddrBadType: return "地址类型无效";
    case kAddrBadRange: return "起始或者结束地址异常";
    case kAddrBadLength: return "块长度异常";
    case kAddrNoNode: return "没有找到相应的节点";
    case kAddrNotInBlock: return "不在预定义的数据块内";
    case kAddrTypeMismatch: return "数据类型与地址不匹配";
    case kAddrAccessMismatch: return "读写属性与地址不匹配";
  }
  return "未知异常";
}

}  // namespace NsOvrin::NsTermination
