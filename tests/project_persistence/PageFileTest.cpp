#include "project_persistence/PageFile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "QlUiElem/QlUiButton.h"
#include "common/PathUtil.h"
#include "QlUiElem/QlUiEdit.h"
#include "QlUiElem/QlUiText.h"
#include "element_io/QlButtonIo.h"
#include "element_io/QlEditIo.h"
#include "element_io/QlStringIo.h"
#include "element_io/QlTextIo.h"
#include "project_persistence/TempFolder.h"
#include "termination/LogCapture.h"

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
using NsQlUiElem::QlUiText;
using NsTermination::Testing::LogCapture;
using Testing::ReadFileText;
using Testing::TempFolder;
using Testing::TestDataPath;
using Testing::WriteFileText;

D2D_RECT_F Shifted(const D2D_RECT_F& r, float by) {
  return {r.left + by, r.top + by, r.right + by, r.bottom + by};
}

// What the page commands pass: the editor draws pages at (20, 20).
const RectTransform kEditShift = [](const D2D_RECT_F& r) { return Shifted(r, 20.0f); };
const RectTransform kSaveShift = [](const D2D_RECT_F& r) { return Shifted(r, -20.0f); };

std::string DataFolder() {
  const std::string file = TestDataPath("x");
  return file.substr(0, file.size() - 2);
}

// The page of data/one_of_each.ovpg, built in memory; element rectangles
// moved by shift.
std::shared_ptr<QlPageData> OneOfEach(float shift = 0.0f) {
  auto page = std::make_shared<QlPageData>();
  page->name = "one_of_each";
  page->rect = {0.0f, 0.0f, 800.0f, 600.0f};
  page->backgroundColour = 0xF8F8F8;
  page->accessPermission = 2;

  auto text = std::make_shared<QlUiText>();
  text->SetRect(Shifted({10.0f, 10.0f, 110.0f, 40.0f}, shift));
  text->textBox.text = "温度 \"A\"\\ok";
  text->textBox.colour = 0x0000FF;
  text->textBox.fontSize = 140;
  text->bkColor = 0x00FF00;
  text->bkOpacity = 0.5f;
  text->textBox.horizontalAlignment = 1;
  text->textBox.verticalAlignment = 2;
  auto textIo = std::make_shared<QlTextIo>();
  *textIo->GetBaseIoData() = {true, true, "PLC1.0x5"};
  page->elements.push_back({NsQlUiElem::kElemText, text, textIo});

  auto number = std::make_shared<QlUiEdit>();
  number->SetRect(Shifted({10.5f, 50.0f, 90.25f, 77.0f}, shift));
  number->textBox.colour = 0x123456;
  number->textBox.fontSize = 100;
  number->bkColor = 0xCCCCCC;
  number->bkOpacity = 0.75f;
  number->borderColor = 0xFF0000;
  number->textBox.horizontalAlignment = 2;
  number->accessPermission = 99;
  auto numberIo = std::make_shared<QlEditIo>();
  numberIo->dataType = 8;
  numberIo->scale = 2;
  numberIo->readOnly = true;
  numberIo->enableMinVal = true;
  numberIo->minVal = -5;
  numberIo->enableMaxVal = true;
  numberIo->maxVal = 100000;
  numberIo->address = "PLC1.4x10";
  *numberIo->GetBaseIoData() = {false, true, "PLC1.0x6"};
  page->elements.push_back({NsQlUiElem::kElemNumber, number, numberIo});

  auto string = std::make_shared<QlUiEdit>();
  string->SetRect(Shifted({120.0f, 50.0f, 300.0f, 77.0f}, shift));
  string->textBox.colour = 0x000000;
  string->textBox.fontSize = 160;
  string->bkColor = 0xF0F0F0;
  string->bkOpacity = 0.25f;
  string->borderColor = 0xA0999A;
  string->textBox.horizontalAlignment = 1;
  string->accessPermission = 100;
  auto stringIo = std::make_shared<QlStringIo>();
  stringIo->readOnly = true;
  stringIo->address = "PLC9.4x[20~24]";
  *stringIo->GetBaseIoData() = {true, false, ""};
  page->elements.push_back({NsQlUiElem::kElemString, string, stringIo});
  return page;
}

