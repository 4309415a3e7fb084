// The two factories over all fourteen kinds, and what they do for the alarm
// tables and the IO table in particular.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "AlarmsFixture.h"
#include "QlUiElem/QlUiAlarmHist.h"
#include "QlUiElem/QlUiAlarmList.h"
#include "QlUiElem/QlUiBtnUser.h"
#include "QlUiElem/QlUiButton.h"
#include "QlUiElem/QlUiEdit.h"
#include "QlUiElem/QlUiImage.h"
#include "QlUiElem/QlUiMultStateText.h"
#include "QlUiElem/QlUiNavBar.h"
#include "QlUiElem/QlUiOvList.h"
#include "QlUiElem/QlUiPanel.h"
#include "QlUiElem/QlUiText.h"
#include "compiler/QlMultFuncBtnIo.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEHostAlarmHist.h"
#include "editor/QlEHostAlarmList.h"
#include "editor/QlEHostFactory.h"
#include "editor/QlEHostOvList.h"
#include "element_io/QlAlarmHistIo.h"
#include "element_io/QlAlarmListIo.h"
#include "element_io/QlBtnUserIo.h"
#include "element_io/QlButtonIo.h"
#include "element_io/QlEditIo.h"
#include "element_io/QlImageIo.h"
#include "element_io/QlMultStateTextIo.h"
#include "element_io/QlNavBarIo.h"
#include "element_io/QlOvListIo.h"
#include "element_io/QlPageToIo.h"
#include "element_io/QlPanelIo.h"
#include "element_io/QlStringIo.h"
#include "element_io/QlTextIo.h"

namespace NsOvrin::NsQlElemEditor {
namespace {

namespace Ui = NsQlUiElem;
namespace Io = NsQlElemIo;
using NsQlUiElem::Testing::SetBit;
using NsUiD2ElemEditor::UiElem;
using Texts = std::vector<std::string>;
using Ui::QlElemData;

constexpr const char* kDemo = "M1000, 演示警报消息.";

using TableFactories = Testing::AlarmsFixture;

std::shared_ptr<QlEHostElem> HostOf(const std::shared_ptr<UiElem>& elem) {
  return elem ? std::dynamic_pointer_cast<QlEHostElem>(elem->host) : nullptr;
}

Texts Messages(const NsDx2d::Dx2Table& table) {
  Texts out;
  for (const auto& row : NsQlUiElem::Testing::DataRows(table)) out.push_back(row.text1);
  return out;
}

// A loaded element of the kind: a record and binding of its classes, as
// the page reader makes them.
QlElemData Loaded(int type) {
  switch (type) {
    case Ui::kElemText: return {type, std::make_shared<Ui::QlUiText>(), std::make_shared<Io::QlTextIo>()};
    case Ui::kElemNumber:
      return {type, Ui::QlUiEdit::QlUiEditAt({0, 0}, 90), std::make_shared<Io::QlEditIo>()};
    case Ui::kElemString:
      return {type, Ui::QlUiEdit::QlUiEditAt({0, 0}, 220), std::make_shared<Io::QlStringIo>()};
    case Ui::kElemButton: return {type, std::make_shared<Ui::QlUiButton>(), std::make_shared<Io::QlButtonIo>()};
    case Ui::kElemPageTo: return {type, std::make_shared<Ui::QlUiButton>(), std::make_shared<Io::QlPageToIo>()};
    case Ui::kElemPanel: return {type, std::make_shared<Ui::QlUiPanel>(), std::make_shared<Io::QlPanelIo>()};
    case Ui::kElemPicture: return {type, std::make_shared<Ui::QlUiImage>(), std::make_shared<Io::QlImageIo>()};
    case Ui::kElemNavBar: return {type, std::make_shared<Ui::QlUiNavBar>(), std::make_shared<Io::QlNavBarIo>()};
    case Ui::kElemAlarmList:
      return {type, std::make_shared<Ui::QlUiAlarmList>(), std::make_shared<Io::QlAlarmListIo>()};
    case Ui::kElemMultiStateLabel:
      return {type, std::make_shared<Ui::QlUiMultStateText>(), std::make_shared<Io::QlMultStateTextIo>()};
    case Ui::kElemAlarmHist:
      return {type, std::make_shared<Ui::QlUiAlarmHist>(), std::make_shared<Io::QlAlarmHistIo>()};
    case Ui::kElemBtnLogin: return {type, std::make_shared<Ui::QlUiBtnUser>(), std::make_shared<Io::QlBtnUserIo>()};
    case Ui::kElemMultFunc:
      return {type, std::make_shared<Ui::QlUiButton>(), std::make_shared<Io::QlMultFuncBtnIo>()};
    case Ui::kElemOVTable: {
      auto ui = std::make_shared<Ui::QlUiOvList>();
      return {type, ui, std::make_shared<Io::QlOvListIo>(ui)};
    }
    default: return {type, nullptr, nullptr};
  }
}

TEST_F(TableFactories, EveryKindAtAPointAndFromLoadedData) {
  for (int type = 1; type <= 14; ++type) {
    SCOPED_TRACE(type);
    const auto made = CreateNewElem(static_cast<unsigned int>(type), {37.5f, 42.0f});
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->handle, UiElem::kNoHandle);
    EXPECT_FALSE(made->anchored);
    const auto host = HostOf(made);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->GetType(), type);
    EXPECT_EQ(host->GetRect().left, 37.5f);
    EXPECT_EQ(host->GetRect().top, 42.0f);
    EXPECT_NE(host->GetUi(), nullptr);
    EXPECT_NE(host->GetIo(), nullptr);

