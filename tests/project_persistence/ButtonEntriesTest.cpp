#include "project_persistence/ButtonEntries.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "QlUiElem/QlUiButton.h"
#include "QlUiElem/QlUiText.h"
#include "compiler/QlMultFuncBtnIo.h"
#include "element_io/QlButtonIo.h"
#include "element_io/QlPageToIo.h"
#include "element_io/QlTextIo.h"
#include "project_persistence/EntryTestSupport.h"

namespace NsOvrin {
namespace {

using NsDx2d::D2D_RECT_F;
using NsQlElemIo::BaseIoData;
using NsQlElemIo::QlButtonIo;
using NsQlElemIo::QlIo;
using NsQlElemIo::QlMultFuncBtnIo;
using NsQlElemIo::QlPageToIo;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlPageData;
using NsQlUiElem::QlUiButton;
using NsQlUiElem::QlUiElem;
using namespace Testing;

// Where a picture of the fixtures is, by file name.
using PicturePath = std::function<std::string(const std::string& name)>;

std::string WindowsPath(const std::string& name) {
  return name == "on.png" ? "D:\\其他\\on.png" : "C:\\pics\\" + name;
}

// A button as the editor places it: painter on the rectangle, radius 4.
std::shared_ptr<QlUiButton> Placed(const D2D_RECT_F& rect) {
  auto button = std::make_shared<QlUiButton>();
  button->data.rect = rect;
  button->painter.rect = rect;
  button->painter.cornerRadius = 4.0f;
  return button;
}

// The page of data/button_entries.ovpg; element rectangles moved by shift.
std::shared_ptr<QlPageData> ButtonPage(const PicturePath& picture, float shift = 0.0f) {
  auto page = std::make_shared<QlPageData>();
  page->name = "button_entries";
  page->rect = {0.0f, 0.0f, 800.0f, 480.0f};

  auto button = Placed(Shifted({10.0f, 20.0f, 110.5f, 60.0f}, shift));
  button->data.text = "启动";
  button->data.text2 = "运行 \"1\"\\ok";
  button->data.textColour = 0x0000FF;
  button->data.textColour2 = 0x00FF00;
  button->data.fontSize = 120;
  button->data.bkColour = 0xFF0000;
  button->data.bkColour2 = 0x00FFFF;
  button->data.bkOpacity = 0.75f;
  button->data.borderColour = 0x808080;
  button->data.borderStyle = NsQlUiElem::kButtonCircular;
  button->painter.style = NsQlUiElem::kButtonCircular;
  button->data.imageStyle = NsQlUiElem::kImageStretch;
  button->data.imagePath = picture("off.png");
  button->data.imagePath2 = picture("on.png");
  button->data.accessPermission = 2;
  button->data.holdDelay = 15;
  auto buttonIo = std::make_shared<QlButtonIo>();
  buttonIo->buttonType = NsQlElemIo::kButtonSetValue;
  buttonIo->dataType = NsTermination::kTypeUInt16;
  buttonIo->readAddress = "PLC1.0x00010";
  buttonIo->writeAddress = "PLC1.4x00011";
  buttonIo->sameAsRead = false;
  buttonIo->presetValue = 4294967295u;
  *buttonIo->GetBaseIoData() = {true, true, "PLC1.0x00005"};
  page->elements.push_back({NsQlUiElem::kElemButton, button, buttonIo});

  auto pageTo = Placed(Shifted({120.0f, 20.0f, 200.0f, 60.0f}, shift));
  pageTo->data.text = "下一页";
  pageTo->data.textColour = 0xFFFFFF;
  pageTo->data.fontSize = 90;
  pageTo->data.bkColour = 0x333333;
  pageTo->data.bkOpacity = 0.5f;
  pageTo->data.borderColour = 0;
  pageTo->data.borderStyle = NsQlUiElem::kButtonFlat;
  pageTo->painter.style = NsQlUiElem::kButtonFlat;
  pageTo->data.imageStyle = 2;
  pageTo->data.imagePath = picture("arrow.png");
  pageTo->data.accessPermission = 1;
  auto pageToIo = std::make_shared<QlPageToIo>();
  pageToIo->targetPage = "页面2";
  pageToIo->jumpType = NsQlElemIo::kPageJumpNamed;
  *pageToIo->GetBaseIoData() = {false, false, "PLC1.0x00006"};
  page->elements.push_back({NsQlUiElem::kElemPageTo, pageTo, pageToIo});

  auto multFunc = Placed(Shifted({210.0f, 20.0f, 300.0f, 60.0f}, shift));
  multFunc->data.text = "复位";
  multFunc->data.textColour = 0x000080;
  multFunc->data.fontSize = 110;
  multFunc->data.bkColour = 0xC0C0C0;
  multFunc->data.bkOpacity = 0.25f;
  multFunc->data.borderColour = 0x008080;
  multFunc->data.borderStyle = NsQlUiElem::kButtonSwitch;
  multFunc->painter.style = NsQlUiElem::kButtonSwitch;
  multFunc->data.accessPermission = 3;
  auto multFuncIo = std::make_shared<QlMultFuncBtnIo>();
  multFuncIo->funcList.sourceLines = {"SET PLC1.0x00001", "页面跳到 \"页面2\"", "退出登录"};
  *multFuncIo->GetBaseIoData() = {true, true, ""};
  page->elements.push_back({NsQlUiElem::kElemMultFunc, multFunc, multFuncIo});
  return page;
}

void ExpectSameButton(const QlUiButton& e, const QlUiElem& actualUi) {
  const auto* a = dynamic_cast<const QlUiButton*>(&actualUi);
  ASSERT_NE(a, nullptr);
  ExpectSameRect(e.data.rect, a->data.rect);
  EXPECT_EQ(e.data.text, a->data.text);
  EXPECT_EQ(e.data.text2, a->data.text2);
  EXPECT_EQ(e.data.textColour, a->data.textColour);
  EXPECT_EQ(e.data.textColour2, a->data.textColour2);
  EXPECT_EQ(e.data.fontSize, a->data.fontSize);
  EXPECT_EQ(e.data.borderColour, a->data.borderColour);
  EXPECT_EQ(e.data.borderStyle, a->data.borderStyle);
  EXPECT_EQ(e.data.bkColour, a->data.bkColour);
  EXPECT_EQ(e.data.bkColour2, a->data.bkColour2);
  EXPECT_EQ(e.data.imageStyle, a->data.imageStyle);
  EXPECT_EQ(e.data.imagePath, a->data.imagePath);
  EXPECT_EQ(e.data.imagePath2, a->data.imagePath2);
  EXPECT_EQ(e.data.bkOpacity, a->data.bkOpacity);
  EXPECT_EQ(e.data.state, a->data.state);
  EXPECT_EQ(e.data.holdDelay, a->data.holdDelay);
  EXPECT_EQ(e.data.accessPermission, a->data.accessPermission);
  ExpectSameRect(e.painter.rect, a->painter.rect);
  EXPECT_EQ(e.painter.cornerRadius, a->painter.cornerRadius);
  EXPECT_EQ(e.painter.style, a->painter.style);
}

void ExpectSameButtonIo(const QlButtonIo& e, const QlIo& actualIo) {
  const auto* a = dynamic_cast<const QlButtonIo*>(&actualIo);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(e.buttonType, a->buttonType);
  EXPECT_EQ(e.dataType, a->dataType);
  EXPECT_EQ(e.sameAsRead, a->sameAsRead);
  EXPECT_EQ(e.readAddress, a->readAddress);
  EXPECT_EQ(e.writeAddress, a->writeAddress);
  EXPECT_EQ(e.presetValue, a->presetValue);
  ExpectSameVisibility(*e.GetBaseIoDataConst(), *a);
}

void ExpectSamePageToIo(const QlPageToIo& e, const QlIo& actualIo) {
  const auto* a = dynamic_cast<const QlPageToIo*>(&actualIo);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(e.targetPage, a->targetPage);
  EXPECT_EQ(e.jumpType, a->jumpType);
  ExpectSameVisibility(*e.GetBaseIoDataConst(), *a);
}

void ExpectSameMultFuncIo(const QlMultFuncBtnIo& e, const QlIo& actualIo) {
  const auto* a = dynamic_cast<const QlMultFuncBtnIo*>(&actualIo);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(e.funcList.sourceLines, a->funcList.sourceLines);
  // Compiled only when bound.
  EXPECT_TRUE(a->funcList.functions.empty());
  ExpectSameVisibility(*e.GetBaseIoDataConst(), *a);
}

void ExpectSameEntries(const QlPageData& expected, const QlPageData& actual) {
  ASSERT_EQ(expected.elements.size(), actual.elements.size());
  for (std::size_t i = 0; i < expected.elements.size(); ++i) {
    SCOPED_TRACE(i);
    const QlElemData& e = expected.elements[i];
    const QlElemData& a = actual.elements[i];
    ASSERT_EQ(e.type, a.type);
    ASSERT_TRUE(a.ui && a.io);
    ExpectSameButton(dynamic_cast<const QlUiButton&>(*e.ui), *a.ui);
    switch (e.type) {
      case NsQlUiElem::kElemButton:
        ExpectSameButtonIo(dynamic_cast<const QlButtonIo&>(*e.io), *a.io);
        break;
      case NsQlUiElem::kElemPageTo:
        ExpectSamePageToIo(dynamic_cast<const QlPageToIo&>(*e.io), *a.io);
        break;
      default:
        ExpectSameMultFuncIo(dynamic_cast<const QlMultFuncBtnIo&>(*e.io), *a.io);
        break;
    }
  }
}

TEST(ButtonEntriesTest, OneElementOfEachKindIsWrittenByteForByte) {
  TempFolder project;
  ASSERT_TRUE(SavePageFile(project.Path(), ButtonPage(WindowsPath), nullptr));
  EXPECT_EQ(ReadFileText(project / "button_entries.ovpg"),
            ReadFileText(TestDataPath("button_entries.ovpg")));
}

// The fixture's pictures were made on Windows: they are found in the
// project's picture folder by file name, and the page keeps what it found.
TEST(ButtonEntriesTest, EveryKeyIsReadAndWrittenBackUnchanged) {
  FixtureProject project("button_entries", {"off.png", "on.png", "arrow.png"});
  const PicturePath resolved = [&](const std::string& name) { return project.Picture(name); };
  const std::shared_ptr<QlPageData> page = project.LoadForEdit();
  ASSERT_NE(page, nullptr);
  ExpectSameEntries(*ButtonPage(resolved, 20.0f), *page);

  ASSERT_TRUE(SavePageFile(project.Path(), page, kSaveShift));
  std::string expected = project.Fixture();
  for (const std::string name : {"off.png", "on.png", "arrow.png"})
    expected = ReplaceAll(expected, JsonOf(WindowsPath(name)), JsonOf(resolved(name)));
  EXPECT_EQ(project.Saved(), expected);
}

// data/button_fallbacks.ovpg: each kind once with no keys and once with
// every key of the wrong JSON type.
TEST(ButtonEntriesTest, MissingAndMistypedKeysKeepEveryDefault) {
  FixtureProject project("button_fallbacks", {});
  const std::shared_ptr<QlPageData> page = project.LoadForEdit();
  ASSERT_NE(page, nullptr);
  // Not placed either: without a "rect" object the painter keeps radius 5.
  const QlUiButton unplaced;
  const NsQlElemIo::QlButtonIo button;
  const NsQlElemIo::QlPageToIo pageTo;
  const NsQlElemIo::QlMultFuncBtnIo multFunc;
  const NsQlUiElem::QlElemType kinds[] = {NsQlUiElem::kElemButton, NsQlUiElem::kElemPageTo,
                                          NsQlUiElem::kElemMultFunc};
  ASSERT_EQ(page->elements.size(), 6u);
  for (std::size_t i = 0; i < 6; ++i) {
    SCOPED_TRACE(i);
    const QlElemData& entry = page->elements[i];
    ASSERT_EQ(entry.type, kinds[i / 2]);
    ExpectSameButton(unplaced, *entry.ui);
    switch (entry.type) {
      case NsQlUiElem::kElemButton:
        ExpectSameButtonIo(button, *entry.io);
        break;
      case NsQlUiElem::kElemPageTo:
        ExpectSamePageToIo(pageTo, *entry.io);
        break;
      default:
        ExpectSameMultFuncIo(multFunc, *entry.io);
        break;
    }
  }
  // The defaults the file falls back to.
  EXPECT_EQ(unplaced.data.textColour, 0x333333u);
  EXPECT_EQ(unplaced.data.fontSize, 100);
  EXPECT_EQ(unplaced.data.bkColour, 0xEDEDEDu);
  EXPECT_EQ(unplaced.data.bkColour2, 0xD2F3ECu);
  EXPECT_EQ(unplaced.data.borderColour, 0xC8C8C8u);
  EXPECT_EQ(unplaced.data.borderStyle, NsQlUiElem::kButtonRaised);
  EXPECT_EQ(unplaced.painter.cornerRadius, 5.0f);
  EXPECT_TRUE(button.sameAsRead);
  EXPECT_EQ(button.dataType, NsTermination::kTypeBit);
  EXPECT_EQ(pageTo.jumpType, NsQlElemIo::kPageJumpHome);
}

TEST(ButtonEntriesTest, TheButtonTypeSetsTheDataTypeAndIsWrittenSigned) {
  struct Case {
    std::string json;
    int32_t buttonType;
    uint16_t dataType;
    std::string written;
  };
  const Case cases[] = {
      {R"({"button-type":-1})", -1, NsTermination::kTypeBit, R"("button-type":-1,)"},
      {R"({"button-type":0})", 0, NsTermination::kTypeBit, R"("button-type":0,)"},
      {R"({"button-type":3})", 3, NsTermination::kTypeBit, R"("button-type":3,)"},
      {R"({"button-type":4})", 4, NsTermination::kTypeUInt16, R"("button-type":4,)"},
      {R"({"button-type":5})", 5, NsTermination::kTypeBit, R"("button-type":5,)"},
      {R"({"button-type":6})", 6, NsTermination::kTypeBit, R"("button-type":6,)"},
      // Only a signed 32-bit integer passes.
      {R"({"button-type":4294967295})", 0, NsTermination::kTypeBit, R"("button-type":0,)"},
      {R"({"button-type":4.0})", 0, NsTermination::kTypeBit, R"("button-type":0,)"},
      // Not stored: it follows from the type.
      {R"({"data-type":4})", 0, NsTermination::kTypeBit, R"("button-type":0,)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const ReadEntry read = ReadOne(&ReadButtonEntry, c.json);
    const auto& io = dynamic_cast<const QlButtonIo&>(*read.io);
    EXPECT_EQ(io.buttonType, c.buttonType);
    EXPECT_EQ(io.dataType, c.dataType);
    const std::string written = WriteOne(&WriteButtonEntry, {4, read.ui, read.io});
    EXPECT_NE(written.find(c.written), std::string::npos) << written;
    EXPECT_EQ(written.find("data-type"), std::string::npos) << written;
  }
}

TEST(ButtonEntriesTest, NarrowFieldsKeepTheirLowBitsAndTheReadAddressIsTheDefaultTarget) {
  struct Case {
    std::string json;
    uint16_t holdDelay;
    int32_t borderStyle;
    std::string writtenStyle;
  };
  const Case cases[] = {
      {R"({"hold-delay":65551,"border-style":2})", 15, 2, R"("border-style":2,)"},
      {R"({"hold-delay":65535,"border-style":0})", 65535, 0, R"("border-style":0,)"},
      // Stored and written as the style's low 16 bits.
      {R"({"hold-delay":-1,"border-style":65540})", 0, 65540, R"("border-style":4,)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const ReadEntry read = ReadOne(&ReadButtonEntry, c.json);
    const auto& button = dynamic_cast<const QlUiButton&>(*read.ui);
    EXPECT_EQ(button.data.holdDelay, c.holdDelay);
    EXPECT_EQ(button.data.borderStyle, c.borderStyle);
    // A loaded button shows state 0: its painter draws the border style.
    EXPECT_EQ(button.painter.style, c.borderStyle);
    const std::string written = WriteOne(&WriteButtonEntry, {4, read.ui, read.io});
    EXPECT_NE(written.find(c.writtenStyle), std::string::npos) << written;
  }

  // Stored without "same-as-rd-address": it writes to its read address.
  const ReadEntry read = ReadOne(&ReadButtonEntry, R"({"rd-address":"PLC1.0x1"})");
  const auto& io = dynamic_cast<const QlButtonIo&>(*read.io);
  EXPECT_TRUE(io.sameAsRead);
  EXPECT_TRUE(io.SelectsReadAddress());
}

TEST(ButtonEntriesTest, APageJumpButtonStoredWithoutAJumpTypeLeadsHome) {
  struct Case {
    std::string json;
    int32_t jumpType;
    std::string target;
  };
  const Case cases[] = {
      {R"({})", NsQlElemIo::kPageJumpHome, "首页"},
      {R"({"page-name":"P2"})", NsQlElemIo::kPageJumpHome, "首页"},
      {R"({"page-jump-type":0})", NsQlElemIo::kPageJumpPrevious, "上一页"},
      {R"({"page-jump-type":2,"page-name":"P2"})", NsQlElemIo::kPageJumpNamed, "P2"},
      {R"({"page-jump-type":-2,"page-name":"P2"})", NsQlElemIo::kPageJumpHome, "首页"},
      {R"({"page-jump-type":"2","page-name":"P2"})", NsQlElemIo::kPageJumpHome, "首页"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const ReadEntry read = ReadOne(&ReadPageToEntry, c.json);
    const auto& io = dynamic_cast<const QlPageToIo&>(*read.io);
    EXPECT_EQ(io.jumpType, c.jumpType);
    EXPECT_EQ(io.GetTargetText(), c.target);
  }
}

TEST(ButtonEntriesTest, InstructionLinesStopAtTheFirstThatIsNoTextAndSkipEmptyOnes) {
  struct Case {
    std::string json;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {R"({"event-func-list":["SET PLC1.0x1","",5,"RST PLC1.0x1"]})", {"SET PLC1.0x1"}},
      {R"({"event-func-list":["SET PLC1.0x1","","RST PLC1.0x1"]})",
       {"SET PLC1.0x1", "RST PLC1.0x1"}},
      {R"({"event-func-list":[null,"SET PLC1.0x1"]})", {}},
      {R"({"event-func-list":[]})", {}},
      {R"({"event-func-list":{"0":"SET PLC1.0x1"}})", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const ReadEntry read = ReadOne(&ReadMultFuncEntry, c.json);
    EXPECT_EQ(dynamic_cast<const QlMultFuncBtnIo&>(*read.io).funcList.sourceLines, c.lines);
  }

  // Every line the binding holds is written, in order.
  auto io = std::make_shared<QlMultFuncBtnIo>();
  io->funcList.sourceLines = {"短消息 \"开\"", "SET PLC1.0x1"};
  const std::string written =
      WriteOne(&WriteMultFuncEntry, {13, std::make_shared<QlUiButton>(), io});
  EXPECT_NE(written.find(R"("event-func-list":["短消息 \"开\"","SET PLC1.0x1"],)"),
            std::string::npos)
      << written;
}

// Keys another kind drawn as a button stores are neither read nor written.
TEST(ButtonEntriesTest, EachKindKeepsToItsOwnKeys) {
  FixtureProject project("button_entries", {"on.png", "off.png"});
  const std::string everyKey =
      R"({"text2":"x","text-color2":1,"bk-color2":2,"button-type":4,"hold-delay":9,)"
      R"("rd-address":"PLC1.0x1","wr-address":"PLC1.0x2","same-as-rd-address":false,)"
      R"("preset-value":3,"page-name":"P","page-jump-type":2,"event-func-list":["SET PLC1.0x1"],)"
      R"("image-file-path2":)" +
      JsonOf(project.Picture("on.png")) + "}";
  const std::string withPicture = everyKey.substr(0, everyKey.size() - 1) +
                                  R"(,"image-style":1,"image-file-path":)" +
                                  JsonOf(project.Picture("off.png")) + "}";
  struct Case {
    const char* name;
    EntryReader reader;
    EntryWriter writer;
    std::string json;
    // The look the object holds is none of this kind's.
    bool defaultLook;
    std::vector<std::string> foreignKeys;
  };
  const Case cases[] = {
      {"PageTo",
       &ReadPageToEntry,
       &WritePageToEntry,
       everyKey,
       true,
       {"text2", "text-color2", "bk-color2", "image-file-path2", "button-type", "hold-delay",
        "rd-address", "wr-address", "same-as-rd-address", "preset-value", "event-func-list"}},
      {"MultFunc",
       &ReadMultFuncEntry,
       &WriteMultFuncEntry,
       withPicture,
       true,
       {"text2", "text-color2", "bk-color2", "image-style", "image-file-path", "image-file-path2",
        "button-type", "hold-delay", "rd-address", "page-name", "page-jump-type"}},
      {"Button",
       &ReadButtonEntry,
       &WriteButtonEntry,
       withPicture,
       false,
       {"page-name", "page-jump-type", "event-func-list"}},
  };
  const QlUiButton defaults;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const ReadEntry read = ReadOne(c.reader, c.json, project.Path());
    if (c.defaultLook) ExpectSameButton(defaults, *read.ui);
    const std::string written = WriteOne(c.writer, {4, read.ui, read.io});
    for (const std::string& key : c.foreignKeys)
      EXPECT_EQ(written.find("\"" + key + "\""), std::string::npos) << key << " in " << written;
  }
}

TEST(ButtonEntriesTest, TheRectanglePlacesTheFramePainter) {
  rapidjson::Document object;
  object.Parse(R"({"rect":{"left":10.0,"top":20.0,"right":110.0,"bottom":50.0}})");
  const PageReadContext context{"", nullptr, kEditShift};
  for (EntryReader reader : {&ReadButtonEntry, &ReadPageToEntry, &ReadMultFuncEntry}) {
    std::shared_ptr<QlUiElem> ui;
    std::shared_ptr<QlIo> io;
    ASSERT_TRUE(reader(object, context, ui, io));
    const auto& button = dynamic_cast<const QlUiButton&>(*ui);
    ExpectSameRect({30, 40, 130, 70}, button.GetRect());
    ExpectSameRect({30, 40, 130, 70}, button.painter.rect);
    EXPECT_EQ(button.painter.cornerRadius, 4.0f);
  }
}

TEST(ButtonEntriesTest, WritersNeedARecordAndABindingOfTheirKind) {
  struct Case {
    const char* name;
    EntryWriter writer;
    std::shared_ptr<QlUiElem> ui;
    std::shared_ptr<QlIo> io;
    bool written;
  };
  const auto button = std::make_shared<QlUiButton>();
  const auto text = std::make_shared<NsQlUiElem::QlUiText>();
  const auto buttonIo = std::make_shared<QlButtonIo>();
  const auto pageToIo = std::make_shared<QlPageToIo>();
  const auto multFuncIo = std::make_shared<QlMultFuncBtnIo>();
  const Case cases[] = {
      {"button", &WriteButtonEntry, button, buttonIo, true},
      {"button with a page-jump binding", &WriteButtonEntry, button, pageToIo, false},
      {"button with a text", &WriteButtonEntry, text, buttonIo, false},
      {"button without binding", &WriteButtonEntry, button, nullptr, false},
      {"page jump", &WritePageToEntry, button, pageToIo, true},
      {"page jump with a button binding", &WritePageToEntry, button, buttonIo, false},
      {"page jump without record", &WritePageToEntry, nullptr, pageToIo, false},
      {"multi-function", &WriteMultFuncEntry, button, multFuncIo, true},
      {"multi-function with a text binding", &WriteMultFuncEntry, button,
       std::make_shared<NsQlElemIo::QlTextIo>(), false},
      {"multi-function with a text", &WriteMultFuncEntry, text, multFuncIo, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool written = !c.written;
    const std::string output = WriteOne(c.writer, {4, c.ui, c.io}, &written);
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(output.empty(), !c.written);
  }
}

// Pictures travel with the project: a save copies them into its picture
// folder, the elements keep the paths they hold.
TEST(ButtonEntriesTest, PicturesAreCopiedIntoTheProjectOnSave) {
  TempFolder root;
  const std::string elsewhere = root / "pictures";
  const std::string project = root / "project";
  ASSERT_EQ(::mkdir(elsewhere.c_str(), 0777), 0);
  ASSERT_EQ(::mkdir(project.c_str(), 0777), 0);
  const PicturePath original = [&](const std::string& name) { return elsewhere + "/" + name; };
  for (const std::string name : {"off.png", "on.png", "arrow.png"})
    WriteFileText(original(name), "picture " + name);

  const std::shared_ptr<QlPageData> page = ButtonPage(original);
  ASSERT_TRUE(SavePageFile(project, page, nullptr));
  for (const std::string name : {"off.png", "on.png", "arrow.png"})
    EXPECT_EQ(ReadFileText(project + "/images/" + name), "picture " + name) << name;
  const std::string saved = ReadFileText(project + "/button_entries.ovpg");
  EXPECT_NE(saved.find(JsonOf(original("on.png"))), std::string::npos) << saved;

  // Moved away from its pictures, the project still shows them, and the
  // next save stores where they were found.
  std::filesystem::remove_all(elsewhere);
  std::shared_ptr<QlPageData> loaded;
  ASSERT_TRUE(LoadPageFile(project, "button_entries", {nullptr, ResolvePicturePath}, loaded));
  const auto& button = dynamic_cast<const QlUiButton&>(*loaded->elements[0].ui);
  EXPECT_EQ(button.data.imagePath2, project + "/images/on.png");
  ASSERT_TRUE(SavePageFile(project, loaded, nullptr));
  EXPECT_NE(ReadFileText(project + "/button_entries.ovpg").find(JsonOf(project + "/images/on.png")),
            std::string::npos);
}

TEST(ButtonEntriesTest, APictureThatCannotBeFoundIsDroppedOnTheNextSave) {
  // Only the OFF picture is in the project.
  FixtureProject project("button_entries", {"off.png"});
  const std::shared_ptr<QlPageData> page = project.LoadForEdit();
  ASSERT_NE(page, nullptr);
  const auto& button = dynamic_cast<const QlUiButton&>(*page->elements[0].ui);
  EXPECT_EQ(button.data.imagePath, project.Picture("off.png"));
  EXPECT_EQ(button.data.imagePath2, "");
  EXPECT_EQ(dynamic_cast<const QlUiButton&>(*page->elements[1].ui).data.imagePath, "");

  ASSERT_TRUE(SavePageFile(project.Path(), page, kSaveShift));
  const std::string saved = project.Saved();
  EXPECT_NE(saved.find("\"image-file-path\":" + JsonOf(project.Picture("off.png"))),
            std::string::npos);
  EXPECT_EQ(saved.find("image-file-path2"), std::string::npos) << saved;
  EXPECT_EQ(saved.find("arrow.png"), std::string::npos) << saved;

  // Without a resolver no picture is read at all.
  std::shared_ptr<QlPageData> plain;
  ASSERT_TRUE(LoadPageFile(project.Path(), "button_entries", {}, plain));
  EXPECT_EQ(dynamic_cast<const QlUiButton&>(*plain->elements[0].ui).data.imagePath, "");
}

}  // namespace
}  // namespace NsOvrin
