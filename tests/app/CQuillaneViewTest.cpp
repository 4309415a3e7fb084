// The page view: drawing a page, input to the canvas, scrolling, the
// refresh timer, activation, the edit commands, closing and the online mode.
#include "app/CQuillaneView.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <functional>

#include "QlUiElem/QlUiEdit.h"
#include "QlUiElem/QlUiElemDef.h"
#include "ShellFixture.h"
#include "editor/UiElemCanvasCommands.h"
#include "element_io/QlEditIo.h"
#include "project_persistence/PageCommands.h"

namespace NsOvrin {
namespace {

using NsDx2d::D2D_RECT_F;
using NsQlUiElem::QlUiEdit;
using NsUiD2ElemEditor::ScrollBarId;
using NsUiD2ElemEditor::UiElemCanvas;
using NsWui::UiCall;
using Testing::ShellFixture;

constexpr QRgb kBackdrop = 0xABABAB;
constexpr QRgb kNoPage = 0xC0C0C0;
constexpr QRgb kWhite = 0xFFFFFF;
constexpr QRgb kGreen = 0x00FF00;
constexpr QRgb kRed = 0xFF0000;

// Page "P2", 300 x 200: one number box (10, 10)-(100, 37) showing 4x2.
const char* const kPageP2 =
    R"({"rect":{"left":0.0,"top":0.0,"right":300.0,"bottom":200.0},"bk-color":16777215,)"
    R"("access-permission":0,"elements":[)"
    R"({"type":"Number","rect":{"left":10.0,"top":10.0,"right":100.0,"bottom":37.0},)"
    R"("text-color":0,"font-size":120,"bk-color":16777215,"bk-color-alpha":1.0,)"
    R"("border-color":0,"text-align":0,"access-permission":0,"data-type":2,"scale":0,)"
    R"("read-only":false,"enable-min-val":false,"min-val":0,"enable-max-val":false,)"
    R"("max-val":0,"address":"PLC1.4x2","enable-visib":false,"address-for-visib":"",)"
    R"("show-when-true":true}]})";

class PageView : public ShellFixture {
 protected:
  void SetUp() override {
    ShellFixture::SetUp();
    QlEProject::Instance().pageNames.push_back("P2");
    WritePage("P2", kPageP2);
  }

  static std::shared_ptr<QlUiEdit> BoxOf(CQuillaneView* view, std::size_t i) {
    const auto host = HostAt(view, i);
    return host ? std::dynamic_pointer_cast<QlUiEdit>(host->GetUi()) : nullptr;
  }
  static const std::vector<std::shared_ptr<NsUiD2ElemEditor::UiElem>>& Elems(CQuillaneView* view) {
    return view->GetCanvas().GetPage()->elements->elems;
  }
  static bool Registered(CQuillaneView* view) {
    const auto& registry = NodeDbListener::GetRegistry();
    return std::find(registry.begin(), registry.end(), static_cast<NodeDbListener*>(view)) !=
           registry.end();
  }
};

// A widget that counts its paints, standing in for the element toolbar.
class PaintCounter : public QWidget {
 public:
  int paints = 0;

 protected:
  void paintEvent(QPaintEvent*) override { ++paints; }
};

TEST_F(PageView, DrawsThePageItOpensFromItsFile) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(view->GetPageTitle(), "P1");
  const auto& page = view->GetCanvas().GetPage();
  ASSERT_NE(page, nullptr);
  ASSERT_EQ(Elems(view).size(), 2u);
  EXPECT_EQ(HostAt(view, 0)->GetRect(), (D2D_RECT_F{30, 30, 130, 60}));
  EXPECT_EQ(HostAt(view, 1)->GetRect(), (D2D_RECT_F{170, 30, 260, 57}));
  EXPECT_FALSE(HostAt(view, 1)->GetUi()->inError) << "bound to the register block";
  EXPECT_EQ(view->GetCanvas().GetPageSize(), (NsDx2d::D2D_SIZE_F{400, 300}));
  EXPECT_EQ(QlEProject::Instance().openPages, std::vector<std::shared_ptr<QlEPage>>{page});
  EXPECT_TRUE(ui_.calls.empty());

