// The application object: start-up in order, the File menu's project
// commands through the installed dialogs, and shut-down in order.
#include <sys/stat.h>

#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <filesystem>
#include <functional>

#include "AppFixture.h"
#include "app/CDlgQlFuncList.h"
#include "app/CFileView.h"
#include "app/COutputList.h"
#include "app/COutputWnd.h"
#include "app/CPropertiesWnd.h"
#include "app/CViewTree.h"
#include "app/DocListener.h"
#include "app/PageDocTemplate.h"
#include "app/VisualLook.h"
#include "dialogs/CDlgAlarmCfg.h"
#include "dialogs/CDlgNewPage.h"
#include "dialogs/CDlgVarEvent.h"
#include "dx2d/ImagingFactory.h"
#include "project_base/QlUser.h"
#include "project_persistence/ProjectCommands.h"
#include "project_persistence/UiErrList.h"
#include "termination/ChannelManager.h"
#include "ui_services/AlarmCfgDialog.h"
#include "ui_services/MessageBoxService.h"
#include "ui_services/NewPageDialog.h"
#include "ui_services/NewProjectDialog.h"
#include "ui_services/ProjectFileDialogs.h"
#include "ui_services/QuestionBoxService.h"
#include "ui_services/VarEventDialog.h"
#include "wui/ModalDriver.h"

namespace NsOvrin::Testing {
namespace {

using NsWui::IDCANCEL;
using NsWui::IDNO;
using NsWui::UiCall;

constexpr const char* kSaveQuestion = "工程被更改, 是否需要保存?";

template <typename Listener>
int IndexIn(const std::vector<Listener*>& registry, const Listener* listener) {
  const auto it = std::find(registry.begin(), registry.end(), listener);
  return it == registry.end() ? -1 : static_cast<int>(it - registry.begin());
}

// Records the moments of the shut-down it can see.
class ShutdownLog : public ProjectListener, public NsUiD2ElemEditor::UiElemSelListener {
 public:
  void OnProjectCreated() override {}
  void OnProjectOpened() override {}
  void OnProjectClosing() override {
    events.push_back(MainFrameRef ? "closing:frame" : "closing:no-frame");
  }
  void OnSelectionChanged(const std::vector<std::shared_ptr<NsUiD2ElemEditor::UiElem>>&) override {}
  void OnPageSelected(const std::shared_ptr<QlEPage>&) override {}
  void OnSelectionCleared() override {
    const auto& projects = ProjectListener::GetRegistry();
    const bool registered = std::find(projects.begin(), projects.end(), this) != projects.end();
    events.push_back(registered ? "cleared:registered" : "cleared:unregistered");
  }
  std::vector<std::string> events;
};

bool FuncListWindowExists() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (dynamic_cast<CDlgQlFuncList*>(widget) != nullptr) return true;
  }
  return false;
}

TEST(DpiScale, IsPixelsPerInchOver96AndOneWhenUnknown) {
  EXPECT_FLOAT_EQ(ComputeDpiScale(0), 1.0f);
  EXPECT_FLOAT_EQ(ComputeDpiScale(-1), 1.0f);
  EXPECT_FLOAT_EQ(ComputeDpiScale(96), 1.0f);
  EXPECT_FLOAT_EQ(ComputeDpiScale(120), 1.25f);
  EXPECT_FLOAT_EQ(ComputeDpiScale(144), 1.5f);
  EXPECT_FLOAT_EQ(ComputeDpiScale(192), 2.0f);
}

using AppStart = AppFixture;

