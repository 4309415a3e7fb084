// The canvas commands: arrow keys, delete, copy, cut, paste, align, same
// size, distribute, drawing order and their enabling.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CanvasFixture.h"
#include "dx2d/RecordingRenderTarget.h"
#include "editor/UiElemCanvasCommands.h"

namespace NsOvrin::NsUiD2ElemEditor {
namespace {

using NsDx2d::operator<<;
using Testing::CanvasFixture;
using Testing::HostOf;
using Testing::SelLog;
using Elems = std::vector<std::shared_ptr<UiElem>>;
using Rects = std::vector<D2D_RECT_F>;
using Strings = std::vector<std::string>;

Rects HostRects(const Elems& elems) {
  Rects out;
  for (const auto& e : elems) out.push_back(e->host->GetRect());
  return out;
}

Rects CachedRects(const Elems& elems) {
  Rects out;
  for (const auto& e : elems) out.push_back(e->rect);
  return out;
}

class CanvasCommands : public CanvasFixture {
 protected:
  // Builds the page's elements afresh and selects the listed ones, the
  // first anchored; the page starts unmodified.
  Elems Setup(const Rects& rects, const std::vector<int>& selected) {
    PageElems().clear();
    Elems made;
    for (const D2D_RECT_F& r : rects) made.push_back(AddElem(r));
    Elems sel;
    for (int i : selected) sel.push_back(made[static_cast<std::size_t>(i)]);
    Select(sel);
    page->modified = false;
    return made;
  }
};

// ---- keys ----

TEST_F(CanvasCommands, ArrowKeysMoveTheSelectionAndStopAtTheMargin) {
  struct Case {
    const char* name;
    Rects rects;
    std::vector<int> selected;
    uint32_t key;
    Rects expected;
    bool modified;
  };
  const Case cases[] = {
      {"left by 3", {{30, 40, 60, 50}}, {0}, kVkLeft, {{27, 40, 57, 50}}, true},
      {"left stops on 20", {{21.5f, 40, 60, 50}}, {0}, kVkLeft, {{20, 40, 58.5f, 50}}, true},
      {"left at 20 moves 0", {{20, 40, 60, 50}}, {0}, kVkLeft, {{20, 40, 60, 50}}, true},
      {"left below 20 nothing", {{19, 40, 60, 50}}, {0}, kVkLeft, {{19, 40, 60, 50}}, false},
      {"up by 3", {{30, 40, 60, 50}}, {0}, kVkUp, {{30, 37, 60, 47}}, true},
      {"up stops on 20", {{30, 22, 60, 50}}, {0}, kVkUp, {{30, 20, 60, 48}}, true},
      {"up below 20 nothing", {{30, 10, 60, 50}}, {0}, kVkUp, {{30, 10, 60, 50}}, false},
      {"right, no limit", {{900, 40, 960, 50}}, {0}, kVkRight, {{903, 40, 963, 50}}, true},
      {"down, no limit", {{30, 900, 60, 950}}, {0}, kVkDown, {{30, 903, 60, 953}}, true},
      {"the box decides for all",
       {{21, 40, 60, 50}, {100, 40, 160, 50}},
       {0, 1},
       kVkLeft,
       {{20, 40, 59, 50}, {99, 40, 159, 50}},
       true},
      {"unselected ones stay",
       {{30, 40, 60, 50}, {100, 40, 160, 50}},
       {1},
       kVkRight,
       {{30, 40, 60, 50}, {103, 40, 163, 50}},
       true},
      {"nothing selected: left does nothing",
       {{30, 40, 60, 50}},
       {},
       kVkLeft,
       {{30, 40, 60, 50}},
       false},
      {"nothing selected: down still marks",
       {{30, 40, 60, 50}},
       {},
       kVkDown,
       {{30, 40, 60, 50}},
       true},
      {"another key", {{30, 40, 60, 50}}, {0}, 0x41, {{30, 40, 60, 50}}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Elems elems = Setup(c.rects, c.selected);
    const int frames = window.Frames();
    canvas.OnKeyUp(c.key);
    EXPECT_EQ(HostRects(elems), c.expected);
    for (int i : c.selected) {
      EXPECT_EQ(elems[static_cast<std::size_t>(i)]->rect, c.expected[static_cast<std::size_t>(i)]);
    }
    EXPECT_EQ(page->modified, c.modified);
    EXPECT_EQ(window.Frames() - frames, c.modified ? 1 : 0);
  }
}

// ---- delete, copy, cut ----

TEST_F(CanvasCommands, DeleteRemovesTheSelectionFromPageAndClipboard) {
  const Elems e = Setup({{20, 20, 40, 40}, {50, 20, 70, 40}, {80, 20, 90, 40}}, {2, 0});
  UiElemClipboard::Instance().elements = {e[0], e[1]};
  SelLog log;
  const int frames = window.Frames();
  canvas.OnKeyUp(kVkDelete);
  EXPECT_EQ(PageElems(), Elems{e[1]});
  EXPECT_EQ(UiElemClipboard::Instance().elements, Elems{e[1]});
  EXPECT_TRUE(Members().empty());
  EXPECT_FALSE(e[0]->host->IsSelected());
  EXPECT_FALSE(e[2]->host->IsSelected());
  EXPECT_EQ(log.events, Strings{"cleared"});
  EXPECT_TRUE(page->modified);
  EXPECT_EQ(window.Frames(), frames + 1);

  page->modified = false;
  canvas.DeleteSelection();
  EXPECT_EQ(log.events, Strings{"cleared"}) << "nothing selected: nothing happens";
  EXPECT_FALSE(page->modified);
  EXPECT_EQ(window.Frames(), frames + 1);
}

TEST_F(CanvasCommands, CopySharesTheSelectedWrappersInSelectionOrder) {
  const Elems e = Setup({{20, 20, 40, 40}, {50, 20, 70, 40}, {80, 20, 90, 40}}, {2, 0});
  SelLog log;
  const int frames = window.Frames();
  canvas.Copy();
  EXPECT_EQ(UiElemClipboard::Instance().elements, (Elems{e[2], e[0]}));
  EXPECT_EQ(UiElemClipboard::Instance().sourcePage, "页面1");
  EXPECT_EQ(PageElems().size(), 3u);
  EXPECT_EQ(Members(), (Elems{e[2], e[0]}));
  EXPECT_FALSE(page->modified);
  EXPECT_TRUE(log.events.empty());
  EXPECT_EQ(window.Frames(), frames) << "no repaint";
}

TEST_F(CanvasCommands, CutMovesTheSelectionToTheClipboard) {
  const Elems e = Setup({{20, 20, 40, 40}, {50, 20, 70, 40}, {80, 20, 90, 40}}, {1});
  SelLog log;
  canvas.Cut();
  EXPECT_EQ(UiElemClipboard::Instance().elements, Elems{e[1]});
  EXPECT_EQ(UiElemClipboard::Instance().sourcePage, "页面1");
  EXPECT_EQ(PageElems(), (Elems{e[0], e[2]}));
  EXPECT_TRUE(Members().empty());
  EXPECT_FALSE(e[1]->host->IsSelected());
  EXPECT_EQ(log.events, Strings{"cleared"});
  EXPECT_TRUE(page->modified);
}

// ---- paste ----

TEST_F(CanvasCommands, PasteIntoTheSamePageLandsSixUnitsOffEveryTime) {
  const Elems e = Setup({{100, 100, 150, 130}, {200, 100, 260, 140}}, {1, 0});
  canvas.Copy();
  SelLog log;
  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    page->modified = false;
    const int frames = window.Frames();
    canvas.Paste();
    ASSERT_EQ(PageElems().size(), 4u + 2u * static_cast<std::size_t>(round));
    const Elems pasted(PageElems().end() - 2, PageElems().end());
    EXPECT_EQ(HostRects(pasted), (Rects{{206, 106, 266, 146}, {106, 106, 156, 136}}))
        << "clipboard order, on top, not cumulative";
    EXPECT_NE(pasted[0], e[1]);
    EXPECT_NE(pasted[0]->host, e[1]->host) << "new copies";
    EXPECT_EQ(Members(), pasted);
    EXPECT_EQ(canvas.GetSelection().GetAnchored(), pasted[0]);
    EXPECT_EQ(CachedRects(pasted), HostRects(pasted));
    EXPECT_FALSE(e[0]->host->IsSelected());
    EXPECT_TRUE(page->modified);
    EXPECT_EQ(window.Frames(), frames + 1);
  }
  EXPECT_EQ(log.events, (Strings{"changed 2", "changed 2"}));
  EXPECT_EQ(HostRects(e), (Rects{{100, 100, 150, 130}, {200, 100, 260, 140}})) << "originals stay";
}

TEST_F(CanvasCommands, CutThenPasteBringsANewCopyBackSixUnitsOff) {
  const Elems e = Setup({{100, 100, 150, 130}}, {0});
  canvas.Cut();
  canvas.Paste();
  ASSERT_EQ(PageElems().size(), 1u);
  EXPECT_NE(PageElems()[0], e[0]);
  EXPECT_EQ(PageElems()[0]->host->GetRect(), (D2D_RECT_F{106, 106, 156, 136}));
}

TEST_F(CanvasCommands, PasteIntoAnotherPageKeepsTheCoordinatesUnlessTheyStickOut) {
  struct Case {
    const char* name;
    float width, height;  // of the target page
    Rects expected;
  };
  const Case cases[] = {
      {"roomy page", 600, 480, {{100, 100, 150, 130}, {500, 300, 560, 340}}},
      // right edge 560 > 520: the group moves left 40
      {"narrower page", 500, 480, {{60, 100, 110, 130}, {460, 300, 520, 340}}},
      {"lower page", 600, 250, {{100, 30, 150, 60}, {500, 230, 560, 270}}},
      {"page narrower than the group: left edge on 20",
       200,
       480,
       {{20, 100, 70, 130}, {420, 300, 480, 340}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Setup({{100, 100, 150, 130}, {500, 300, 560, 340}}, {0, 1});
    canvas.Copy();
    canvas.DetachPage();
    page = MakePage("页面2", c.width, c.height);
    canvas.AttachPage(&window, page);
    SelLog log;
    canvas.Paste();
    EXPECT_EQ(HostRects(PageElems()), c.expected);
    EXPECT_EQ(log.events, Strings{"changed 2"});
    EXPECT_TRUE(page->modified);
    canvas.DetachPage();
    page = MakePage("页面1", 600, 480);
    canvas.AttachPage(&window, page);
  }
}

TEST_F(CanvasCommands, PasteTakesTheClipboardAsItIsNow) {
  const Elems e = Setup({{100, 100, 150, 130}, {200, 100, 260, 140}}, {0, 1});
  canvas.Copy();
  HostOf(e[0]).SetColour(0x123456);
  e[0]->host->SetRect({300, 300, 320, 310});
  Select({e[1]});
  canvas.OnKeyUp(kVkDelete);  // e[1] leaves the clipboard too
  SelLog log;
  canvas.Paste();
  ASSERT_EQ(PageElems().size(), 2u);
  const auto& pasted = PageElems().back();
  EXPECT_EQ(pasted->host->GetRect(), (D2D_RECT_F{306, 306, 326, 316}));
  EXPECT_EQ(HostOf(pasted).Colour(), 0x123456u);
  EXPECT_EQ(Members(), Elems{pasted});

  UiElemClipboard::Instance().elements.clear();
  page->modified = false;
  canvas.Paste();
  EXPECT_EQ(PageElems().size(), 2u);
  EXPECT_TRUE(Members().empty());
  EXPECT_EQ(log.events, (Strings{"changed 1", "page 页面1"}));
  EXPECT_TRUE(page->modified);
}

TEST_F(CanvasCommands, ElementsWithoutACopyAreLeftOutOfAPaste) {
  const Elems e = Setup({{100, 100, 150, 130}, {200, 100, 260, 140}}, {0, 1});
  canvas.Copy();
  HostOf(e[0]).failClone = true;
  canvas.Paste();
  ASSERT_EQ(PageElems().size(), 3u);
  EXPECT_EQ(PageElems().back()->host->GetRect(), (D2D_RECT_F{206, 106, 266, 146}));
  EXPECT_EQ(Members(), Elems{PageElems().back()});
}

TEST_F(CanvasCommands, WithoutAPageNothingIsPastedOrCut) {
  Setup({{100, 100, 150, 130}}, {0});
  canvas.Copy();
  canvas.DetachPage();
  SelLog log;
  canvas.Paste();
  canvas.Cut();
  canvas.OnKeyUp(kVkRight);
  EXPECT_TRUE(Members().empty());
  EXPECT_TRUE(log.events.empty());
  EXPECT_EQ(UiElemClipboard::Instance().elements.size(), 1u);
}

TEST(KeepElemsInsidePage, MovesTheGroupBackOverTheRightAndBottomEdges) {
  using Testing::PaintHost;
  const D2D_RECT_F P{20, 20, 620, 500};
  struct Case {
    const char* name;
    Rects group, expected;
  };
  const Case cases[] = {
      {"inside", {{100, 100, 200, 200}}, {{100, 100, 200, 200}}},
      {"only left and top stick out", {{0, 5, 50, 60}}, {{0, 5, 50, 60}}},
      {"on the edges", {{520, 400, 620, 500}}, {{520, 400, 620, 500}}},
      {"right",
       {{500, 100, 700, 200}, {550, 300, 600, 350}},
       {{420, 100, 620, 200}, {470, 300, 520, 350}}},
      {"bottom", {{100, 450, 200, 550}}, {{100, 400, 200, 500}}},
      {"wider than the page", {{100, 100, 900, 200}}, {{20, 100, 820, 200}}},
      {"right, top above the page", {{500, 10, 700, 50}}, {{420, 20, 620, 60}}},
      {"empty group", {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Elems group;
    for (const auto& r : c.group) {
      group.push_back(std::make_shared<UiElem>(std::make_shared<PaintHost>(r, 0)));
    }
    KeepElemsInsidePage(P, group);
    EXPECT_EQ(HostRects(group), c.expected);
  }
}

// ---- align, size, distribute ----

TEST_F(CanvasCommands, AlignToTheAnchoredElement) {
  // anchored (100, 100, 200, 150), then two more
  const Rects start{{100, 100, 200, 150}, {250, 30, 290, 60}, {40, 200, 100, 260}};
  struct Case {
    int id;
    Rects expected;
  };
  const Case cases[] = {
      {kCmdAlignLeft, {{100, 100, 200, 150}, {100, 30, 140, 60}, {100, 200, 160, 260}}},
      {kCmdAlignRight, {{100, 100, 200, 150}, {160, 30, 200, 60}, {140, 200, 200, 260}}},
      {kCmdAlignTop, {{100, 100, 200, 150}, {250, 100, 290, 130}, {40, 100, 100, 160}}},
      {kCmdAlignBottom, {{100, 100, 200, 150}, {250, 120, 290, 150}, {40, 90, 100, 150}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const Elems e = Setup(start, {0, 1, 2});
    const int frames = window.Frames();
    canvas.ExecuteCommand(c.id);
    EXPECT_EQ(HostRects(e), c.expected);
    EXPECT_EQ(CachedRects(e), c.expected);
    EXPECT_TRUE(page->modified);
    EXPECT_EQ(window.Frames(), frames + 1);
    EXPECT_EQ(canvas.GetSelection().GetBox(), (D2D_RECT_F{40, 30, 290, 260})) << "box not updated";

    Setup(start, {1});
    canvas.ExecuteCommand(c.id);
    EXPECT_EQ(HostRects(PageElems()), start) << "one member: nothing";
    EXPECT_FALSE(page->modified);
    EXPECT_EQ(window.Frames(), frames + 2) << "repainted all the same";
  }
}

TEST_F(CanvasCommands, AlignFollowsAnAnchorSetWithCtrl) {
  const Elems e = Setup({{100, 100, 200, 150}, {60, 200, 100, 230}}, {0, 1});
  canvas.OnLButtonDown({80, 215}, kMouseKeyControl);
  canvas.OnMouseRelease({80, 215});
  ASSERT_EQ(canvas.GetSelection().GetAnchored(), e[1]);
  canvas.ExecuteCommand(kCmdAlignLeft);
  EXPECT_EQ(HostRects(e), (Rects{{60, 100, 160, 150}, {60, 200, 100, 230}}));
}

TEST_F(CanvasCommands, AlignReadsBackWhatEachHostKept) {
  const Elems e = Setup({{100, 100, 200, 150}, {250, 30, 290, 60}}, {0, 1});
  HostOf(e[1]).grid = 7;
  canvas.ExecuteCommand(kCmdAlignBottom);  // asks for top 120, the host keeps 119
  EXPECT_EQ(e[1]->host->GetRect(), (D2D_RECT_F{252, 119, 292, 149}));
  EXPECT_EQ(e[1]->rect, e[1]->host->GetRect());
}

TEST_F(CanvasCommands, SameWidthHeightAndSize) {
  // anchored 100 x 30
  const Rects start{{250, 50, 290, 70}, {100, 100, 200, 130}, {30, 300, 35, 400}};
  struct Case {
    int id;
    Rects expected;
    int setRectsOfOthers;
  };
  const Case cases[] = {
      {kCmdSameWidth, {{250, 50, 350, 70}, {100, 100, 200, 130}, {30, 300, 130, 400}}, 1},
      {kCmdSameHeight, {{250, 50, 290, 80}, {100, 100, 200, 130}, {30, 300, 35, 330}}, 1},
      {kCmdSameSize, {{250, 50, 350, 80}, {100, 100, 200, 130}, {30, 300, 130, 330}}, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const Elems e = Setup(start, {1, 0, 2});
    canvas.ExecuteCommand(c.id);
    EXPECT_EQ(HostRects(e), c.expected);
    EXPECT_EQ(CachedRects({e[0], e[2]}), (Rects{c.expected[0], c.expected[2]}));
    EXPECT_EQ(HostOf(e[0]).setRectCalls, c.setRectsOfOthers) << "width first, then height";
    EXPECT_EQ(HostOf(e[1]).setRectCalls, 0) << "the anchored one is left alone";
    EXPECT_TRUE(page->modified);

    Setup(start, {1});
    canvas.ExecuteCommand(c.id);
    EXPECT_EQ(HostRects(PageElems()), start);
    EXPECT_FALSE(page->modified);
  }
}

TEST_F(CanvasCommands, SameSizeAsAnElementWithoutWidthOrHeightLeavesTheLeastSize) {
  // A page file may hold an element with no width or height; made the
  // reference, it must not take the others' away.
  const Rects start{{100, 100, 200, 130}, {250, 50, 250, 50}, {30, 300, 35, 400}};
  struct Case {
    int id;
    Rects expected;
  };
  const Case cases[] = {
      {kCmdSameWidth, {{100, 100, 101, 130}, {250, 50, 250, 50}, {30, 300, 31, 400}}},
      {kCmdSameHeight, {{100, 100, 200, 101}, {250, 50, 250, 50}, {30, 300, 35, 301}}},
      {kCmdSameSize, {{100, 100, 101, 101}, {250, 50, 250, 50}, {30, 300, 31, 301}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.id);
    const Elems e = Setup(start, {1, 0, 2});
    canvas.ExecuteCommand(c.id);
    EXPECT_EQ(HostRects(e), c.expected);
  }
}

TEST_F(CanvasCommands, DistributeSpacesThreeOrMoreEvenly) {
  struct Case {
    const char* name;
    int id;
    Rects start;
    std::vector<int> selected;
    Rects expected;
  };
  const Case cases[] = {
      {"horizontally",
       kCmdDistributeHorz,
       {{20, 50, 60, 70}, {100, 80, 140, 90}, {300, 10, 340, 40}},
       {2, 0, 1},
       {{20, 50, 60, 70}, {160, 80, 200, 90}, {300, 10, 340, 40}}},
      {"vertically",
       kCmdDistributeVert,
       {{50, 20, 70, 60}, {80, 100, 90, 140}, {10, 300, 40, 340}},
       {1, 2, 0},
       {{50, 20, 70, 60}, {80, 160, 90, 200}, {10, 300, 40, 340}}},
      // gaps -20 and 20: the mean gap 0 closes them up
      {"overlapping",
       kCmdDistributeHorz,
       {{20, 0, 60, 10}, {40, 0, 80, 10}, {100, 0, 140, 10}},
       {0, 1, 2},
       {{20, 0, 60, 10}, {60, 0, 100, 10}, {100, 0, 140, 10}}},
      {"four, uneven widths",
       kCmdDistributeHorz,
       {{20, 0, 30, 10}, {35, 0, 95, 10}, {200, 0, 220, 10}, {305, 0, 335, 10}},
       {3, 2, 1, 0},  // gaps 5, 105 and 85: 65 each
       {{20, 0, 30, 10}, {95, 0, 155, 10}, {220, 0, 240, 10}, {305, 0, 335, 10}}},
      // equal left edges keep their selection order: the second selected moves
      {"ties, b first",
       kCmdDistributeHorz,
       {{20, 0, 60, 10}, {20, 20, 30, 30}, {100, 0, 140, 10}},
       {1, 0, 2},
       {{45, 0, 85, 10}, {20, 20, 30, 30}, {100, 0, 140, 10}}},
      {"ties, a first",
       kCmdDistributeHorz,
       {{20, 0, 60, 10}, {20, 20, 30, 30}, {100, 0, 140, 10}},
       {0, 1, 2},
       {{20, 0, 60, 10}, {75, 20, 85, 30}, {100, 0, 140, 10}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Elems e = Setup(c.start, c.selected);
    canvas.ExecuteCommand(c.id);
    EXPECT_EQ(HostRects(e), c.expected);
    EXPECT_EQ(CachedRects({e[1]}), Rects{c.expected[1]});
    EXPECT_TRUE(page->modified);
  }
  for (int id : {kCmdDistributeHorz, kCmdDistributeVert}) {
    const Rects two{{20, 0, 60, 10}, {200, 100, 240, 110}};
    Setup(two, {0, 1});
    canvas.ExecuteCommand(id);
    EXPECT_EQ(HostRects(PageElems()), two) << "two members: nothing";
    EXPECT_FALSE(page->modified);
  }
}

TEST_F(CanvasCommands, DistributePlacesAfterWhatThePreviousHostKept) {
  const Elems e = Setup({{20, 0, 60, 10}, {100, 0, 140, 10}, {300, 0, 340, 10}}, {0, 1, 2});
  HostOf(e[1]).grid = 7;  // keeps 161 for 160
  canvas.ExecuteCommand(kCmdDistributeHorz);
  EXPECT_EQ(e[1]->host->GetRect(), (D2D_RECT_F{161, 0, 201, 10}));
  EXPECT_EQ(e[2]->host->GetRect(), (D2D_RECT_F{301, 0, 341, 10}));
}

// ---- drawing order ----

TEST_F(CanvasCommands, MoveToBottomAndTop) {
  struct Case {
    const char* name;
    int id;
    std::vector<int> selected;
    std::vector<int> order;
    bool modified;
  };
  const Case cases[] = {
      {"middle to bottom", kCmdMoveToBottom, {1}, {1, 0, 2}, true},
      {"middle to top", kCmdMoveToTop, {1}, {0, 2, 1}, true},
      {"bottom to bottom", kCmdMoveToBottom, {0}, {0, 1, 2}, true},
      {"top to top", kCmdMoveToTop, {2}, {0, 1, 2}, true},
      {"two selected: enabled, but nothing", kCmdMoveToBottom, {2, 1}, {0, 1, 2}, false},
      {"nothing selected", kCmdMoveToTop, {}, {0, 1, 2}, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Elems e = Setup({{20, 20, 40, 40}, {30, 30, 50, 50}, {40, 40, 60, 60}}, c.selected);
    const int frames = window.Frames();
    canvas.ExecuteCommand(c.id);
    Elems expected;
    for (int i : c.order) expected.push_back(e[static_cast<std::size_t>(i)]);
    EXPECT_EQ(PageElems(), expected);
    EXPECT_EQ(page->modified, c.modified);
    EXPECT_EQ(window.Frames(), frames + 1);
    EXPECT_EQ(Members().size(), c.selected.size());
  }
}

TEST_F(CanvasCommands, ASelectedElementMissingFromThePageIsNotReordered) {
  Setup({{20, 20, 40, 40}, {30, 30, 50, 50}}, {1});
  PageElems().pop_back();
  EXPECT_FALSE(canvas.MoveToTop());
  EXPECT_FALSE(page->modified);
}

// ---- enabling ----

TEST_F(CanvasCommands, CommandsAreEnabledByTheSizeOfTheSelection) {
  const int ids[] = {kCmdAlignLeft,      kCmdAlignRight,   kCmdAlignTop,  kCmdAlignBottom,
                     kCmdSameWidth,      kCmdSameHeight,   kCmdSameSize,  kCmdDistributeHorz,
                     kCmdDistributeVert, kCmdMoveToBottom, kCmdMoveToTop, ID_EDIT_COPY,
                     ID_EDIT_CUT,        ID_EDIT_PASTE};
  struct Case {
    const char* name;
    int elements;
    int selected;
    bool clipboard;
    bool page;
    // One letter per id above: y enabled, n not.
    const char* enabled;
  };
  const Case cases[] = {
      {"nothing", 3, 0, false, true, "nnnnnnnnnnnnnn"},
      {"clipboard only", 3, 0, true, true, "nnnnnnnnnnnnny"},
      {"one", 3, 1, false, true, "nnnnnnnnnyyyyn"},
      {"one of one", 1, 1, false, true, "nnnnnnnnnnnyyn"},
      {"two", 3, 2, true, true, "yyyyyyynnyyyyy"},
      {"three", 3, 3, false, true, "yyyyyyyyyyyyyn"},
      {"no page", 0, 0, true, false, "nnnnnnnnnnnnnn"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Rects rects;
    for (int i = 0; i < c.elements; ++i) rects.push_back({20.0f + 10 * i, 20, 25.0f + 10 * i, 25});
    std::vector<int> selected;
    for (int i = 0; i < c.selected; ++i) selected.push_back(i);
    Setup(rects, selected);
    UiElemClipboard::Instance().elements.clear();
    if (c.clipboard) {
      UiElemClipboard::Instance().elements.push_back(std::make_shared<UiElem>(
          std::make_shared<Testing::PaintHost>(D2D_RECT_F{0, 0, 1, 1}, 0)));
    }
    if (!c.page) canvas.DetachPage();
    std::string got;
    for (int id : ids) got += canvas.IsCommandEnabled(id) ? 'y' : 'n';
    EXPECT_EQ(got, c.enabled);
    if (!c.page) canvas.AttachPage(&window, page);
  }
  EXPECT_FALSE(canvas.IsCommandEnabled(32806));
  EXPECT_FALSE(canvas.IsCommandEnabled(57636));
  for (int id : ids) EXPECT_NE(CanvasCommandText(id), nullptr) << id;
  EXPECT_STREQ(CanvasCommandText(kCmdSameSize), "使控件等尺寸\n等尺寸");
}

}  // namespace
}  // namespace NsOvrin::NsUiD2ElemEditor
