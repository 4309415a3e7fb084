// The process-wide defaults that exist before the application starts, and
// the project file names built from the two extensions.
#include "project/ProgramDefaults.h"

#include <gtest/gtest.h>

#include "QlUiElem/MultStateItem.h"
#include "events/QlVarEventBase.h"
#include "project/QlEProject.h"
#include "project_base/QlUser.h"

namespace NsOvrin {
namespace {

TEST(ProgramDefaults, EveryProjectHasTheSameMainFileAndOneFilePerPage) {
  EXPECT_EQ(ProjectFileExtension, ".ql");
  EXPECT_EQ(PageFileExtension, ".ovpg");
  EXPECT_EQ(GetMainFilePath("/home/a/工程"), "/home/a/工程/main_.ql");
  EXPECT_EQ(GetMainFilePath("/other"), "/other/main_.ql");
  EXPECT_EQ(GetPageFilePath("/home/a/工程", "页面1"), "/home/a/工程/页面1.ovpg");
  EXPECT_EQ(GetPageFilePath("/home/a/工程", "P"), "/home/a/工程/P.ovpg");
}

TEST(ProgramDefaults, TheDefaultRecordsHoldTheirValues) {
  EXPECT_TRUE(NsQlEvent::EmptyFunctionTexts.empty());

  const NsQlUiElem::MultStateItem& state = NsQlUiElem::DefaultMultStateItem();
  EXPECT_EQ(state.text, "");
  EXPECT_EQ(state.textColour, 0x000000u);
  EXPECT_EQ(state.fontSize, 100);
  EXPECT_EQ(state.bkColour, 0xFFFFFFu);
  EXPECT_EQ(state.bkOpacity, 0.0f);
  EXPECT_EQ(state.horizontalAlignment, 0);
  EXPECT_EQ(state.verticalAlignment, 0);

  EXPECT_EQ(AnonymousUser, (QlUser{"匿名用户", "", kUserAnonymous}));

  EXPECT_EQ(DefaultTableTitle.text, "");
  EXPECT_EQ(DefaultTableTitle.textColour, 0x1F1D1Du);
  EXPECT_EQ(DefaultTableTitle.backColour, 0xE0E0E0u);
  EXPECT_EQ(DefaultTableTitle.fontSize, 120);
  EXPECT_EQ(DefaultTableTitle.height, 32.0f);
  EXPECT_FALSE(DefaultTableTitle.shown);
}

}  // namespace
}  // namespace NsOvrin