TEST_F(AppStart, ComputesTheScaleBeforeTheFrameAndRegistersTheDocumentListenerLast) {
  // Listeners that were there before keep their places ahead of it.
  RunModeLog early;
  NodeDbListener::Register(&early);
  DpiScale = 7.0f;

  CMainFrame* frame = Start();
  ASSERT_NE(frame, nullptr);
  EXPECT_FLOAT_EQ(DpiScale, ComputeDpiScale(GetScreenLogPixelsX()));
  EXPECT_TRUE(frame->isVisible());
  EXPECT_EQ(MainFrameRef.data(), frame);
  EXPECT_EQ(ElementToolbar.data(), frame->GetElementToolBar());
  EXPECT_EQ(UiErrList::Instance().parent, QtMessageBoxService::ToParentWindow(frame));

  // The project tree, made with the frame's panes, hears everything before
  // the document listener.
  DocListener& listener = app_->GetDocListener();
  CViewTree* tree = frame->GetFileView()->GetTree();
  ASSERT_NE(tree, nullptr);
  const auto& pages = PageListener::GetRegistry();
  const auto& projects = ProjectListener::GetRegistry();
  const auto& nodes = NodeDbListener::GetRegistry();
  EXPECT_EQ(IndexIn<PageListener>(pages, &listener), static_cast<int>(pages.size()) - 1);
  EXPECT_EQ(IndexIn<ProjectListener>(projects, &listener), static_cast<int>(projects.size()) - 1);
  EXPECT_EQ(IndexIn<NodeDbListener>(nodes, &early), 0);
  EXPECT_EQ(IndexIn<NodeDbListener>(nodes, &listener), static_cast<int>(nodes.size()) - 1);
  EXPECT_LT(IndexIn<PageListener>(pages, tree), IndexIn<PageListener>(pages, &listener));
  EXPECT_LT(IndexIn<ProjectListener>(projects, tree),
            IndexIn<ProjectListener>(projects, &listener));
  EXPECT_GT(IndexIn<NodeDbListener>(nodes, tree), 0);
  EXPECT_LT(IndexIn<NodeDbListener>(nodes, tree), IndexIn<NodeDbListener>(nodes, &listener));
  // The property pane listens to the selection and holds the views' callback.
  CPropertiesWnd* properties = frame->GetPropertiesPane();
  ASSERT_NE(properties, nullptr);
  EXPECT_EQ(IndexIn<NsUiD2ElemEditor::UiElemSelListener>(
                NsUiD2ElemEditor::UiElemSelListener::GetRegistry(), properties),
            0);
  EXPECT_EQ(PaneChangeCallback, &properties->changeCallback);

  // The template makes its page windows in the frame's tab area.
  PageDocTemplate* pageTemplate = app_->GetDocManager().GetFirstTemplate();
  ASSERT_NE(pageTemplate, nullptr);
  EXPECT_EQ(pageTemplate->GetMdiArea(), frame->GetMdiClient());
  // No project and no page are opened at start.
  EXPECT_FALSE(QlEProject::Instance().open);
  EXPECT_TRUE(frame->GetMdiClient()->subWindowList().isEmpty());
  NodeDbListener::GetRegistry().erase(std::find(nodes.begin(), nodes.end(), &early));
}

TEST_F(AppStart, InstallsTheStoreServicesAndWithdrawsThemAtExit) {
  Start();
  EXPECT_NE(MessageBoxService::Installed(), nullptr);
  EXPECT_NE(QuestionBoxService::Installed(), nullptr);
  EXPECT_NE(NewPageDialog::Installed(), nullptr);
  EXPECT_NE(NewProjectDialog::Installed(), nullptr);
  EXPECT_NE(ProjectFileDialogs::Installed(), nullptr);
  EXPECT_NE(AlarmCfgDialog::Installed(), nullptr);
  EXPECT_NE(VarEventDialog::Installed(), nullptr);
  EXPECT_NE(NsDx2d::ImagingFactory::Instance(), nullptr);

  // A store message reaches the user through the frame's services.
  ShowMessageBox(QtMessageBoxService::ToParentWindow(Frame()), "文本", "提示", MessageIcon::Error);
  ASSERT_EQ(ui_.CallsOf(UiCall::Kind::MessageBox).size(), 1u);
  EXPECT_EQ(ui_.calls.back().type, NsWui::MB_OK | NsWui::MB_ICONERROR);

  Frame()->close();
  app_->ExitInstance();
  EXPECT_EQ(MessageBoxService::Installed(), nullptr);
  EXPECT_EQ(QuestionBoxService::Installed(), nullptr);
  EXPECT_EQ(NewPageDialog::Installed(), nullptr);
  EXPECT_EQ(ProjectFileDialogs::Installed(), nullptr);
  EXPECT_EQ(AlarmCfgDialog::Installed(), nullptr);
  EXPECT_EQ(VarEventDialog::Installed(), nullptr);
}