  const QImage shot = Shot(view);
  ASSERT_GE(shot.width(), 450);
  ASSERT_GE(shot.height(), 350);
  EXPECT_EQ(Rgb(shot, 5, 5), kBackdrop) << "margin";
  EXPECT_EQ(Rgb(shot, 440, 200), kBackdrop) << "right of the page";
  EXPECT_EQ(Rgb(shot, 300, 200), kWhite) << "the page";
  EXPECT_EQ(Rgb(shot, 34, 34), kGreen) << "the text's background";
  EXPECT_EQ(Rgb(shot, 174, 34), kRed) << "the number box's background";
  EXPECT_EQ(view->GetCanvas().HitTest({34, 34}), Elems(view)[0]);
}

TEST_F(PageView, APageThatDoesNotLoadLeavesAnEmptyGreyCanvas) {
  QlEProject::Instance().pageNames.push_back("P9");
  CQuillaneView* view = Open("P9");
  ASSERT_NE(view, nullptr) << "the window opens all the same";
  EXPECT_EQ(view->GetCanvas().GetPage(), nullptr);
  EXPECT_TRUE(QlEProject::Instance().openPages.empty());
  const auto boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "页面导入失败.");
  EXPECT_EQ(boxes[0].caption, "提示");
  EXPECT_EQ(boxes[0].type, NsWui::MB_OK | NsWui::MB_ICONERROR);
  EXPECT_EQ(boxes[0].widget, view);
  const QImage shot = Shot(view);
  EXPECT_EQ(Rgb(shot, 300, 200), kNoPage);
  EXPECT_EQ(Rgb(shot, 5, 5), kBackdrop);

  // Presses reach nothing, the armed tool included.
  CurrentToolId = kToolFirstElem;
  Click(view, {300, 200});
  EXPECT_EQ(CurrentToolId, kToolFirstElem);
  EXPECT_TRUE(selections_.events.size() <= 2u) << "only the activation";
}

TEST_F(PageView, MouseAndKeysSelectDragAndDelete) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  const auto& page = view->GetCanvas().GetPage();
  const auto text = Elems(view)[0];
  selections_.events.clear();

  Click(view, {40, 40});
  EXPECT_EQ(view->GetCanvas().GetSelection().GetMembers(), decltype(selections_.last){text});
  EXPECT_EQ(selections_.events, std::vector<std::string>{"changed:1"});
  EXPECT_FALSE(page->modified) << "selecting is no edit";
  EXPECT_FALSE(view->HasMouseCapture());

  Mouse(view, QEvent::MouseButtonPress, {40, 40}, Qt::LeftButton);
  EXPECT_EQ(view->GetCanvas().GetDragState(), UiElemCanvas::kDragSelection);
  EXPECT_TRUE(view->HasMouseCapture());
  Mouse(view, QEvent::MouseMove, {55, 50}, Qt::LeftButton);
  Mouse(view, QEvent::MouseMove, {70, 60}, Qt::LeftButton);
  Mouse(view, QEvent::MouseButtonRelease, {70, 60}, Qt::NoButton);
  EXPECT_FALSE(view->HasMouseCapture());
  EXPECT_EQ(text->host->GetRect(), (D2D_RECT_F{60, 50, 160, 80}));
  EXPECT_TRUE(page->modified);
  EXPECT_EQ(Rgb(Shot(view), 64, 54), kGreen) << "drawn where it went";

  page->modified = false;
  KeyUp(view, Qt::Key_Right, true);
  EXPECT_EQ(text->host->GetRect().left, 60) << "an auto-repeated key does not act";
  KeyUp(view, Qt::Key_Right);
  KeyUp(view, Qt::Key_Down);
  EXPECT_EQ(text->host->GetRect(), (D2D_RECT_F{63, 53, 163, 83}));
  EXPECT_TRUE(page->modified);

  selections_.events.clear();
  KeyUp(view, Qt::Key_Delete);
  EXPECT_EQ(Elems(view).size(), 1u);
  EXPECT_EQ(Elems(view)[0]->host->GetType(), NsQlUiElem::kElemNumber);
  EXPECT_EQ(selections_.events, std::vector<std::string>{"cleared"});
  EXPECT_EQ(Rgb(Shot(view), 64, 54), kWhite);
}

