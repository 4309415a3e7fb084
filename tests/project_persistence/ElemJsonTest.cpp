#include "project_persistence/ElemJson.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "common/Log.h"
#include "element_io/QlTextIo.h"

using namespace NsOvrin;
using NsDx2d::D2D_RECT_F;
using NsQlElemIo::BaseIoData;
using NsQlElemIo::QlIo;
using NsQlElemIo::QlTextIo;
using NsQlUiElem::QlElemType;

namespace {

rapidjson::Document Parse(const std::string& text) {
  rapidjson::Document doc;
  doc.Parse(text.c_str(), text.size());
  EXPECT_FALSE(doc.HasParseError()) << text;
  return doc;
}

template <typename Write>
std::string Written(Write write) {
  rapidjson::StringBuffer buffer;
  JsonWriter writer(buffer);
  write(writer);
  return buffer.GetString();
}

class Level8Log : public NsLog::LogSink {
 public:
  Level8Log() : logger_(NsLog::GetLogger(8)), was_(logger_.IsEnabled()) {
    logger_.AddSink(this);
    logger_.SetEnabled(true);
  }
  ~Level8Log() override {
    logger_.RemoveSink(this);
    logger_.SetEnabled(was_);
  }
  void Write(const NsLog::LogRecord& record) override { texts.push_back(record.text); }
  std::vector<std::string> texts;

 private:
  NsLog::Logger& logger_;
  bool was_;
};

// A binding that keeps no visibility settings.
class NoSettingsIo : public QlIo {
 public:
  bool Bind() override { return true; }
  bool Check(std::string*) override { return true; }
  const BaseIoData* GetBaseIoDataConst() const override { return nullptr; }
  BaseIoData* GetBaseIoData() override { return nullptr; }
};

TEST(ElemJsonType, ReadsKnownNamesOnly) {
  struct Case {
    const char* json;
    bool found;
    QlElemType code;  // when found
    bool logged;
  };
  const Case cases[] = {
      {"{\"type\":\"Text\"}", true, NsQlUiElem::kElemText, false},
      {"{\"type\":\"OVTable\"}", true, NsQlUiElem::kElemOVTable, false},
      {"{\"type\":\"None\"}", true, NsQlUiElem::kElemNone, false},
      {"{\"type\":\"text\"}", false, 0, true},
      {"{\"type\":\"Gauge\"}", false, 0, true},
      {"{\"type\":3}", false, 0, false},
      {"{\"kind\":\"Text\"}", false, 0, false},
      {"[\"Text\"]", false, 0, false},
      {"\"Text\"", false, 0, false},
  };
  for (const Case& c : cases) {
    Level8Log log;
    QlElemType code = 99;
    EXPECT_EQ(ReadElementType(Parse(c.json), code), c.found) << c.json;
    EXPECT_EQ(code, c.found ? c.code : 99) << c.json;
    EXPECT_EQ(log.texts.empty(), !c.logged) << c.json;
  }
}

TEST(ElemJsonRect, ComponentsMustBeDoubles) {
  const D2D_RECT_F before{1, 2, 3, 4};
  struct Case {
    const char* json;
    bool found;
    D2D_RECT_F rect;
  };
  const Case cases[] = {
      {"{}", false, before},
      {"{\"rect\":5}", false, before},
      {"{\"rect\":[10.0,10.0,110.0,40.0]}", false, before},
      {"{\"rect\":{}}", true, {0, 0, 0, 0}},
      {"{\"rect\":{\"left\":10.0,\"top\":10.5,\"right\":110.0,\"bottom\":40.0}}", true, {10, 10.5f, 110, 40}},
      {"{\"rect\":{\"left\":10,\"top\":10.0,\"right\":\"110.0\",\"bottom\":1e39}}", true, {0, 10, 0, 0}},
      {"{\"rect\":{\"bottom\":-2.5e1,\"left\":1e-1}}", true, {0.1f, 0, 0, -25}},
  };
  for (const Case& c : cases) {
    D2D_RECT_F rect = before;
    EXPECT_EQ(ReadRect(Parse(c.json), rect), c.found) << c.json;
    EXPECT_EQ(rect, c.rect) << c.json;
  }
  D2D_RECT_F rect = before;
  EXPECT_FALSE(ReadRect(Parse("[{\"rect\":{}}]"), rect));
  EXPECT_EQ(rect, before);
}

TEST(ElemJsonRect, WrittenInTheCompactFormAndReadBack) {
  EXPECT_EQ(Written([](JsonWriter& w) {
              w.StartObject();
              WriteRect(w, D2D_RECT_F{0, 0, 640, 480});
              w.EndObject();
            }),
            "{\"rect\":{\"left\":0.0,\"top\":0.0,\"right\":640.0,\"bottom\":480.0}}");

  const D2D_RECT_F samples[] = {
      {10, 10, 110, 40}, {0.1f, -20, 1e30f, 1.0f / 3.0f}, {-0.0f, 123.456f, 7.25f, -3.4e38f}};
  for (const D2D_RECT_F& sample : samples) {
    const std::string json = Written([&](JsonWriter& w) {
      w.StartObject();
      WriteRect(w, sample);
      w.EndObject();
    });
    D2D_RECT_F back{9, 9, 9, 9};
    EXPECT_TRUE(ReadRect(Parse(json), back)) << json;
    EXPECT_EQ(back, sample) << json;
  }

  // A component JSON cannot hold reads back as 0 rather than spoiling the file.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const std::string json = Written([&](JsonWriter& w) {
    w.StartObject();
    WriteRect(w, D2D_RECT_F{nan, 1, std::numeric_limits<float>::infinity(), 2});
    w.EndObject();
  });
  EXPECT_EQ(json, "{\"rect\":{\"left\":0.0,\"top\":1.0,\"right\":0.0,\"bottom\":2.0}}");
}

