#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "QlUiElem/MultStateItem.h"
#include "QlUiElem/QlUiMultStateText.h"
#include "QlUiElem/QlUiText.h"
#include "editor/QlEHostMultStateText.h"
#include "element_io/QlMultStateTextIo.h"
#include "element_io/QlTextIo.h"
#include "project_persistence/EntryTestSupport.h"
#include "project_persistence/MultStateEntries.h"
#include "termination/LogCapture.h"

namespace NsOvrin {
namespace {

using NsQlElemIo::QlIo;
using NsQlElemIo::QlMultStateTextIo;
using NsQlUiElem::MultStateItem;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlPageData;
using NsQlUiElem::QlUiElem;
using NsQlUiElem::QlUiMultStateText;
using NsTermination::Testing::LogCapture;
using namespace Testing;

MultStateItem State(const std::string& text, uint32_t textColour, int32_t fontSize,
                    uint32_t bkColour, float bkOpacity, uint16_t horizontal, uint16_t vertical) {
  return {text, textColour, fontSize, bkColour, bkOpacity, horizontal, vertical};
}

std::shared_ptr<QlMultStateTextIo> Binding(NsQlUiElem::ValueKind kind, const std::string& address,
                                           std::vector<uint32_t> values,
                                           const NsQlElemIo::BaseIoData& visibility) {
  auto io = std::make_shared<QlMultStateTextIo>();
  io->valueKind = kind;
  io->readAddress = address;
  io->stateValues = std::move(values);
  *io->GetBaseIoData() = visibility;
  return io;
}

// The page of data/mult_state_entries.ovpg; rectangles moved by shift.
std::shared_ptr<QlPageData> MultStatePage(float shift = 0.0f) {
  auto page = std::make_shared<QlPageData>();
  page->name = "mult_state_entries";
  page->rect = {0.0f, 0.0f, 800.0f, 480.0f};

  auto threeStates = std::make_shared<QlUiMultStateText>();
  threeStates->rect = Shifted({10.0f, 20.0f, 130.5f, 50.0f}, shift);
  threeStates->states = {
      State("停止", 0x0000FF, 120, 0xCCCCCC, 1.0f, 1, 1),
      State("运行 \"1\"\\ok", 0x00FF00, 100, 0xFFFFFF, 0.0f, 0, 0),
      State("", 0x000000, 90, 0x0000FF, 0.25f, 2, 2),
  };
  page->elements.push_back({NsQlUiElem::kElemMultiStateLabel, threeStates,
                            Binding(NsQlUiElem::kValueInt16, "PLC1.4x00100", {65535, 0, 32767},
                                    {true, true, "PLC1.0x00001"})});

  // One state, three values: the lists are not compared.
  auto oneState = std::make_shared<QlUiMultStateText>();
  oneState->rect = Shifted({140.0f, 20.0f, 260.0f, 50.25f}, shift);
  oneState->states = {State("满", 0x123456, 150, 0x000000, 0.5f, 1, 2)};
  page->elements.push_back({NsQlUiElem::kElemMultiStateLabel, oneState,
                            Binding(NsQlUiElem::kValueUInt32, "PLC1.4x[200~201]",
                                    {4294967295u, 100000, 0}, {false, false, ""})});

  auto noStates = std::make_shared<QlUiMultStateText>();
  noStates->rect = Shifted({270.0f, 20.0f, 390.0f, 50.0f}, shift);
  page->elements.push_back({NsQlUiElem::kElemMultiStateLabel, noStates,
                            Binding(NsQlUiElem::kValueInt32, "", {4294967291u, 2147483647u},
                                    {false, true, "PLC1.0x00002"})});
  return page;
}

void ExpectSameStates(const std::vector<MultStateItem>& e, const std::vector<MultStateItem>& a) {
  ASSERT_EQ(e.size(), a.size());
  for (std::size_t i = 0; i < e.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(e[i].text, a[i].text);
    EXPECT_EQ(e[i].textColour, a[i].textColour);
    EXPECT_EQ(e[i].fontSize, a[i].fontSize);
    EXPECT_EQ(e[i].bkColour, a[i].bkColour);
    EXPECT_EQ(e[i].bkOpacity, a[i].bkOpacity);
    EXPECT_EQ(e[i].horizontalAlignment, a[i].horizontalAlignment);
    EXPECT_EQ(e[i].verticalAlignment, a[i].verticalAlignment);
  }
}

void ExpectSameElement(const QlElemData& e, const QlElemData& a) {
  ASSERT_EQ(e.type, a.type);
  const auto* ui = dynamic_cast<const QlUiMultStateText*>(a.ui.get());
  const auto* io = dynamic_cast<const QlMultStateTextIo*>(a.io.get());
  ASSERT_TRUE(ui && io);
  const auto& eui = dynamic_cast<const QlUiMultStateText&>(*e.ui);
  const auto& eio = dynamic_cast<const QlMultStateTextIo&>(*e.io);
  ExpectSameRect(eui.rect, ui->rect);
  EXPECT_EQ(ui->currentState, 0);
  EXPECT_TRUE(ui->shown);
  ExpectSameStates(eui.states, ui->states);
  EXPECT_EQ(eio.valueKind, io->valueKind);
  EXPECT_EQ(eio.readAddress, io->readAddress);
  EXPECT_EQ(eio.stateValues, io->stateValues);
  ExpectSameVisibility(*eio.GetBaseIoDataConst(), *io);
}

const QlMultStateTextIo& IoOf(const ReadEntry& read) {
  return dynamic_cast<const QlMultStateTextIo&>(*read.io);
}

TEST(MultStateEntriesTest, ThreeElementsAreWrittenByteForByte) {
  TempFolder project;
  ASSERT_TRUE(SavePageFile(project.Path(), MultStatePage(), nullptr));
  EXPECT_EQ(ReadFileText(project / "mult_state_entries.ovpg"),
            ReadFileText(TestDataPath("mult_state_entries.ovpg")));
}

TEST(MultStateEntriesTest, EveryKeyIsReadAndWrittenBackUnchanged) {
  FixtureProject project("mult_state_entries", {});
  LogCapture errors(8);
  const std::shared_ptr<QlPageData> page = project.LoadForEdit();
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(errors.Texts().empty());
  const std::shared_ptr<QlPageData> expected = MultStatePage(20.0f);
  ASSERT_EQ(page->elements.size(), expected->elements.size());
  for (std::size_t i = 0; i < page->elements.size(); ++i) {
    SCOPED_TRACE(i);
    ExpectSameElement(expected->elements[i], page->elements[i]);
    // A stored kind makes the first live read report its value.
    EXPECT_TRUE(dynamic_cast<const QlMultStateTextIo&>(*page->elements[i].io).forceRefresh);
  }

  ASSERT_TRUE(SavePageFile(project.Path(), page, kSaveShift));
  EXPECT_EQ(project.Saved(), project.Fixture());
}

// data/mult_state_fallbacks.ovpg: no keys; every key mistyped; states with
// missing, mistyped and non-object entries beside values that are no strings.
TEST(MultStateEntriesTest, MissingAndMistypedKeysKeepEveryDefault) {
  FixtureProject project("mult_state_fallbacks", {});
  LogCapture errors(8);
  const std::shared_ptr<QlPageData> page = project.LoadForEdit();
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(errors.Texts().empty());
  ASSERT_EQ(page->elements.size(), 3u);

  const QlElemData defaults{NsQlUiElem::kElemMultiStateLabel, std::make_shared<QlUiMultStateText>(),
                            std::make_shared<QlMultStateTextIo>()};
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    ExpectSameElement(defaults, page->elements[i]);
    EXPECT_FALSE(dynamic_cast<const QlMultStateTextIo&>(*page->elements[i].io).forceRefresh);
  }
  EXPECT_EQ(dynamic_cast<const QlMultStateTextIo&>(*defaults.io).valueKind,
            NsQlUiElem::kValueInt16);

