#include "project_persistence/TextEntries.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "QlUiElem/QlUiEdit.h"
#include "QlUiElem/QlUiText.h"
#include "element_io/QlEditIo.h"
#include "element_io/QlStringIo.h"
#include "element_io/QlTextIo.h"
#include "project_persistence/TempFolder.h"
#include "termination/NodeDbFixture.h"

namespace NsOvrin {
namespace {

using NsDx2d::D2D_RECT_F;
using NsQlElemIo::QlEditIo;
using NsQlElemIo::QlIo;
using NsQlElemIo::QlStringIo;
using NsQlElemIo::QlTextIo;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlPageData;
using NsQlUiElem::QlUiEdit;
using NsQlUiElem::QlUiElem;
using NsQlUiElem::QlUiText;

using Reader = bool (*)(const rapidjson::Value&, const PageReadContext&,
                        std::shared_ptr<QlUiElem>&, std::shared_ptr<QlIo>&);
using Writer = bool (*)(JsonWriter&, const PageWriteContext&, const QlElemData&);

rapidjson::Document Parse(const std::string& text) {
  rapidjson::Document document;
  document.Parse(text.c_str(), text.size());
  EXPECT_FALSE(document.HasParseError()) << text;
  return document;
}

struct Read {
  std::shared_ptr<QlUiElem> ui;
  std::shared_ptr<QlIo> io;
};

Read ReadWith(Reader reader, const std::string& json, RectTransform transform = nullptr) {
  const rapidjson::Document object = Parse(json);
  const PageReadContext context{"", nullptr, std::move(transform)};
  Read read;
  EXPECT_TRUE(reader(object, context, read.ui, read.io));
  EXPECT_TRUE(read.ui && read.io);
  return read;
}

// The writer's output: "" when it writes nothing.
std::string WriteWith(Writer writer, const QlElemData& entry, bool* written = nullptr) {
  rapidjson::StringBuffer buffer;
  JsonWriter json(buffer);
  ProjectPictureStore pictures;
  const PageWriteContext context{pictures, nullptr};
  const bool result = writer(json, context, entry);
  if (written) *written = result;
  return buffer.GetString();
}

const QlUiText& AsText(const Read& r) { return dynamic_cast<const QlUiText&>(*r.ui); }
const QlUiEdit& AsBox(const Read& r) { return dynamic_cast<const QlUiEdit&>(*r.ui); }
const QlEditIo& AsNumberIo(const Read& r) { return dynamic_cast<const QlEditIo&>(*r.io); }
const QlStringIo& AsStringIo(const Read& r) { return dynamic_cast<const QlStringIo&>(*r.io); }

void ExpectRect(const D2D_RECT_F& expected, const D2D_RECT_F& actual) {
  EXPECT_EQ(expected.left, actual.left);
  EXPECT_EQ(expected.top, actual.top);
  EXPECT_EQ(expected.right, actual.right);
  EXPECT_EQ(expected.bottom, actual.bottom);
}

void ExpectDefaultVisibility(const QlIo& io) {
  EXPECT_FALSE(io.GetBaseIoDataConst()->enableVisib);
  EXPECT_EQ(io.GetBaseIoDataConst()->addressForVisib, "");
  EXPECT_FALSE(io.GetBaseIoDataConst()->showWhenTrue);
}

void ExpectDefaultText(const QlUiText& text) {
  EXPECT_EQ(text.textBox.text, "");
  EXPECT_EQ(text.textBox.colour, 0x222222u);
  EXPECT_EQ(text.textBox.fontSize, 120);
  EXPECT_EQ(text.bkColor, 0xFFFFFFu);
  EXPECT_EQ(text.bkOpacity, 0.0f);  // no background fill
  EXPECT_EQ(text.textBox.horizontalAlignment, 0);
  EXPECT_EQ(text.textBox.verticalAlignment, 0);
}

void ExpectDefaultBox(const QlUiEdit& box) {
  EXPECT_EQ(box.textBox.text, "0");
  EXPECT_EQ(box.textBox.colour, 0x222222u);
  EXPECT_EQ(box.textBox.fontSize, 120);
  EXPECT_EQ(box.bkColor, 0xFFFFFFu);
  EXPECT_EQ(box.bkOpacity, 1.0f);  // opaque
  EXPECT_EQ(box.borderColor, 0xA0999Au);
  EXPECT_EQ(box.textBox.horizontalAlignment, 0);
  EXPECT_EQ(box.textBox.verticalAlignment, 1);
  EXPECT_EQ(box.accessPermission, 0);
}

void ExpectDefaultNumberIo(const QlEditIo& io) {
  EXPECT_EQ(io.dataType, 2);
  EXPECT_EQ(io.scale, 0);
  EXPECT_FALSE(io.readOnly);
  EXPECT_FALSE(io.enableMinVal);
  EXPECT_EQ(io.minVal, 0);
  EXPECT_FALSE(io.enableMaxVal);
  EXPECT_EQ(io.maxVal, 16777215);
  EXPECT_EQ(io.address, "");
  EXPECT_FALSE(io.forceRefresh);
  ExpectDefaultVisibility(io);
}

void ExpectDefaultStringIo(const QlStringIo& io) {
  EXPECT_FALSE(io.readOnly);
  EXPECT_EQ(io.address, "");
  EXPECT_EQ(io.length, 10);
  EXPECT_FALSE(io.forceRefresh);
  ExpectDefaultVisibility(io);
}

// data/fallbacks.ovpg: each kind once with no keys and once with every key
// of the wrong JSON type.
TEST(TextEntriesTest, MissingAndMistypedKeysKeepEveryDefault) {
  const std::string file = Testing::TestDataPath("fallbacks.ovpg");
  const std::string folder = file.substr(0, file.rfind('/'));
  const RectTransform shift = [](const D2D_RECT_F& r) {
    return D2D_RECT_F{r.left + 20, r.top + 20, r.right + 20, r.bottom + 20};
  };
  std::shared_ptr<QlPageData> page;
  ASSERT_TRUE(LoadPageFile(folder, "fallbacks", {shift, nullptr}, page));
  ASSERT_EQ(page->elements.size(), 6u);

  // Only a "rect" that is an object goes through the transform; its
  // components that fail the float test read as 0.
  const D2D_RECT_F zero{};
  const D2D_RECT_F shiftedZero{20, 20, 20, 20};
  const D2D_RECT_F rects[6] = {zero, shiftedZero, zero, zero, zero, zero};
  for (std::size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const QlElemData& entry = page->elements[i];
    const Read read{entry.ui, entry.io};
    ExpectRect(rects[i], entry.ui->GetRect());
    switch (i / 2) {
      case 0:
        ASSERT_EQ(entry.type, NsQlUiElem::kElemText);
        ExpectDefaultText(AsText(read));
        ExpectDefaultVisibility(*entry.io);
        break;
      case 1:
        ASSERT_EQ(entry.type, NsQlUiElem::kElemNumber);
        ExpectDefaultBox(AsBox(read));
        ExpectDefaultNumberIo(AsNumberIo(read));
        break;
      default:
        ASSERT_EQ(entry.type, NsQlUiElem::kElemString);
        ExpectDefaultBox(AsBox(read));
        ExpectDefaultStringIo(AsStringIo(read));
        break;
    }
  }
}

TEST(TextEntriesTest, TheTextBoxIsLaidOutInsideTheTransformedRectangle) {
  const RectTransform shift = [](const D2D_RECT_F& r) {
    return D2D_RECT_F{r.left + 20, r.top + 20, r.right + 20, r.bottom + 20};
  };
  const std::string json = R"({"rect":{"left":10.0,"top":10.0,"right":110.0,"bottom":40.0}})";
  for (Reader reader : {&ReadTextEntry, &ReadNumberEntry, &ReadStringEntry}) {
    const Read read = ReadWith(reader, json, shift);
    ExpectRect({30, 30, 130, 60}, read.ui->GetRect());
    const auto* text = dynamic_cast<const QlUiText*>(read.ui.get());
    const auto* box = dynamic_cast<const QlUiEdit*>(read.ui.get());
    ExpectRect({34, 32, 126, 58}, text ? text->textBox.rect : box->textBox.rect);
  }
}

TEST(TextEntriesTest, LookKeysTakeTheirJsonTypesOnly) {
  struct Case {
    std::string json;
    int32_t fontSize;
    uint16_t horizontal;
    uint16_t textVertical;  // the static text's; the boxes stay centred
  };
  const Case cases[] = {
      {R"({"font-size":90})", 90, 0, 0},
      {R"({"font-size":4294967295})", 120, 0, 0},  // unsigned, not signed
      {R"({"font-size":-20})", -20, 0, 0},
      {R"({"text-align":2,"vertical-align":2})", 120, 2, 2},
      {R"({"text-align":65537,"vertical-align":65538})", 120, 1, 2},
      {R"({"text-align":2.0,"vertical-align":"2"})", 120, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const Read text = ReadWith(&ReadTextEntry, c.json);
    EXPECT_EQ(AsText(text).textBox.fontSize, c.fontSize);
    EXPECT_EQ(AsText(text).textBox.horizontalAlignment, c.horizontal);
    EXPECT_EQ(AsText(text).textBox.verticalAlignment, c.textVertical);
    for (Reader reader : {&ReadNumberEntry, &ReadStringEntry}) {
      const Read box = ReadWith(reader, c.json);
      EXPECT_EQ(AsBox(box).textBox.fontSize, c.fontSize);
      EXPECT_EQ(AsBox(box).textBox.horizontalAlignment, c.horizontal);
      EXPECT_EQ(AsBox(box).textBox.verticalAlignment, 1);
    }
  }
}

TEST(TextEntriesTest, NumberBoxSettingsAndLimitsAreTakenOnlyWhole) {
  struct Case {
    std::string json;
    uint16_t dataType;
    uint8_t scale;
    bool readOnly;
    bool enableMin;
    int32_t min;
    bool enableMax;
    int32_t max;
    bool forced;
  };
  const Case cases[] = {
      {R"({})", 2, 0, false, false, 0, false, 16777215, false},
      {R"({"data-type":16})", 16, 0, false, false, 0, false, 16777215, true},
      {R"({"data-type":65540})", 4, 0, false, false, 0, false, 16777215, true},
      {R"({"scale":258})", 2, 2, false, false, 0, false, 16777215, true},
      {R"({"scale":-1})", 2, 0, false, false, 0, false, 16777215, false},
      {R"({"read-only":true})", 2, 0, true, false, 0, false, 16777215, true},
      {R"({"read-only":false})", 2, 0, false, false, 0, false, 16777215, true},
      // A limit needs its flag and its value.
      {R"({"enable-min-val":true})", 2, 0, false, false, 0, false, 16777215, false},
      {R"({"min-val":7})", 2, 0, false, false, 0, false, 16777215, false},
      {R"({"enable-min-val":1,"min-val":7})", 2, 0, false, false, 0, false, 16777215, false},
      {R"({"enable-min-val":true,"min-val":-5})", 2, 0, false, false, 0, false, 16777215, false},
      {R"({"enable-min-val":true,"min-val":4294967291})", 2, 0, false, true, -5, false, 16777215,
       true},
      {R"({"enable-min-val":false,"min-val":7})", 2, 0, false, false, 7, false, 16777215, true},
      {R"({"enable-max-val":true,"max-val":0})", 2, 0, false, false, 0, true, 0, true},
      {R"({"enable-max-val":true,"max-val":1.0})", 2, 0, false, false, 0, false, 16777215, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const Read read = ReadWith(&ReadNumberEntry, c.json);
    const QlEditIo& io = AsNumberIo(read);
    EXPECT_EQ(io.dataType, c.dataType);
    EXPECT_EQ(io.scale, c.scale);
    EXPECT_EQ(io.readOnly, c.readOnly);
    EXPECT_EQ(io.enableMinVal, c.enableMin);
    EXPECT_EQ(io.minVal, c.min);
    EXPECT_EQ(io.enableMaxVal, c.enableMax);
    EXPECT_EQ(io.maxVal, c.max);
    EXPECT_EQ(io.forceRefresh, c.forced);
  }
}

TEST(TextEntriesTest, ANegativeLimitIsWrittenAsItsUnsignedPattern) {
  const Read read =
      ReadWith(&ReadNumberEntry, R"({"enable-min-val":true,"min-val":4294967291,"font-size":-20})");
  const std::string written =
      WriteWith(&WriteNumberEntry, {NsQlUiElem::kElemNumber, read.ui, read.io});
  EXPECT_NE(written.find(R"("enable-min-val":true,"min-val":4294967291,)"), std::string::npos)
      << written;
  EXPECT_NE(written.find(R"("font-size":4294967276,)"), std::string::npos) << written;
}

TEST(TextEntriesTest, WritersNeedARecordAndABindingOfTheirKind) {
  struct Case {
    const char* name;
    Writer writer;
    std::shared_ptr<QlUiElem> ui;
    std::shared_ptr<QlIo> io;
    bool written;
  };
  const auto text = std::make_shared<QlUiText>();
  const auto box = std::make_shared<QlUiEdit>();
  const auto textIo = std::make_shared<QlTextIo>();
  const auto numberIo = std::make_shared<QlEditIo>();
  const auto stringIo = std::make_shared<QlStringIo>();
  const Case cases[] = {
      {"text", &WriteTextEntry, text, textIo, true},
      {"text without binding", &WriteTextEntry, text, nullptr, false},
      {"text without record", &WriteTextEntry, nullptr, textIo, false},
      {"text with a box", &WriteTextEntry, box, textIo, false},
      {"text with a string binding", &WriteTextEntry, text, stringIo, false},
      {"number", &WriteNumberEntry, box, numberIo, true},
      {"number with a string binding", &WriteNumberEntry, box, stringIo, false},
      {"number with a text", &WriteNumberEntry, text, numberIo, false},
      {"string", &WriteStringEntry, box, stringIo, true},
      {"string with a number binding", &WriteStringEntry, box, numberIo, false},
      {"string without binding", &WriteStringEntry, box, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool written = !c.written;
    const std::string output = WriteWith(c.writer, {NsQlUiElem::kElemText, c.ui, c.io}, &written);
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(output.empty(), !c.written);
  }
}

// The string box's length is what its address covers in the node's map.
class StringBoxLengthTest : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    auto eth = AddEthernet("ETH1");
    plc1_ = AddTcpNode(eth, "PLC1");
    ASSERT_NE(plc1_, nullptr);
    AddBlock(*plc1_, "4x[0~99]", "words");
    words_ = TaskNamed(*plc1_, "words");
    ASSERT_NE(words_, nullptr);
  }

  std::shared_ptr<NsTermination::Node> plc1_;
  std::shared_ptr<NsTermination::TaskReadData> words_;
};

TEST_F(StringBoxLengthTest, TheAddressIsBoundOnReadingToSizeTheText) {
  struct Case {
    std::string json;
    std::string address;
    uint16_t length;
    bool bound;
  };
  const Case cases[] = {
      {R"({"address":"PLC1.4x[10~19]"})", "PLC1.4x[00010~00019]", 20, true},
      {R"({"address":" PLC1.4x[0~2] "})", "PLC1.4x[00000~00002]", 6, true},
      // A node the project does not have, and an address that does not parse.
      {R"({"address":"PLC9.4x[10~19]"})", "PLC9.4x[10~19]", 10, false},
      {R"({"address":"PLC1.zz"})", "PLC1.zz", 10, false},
      {R"({"address":"PLC1.0x5"})", "PLC1.0x00005", 10, false},
      // Outside every data block: sized, but not subscribed.
      {R"({"address":"PLC1.4x[500~502]"})", "PLC1.4x[00500~00502]", 6, false},
      {R"({"address":5})", "", 10, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const Read read = ReadWith(&ReadStringEntry, c.json);
    const QlStringIo& io = AsStringIo(read);
    EXPECT_EQ(io.address, c.address);
    EXPECT_EQ(io.length, c.length);
    EXPECT_EQ(io.GetReadTask() == words_, c.bound);
  }
  // The readers' bindings are gone with them.
  EXPECT_EQ(words_->GetSubscriberCount(), 0u);
}

TEST_F(StringBoxLengthTest, ABoundAddressForcesTheFirstRead) {
  const Read read = ReadWith(&ReadStringEntry, R"({"address":"PLC1.4x[10~19]"})");
  EXPECT_TRUE(AsStringIo(read).forceRefresh);
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);
}

}  // namespace
}  // namespace NsOvrin