TEST_F(PageView, ShiftAndCtrlPressesReachTheCanvas) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  const auto text = Elems(view)[0];
  const auto box = Elems(view)[1];
  const auto& selection = view->GetCanvas().GetSelection();

  Click(view, {40, 40});
  Click(view, {180, 40}, Qt::ShiftModifier);
  EXPECT_EQ(selection.GetMembers(), (decltype(selections_.last){text, box}));
  EXPECT_EQ(selection.GetAnchored(), text);
  Click(view, {180, 40}, Qt::ControlModifier);
  EXPECT_EQ(selection.GetAnchored(), box);
  Click(view, {40, 40}, Qt::ShiftModifier);
  EXPECT_EQ(selection.GetMembers(), decltype(selections_.last){box});
}

TEST_F(PageView, TheArmedToolInsertsOnceAndGoesBackToThePointer) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  PaintCounter toolbar;
  toolbar.resize(100, 20);
  toolbar.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&toolbar));
  ElementToolbar = &toolbar;
  const int paintsBefore = toolbar.paints;
  CurrentToolId = kToolFirstElem + 1;  // the number box
  selections_.events.clear();

  Click(view, {300, 200});
  ASSERT_EQ(Elems(view).size(), 3u);
  const auto inserted = HostAt(view, 2);
  EXPECT_EQ(inserted->GetType(), NsQlUiElem::kElemNumber);
  EXPECT_EQ(inserted->GetRect(), (D2D_RECT_F{300, 200, 390, 227}));
  EXPECT_TRUE(inserted->IsSelected());
  EXPECT_EQ(selections_.events, std::vector<std::string>{"changed:1"});
  EXPECT_TRUE(view->GetCanvas().GetPage()->modified);
  EXPECT_EQ(CurrentToolId, kToolPointer);
  EXPECT_GT(toolbar.paints, paintsBefore) << "the toolbar shows the pointer at once";

  Click(view, {300, 260});
  EXPECT_EQ(Elems(view).size(), 3u) << "the pointer inserts nothing";
}

TEST_F(PageView, TheSecondPressOfADoubleClickIsNoPress) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  CurrentToolId = kToolFirstElem;
  Mouse(view, QEvent::MouseButtonDblClick, {300, 200}, Qt::LeftButton);
  EXPECT_EQ(Elems(view).size(), 2u);
  EXPECT_EQ(CurrentToolId, kToolFirstElem);
}

TEST_F(PageView, TheCursorFollowsTheHandlesOfASoleSelection) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  QWidget* viewport = view->viewport();
  Click(view, {40, 40});
  struct Case {
    QPoint at;
    Qt::CursorShape shape;
  };
  // The text's frame is (26, 26)-(134, 64); its handles sit on its corners.
  const Case cases[] = {
      {{26, 26}, Qt::SizeFDiagCursor}, {{134, 26}, Qt::SizeBDiagCursor},
      {{134, 64}, Qt::SizeFDiagCursor}, {{26, 64}, Qt::SizeBDiagCursor},
      {{80, 45}, Qt::ArrowCursor},      {{300, 200}, Qt::ArrowCursor},
  };
  for (const Case& c : cases) {
    Mouse(view, QEvent::MouseMove, c.at, Qt::NoButton);
    EXPECT_EQ(viewport->cursor().shape(), c.shape) << c.at.x() << "," << c.at.y();
  }

  // Two selected: the view's default cursor.
  Mouse(view, QEvent::MouseMove, {26, 26}, Qt::NoButton);
  Click(view, {180, 40}, Qt::ShiftModifier);
  Mouse(view, QEvent::MouseMove, {26, 26}, Qt::NoButton);
  EXPECT_FALSE(viewport->testAttribute(Qt::WA_SetCursor));
}

TEST_F(PageView, AHandleDragResizesTheElement) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  const auto text = Elems(view)[0];
  Click(view, {40, 40});
  Mouse(view, QEvent::MouseButtonPress, {134, 64}, Qt::LeftButton);
  EXPECT_EQ(view->GetCanvas().GetDragState(), UiElemCanvas::kDragResize);
  Mouse(view, QEvent::MouseMove, {154, 74}, Qt::LeftButton);
  Mouse(view, QEvent::MouseButtonRelease, {154, 74}, Qt::NoButton);
  EXPECT_EQ(text->host->GetRect(), (D2D_RECT_F{30, 30, 150, 70}));
}