TEST(ElemJsonEntry, ElementObjectInTheCompactForm) {
  QlTextIo io;
  io.GetBaseIoData()->enableVisib = true;
  io.GetBaseIoData()->addressForVisib = "PLC1.0x5";
  EXPECT_EQ(Written([&](JsonWriter& w) {
              BeginElementEntry(w, NsQlUiElem::kElemNumber);
              WriteRect(w, D2D_RECT_F{10, 10.5f, 110, 40});
              WriteVisibility(w, &io);
              w.EndObject();
            }),
            "{\"type\":\"Number\",\"rect\":{\"left\":10.0,\"top\":10.5,\"right\":110.0,\"bottom\":40.0},"
            "\"enable-visib\":true,\"address-for-visib\":\"PLC1.0x5\",\"show-when-true\":false}");
}

TEST(ElemJsonVisibility, WrittenForEveryKindOfBinding) {
  QlTextIo io;
  io.GetBaseIoData()->showWhenTrue = true;
  io.GetBaseIoData()->addressForVisib = "设备.M0";
  NoSettingsIo bare;
  struct Case {
    const char* name;
    const QlIo* io;
    const char* json;
  };
  const Case cases[] = {
      {"settings", &io, "{\"enable-visib\":false,\"address-for-visib\":\"设备.M0\",\"show-when-true\":true}"},
      {"no settings", &bare, "{\"enable-visib\":false,\"address-for-visib\":\"\",\"show-when-true\":false}"},
      {"no binding", nullptr, "{}"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Written([&](JsonWriter& w) {
                w.StartObject();
                WriteVisibility(w, c.io);
                w.EndObject();
              }),
              c.json)
        << c.name;
  }
}

TEST(ElemJsonVisibility, EachKeyTakenWhenItsTypePasses) {
  struct Case {
    const char* json;
    BaseIoData expected;
  };
  const BaseIoData before{false, true, "OLD.M1"};
  const Case cases[] = {
      {"{}", before},
      {"{\"enable-visib\":true,\"address-for-visib\":\"PLC1.M0\",\"show-when-true\":false}", {true, false, "PLC1.M0"}},
      {"{\"enable-visib\":1,\"address-for-visib\":5,\"show-when-true\":\"false\"}", before},
      {"{\"enable-visib\":true,\"address-for-visib\":\"\"}", {true, true, ""}},
      {"[true]", before},
  };
  for (const Case& c : cases) {
    QlTextIo io;
    *io.GetBaseIoData() = before;
    EXPECT_TRUE(ReadVisibility(Parse(c.json), &io)) << c.json;
    const BaseIoData& got = *io.GetBaseIoDataConst();
    EXPECT_EQ(got.enableVisib, c.expected.enableVisib) << c.json;
    EXPECT_EQ(got.showWhenTrue, c.expected.showWhenTrue) << c.json;
    EXPECT_EQ(got.addressForVisib, c.expected.addressForVisib) << c.json;
  }
  const rapidjson::Document doc = Parse("{\"enable-visib\":true}");
  NoSettingsIo bare;
  EXPECT_TRUE(ReadVisibility(doc, &bare));
  EXPECT_FALSE(ReadVisibility(doc, nullptr));
}

TEST(ElemJsonVisibility, RoundTrip) {
  QlTextIo written;
  *written.GetBaseIoData() = BaseIoData{true, true, "PLC2.4x100.3"};
  const std::string json = Written([&](JsonWriter& w) {
    w.StartObject();
    WriteVisibility(w, &written);
    w.EndObject();
  });
  QlTextIo read;
  ASSERT_TRUE(ReadVisibility(Parse(json), &read));
  EXPECT_TRUE(read.GetBaseIoDataConst()->enableVisib);
  EXPECT_TRUE(read.GetBaseIoDataConst()->showWhenTrue);
  EXPECT_EQ(read.GetVisibAddress(), "PLC2.4x100.3");
}

}  // namespace
