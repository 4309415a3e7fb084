// The two factories over every kind that has a host.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "PagesFixture.h"
#include "QlUiElem/QlUiBtnUser.h"
#include "QlUiElem/QlUiButton.h"
#include "QlUiElem/QlUiEdit.h"
#include "QlUiElem/QlUiImage.h"
#include "QlUiElem/QlUiMultStateText.h"
#include "QlUiElem/QlUiNavBar.h"
#include "QlUiElem/QlUiPanel.h"
#include "QlUiElem/QlUiText.h"
#include "compiler/QlMultFuncBtnIo.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEHostElem.h"
#include "editor/QlEHostFactory.h"
#include "element_io/QlBtnUserIo.h"
#include "element_io/QlButtonIo.h"
#include "element_io/QlEditIo.h"
#include "element_io/QlImageIo.h"
#include "element_io/QlMultStateTextIo.h"
#include "element_io/QlNavBarIo.h"
#include "element_io/QlPageToIo.h"
#include "element_io/QlPanelIo.h"
#include "element_io/QlStringIo.h"
#include "element_io/QlTextIo.h"

namespace NsOvrin::NsQlElemEditor {
namespace {

namespace Ui = NsQlUiElem;
namespace Io = NsQlElemIo;
using NsUiD2ElemEditor::UiElem;
using Ui::QlElemData;

using HostFactories = Testing::PagesFixture;

std::shared_ptr<QlEHostElem> HostOf(const std::shared_ptr<UiElem>& elem) {
  return elem ? std::dynamic_pointer_cast<QlEHostElem>(elem->host) : nullptr;
}

void ExpectFreshWrapper(const std::shared_ptr<UiElem>& elem) {
  ASSERT_NE(elem, nullptr);
  EXPECT_EQ(elem->handle, UiElem::kNoHandle);
  EXPECT_FALSE(elem->anchored);
  EXPECT_EQ(elem->rect, (D2D_RECT_F{}));
  EXPECT_EQ(elem->pressPoint.x, 0.0f);
  EXPECT_EQ(elem->pressPoint.y, 0.0f);
}

TEST_F(HostFactories, NewElementOfEveryBuiltKindAtThePoint) {
  struct Case {
    unsigned int type;
    float width, height;
    bool inError;
    bool pageListener;
  };
  const Case cases[] = {
      {1, 60, 26, false, false},  {2, 90, 27, true, false},    {3, 220, 27, true, false},
      {4, 95, 36, true, false},   {5, 95, 36, false, true},    {6, 300, 160, false, false},
      {7, 64, 64, true, false},   {8, 510, 30, false, true},   {10, 60, 26, true, false},
      {12, 340, 31, false, false}, {13, 95, 36, false, true},
  };
  const std::size_t listeners = PageListener::GetRegistry().size();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    const auto elem = CreateNewElem(c.type, {37.5f, 42.0f});
    ExpectFreshWrapper(elem);
    const auto host = HostOf(elem);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->GetType(), static_cast<int>(c.type));
    EXPECT_EQ(host->GetRect(), (D2D_RECT_F{37.5f, 42.0f, 37.5f + c.width, 42.0f + c.height}));
    EXPECT_FALSE(host->IsSelected());
    ASSERT_NE(host->GetUi(), nullptr);
    ASSERT_NE(host->GetIo(), nullptr);
    EXPECT_EQ(host->GetUi()->inError, c.inError) << host->GetUi()->errorText;
    EXPECT_EQ(PageListener::GetRegistry().size(), listeners + (c.pageListener ? 1 : 0));
  }
  EXPECT_EQ(HostOf(CreateNewElem(7, {20, 20}))->GetUi()->errorText, "图片无效");
}

TEST_F(HostFactories, NewElementTakesTheRunFlag) {
  OnlineFlag = true;
  HostOnlineFlag = false;
  ASSERT_NE(CreateNewElem(1, {20, 20}), nullptr);
  EXPECT_TRUE(HostOnlineFlag);
  OnlineFlag = false;
  ASSERT_NE(CreateNewElem(6, {20, 20}), nullptr);
  EXPECT_FALSE(HostOnlineFlag);
}

TEST_F(HostFactories, NoNewElementOfAKindWithoutHost) {
  OnlineFlag = true;
  HostOnlineFlag = false;
  const std::size_t listeners = PageListener::GetRegistry().size();
  for (unsigned int type : {0u, 15u, 32770u, 0xFFFFFFFFu}) {
    EXPECT_EQ(CreateNewElem(type, {20, 20}), nullptr) << type;
    EXPECT_FALSE(HostOnlineFlag) << "untouched for " << type;
  }
  EXPECT_EQ(PageListener::GetRegistry().size(), listeners);
}