TEST_F(PageView, ADragWhoseMouseIsLostEndsWhereThePointerWasLastSeen) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  const auto& page = view->GetCanvas().GetPage();
  const auto text = Elems(view)[0];
  struct Case {
    const char* name;
    std::function<void()> lose;
  };
  const Case cases[] = {
      {"window deactivated",
       [view] {
         QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
         QApplication::sendEvent(view, &out);
       }},
      {"a window popped up",
       [view] {
         QFocusEvent out(QEvent::FocusOut, Qt::PopupFocusReason);
         QApplication::sendEvent(view, &out);
       }},
      // The release went to another window; the next move comes without it.
      {"released elsewhere", [view] { Mouse(view, QEvent::MouseMove, {90, 90}, Qt::NoButton); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    text->host->SetRect({30, 30, 130, 60});
    text->RefreshRect();
    Click(view, {40, 40});
    page->modified = false;
    Mouse(view, QEvent::MouseButtonPress, {40, 40}, Qt::LeftButton);
    Mouse(view, QEvent::MouseMove, {55, 50}, Qt::LeftButton);
    ASSERT_TRUE(view->HasMouseCapture());
    c.lose();
    EXPECT_EQ(view->GetCanvas().GetDragState(), UiElemCanvas::kDragNone);
    EXPECT_FALSE(view->HasMouseCapture());
    EXPECT_EQ(text->host->GetRect(), (D2D_RECT_F{45, 40, 145, 70}));
    EXPECT_TRUE(page->modified);
    // Plain moves afterwards leave the selection where it is.
    Mouse(view, QEvent::MouseMove, {120, 100}, Qt::NoButton);
    Mouse(view, QEvent::MouseMove, {140, 110}, Qt::NoButton);
    EXPECT_EQ(text->host->GetRect(), (D2D_RECT_F{45, 40, 145, 70}));
  }
}

class SmallPageView : public PageView {
 protected:
  void SetUp() override {
    PageView::SetUp();
    area_->resize(300, 240);
    view_ = Open("P1");
    ASSERT_NE(view_, nullptr);
    QCoreApplication::sendPostedEvents();
    client_ = view_->viewport()->size();
    // The page does not fit: 400 + 80 across and 300 + 80 down.
    ASSERT_LT(client_.width(), 480);
    ASSERT_LT(client_.height(), 380);
  }
  float ScrollY() const { return view_->GetCanvas().GetScrollOffset().y; }

  CQuillaneView* view_ = nullptr;
  QSize client_;
};

TEST_F(SmallPageView, AWheelNotchOfAnySizeScrollsOneLine) {
  Wheel(view_, {0, -120});
  EXPECT_EQ(ScrollY(), 20);
  Wheel(view_, {0, -600});
  EXPECT_EQ(ScrollY(), 40);
  Wheel(view_, {0, 15});
  EXPECT_EQ(ScrollY(), 20);
  Wheel(view_, {120, 0});
  EXPECT_EQ(ScrollY(), 20) << "a sideways wheel is not the vertical one";
  EXPECT_EQ(view_->verticalScrollBar()->value(), 20);
  // The page's top edge (page y 20) is now the client area's top row.
  const QImage shot = Shot(view_);
  EXPECT_EQ(Rgb(shot, 34, 14), kGreen) << "the text at page y 34";
}

TEST_F(SmallPageView, KeysDoNotScroll) {
  for (Qt::Key key : {Qt::Key_Right, Qt::Key_Down, Qt::Key_PageDown, Qt::Key_End}) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(view_, &press);
  }
  EXPECT_EQ(view_->GetCanvas().GetScrollOffset().x, 0);
  EXPECT_EQ(ScrollY(), 0);
}

