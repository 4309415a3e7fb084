#include "common/ValueCodec.h"

#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

using namespace NsOvrin;
using namespace NsOvrin::NsOBuffHelper;
using namespace NsOvrin::Internal;

namespace {

const V2Bin_1234 kBin1234;
const V2Bin_3412 kBin3412;
const V2Bin_4321 kBin4321;
const V2HexStr_1234 kHex1234;
const V2HexStr_3412 kHex3412;
const V2HexStr_4321 kHex4321;
const V2HexStr_2143 kHex2143;

struct NamedWriter {
  const char* name;
  const V2* writer;
  bool hex;
};

const NamedWriter kWriters[] = {
    {"Bin_1234", &kBin1234, false},    {"Bin_3412", &kBin3412, false},    {"Bin_4321", &kBin4321, false},
    {"HexStr_1234", &kHex1234, true},  {"HexStr_3412", &kHex3412, true},  {"HexStr_4321", &kHex4321, true},
    {"HexStr_2143", &kHex2143, true},
};

bool Write(const V2& w, int width, uint64_t v, uint8_t* buf, int32_t cap, int32_t& cursor) {
  switch (width) {
    case 8: return w.Write8(static_cast<uint8_t>(v), buf, cap, cursor);
    case 16: return w.Write16(static_cast<uint16_t>(v), buf, cap, cursor);
    case 32: return w.Write32(static_cast<uint32_t>(v), buf, cap, cursor);
    default: return w.Write64(v, buf, cap, cursor);
  }
}

bool Read(const ToV& r, int width, const uint8_t* data, uint32_t length, uint32_t& cursor, uint64_t& out) {
  bool ok = false;
  switch (width) {
    case 8: {
      uint8_t v = static_cast<uint8_t>(out);
      ok = r.ReadU8(data, length, cursor, v);
      out = v;
      break;
    }
    case 16: {
      uint16_t v = static_cast<uint16_t>(out);
      ok = r.ReadU16(data, length, cursor, v);
      out = v;
      break;
    }
    case 32: {
      uint32_t v = static_cast<uint32_t>(out);
      ok = r.ReadU32(data, length, cursor, v);
      out = v;
      break;
    }
    default: ok = r.ReadU64(data, length, cursor, out); break;
  }
  return ok;
}

const uint8_t* Bytes(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }

}  // namespace

