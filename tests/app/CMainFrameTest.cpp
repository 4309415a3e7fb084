// The main frame: its menus and toolbars with the update rules of their
// commands, the element tools, the online mode with its channel report and
// restart message, the download placeholder, the address switch, the error
// check and the saved workspace.
#include <QCoreApplication>
#include <QImage>
#include <QStatusBar>

#include "AppFixture.h"
#include "app/CFileView.h"
#include "app/COutputList.h"
#include "app/COutputWnd.h"
#include "app/CPropertiesWnd.h"
#include "app/CToolBarsCustomizeDialog.h"
#include "app/CViewTree.h"
#include "app/CWindowsManagerDialog.h"
#include "editor/UiElemSelection.h"
#include "platform/IniFile.h"
#include "termination/Channel.h"
#include "termination/ChannelManager.h"

namespace NsOvrin::Testing {
namespace {

using NsTermination::Channel;
using NsTermination::ChannelManager;
using NsTermination::ChannelSerialPort;
using NsWui::UiCall;

// A channel that counts how often it is opened and closed.
class CountingChannel : public Channel {
 public:
  explicit CountingChannel(const std::string& name) : Channel(name) {}
  ~CountingChannel() override { Shutdown(); }
  bool IsOpenFailed() const override { return false; }
  std::string GetParamText() const override { return {}; }
  uint32_t GetType() const override { return kTypeEthernet; }
  bool AddNode(const std::shared_ptr<NsTermination::Node>& node) override {
    return AppendNode(node);
  }
  bool Open() override {
    ++opens;
    return true;
  }
  void Close() override { ++closes; }
  int opens = 0;
  int closes = 0;
};

// A serial channel whose port cannot be opened.
std::shared_ptr<ChannelSerialPort> AddBrokenSerial(const std::string& name,
                                                   const std::string& description) {
  auto channel = std::make_shared<ChannelSerialPort>(name, "com:1;param:9600,E,7,1;");
  channel->CreateDevice();
  channel->SetDevicePath("/nonexistent/tty-of-" + name);
  channel->SetDescription(description);
  EXPECT_TRUE(ChannelManager::Instance().AddChannel(channel));
  return channel;
}

bool Enabled(CMainFrame* frame, int id) {
  const std::vector<QAction*> actions = frame->GetCommandActions(id);
  EXPECT_FALSE(actions.empty()) << id;
  const bool enabled = !actions.empty() && actions.front()->isEnabled();
  for (const QAction* action : actions) EXPECT_EQ(action->isEnabled(), enabled) << id;
  return enabled;
}

bool Checked(CMainFrame* frame, int id) {
  const std::vector<QAction*> actions = frame->GetCommandActions(id);
  EXPECT_FALSE(actions.empty()) << id;
  const bool checked = !actions.empty() && actions.front()->isChecked();
  for (const QAction* action : actions) EXPECT_EQ(action->isChecked(), checked) << id;
  return checked;
}

// ---- menus and toolbars ----

using FrameBars = AppFixture;

TEST_F(FrameBars, MenusFollowTheActivePageWindow) {
  OpenProject();
  CMainFrame* frame = Start();
  using Texts = std::vector<std::string>;
  EXPECT_FALSE(frame->IsShowingDocumentMenus());
  EXPECT_EQ(Titles(frame->GetFrameMenus()), (Texts{"文件(&F)", "视图(&V)", "生成", "帮助(&H)"}));
  EXPECT_EQ(Entries(frame->GetFrameMenus()[0]),
            (Texts{"新建页面(&N)\tCtrl+N", "-", "新建工程...", "打开工程(&O)...\tCtrl+O",
                   "保存工程(&S)\tCtrl+S", "另存为...", "关闭工程(&C)", "-", "打印设置(&R)...", "-",
                   "退出(&X)"}));
  EXPECT_EQ(Entries(frame->GetFrameMenus()[1]), (Texts{"工具栏和停靠窗口(&T)", "状态栏(&S)"}));
  EXPECT_EQ(Entries(frame->GetFrameMenus()[2]), Texts{"错误检测"});
  EXPECT_EQ(Entries(frame->GetFrameMenus()[3]), Texts{"关于 Quillane(&A)..."});

  ASSERT_NE(OpenPage("P1"), nullptr);
  EXPECT_TRUE(frame->IsShowingDocumentMenus());
  EXPECT_EQ(Titles(frame->GetDocumentMenus()),
            (Texts{"文件(&F)", "编辑(&E)", "视图(&V)", "生成", "窗口(&W)", "帮助(&H)"}));
  EXPECT_EQ(Entries(frame->GetDocumentMenus()[0]),
            (Texts{"新建页面(&N)\tCtrl+N", "-", "新建工程...", "打开工程(&O)...\tCtrl+O",
                   "保存工程(&S)\tCtrl+S", "另存为(&A)...", "关闭工程(&C)", "-",
                   "打印(&P)...\tCtrl+P", "打印预览(&V)", "打印设置(&R)...", "-", "退出(&X)"}));
  EXPECT_EQ(
      Entries(frame->GetDocumentMenus()[1]),
      (Texts{"撤消(&U)\tCtrl+Z", "-", "剪切(&T)\tCtrl+X", "复制(&C)\tCtrl+C", "粘贴(&P)\tCtrl+V"}));
  EXPECT_EQ(Entries(frame->GetDocumentMenus()[2]),
            (Texts{"工具栏和停靠窗口(&T)", "状态栏(&S)", "显示元件地址"}));
  EXPECT_EQ(Entries(frame->GetDocumentMenus()[4]),
            (Texts{"新建窗口(&N)", "拆分(&P)", "窗口(&W)..."}));
  std::vector<std::string> bar;
  for (QAction* action : frame->menuBar()->actions()) bar.push_back(action->text().toStdString());
  EXPECT_EQ(bar, Titles(frame->GetDocumentMenus()));

  // The last page window gone, the short menu is back.
  frame->GetMdiClient()->closeAllSubWindows();
  DeleteClosed();
  EXPECT_FALSE(frame->IsShowingDocumentMenus());
}

TEST_F(FrameBars, ToolbarsHoldTheirCommandsInOrderWithTheirTips) {
  CMainFrame* frame = Start();
  EXPECT_EQ(ButtonIds(frame->GetStandardToolBar()),
            (std::vector<int>{57600, 57601, 57603, 0, 57635, 57634, 57637, 0, 57607, 57664}));
  EXPECT_EQ(ButtonIds(frame->GetElementToolBar()),
            (std::vector<int>{32769, 32770, 32771, 32772, 32779, 32773, 32774, 32782, 32775, 32776,
                              32777, 32778, 32780, 32781, 32783}));
  EXPECT_EQ(ButtonIds(frame->GetAlignToolBar()),
            (std::vector<int>{32807, 32808, 32809, 32810, 32811, 32812, 32813, 32814, 32815, 32816,
                              32817}));
  EXPECT_EQ(ButtonIds(frame->GetRunToolBar()), (std::vector<int>{32839, 32841}));
  EXPECT_EQ(frame->GetStandardToolBar()->windowTitle(), QStringLiteral("标准"));
  EXPECT_EQ(frame->GetElementToolBar()->windowTitle(), QStringLiteral("元件"));
  EXPECT_EQ(frame->GetAlignToolBar()->windowTitle(), QStringLiteral("对齐"));
  EXPECT_TRUE(frame->GetRunToolBar()->windowTitle().isEmpty());

  struct Tip {
    QToolBar* bar;
    int id;
    const char* tooltip;
    const char* prompt;
  };
  const Tip tips[] = {
      {frame->GetElementToolBar(), 32769, "鼠标", "取消选择"},
      {frame->GetElementToolBar(), 32774, "页面按钮", "换页面按钮"},
      {frame->GetElementToolBar(), 32783, "I/O表", "显示I/O表"},
      {frame->GetAlignToolBar(), 32807, "左对齐", "左对齐"},
      {frame->GetAlignToolBar(), 32815, "等尺寸", "使控件等尺寸"},
      {frame->GetRunToolBar(), 32839, "连接", "连接到PLC"},
      {frame->GetRunToolBar(), 32841, "下载", "下载到设备"},
      {frame->GetStandardToolBar(), 57600, "新建", "创建新页面"},
  };
  for (const Tip& tip : tips) {
    QAction* button = Button(tip.bar, tip.id);
    ASSERT_NE(button, nullptr) << tip.id;
    EXPECT_EQ(button->toolTip().toStdString(), tip.tooltip) << tip.id;
    EXPECT_EQ(button->statusTip().toStdString(), tip.prompt) << tip.id;
    EXPECT_FALSE(button->icon().isNull()) << tip.id;
  }
  EXPECT_EQ(frame->GetIdleLabel()->text(), QStringLiteral("就绪"));
}

TEST_F(FrameBars, CommandsAreEnabledByTheirRules) {
  CMainFrame* frame = Start();
  struct Rule {
    int id;
    bool withoutProject;
    bool withProject;
  };
  const Rule rules[] = {
      {ID_FILE_NEW, false, true},
      {ID_NEW_PROJECT, true, true},
      {ID_FILE_OPEN, true, true},
      {ID_FILE_SAVE, false, false},
      {ID_FILE_SAVE_AS, false, true},
      {ID_CLOSE_PROJECT, false, true},
      {ID_CHECK_ERRORS, false, true},
      {ID_TOOL_POINTER, false, true},
      {32776, false, true},
      {ID_TOOL_LAST_ELEM, false, true},
      {ID_CONNECT_PLC, false, true},
      {ID_DOWNLOAD, false, true},
      {ID_SHOW_IO_ADDR, true, true},
      {ID_APP_ABOUT, true, true},
      {ID_APP_EXIT, true, true},
      {ID_FILE_PRINT_SETUP, true, true},
      {ID_VIEW_STATUS_BAR, true, true},
      // Nothing handles these.
      {ID_FILE_PRINT, false, false},
      {ID_FILE_PRINT_PREVIEW, false, false},
      {ID_EDIT_UNDO, false, false},
      {ID_WINDOW_SPLIT, false, false},
      {ID_WINDOW_NEW, false, false},
      // The page view's, with no page window.
      {ID_EDIT_CUT, false, false},
      {ID_EDIT_PASTE, false, false},
      {ID_ALIGN_FIRST, false, false},
      {ID_ALIGN_LAST, false, false},
  };
  for (const Rule& rule : rules) EXPECT_EQ(Enabled(frame, rule.id), rule.withoutProject) << rule.id;

  OpenProject();
  frame->UpdateCommandUI();
  for (const Rule& rule : rules) EXPECT_EQ(Enabled(frame, rule.id), rule.withProject) << rule.id;

  // A disabled command does not run, from a button or a key.
  QlEProject::Instance().open = false;
  EXPECT_FALSE(frame->OnCommand(ID_DOWNLOAD));
  EXPECT_TRUE(ui_.MessageTexts().empty());
}

TEST_F(FrameBars, SaveFollowsTheProjectAndEveryOpenPage) {
  OpenProject();
  CMainFrame* frame = Start();
  CQuillaneView* view = OpenPage("P1");
  ASSERT_NE(view, nullptr);
  frame->UpdateCommandUI();
  EXPECT_FALSE(Enabled(frame, ID_FILE_SAVE));

  view->GetCanvas().GetPage()->modified = true;
  frame->UpdateCommandUI();
  EXPECT_TRUE(Enabled(frame, ID_FILE_SAVE));

  view->GetCanvas().GetPage()->modified = false;
  QlEProject::Instance().modified = true;
  frame->UpdateCommandUI();
  EXPECT_TRUE(Enabled(frame, ID_FILE_SAVE));
}

TEST_F(FrameBars, PageCommandsFollowTheActiveViewsRules) {
  OpenProject();
  CMainFrame* frame = Start();
  CQuillaneView* view = OpenPage("P1");
  ASSERT_NE(view, nullptr);
  frame->UpdateCommandUI();
  // Nothing selected: no alignment, no copy.
  EXPECT_FALSE(Enabled(frame, ID_ALIGN_FIRST));
  EXPECT_FALSE(Enabled(frame, ID_EDIT_COPY));

  // Both elements selected: the frame shows what the view allows.
  Click(view, QPoint(60, 45));
  QMouseEvent shiftPress(QEvent::MouseButtonPress, QPointF(200, 40), QPointF(200, 40),
                         Qt::LeftButton, Qt::LeftButton, Qt::ShiftModifier);
  QApplication::sendEvent(view->viewport(), &shiftPress);
  QMouseEvent shiftRelease(QEvent::MouseButtonRelease, QPointF(200, 40), QPointF(200, 40),
                           Qt::LeftButton, Qt::NoButton, Qt::ShiftModifier);
  QApplication::sendEvent(view->viewport(), &shiftRelease);
  frame->UpdateCommandUI();
  for (int id : {ID_ALIGN_FIRST, ID_ALIGN_LAST, ID_EDIT_COPY, ID_EDIT_CUT, ID_EDIT_PASTE}) {
    EXPECT_EQ(Enabled(frame, id), view->IsCommandEnabled(id)) << id;
  }
  EXPECT_TRUE(Enabled(frame, ID_ALIGN_FIRST));
  EXPECT_TRUE(Enabled(frame, ID_EDIT_COPY));
  // The caption names the page.
  EXPECT_EQ(frame->windowTitle(), QStringLiteral("P1 - Quillane"));
}

TEST_F(FrameBars, ActivePageEditsReachThePageThroughThePropertyPane) {
  OpenProject();
  CMainFrame* frame = Start();
  CPropertiesWnd* pane = frame->GetPropertiesPane();
  ASSERT_NE(pane, nullptr);
  EXPECT_FALSE(pane->changeCallback);
  CQuillaneView* view = OpenPage("P1");
  ASSERT_NE(view, nullptr);
  ASSERT_TRUE(pane->changeCallback);
  pane->changeCallback();
  EXPECT_TRUE(view->GetCanvas().GetPage()->modified);
}

// ---- element tools ----

using FrameTools = AppFixture;

TEST_F(FrameTools, ToolArmsTheInsertionOfItsKindAndTheFactoryDisarmsIt) {
  CMainFrame* frame = Start();
  // Without a project no tool can be armed.
  Button(frame->GetElementToolBar(), 32771)->trigger();
  EXPECT_EQ(CurrentToolId, kToolPointer);

  OpenProject();
  CQuillaneView* view = OpenPage("P1");
  ASSERT_NE(view, nullptr);
  frame->UpdateCommandUI();
  EXPECT_TRUE(Checked(frame, ID_TOOL_POINTER));

  Button(frame->GetElementToolBar(), 32771)->trigger();
  EXPECT_EQ(CurrentToolId, 32771u);
  EXPECT_TRUE(Checked(frame, 32771));
  EXPECT_FALSE(Checked(frame, ID_TOOL_POINTER));
  // Another tool replaces it; the tool stays armed until something is inserted.
  Button(frame->GetElementToolBar(), 32770)->trigger();
  Button(frame->GetElementToolBar(), 32770)->trigger();
  EXPECT_EQ(CurrentToolId, 32770u);
  EXPECT_TRUE(Checked(frame, 32770));
  EXPECT_FALSE(Checked(frame, 32771));

  const auto& page = view->GetCanvas().GetPage();
  ASSERT_TRUE(page && page->elements);
  const std::size_t before = page->elements->elems.size();
  Click(view, QPoint(120, 220));
  ASSERT_EQ(page->elements->elems.size(), before + 1);
  EXPECT_EQ(page->elements->elems.back()->host->GetType(), 1);
  EXPECT_TRUE(page->modified);
  EXPECT_EQ(CurrentToolId, kToolPointer);
  frame->UpdateCommandUI();
  EXPECT_TRUE(Checked(frame, ID_TOOL_POINTER));
  EXPECT_FALSE(Checked(frame, 32770));

  // The pointer inserts nothing.
  Click(view, QPoint(300, 300));
  EXPECT_EQ(page->elements->elems.size(), before + 1);
}

// ---- online mode ----

class FrameOnline : public AppFixture {
 protected:
  void SetUp() override {
    AppFixture::SetUp();
    OpenProject();
    frame_ = Start();
    NodeDbListener::Register(&modes_);
    counting_ = std::make_shared<CountingChannel>("C1");
    ASSERT_TRUE(ChannelManager::Instance().AddChannel(counting_));
  }
  void TearDown() override {
    auto& registry = NodeDbListener::GetRegistry();
    registry.erase(std::remove(registry.begin(), registry.end(), &modes_), registry.end());
    AppFixture::TearDown();
  }
  void Post(uintptr_t wParam) {
    PostOnlineMode(frame_, wParam);
    QCoreApplication::sendPostedEvents(frame_, OnlineModeEvent::kType);
  }