TEST_F(SmallPageView, TheScrollBarsDriveTheCanvas) {
  QScrollBar* bar = view_->verticalScrollBar();
  const auto state = view_->GetScrollBar(ScrollBarId::Vertical);
  EXPECT_EQ(state.minPos, 0);
  EXPECT_EQ(state.maxPos, 380);
  EXPECT_EQ(state.page, client_.height());
  EXPECT_EQ(bar->maximum(), 380 - client_.height() + 1) << "the last position with a full page";
  EXPECT_EQ(bar->pageStep(), client_.height());

  bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(ScrollY(), 20);
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  EXPECT_EQ(ScrollY(), bar->maximum());
  EXPECT_EQ(bar->value(), bar->maximum());
  bar->triggerAction(QAbstractSlider::SliderPageStepSub);
  EXPECT_EQ(ScrollY(), std::max(0, bar->maximum() - client_.height()));
  bar->triggerAction(QAbstractSlider::SliderToMinimum);
  EXPECT_EQ(ScrollY(), 0);
  bar->setSliderPosition(33);
  EXPECT_EQ(ScrollY(), 33) << "the thumb tracks";

  view_->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
  EXPECT_EQ(view_->GetCanvas().GetScrollOffset().x, 20);
  // Pressing at a client point reaches the scrolled page point.
  Click(view_, {20, 10});
  EXPECT_EQ(view_->GetCanvas().GetSelection().GetMembers(),
            decltype(selections_.last){Elems(view_)[0]});
}

TEST_F(PageView, PageUnitsMapToPixelsThroughTheDisplayScale) {
  DpiScale = 1.25f;
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  // The text spans page x 30-130, client x 37.5-162.5.
  const QImage shot = Shot(view);
  EXPECT_EQ(Rgb(shot, 155, 45), kGreen);
  EXPECT_EQ(Rgb(shot, 30, 45), kWhite) << "page x 24";
  EXPECT_EQ(Rgb(shot, 20, 45), kBackdrop) << "page x 16";
  Click(view, {155, 45});
  EXPECT_EQ(view->GetCanvas().GetSelection().GetMembers(),
            decltype(selections_.last){Elems(view)[0]});
}

TEST_F(PageView, TheRefreshTickRepaintsWhenAHostReportsAChange) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  EXPECT_TRUE(view->IsTimerRunning()) << "the active view refreshes";
  const auto box = BoxOf(view, 1);

  int frames = view->GetFramesDrawn();
  ReplyWords({0, 4321});
  view->OnTimer();
  EXPECT_EQ(view->GetFramesDrawn(), frames) << "design mode shows no live values";
  EXPECT_EQ(box->textBox.text, "0");

  NodeDbListener::NotifyRunMode(true);
  EXPECT_TRUE(HostOnlineFlag);
  frames = view->GetFramesDrawn();
  const QImage before = view->GetFrameImage().copy(170, 30, 90, 27);
  view->OnTimer();
  EXPECT_EQ(box->textBox.text, "4321");
  EXPECT_EQ(view->GetFramesDrawn(), frames + 1) << "repainted at once";
  EXPECT_NE(view->GetFrameImage().copy(170, 30, 90, 27), before) << "the new value drawn";

  view->OnTimer();
  EXPECT_EQ(view->GetFramesDrawn(), frames + 1) << "nothing new, no repaint";
  ReplyWords({0, 17});
  view->OnTimer();
  EXPECT_EQ(box->textBox.text, "17");
  EXPECT_EQ(view->GetFramesDrawn(), frames + 2);

  NodeDbListener::NotifyRunMode(false);
  EXPECT_FALSE(HostOnlineFlag);
  EXPECT_EQ(box->textBox.text, "0") << "the design preview is back";
}

TEST_F(PageView, OnlineModeSwitchesEveryOpenPage) {
  CQuillaneView* first = Open("P1");
  CQuillaneView* second = Open("P2");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  EXPECT_FALSE(first->IsTimerRunning());
  EXPECT_TRUE(second->IsTimerRunning());
  const auto box1 = BoxOf(first, 1);
  const auto box2 = BoxOf(second, 0);

  NodeDbListener::NotifyRunMode(true);
  ReplyWords({0, 11, 22});
  second->OnTimer();
  EXPECT_EQ(box2->textBox.text, "22");
  EXPECT_EQ(box1->textBox.text, "0") << "only the active page ticks";
  first->OnTimer();
  EXPECT_EQ(box1->textBox.text, "11") << "its hosts are online all the same";

  NodeDbListener::NotifyRunMode(false);
  EXPECT_EQ(box1->textBox.text, "0");
  EXPECT_EQ(box2->textBox.text, "0");
}

