#include "comm_server/SerialParams.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "common/Regex.h"

using namespace NsOvrin::NsCommServer;

namespace {

bool SameFlags(const SerialParams& a, const SerialParams& b) {
  return a.port == b.port && a.baud == b.baud && a.parity == b.parity && a.dataBits == b.dataBits &&
         a.stopBits == b.stopBits;
}

}  // namespace

TEST(SerialParams, DefaultsAndFlagTable) {
  const SerialParams d;
  EXPECT_EQ(d.port, 1u);
  EXPECT_EQ(d.baud, 0x800u);
  EXPECT_EQ(d.parity, 0x400u);
  EXPECT_EQ(d.dataBits, 0x4u);
  EXPECT_EQ(d.stopBits, 0x1u);
  EXPECT_EQ(FormatSerialParamText(d), "com:1;param:9600,e,7,1;");

  const struct { uint32_t baud, flag; } bauds[] = {
      {4800, 0x200}, {9600, 0x800}, {19200, 0x2000}, {38400, 0x4000}, {115200, 0x20000}};
  for (const auto& c : bauds) {
    EXPECT_EQ(BaudFlagOf(c.baud), c.flag) << c.baud;
    EXPECT_EQ(BaudRateOfFlag(c.flag), c.baud) << c.baud;
  }
  const struct { char letter; uint32_t flag; } parities[] = {
      {'n', 0x100}, {'o', 0x200}, {'e', 0x400}, {'m', 0x800}, {'s', 0x1000}};
  for (const auto& c : parities) {
    EXPECT_EQ(ParityFlagOf(c.letter), c.flag) << c.letter;
    EXPECT_EQ(ParityFlagOf(static_cast<char>(c.letter - 'a' + 'A')), c.flag) << c.letter;
    EXPECT_EQ(ParityLetterOfFlag(c.flag), c.letter);
  }
  const struct { uint32_t bits, flag; } data[] = {{5, 0x1}, {6, 0x2}, {7, 0x4}, {8, 0x8}};
  for (const auto& c : data) {
    EXPECT_EQ(DataBitsFlagOf(c.bits), c.flag);
    EXPECT_EQ(DataBitsOfFlag(c.flag), c.bits);
  }
  EXPECT_EQ(StopBitsFlagOf(1), 0x1u);
  EXPECT_EQ(StopBitsFlagOf(2), 0x4u);
  EXPECT_EQ(StopBitsOfFlag(0x4), 2u);
  EXPECT_EQ(StopBitsOfFlag(0x2), 0u);  // 1.5 stop bits is not offered

  EXPECT_EQ(BaudFlagOf(1200), 0u);
  EXPECT_EQ(ParityFlagOf('x'), 0u);
  EXPECT_EQ(ParityLetterOfFlag(0x300), '\0');
  EXPECT_EQ(DataBitsFlagOf(9), 0u);
  EXPECT_EQ(StopBitsFlagOf(3), 0u);
}

TEST(SerialParams, ParseParamText) {
  const struct {
    const char* text;
    bool ok;
    uint32_t port;
    const char* line;
  } cases[] = {
      {"com:12;param:9600,E,8,2;", true, 12, "9600,E,8,2"},
      {"com:2;param:9600,e,7,1;ctrl:xyz;", true, 2, "9600,e,7,1"},
      {"com:2;param:9600,e,7,1;", true, 2, "9600,e,7,1"},
      {"  com:3 ; param : 115200 , n , 8 , 1 ;", true, 3, "115200 , n , 8 , 1"},
      {"com:4;param:4800,m,5,1;ctrl:;", true, 4, "4800,m,5,1"},
      {"com:5;param:38400,S,6,2; anything after", true, 5, "38400,S,6,2"},
      {"com:6;param:19200,o,8,1;ctrl:rts", true, 6, "19200,o,8,1"},  // unfinished ctrl part ignored
      {"com:0;param:9600,e,7,1;", true, 0, "9600,e,7,1"},
      {"com:99999999999;param:9600,e,7,1;", true, UINT32_MAX, "9600,e,7,1"},
      {"COM:1;param:9600,e,7,1;", false, 0, ""},
      {"com:1;PARAM:9600,e,7,1;", false, 0, ""},
      {"com:1;param:1200,e,7,1;", false, 0, ""},
      {"com:1;param:9600,x,7,1;", false, 0, ""},
      {"com:1;param:9600,e,4,1;", false, 0, ""},
      {"com:1;param:9600,e,7,3;", false, 0, ""},
      {"com:1;param:9600,e,7,1", false, 0, ""},
      {"com:1;param:9600,e,7;", false, 0, ""},
      {"x com:1;param:9600,e,7,1;", false, 0, ""},
      {"com:;param:9600,e,7,1;", false, 0, ""},
      {"com:-1;param:9600,e,7,1;", false, 0, ""},
      {"", false, 0, ""},
  };
  for (const auto& c : cases) {
    SerialParams s;
    s.port = 77;
    std::string line = "untouched";
    EXPECT_EQ(ParseSerialParamText(c.text, s, line), c.ok) << c.text;
    EXPECT_EQ(s.port, c.ok ? c.port : 77u) << c.text;
    EXPECT_EQ(line, c.ok ? std::string(c.line) : std::string("untouched")) << c.text;
    // Only the port is taken; the line text is parsed separately.
    EXPECT_EQ(s.baud, SerialParams{}.baud) << c.text;
  }
}