void ExpectSameRect(const D2D_RECT_F& expected, const D2D_RECT_F& actual) {
  EXPECT_EQ(expected.left, actual.left);
  EXPECT_EQ(expected.top, actual.top);
  EXPECT_EQ(expected.right, actual.right);
  EXPECT_EQ(expected.bottom, actual.bottom);
}

void ExpectSameTextBox(const NsDx2d::TextPainter& expected, const NsDx2d::TextPainter& actual) {
  ExpectSameRect(expected.rect, actual.rect);
  EXPECT_EQ(expected.text, actual.text);
  EXPECT_EQ(expected.colour, actual.colour);
  EXPECT_EQ(expected.fontSize, actual.fontSize);
  EXPECT_EQ(expected.horizontalAlignment, actual.horizontalAlignment);
  EXPECT_EQ(expected.verticalAlignment, actual.verticalAlignment);
}

void ExpectSameVisibility(const QlIo& expected, const QlIo& actual) {
  EXPECT_EQ(expected.GetBaseIoDataConst()->enableVisib, actual.GetBaseIoDataConst()->enableVisib);
  EXPECT_EQ(expected.GetBaseIoDataConst()->addressForVisib,
            actual.GetBaseIoDataConst()->addressForVisib);
  EXPECT_EQ(expected.GetBaseIoDataConst()->showWhenTrue, actual.GetBaseIoDataConst()->showWhenTrue);
}

void ExpectSameBox(const QlUiEdit& expected, const QlUiEdit& actual) {
  ExpectSameRect(expected.rect, actual.rect);
  ExpectSameTextBox(expected.textBox, actual.textBox);
  EXPECT_EQ(expected.bkColor, actual.bkColor);
  EXPECT_EQ(expected.bkOpacity, actual.bkOpacity);
  EXPECT_EQ(expected.borderColor, actual.borderColor);
  EXPECT_EQ(expected.accessPermission, actual.accessPermission);
}

// Every stored field of every element; the entries must be of the kinds
// OneOfEach builds.
void ExpectSamePage(const QlPageData& expected, const QlPageData& actual) {
  EXPECT_EQ(expected.name, actual.name);
  ExpectSameRect(expected.rect, actual.rect);
  EXPECT_EQ(expected.backgroundColour, actual.backgroundColour);
  EXPECT_EQ(expected.accessPermission, actual.accessPermission);
  ASSERT_EQ(expected.elements.size(), actual.elements.size());
  for (std::size_t i = 0; i < expected.elements.size(); ++i) {
    SCOPED_TRACE(i);
    const QlElemData& e = expected.elements[i];
    const QlElemData& a = actual.elements[i];
    ASSERT_EQ(e.type, a.type);
    ASSERT_TRUE(a.ui && a.io);
    ExpectSameVisibility(*e.io, *a.io);
    switch (e.type) {
      case NsQlUiElem::kElemText: {
        const auto& et = dynamic_cast<const QlUiText&>(*e.ui);
        const auto* at = dynamic_cast<const QlUiText*>(a.ui.get());
        ASSERT_NE(at, nullptr);
        ASSERT_NE(dynamic_cast<const QlTextIo*>(a.io.get()), nullptr);
        ExpectSameRect(et.rect, at->rect);
        ExpectSameTextBox(et.textBox, at->textBox);
        EXPECT_EQ(et.bkColor, at->bkColor);
        EXPECT_EQ(et.bkOpacity, at->bkOpacity);
        break;
      }
      case NsQlUiElem::kElemNumber: {
        const auto* ab = dynamic_cast<const QlUiEdit*>(a.ui.get());
        const auto& eio = dynamic_cast<const QlEditIo&>(*e.io);
        const auto* aio = dynamic_cast<const QlEditIo*>(a.io.get());
        ASSERT_TRUE(ab && aio);
        ExpectSameBox(dynamic_cast<const QlUiEdit&>(*e.ui), *ab);
        EXPECT_EQ(eio.dataType, aio->dataType);
        EXPECT_EQ(eio.scale, aio->scale);
        EXPECT_EQ(eio.readOnly, aio->readOnly);
        EXPECT_EQ(eio.enableMinVal, aio->enableMinVal);
        EXPECT_EQ(eio.minVal, aio->minVal);
        EXPECT_EQ(eio.enableMaxVal, aio->enableMaxVal);
        EXPECT_EQ(eio.maxVal, aio->maxVal);
        EXPECT_EQ(eio.address, aio->address);
        break;
      }
      case NsQlUiElem::kElemString: {
        const auto* ab = dynamic_cast<const QlUiEdit*>(a.ui.get());
        const auto& eio = dynamic_cast<const QlStringIo&>(*e.io);
        const auto* aio = dynamic_cast<const QlStringIo*>(a.io.get());
        ASSERT_TRUE(ab && aio);
        ExpectSameBox(dynamic_cast<const QlUiEdit&>(*e.ui), *ab);
        EXPECT_EQ(eio.readOnly, aio->readOnly);
        EXPECT_EQ(eio.address, aio->address);
        break;
      }
      default:
        FAIL() << "unexpected kind " << e.type;
    }
  }
}