// Every writer and width: the exact bytes at the cursor, nothing around them.
TEST(ValueCodecWriters, OrdersOfEveryWidth) {
  struct Case {
    const V2* writer;
    int width;
    uint64_t value;
    std::string expected;  // empty: the width has no form in this order
  };
  const Case cases[] = {
      {&kBin1234, 8, 0xAB, "\xAB"},
      {&kBin1234, 16, 0x1234, "\x12\x34"},
      {&kBin1234, 32, 0x12345678, "\x12\x34\x56\x78"},
      {&kBin1234, 64, 0x0102030405060708, "\x01\x02\x03\x04\x05\x06\x07\x08"},
      {&kBin3412, 8, 0xAB, "\xAB"},
      {&kBin3412, 16, 0x1234, "\x12\x34"},
      {&kBin3412, 32, 0x12345678, "\x56\x78\x12\x34"},
      {&kBin3412, 64, 0x0102030405060708, ""},
      {&kBin4321, 8, 0xAB, "\xAB"},
      {&kBin4321, 16, 0x1234, "\x34\x12"},
      {&kBin4321, 32, 0x12345678, "\x78\x56\x34\x12"},
      {&kBin4321, 64, 0x0102030405060708, ""},
      {&kHex1234, 8, 0xAB, "AB"},
      {&kHex1234, 8, 0x09, "09"},
      {&kHex1234, 16, 0x1234, "1234"},
      {&kHex1234, 32, 0x12345678, "12345678"},
      {&kHex1234, 64, 0x0123456789ABCDEF, "0123456789ABCDEF"},
      {&kHex3412, 8, 0xF0, "F0"},
      {&kHex3412, 16, 0x1234, "1234"},
      {&kHex3412, 32, 0x12345678, "56781234"},
      {&kHex3412, 64, 1, ""},
      {&kHex4321, 8, 0x5C, "5C"},
      {&kHex4321, 16, 0x1234, "3412"},
      {&kHex4321, 32, 0x12345678, "34127856"},
      {&kHex4321, 64, 1, ""},
      {&kHex2143, 8, 0xE7, "E7"},
      {&kHex2143, 16, 0x1234, "3412"},
      {&kHex2143, 32, 0x12345678, "78563412"},
      {&kHex2143, 32, 0xFEDCBA90, "90BADCFE"},
      {&kHex2143, 64, 1, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "width " << c.width << " value 0x" << std::hex << c.value << " -> "
                                    << c.expected);
    std::array<uint8_t, 32> buf;
    buf.fill(0xEE);
    int32_t cursor = 3;
    const bool ok = Write(*c.writer, c.width, c.value, buf.data(), static_cast<int32_t>(buf.size()), cursor);
    std::string written(reinterpret_cast<const char*>(buf.data()) + 3, c.expected.size());
    if (c.expected.empty()) {
      EXPECT_FALSE(ok);
      EXPECT_EQ(cursor, 3);
    } else {
      EXPECT_TRUE(ok);
      EXPECT_EQ(cursor, 3 + static_cast<int32_t>(c.expected.size()));
      EXPECT_EQ(written, c.expected);
    }
    for (size_t i = 0; i < buf.size(); ++i) {
      if (i < 3 || i >= 3 + c.expected.size()) {
        EXPECT_EQ(buf[i], 0xEE) << "byte " << i;
      }
    }
  }
}

// A write needs cursor + n (raw) or cursor + 2n (hex) <= capacity; short of
// that it writes nothing, whatever the writer and width.
TEST(ValueCodecWriters, CapacityRuleExactFitAndOneShort) {
  for (const NamedWriter& nw : kWriters) {
    for (int width : {8, 16, 32, 64}) {
      SCOPED_TRACE(testing::Message() << nw.name << " width " << width);
      const int32_t need = width / 8 * (nw.hex ? 2 : 1);
      std::array<uint8_t, 24> buf;
      int32_t cursor = 2;
      buf.fill(0xEE);
      if (!Write(*nw.writer, width, 0x1122334455667788, buf.data(), 2 + need, cursor)) {
        // Only the 64-bit forms of the word-swapping and little-endian orders are missing.
        EXPECT_EQ(width, 64);
        EXPECT_TRUE(nw.writer != &kBin1234 && nw.writer != &kHex1234);
        continue;
      }
      EXPECT_EQ(cursor, 2 + need);

      cursor = 2;
      buf.fill(0xEE);
      EXPECT_FALSE(Write(*nw.writer, width, 0x1122334455667788, buf.data(), 2 + need - 1, cursor));
      EXPECT_EQ(cursor, 2);
      for (uint8_t b : buf) EXPECT_EQ(b, 0xEE);
    }
  }
}

TEST(ValueCodecWriters, HexSixteenBitWithThreeCharactersLeft) {
  uint8_t buf[8] = {'.', '.', '.', '.', '.', '.', '.', '.'};
  int32_t cursor = 5;
  EXPECT_FALSE(kHex1234.Write16(0x1234, buf, 8, cursor));
  EXPECT_EQ(cursor, 5);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 8), "........");
}

