#include "project_persistence/PanelEntries.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "QlUiElem/QlUiBtnUser.h"
#include "QlUiElem/QlUiImage.h"
#include "QlUiElem/QlUiNavBar.h"
#include "QlUiElem/QlUiPanel.h"
#include "QlUiElem/QlUiText.h"
#include "element_io/QlBtnUserIo.h"
#include "element_io/QlImageIo.h"
#include "element_io/QlNavBarIo.h"
#include "element_io/QlPanelIo.h"
#include "element_io/QlTextIo.h"
#include "project_persistence/EntryTestSupport.h"

namespace NsOvrin {
namespace {

using NsDx2d::D2D_RECT_F;
using NsDx2d::TextPainter;
using NsQlElemIo::QlBtnUserIo;
using NsQlElemIo::QlImageIo;
using NsQlElemIo::QlIo;
using NsQlElemIo::QlNavBarIo;
using NsQlElemIo::QlPanelIo;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlPageData;
using NsQlUiElem::QlUiBtnUser;
using NsQlUiElem::QlUiElem;
using NsQlUiElem::QlUiImage;
using NsQlUiElem::QlUiNavBar;
using NsQlUiElem::QlUiPanel;
using namespace Testing;

constexpr const char* kLogo = "C:\\pics\\logo.png";

template <typename Io>
std::shared_ptr<Io> Visible(bool enable, bool showWhenTrue, const std::string& address) {
  auto io = std::make_shared<Io>();
  *io->GetBaseIoData() = {enable, showWhenTrue, address};
  return io;
}

// The page of data/panel_entries.ovpg with the logo at logo; element
// rectangles moved by shift.
std::shared_ptr<QlPageData> PanelPage(const std::string& logo, float shift = 0.0f) {
  auto page = std::make_shared<QlPageData>();
  page->name = "panel_entries";
  page->rect = {0.0f, 0.0f, 800.0f, 480.0f};

  auto panel = std::make_shared<QlUiPanel>();
  panel->SetRect(Shifted({10.0f, 80.0f, 310.0f, 280.0f}, shift));
  panel->title = "参数设置";
  panel->textColour = 0x111111;
  panel->titleBkColour = 0xE0E0E0;
  panel->fontSize = 150;
  panel->bkColour = 0xFFFFFF;
  panel->borderColour = 0x800000;
  page->elements.push_back(
      {NsQlUiElem::kElemPanel, panel, Visible<QlPanelIo>(true, false, "PLC1.0x00007")});

  auto picture = std::make_shared<QlUiImage>();
  picture->rect = Shifted({320.0f, 80.0f, 420.0f, 180.0f}, shift);
  picture->imageStyle = NsQlUiElem::kImageStretch;
  picture->imagePath = logo;
  page->elements.push_back(
      {NsQlUiElem::kElemPicture, picture, Visible<QlImageIo>(false, true, "")});

  auto empty = std::make_shared<QlUiImage>();
  empty->rect = Shifted({430.0f, 80.0f, 470.5f, 120.25f}, shift);
  page->elements.push_back({NsQlUiElem::kElemPicture, empty, std::make_shared<QlImageIo>()});

  auto bar = std::make_shared<QlUiNavBar>();
  bar->SetRect(Shifted({10.0f, 300.0f, 520.0f, 330.0f}, shift));
  bar->labels = {"首页", "", "报警"};
  bar->textColour = 0x444444;
  bar->textColour2 = 0xFFFFFF;
  bar->fontSize = 100;
  bar->SetBkColour(0xE6E6E6);
  bar->bkColour2 = 0xFAFAFA;
  bar->SetBorderColour(0x999999);
  auto barIo = std::make_shared<QlNavBarIo>();
  barIo->targetPages = {"页面1", "页面2"};
  page->elements.push_back({NsQlUiElem::kElemNavBar, bar, barIo});

  auto login = std::make_shared<QlUiBtnUser>();
  login->SetRect(Shifted({10.0f, 340.0f, 350.0f, 371.0f}, shift));
  page->elements.push_back(
      {NsQlUiElem::kElemBtnLogin, login, Visible<QlBtnUserIo>(true, true, "PLC1.0x00008")});
  return page;
}

void ExpectSameTextPainter(const TextPainter& e, const TextPainter& a) {
  ExpectSameRect(e.rect, a.rect);
  EXPECT_EQ(e.text, a.text);
  EXPECT_EQ(e.colour, a.colour);
  EXPECT_EQ(e.fontSize, a.fontSize);
}

void ExpectSameShapePainter(const NsDx2d::ShapePainter& e, const NsDx2d::ShapePainter& a) {
  ExpectSameRect(e.rect, a.rect);
  EXPECT_EQ(e.cornerRadius, a.cornerRadius);
  EXPECT_EQ(e.borderColour, a.borderColour);
  EXPECT_EQ(e.fillColour, a.fillColour);
  EXPECT_EQ(e.opacity, a.opacity);
  EXPECT_EQ(e.style, a.style);
}

// Every stored field and what the reader lays out from it.
void ExpectSameElement(const QlElemData& e, const QlElemData& a) {
  ASSERT_EQ(e.type, a.type);
  ASSERT_TRUE(a.ui && a.io);
  ExpectSameVisibility(*e.io->GetBaseIoDataConst(), *a.io);
  switch (e.type) {
    case NsQlUiElem::kElemPanel: {
      const auto& ep = dynamic_cast<const QlUiPanel&>(*e.ui);
      const auto* ap = dynamic_cast<const QlUiPanel*>(a.ui.get());
      ASSERT_NE(ap, nullptr);
      ASSERT_NE(dynamic_cast<const QlPanelIo*>(a.io.get()), nullptr);
      ExpectSameRect(ep.rect, ap->rect);
      EXPECT_EQ(ep.title, ap->title);
      EXPECT_EQ(ep.textColour, ap->textColour);
      EXPECT_EQ(ep.titleBkColour, ap->titleBkColour);
      EXPECT_EQ(ep.fontSize, ap->fontSize);
      EXPECT_EQ(ep.bkColour, ap->bkColour);
      EXPECT_EQ(ep.borderColour, ap->borderColour);
      break;
    }
    case NsQlUiElem::kElemPicture: {
      const auto& ei = dynamic_cast<const QlUiImage&>(*e.ui);
      const auto* ai = dynamic_cast<const QlUiImage*>(a.ui.get());
      ASSERT_NE(ai, nullptr);
      ASSERT_NE(dynamic_cast<const QlImageIo*>(a.io.get()), nullptr);
      ExpectSameRect(ei.rect, ai->rect);
      EXPECT_EQ(ei.imageStyle, ai->imageStyle);
      EXPECT_EQ(ei.imagePath, ai->imagePath);
      EXPECT_EQ(ei.opacity, ai->opacity);
      break;
    }
    case NsQlUiElem::kElemNavBar: {
      const auto& eb = dynamic_cast<const QlUiNavBar&>(*e.ui);
      const auto* ab = dynamic_cast<const QlUiNavBar*>(a.ui.get());
      const auto* aio = dynamic_cast<const QlNavBarIo*>(a.io.get());
      ASSERT_TRUE(ab && aio);
      ExpectSameRect(eb.rect, ab->rect);
      EXPECT_EQ(eb.labels, ab->labels);
      EXPECT_EQ(dynamic_cast<const QlNavBarIo&>(*e.io).targetPages, aio->targetPages);
      EXPECT_EQ(eb.textColour, ab->textColour);
      EXPECT_EQ(eb.textColour2, ab->textColour2);
      EXPECT_EQ(eb.fontSize, ab->fontSize);
      EXPECT_EQ(eb.bkColour, ab->bkColour);
      EXPECT_EQ(eb.bkColour2, ab->bkColour2);
      EXPECT_EQ(eb.borderColour, ab->borderColour);
      EXPECT_EQ(eb.selectedIndex, ab->selectedIndex);
      ExpectSameShapePainter(eb.painter, ab->painter);
      break;
    }
    case NsQlUiElem::kElemBtnLogin: {
      const auto& el = dynamic_cast<const QlUiBtnUser&>(*e.ui);
      const auto* al = dynamic_cast<const QlUiBtnUser*>(a.ui.get());
      ASSERT_NE(al, nullptr);
      ASSERT_NE(dynamic_cast<const QlBtnUserIo*>(a.io.get()), nullptr);
      ExpectSameRect(el.rect, al->rect);
      ExpectSameShapePainter(el.nameBox, al->nameBox);
      ExpectSameShapePainter(el.buttonStrip, al->buttonStrip);
      ExpectSameTextPainter(el.nameLabel, al->nameLabel);
      ExpectSameTextPainter(el.passwordText, al->passwordText);
      ExpectSameTextPainter(el.logoutText, al->logoutText);
      break;
    }
    default:
      FAIL() << "unexpected kind " << e.type;
  }
}

void ExpectSameEntries(const QlPageData& expected, const QlPageData& actual) {
  ASSERT_EQ(expected.elements.size(), actual.elements.size());
  for (std::size_t i = 0; i < expected.elements.size(); ++i) {
    SCOPED_TRACE(i);
    ExpectSameElement(expected.elements[i], actual.elements[i]);
  }
}

TEST(PanelEntriesTest, OneElementOfEachKindIsWrittenByteForByte) {
  TempFolder project;
  ASSERT_TRUE(SavePageFile(project.Path(), PanelPage(kLogo), nullptr));
  EXPECT_EQ(ReadFileText(project / "panel_entries.ovpg"),
            ReadFileText(TestDataPath("panel_entries.ovpg")));
}

TEST(PanelEntriesTest, EveryKeyIsReadAndWrittenBackUnchanged) {
  FixtureProject project("panel_entries", {"logo.png"});
  const std::shared_ptr<QlPageData> page = project.LoadForEdit();
  ASSERT_NE(page, nullptr);
  ExpectSameEntries(*PanelPage(project.Picture("logo.png"), 20.0f), *page);

  ASSERT_TRUE(SavePageFile(project.Path(), page, kSaveShift));
  EXPECT_EQ(project.Saved(),
            ReplaceAll(project.Fixture(), JsonOf(kLogo), JsonOf(project.Picture("logo.png"))));
}

// data/panel_fallbacks.ovpg: each kind once with no keys and once with
// every key of the wrong JSON type (the login element with keys it does
// not store).
TEST(PanelEntriesTest, MissingAndMistypedKeysKeepEveryDefault) {
  FixtureProject project("panel_fallbacks", {"logo.png"});
  const std::shared_ptr<QlPageData> page = project.LoadForEdit();
  ASSERT_NE(page, nullptr);
  const QlElemData defaults[] = {
      {NsQlUiElem::kElemPanel, std::make_shared<QlUiPanel>(), std::make_shared<QlPanelIo>()},
      {NsQlUiElem::kElemPicture, std::make_shared<QlUiImage>(), std::make_shared<QlImageIo>()},
      {NsQlUiElem::kElemNavBar, std::make_shared<QlUiNavBar>(), std::make_shared<QlNavBarIo>()},
      {NsQlUiElem::kElemBtnLogin, std::make_shared<QlUiBtnUser>(), std::make_shared<QlBtnUserIo>()},
  };
  ASSERT_EQ(page->elements.size(), 8u);
  for (std::size_t i = 0; i < 8; ++i) {
    SCOPED_TRACE(i);
    ExpectSameElement(defaults[i / 2], page->elements[i]);
  }
  // The defaults the file falls back to.
  const auto& panel = dynamic_cast<const QlUiPanel&>(*defaults[0].ui);
  EXPECT_EQ(panel.title, "");
  EXPECT_EQ(panel.fontSize, 140);
  EXPECT_EQ(panel.titleBkColour, 0xEBEBEBu);
  const auto& bar = dynamic_cast<const QlUiNavBar&>(*defaults[2].ui);
  EXPECT_TRUE(bar.labels.empty());
  EXPECT_EQ(bar.fontSize, 105);
  EXPECT_EQ(bar.painter.fillColour, 0xEDEDEDu);
  EXPECT_EQ(dynamic_cast<const QlUiBtnUser&>(*defaults[3].ui).nameLabel.text, "-- 请登录 --");
}

TEST(PanelEntriesTest, NavigationListsKeepEveryPositionAndTheirOwnLengths) {
  struct Case {
    std::string json;
    std::vector<std::string> labels;
    std::vector<std::string> pages;
  };
  const Case cases[] = {
      {R"({"label-array":["a",1,"b"]})", {"a", "", "b"}, {}},
      {R"({"label-array":["a","b","c"],"nav-bar-page-list":["P1","P2"]})",
       {"a", "b", "c"},
       {"P1", "P2"}},
      {R"({"label-array":[],"nav-bar-page-list":[null,"P2",""]})", {}, {"", "P2", ""}},
      {R"({"label-array":"a","nav-bar-page-list":{"0":"P1"}})", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    const ReadEntry read = ReadOne(&ReadNavBarEntry, c.json);
    EXPECT_EQ(dynamic_cast<const QlUiNavBar&>(*read.ui).labels, c.labels);
    EXPECT_EQ(dynamic_cast<const QlNavBarIo&>(*read.io).targetPages, c.pages);
  }

  // Written as they are, empty texts included.
  auto bar = std::make_shared<QlUiNavBar>();
  bar->labels = {"a", "", "b"};
  auto io = std::make_shared<QlNavBarIo>();
  io->targetPages = {"", "P2"};
  const std::string written = WriteOne(&WriteNavBarEntry, {8, bar, io});
  EXPECT_NE(written.find(R"("label-array":["a","","b"],"nav-bar-page-list":["","P2"],)"),
            std::string::npos)
      << written;
}

TEST(PanelEntriesTest, TheNavigationFrameTakesTheBarsRectangleAndColours) {
  const ReadEntry read =
      ReadOne(&ReadNavBarEntry, R"({"rect":{"left":1.0,"top":2.0,"right":300.0,"bottom":32.0},)"
                                R"("bk-color":255,"border-color":65280})");
  const auto& bar = dynamic_cast<const QlUiNavBar&>(*read.ui);
  ExpectSameRect({1, 2, 300, 32}, bar.painter.rect);
  EXPECT_EQ(bar.painter.cornerRadius, 0.0f);
  EXPECT_EQ(bar.painter.fillColour, 255u);
  EXPECT_EQ(bar.painter.opacity, 1.0f);
  EXPECT_EQ(bar.painter.borderColour, 65280u);
}

TEST(PanelEntriesTest, APanelHasATitleBarOnlyWhenItsTextIsStored) {
  struct Case {
    std::string json;
    std::string title;
  };
  const Case cases[] = {
      {R"({})", ""},
      {R"({"text":""})", ""},
      {R"({"text":"标题"})", "标题"},
      {R"({"text":["标题"]})", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.json);
    EXPECT_EQ(dynamic_cast<const QlUiPanel&>(*ReadOne(&ReadPanelEntry, c.json).ui).title, c.title);
  }
}

TEST(PanelEntriesTest, TheLoginElementIsLaidOutFromItsRectangle) {
  rapidjson::Document object;
  object.Parse(R"({"rect":{"left":-10.0,"top":-10.0,"right":330.0,"bottom":21.0}})");
  std::shared_ptr<QlUiElem> ui;
  std::shared_ptr<QlIo> io;
  ASSERT_TRUE(ReadLoginEntry(object, {"", nullptr, kEditShift}, ui, io));
  const auto& login = dynamic_cast<const QlUiBtnUser&>(*ui);
  ExpectSameRect({10, 10, 350, 41}, login.GetRect());
  ExpectSameRect({10, 10, 170, 41}, login.nameLabel.rect);
  ExpectSameRect({170, 10, 270, 41}, login.passwordText.rect);
  ExpectSameRect({269, 10, 349, 41}, login.logoutText.rect);
  ExpectSameRect({10, 12, 270, 41}, login.nameBox.rect);
  ExpectSameRect({170, 10, 350, 41}, login.buttonStrip.rect);

  // Only the rectangle and the visibility are stored.
  const std::string written = WriteOne(&WriteLoginEntry, {12, ui, io});
  EXPECT_EQ(written,
            R"({"type":"BtnLogin","rect":{"left":10.0,"top":10.0,"right":350.0,"bottom":41.0},)"
            R"("enable-visib":false,"address-for-visib":"","show-when-true":false})");
}

TEST(PanelEntriesTest, APictureIsCopiedIntoTheProjectAndFoundThereWhenItsPathIsGone) {
  TempFolder root;
  const std::string project = root / "project";
  ASSERT_EQ(::mkdir(project.c_str(), 0777), 0);
  WriteFileText(root / "logo.png", "logo");
  const std::shared_ptr<QlPageData> page = PanelPage(root / "logo.png");
  ASSERT_TRUE(SavePageFile(project, page, nullptr));
  EXPECT_EQ(ReadFileText(project + "/images/logo.png"), "logo");

  std::shared_ptr<QlPageData> loaded;
  ASSERT_TRUE(LoadPageFile(project, "panel_entries", {nullptr, ResolvePicturePath}, loaded));
  EXPECT_EQ(dynamic_cast<const QlUiImage&>(*loaded->elements[1].ui).imagePath, root / "logo.png");
  ASSERT_EQ(::unlink((root / "logo.png").c_str()), 0);
  ASSERT_TRUE(LoadPageFile(project, "panel_entries", {nullptr, ResolvePicturePath}, loaded));
  EXPECT_EQ(dynamic_cast<const QlUiImage&>(*loaded->elements[1].ui).imagePath,
            project + "/images/logo.png");

  // Found nowhere: no picture, and no key on the next save.
  ASSERT_EQ(::unlink((project + "/images/logo.png").c_str()), 0);
  ASSERT_TRUE(LoadPageFile(project, "panel_entries", {nullptr, ResolvePicturePath}, loaded));
  EXPECT_EQ(dynamic_cast<const QlUiImage&>(*loaded->elements[1].ui).imagePath, "");
  ASSERT_TRUE(SavePageFile(project, loaded, nullptr));
  EXPECT_EQ(ReadFileText(project + "/panel_entries.ovpg").find("image-file-path"),
            std::string::npos);
}

TEST(PanelEntriesTest, WritersNeedARecordAndABindingOfTheirKind) {
  struct Case {
    const char* name;
    EntryWriter writer;
    std::shared_ptr<QlUiElem> ui;
    std::shared_ptr<QlIo> io;
    bool written;
  };
  const auto panel = std::make_shared<QlUiPanel>();
  const auto picture = std::make_shared<QlUiImage>();
  const auto bar = std::make_shared<QlUiNavBar>();
  const auto login = std::make_shared<QlUiBtnUser>();
  const auto panelIo = std::make_shared<QlPanelIo>();
  const auto pictureIo = std::make_shared<QlImageIo>();
  const auto barIo = std::make_shared<QlNavBarIo>();
  const auto loginIo = std::make_shared<QlBtnUserIo>();
  const Case cases[] = {
      {"panel", &WritePanelEntry, panel, panelIo, true},
      {"panel with a picture binding", &WritePanelEntry, panel, pictureIo, false},
      {"panel with a picture", &WritePanelEntry, picture, panelIo, false},
      {"panel without binding", &WritePanelEntry, panel, nullptr, false},
      {"picture", &WritePictureEntry, picture, pictureIo, true},
      {"picture with a panel binding", &WritePictureEntry, picture, panelIo, false},
      {"picture without record", &WritePictureEntry, nullptr, pictureIo, false},
      {"navigation bar", &WriteNavBarEntry, bar, barIo, true},
      {"navigation bar with a login binding", &WriteNavBarEntry, bar, loginIo, false},
      {"navigation bar with a text", &WriteNavBarEntry, std::make_shared<NsQlUiElem::QlUiText>(),
       barIo, false},
      {"login", &WriteLoginEntry, login, loginIo, true},
      {"login with a text binding", &WriteLoginEntry, login,
       std::make_shared<NsQlElemIo::QlTextIo>(), false},
      {"login with a panel", &WriteLoginEntry, panel, loginIo, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool written = !c.written;
    const std::string output = WriteOne(c.writer, {6, c.ui, c.io}, &written);
    EXPECT_EQ(written, c.written);
    EXPECT_EQ(output.empty(), !c.written);
  }
}

}  // namespace
}  // namespace NsOvrin