TEST_F(AppStart, ErrorCheckLinesOpenTheirDialogsOverTheFrame) {
  OpenProject();
  CMainFrame* frame = Start();
  COutputList* list = frame->GetOutputPane()->GetOutputList();
  UiErrList& results = UiErrList::Instance();
  results.results.clear();
  list->ResetContent();
  results.AddAlarmCfgError("alarm", *list);
  results.AddEventError("event", *list);

  std::vector<std::string> opened;
  for (std::size_t line = 0; line < 2; ++line) {
    NsWui::WhenModal([&opened, frame](QWidget* modal) {
      opened.push_back(dynamic_cast<CDlgAlarmCfg*>(modal)   ? "alarms"
                       : dynamic_cast<CDlgVarEvent*>(modal) ? "events"
                                                            : "other");
      opened.back() += modal->parentWidget() == frame ? ":frame" : ":elsewhere";
      if (dynamic_cast<CDlgVarEvent*>(modal) != nullptr) {
        // The events dialog reaches the instruction reference.
        static_cast<CDlgVarEvent*>(modal)->OnShowFuncs();
        opened.back() += FuncListWindowExists() ? ":funcs" : ":nofuncs";
      }
      modal->close();
    });
    results.ShowResult(line);
  }
  ASSERT_EQ(opened.size(), 2u);
  EXPECT_EQ(opened[0], "alarms:frame");
  EXPECT_EQ(opened[1], "events:frame:funcs");
}

TEST_F(AppStart, ReadsTheLookFromTheProfileAndWritesItBack) {
  {
    Start();
    EXPECT_EQ(Frame()->GetLookId(), kLookDefault);
    EXPECT_EQ(QSettings().value(CQuillaneApp::kLookValue).toInt(), kLookDefault);
    Frame()->close();
    app_->ExitInstance();
    app_.reset();
  }
  QSettings().setValue(CQuillaneApp::kLookValue, kLookOffice2007Black);
  Start();
  EXPECT_EQ(Frame()->GetLookId(), kLookOffice2007Black);
  EXPECT_EQ(app_->GetLookId(), kLookOffice2007Black);
  EXPECT_EQ(CurrentOffice2007Scheme(), Office2007Scheme::Black);
  EXPECT_EQ(QApplication::style()->name().toLower(), QStringLiteral("fusion"));
}

// ---- the File menu ----

using AppCommands = AppFixture;

TEST_F(AppCommands, NewPageAsksForTheNameAndOpensTheNewPageWindow) {
  OpenProject();
  CMainFrame* frame = Start();
  std::string proposed;
  NsWui::WhenModal([&proposed](QWidget* modal) {
    auto* dialog = dynamic_cast<CDlgNewPage*>(modal);
    ASSERT_NE(dialog, nullptr);
    auto* name = NsWui::DlgItem<QLineEdit>(dialog, CDlgNewPage::IDC_NAME);
    proposed = name->text().toStdString();
    name->setText(QStringLiteral("报警"));
    NsWui::DlgItem<QPushButton>(dialog, CDlgNewPage::IDC_OK)->click();
  });
  EXPECT_TRUE(frame->OnCommand(ID_FILE_NEW));
  DeleteClosed();

  EXPECT_EQ(proposed, "页面1");
  EXPECT_EQ(QlEProject::Instance().pageNames, (std::vector<std::string>{"P1", "报警"}));
  QMdiSubWindow* window = frame->GetMdiClient()->currentSubWindow();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->windowTitle(), QStringLiteral("报警"));
  EXPECT_TRUE(frame->IsShowingDocumentMenus());
}

TEST_F(AppCommands, OpenLoadsTheChosenMainFileAndCloseAsksAboutChanges) {
  // A project on disk, written by the store itself.
  OpenProject();
  NsTermination::Testing::NodeDbFixture::AddEthernet("E0");
  ASSERT_TRUE(SaveProjectTo(folder_.Path()));
  QlEProject::Instance().Reset("");
  ResetProjectRuntime();

  CMainFrame* frame = Start();
  ui_.PushPath(GetMainFilePath(folder_.Path()));
  EXPECT_TRUE(frame->OnCommand(ID_FILE_OPEN));
  ASSERT_TRUE(QlEProject::Instance().open);
  EXPECT_EQ(QlEProject::Instance().pageNames, std::vector<std::string>{"P1"});
  ASSERT_EQ(ui_.CallsOf(UiCall::Kind::OpenFile).size(), 1u);
  EXPECT_EQ(ui_.CallsOf(UiCall::Kind::OpenFile)[0].widget, frame);

  // A modified project: Cancel keeps it, No closes it unsaved.
  QlEProject::Instance().modified = true;
  frame->UpdateCommandUI();
  ui_.PushAnswer(IDCANCEL);
  EXPECT_TRUE(frame->OnCommand(ID_CLOSE_PROJECT));
  EXPECT_TRUE(QlEProject::Instance().open);
  ui_.PushAnswer(IDNO);
  EXPECT_TRUE(frame->OnCommand(ID_CLOSE_PROJECT));
  EXPECT_FALSE(QlEProject::Instance().open);
  const std::vector<std::string> texts = ui_.MessageTexts();
  EXPECT_EQ(std::count(texts.begin(), texts.end(), kSaveQuestion), 2);
  EXPECT_EQ(ui_.calls.back().type, NsWui::MB_YESNOCANCEL | NsWui::MB_ICONQUESTION);
  EXPECT_EQ(ui_.calls.back().caption, "提示");
}

