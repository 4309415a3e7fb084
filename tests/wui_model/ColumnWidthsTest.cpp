#include "wui_model/ColumnWidths.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace NsOvrin;

TEST(ColumnWidths, StartsEqualDirtyAndNotResizable) {
  ColumnWidths<int> widths(3, 100);
  EXPECT_EQ(widths.Count(), 3u);
  EXPECT_EQ(widths.Widths(), (std::vector<int>{100, 100, 100}));
  EXPECT_EQ(widths.TotalWidth(), 300);
  EXPECT_FALSE(widths.Resizable());
  EXPECT_TRUE(widths.EdgesDirty());
  EXPECT_EQ(widths.Edges(), (std::vector<int>{0, 100, 200, 300}));
  EXPECT_FALSE(widths.EdgesDirty());
}

TEST(ColumnWidths, GripsMoveTheEdgesButNotTheTotal) {
  struct Case {
    const char* name;
    std::vector<float> widths;
    bool resizable;
    std::vector<float> edges;
    float total;
  };
  const Case cases[] = {
      {"plain", {300, 60}, false, {0, 300, 360}, 360},
      {"resizable: 4 px after every column", {300, 60}, true, {0, 304, 368}, 360},
      {"fractions", {10.5f, 0.25f, 7}, true, {0, 14.5f, 18.75f, 29.75f}, 17.75f},
      {"no columns", {}, true, {0}, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ColumnWidths<float> widths(c.widths.size(), 1.0f);
    for (std::size_t i = 0; i < c.widths.size(); ++i) ASSERT_TRUE(widths.SetWidth(i, c.widths[i]));
    widths.SetResizable(c.resizable);
    EXPECT_EQ(widths.Edges(), c.edges);
    EXPECT_FLOAT_EQ(widths.TotalWidth(), c.total);
  }
}

TEST(ColumnWidths, EveryChangeOfTheLayoutRefreshesTheCachedEdges) {
  ColumnWidths<int> widths(2, 100);
  ASSERT_EQ(widths.Edges(), (std::vector<int>{0, 100, 200}));

  EXPECT_TRUE(widths.SetWidth(1, 50));
  EXPECT_TRUE(widths.EdgesDirty());
  EXPECT_EQ(widths.TotalWidth(), 150);
  EXPECT_EQ(widths.Edges(), (std::vector<int>{0, 100, 150}));

  // Turned on after the edges were computed: the grips must still appear.
  widths.SetResizable(true);
  EXPECT_EQ(widths.Edges(), (std::vector<int>{0, 104, 158}));
  widths.SetResizable(false);
  EXPECT_EQ(widths.Edges(), (std::vector<int>{0, 100, 150}));

  widths.SetAllWidths(100 / 3);
  EXPECT_EQ(widths.TotalWidth(), 66);
  EXPECT_EQ(widths.Edges(), (std::vector<int>{0, 33, 66}));
}

TEST(ColumnWidths, AColumnThatDoesNotExistChangesNothing) {
  ColumnWidths<int> widths(2, 100);
  widths.Edges();
  EXPECT_FALSE(widths.SetWidth(2, 7));
  EXPECT_FALSE(widths.SetWidth(65535, 7));
  EXPECT_FALSE(widths.EdgesDirty());
  EXPECT_EQ(widths.Widths(), (std::vector<int>{100, 100}));
  EXPECT_EQ(widths.TotalWidth(), 200);
  EXPECT_EQ(widths.Width(2), 0);
}

TEST(ColumnWidths, AnEdgePastTheLastIsTheLast) {
  ColumnWidths<float> widths(2, 100.0f);
  widths.SetResizable(true);
  EXPECT_FLOAT_EQ(widths.Edge(1), 104.0f);
  EXPECT_FLOAT_EQ(widths.Edge(2), 208.0f);
  EXPECT_FLOAT_EQ(widths.Edge(3), 208.0f);
  EXPECT_FLOAT_EQ(widths.Edge(70000), 208.0f);
  EXPECT_FLOAT_EQ(ColumnWidths<float>(0, 1.0f).Edge(1), 0.0f);
}
