#include "comm_server/SerialParams.h"

#include <array>
#include <utility>

#include "common/Regex.h"
#include "platform/Format.h"

namespace NsOvrin::NsCommServer {
namespace {

using Pair = std::pair<uint32_t, uint32_t>;  // {value, flag}

constexpr std::array<Pair, 5> kBauds{{{4800, kBaud4800},
                                      {9600, kBaud9600},
                                      {19200, kBaud19200},
                                      {38400, kBaud38400},
                                      {115200, kBaud115200}}};
constexpr std::array<Pair, 5> kParities{{{'n', kParityNone},
                                         {'o', kParityOdd},
                                         {'e', kParityEven},
                                         {'m', kParityMark},
                                         {'s', kParitySpace}}};
constexpr std::array<Pair, 4> kDataBits{{{5, kDataBits5}, {6, kDataBits6}, {7, kDataBits7}, {8, kDataBits8}}};
constexpr std::array<Pair, 2> kStopBits{{{1, kStopBits1}, {2, kStopBits2}}};

template <std::size_t N>
uint32_t FlagOf(const std::array<Pair, N>& table, uint32_t value) {
  for (const auto& [v, f] : table)
    if (v == value) return f;
  return 0;
}

template <std::size_t N>
uint32_t ValueOf(const std::array<Pair, N>& table, uint32_t flag) {
  for (const auto& [v, f] : table)
    if (f == flag) return v;
  return 0;
}

uint32_t Digits(const RegexQuery& q, std::size_t group) {
  return NsPlatform::ParseDecimalU32Saturating(q.Group(group));
}

}  // namespace

uint32_t BaudFlagOf(uint32_t baud) { return FlagOf(kBauds, baud); }
uint32_t BaudRateOfFlag(uint32_t flag) { return ValueOf(kBauds, flag); }

uint32_t ParityFlagOf(char letter) {
  if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
  return FlagOf(kParities, static_cast<unsigned char>(letter));
}

char ParityLetterOfFlag(uint32_t flag) { return static_cast<char>(ValueOf(kParities, flag)); }

uint32_t DataBitsFlagOf(uint32_t bits) { return FlagOf(kDataBits, bits); }
uint32_t DataBitsOfFlag(uint32_t flag) { return ValueOf(kDataBits, flag); }
uint32_t StopBitsFlagOf(uint32_t bits) { return FlagOf(kStopBits, bits); }
uint32_t StopBitsOfFlag(uint32_t flag) { return ValueOf(kStopBits, flag); }

bool ParseSerialParamText(const std::string& text, SerialParams& settings, std::string& lineText) {
  RegexQuery q;
  q.subject = text;
  // The flow-control part that may follow, "ctrl: text;", is accepted and not
  // used: it changes neither the result nor the groups read, so it is not
  // searched (its lazy text before blanks backtracks over long texts).
  if (!RegexSearch(
          R"(^\s*com:(\d+)\s*;\s*param\s*:\s*((4800|9600|19200|38400|115200)\s*,\s*[neomsNEOMS]\s*,\s*[5-8]\s*,\s*[12])\s*;)",
          q))
    return false;
  settings.port = Digits(q, 1);
  lineText = q.Group(2);
  return true;
}

bool ParseSerialLineText(SerialParams& settings, const std::string& lineText) {
  RegexQuery q;
  q.subject = lineText;
  if (!RegexSearch(
          R"((4800|9600|19200|38400|115200)\s*,\s*([neomsNEOMS])\s*,\s*([5-8])\s*,\s*([12]))", q))
    return false;
  return SetSerialFlags(settings, Digits(q, 1), q.Group(2)[0], Digits(q, 3), Digits(q, 4));
}

bool SetSerialFlags(SerialParams& settings, uint32_t baud, char parity, uint32_t dataBits,
                    uint32_t stopBits) {
  const uint32_t b = BaudFlagOf(baud);
  if (b == 0) return false;
  settings.baud = b;
  const uint32_t p = ParityFlagOf(parity);
  if (p == 0) return false;
  settings.parity = p;
  const uint32_t d = DataBitsFlagOf(dataBits);
  if (d == 0) return false;
  settings.dataBits = d;
  const uint32_t s = StopBitsFlagOf(stopBits);
  if (s == 0) return false;
  settings.stopBits = s;
  return true;
}

std::string FormatSerialParamText(const SerialParams& settings) {
  const SerialParams def;
  uint32_t baud = BaudRateOfFlag(settings.baud);
  if (baud == 0) baud = BaudRateOfFlag(def.baud);
  char parity = ParityLetterOfFlag(settings.parity);
  if (parity == '\0') parity = ParityLetterOfFlag(def.parity);
  uint32_t data = DataBitsOfFlag(settings.dataBits);
  if (data == 0) data = DataBitsOfFlag(def.dataBits);
  uint32_t stop = StopBitsOfFlag(settings.stopBits);
  if (stop == 0) stop = StopBitsOfFlag(def.stopBits);
  const std::string line = NsPlatform::StrFormat("%u,%c,%u,%u", baud, parity, data, stop);
  // Unsigned, so that every stored port number reads back.
  return NsPlatform::StrFormat("com:%u;param:%s;", settings.port, line.c_str());
}

}  // namespace NsOvrin::NsCommServer
