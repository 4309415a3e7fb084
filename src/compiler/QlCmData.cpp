#include "compiler/QlCmData.h"

#include <string>
#include <string_view>

#include "platform/Format.h"

namespace NsOvrin::NsQlCompiler {
namespace {

using NsPlatform::StrFormat;
using NsTermination::kTypeBit;
using NsTermination::kTypeInt16;
using NsTermination::kTypeInt32;
using NsTermination::kTypeString;
using NsTermination::kTypeUInt16;
using NsTermination::kTypeUInt32;

constexpr const char* kBadAccess = "系统异常, 异常的存取类型.";
constexpr const char* kBadType = "系统异常, 异常的数据类型.";

bool IsNumberType(DataTypeFlag type) {
  return type == kTypeInt16 || type == kTypeUInt16 || type == kTypeInt32 || type == kTypeUInt32;
}

bool Refuse(std::string* message, std::string text) {
  if (message != nullptr) *message = std::move(text);
  return false;
}

}  // namespace

std::string QlCmInt::ToString() const { return std::to_string(value); }

bool QlCmInt::CheckUsage(DataTypeFlag type, uint32_t access, std::string* message) const {
  const auto asUnsigned = static_cast<uint32_t>(value);
  if (type == kTypeBit) return Refuse(message, StrFormat("%u 不能作为点位处理.", asUnsigned));
  if (IsNumberType(type)) {
    if (access == kAccessRead) return true;
    if (access == kAccessWrite || access == kAccessReadWrite)
      return Refuse(message, StrFormat("%d 不能作为输出.", value));
    return Refuse(message, kBadAccess);
  }
  if (type == kTypeString) return Refuse(message, StrFormat("%u 不能作为字符串处理.", asUnsigned));
  return Refuse(message, kBadType);
}

std::string QlCmUInt::ToString() const { return std::to_string(static_cast<uint32_t>(value)); }

bool QlCmUInt::CheckUsage(DataTypeFlag type, uint32_t access, std::string* message) const {
  const auto asUnsigned = static_cast<uint32_t>(value);
  if (type == kTypeBit || IsNumberType(type)) {
    if (access == kAccessRead) return true;
    if (access == kAccessWrite || access == kAccessReadWrite)
      return Refuse(message, StrFormat("%u 不能作为输出.", asUnsigned));
    return Refuse(message, kBadAccess);
  }
  if (type == kTypeString) return Refuse(message, StrFormat("%u 不能作为字符串处理.", asUnsigned));
  return Refuse(message, kBadType);
}

bool ParseIntOperand(const std::string& token, std::shared_ptr<QlCmData>& operand) {
  // An optional sign and ASCII digits, nothing else: ^([+-])?(\d+)$ without
  // the search, which every move instruction of a project goes through.
  const std::string_view text = token;
  const bool hasSign = !text.empty() && (text.front() == '+' || text.front() == '-');
  const std::string_view digits = text.substr(hasSign ? 1 : 0);
  if (digits.empty()) return false;
  for (const char c : digits)
    if (c < '0' || c > '9') return false;
  const bool negative = hasSign && text.front() == '-';
  // Saturates like a 32-bit strtol instead of wrapping.
  const uint64_t magnitude = NsPlatform::ParseDecimalU64Saturating(digits);
  int32_t literal;
  if (negative)
    literal = magnitude >= 2147483648u ? INT32_MIN : -static_cast<int32_t>(magnitude);
  else
    literal = magnitude >= 2147483647u ? INT32_MAX : static_cast<int32_t>(magnitude);
  if (negative)
    operand = std::make_shared<QlCmInt>(literal);
  else
    operand = std::make_shared<QlCmUInt>(literal);
  return true;
}

}  // namespace NsOvrin::NsQlCompiler
