#include <gtest/gtest.h>

#include <QWidget>

#include "support/ScriptedUiServices.h"
#include "wui/QtUiServices.h"
#include "wui/UiServices.h"

namespace NsOvrin::NsWui {
namespace {

using Pairs = std::vector<std::pair<std::string, std::string>>;

TEST(FileFilter, ParsesPairsUpToTheEmptyDescription) {
  struct Case {
    std::string filter;
    Pairs pairs;
  };
  const Case cases[] = {
      {"工程文件(*.ovprj)|*.ovprj||", {{"工程文件(*.ovprj)", "*.ovprj"}}},
      {"图片|*.bmp;*.png|所有文件|*.*||", {{"图片", "*.bmp;*.png"}, {"所有文件", "*.*"}}},
      // Without the closing bars the last pair still counts.
      {"CSV|*.csv", {{"CSV", "*.csv"}}},
      // A description without its pattern is dropped.
      {"CSV|*.csv|半截", {{"CSV", "*.csv"}}},
      {"A|*.a||B|*.b||", {{"A", "*.a"}}},
      {"", {}},
      {"||", {}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseFileFilter(c.filter), c.pairs) << c.filter;
  }
}

TEST(FileFilter, ConvertsToQtFilterList) {
  const std::pair<std::string, std::string> cases[] = {
      {"工程文件(*.ovprj)|*.ovprj||", "工程文件(*.ovprj) (*.ovprj)"},
      {"图片|*.bmp; *.png|所有文件|*.*||", "图片 (*.bmp *.png);;所有文件 (*)"},
      {"空|;||", "空 (*)"},
      {"", ""},
  };
  for (const auto& [filter, qt] : cases) EXPECT_EQ(ToQtFileFilter(filter), qt) << filter;
}

TEST(ColourRef, RoundTripsThroughQColor) {
  const QColor colour = ColorRefToQColor(0x00332211);
  EXPECT_EQ(colour.red(), 0x11);
  EXPECT_EQ(colour.green(), 0x22);
  EXPECT_EQ(colour.blue(), 0x33);
  EXPECT_EQ(QColorToColorRef(colour), 0x00332211u);
  // The unused high byte never reaches the colour.
  EXPECT_EQ(QColorToColorRef(ColorRefToQColor(0xFF0000FF)), 0x000000FFu);
  EXPECT_EQ(QColorToColorRef(QColor::fromHsv(0, 255, 255)), 0x000000FFu);
}

TEST(UiServicesInstall, ScriptedServicesAreInstalledForTheirLifetime) {
  UiServices* qtServices = &GetUiServices();
  EXPECT_NE(dynamic_cast<QtUiServices*>(qtServices), nullptr);
  {
    ScriptedUiServices outer;
    EXPECT_EQ(&GetUiServices(), &outer);
    {
      ScriptedUiServices inner;
      EXPECT_EQ(&GetUiServices(), &inner);
    }
    EXPECT_EQ(&GetUiServices(), &outer);
  }
  EXPECT_EQ(&GetUiServices(), qtServices);
}

TEST(ScriptedUiServices, RecordsMessageBoxesAndAnswersFromTheQueue) {
  ScriptedUiServices ui;
  QWidget parent;
  ui.PushAnswer(IDYES);
  EXPECT_EQ(GetUiServices().MessageBox(&parent, "保存?", "提示", MB_YESNOCANCEL | MB_ICONQUESTION),
            IDYES);
  // Without a scripted answer: what Escape would give.
  const std::pair<uint32_t, int> defaults[] = {{MB_OK | MB_ICONERROR, IDOK},
                                               {MB_OKCANCEL, IDCANCEL},
                                               {MB_YESNO, IDNO},
                                               {MB_YESNOCANCEL, IDCANCEL},
                                               {MB_RETRYCANCEL, IDCANCEL}};
  for (const auto& [type, id] : defaults) {
    EXPECT_EQ(GetUiServices().MessageBox(nullptr, "t", "c", type), id) << type;
  }
  ASSERT_EQ(ui.calls.size(), 6u);
  EXPECT_EQ(ui.calls[0].widget, &parent);
  EXPECT_EQ(ui.calls[0].text, "保存?");
  EXPECT_EQ(ui.calls[0].caption, "提示");
  EXPECT_EQ(ui.calls[0].type, MB_YESNOCANCEL | MB_ICONQUESTION);
  EXPECT_EQ(ui.MessageTexts().size(), 6u);
}

TEST(ScriptedUiServices, PickersAnswerInOrderAndCancelWhenNotScripted) {
  ScriptedUiServices ui;
  ui.PushPath(std::string("/tmp/a.csv"));
  ui.PushPath(std::nullopt);
  ui.PushPath(std::string("/tmp/dir"));
  ui.PushColour(0x00123456u);

  std::string path = "old";
  EXPECT_TRUE(GetUiServices().GetOpenFileName(nullptr, "CSV|*.csv||", "/tmp", path));
  EXPECT_EQ(path, "/tmp/a.csv");
  EXPECT_FALSE(GetUiServices().GetSaveFileName(nullptr, "CSV|*.csv||", "csv", "x", path));
  EXPECT_EQ(path, "/tmp/a.csv");
  EXPECT_TRUE(GetUiServices().BrowseForFolder(nullptr, "选择", "/", path));
  EXPECT_EQ(path, "/tmp/dir");
  EXPECT_FALSE(GetUiServices().BrowseForFolder(nullptr, "选择", "/", path));
  EXPECT_EQ(path, "/tmp/dir");

  uint32_t colour = 7;
  EXPECT_TRUE(GetUiServices().ChooseColor(nullptr, 0x10, colour));
  EXPECT_EQ(colour, 0x00123456u);
  EXPECT_FALSE(GetUiServices().ChooseColor(nullptr, 0x20, colour));
  EXPECT_EQ(colour, 0x00123456u);

  ASSERT_EQ(ui.calls.size(), 6u);
  EXPECT_EQ(ui.calls[0].kind, UiCall::Kind::OpenFile);
  EXPECT_EQ(ui.calls[0].filter, "CSV|*.csv||");
  EXPECT_EQ(ui.calls[0].initial, "/tmp");
  EXPECT_EQ(ui.calls[1].kind, UiCall::Kind::SaveFile);
  EXPECT_EQ(ui.calls[1].defaultExt, "csv");
  EXPECT_EQ(ui.calls[2].kind, UiCall::Kind::Folder);
  EXPECT_EQ(ui.calls[2].caption, "选择");
  EXPECT_EQ(ui.calls[5].kind, UiCall::Kind::Colour);
  EXPECT_EQ(ui.calls[5].colour, 0x20u);
  EXPECT_EQ(ui.CallsOf(UiCall::Kind::Folder).size(), 2u);
}

}  // namespace
}  // namespace NsOvrin::NsWui
