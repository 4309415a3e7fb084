#pragma once
// The page windows as the application sets them up, headless: a project
// open in a temporary folder with one page file, a node database with the
// device "PLC1" and its register block 4x0-4x9, an MDI area with the page
// template, the document listener in the three registries, scripted
// user-interface services behind the store's message boxes, a log of the
// selection notifications, and the process-wide editor state back at its
// start-up values around every test. Nothing polls: live values are written
// into the block's cache as a reply would be.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QWheelEvent>
#include <memory>
#include <string>
#include <vector>

#include "app/AppGlobals.h"
#include "app/CChildFrame.h"
#include "app/CQuillaneDoc.h"
#include "app/CQuillaneView.h"
#include "app/DocListener.h"
#include "app/DocManager.h"
#include "app/PageDocTemplate.h"
#include "app/QlEElemFact.h"
#include "app/QtMessageBoxService.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEHostElem.h"
#include "editor/QlEPage.h"
#include "editor/UiElemClipboard.h"
#include "editor/UiElemSelListener.h"
#include "project/NodeDbListener.h"
#include "project/PageListener.h"
#include "project/ProjectListener.h"
#include "project/QlEProject.h"
#include "project_persistence/TempFolder.h"
#include "support/ScriptedUiServices.h"
#include "termination/NodeDbFixture.h"

namespace NsOvrin::Testing {

// Page "P1", 400 x 300 on white: a green text (10, 10)-(110, 40) and a red
// number box (150, 10)-(240, 37) showing 4x1 of PLC1, right-aligned. On the
// canvas both lie 20 further right and down.
inline const char* const kPageP1 =
    R"({"rect":{"left":0.0,"top":0.0,"right":400.0,"bottom":300.0},"bk-color":16777215,)"
    R"("access-permission":0,"elements":[)"
    R"({"type":"Text","rect":{"left":10.0,"top":10.0,"right":110.0,"bottom":40.0},)"
    R"("text":"温度","text-color":0,"font-size":120,"bk-color":65280,"bk-color-alpha":1.0,)"
    R"("text-align":1,"vertical-align":1,"enable-visib":false,"address-for-visib":"",)"
    R"("show-when-true":true},)"
    R"({"type":"Number","rect":{"left":150.0,"top":10.0,"right":240.0,"bottom":37.0},)"
    R"("text-color":0,"font-size":120,"bk-color":255,"bk-color-alpha":1.0,"border-color":0,)"
    R"("text-align":2,"access-permission":0,"data-type":2,"scale":0,"read-only":false,)"
    R"("enable-min-val":false,"min-val":0,"enable-max-val":false,"max-val":0,)"
    R"("address":"PLC1.4x1","enable-visib":false,"address-for-visib":"","show-when-true":true}]})";

// What the selection listeners heard, one word per notification:
// "changed:<members>", "page" or "cleared".
class SelectionLog : public NsUiD2ElemEditor::UiElemSelListener {
 public:
  void OnSelectionChanged(
      const std::vector<std::shared_ptr<NsUiD2ElemEditor::UiElem>>& m) override {
    events.push_back("changed:" + std::to_string(m.size()));
    last = m;
  }
  void OnPageSelected(const std::shared_ptr<QlEPage>&) override { events.push_back("page"); }
  void OnSelectionCleared() override { events.push_back("cleared"); }

  std::vector<std::string> events;
  std::vector<std::shared_ptr<NsUiD2ElemEditor::UiElem>> last;
};

class ShellFixture : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    ResetGlobals();
    node_ = AddTcpNode(AddEthernet("ETH1"), "PLC1");
    ASSERT_NE(node_, nullptr);
    AddBlock(*node_, "4x[0~9]", "words");
    words_ = TaskNamed(*node_, "words");
    ASSERT_NE(words_, nullptr);

    QlEProject& project = QlEProject::Instance();
    project.Reset(folder_.Path());
    project.open = true;
    project.width = 500.0f;
    project.height = 350.0f;
    project.pageNames = {"P1"};
    WritePage("P1", kPageP1);

    MessageBoxService::Install(&boxes_);
    NsUiD2ElemEditor::UiElemSelListener::GetRegistry().push_back(&selections_);