TEST(PageFileTest, OneElementOfEachKindIsWrittenByteForByte) {
  TempFolder project;
  ASSERT_TRUE(SavePageFile(project.Path(), OneOfEach(), nullptr));
  EXPECT_EQ(ReadFileText(project / "one_of_each.ovpg"),
            ReadFileText(TestDataPath("one_of_each.ovpg")));
  // Every save makes sure the picture folder is there.
  EXPECT_TRUE(DirectoryExists(project / "images"));
}

TEST(PageFileTest, TheEditorShiftIsTheCallersAndTheFileKeepsPageCoordinates) {
  TempFolder project;
  const std::string fixture = ReadFileText(TestDataPath("one_of_each.ovpg"));

  // Without hooks the records hold the file's coordinates, and so does the
  // file written back.
  std::shared_ptr<QlPageData> plain;
  ASSERT_TRUE(LoadPageFile(DataFolder(), "one_of_each", {}, plain));
  ExpectSamePage(*OneOfEach(), *plain);
  ASSERT_TRUE(SavePageFile(project.Path(), plain, nullptr));
  EXPECT_EQ(ReadFileText(project / "one_of_each.ovpg"), fixture);

  // The editor's +20 moves the elements, never the page; its -20 on saving
  // gives the same file again.
  std::shared_ptr<QlPageData> edited;
  ASSERT_TRUE(LoadPageFile(DataFolder(), "one_of_each", {kEditShift, nullptr}, edited));
  ExpectSamePage(*OneOfEach(20.0f), *edited);
  ASSERT_TRUE(SavePageFile(project.Path(), edited, kSaveShift));
  EXPECT_EQ(ReadFileText(project / "one_of_each.ovpg"), fixture);
}

TEST(PageFileTest, APageWithoutElementsLoadsAndSavesAnEmptyList) {
  TempFolder project;
  std::shared_ptr<QlPageData> page;
  ASSERT_TRUE(LoadPageFile(DataFolder(), "page_only", {kEditShift, nullptr}, page));
  EXPECT_EQ(page->name, "page_only");
  ExpectSameRect({0.0f, 0.0f, 640.0f, 480.0f}, page->rect);
  EXPECT_EQ(page->backgroundColour, 0xFFFFFFu);
  EXPECT_EQ(page->accessPermission, 1);
  EXPECT_TRUE(page->elements.empty());

  ASSERT_TRUE(SavePageFile(project.Path(), page, kSaveShift));
  EXPECT_EQ(ReadFileText(project / "page_only.ovpg"),
            R"({"rect":{"left":0.0,"top":0.0,"right":640.0,"bottom":480.0},)"
            R"("bk-color":16777215,"access-permission":1,"elements":[]})");
}