// Cursors and buffers a careless caller may hand over: no write, no wrap.
TEST(ValueCodecWriters, BadCursorOrBufferWritesNothing) {
  uint8_t buf[4] = {};
  int32_t negative = -1;
  EXPECT_FALSE(kBin1234.Write8(1, buf, 4, negative));
  EXPECT_EQ(negative, -1);

  // cursor + 2 does not fit 32 bits; the capacity would seem large enough.
  int32_t high = INT32_MAX - 1;
  EXPECT_FALSE(kHex1234.Write8(1, buf, INT32_MAX, high));
  EXPECT_EQ(high, INT32_MAX - 1);

  int32_t cursor = 0;
  EXPECT_FALSE(kBin3412.Write16(1, nullptr, 16, cursor));
  EXPECT_EQ(cursor, 0);
  EXPECT_FALSE(kBin3412.Write16(1, buf, -4, cursor));
}

// Every reader and width: value read, characters consumed, or no form.
TEST(ValueCodecReaders, OrdersOfEveryWidth) {
  bool flag = false;
  const ToV_Bin_1234 bin1234(&flag);
  const ToV_Bin_3412 bin3412(&flag);
  const ToV_Bin_4321 bin4321(&flag);
  const ToV_HexStr_1234 hex1234(&flag);
  const ToV_HexStr_3412 hex3412(&flag);
  const ToV_HexStr_4321 hex4321(&flag);
  struct Case {
    const ToV* reader;
    int width;
    std::string input;
    bool supported;
    uint64_t expected;
    uint32_t consumed;
  };
  const Case cases[] = {
      {&bin1234, 8, "\xAB", true, 0xAB, 1},
      {&bin1234, 16, "\x12\x34", true, 0x1234, 2},
      {&bin1234, 32, "\x12\x34\x56\x78", true, 0x12345678, 4},
      {&bin1234, 64, "\x01\x02\x03\x04\x05\x06\x07\x08", true, 0x0102030405060708, 8},
      {&bin3412, 8, "\x80", true, 0x80, 1},
      {&bin3412, 16, "\x12\x34", true, 0x1234, 2},
      {&bin3412, 32, "\x56\x78\x12\x34", true, 0x12345678, 4},
      {&bin3412, 64, "\x01\x02\x03\x04\x05\x06\x07\x08", false, 0, 0},
      {&bin4321, 8, "\x7F", true, 0x7F, 1},
      {&bin4321, 16, "\x34\x12", true, 0x1234, 2},
      {&bin4321, 32, "\x78\x56\x34\x12", true, 0x12345678, 4},
      {&bin4321, 64, "\x01\x02\x03\x04\x05\x06\x07\x08", false, 0, 0},
      {&hex1234, 8, "aB", true, 0xAB, 2},
      {&hex1234, 16, "1234", true, 0x1234, 4},
      {&hex1234, 32, "12345678", false, 0, 0},
      {&hex1234, 64, "0123456789ABCDEF", false, 0, 0},
      {&hex3412, 8, "f0", true, 0xF0, 2},
      {&hex3412, 16, "12Cd", true, 0x12CD, 4},
      {&hex3412, 32, "56781234", false, 0, 0},
      {&hex3412, 64, "0123456789ABCDEF", false, 0, 0},
      {&hex4321, 8, "zz", true, 0x00, 2},
      {&hex4321, 8, "G1", true, 0x01, 2},
      {&hex4321, 8, "9:", true, 0x90, 2},
      {&hex4321, 16, "3412", true, 0x1234, 4},
      {&hex4321, 16, "fFeE", true, 0xEEFF, 4},
      {&hex4321, 32, "78563412", true, 0x12345678, 8},
      {&hex4321, 64, "0123456789ABCDEF", false, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "width " << c.width << " input " << c.input);
    // The value sits behind two bytes of something else.
    const std::string input = "##" + c.input;
    uint32_t cursor = 2;
    uint64_t out = 0x5A5A;
    const bool ok = Read(*c.reader, c.width, Bytes(input), static_cast<uint32_t>(input.size()), cursor, out);
    EXPECT_EQ(ok, c.supported);
    EXPECT_FALSE(flag);  // neither success nor a missing form touch the flag
    if (c.supported) {
      EXPECT_EQ(out, c.expected);
      EXPECT_EQ(cursor, 2 + c.consumed);
    } else {
      EXPECT_EQ(out, 0x5A5Au);
      EXPECT_EQ(cursor, 2u);
    }
  }
}