    area_ = std::make_unique<QMdiArea>();
    area_->resize(800, 600);
    area_->setViewMode(QMdiArea::TabbedView);
    area_->show();
    docManager_.AddDocTemplate(std::make_unique<PageDocTemplate>(area_.get()));
    listener_.SetDocManager(&docManager_);
    listener_.SetMdiClient(area_.get());
    PageListener::Register(&listener_);
    ProjectListener::Register(&listener_);
    NodeDbListener::Register(&listener_);
  }

  void TearDown() override {
    // The windows go without questions: what a test left modified is dropped.
    for (const auto& page : QlEProject::Instance().openPages) page->modified = false;
    if (area_) area_->closeAllSubWindows();
    DeleteClosed();
    area_.reset();
    auto& selRegistry = NsUiD2ElemEditor::UiElemSelListener::GetRegistry();
    selRegistry.erase(std::remove(selRegistry.begin(), selRegistry.end(), &selections_),
                      selRegistry.end());
    MessageBoxService::Install(nullptr);
    QlEProject& project = QlEProject::Instance();
    project.openPages.clear();
    project.Reset("");
    NsUiD2ElemEditor::UiElemClipboard::Instance().elements.clear();
    ResetGlobals();
    NodeDbFixture::TearDown();
  }

  static void ResetGlobals() {
    HostOnlineFlag = false;
    OnlineFlag = false;
    // No address labels over the elements' pixels.
    ShowIoAddr = false;
    DpiScale = 1.0f;
    CurrentToolId = kToolPointer;
    ElementToolbar = nullptr;
    PaneChangeCallback = nullptr;
  }

  void WritePage(const std::string& name, const std::string& json) {
    WriteFileText(folder_ / (name + ".ovpg"), json);
  }

  // Posted closes run, closed windows are deleted.
  static void DeleteClosed() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  static CQuillaneView* ViewOf(QMdiSubWindow* window) {
    auto* frame = dynamic_cast<CChildFrame*>(window);
    return frame != nullptr ? frame->GetActiveView() : nullptr;
  }
  CQuillaneView* WindowView(const std::string& name) const {
    return ViewOf(listener_.FindPageWindow(name));
  }
  // Asks the project for the page, as a double click in the project tree
  // does, and returns the view of its window.
  CQuillaneView* Open(const std::string& name) {
    QlEProject::Instance().ActivatePage(name);
    return WindowView(name);
  }
  int WindowCount() const { return static_cast<int>(area_->subWindowList().size()); }

  static std::shared_ptr<NsQlElemEditor::QlEHostElem> HostAt(CQuillaneView* view, std::size_t i) {
    const auto& page = view->GetCanvas().GetPage();
    if (!page || !page->elements || i >= page->elements->elems.size()) return nullptr;
    return std::dynamic_pointer_cast<NsQlElemEditor::QlEHostElem>(page->elements->elems[i]->host);
  }

  // The view's client area as the screen would show it.
  static QImage Shot(CQuillaneView* view) { return view->viewport()->grab().toImage(); }
  static QRgb Rgb(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }

  static void Mouse(CQuillaneView* view, QEvent::Type type, QPoint at, Qt::MouseButtons held,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* viewport = view->viewport();
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), viewport->mapToGlobal(QPointF(at)), button, held,
                      modifiers);
    QApplication::sendEvent(viewport, &event);
  }
  static void Click(CQuillaneView* view, QPoint at, Qt::KeyboardModifiers modifiers = {}) {
    Mouse(view, QEvent::MouseButtonPress, at, Qt::LeftButton, modifiers);
    Mouse(view, QEvent::MouseButtonRelease, at, Qt::NoButton, modifiers);
  }
  static void KeyUp(CQuillaneView* view, Qt::Key key, bool autoRepeat = false) {
    QKeyEvent event(QEvent::KeyRelease, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::sendEvent(view, &event);
  }
  static void Wheel(CQuillaneView* view, QPoint angleDelta) {
    QWidget* viewport = view->viewport();
    QWheelEvent event(QPointF(50, 50), viewport->mapToGlobal(QPointF(50, 50)), QPoint(), angleDelta,
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(viewport, &event);
  }

  // A reply of the register block: 4x0, 4x1, ... in the device's byte order.
  void ReplyWords(std::vector<uint16_t> words) {
    words.resize(10, 0);
    std::vector<uint8_t> bytes;
    for (uint16_t w : words) {
      bytes.push_back(static_cast<uint8_t>(w >> 8));
      bytes.push_back(static_cast<uint8_t>(w & 0xFF));
    }
    words_->GetCacheBlock()->Update(bytes.data(), bytes.size());
  }

  TempFolder folder_;
  NsWui::ScriptedUiServices ui_;
  QtMessageBoxService boxes_;
  SelectionLog selections_;
  std::shared_ptr<NsTermination::Node> node_;
  std::shared_ptr<NsTermination::TaskReadData> words_;
  DocListener listener_;
  DocManager docManager_;
  std::unique_ptr<QMdiArea> area_;
};

}  // namespace NsOvrin::Testing
