// The selection of a canvas: members, the anchored member and the box.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "ProbeHost.h"
#include "dx2d/RecordingRenderTarget.h"
#include "editor/UiElemSelListener.h"
#include "editor/UiElemSelection.h"

namespace NsOvrin::NsUiD2ElemEditor {
namespace {

using NsDx2d::operator<<;
using Testing::MakeProbe;
using Elems = std::vector<std::shared_ptr<UiElem>>;

TEST(UnionRect, EmptyRectanglesNeverWidenTheBox) {
  struct Case {
    D2D_RECT_F box, rect, expected;
  };
  const Case cases[] = {
      {{0, 0, 0, 0}, {10, 20, 30, 40}, {10, 20, 30, 40}},
      {{10, 20, 30, 40}, {0, 0, 0, 0}, {10, 20, 30, 40}},
      {{10, 20, 30, 40}, {5, 25, 50, 35}, {5, 20, 50, 40}},
      {{10, 20, 30, 40}, {100, 100, 100, 200}, {10, 20, 30, 40}},  // zero width
      {{10, 20, 30, 40}, {100, 100, 200, 100}, {10, 20, 30, 40}},  // zero height
      {{50, 50, 50, 90}, {10, 20, 30, 40}, {10, 20, 30, 40}},      // empty box is replaced
      {{0, 0, 0, 0}, {7, 7, 7, 9}, {0, 0, 0, 0}},                  // empty onto empty
  };
  for (const Case& c : cases)
    EXPECT_EQ(UnionRect(c.box, c.rect), c.expected) << c.box << " u " << c.rect;
}

class Selection : public ::testing::Test {
 protected:
  // Three elements of a page and one more outside it.
  std::shared_ptr<UiElem> a = MakeProbe({20, 20, 60, 40});
  std::shared_ptr<UiElem> b = MakeProbe({100, 50, 150, 80});
  std::shared_ptr<UiElem> c = MakeProbe({30, 200, 90, 226});
  Elems page{a, b, c};
  UiElemSelection sel;