// The reader rules in order: no flag or a set flag reads nothing; a short
// input sets the flag; the output and cursor move only on success.
TEST(ValueCodecReaders, FlagAndShortInputRules) {
  const std::string twoBytes = "\x12\x34";
  const std::string hex = "3412";
  {
    const ToV_Bin_1234 noFlag;
    uint32_t cursor = 0;
    uint16_t out = 7;
    EXPECT_FALSE(noFlag.ReadU16(Bytes(twoBytes), 2, cursor, out));
    EXPECT_EQ(out, 7);
    EXPECT_EQ(cursor, 0u);
  }
  {
    bool flag = true;
    const ToV_HexStr_4321 r(&flag);
    uint32_t cursor = 0;
    uint16_t out = 7;
    EXPECT_FALSE(r.ReadU16(Bytes(hex), 4, cursor, out));
    EXPECT_EQ(out, 7);
    EXPECT_EQ(cursor, 0u);
  }
  struct ShortCase {
    const char* what;
    const uint8_t* data;
    uint32_t length;
    uint32_t cursor;
    bool hexReader;
  };
  const ShortCase cases[] = {
      {"raw, one byte short", Bytes(twoBytes), 1, 0, false},
      {"raw, cursor at the end", Bytes(twoBytes), 2, 2, false},
      {"raw, cursor past the end", Bytes(twoBytes), 2, 5, false},
      {"raw, cursor about to wrap", Bytes(twoBytes), 2, UINT32_MAX, false},
      {"raw, no data", nullptr, 100, 0, false},
      {"hex, three characters", Bytes(hex), 3, 0, true},
      {"hex, cursor one in", Bytes(hex), 4, 1, true},
      {"hex, no data", nullptr, 100, 0, true},
  };
  for (const ShortCase& c : cases) {
    SCOPED_TRACE(c.what);
    bool flag = false;
    const ToV_Bin_3412 raw(&flag);
    const ToV_HexStr_3412 hexReader(&flag);
    const ToV& r = c.hexReader ? static_cast<const ToV&>(hexReader) : raw;
    uint32_t cursor = c.cursor;
    uint16_t out = 7;
    EXPECT_FALSE(r.ReadU16(c.data, c.length, cursor, out));
    EXPECT_TRUE(flag);
    EXPECT_EQ(out, 7);
    EXPECT_EQ(cursor, c.cursor);
    // The flag stays shared: a read that would fit is now refused too.
    uint8_t byte = 9;
    cursor = 0;
    EXPECT_FALSE(r.ReadU8(Bytes(hex), 4, cursor, byte));
    EXPECT_EQ(byte, 9);
  }
}

TEST(ValueCodecReaders, HexThirtyTwoBitWithSecondWordMissingKeepsFirstConsumed) {
  bool flag = false;
  const ToV_HexStr_4321 r(&flag);
  const std::string text = "785634";
  uint32_t cursor = 0;
  uint32_t out = 0xCAFE;
  EXPECT_FALSE(r.ReadU32(Bytes(text), 6, cursor, out));
  EXPECT_TRUE(flag);
  EXPECT_EQ(cursor, 4u);
  EXPECT_EQ(out, 0xCAFEu);
}