// A page file that is a FIFO: Save As through the File menu neither hangs nor
// moves the project without it; it says which page stayed behind.
TEST_F(AppCommands, SaveAsPassesOverAPageFileItCannotCopyAndSaysSo) {
  OpenProject();
  QlEProject::Instance().homePage = "P1";
  std::filesystem::remove(folder_ / "P1.ovpg");
  ASSERT_EQ(::mkfifo((folder_ / "P1.ovpg").c_str(), 0600), 0);
  const std::string moved = folder_ / "moved";
  std::filesystem::create_directory(moved);

  CMainFrame* frame = Start();
  ui_.PushPath(moved);
  EXPECT_TRUE(frame->OnCommand(ID_FILE_SAVE_AS));

  EXPECT_EQ(QlEProject::Instance().directory, folder_.Path());
  EXPECT_TRUE(QlEProject::Instance().modified);
  EXPECT_FALSE(std::filesystem::exists(GetMainFilePath(moved)));
  EXPECT_FALSE(std::filesystem::exists(moved + "/P1.ovpg"));
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"以下页面文件未能复制到新文件夹: P1"});
  ASSERT_FALSE(ui_.calls.empty());
  EXPECT_EQ(ui_.calls.back().widget, frame);
  EXPECT_EQ(ui_.calls.back().caption, "提示");
}

TEST_F(AppCommands, CancelledOpenLeavesNoProjectOpen) {
  OpenProject();
  CMainFrame* frame = Start();
  ui_.PushPath(std::nullopt);
  EXPECT_TRUE(frame->OnCommand(ID_FILE_OPEN));
  EXPECT_FALSE(QlEProject::Instance().open);
  EXPECT_TRUE(ui_.MessageTexts().empty());
}

// ---- shut-down ----

using AppShutdown = AppFixture;

TEST_F(AppShutdown, CancelledSaveQuestionKeepsTheProgramAndEverythingInIt) {
  OpenProject();
  CMainFrame* frame = Start();
  CQuillaneView* view = OpenPage("P1");
  ASSERT_NE(view, nullptr);
  view->GetCanvas().GetPage()->modified = true;
  const std::size_t pageListeners = PageListener::GetRegistry().size();

  ui_.PushAnswer(IDCANCEL);
  EXPECT_FALSE(frame->close());
  DeleteClosed();

  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{kSaveQuestion});
  EXPECT_TRUE(frame->isVisible());
  EXPECT_TRUE(QlEProject::Instance().open);
  EXPECT_TRUE(view->GetCanvas().GetPage()->modified);
  EXPECT_EQ(frame->GetMdiClient()->subWindowList().size(), 1);
  EXPECT_EQ(PageListener::GetRegistry().size(), pageListeners);
  EXPECT_EQ(MainFrameRef.data(), frame);
}

