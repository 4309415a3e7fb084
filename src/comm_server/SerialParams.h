#pragma once
// Line settings of a serial channel, kept as COMMPROP flag values, and their
// persisted text "com:%d;param:%s;".
#include <cstdint>
#include <string>

namespace NsOvrin::NsCommServer {

// COMMPROP flag values.
inline constexpr uint32_t kBaud4800 = 0x200;
inline constexpr uint32_t kBaud9600 = 0x800;
inline constexpr uint32_t kBaud19200 = 0x2000;
inline constexpr uint32_t kBaud38400 = 0x4000;
inline constexpr uint32_t kBaud115200 = 0x20000;
inline constexpr uint32_t kParityNone = 0x100;
inline constexpr uint32_t kParityOdd = 0x200;
inline constexpr uint32_t kParityEven = 0x400;
inline constexpr uint32_t kParityMark = 0x800;
inline constexpr uint32_t kParitySpace = 0x1000;
inline constexpr uint32_t kDataBits5 = 0x1;
inline constexpr uint32_t kDataBits6 = 0x2;
inline constexpr uint32_t kDataBits7 = 0x4;
inline constexpr uint32_t kDataBits8 = 0x8;
inline constexpr uint32_t kStopBits1 = 0x1;
inline constexpr uint32_t kStopBits2 = 0x4;

struct SerialParams {
  uint32_t port = 1;
  uint32_t baud = kBaud9600;
  uint32_t parity = kParityEven;
  uint32_t dataBits = kDataBits7;
  uint32_t stopBits = kStopBits1;
};

// Number <-> flag. A value outside the table gives 0 (for the parity letter: '\0').
uint32_t BaudFlagOf(uint32_t baud);
uint32_t BaudRateOfFlag(uint32_t flag);
uint32_t ParityFlagOf(char letter);  // letters n/o/e/m/s, either case
char ParityLetterOfFlag(uint32_t flag);  // lower case
uint32_t DataBitsFlagOf(uint32_t bits);
uint32_t DataBitsOfFlag(uint32_t flag);
uint32_t StopBitsFlagOf(uint32_t bits);
uint32_t StopBitsOfFlag(uint32_t flag);

// "com:N;param:<line text>;[ctrl:...;]": sets the port and hands back the
// line text; false (nothing changed) when the text does not match.
bool ParseSerialParamText(const std::string& text, SerialParams& settings, std::string& lineText);

// "baud,parity,data,stop": false (nothing changed) when it does not match.
bool ParseSerialLineText(SerialParams& settings, const std::string& lineText);

// Stores baud, parity, data bits and stop bits in this order; a value outside
// its table stops there with false, the fields before it already stored.
bool SetSerialFlags(SerialParams& settings, uint32_t baud, char parity, uint32_t dataBits,
                    uint32_t stopBits);

// "com:%d;param:%d,%c,%d,%d;". A flag outside its table is written as the
// default setting's value, which is also what reading the text back would give.
std::string FormatSerialParamText(const SerialParams& settings);

}  // namespace NsOvrin::NsCommServer
