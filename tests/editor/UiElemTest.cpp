// Wrappers, the page container, the clipboard and the selection listeners.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "ProbeHost.h"
#include "dx2d/RecordingRenderTarget.h"
#include "editor/UiElem.h"
#include "editor/UiElemClipboard.h"
#include "editor/UiElemCont.h"
#include "editor/UiElemSelListener.h"
#include "editor/UiElemSelection.h"

namespace NsOvrin::NsUiD2ElemEditor {
namespace {

using NsDx2d::operator<<;
using Testing::MakeProbe;
using Testing::ProbeHost;
using Elems = std::vector<std::shared_ptr<UiElem>>;

TEST(UiElem, NewWrapperHasNoHandleAndIsNotAnchored) {
  UiElem elem(std::make_shared<ProbeHost>(D2D_RECT_F{30, 40, 90, 66}));
  EXPECT_EQ(elem.handle, UiElem::kNoHandle);
  EXPECT_EQ(elem.handle, 5);
  EXPECT_FALSE(elem.anchored);
  EXPECT_EQ(elem.rect, (D2D_RECT_F{}));
  EXPECT_EQ(elem.pressPoint, (D2D_POINT_2F{}));
}

TEST(UiElem, MoveByShiftsTheHostAndReadsBackWhatItKept) {
  struct Case {
    float grid, dx, dy;
    D2D_RECT_F expected;
  };
  const Case cases[] = {
      {0, 3, -2, {33, 38, 93, 64}},
      {0, -13.5f, 0, {16.5f, 40, 76.5f, 66}},
      // A host on a 10-unit grid rounds the position it is given.
      {10, 3, 7, {30, 50, 90, 76}},
  };
  for (const Case& c : cases) {
    auto elem = MakeProbe({30, 40, 90, 66}, c.grid);
    elem->MoveBy(c.dx, c.dy);
    EXPECT_EQ(elem->host->GetRect(), c.expected) << c.dx << "," << c.dy;
    EXPECT_EQ(elem->rect, c.expected) << "cached rectangle";
  }
}

TEST(UiElem, WithoutHostMoveAndCloneDoNothing) {
  auto empty = std::make_shared<UiElem>();
  empty->rect = {1, 2, 3, 4};
  empty->MoveBy(5, 5);
  empty->RefreshRect();
  EXPECT_EQ(empty->rect, (D2D_RECT_F{1, 2, 3, 4}));
  EXPECT_EQ(CloneUiElem(empty), nullptr);
  EXPECT_EQ(CloneUiElem(nullptr), nullptr);
}

TEST(UiElem, CloneWrapsADeepCopyOfTheHost) {
  auto source = MakeProbe({30, 40, 90, 66});
  source->anchored = true;
  source->handle = UiElem::kHandleBottomRight;
  source->RefreshRect();
  auto clone = CloneUiElem(source);
  ASSERT_NE(clone, nullptr);
  ASSERT_NE(clone->host, nullptr);
  EXPECT_NE(clone->host, source->host);
  EXPECT_EQ(clone->host->GetRect(), source->host->GetRect());
  EXPECT_EQ(clone->handle, UiElem::kNoHandle);
  EXPECT_FALSE(clone->anchored);
  // The copy is its own: moving it leaves the source where it was.
  clone->MoveBy(6, 6);
  EXPECT_EQ(source->host->GetRect(), (D2D_RECT_F{30, 40, 90, 66}));
}

TEST(UiElemCont, RemoveElemsTakesTheFirstOccurrenceOfEach) {
  auto a = MakeProbe({0, 0, 1, 1});
  auto b = MakeProbe({0, 0, 1, 1});
  auto c = MakeProbe({0, 0, 1, 1});
  auto stranger = MakeProbe({0, 0, 1, 1});
  struct Case {
    const char* name;
    Elems container, removed, left;
  };
  const Case cases[] = {
      {"one from the middle", {a, b, c}, {b}, {a, c}},
      {"order of the list does not matter", {a, b, c}, {c, a}, {b}},
      {"first occurrence only", {a, b, a}, {a}, {b, a}},
      {"listed twice removes both", {a, b, a}, {a, a}, {b}},
      {"unknown wrapper is ignored", {a, b}, {stranger}, {a, b}},
      {"an equal copy is not the wrapper", {a}, {CloneUiElem(a)}, {a}},
      {"nothing listed", {a, b}, {}, {a, b}},
  };
  for (const Case& c : cases) {
    UiElemCont cont;
    cont.elems = c.container;
    cont.RemoveElems(c.removed);
    EXPECT_EQ(cont.elems, c.left) << c.name;
  }
}

TEST(UiElemClipboard, SharesTheWrappersItWasGiven) {
  UiElemClipboard& clipboard = UiElemClipboard::Instance();
  EXPECT_EQ(&clipboard, &UiElemClipboard::Instance());
  auto elem = MakeProbe({30, 40, 90, 66});
  clipboard.elements = {elem};
  clipboard.sourcePage = "页面1";
  // Edited on its page after copying: the clipboard holds the edited one.
  elem->MoveBy(10, 0);
  auto pasted = CloneUiElem(UiElemClipboard::Instance().elements.front());
  EXPECT_EQ(pasted->host->GetRect(), (D2D_RECT_F{40, 40, 100, 66}));
  EXPECT_EQ(UiElemClipboard::Instance().sourcePage, "页面1");
  clipboard.elements.clear();
  clipboard.sourcePage.clear();
}

// Logs what it hears; may remove a listener while being told.
class LogListener : public UiElemSelListener {
 public:
  LogListener(std::string name, std::vector<std::string>& log)
      : name_(std::move(name)), log_(log) {}
  ~LogListener() override { std::erase(GetRegistry(), this); }

