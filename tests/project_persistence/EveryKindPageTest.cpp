// One page holding one element of every kind, through a load and a save.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

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
#include "project_persistence/ElemJson.h"
#include "project_persistence/EntryTestSupport.h"

namespace NsOvrin {
namespace {

using namespace NsQlUiElem;
using namespace NsQlElemIo;
using namespace Testing;

struct Kind {
  QlElemType code;
  const std::type_info& record;
  const std::type_info& binding;
};

// The record and binding each type code is read into.
const Kind kKinds[] = {
    {kElemText, typeid(QlUiText), typeid(QlTextIo)},
    {kElemNumber, typeid(QlUiEdit), typeid(QlEditIo)},
    {kElemString, typeid(QlUiEdit), typeid(QlStringIo)},
    {kElemButton, typeid(QlUiButton), typeid(QlButtonIo)},
    {kElemPageTo, typeid(QlUiButton), typeid(QlPageToIo)},
    {kElemPanel, typeid(QlUiPanel), typeid(QlPanelIo)},
    {kElemPicture, typeid(QlUiImage), typeid(QlImageIo)},
    {kElemNavBar, typeid(QlUiNavBar), typeid(QlNavBarIo)},
    {kElemAlarmList, typeid(QlUiAlarmList), typeid(QlAlarmListIo)},
    {kElemMultiStateLabel, typeid(QlUiMultStateText), typeid(QlMultStateTextIo)},
    {kElemAlarmHist, typeid(QlUiAlarmHist), typeid(QlAlarmHistIo)},
    {kElemBtnLogin, typeid(QlUiBtnUser), typeid(QlBtnUserIo)},
    {kElemMultFunc, typeid(QlUiButton), typeid(QlMultFuncBtnIo)},
    {kElemOVTable, typeid(QlUiOvList), typeid(QlOvListIo)},
};

// The element rectangles data/every_kind.ovpg holds, in order.
std::vector<NsDx2d::D2D_RECT_F> StoredRects(const std::string& fixture) {
  rapidjson::Document document;
  document.Parse(fixture.c_str(), fixture.size());
  std::vector<NsDx2d::D2D_RECT_F> rects;
  for (const rapidjson::Value& element : document["elements"].GetArray()) {
    NsDx2d::D2D_RECT_F rect;
    EXPECT_TRUE(ReadRect(element, rect));
    rects.push_back(rect);
  }
  return rects;
}

void ExpectEveryKind(const QlPageData& page, const std::vector<NsDx2d::D2D_RECT_F>& rects,
                     float shift) {
  ASSERT_EQ(page.elements.size(), std::size(kKinds));
  ASSERT_EQ(rects.size(), std::size(kKinds));
  for (std::size_t i = 0; i < std::size(kKinds); ++i) {
    SCOPED_TRACE(ElemTypeToName(kKinds[i].code));
    const QlElemData& entry = page.elements[i];
    EXPECT_EQ(entry.type, kKinds[i].code);
    ASSERT_TRUE(entry.ui && entry.io);
    const QlUiElem& ui = *entry.ui;
    const QlIo& io = *entry.io;
    EXPECT_EQ(typeid(ui), kKinds[i].record);
    EXPECT_EQ(typeid(io), kKinds[i].binding);
    ExpectSameRect(Shifted(rects[i], shift), entry.ui->GetRect());
  }
}

TEST(EveryKindPageTest, EveryElementKindRoundTripsThroughAPageFile) {
  FixtureProject project("every_kind", {});
  const std::vector<NsDx2d::D2D_RECT_F> rects = StoredRects(project.Fixture());

  // As the editor opens and saves it.
  const std::shared_ptr<QlPageData> edited = project.LoadForEdit();
  ASSERT_NE(edited, nullptr);
  ExpectEveryKind(*edited, rects, 20.0f);
  ASSERT_TRUE(SavePageFile(project.Path(), edited, kSaveShift));
  EXPECT_EQ(project.Saved(), project.Fixture());

  // Without hooks.
  std::shared_ptr<QlPageData> plain;
  ASSERT_TRUE(LoadPageFile(project.Path(), "every_kind", {}, plain));
  ExpectEveryKind(*plain, rects, 0.0f);
  ASSERT_TRUE(SavePageFile(project.Path(), plain, nullptr));
  EXPECT_EQ(project.Saved(), project.Fixture());
}

}  // namespace
}  // namespace NsOvrin