TEST_F(HostFactories, LoadedElementsOfTheNewKindsShareTheirRecordsUnchecked) {
  auto mult = std::make_shared<Ui::QlUiMultStateText>();
  mult->currentState = 3;
  const QlElemData cases[] = {
      {Ui::kElemPageTo, std::make_shared<Ui::QlUiButton>(), std::make_shared<Io::QlPageToIo>()},
      {Ui::kElemPanel, std::make_shared<Ui::QlUiPanel>(), std::make_shared<Io::QlPanelIo>()},
      {Ui::kElemPicture, std::make_shared<Ui::QlUiImage>(), std::make_shared<Io::QlImageIo>()},
      {Ui::kElemNavBar, std::make_shared<Ui::QlUiNavBar>(), std::make_shared<Io::QlNavBarIo>()},
      {Ui::kElemMultiStateLabel, mult, std::make_shared<Io::QlMultStateTextIo>()},
      {Ui::kElemBtnLogin, std::make_shared<Ui::QlUiBtnUser>(), std::make_shared<Io::QlBtnUserIo>()},
      {Ui::kElemMultFunc, std::make_shared<Ui::QlUiButton>(), std::make_shared<Io::QlMultFuncBtnIo>()},
  };
  for (const QlElemData& data : cases) {
    SCOPED_TRACE(data.type);
    // An empty picture path and a missing read address would fail a check.
    data.ui->inError = false;
    const std::size_t listeners = PageListener::GetRegistry().size();
    const auto elem = CreateElemFromData(data);
    ExpectFreshWrapper(elem);
    const auto host = HostOf(elem);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->GetType(), data.type);
    EXPECT_EQ(host->GetUi(), data.ui) << "the same record, not a copy";
    EXPECT_EQ(host->GetIo(), data.io);
    EXPECT_FALSE(host->IsSelected());
    EXPECT_FALSE(data.ui->inError) << "nothing checked";
    EXPECT_EQ(host->GetRect(), data.ui->GetRect());
    const bool listens = data.type == Ui::kElemPageTo || data.type == Ui::kElemNavBar ||
                         data.type == Ui::kElemMultFunc;
    EXPECT_EQ(PageListener::GetRegistry().size(), listeners + (listens ? 1 : 0));
  }
  EXPECT_EQ(mult->currentState, 3) << "left as loaded";
}

TEST_F(HostFactories, LoadedElementsOfTheNewKindsRefuseWhatTheyCannotWrap) {
  struct Case {
    const char* name;
    QlElemData data;
  };
  const Case cases[] = {
      {"page jump without record", {Ui::kElemPageTo, nullptr, std::make_shared<Io::QlPageToIo>()}},
      {"page jump of a text", {Ui::kElemPageTo, std::make_shared<Ui::QlUiText>(), nullptr}},
      {"panel of a picture", {Ui::kElemPanel, std::make_shared<Ui::QlUiImage>(), nullptr}},
      {"picture of a panel", {Ui::kElemPicture, std::make_shared<Ui::QlUiPanel>(), nullptr}},
      {"bar of a button", {Ui::kElemNavBar, std::make_shared<Ui::QlUiButton>(), nullptr}},
      {"multi-state of an edit", {Ui::kElemMultiStateLabel, std::make_shared<Ui::QlUiEdit>(), nullptr}},
      {"login of a text", {Ui::kElemBtnLogin, std::make_shared<Ui::QlUiText>(), nullptr}},
      {"multi-function of a bar", {Ui::kElemMultFunc, std::make_shared<Ui::QlUiNavBar>(), nullptr}},
      {"alarm list", {Ui::kElemAlarmList, std::make_shared<Ui::QlUiPanel>(), nullptr}},
      {"alarm history", {Ui::kElemAlarmHist, std::make_shared<Ui::QlUiPanel>(), nullptr}},
      {"IO table", {Ui::kElemOVTable, std::make_shared<Ui::QlUiPanel>(), nullptr}},
  };
  const std::size_t listeners = PageListener::GetRegistry().size();
  for (const Case& c : cases) EXPECT_EQ(CreateElemFromData(c.data), nullptr) << c.name;
  EXPECT_EQ(PageListener::GetRegistry().size(), listeners);
}

TEST_F(HostFactories, LoadedElementsValidateWhenTheCallerAsks) {
  auto button = std::make_shared<Ui::QlUiButton>();
  auto pageIo = std::make_shared<Io::QlPageToIo>();
  pageIo->jumpType = Io::kPageJumpNamed;
  pageIo->targetPage = "页面9";
  const auto pageTo = HostOf(CreateElemFromData({Ui::kElemPageTo, button, pageIo}));
  ASSERT_NE(pageTo, nullptr);
  EXPECT_TRUE(pageTo->Revalidate());
  EXPECT_TRUE(button->inError);
  EXPECT_EQ(button->errorText, "跳转页面文件不存在!");

  auto mult = std::make_shared<Ui::QlUiMultStateText>();
  auto multIo = std::make_shared<Io::QlMultStateTextIo>();
  multIo->readAddress = "PLC1.4x9";
  const auto multState = HostOf(CreateElemFromData({Ui::kElemMultiStateLabel, mult, multIo}));
  ASSERT_NE(multState, nullptr);
  EXPECT_TRUE(multState->Revalidate());
  EXPECT_FALSE(mult->inError) << mult->errorText;
  EXPECT_EQ(words_->GetSubscriberCount(), 1u);

  // A record without binding: nothing to bind.
  const auto bare = HostOf(CreateElemFromData({Ui::kElemNavBar, Ui::QlUiNavBar::QlUiNavBarAt({0, 0}), nullptr}));
  ASSERT_NE(bare, nullptr);
  EXPECT_FALSE(bare->Revalidate());
}

}  // namespace
}  // namespace NsOvrin::NsQlElemEditor