  // Hosts selected exactly for the members; exactly one member anchored,
  // the selection's anchored one; the box around the members.
  void ExpectConsistent(const std::string& where) {
    SCOPED_TRACE(where);
    for (const auto& elem : page) {
      const bool member = std::find(sel.GetMembers().begin(), sel.GetMembers().end(), elem) !=
                          sel.GetMembers().end();
      EXPECT_EQ(elem->host->IsSelected(), member) << "host rect " << elem->host->GetRect();
      if (!member) {
        EXPECT_FALSE(elem->anchored);
      }
    }
    int anchoredCount = 0;
    for (const auto& member : sel.GetMembers()) anchoredCount += member->anchored ? 1 : 0;
    if (sel.IsEmpty()) {
      EXPECT_EQ(sel.GetAnchored(), nullptr);
      EXPECT_EQ(sel.GetBox(), (D2D_RECT_F{}));
    } else {
      EXPECT_EQ(anchoredCount, 1);
      ASSERT_NE(sel.GetAnchored(), nullptr);
      EXPECT_TRUE(sel.GetAnchored()->anchored);
    }
  }
};

TEST_F(Selection, AddAnchorsTheFirstAndWidensTheBox) {
  sel.Add(a);
  EXPECT_EQ(sel.GetAnchored(), a);
  EXPECT_EQ(a->rect, a->host->GetRect()) << "cached rectangle refreshed";
  EXPECT_EQ(sel.GetBox(), (D2D_RECT_F{20, 20, 60, 40}));
  sel.Add(b);
  sel.Add(nullptr);
  EXPECT_EQ(sel.GetMembers(), (Elems{a, b}));
  EXPECT_EQ(sel.GetAnchored(), a);
  EXPECT_FALSE(b->anchored);
  EXPECT_EQ(b->rect, b->host->GetRect());
  EXPECT_EQ(sel.GetBox(), (D2D_RECT_F{20, 20, 150, 80}));
  ExpectConsistent("after two adds");
}

TEST_F(Selection, RemoveKeepsOneMemberAnchored) {
  struct Case {
    const char* name;
    Elems removed;
    Elems left;
    std::shared_ptr<UiElem> anchored;
    D2D_RECT_F box;
  };
  const Case cases[] = {
      {"anchored one goes: first remaining is anchored", {a}, {b, c}, b, {30, 50, 150, 226}},
      {"another one goes: the anchored stays", {b}, {a, c}, a, {20, 20, 90, 226}},
      {"all go", {a, b, c}, {}, nullptr, {}},
      {"in reverse", {c, b, a}, {}, nullptr, {}},
      {"two go, anchored last", {b, a}, {c}, c, {30, 200, 90, 226}},
      {"nothing", {nullptr}, {a, b, c}, a, {20, 20, 150, 226}},
  };
  for (const Case& k : cases) {
    sel.ReplaceAll(page);
    for (const auto& elem : k.removed) sel.Remove(elem);
    EXPECT_EQ(sel.GetMembers(), k.left) << k.name;
    EXPECT_EQ(sel.GetAnchored(), k.anchored) << k.name;
    EXPECT_EQ(sel.GetBox(), k.box) << k.name;
    ExpectConsistent(k.name);
  }
}

TEST_F(Selection, SetAnchored) {
  sel.Add(a);
  sel.Add(b);
  // A member that is not anchored: no duplicate, the old one stays selected.
  EXPECT_TRUE(sel.SetAnchored(b));
  EXPECT_EQ(sel.GetMembers(), (Elems{a, b}));
  EXPECT_EQ(sel.GetAnchored(), b);
  EXPECT_FALSE(a->anchored);
  EXPECT_TRUE(a->host->IsSelected());
  ExpectConsistent("member anchored");

  // Already anchored, or nothing: no change.
  EXPECT_FALSE(sel.SetAnchored(b));
  EXPECT_FALSE(sel.SetAnchored(nullptr));
  EXPECT_EQ(sel.GetMembers(), (Elems{a, b}));
  EXPECT_EQ(sel.GetAnchored(), b);

  // Not selected: appended, anchored, and the box takes it in.
  EXPECT_TRUE(sel.SetAnchored(c));
  EXPECT_EQ(sel.GetMembers(), (Elems{a, b, c}));
  EXPECT_EQ(sel.GetAnchored(), c);
  EXPECT_FALSE(b->anchored);
  EXPECT_TRUE(b->host->IsSelected());
  EXPECT_EQ(sel.GetBox(), (D2D_RECT_F{20, 20, 150, 226}));
  ExpectConsistent("outsider anchored");
}

TEST_F(Selection, SetAnchoredOnAnEmptySelectionSelectsTheElement) {
  EXPECT_TRUE(sel.SetAnchored(b));
  EXPECT_EQ(sel.GetMembers(), (Elems{b}));
  EXPECT_EQ(sel.GetBox(), b->host->GetRect());
  ExpectConsistent("anchored from empty");
}

TEST_F(Selection, ReplaceAllSelectsExactlyTheGivenOnesFirstAnchored) {
  sel.Add(a);
  sel.Add(b);
  sel.ReplaceAll({c, b, nullptr});
  EXPECT_EQ(sel.GetMembers(), (Elems{c, b}));
  EXPECT_EQ(sel.GetAnchored(), c);
  EXPECT_FALSE(a->anchored);
  EXPECT_EQ(sel.GetBox(), (D2D_RECT_F{30, 50, 150, 226}));
  for (const auto& elem : sel.GetMembers()) EXPECT_EQ(elem->rect, elem->host->GetRect());
  ExpectConsistent("replaced");

  sel.ReplaceAll({});
  EXPECT_TRUE(sel.IsEmpty());
  ExpectConsistent("replaced by nothing");
}

TEST_F(Selection, ZeroSizedMembersDoNotWidenTheBox) {
  auto line = MakeProbe({300, 300, 300, 400});
  auto flat = MakeProbe({0, 500, 40, 500});
  page.push_back(line);
  page.push_back(flat);
  sel.ReplaceAll({line, flat});
  EXPECT_EQ(sel.GetBox(), (D2D_RECT_F{}));
  sel.Add(a);
  EXPECT_EQ(sel.GetBox(), a->host->GetRect());
  sel.Remove(a);
  EXPECT_EQ(sel.GetBox(), (D2D_RECT_F{}));
  EXPECT_EQ(sel.GetAnchored(), line);
  ExpectConsistent("zero-sized");
}

TEST_F(Selection, MoveByShiftsTheOldBoxEvenWhenAHostAdjusted) {
  auto snapping = MakeProbe({40, 40, 80, 60}, 10);
  page.push_back(snapping);
  sel.ReplaceAll({a, snapping});
  ASSERT_EQ(sel.GetBox(), (D2D_RECT_F{20, 20, 80, 60}));
  sel.MoveBy(3, 4);
  EXPECT_EQ(a->host->GetRect(), (D2D_RECT_F{23, 24, 63, 44}));
  EXPECT_EQ(snapping->host->GetRect(), (D2D_RECT_F{40, 40, 80, 60})) << "host snapped back";
  EXPECT_EQ(snapping->rect, snapping->host->GetRect()) << "cached rectangle read back";
  EXPECT_EQ(sel.GetBox(), (D2D_RECT_F{23, 24, 83, 64})) << "box shifted, not measured";
  sel.RecomputeBox();
  EXPECT_EQ(sel.GetBox(), (D2D_RECT_F{23, 24, 80, 60}));
}

// Counts every notification.
class CountingListener : public UiElemSelListener {
 public:
  void OnSelectionChanged(const Elems&) override { ++calls; }
  void OnPageSelected(const std::shared_ptr<QlEPage>&) override { ++calls; }
  void OnSelectionCleared() override { ++calls; }
  int calls = 0;
};

TEST_F(Selection, ClearKeepsCachedRectanglesAndTellsNoListener) {
  CountingListener listener;
  UiElemSelListener::GetRegistry() = {&listener};
  sel.ReplaceAll(page);
  sel.Remove(b);
  sel.SetAnchored(b);
  const D2D_RECT_F cachedA = a->rect;
  // Moved behind the selection's back: the cache is stale and stays so.
  a->host->SetRect({0, 0, 5, 5});
  sel.Clear();
  EXPECT_TRUE(sel.IsEmpty());
  EXPECT_EQ(a->rect, cachedA);
  EXPECT_EQ(listener.calls, 0) << "no operation of the selection tells a listener";
  ExpectConsistent("cleared");
  UiElemSelListener::GetRegistry().clear();
}

}  // namespace
}  // namespace NsOvrin::NsUiD2ElemEditor