  void OnSelectionChanged(const Elems& members) override {
    log_.push_back(name_ + ":changed " + std::to_string(members.size()));
    if (removeOnNotify != nullptr) std::erase(GetRegistry(), removeOnNotify);
  }
  void OnPageSelected(const std::shared_ptr<QlEPage>& page) override {
    log_.push_back(name_ + (page ? ":page" : ":no page"));
  }
  void OnSelectionCleared() override { log_.push_back(name_ + ":cleared"); }

  UiElemSelListener* removeOnNotify = nullptr;

 private:
  std::string name_;
  std::vector<std::string>& log_;
};

TEST(UiElemSelListener, NotifiesEveryListenerInRegistrationOrder) {
  std::vector<std::string> log;
  LogListener first("a", log), second("b", log);
  UiElemSelListener::GetRegistry() = {&first, &second};

  UiElemSelection selection;
  selection.Add(MakeProbe({0, 0, 10, 10}));
  selection.Add(MakeProbe({20, 0, 30, 10}));
  UiElemSelListener::NotifySelectionChanged(selection);
  UiElemSelListener::NotifyPageSelected(nullptr);
  UiElemSelListener::NotifySelectionCleared();
  EXPECT_EQ(log, (std::vector<std::string>{"a:changed 2", "b:changed 2", "a:no page", "b:no page",
                                           "a:cleared", "b:cleared"}));
  // Telling listeners changes nothing in the selection.
  EXPECT_EQ(selection.Count(), 2u);
  UiElemSelListener::GetRegistry().clear();
}

TEST(UiElemSelListener, ListenerRemovedDuringAWalkIsNotCalled) {
  std::vector<std::string> log;
  LogListener first("a", log), second("b", log), third("c", log);
  UiElemSelListener::GetRegistry() = {&first, &second, &third};
  first.removeOnNotify = &second;
  UiElemSelection selection;
  UiElemSelListener::NotifySelectionChanged(selection);
  EXPECT_EQ(log, (std::vector<std::string>{"a:changed 0", "c:changed 0"}));
  UiElemSelListener::GetRegistry().clear();
}

}  // namespace
}  // namespace NsOvrin::NsUiD2ElemEditor