TEST_F(PageView, SwitchingWindowsHandsOverThePaneAndTheTimer) {
  CQuillaneView* first = Open("P1");
  ASSERT_NE(first, nullptr);
  Click(first, {40, 40});
  const auto text = Elems(first)[0];
  selections_.events.clear();

  CQuillaneView* second = Open("P2");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(CQuillaneView::GetActivePageView(), second);
  EXPECT_FALSE(first->IsTimerRunning());
  EXPECT_TRUE(second->IsTimerRunning());
  EXPECT_EQ(selections_.events, (std::vector<std::string>{"cleared", "changed:0"}));

  selections_.events.clear();
  Open("P1");
  EXPECT_EQ(CQuillaneView::GetActivePageView(), first);
  EXPECT_TRUE(first->IsTimerRunning());
  EXPECT_FALSE(second->IsTimerRunning());
  EXPECT_EQ(selections_.events, (std::vector<std::string>{"cleared", "changed:1"}));
  EXPECT_EQ(selections_.last, decltype(selections_.last){text}) << "the first page's selection";
}

TEST_F(PageView, ThePaneCallbackMarksOnlyTheActivePage) {
  std::function<void()> paneCallback;
  PaneChangeCallback = &paneCallback;
  CQuillaneView* first = Open("P1");
  CQuillaneView* second = Open("P2");
  ASSERT_NE(first, nullptr);
  ASSERT_NE(second, nullptr);
  ASSERT_TRUE(paneCallback);
  paneCallback();
  EXPECT_TRUE(second->GetCanvas().GetPage()->modified);
  EXPECT_FALSE(first->GetCanvas().GetPage()->modified);

  second->GetCanvas().GetPage()->modified = false;
  area_->closeAllSubWindows();
  DeleteClosed();
  EXPECT_EQ(WindowCount(), 0);
  EXPECT_EQ(CQuillaneView::GetActivePageView(), nullptr);
  EXPECT_FALSE(paneCallback) << "an edit with no page view active reaches no page";
}

TEST_F(PageView, WithoutAMainFrameThePaneCallbackIsLeftAlone) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  EXPECT_EQ(PaneChangeCallback, nullptr);
  EXPECT_TRUE(view->IsTimerRunning());
}

TEST_F(PageView, TheContextMenuOffersTheClipboardCommands) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  struct Item {
    std::string text;
    int id;
    bool enabled;
  };
  const auto items = [&view] {
    std::vector<Item> out;
    const std::unique_ptr<QMenu> menu = view->CreateContextMenu();
    for (QAction* action : menu->actions()) {
      out.push_back({action->isSeparator() ? "-" : action->text().toStdString(),
                     action->data().toInt(), action->isEnabled()});
    }
    return out;
  };
  const auto trigger = [&view](int id) {
    const std::unique_ptr<QMenu> menu = view->CreateContextMenu();
    for (QAction* action : menu->actions()) {
      if (!action->isSeparator() && action->data().toInt() == id) action->trigger();
    }
  };

  std::vector<Item> shown = items();
  ASSERT_EQ(shown.size(), 5u);
  const std::string texts[] = {"剪切(&T)\tCtrl+X", "复制(&C)\tCtrl+C", "粘贴(&P)\tCtrl+V", "-",
                               "属性"};
  const int ids[] = {57635, 57634, 57637, 0, 158};
  for (std::size_t i = 0; i < shown.size(); ++i) {
    EXPECT_EQ(shown[i].text, texts[i]);
    EXPECT_EQ(shown[i].id, ids[i]);
    if (ids[i] != 0) {
      EXPECT_FALSE(shown[i].enabled) << texts[i] << ": nothing selected or copied";
    }
  }

  Click(view, {40, 40});
  shown = items();
  EXPECT_TRUE(shown[0].enabled);
  EXPECT_TRUE(shown[1].enabled);
  EXPECT_FALSE(shown[2].enabled);
  EXPECT_FALSE(shown[4].enabled) << "nothing handles 属性";

  trigger(57634);
  EXPECT_TRUE(items()[2].enabled);
  trigger(57637);
  ASSERT_EQ(Elems(view).size(), 3u);
  EXPECT_EQ(HostAt(view, 2)->GetRect(), (D2D_RECT_F{36, 36, 136, 66})) << "pasted 6 off";
}

