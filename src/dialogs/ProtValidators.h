#pragma once
// Checks of a value typed for a data type: the rule "预设值" with one range
// segment. On failure message is "[预设值] <reason>".
#include <string>

namespace NsOvrin {

// -32768..32767
bool ValidateInt16Value(const std::string& text, std::string& message);
// 0..65535, digits only
bool ValidateUInt16Value(const std::string& text, std::string& message);
// The signed 32-bit range.
bool ValidateInt32Value(const std::string& text, std::string& message);
// Digits only, any unsigned 32-bit number.
bool ValidateUInt32Value(const std::string& text, std::string& message);

}  // namespace NsOvrin
