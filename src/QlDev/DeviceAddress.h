#pragma once
// Device address texts: node name, a dot, and an address in the node's syntax
// (PLC1.D100, PLC1.4x[00000~00009]), and the matchers that read an address.
#include <cstdint>
#include <string>

#include "QlDev/MemArea.h"

namespace NsOvrin::NsTermination {

// "node.address"; empty unless both parts are non-empty.
std::string JoinDeviceAddress(const std::string& node, const std::string& address);

// The node name ends at the first dot; the address runs to the end less
// trailing blanks. False, outputs untouched, when the text holds no dot.
bool SplitDeviceAddress(const std::string& text, std::string& node, std::string& address);

// Searches the text with a range pattern: group 1 prefix, groups 2 and 3 the
// first and last number. Numbers saturate at UINT32_MAX. Outputs untouched
// on no match.
bool MatchRangeForm(const std::string& text, const std::string& pattern, std::string& prefix,
                    uint32_t& first, uint32_t& last);

// Group 1 prefix, group 2 number; a fourth group that matched text is the bit
// number, else bit is -1.
bool MatchSingleForm(const std::string& text, const std::string& pattern, std::string& prefix,
                     uint32_t& number, int32_t& bit);

// Empty for an empty prefix or count 0; "M5" for one unit; "X[10~17]" for a
// run, the last number from lastAddress when given, else start + count - 1.
std::string FormatAddressText(const std::string& prefix, uint32_t start, uint16_t count,
                              LastAddressFn lastAddress);

}  // namespace NsOvrin::NsTermination