// The port and line text are those of the full pattern with its optional
// flow-control part, on texts near the accepted ones and on a control part
// with long runs of blanks.
TEST(SerialParams, ParseTextAgreesWithThePatternWithItsControlPart) {
  const char* const full =
      R"(^\s*com:(\d+)\s*;\s*param\s*:\s*((4800|9600|19200|38400|115200)\s*,\s*[neomsNEOMS]\s*,\s*[5-8]\s*,\s*[12])\s*;(\s*ctrl\s*:\s*(.*?)?\s*;)?)";
  const std::string blanks(40000, ' ');
  std::vector<std::string> texts = {
      "com:1;param:9600,n,8,1;ctrl:a" + blanks + "b;",
      "com:1;param:9600,n,8,1;ctrl:a" + blanks + "b",
      "com:1;param:9600,n,8,1;" + blanks + "ctrl:" + blanks + ";",
      "com:1;param:9600,n,8,1" + blanks + ";",
  };
  const std::string pieces[] = {" ", ";", ":", ",", "\n", "1", "9600", "n", "ctrl", "x", ""};
  const std::string samples[] = {"com:2;param:9600,e,7,1;ctrl:xyz;", " com:3 ; param : 4800,m,5,2 ;"};
  std::mt19937 random(15);
  for (int round = 0; round < 3000; ++round) {
    std::string text = samples[round % 2];
    for (int n = round % 4; n > 0; --n) {
      const std::size_t at = random() % (text.size() + 1);
      const std::string& piece = pieces[random() % std::size(pieces)];
      if (at < text.size() && random() % 2 == 0)
        text.replace(at, 1, piece);
      else
        text.insert(at, piece);
    }
    texts.push_back(text);
  }
  int accepted = 0;
  for (const std::string& text : texts) {
    NsOvrin::RegexQuery q;
    q.subject = text;
    const bool expected = NsOvrin::RegexSearch(full, q);
    SerialParams s;
    s.port = 77;
    std::string line = "untouched";
    ASSERT_EQ(ParseSerialParamText(text, s, line), expected) << text.substr(0, 60);
    if (!expected) continue;
    ++accepted;
    EXPECT_EQ(line, q.Group(2)) << text.substr(0, 60);
    EXPECT_EQ(std::to_string(s.port), q.Group(1)) << text.substr(0, 60);
  }
  EXPECT_GT(accepted, 100);
  // The control part with long blanks does not stop the text being read.
  SerialParams s;
  std::string line;
  ASSERT_TRUE(ParseSerialParamText(texts[0], s, line));
  EXPECT_EQ(line, "9600,n,8,1");
}