  CMainFrame* frame_ = nullptr;
  RunModeLog modes_;
  std::shared_ptr<CountingChannel> counting_;
};

TEST_F(FrameOnline, ConnectOpensTheChannelsReportsFailuresAndGoesLive) {
  AddBrokenSerial("S1", "串口1");
  AddBrokenSerial("S2", "");
  CQuillaneView* view = OpenPage("P1");
  ASSERT_NE(view, nullptr);
  frame_->UpdateCommandUI();

  Button(frame_->GetRunToolBar(), ID_CONNECT_PLC)->trigger();
  ASSERT_EQ(ui_.CallsOf(UiCall::Kind::MessageBox).size(), 1u);
  const UiCall& box = ui_.calls.back();
  EXPECT_EQ(box.text, "启动失败, 通道 S1 (串口1) 打开失败.\r\n通道 S2 打开失败.\r\n");
  EXPECT_EQ(box.caption, "提示");
  EXPECT_EQ(box.type, NsWui::MB_ICONERROR);
  EXPECT_EQ(box.widget, frame_);
  // The mode is on in spite of the failures.
  EXPECT_TRUE(ChannelManager::Instance().IsRunning());
  EXPECT_EQ(counting_->opens, 1);
  EXPECT_EQ(modes_.modes, std::vector<bool>{true});
  EXPECT_TRUE(HostOnlineFlag);
  EXPECT_TRUE(Checked(frame_, ID_CONNECT_PLC));

  // The same command stops it: channels closed, no report.
  Button(frame_->GetRunToolBar(), ID_CONNECT_PLC)->trigger();
  EXPECT_FALSE(ChannelManager::Instance().IsRunning());
  EXPECT_EQ(counting_->closes, 1);
  EXPECT_EQ(modes_.modes, (std::vector<bool>{true, false}));
  EXPECT_FALSE(HostOnlineFlag);
  EXPECT_FALSE(Checked(frame_, ID_CONNECT_PLC));
  EXPECT_EQ(ui_.CallsOf(UiCall::Kind::MessageBox).size(), 1u);
}

TEST_F(FrameOnline, RestartMessageStartsStopsAndIgnoresOtherValues) {
  AddBrokenSerial("S1", "");
  Post(1);
  EXPECT_EQ(counting_->opens, 1);
  EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>{"启动失败, 通道 S1 打开失败.\r\n"});