TEST_F(PageView, CommandsRunOnlyWhenTheirUpdateEnablesThem) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  for (int id : {32807, 32812, 32817, 57634, 57635, 57637}) {
    EXPECT_TRUE(CQuillaneView::HandlesCommand(id)) << id;
  }
  for (int id : {32806, 32818, 57603, 57604, 57636, 158}) {
    EXPECT_FALSE(CQuillaneView::HandlesCommand(id)) << id;
    EXPECT_FALSE(view->OnCommand(id)) << id;
  }

  // Make the number box narrower than the text, then select it and the text.
  Click(view, {40, 40});
  EXPECT_FALSE(view->IsCommandEnabled(NsUiD2ElemEditor::kCmdSameWidth));
  EXPECT_TRUE(view->OnCommand(NsUiD2ElemEditor::kCmdSameWidth));
  EXPECT_FALSE(view->GetCanvas().GetPage()->modified) << "disabled: not run";

  Click(view, {180, 40}, Qt::ShiftModifier);
  EXPECT_TRUE(view->IsCommandEnabled(NsUiD2ElemEditor::kCmdSameWidth));
  EXPECT_TRUE(view->OnCommand(NsUiD2ElemEditor::kCmdSameWidth));
  EXPECT_EQ(HostAt(view, 1)->GetRect(), (D2D_RECT_F{170, 30, 270, 57}));
  EXPECT_TRUE(view->OnCommand(NsUiD2ElemEditor::ID_EDIT_CUT));
  EXPECT_TRUE(Elems(view).empty());
}

TEST_F(PageView, NodeDatabaseChangesCheckThePageAgain) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  const auto box = HostAt(view, 1);
  ASSERT_FALSE(box->GetUi()->inError);
  ASSERT_TRUE(Db().RemoveNode(Db().GetChannels().front()->GetHandle(), node_->GetHandle()));
  view->OnNodeDbChanged();
  EXPECT_TRUE(box->GetUi()->inError) << "its device is gone";
}

TEST_F(PageView, OpeningAnotherPageLetsTheShownOneGo) {
  CQuillaneView* view = Open("P1");
  ASSERT_NE(view, nullptr);
  const auto first = view->GetCanvas().GetPage();
  Click(view, {40, 40});
  selections_.events.clear();
  view->OpenPage("P2");
  const auto second = view->GetCanvas().GetPage();
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->name, "P2");
  EXPECT_EQ(QlEProject::Instance().openPages, std::vector<std::shared_ptr<QlEPage>>{second});
  EXPECT_TRUE(view->GetCanvas().GetSelection().IsEmpty()) << "nothing of the first page selected";
  EXPECT_EQ(selections_.events, std::vector<std::string>{"cleared"});
  EXPECT_FALSE(first->elements->elems[0]->host->IsSelected());

  view->OpenPage("");
  EXPECT_EQ(view->GetCanvas().GetPage(), second) << "an empty name opens nothing";
}

TEST_F(PageView, AViewDestroyedWithoutItsCloseLeavesNothingBehind) {
  std::function<void()> paneCallback;
  PaneChangeCallback = &paneCallback;
  ASSERT_NE(Open("P1"), nullptr);
  ASSERT_NE(Open("P2"), nullptr);
  ASSERT_TRUE(paneCallback);
  area_.reset();
  const auto& registry = NodeDbListener::GetRegistry();
  EXPECT_EQ(registry, std::vector<NodeDbListener*>{&listener_}) << "no view left listening";
  EXPECT_TRUE(QlEProject::Instance().openPages.empty());
  EXPECT_EQ(CQuillaneView::GetActivePageView(), nullptr);
  EXPECT_FALSE(paneCallback) << "no callback bound to a view that is gone";
  NodeDbListener::NotifyRunMode(true);
}

// ---- closing ----

class ClosingView : public PageView {
 protected:
  void SetUp() override {
    PageView::SetUp();
    view_ = Open("P1");
    ASSERT_NE(view_, nullptr);
    page_ = view_->GetCanvas().GetPage();
    Click(view_, {40, 40});
    KeyUp(view_, Qt::Key_Right);
    ASSERT_TRUE(page_->modified);
    ui_.calls.clear();
  }