TEST(SerialParams, ParseLineText) {
  const struct {
    const char* line;
    bool ok;
    uint32_t baud, parity, dataBits, stopBits;
  } cases[] = {
      {"9600,E,8,2", true, kBaud9600, kParityEven, kDataBits8, kStopBits2},
      {"4800,n,5,1", true, kBaud4800, kParityNone, kDataBits5, kStopBits1},
      {"19200 , O , 6 , 2", true, kBaud19200, kParityOdd, kDataBits6, kStopBits2},
      {"38400,M,7,1", true, kBaud38400, kParityMark, kDataBits7, kStopBits1},
      {"115200,s,8,1", true, kBaud115200, kParitySpace, kDataBits8, kStopBits1},
      {"speed 9600,o,8,1 here", true, kBaud9600, kParityOdd, kDataBits8, kStopBits1},
      {"1200,e,7,1", false, 0, 0, 0, 0},
      {"9600,e,9,1", false, 0, 0, 0, 0},
      {"9600;e;7;1", false, 0, 0, 0, 0},
      {"", false, 0, 0, 0, 0},
  };
  for (const auto& c : cases) {
    SerialParams s;
    s.baud = 0xDEAD;
    const bool ok = ParseSerialLineText(s, c.line);
    EXPECT_EQ(ok, c.ok) << c.line;
    if (ok) {
      EXPECT_EQ(s.baud, c.baud) << c.line;
      EXPECT_EQ(s.parity, c.parity) << c.line;
      EXPECT_EQ(s.dataBits, c.dataBits) << c.line;
      EXPECT_EQ(s.stopBits, c.stopBits) << c.line;
    } else {
      SerialParams expected;
      expected.baud = 0xDEAD;
      EXPECT_TRUE(SameFlags(s, expected)) << c.line;
    }
  }
}

TEST(SerialParams, SetSerialFlagsStopsAtTheFirstValueOutsideItsTable) {
  const struct {
    uint32_t baud;
    char parity;
    uint32_t data, stop;
    bool ok;
    SerialParams expected;
  } cases[] = {
      {19200, 'O', 8, 2, true, {1, kBaud19200, kParityOdd, kDataBits8, kStopBits2}},
      {1200, 'o', 8, 2, false, {}},
      {19200, 'x', 8, 2, false, {1, kBaud19200, kParityEven, kDataBits7, kStopBits1}},
      {19200, 'n', 9, 2, false, {1, kBaud19200, kParityNone, kDataBits7, kStopBits1}},
      {19200, 'n', 8, 0, false, {1, kBaud19200, kParityNone, kDataBits8, kStopBits1}},
  };
  for (const auto& c : cases) {
    SerialParams s;
    EXPECT_EQ(SetSerialFlags(s, c.baud, c.parity, c.data, c.stop), c.ok) << c.baud << c.parity;
    EXPECT_TRUE(SameFlags(s, c.expected)) << c.baud << c.parity << c.data << c.stop;
  }
}

TEST(SerialParams, FormatWritesLowerCaseParityAndNoCtrlPart) {
  const struct {
    SerialParams s;
    const char* text;
  } cases[] = {
      {{12, kBaud9600, kParityEven, kDataBits8, kStopBits2}, "com:12;param:9600,e,8,2;"},
      {{3, kBaud115200, kParityMark, kDataBits5, kStopBits1}, "com:3;param:115200,m,5,1;"},
      {{256, kBaud4800, kParitySpace, kDataBits6, kStopBits2}, "com:256;param:4800,s,6,2;"},
      {{UINT32_MAX, kBaud38400, kParityNone, kDataBits8, kStopBits1}, "com:4294967295;param:38400,n,8,1;"},
      // Flags outside the tables are written as the defaults.
      {{7, 0x1, 0x3, 0x10, 0x2}, "com:7;param:9600,e,7,1;"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatSerialParamText(c.s), c.text);
}

TEST(SerialParams, EverySettingReadsBackAsWritten) {
  const uint32_t bauds[] = {kBaud4800, kBaud9600, kBaud19200, kBaud38400, kBaud115200};
  const uint32_t parities[] = {kParityNone, kParityOdd, kParityEven, kParityMark, kParitySpace};
  const uint32_t data[] = {kDataBits5, kDataBits6, kDataBits7, kDataBits8};
  const uint32_t stops[] = {kStopBits1, kStopBits2};
  uint32_t port = 1;
  for (uint32_t b : bauds)
    for (uint32_t p : parities)
      for (uint32_t d : data)
        for (uint32_t st : stops) {
          const SerialParams s{port++, b, p, d, st};
          const std::string text = FormatSerialParamText(s);
          SerialParams back{0, 0, 0, 0, 0};
          std::string line;
          ASSERT_TRUE(ParseSerialParamText(text, back, line)) << text;
          ASSERT_TRUE(ParseSerialLineText(back, line)) << text;
          EXPECT_TRUE(SameFlags(back, s)) << text;
        }
}