TEST(PageFileTest, MissingOrMistypedPageKeysKeepTheDefaults) {
  std::shared_ptr<QlPageData> page;
  ASSERT_TRUE(LoadPageFile(DataFolder(), "fallbacks", {}, page));
  ExpectSameRect({}, page->rect);
  EXPECT_EQ(page->backgroundColour, 0xF0F0F0u);
  EXPECT_EQ(page->accessPermission, 0);
}

TEST(PageFileTest, EntriesThatCannotBeReadAreSkippedAndTheRestKeepTheirOrder) {
  LogCapture errors(8);
  std::shared_ptr<QlPageData> page;
  ASSERT_TRUE(LoadPageFile(DataFolder(), "skipped", {}, page));

  ASSERT_EQ(page->elements.size(), 3u);
  EXPECT_EQ(page->elements[0].type, NsQlUiElem::kElemText);
  EXPECT_EQ(dynamic_cast<const QlUiText&>(*page->elements[0].ui).textBox.text, "first");
  EXPECT_EQ(page->elements[1].type, NsQlUiElem::kElemString);
  EXPECT_EQ(page->elements[2].type, NsQlUiElem::kElemText);
  EXPECT_EQ(dynamic_cast<const QlUiText&>(*page->elements[2].ui).textBox.text, "last");

  // "None", a numeric type, entries that are no objects and one without a
  // type go silently; unknown names are logged.
  EXPECT_EQ(errors.Texts(), (std::vector<std::string>{"导入元件, 遇到异常的类型:Gauge",
                                                      "导入元件, 遇到异常的类型:Chart",
                                                      "导入元件, 遇到异常的类型:text"}));
}

TEST(PageFileTest, ACopiedFileLoadsUnderTheNameAskedFor) {
  TempFolder project;
  WriteFileText(project / "页面2.ovpg", ReadFileText(TestDataPath("one_of_each.ovpg")));
  std::shared_ptr<QlPageData> page;
  ASSERT_TRUE(LoadPageFile(project.Path(), "页面2", {}, page));
  EXPECT_EQ(page->name, "页面2");
  EXPECT_EQ(page->elements.size(), 3u);
}

TEST(PageFileTest, AFailedLoadLeavesTheCallersRecord) {
  TempFolder project;
  const std::vector<std::string> contents = {
      "", "   ", "{", "{} {}", R"({"rect":1,})", "[1,2]", R"("page")", "null", "42",
  };
  const auto before = std::make_shared<QlPageData>();
  for (const std::string& content : contents) {
    SCOPED_TRACE(content);
    WriteFileText(project / "P.ovpg", content);
    std::shared_ptr<QlPageData> page = before;
    EXPECT_FALSE(LoadPageFile(project.Path(), "P", {}, page));
    EXPECT_EQ(page, before);
  }
  std::shared_ptr<QlPageData> page = before;
  EXPECT_FALSE(LoadPageFile(project.Path(), "absent", {}, page));
  EXPECT_EQ(page, before);

  // A successful load replaces it.
  WriteFileText(project / "P.ovpg", "{}");
  ASSERT_TRUE(LoadPageFile(project.Path(), "P", {}, page));
  EXPECT_NE(page, before);
  EXPECT_EQ(page->name, "P");
  EXPECT_EQ(page->backgroundColour, 0xF0F0F0u);
}

// Runs the body with the working directory in a folder of its own.
class WorkingDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char buffer[4096];
    ASSERT_NE(::getcwd(buffer, sizeof buffer), nullptr);
    previous_ = buffer;
    ASSERT_EQ(::chdir(cwd_.Path().c_str()), 0);
  }
  void TearDown() override { ASSERT_EQ(::chdir(previous_.c_str()), 0); }

  TempFolder cwd_;
  std::string previous_;
};