    const QlElemData data = Loaded(type);
    const auto loaded = CreateElemFromData(data);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->handle, UiElem::kNoHandle);
    EXPECT_FALSE(loaded->anchored);
    const auto wrapped = HostOf(loaded);
    ASSERT_NE(wrapped, nullptr);
    EXPECT_EQ(wrapped->GetType(), type);
    EXPECT_EQ(wrapped->GetUi(), data.ui);
    EXPECT_EQ(wrapped->GetIo(), data.io);
  }
}

TEST_F(TableFactories, NewTablesAtAPoint) {
  struct Case {
    unsigned int type;
    D2D_RECT_F rect;
  };
  const Case cases[] = {
      {9, {20, 30, 410, 240}},
      {11, {20, 30, 470, 240}},
      {14, {20, 30, 410, 240}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    OnlineFlag = true;
    HostOnlineFlag = false;
    const auto host = HostOf(CreateNewElem(c.type, {20, 30}));
    ASSERT_NE(host, nullptr);
    EXPECT_TRUE(HostOnlineFlag) << "the run flag taken";
    EXPECT_EQ(host->GetRect(), c.rect);
    EXPECT_FALSE(host->IsSelected());
    EXPECT_FALSE(host->GetUi()->inError) << host->GetUi()->errorText;
  }
  const auto list = std::dynamic_pointer_cast<QlEHostAlarmList>(HostOf(CreateNewElem(9, {20, 20})));
  const auto hist = std::dynamic_pointer_cast<QlEHostAlarmHist>(HostOf(CreateNewElem(11, {20, 20})));
  const auto table = std::dynamic_pointer_cast<QlEHostOvList>(HostOf(CreateNewElem(14, {20, 20})));
  ASSERT_TRUE(list && hist && table);
  EXPECT_EQ(Messages(list->_qlUi->table), Texts{kDemo});
  EXPECT_EQ(Messages(hist->_qlUi->table), Texts{kDemo});
  EXPECT_TRUE(table->_qlUi->statusButtons.empty());
  EXPECT_EQ(table->_qlIo->GetUi(), table->_qlUi);
}

TEST_F(TableFactories, LoadedAlarmTablesShowTheirDemoRowWhateverTheyHeld) {
  auto group = AddGroup({"温度过高", "压力过低"});
  SetBit(*group, 0, 1);
  SetBit(*group, 0, 0);
  SetBit(*group, 1, 1);
  auto list = std::make_shared<Ui::QlUiAlarmList>();
  list->forceRefresh = true;
  ASSERT_TRUE(list->RefreshFromManager(Alarms()));
  auto hist = std::make_shared<Ui::QlUiAlarmHist>();
  hist->forceRefresh = true;
  ASSERT_TRUE(hist->RefreshFromManager(Alarms()));
  ASSERT_EQ(Messages(list->table), Texts{"压力过低"});
  ASSERT_EQ(Messages(hist->table), Texts{"温度过高"});
  list->inError = true;

  ASSERT_NE(CreateElemFromData({Ui::kElemAlarmList, list, std::make_shared<Io::QlAlarmListIo>()}), nullptr);
  ASSERT_NE(CreateElemFromData({Ui::kElemAlarmHist, hist, nullptr}), nullptr);
  EXPECT_EQ(list->table.GetCellText(1, 0), "1");
  EXPECT_EQ(Messages(list->table), Texts{kDemo});
  EXPECT_EQ(hist->table.GetCellText(1, 0), "1/01 09:00:00");
  EXPECT_EQ(Messages(hist->table), Texts{kDemo});
  EXPECT_TRUE(list->inError) << "nothing checked";
}

TEST_F(TableFactories, LoadedIoTableIsLeftAsLoaded) {
  QlElemData data = Loaded(Ui::kElemOVTable);
  auto ui = std::static_pointer_cast<Ui::QlUiOvList>(data.ui);
  auto io = std::static_pointer_cast<Io::QlOvListIo>(data.io);
  ui->AddRow("温度");
  ui->statusButtons[0]->SetState(2);
  io->rowAddresses = {"PLC9.0x1"};
  const auto host = std::dynamic_pointer_cast<QlEHostOvList>(HostOf(CreateElemFromData(data)));
  ASSERT_NE(host, nullptr);
  EXPECT_EQ(ui->statusButtons[0]->data.state, 2);
  EXPECT_FALSE(ui->statusButtons[0]->inError) << "nothing checked";
  EXPECT_TRUE(io->GetRowIos().empty()) << "nothing bound";
  EXPECT_EQ(host->GetRowDescription(0), "温度");
  EXPECT_EQ(host->GetRowAddress(0), "PLC9.0x1");
}

TEST_F(TableFactories, LoadedTablesWithoutBindingDoNotRevalidate) {
  for (int type : {Ui::kElemAlarmList, Ui::kElemAlarmHist, Ui::kElemOVTable}) {
    SCOPED_TRACE(type);
    QlElemData data = Loaded(type);
    data.io.reset();
    const auto host = HostOf(CreateElemFromData(data));
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->GetIo(), nullptr);
    EXPECT_FALSE(host->Revalidate());
  }
}

}  // namespace
}  // namespace NsOvrin::NsQlElemEditor