  // The frame's close, as its close button or a posted close asks for it.
  bool CloseWindow() {
    const bool closed = view_->GetParentFrame()->close();
    if (closed) {
      DeleteClosed();
      view_ = nullptr;
    }
    return closed;
  }

  void ExpectQuestion() {
    const auto boxes = ui_.CallsOf(UiCall::Kind::MessageBox);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "页面被修改, 是否需要保存?");
    EXPECT_EQ(boxes[0].caption, QGuiApplication::applicationDisplayName().toStdString());
    EXPECT_EQ(boxes[0].type, NsWui::MB_YESNOCANCEL);
    EXPECT_EQ(boxes[0].widget, view_);
  }

  // The text's left edge as the page file now has it, on the canvas.
  float SavedTextLeft() {
    std::shared_ptr<QlEPage> reread;
    EXPECT_TRUE(LoadPageForEdit(nullptr, "P1", reread));
    return reread ? reread->elements->elems[0]->host->GetRect().left : -1.0f;
  }

  CQuillaneView* view_ = nullptr;
  std::shared_ptr<QlEPage> page_;
};

TEST_F(ClosingView, CancelKeepsTheWindowAndTheEdits) {
  ui_.PushAnswer(NsWui::IDCANCEL);
  CQuillaneView* view = view_;
  EXPECT_FALSE(CloseWindow());
  ExpectQuestion();
  EXPECT_EQ(WindowCount(), 1);
  EXPECT_EQ(view->GetCanvas().GetPage(), page_);
  EXPECT_TRUE(page_->modified);
  EXPECT_TRUE(Registered(view));
  EXPECT_TRUE(view->IsTimerRunning());
  EXPECT_EQ(QlEProject::Instance().openPages.size(), 1u);
  EXPECT_EQ(SavedTextLeft(), 30);
}

TEST_F(ClosingView, NoDropsTheEdits) {
  ui_.PushAnswer(NsWui::IDNO);
  CQuillaneView* view = view_;
  selections_.events.clear();
  EXPECT_TRUE(CloseWindow());
  ASSERT_EQ(ui_.CallsOf(UiCall::Kind::MessageBox).size(), 1u);
  EXPECT_EQ(ui_.calls[0].widget, view);
  EXPECT_EQ(WindowCount(), 0);
  EXPECT_TRUE(QlEProject::Instance().openPages.empty());
  EXPECT_EQ(selections_.events.front(), "cleared");
  EXPECT_EQ(SavedTextLeft(), 30) << "the file as it was";
  const auto& registry = NodeDbListener::GetRegistry();
  EXPECT_EQ(std::count(registry.begin(), registry.end(), static_cast<NodeDbListener*>(view)), 0);
}

TEST_F(ClosingView, YesSavesThePage) {
  ui_.PushAnswer(NsWui::IDYES);
  EXPECT_TRUE(CloseWindow());
  EXPECT_EQ(ui_.CallsOf(UiCall::Kind::MessageBox).size(), 1u);
  EXPECT_FALSE(page_->modified);
  EXPECT_EQ(WindowCount(), 0);
  EXPECT_TRUE(QlEProject::Instance().openPages.empty());
  EXPECT_EQ(SavedTextLeft(), 33) << "moved 3 right by the arrow key";
}

TEST_F(ClosingView, AFailedSaveKeepsTheWindow) {
  QlEProject::Instance().open = false;
  ui_.PushAnswer(NsWui::IDYES);
  EXPECT_FALSE(CloseWindow());
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"页面被修改, 是否需要保存?"})
      << "no message of the view's own";
  EXPECT_EQ(WindowCount(), 1);
  EXPECT_TRUE(page_->modified);
  EXPECT_EQ(view_->GetCanvas().GetPage(), page_);
}

TEST_F(ClosingView, AnUnmodifiedPageClosesWithoutAQuestion) {
  page_->modified = false;
  EXPECT_TRUE(CloseWindow());
  EXPECT_TRUE(ui_.calls.empty());
  EXPECT_EQ(WindowCount(), 0);
  EXPECT_TRUE(QlEProject::Instance().openPages.empty());
  EXPECT_EQ(CQuillaneView::GetActivePageView(), nullptr);
}

}  // namespace
}  // namespace NsOvrin
