#pragma once
// The whole program as main() starts it, headless: the application object
// after InitInstance, with its main frame shown. Around every test: an empty
// node database, a profile and a default_config_.ini in a temporary folder,
// scripted user-interface services, the process-wide shell state back at its
// start values, and the Qt style the test found.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPalette>
#include <QSettings>
#include <QStyle>
#include <QStyleFactory>
#include <QToolBar>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "app/AppCommands.h"
#include "app/AppGlobals.h"
#include "app/CChildFrame.h"
#include "app/CMainFrame.h"
#include "app/CQuillaneApp.h"
#include "app/CQuillaneView.h"
#include "app/ShowIoAddrSetting.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEPage.h"
#include "editor/UiElemClipboard.h"
#include "editor/UiElemSelListener.h"
#include "project/NodeDbListener.h"
#include "project/PageListener.h"
#include "project/ProjectListener.h"
#include "project/QlEProject.h"
#include "project_persistence/TempFolder.h"
#include "project_persistence/UiErrList.h"
#include "support/ScriptedUiServices.h"
#include "termination/NodeDbFixture.h"
#include "wui/DlgItem.h"

namespace NsOvrin::Testing {

// Page "P1", 400 x 300 on white: a text at (10, 10)-(110, 40) and a number
// box at (150, 10)-(240, 37) bound to 4x1 of PLC1.
inline const char* const kFramePageP1 =
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

// What the node-database listeners heard of the online mode.
class RunModeLog : public NodeDbListener {
 public:
  void OnBlocksChanged(const OneWayWrapper<NsTermination::Node>&) override {}
  void OnNodeDbChanged() override {}
  void OnRunModeChanged(bool online) override { modes.push_back(online); }
  std::vector<bool> modes;
};

class AppFixture : public NsTermination::Testing::NodeDbFixture {
 protected:
  void SetUp() override {
    NodeDbFixture::SetUp();
    style_ = QApplication::style()->name();
    palette_ = QApplication::palette();
    QApplication::setQuitOnLastWindowClosed(false);
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(folder_ / "profile"));
    ShowIoAddrSetting::Instance() = ShowIoAddrSetting(IniPath());
    ResetGlobals();
  }

  void TearDown() override {
    if (app_) {
      QlEProject& project = QlEProject::Instance();
      // What a test left modified is dropped without questions.
      project.modified = false;
      for (const auto& page : project.openPages) page->modified = false;
      if (CMainFrame* frame = app_->GetMainWnd()) frame->close();
      app_->ExitInstance();
      app_.reset();
    }
    DeleteClosed();
    QlEProject& project = QlEProject::Instance();
    project.openPages.clear();
    project.Reset("");
    NsUiD2ElemEditor::UiElemClipboard::Instance().elements.clear();
    PageListener::GetRegistry().clear();
    ProjectListener::GetRegistry().clear();
    NsUiD2ElemEditor::UiElemSelListener::GetRegistry().clear();
    NodeDbListener::GetRegistry().clear();
    ResetGlobals();
    QApplication::setStyle(QStyleFactory::create(style_));
    QApplication::setPalette(palette_);
    NodeDbFixture::TearDown();
  }

  static void ResetGlobals() {
    HostOnlineFlag = false;
    OnlineFlag = false;
    ShowIoAddr = true;
    DpiScale = 1.0f;
    CurrentToolId = kToolPointer;
    ElementToolbar = nullptr;
    PaneChangeCallback = nullptr;
    MainFrameRef = nullptr;
  }

  std::string IniPath() const { return folder_ / "default_config_.ini"; }

  // The program started as main() starts it.
  CMainFrame* Start() {
    app_ = std::make_unique<CQuillaneApp>();
    EXPECT_TRUE(app_->InitInstance());
    CMainFrame* frame = app_->GetMainWnd();
    if (frame != nullptr) frame->UpdateCommandUI();
    return frame;
  }
  CMainFrame* Frame() const { return app_ ? app_->GetMainWnd() : nullptr; }

  // A project open in the temporary folder with the page "P1" on file.
  void OpenProject() {
    QlEProject& project = QlEProject::Instance();
    project.Reset(folder_.Path());
    project.open = true;
    project.width = 500.0f;
    project.height = 350.0f;
    project.pageNames = {"P1"};
    WriteFileText(folder_ / "P1.ovpg", kFramePageP1);
  }

  // Asks the project for the page, as the project tree does, and returns the
  // view of its window.
  CQuillaneView* OpenPage(const std::string& name) {
    QlEProject::Instance().ActivatePage(name);
    QCoreApplication::processEvents();
    CMainFrame* frame = Frame();
    if (frame == nullptr) return nullptr;
    for (QMdiSubWindow* window : frame->GetMdiClient()->subWindowList()) {
      auto* child = dynamic_cast<CChildFrame*>(window);
      if (child != nullptr && child->ShowsPage(name)) return child->GetActiveView();
    }
    return nullptr;
  }

  // Posted closes and events run, closed windows are deleted.
  static void DeleteClosed() {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }

  // The frame's button of the command on that toolbar.
  static QAction* Button(QToolBar* bar, int id) {
    for (QAction* action : bar->actions()) {
      if (action->data().toInt() == id) return action;
    }
    return nullptr;
  }

  // Command ids of a toolbar's buttons, 0 for a separator; the customise
  // drop-down at the end is no button.
  static std::vector<int> ButtonIds(QToolBar* bar) {
    std::vector<int> ids;
    for (QAction* action : bar->actions()) {
      if (action->isSeparator()) {
        ids.push_back(0);
      } else if (action->data().isValid()) {
        ids.push_back(action->data().toInt());
      }
    }
    return ids;
  }

  // A menu's entries as "text" or "-" for a separator.
  static std::vector<std::string> Entries(const QMenu* menu) {
    std::vector<std::string> entries;
    for (const QAction* action : menu->actions()) {
      entries.push_back(action->isSeparator() ? std::string("-") : action->text().toStdString());
    }
    return entries;
  }

  static std::vector<std::string> Titles(const std::vector<QMenu*>& menus) {
    std::vector<std::string> titles;
    for (const QMenu* menu : menus) titles.push_back(menu->title().toStdString());
    return titles;
  }

  static void Click(CQuillaneView* view, QPoint at) {
    QWidget* viewport = view->viewport();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
      const Qt::MouseButtons held =
          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
      QMouseEvent event(type, QPointF(at), viewport->mapToGlobal(QPointF(at)), Qt::LeftButton, held,
                        Qt::NoModifier);
      QApplication::sendEvent(viewport, &event);
    }
  }

  TempFolder folder_;
  NsWui::ScriptedUiServices ui_;
  std::unique_ptr<CQuillaneApp> app_;
  QString style_;
  QPalette palette_;
};

}  // namespace NsOvrin::Testing
