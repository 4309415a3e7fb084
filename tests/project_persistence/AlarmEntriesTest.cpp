#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "QlUiElem/QlUiAlarmHist.h"
#include "QlUiElem/QlUiAlarmList.h"
#include "QlUiElem/QlUiText.h"
#include "element_io/QlAlarmHistIo.h"
#include "element_io/QlAlarmListIo.h"
#include "element_io/QlTextIo.h"
#include "project_persistence/AlarmEntries.h"
#include "project_persistence/EntryTestSupport.h"

namespace NsOvrin {
namespace {

using NsDx2d::D2D_RECT_F;
using NsDx2d::Dx2Table;
using NsQlElemIo::QlAlarmHistIo;
using NsQlElemIo::QlAlarmListIo;
using NsQlElemIo::QlIo;
using NsQlUiElem::QlElemData;
using NsQlUiElem::QlPageData;
using NsQlUiElem::QlUiAlarmHist;
using NsQlUiElem::QlUiAlarmList;
using NsQlUiElem::QlUiElem;
using namespace Testing;

// The page of data/alarm_entries.ovpg; table rectangles moved by shift.
std::shared_ptr<QlPageData> AlarmPage(float shift = 0.0f) {
  auto page = std::make_shared<QlPageData>();
  page->name = "alarm_entries";
  page->rect = {0.0f, 0.0f, 800.0f, 480.0f};

  auto list = std::make_shared<QlUiAlarmList>();
  list->table.SetRect(Shifted({10.0f, 20.0f, 410.0f, 220.0f}, shift));
  auto listIo = std::make_shared<QlAlarmListIo>();
  *listIo->GetBaseIoData() = {true, false, "PLC1.0x00020"};
  page->elements.push_back({NsQlUiElem::kElemAlarmList, list, listIo});

  auto hist = std::make_shared<QlUiAlarmHist>();
  hist->table.SetRect(Shifted({420.0f, 20.0f, 790.5f, 220.25f}, shift));
  auto histIo = std::make_shared<QlAlarmHistIo>();
  *histIo->GetBaseIoData() = {false, true, ""};
  page->elements.push_back({NsQlUiElem::kElemAlarmHist, hist, histIo});
  return page;
}

// What the element sets up and what the reader places.
void ExpectSameTable(const Dx2Table& e, const Dx2Table& a) {
  ExpectSameRect(e.GetRect(), a.GetRect());
  EXPECT_EQ(e.title.text, a.title.text);
  EXPECT_EQ(e.title.textColour, a.title.textColour);
  EXPECT_EQ(e.title.backColour, a.title.backColour);
  EXPECT_EQ(e.title.fontSize, a.title.fontSize);
  EXPECT_EQ(e.columnWidths.Widths(), a.columnWidths.Widths());
  EXPECT_EQ(e.GetRowCount(), a.GetRowCount());
  ASSERT_EQ(e.cells.size(), a.cells.size());
  for (std::size_t i = 0; i < e.cells.size(); ++i) EXPECT_EQ(e.cells[i].text, a.cells[i].text);
}

void ExpectSameElement(const QlElemData& e, const QlElemData& a) {
  ASSERT_EQ(e.type, a.type);
  ASSERT_TRUE(a.ui && a.io);
  ExpectSameVisibility(*e.io->GetBaseIoDataConst(), *a.io);
  if (e.type == NsQlUiElem::kElemAlarmList) {
    const auto* list = dynamic_cast<const QlUiAlarmList*>(a.ui.get());
    ASSERT_NE(list, nullptr);
    ASSERT_NE(dynamic_cast<const QlAlarmListIo*>(a.io.get()), nullptr);
    ExpectSameTable(dynamic_cast<const QlUiAlarmList&>(*e.ui).table, list->table);
    ExpectSameRect(list->table.GetRect(), list->GetRect());
  } else {
    const auto* hist = dynamic_cast<const QlUiAlarmHist*>(a.ui.get());
    ASSERT_NE(hist, nullptr);
    ASSERT_NE(dynamic_cast<const QlAlarmHistIo*>(a.io.get()), nullptr);
    ExpectSameTable(dynamic_cast<const QlUiAlarmHist&>(*e.ui).table, hist->table);
    ExpectSameRect(hist->table.GetRect(), hist->GetRect());
  }
}

TEST(AlarmEntriesTest, BothTablesAreWrittenByteForByte) {
  TempFolder project;
  ASSERT_TRUE(SavePageFile(project.Path(), AlarmPage(), nullptr));
  EXPECT_EQ(ReadFileText(project / "alarm_entries.ovpg"),
            ReadFileText(TestDataPath("alarm_entries.ovpg")));
}

TEST(AlarmEntriesTest, TheRectanglePlacesTheTableAndEveryKeyIsWrittenBack) {
  FixtureProject project("alarm_entries", {});
  const std::shared_ptr<QlPageData> page = project.LoadForEdit();
  ASSERT_NE(page, nullptr);
  const std::shared_ptr<QlPageData> expected = AlarmPage(20.0f);
  ASSERT_EQ(page->elements.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    ExpectSameElement(expected->elements[i], page->elements[i]);
  }
  ExpectSameRect({30, 40, 430, 240}, page->elements[0].ui->GetRect());

  ASSERT_TRUE(SavePageFile(project.Path(), page, kSaveShift));
  EXPECT_EQ(project.Saved(), project.Fixture());
}

// data/alarm_fallbacks.ovpg: each kind once with no keys and once with the
// stored keys mistyped and keys of other kinds beside them.
TEST(AlarmEntriesTest, OnlyTheRectangleAndTheVisibilityAreEverTaken) {
  FixtureProject project("alarm_fallbacks", {});
  const std::shared_ptr<QlPageData> page = project.LoadForEdit();
  ASSERT_NE(page, nullptr);
  const QlElemData defaults[] = {
      {NsQlUiElem::kElemAlarmList, std::make_shared<QlUiAlarmList>(),
       std::make_shared<QlAlarmListIo>()},
      {NsQlUiElem::kElemAlarmHist, std::make_shared<QlUiAlarmHist>(),
       std::make_shared<QlAlarmHistIo>()},
  };
  ASSERT_EQ(page->elements.size(), 4u);
  for (std::size_t i = 0; i < 4; ++i) {
    SCOPED_TRACE(i);
    ExpectSameElement(defaults[i / 2], page->elements[i]);
  }
  // The defaults the file falls back to.
  const auto& list = dynamic_cast<const QlUiAlarmList&>(*defaults[0].ui);
  EXPECT_EQ(list.table.title.text, "当前警报");
  ExpectSameRect({}, list.GetRect());
  EXPECT_EQ(dynamic_cast<const QlUiAlarmHist&>(*defaults[1].ui).table.title.text, "历史警报");

  // Written back, the objects hold the rectangle and the visibility only.
  ASSERT_TRUE(SavePageFile(project.Path(), page, kSaveShift));
  const std::string saved = project.Saved();
  for (const char* key :
       {"\"title\"", "\"text\"", "\"font-size\"", "\"col-width\"", "\"bk-color\":255"})
    EXPECT_EQ(saved.find(key), std::string::npos) << key;
}

TEST(AlarmEntriesTest, AnEmptyRectangleObjectStillPlacesTheTable) {
  rapidjson::Document object;
  object.Parse(R"({"rect":{}})");
  std::shared_ptr<QlUiElem> ui;
  std::shared_ptr<QlIo> io;
  ASSERT_TRUE(ReadAlarmHistEntry(object, {"", nullptr, kEditShift}, ui, io));
  ExpectSameRect({20, 20, 20, 20}, ui->GetRect());
}

TEST(AlarmEntriesTest, TheWriterNeedsTheRecordAndBindingOfTheEntrysCode) {
  struct Case {
    const char* name;
    NsQlUiElem::QlElemType code;
    std::shared_ptr<QlUiElem> ui;
    std::shared_ptr<QlIo> io;
    const char* type;  // null: nothing written
  };
  const auto list = std::make_shared<QlUiAlarmList>();
  const auto hist = std::make_shared<QlUiAlarmHist>();
  const auto listIo = std::make_shared<QlAlarmListIo>();
  const auto histIo = std::make_shared<QlAlarmHistIo>();
  const Case cases[] = {
      {"alarm list", NsQlUiElem::kElemAlarmList, list, listIo, "AlarmList"},
      {"alarm history", NsQlUiElem::kElemAlarmHist, hist, histIo, "AlarmHist"},
      {"alarm list with a history binding", NsQlUiElem::kElemAlarmList, list, histIo, nullptr},
      {"alarm list holding a history", NsQlUiElem::kElemAlarmList, hist, listIo, nullptr},
      {"alarm history with a list binding", NsQlUiElem::kElemAlarmHist, hist, listIo, nullptr},
      {"alarm history without binding", NsQlUiElem::kElemAlarmHist, hist, nullptr, nullptr},
      {"alarm list without record", NsQlUiElem::kElemAlarmList, nullptr, listIo, nullptr},
      {"alarm list with a text", NsQlUiElem::kElemAlarmList,
       std::make_shared<NsQlUiElem::QlUiText>(), std::make_shared<NsQlElemIo::QlTextIo>(), nullptr},
      {"another code", NsQlUiElem::kElemText, list, listIo, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    bool written = c.type == nullptr;
    const std::string output = WriteOne(&WriteAlarmTableEntry, {c.code, c.ui, c.io}, &written);
    EXPECT_EQ(written, c.type != nullptr);
    if (c.type == nullptr) {
      EXPECT_EQ(output, "");
    } else {
      EXPECT_EQ(output,
                std::string(R"({"type":")") + c.type +
                    R"(","rect":{"left":0.0,"top":0.0,"right":0.0,"bottom":0.0},)"
                    R"("enable-visib":false,"address-for-visib":"","show-when-true":false})");
    }
  }
}

}  // namespace
}  // namespace NsOvrin