  // Every state entry gives a state; what it lacks takes the state defaults.
  const auto& states = dynamic_cast<const QlUiMultStateText&>(*page->elements[2].ui).states;
  const MultStateItem fallback = State("", 0x000000, 100, 0xFFFFFF, 0.0f, 0, 0);
  std::vector<MultStateItem> expected(4, fallback);
  expected[0].text = "only";
  ExpectSameStates(expected, states);
  EXPECT_EQ(dynamic_cast<const QlMultStateTextIo&>(*page->elements[2].io).stateValues,
            (std::vector<uint32_t>{1, 0, 0, 0xFFFD}));
}

TEST(MultStateEntriesTest, ValueTextsAreReadAsTheStoredKindAndWrittenInItsForm) {
  struct Case {
    uint32_t dataType;
    std::string text;
    uint32_t value;
    std::string written;
  };
  const Case cases[] = {
      {1, "-1", 65535, "-1"},
      {1, "32768", 32768, "-32768"},
      {1, "65536", 0, "0"},
      {1, "  +12x", 12, "12"},
      {1, "-7 8", 65529, "-7"},
      {1, "", 0, "0"},
      {1, "abc", 0, "0"},
      {1, "99999999999", 0xFFFF, "-1"},  // clamped to 2147483647 first
      {1, "-99999999999", 0, "0"},       // clamped to -2147483648
      {2, "65535", 65535, "65535"},
      {2, "-1", 65535, "65535"},
      {3, "100000", 100000, "100000"},
      {3, "-5", 4294967291u, "-5"},
      {3, "3000000000", 2147483647u, "2147483647"},
      {3, "-3000000000", 0x80000000u, "-2147483648"},
      {4, "4294967295", 4294967295u, "4294967295"},
      {4, "4294967296", 4294967295u, "4294967295"},
      {4, "99999999999999999999999", 4294967295u, "4294967295"},
      {4, "-1", 4294967295u, "4294967295"},
      {65537, "-1", 65535, "-1"},  // the kind's low 16 bits
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.dataType) + " " + c.text);
    const ReadEntry read =
        ReadOne(&ReadMultStateTextEntry, R"({"data-type":)" + std::to_string(c.dataType) +
                                             R"(,"data-array":[)" + JsonOf(c.text) + "]}");
    ASSERT_EQ(IoOf(read).stateValues, std::vector<uint32_t>{c.value});
    const std::string written = WriteOne(&WriteMultStateTextEntry, {10, read.ui, read.io});
    EXPECT_NE(written.find(R"("data-type":)" + std::to_string(c.dataType & 0xFFFF) +
                           R"(,"data-array":[)" + JsonOf(c.written) + "]"),
              std::string::npos)
        << written;
  }
}