TEST_F(WorkingDirectoryTest, WithoutAProjectFolderNothingIsReadOrWritten) {
  WriteFileText(cwd_ / "P.ovpg", "{}");
  auto page = std::make_shared<QlPageData>();
  page->name = "P";
  std::shared_ptr<QlPageData> loaded = page;
  EXPECT_FALSE(LoadPageFile("", "P", {}, loaded));
  EXPECT_EQ(loaded, page);

  page->name = "Q";
  EXPECT_FALSE(SavePageFile("", page, nullptr));
  EXPECT_FALSE(Testing::Exists(cwd_ / "Q.ovpg"));
  EXPECT_FALSE(Testing::Exists(cwd_ / "images"));
}

TEST(PageFileTest, PageNamesCannotLeadOutOfTheProjectFolder) {
  TempFolder root;
  const std::string project = root / "project";
  ASSERT_EQ(::mkdir(project.c_str(), 0777), 0);
  WriteFileText(root / "outside.ovpg", "{}");

  for (const std::string name : {"../outside", "sub/x", "", "a b"}) {
    SCOPED_TRACE(name);
    std::shared_ptr<QlPageData> page;
    EXPECT_FALSE(LoadPageFile(project, name, {}, page));
    EXPECT_EQ(page, nullptr);
    page = std::make_shared<QlPageData>();
    page->name = name;
    EXPECT_FALSE(SavePageFile(project, page, nullptr));
  }
  EXPECT_EQ(ReadFileText(root / "outside.ovpg"), "{}");
}

TEST(PageFileTest, SaveFailsWithoutARecordOrAWritableFolder) {
  TempFolder root;
  EXPECT_FALSE(SavePageFile(root.Path(), nullptr, nullptr));
  auto page = std::make_shared<QlPageData>();
  page->name = "P";
  EXPECT_FALSE(SavePageFile(root / "missing", page, nullptr));
  EXPECT_FALSE(Testing::Exists(root / "missing"));
}

TEST(PageFileTest, EntriesWithoutAWriterOrWithTheWrongPartsAreLeftOut) {
  TempFolder project;
  auto text = [] { return std::make_shared<QlUiText>(); };
  auto textIo = [] { return std::make_shared<QlTextIo>(); };
  auto page = std::make_shared<QlPageData>();
  page->name = "P";
  page->elements = {
      {NsQlUiElem::kElemNone, text(), textIo()},
      {15, text(), textIo()},
      {-1, text(), textIo()},
      {NsQlUiElem::kElemText, nullptr, textIo()},
      {NsQlUiElem::kElemText, text(), nullptr},
      {NsQlUiElem::kElemText, std::make_shared<QlUiEdit>(), textIo()},
      {NsQlUiElem::kElemNumber, std::make_shared<QlUiEdit>(), std::make_shared<QlStringIo>()},
      {NsQlUiElem::kElemString, text(), std::make_shared<QlStringIo>()},
      {NsQlUiElem::kElemButton, text(), textIo()},
      {NsQlUiElem::kElemAlarmList, std::make_shared<NsQlUiElem::QlUiButton>(),
       std::make_shared<NsQlElemIo::QlButtonIo>()},
      {NsQlUiElem::kElemText, text(), textIo()},
  };
  dynamic_cast<QlUiText&>(*page->elements.back().ui).textBox.text = "kept";

  LogCapture errors(8);
  ASSERT_TRUE(SavePageFile(project.Path(), page, nullptr));
  EXPECT_TRUE(errors.Texts().empty());

  std::shared_ptr<QlPageData> loaded;
  ASSERT_TRUE(LoadPageFile(project.Path(), "P", {}, loaded));
  ASSERT_EQ(loaded->elements.size(), 1u);
  EXPECT_EQ(dynamic_cast<const QlUiText&>(*loaded->elements[0].ui).textBox.text, "kept");
}

}  // namespace
}  // namespace NsOvrin