  // Once more while on: no channel opens again, the failure is told again,
  // the mode is announced again.
  Post(1);
  EXPECT_EQ(counting_->opens, 1);
  EXPECT_EQ(ui_.MessageTexts().size(), 2u);
  EXPECT_EQ(modes_.modes, (std::vector<bool>{true, true}));

  Post(2);
  EXPECT_EQ(modes_.modes.size(), 2u);
  EXPECT_TRUE(ChannelManager::Instance().IsRunning());

  // A stop and a start posted together run in order.
  PostOnlineMode(frame_, 0);
  PostOnlineMode(frame_, 1);
  QCoreApplication::sendPostedEvents(frame_, OnlineModeEvent::kType);
  EXPECT_EQ(counting_->closes, 1);
  EXPECT_EQ(counting_->opens, 2);
  EXPECT_EQ(modes_.modes, (std::vector<bool>{true, true, false, true}));

  Post(0);
  // Stopping while off changes nothing but is announced.
  Post(0);
  EXPECT_EQ(counting_->closes, 2);
  EXPECT_EQ(modes_.modes, (std::vector<bool>{true, true, false, true, false, false}));
  EXPECT_FALSE(ChannelManager::Instance().IsRunning());
}

TEST_F(FrameOnline, ProjectTreeRestartsTheModeThroughTheFrame) {
  CViewTree* tree = frame_->GetFileView()->GetTree();
  ASSERT_NE(tree, nullptr);
  ASSERT_TRUE(tree->onlineModeRequest);
  frame_->StartOnline();
  tree->onlineModeRequest(0);
  tree->onlineModeRequest(1);
  // Nothing happens before the frame handles its messages, then in order.
  EXPECT_EQ(counting_->closes, 0);
  QCoreApplication::sendPostedEvents(frame_, OnlineModeEvent::kType);
  EXPECT_EQ(counting_->closes, 1);
  EXPECT_EQ(counting_->opens, 2);
  EXPECT_EQ(modes_.modes, (std::vector<bool>{true, false, true}));

  // Once the frame has closed there is nobody to ask.
  frame_->close();
  const std::vector<bool> before = modes_.modes;
  tree->onlineModeRequest(1);
  QCoreApplication::sendPostedEvents(frame_, OnlineModeEvent::kType);
  EXPECT_EQ(modes_.modes, before);
}

TEST_F(FrameOnline, NoReportWhenEveryChannelOpens) {
  AddEthernet("E0");
  frame_->OnConnectPlc();
  EXPECT_TRUE(ui_.MessageTexts().empty());
  EXPECT_EQ(counting_->opens, 1);
  EXPECT_EQ(modes_.modes, std::vector<bool>{true});
  frame_->OnConnectPlc();
  EXPECT_EQ(counting_->closes, 1);
}

TEST_F(FrameOnline, ClosingTheProjectWhileOnlineTellsEveryoneItStopped) {
  AddEthernet("E0");
  ASSERT_NE(OpenPage("P1"), nullptr);
  frame_->OnConnectPlc();
  ASSERT_TRUE(OnlineFlag.load());
  ASSERT_TRUE(HostOnlineFlag);

  EXPECT_TRUE(frame_->OnCommand(ID_CLOSE_PROJECT));
  DeleteClosed();
  EXPECT_FALSE(QlEProject::Instance().open);
  EXPECT_EQ(modes_.modes, (std::vector<bool>{true, false}));
  // What new elements and the project tree go by.
  EXPECT_FALSE(OnlineFlag.load());
  EXPECT_FALSE(HostOnlineFlag);
  EXPECT_FALSE(ChannelManager::Instance().IsRunning());
  frame_->UpdateCommandUI();
  EXPECT_FALSE(Checked(frame_, ID_CONNECT_PLC));
}

TEST_F(FrameOnline, DownloadOnlyTellsThatItIsNotOffered) {
  frame_->UpdateCommandUI();
  Button(frame_->GetRunToolBar(), ID_DOWNLOAD)->trigger();
  ASSERT_EQ(ui_.CallsOf(UiCall::Kind::MessageBox).size(), 1u);
  EXPECT_EQ(ui_.calls.back().text, "测试版, 暂时不提供下载.");
  EXPECT_EQ(ui_.calls.back().caption, "提示");
  EXPECT_EQ(ui_.calls.back().type, NsWui::MB_ICONWARNING);
  EXPECT_EQ(counting_->opens, 0);
  EXPECT_TRUE(modes_.modes.empty());
}

// ---- the address switch ----

using FrameAddresses = AppFixture;

TEST_F(FrameAddresses, FrameTakesTheStoredSwitch) {
  WriteFileText(IniPath(), "[default_app_]\r\nShowIoAddr=1\r\n");
  Start();
  EXPECT_TRUE(ShowIoAddr);
}

TEST_F(FrameAddresses, MissingFileReadsAsOff) {
  Start();
  EXPECT_FALSE(ShowIoAddr);
  EXPECT_FALSE(Checked(Frame(), ID_SHOW_IO_ADDR));
}

TEST_F(FrameAddresses, ToggleRedrawsThePageAndStoresTheNewState) {
  WriteFileText(IniPath(), "[default_app_]\r\nShowIoAddr=0\r\n");
  OpenProject();
  CMainFrame* frame = Start();
  CQuillaneView* view = OpenPage("P1");
  ASSERT_NE(view, nullptr);
  const QImage without = view->viewport()->grab().toImage();
  QCoreApplication::processEvents();
  const int frames = view->GetFramesDrawn();

  EXPECT_TRUE(frame->OnCommand(ID_SHOW_IO_ADDR));
  // The active page is drawn again on its own.
  QCoreApplication::processEvents();
  EXPECT_GT(view->GetFramesDrawn(), frames);
  EXPECT_TRUE(ShowIoAddr);
  EXPECT_TRUE(Checked(frame, ID_SHOW_IO_ADDR));
  EXPECT_EQ(NsPlatform::GetProfileString(IniPath(), "default_app_", "ShowIoAddr", ""), "1");
  // The number box now carries its address label.
  EXPECT_NE(view->viewport()->grab().toImage(), without);

  EXPECT_TRUE(frame->OnCommand(ID_SHOW_IO_ADDR));
  EXPECT_FALSE(ShowIoAddr);
  EXPECT_FALSE(Checked(frame, ID_SHOW_IO_ADDR));
  EXPECT_EQ(NsPlatform::GetProfileString(IniPath(), "default_app_", "ShowIoAddr", ""), "0");
  EXPECT_EQ(view->viewport()->grab().toImage(), without);
}

TEST_F(FrameAddresses, UnwritableFileStillTogglesWithoutAMessage) {
  ShowIoAddrSetting::Instance() = ShowIoAddrSetting(folder_ / "missing/folder/default_config_.ini");
  CMainFrame* frame = Start();
  EXPECT_FALSE(ShowIoAddr);
  EXPECT_TRUE(frame->OnCommand(ID_SHOW_IO_ADDR));
  EXPECT_TRUE(ShowIoAddr);
  EXPECT_TRUE(Checked(frame, ID_SHOW_IO_ADDR));
  EXPECT_TRUE(ui_.calls.empty());
}

// ---- error check, panes, windows, workspace ----

using FramePanes = AppFixture;

TEST_F(FramePanes, ErrorCheckShowsTheOutputPaneWithTheReport) {
  OpenProject();
  CMainFrame* frame = Start();
  frame->GetOutputPane()->hide();
  frame->UpdateCommandUI();
  EXPECT_TRUE(frame->OnCommand(ID_CHECK_ERRORS));
  EXPECT_TRUE(frame->GetOutputPane()->isVisible());
  COutputList* list = frame->GetOutputPane()->GetOutputList();
  ASSERT_GT(list->count(), 0);
  const QString last = list->item(list->count() - 1)->text();
  EXPECT_TRUE(last == QStringLiteral("----------检测通过--------") ||
              last == QStringLiteral("----------检测失败--------"))
      << last.toStdString();
  EXPECT_EQ(UiErrList::Instance().results.size(), static_cast<std::size_t>(list->count()));
}

TEST_F(FramePanes, StatusBarToggles) {
  CMainFrame* frame = Start();
  EXPECT_TRUE(Checked(frame, ID_VIEW_STATUS_BAR));
  EXPECT_TRUE(frame->OnCommand(ID_VIEW_STATUS_BAR));
  EXPECT_FALSE(frame->statusBar()->isVisible());
  EXPECT_FALSE(Checked(frame, ID_VIEW_STATUS_BAR));
}

TEST_F(FramePanes, WindowsDialogActivatesAndClosesPageWindows) {
  OpenProject();
  QlEProject::Instance().pageNames.push_back("P2");
  WriteFileText(folder_ / "P2.ovpg", kFramePageP1);
  CMainFrame* frame = Start();
  ASSERT_NE(OpenPage("P1"), nullptr);
  ASSERT_NE(OpenPage("P2"), nullptr);

  CWindowsManagerDialog dialog(frame->GetMdiClient(), frame);
  auto* list = NsWui::DlgItem<QListWidget>(&dialog, CWindowsManagerDialog::IDC_WINDOW_LIST);
  ASSERT_EQ(list->count(), 2);
  EXPECT_EQ(list->currentItem()->text(), QStringLiteral("P2"));
  const int p1 = list->item(0)->text() == QStringLiteral("P1") ? 0 : 1;
  list->setCurrentRow(p1);
  dialog.OnActivate();
  EXPECT_EQ(frame->GetMdiClient()->currentSubWindow()->windowTitle(), QStringLiteral("P1"));

  CWindowsManagerDialog again(frame->GetMdiClient(), frame);
  list = NsWui::DlgItem<QListWidget>(&again, CWindowsManagerDialog::IDC_WINDOW_LIST);
  list->item(p1)->setSelected(true);
  again.OnCloseWindows();
  DeleteClosed();
  ASSERT_EQ(frame->GetMdiClient()->subWindowList().size(), 1);
  EXPECT_EQ(frame->GetMdiClient()->subWindowList().front()->windowTitle(), QStringLiteral("P2"));
  EXPECT_EQ(list->count(), 1);
}

TEST_F(FramePanes, WorkspaceAndUserToolbarsComeBackAtTheNextStart) {
  CMainFrame* frame = Start();
  frame->GetAlignToolBar()->hide();
  QToolBar* mine = frame->CreateUserToolBar(QStringLiteral("我的"));
  ASSERT_NE(mine, nullptr);
  EXPECT_TRUE(frame->AddUserToolBarButton(mine, ID_CHECK_ERRORS));
  EXPECT_TRUE(frame->AddUserToolBarButton(mine, ID_FILE_OPEN));
  EXPECT_TRUE(frame->RemoveUserToolBarButton(mine, 0));
  EXPECT_EQ(frame->GetUserToolBarCommands(mine), std::vector<int>{ID_FILE_OPEN});
  // The button follows its command's rule like every other.
  frame->UpdateCommandUI();
  EXPECT_TRUE(Button(mine, ID_FILE_OPEN)->isEnabled());
  // Built-in toolbars cannot be deleted.
  EXPECT_FALSE(frame->DeleteUserToolBar(frame->GetRunToolBar()));
  frame->close();
  app_->ExitInstance();
  app_.reset();

  frame = Start();
  EXPECT_FALSE(frame->GetAlignToolBar()->isVisible());
  EXPECT_TRUE(frame->GetStandardToolBar()->isVisible());
  const std::vector<QToolBar*> users = frame->GetUserToolBars();
  ASSERT_EQ(users.size(), 1u);
  EXPECT_EQ(users[0]->windowTitle(), QStringLiteral("我的"));
  EXPECT_EQ(users[0]->objectName(), QStringLiteral("ToolBar59432"));
  EXPECT_EQ(frame->GetUserToolBarCommands(users[0]), std::vector<int>{ID_FILE_OPEN});
}

TEST_F(FramePanes, CustomizeDialogPutsCommandsOnUserToolbarsAndShowsOrHidesBars) {
  CMainFrame* frame = Start();
  QToolBar* mine = frame->CreateUserToolBar(QStringLiteral("我的"));
  ASSERT_NE(mine, nullptr);
  CToolBarsCustomizeDialog dialog(frame);

  auto* categories = NsWui::DlgItem<QListWidget>(&dialog, CToolBarsCustomizeDialog::IDC_CATEGORIES);
  std::vector<std::string> names;
  for (int i = 0; i < categories->count(); ++i)
    names.push_back(categories->item(i)->text().toStdString());
  EXPECT_EQ(names, (std::vector<std::string>{"文件", "编辑", "视图", "生成", "窗口", "帮助", "元件",
                                             "对齐", "运行", "所有命令"}));
  categories->setCurrentRow(3);
  auto* commands = NsWui::DlgItem<QListWidget>(&dialog, CToolBarsCustomizeDialog::IDC_COMMANDS);
  ASSERT_EQ(commands->count(), 1);
  EXPECT_EQ(commands->item(0)->text(), QStringLiteral("错误检测"));
  commands->setCurrentRow(0);
  dialog.OnAddButton();
  EXPECT_EQ(frame->GetUserToolBarCommands(mine), std::vector<int>{ID_CHECK_ERRORS});
  EXPECT_TRUE(ui_.calls.empty());

  // The list of bars shows and hides them.
  auto* bars = NsWui::DlgItem<QListWidget>(&dialog, CToolBarsCustomizeDialog::IDC_TOOLBARS);
  ASSERT_EQ(bars->count(), 5);
  EXPECT_EQ(bars->item(1)->text(), QStringLiteral("元件"));
  bars->item(1)->setCheckState(Qt::Unchecked);
  EXPECT_FALSE(frame->GetElementToolBar()->isVisible());

  // Without a user toolbar there is nowhere to put a command.
  ASSERT_TRUE(frame->DeleteUserToolBar(mine));
  dialog.FillTargets();
  dialog.OnAddButton();
  EXPECT_EQ(ui_.MessageTexts().size(), 1u);
}

TEST_F(FramePanes, AtMostTenUserToolbars) {
  CMainFrame* frame = Start();
  for (int i = 0; i < 10; ++i) {
    QToolBar* bar = frame->CreateUserToolBar(QStringLiteral("T%1").arg(i));
    ASSERT_NE(bar, nullptr) << i;
    EXPECT_EQ(bar->objectName(), QStringLiteral("ToolBar%1").arg(IDW_USER_TOOLBAR_FIRST + i));
  }
  EXPECT_EQ(frame->CreateUserToolBar(QStringLiteral("T10")), nullptr);
  // A deleted bar's id is free again.
  ASSERT_TRUE(frame->DeleteUserToolBar(frame->GetUserToolBars()[3]));
  QToolBar* again = frame->CreateUserToolBar(QStringLiteral("again"));
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->objectName(), QStringLiteral("ToolBar59435"));
}

}  // namespace
}  // namespace NsOvrin::Testing