TEST(MultStateEntriesTest, ValuesOfAKindThatIsNotKnownAreLoggedOnceAndDropped) {
  struct Case {
    const char* json;
    NsQlUiElem::ValueKind kind;
    bool forced;
    std::vector<std::string> log;
  };
  const Case cases[] = {
      // Without a stored kind the values cannot be read; the default stays.
      {R"({"data-array":["5","6"]})", 1, false, {"异常的类型转换:5, 类型:0"}},
      {R"({"data-type":"3","data-array":[7]})", 1, false, {"异常的类型转换:, 类型:0"}},
      // Nothing to read, nothing to log.
      {R"({"data-array":[]})", 1, false, {}},
      {R"({"data-type":9,"data-array":"5"})", 1, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    LogCapture errors(8);
    const ReadEntry read = ReadOne(&ReadMultStateTextEntry, c.json);
    EXPECT_TRUE(IoOf(read).stateValues.empty());
    EXPECT_EQ(IoOf(read).valueKind, c.kind);
    EXPECT_EQ(IoOf(read).forceRefresh, c.forced);
    EXPECT_EQ(errors.Texts(), c.log);
  }
}

TEST(MultStateEntriesTest, AStoredKindNoValueCanHaveReadsAsTheDefaultKind) {
  struct Case {
    const char* json;
    std::vector<uint32_t> values;
  };
  const Case cases[] = {
      {R"({"data-type":0,"data-array":["5"]})", {5}},
      {R"({"data-type":7,"data-array":["1","-1"]})", {1, 65535}},
      {R"({"data-type":65536,"data-array":["9"]})", {9}},
      {R"({"data-type":65541,"data-array":["70000"]})", {70000 & 0xFFFF}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    LogCapture errors(8);
    const ReadEntry read = ReadOne(&ReadMultStateTextEntry, c.json);
    EXPECT_EQ(IoOf(read).valueKind, NsQlUiElem::kValueInt16);
    EXPECT_TRUE(IoOf(read).forceRefresh);
    EXPECT_EQ(IoOf(read).stateValues, c.values);
    EXPECT_TRUE(errors.Texts().empty());
  }
}

TEST(MultStateEntriesTest, StatesOfAHandEditedKindStayPairedWithTheirValues) {
  const ReadEntry read = ReadOne(
      &ReadMultStateTextEntry,
      R"({"data-type":7,"text-array":[{"text":"停"}],"data-array":["0"]})");
  NsQlElemEditor::QlEHostMultStateText host(
      std::dynamic_pointer_cast<QlUiMultStateText>(read.ui),
      std::dynamic_pointer_cast<QlMultStateTextIo>(read.io));
  const QlUiMultStateText& ui = *host._qlUi;
  const QlMultStateTextIo& io = *host._qlIo;
  EXPECT_TRUE(host.AddState("1", State("运行", 0, 100, 0xFFFFFF, 0.0f, 0, 0)));
  EXPECT_TRUE(host.AddState("2", State("故障", 0, 100, 0xFFFFFF, 0.0f, 0, 0)));
  ASSERT_EQ(ui.states.size(), 3u);
  EXPECT_EQ(io.stateValues, (std::vector<uint32_t>{0, 1, 2}));
  EXPECT_TRUE(host.RemoveState("1"));
  EXPECT_EQ(io.stateValues, (std::vector<uint32_t>{0, 2}));
  ASSERT_EQ(ui.states.size(), 2u);
  EXPECT_EQ(ui.states[1].text, "故障");
}

TEST(MultStateEntriesTest, ValuesOfAKindOutsideTheKnownOnesAreWrittenAsTheirPlaceholders) {
  auto ui = std::make_shared<QlUiMultStateText>();
  for (const auto& [kind, expected] : std::vector<std::pair<NsQlUiElem::ValueKind, std::string>>{
           {0, R"("data-type":0,"data-array":["0","0"])"},
           {9, R"("data-type":9,"data-array":["--?--","--?--"])"},
       }) {
    SCOPED_TRACE(kind);
    const std::string written =
        WriteOne(&WriteMultStateTextEntry, {10, ui, Binding(kind, "", {1, 2}, {})});
    EXPECT_NE(written.find(expected), std::string::npos) << written;
  }
}

TEST(MultStateEntriesTest, TheWriterNeedsAMultiStateTextAndItsBinding) {
  struct Case {
    const char* name;
    std::shared_ptr<QlUiElem> ui;
    std::shared_ptr<QlIo> io;
    bool written;
  };
  const auto text = std::make_shared<QlUiMultStateText>();
  const auto io = std::make_shared<QlMultStateTextIo>();
  const Case cases[] = {
      {"multi-state text", text, io, true},
      {"without binding", text, nullptr, false},
      {"without record", nullptr, io, false},
      {"with a text binding", text, std::make_shared<NsQlElemIo::QlTextIo>(), false},
      {"holding a text", std::make_shared<NsQlUiElem::QlUiText>(), io, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool written = !c.written;
    const std::string output = WriteOne(&WriteMultStateTextEntry, {10, c.ui, c.io}, &written);
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(output.empty(), !c.written);
  }
  // A new element: no states, kind 1, no values.
  EXPECT_EQ(WriteOne(&WriteMultStateTextEntry, {10, text, io}),
            R"({"type":"MultiStateLabel","rect":{"left":0.0,"top":0.0,"right":0.0,"bottom":0.0},)"
            R"("address":"","text-array":[],"data-type":1,"data-array":[],)"
            R"("enable-visib":false,"address-for-visib":"","show-when-true":false})");
}

}  // namespace
}  // namespace NsOvrin