TEST(OBuffHelper, BuildsFrameThroughSelectedWriters) {
  uint8_t buf[32];
  std::memset(buf, 0xEE, sizeof buf);
  OBuffHelper h(buf, sizeof buf);
  EXPECT_EQ(h.Cursor(), 0);
  EXPECT_EQ(h.Capacity(), 32);
  EXPECT_EQ(h.Buffer(), buf);
  h.SelectWriter(OBuffHelper::Writer::Bin_3412);
  h.Put8(0x01);
  h.Put16(0x0310);
  h.Put32(0x12345678);
  const uint8_t tail[] = {0xA0, 0xA1};
  h.AppendBytes(tail, 2);
  h.PutRawByte(0x02);
  h.SelectWriter(OBuffHelper::Writer::HexStr_2143);
  h.Put16(0x1234);
  h.SelectWriter(OBuffHelper::Writer::Bin_1234);
  h.Put64(0x0102030405060708);
  h.SelectWriter(OBuffHelper::Writer::HexStr_1234);
  h.PutRawByte(0x03);  // raw whatever the writer
  h.Put8(0x5E);
  EXPECT_FALSE(h.Overflow());
  const std::string expected = std::string("\x01\x03\x10\x56\x78\x12\x34\xA0\xA1\x02", 10) + "3412" +
                               std::string("\x01\x02\x03\x04\x05\x06\x07\x08\x03", 9) + "5E";
  ASSERT_EQ(h.Cursor(), static_cast<int32_t>(expected.size()));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), expected.size()), expected);
  EXPECT_EQ(buf[expected.size()], 0xEE);
}

