// The element tool: which kind the armed tool inserts, and the return to
// the pointer.
#include "app/QlEElemFact.h"

#include <gtest/gtest.h>

#include <QTest>
#include <QWidget>

#include "QlUiElem/QlUiElemDef.h"
#include "app/AppGlobals.h"
#include "editor/QlEHostElem.h"

namespace NsOvrin {
namespace {

class ElemTool : public ::testing::Test {
 protected:
  void SetUp() override { CurrentToolId = kToolPointer; }
  void TearDown() override {
    CurrentToolId = kToolPointer;
    ElementToolbar = nullptr;
  }
  QlEElemFact tool_;
};

TEST_F(ElemTool, MapsEachElementToolToItsTypeCode) {
  struct Case {
    uint32_t id;
    unsigned type;
  };
  const Case cases[] = {
      {32769, 0},  {32770, 1},  {32771, 2},  {32772, 3},  {32773, 4},  {32774, 5},
      {32775, 6},  {32776, 7},  {32777, 8},  {32778, 9},  {32779, 10}, {32780, 11},
      {32781, 12}, {32782, 13}, {32783, 14}, {32768, 0},  {32784, 0},  {0, 0},
      {57634, 0},  {0xFFFFFFFF, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(QlEElemFact::ElemToolToType(c.id), c.type) << c.id;
    CurrentToolId = c.id;
    EXPECT_EQ(tool_.IsArmed(), c.type != 0) << c.id;
  }
}

TEST_F(ElemTool, CreatesTheArmedKindAtThePoint) {
  CurrentToolId = 32773;
  const auto elem = tool_.Create({40, 50});
  ASSERT_NE(elem, nullptr);
  EXPECT_EQ(elem->host->GetType(), NsQlUiElem::kElemButton);
  EXPECT_EQ(elem->host->GetRect(), (NsDx2d::D2D_RECT_F{40, 50, 135, 86}));
  EXPECT_EQ(CurrentToolId, 32773u) << "armed until an insertion is done";

  CurrentToolId = kToolPointer;
  EXPECT_EQ(tool_.Create({40, 50}), nullptr);
}

TEST_F(ElemTool, DoneGoesBackToThePointerAndShowsIt) {
  struct Toolbar : QWidget {
    int paints = 0;
    void paintEvent(QPaintEvent*) override { ++paints; }
  } toolbar;
  toolbar.resize(60, 20);
  toolbar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&toolbar));
  const int before = toolbar.paints;

  CurrentToolId = 32771;
  tool_.Done();
  EXPECT_EQ(CurrentToolId, kToolPointer);
  EXPECT_FALSE(tool_.IsArmed());
  EXPECT_EQ(toolbar.paints, before) << "no toolbar yet";

  ElementToolbar = &toolbar;
  CurrentToolId = 32771;
  tool_.Done();
  EXPECT_EQ(CurrentToolId, kToolPointer);
  EXPECT_EQ(toolbar.paints, before + 1) << "repainted at once";
}

}  // namespace
}  // namespace NsOvrin
