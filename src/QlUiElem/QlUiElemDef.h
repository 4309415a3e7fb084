#pragma once
// Element type codes with their file and display names, and the kinds of a
// number read from a device with their names and value texts.
#include <cstdint>
#include <string>
#include <string_view>

namespace NsOvrin::NsQlUiElem {

// Element type code; page files store its English name.
using QlElemType = int32_t;

inline constexpr QlElemType kElemNone = 0;
inline constexpr QlElemType kElemText = 1;
inline constexpr QlElemType kElemNumber = 2;
inline constexpr QlElemType kElemString = 3;
inline constexpr QlElemType kElemButton = 4;
inline constexpr QlElemType kElemPageTo = 5;
inline constexpr QlElemType kElemPanel = 6;
inline constexpr QlElemType kElemPicture = 7;
inline constexpr QlElemType kElemNavBar = 8;
inline constexpr QlElemType kElemAlarmList = 9;
inline constexpr QlElemType kElemMultiStateLabel = 10;
inline constexpr QlElemType kElemAlarmHist = 11;
inline constexpr QlElemType kElemBtnLogin = 12;
inline constexpr QlElemType kElemMultFunc = 13;
inline constexpr QlElemType kElemOVTable = 14;

// Kind of a number read from a device. A raw value is held in 32 bits; the
// 16-bit kinds use only its low half.
using ValueKind = int32_t;

inline constexpr ValueKind kValueNone = 0;
inline constexpr ValueKind kValueInt16 = 1;
inline constexpr ValueKind kValueUInt16 = 2;
inline constexpr ValueKind kValueInt32 = 3;
inline constexpr ValueKind kValueUInt32 = 4;

// The English name; another code is logged and gives the decimal text of
// its low 16 bits.
std::string ElemTypeToName(QlElemType code);
// Exact, case-sensitive. An unknown name is logged and leaves code as it was.
bool ElemTypeFromName(const std::string& name, QlElemType& code);
// The same without the log record.
bool FindElemType(std::string_view name, QlElemType& code);
// The name messages and the error report show; another code as
// ElemTypeToName.
std::string ElemTypeToDisplayName(QlElemType code);

// "-- ? --" for a kind outside 1-4.
std::string GetValueKindName(ValueKind kind);
// The canonical text of a raw value read as the kind; "--?--" for an
// unknown kind.
std::string FormatValueOfKind(ValueKind kind, uint32_t raw);

}  // namespace NsOvrin::NsQlUiElem