// Each way of failing sets the flag; afterwards nothing more is written, not
// even what would fit.
TEST(OBuffHelper, FirstFailureSkipsEveryLaterWrite) {
  using Step = void (*)(OBuffHelper&);
  struct Case {
    const char* what;
    int32_t capacity;
    Step failing;
  };
  static const uint8_t three[] = {1, 2, 3};
  const Case cases[] = {
      {"64-bit through Bin_3412",
       16,
       [](OBuffHelper& h) {
         h.SelectWriter(OBuffHelper::Writer::Bin_3412);
         h.Put64(1);
       }},
      {"32-bit hex with 7 characters left", 9,
       [](OBuffHelper& h) {
         h.SelectWriter(OBuffHelper::Writer::HexStr_4321);
         h.Put32(1);
       }},
      {"append past the end", 4, [](OBuffHelper& h) { h.AppendBytes(three, 3); }},
      {"append from nowhere", 16, [](OBuffHelper& h) { h.AppendBytes(nullptr, 1); }},
      {"raw byte into a full buffer", 2, [](OBuffHelper& h) { h.PutRawByte(9); }},
      {"no writer selected", 16, [](OBuffHelper& h) { h.Put8(1); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    uint8_t buf[16];
    std::memset(buf, 0xEE, sizeof buf);
    OBuffHelper h(buf, c.capacity);
    h.PutRawByte(0x40);
    h.PutRawByte(0x41);
    c.failing(h);
    EXPECT_TRUE(h.Overflow());
    EXPECT_EQ(h.Cursor(), 2);
    h.SelectWriter(OBuffHelper::Writer::Bin_1234);
    h.Put8(1);
    h.Put16(1);
    h.Put32(1);
    h.Put64(1);
    h.PutRawByte(1);
    h.AppendBytes(three, 1);
    EXPECT_EQ(h.Cursor(), 2);
    EXPECT_EQ(buf[0], 0x40);
    EXPECT_EQ(buf[1], 0x41);
    for (size_t i = 2; i < sizeof buf; ++i) EXPECT_EQ(buf[i], 0xEE) << "byte " << i;
  }
}

TEST(OBuffHelper, AppendOfNothingAndExactFit) {
  uint8_t buf[3] = {};
  OBuffHelper h(buf, 3);
  h.AppendBytes(nullptr, 0);
  h.AppendBytes(nullptr, -5);
  EXPECT_FALSE(h.Overflow());
  const uint8_t three[] = {7, 8, 9};
  h.AppendBytes(three, 3);
  EXPECT_FALSE(h.Overflow());
  EXPECT_EQ(h.Cursor(), 3);
  EXPECT_EQ(buf[2], 9);
  h.AppendBytes(three, 0);  // nothing to add, even when full
  EXPECT_FALSE(h.Overflow());
  h.PutRawByte(1);
  EXPECT_TRUE(h.Overflow());
}

TEST(IBuffHelper, ParsesFrameThroughSelectedReaders) {
  const std::string frame = std::string("\x01\x03\x10\x56\x78\x12\x34", 7) + "3412" + "78563412";
  IBuffHelper h(Bytes(frame), static_cast<uint16_t>(frame.size()));
  EXPECT_EQ(h.Length(), frame.size());
  EXPECT_EQ(h.Data(), Bytes(frame));
  h.SelectReader(IBuffHelper::Reader::Bin_3412);
  uint8_t b = 0;
  uint16_t w = 0;
  uint32_t d = 0;
  h.Get8(b);
  EXPECT_EQ(b, 0x01);
  h.Get16(w);
  EXPECT_EQ(w, 0x0310);
  h.Get32(d);
  EXPECT_EQ(d, 0x12345678u);
  h.SelectReader(IBuffHelper::Reader::HexStr_4321);
  h.Get16(w);
  EXPECT_EQ(w, 0x1234);
  h.Get32(d);
  EXPECT_EQ(d, 0x12345678u);
  EXPECT_FALSE(h.Overrun());
  EXPECT_EQ(h.Cursor(), frame.size());

  // Re-read a field from the start of another frame.
  const std::string other("\x00\x00\x00\x00\x00\x00\x00\x00\xAB\xCD", 10);
  h.SetData(Bytes(other), 10);
  h.SetCursor(8);
  h.SelectReader(IBuffHelper::Reader::Bin_4321);
  h.Get16(w);
  EXPECT_EQ(w, 0xCDAB);
  h.SetLength(9);
  h.SetCursor(8);
  h.Get16(w);
  EXPECT_TRUE(h.Overrun());
  EXPECT_EQ(w, 0xCDAB);
}

// Any failed get, also a width the reader has no form for, stops every later
// get: outputs keep their values and the cursor stays.
TEST(IBuffHelper, FirstFailureSkipsEveryLaterRead) {
  struct Case {
    const char* what;
    bool select;
    IBuffHelper::Reader reader;
    int width;
    uint16_t length;
    uint32_t cursor;
    uint32_t cursorAfter;
  };
  const Case cases[] = {
      {"16-bit with one byte left", true, IBuffHelper::Reader::Bin_1234, 16, 7, 6, 6},
      {"64-bit through Bin_3412", true, IBuffHelper::Reader::Bin_3412, 64, 13, 0, 0},
      {"32-bit through HexStr_1234", true, IBuffHelper::Reader::HexStr_1234, 32, 13, 7, 7},
      {"32-bit hex with one word left", true, IBuffHelper::Reader::HexStr_4321, 32, 13, 7, 11},
      {"no reader selected", false, IBuffHelper::Reader::Bin_1234, 8, 13, 0, 0},
  };
  const std::string data = "\x11\x22\x33\x44\x55\x66\x77" "0A0B00";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    IBuffHelper h;
    h.SetData(Bytes(data), c.length);
    h.SetCursor(c.cursor);
    if (c.select) h.SelectReader(c.reader);
    uint64_t q = 0x5151;
    uint32_t d = 0x3131;
    uint16_t w = 0x2121;
    uint8_t b = 0x11;
    switch (c.width) {
      case 8: h.Get8(b); break;
      case 16: h.Get16(w); break;
      case 32: h.Get32(d); break;
      default: h.Get64(q); break;
    }
    EXPECT_TRUE(h.Overrun());
    EXPECT_EQ(h.Cursor(), c.cursorAfter);
    h.SelectReader(IBuffHelper::Reader::Bin_1234);
    h.SetCursor(0);
    h.Get8(b);
    h.Get16(w);
    h.Get32(d);
    h.Get64(q);
    EXPECT_EQ(b, 0x11);
    EXPECT_EQ(w, 0x2121);
    EXPECT_EQ(d, 0x3131u);
    EXPECT_EQ(q, 0x5151u);
    EXPECT_EQ(h.Cursor(), 0u);
  }
}