TEST_F(AppShutdown, ClosesProjectThenPagesThenRegistriesAndExitEmptiesTheRuntime) {
  OpenProject();
  CMainFrame* frame = Start();
  AddEthernet("E0");
  ShutdownLog log;
  ProjectListener::Register(&log);
  NsUiD2ElemEditor::UiElemSelListener::GetRegistry().push_back(&log);
  CQuillaneView* view = OpenPage("P1");
  ASSERT_NE(view, nullptr);
  view->GetCanvas().GetPage()->modified = true;
  CDlgQlFuncList::Instance()->show();
  GetUserList().clear();
  log.events.clear();

  ui_.PushAnswer(IDNO);
  EXPECT_TRUE(frame->close());
  // Nothing of the page window is left to run later.
  DeleteClosed();

  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{kSaveQuestion});
  EXPECT_FALSE(QlEProject::Instance().open);
  // The project's listeners heard of the close while the frame was there;
  // the page window closed while the registries still held their listeners.
  ASSERT_FALSE(log.events.empty());
  EXPECT_EQ(log.events.front(), "closing:frame");
  EXPECT_NE(std::find(log.events.begin(), log.events.end(), "cleared:registered"),
            log.events.end());
  EXPECT_TRUE(frame->GetMdiClient()->subWindowList().isEmpty());
  EXPECT_TRUE(PageListener::GetRegistry().empty());
  EXPECT_TRUE(ProjectListener::GetRegistry().empty());
  EXPECT_TRUE(NsUiD2ElemEditor::UiElemSelListener::GetRegistry().empty());
  // The node-database registry stays as it was.
  EXPECT_NE(IndexIn<NodeDbListener>(NodeDbListener::GetRegistry(), &app_->GetDocListener()), -1);
  EXPECT_FALSE(FuncListWindowExists());
  EXPECT_TRUE(MainFrameRef.isNull());
  EXPECT_FALSE(frame->isVisible());

  // The project's close already let the runtime go; exit does it again.
  AddEthernet("E9");
  GetUserList().clear();
  app_->ExitInstance();
  EXPECT_TRUE(NsTermination::ChannelManager::Instance().GetChannels().empty());
  EXPECT_EQ(GetUserList().size(), 4u);
}

TEST_F(AppShutdown, TheLoopEndsWithTheFrameAndExitFollows) {
  OpenProject();
  Start();
  AddEthernet("E0");
  QTimer::singleShot(0, Frame(), [this] { Frame()->OnCommand(ID_APP_EXIT); });
  // Only a hang fails here; the guard goes with the test.
  QTimer guard;
  guard.setSingleShot(true);
  QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
  guard.start(20000);
  EXPECT_EQ(app_->Run(), 0);
  EXPECT_EQ(app_->GetMainWnd(), nullptr);
  EXPECT_TRUE(MainFrameRef.isNull());
  EXPECT_TRUE(NsTermination::ChannelManager::Instance().GetChannels().empty());
  EXPECT_EQ(MessageBoxService::Installed(), nullptr);
  EXPECT_FALSE(QlEProject::Instance().open);
}

TEST_F(AppShutdown, TheFrameGoesCleanlyWithTwoPageWindowsOpen) {
  // The sanitizers stop the test at any call into the part of the frame
  // that is already gone while its page windows go.
  struct Case {
    const char* name;
    std::function<void()> end;
  };
  const Case cases[] = {
      {"the exit command",
       [this] {
         QTimer::singleShot(0, Frame(), [this] { Frame()->OnCommand(ID_APP_EXIT); });
         EXPECT_EQ(app_->Run(), 0);
       }},
      // The loop ends without the frame's close (the session ends, say):
      // the frame is destroyed with its page windows in it.
      {"the loop ends first",
       [this] {
         QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
         EXPECT_EQ(app_->Run(), 0);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    OpenProject();
    QlEProject::Instance().pageNames.push_back("P2");
    WriteFileText(folder_ / "P2.ovpg", kFramePageP1);
    Start();
    ASSERT_NE(OpenPage("P1"), nullptr);
    ASSERT_NE(OpenPage("P2"), nullptr);
    ASSERT_EQ(Frame()->GetMdiClient()->subWindowList().size(), 2);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(20000);
    c.end();
    EXPECT_EQ(app_->GetMainWnd(), nullptr);
    EXPECT_TRUE(MainFrameRef.isNull());
    app_.reset();
    DeleteClosed();
    QlEProject::Instance().openPages.clear();
    QlEProject::Instance().Reset("");
  }
}

TEST_F(AppShutdown, ExitCommandClosesWithoutQuestionWhenNothingChanged) {
  OpenProject();
  CMainFrame* frame = Start();
  ASSERT_NE(OpenPage("P1"), nullptr);
  EXPECT_TRUE(frame->OnCommand(ID_APP_EXIT));
  DeleteClosed();
  EXPECT_TRUE(ui_.MessageTexts().empty());
  EXPECT_FALSE(frame->isVisible());
  EXPECT_FALSE(QlEProject::Instance().open);
}

}  // namespace
}  // namespace NsOvrin::Testing
