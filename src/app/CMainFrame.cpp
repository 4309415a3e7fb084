#include "app/CMainFrame.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDockWidget>
#include <QFile>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QThread>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <map>

#include "app/AppCommands.h"
#include "app/AppGlobals.h"
#include "app/CChildFrame.h"
#include "app/CDlgQlFuncList.h"
#include "app/CFileView.h"
#include "app/COutputList.h"
#include "app/COutputWnd.h"
#include "app/CPropertiesWnd.h"
#include "app/CQuillaneApp.h"
#include "app/CQuillaneDoc.h"
#include "app/CQuillaneView.h"
#include "app/CToolBarsCustomizeDialog.h"
#include "app/CViewTree.h"
#include "app/CWindowsManagerDialog.h"
#include "app/QtMessageBoxService.h"
#include "app/ShowIoAddrSetting.h"
#include "app/VisualLook.h"
#include "common/PathUtil.h"
#include "dx2d/BitmapCache.h"
#include "editor/EditorGlobals.h"
#include "editor/UiElemSelListener.h"
#include "platform/Format.h"
#include "project/NodeDbListener.h"
#include "project/PageListener.h"
#include "project/ProjectListener.h"
#include "project/QlEProject.h"
#include "project_persistence/ProjectCommands.h"
#include "project_persistence/UiErrList.h"
#include "termination/Channel.h"
#include "termination/ChannelManager.h"
#include "wui/UiServices.h"

namespace NsOvrin {

QPointer<CMainFrame> MainFrameRef;

void PostOnlineMode(QObject* frame, uintptr_t wParam) {
  if (frame != nullptr) QCoreApplication::postEvent(frame, new OnlineModeEvent(wParam));
}

namespace {

using NsTermination::Channel;
using NsTermination::ChannelManager;

constexpr int kSeparator = 0;
constexpr const char* kCaption = "提示";
constexpr const char* kDownloadMessage = "测试版, 暂时不提供下载.";
constexpr const char* kStartFailed = "启动失败, %s";
constexpr const char* kCustomizeText = "自定义...";
constexpr const char* kWindowsDialogText = "窗口(&W)...";
constexpr int kOutputPaneHeight = 100;
constexpr int kFileViewWidth = 200;
constexpr int kPropertiesMinWidth = 430;

const std::vector<int> kStandardButtons = {ID_FILE_NEW,   ID_FILE_OPEN, ID_FILE_SAVE,  kSeparator,
                                           ID_EDIT_CUT,   ID_EDIT_COPY, ID_EDIT_PASTE, kSeparator,
                                           ID_FILE_PRINT, ID_APP_ABOUT};
const std::vector<int> kElementButtons = {32769, 32770, 32771, 32772, 32779, 32773, 32774, 32782,
                                          32775, 32776, 32777, 32778, 32780, 32781, 32783};
const std::vector<int> kAlignButtons = {32807, 32808, 32809, 32810, 32811, 32812,
                                        32813, 32814, 32815, 32816, 32817};
const std::vector<int> kRunButtons = {ID_CONNECT_PLC, ID_DOWNLOAD};

struct MenuItem {
  int id;  // kSeparator for a separator
  const char* text;
};

bool IsTool(int id) { return id >= ID_TOOL_POINTER && id <= ID_TOOL_LAST_ELEM; }

bool IsCheckable(int id) {
  return IsTool(id) || id == ID_CONNECT_PLC || id == ID_SHOW_IO_ADDR || id == ID_VIEW_STATUS_BAR;
}

bool ProjectOpen() { return QlEProject::Instance().open; }

QIcon CommandIcon(int id) {
  const QString path = QStringLiteral(":/app/icons/%1.png").arg(id);
  return QFile::exists(path) ? QIcon(path) : QIcon();
}

QString ToQ(const std::string& text) { return QString::fromStdString(text); }

QString ToolBarObjectName(int id) { return QStringLiteral("ToolBar%1").arg(id); }

}  // namespace

CMainFrame::CMainFrame(CQuillaneApp* app) : app_(app), lookId_(kLookDefault) {
  if (app_ != nullptr) {
    app_->SetLookId(app_->GetProfileInt(CQuillaneApp::kLookValue, kLookDefault));
    lookId_ = app_->GetLookId();
  }
  // The placeholder picture of pictures that cannot be shown.
  NsDx2d::BitmapCache::SetDefaultImageResource(357, "PNG");
  InitGdiplusOnce();
}

CMainFrame::~CMainFrame() {
  // The page windows go with the MDI area after this frame's own part is
  // gone; the area then reports them no longer active, which must not reach
  // this frame any more.
  if (mdiArea_ != nullptr) QObject::disconnect(mdiArea_, nullptr, this, nullptr);
  // Nothing may open a dialog over a window that is gone, nor call into its
  // property pane.
  ParentWindow* self = QtMessageBoxService::ToParentWindow(this);
  if (UiErrList::Instance().parent == self) UiErrList::Instance().parent = nullptr;
  if (propertiesPane_ != nullptr && PaneChangeCallback == &propertiesPane_->changeCallback) {
    PaneChangeCallback = nullptr;
  }
}

bool CMainFrame::LoadFrame() {
  if (OnCreate() != 0) return false;
  LoadWorkspace();
  for (UserToolBar& user : userToolBars_) {
    if (user.bar && !user.customizeButton) user.customizeButton = AddCustomizeButton(user.bar);
  }
  return true;
}

int CMainFrame::OnCreate() {
  setWindowTitle(QString::fromUtf8(CQuillaneApp::kAppTitle));
  setWindowIcon(QIcon(QStringLiteral(":/app/icons/app.png")));

  // Page windows as tabs.
  mdiArea_ = new QMdiArea(this);
  mdiArea_->setViewMode(QMdiArea::TabbedView);
  mdiArea_->setTabsClosable(true);
  mdiArea_->setTabsMovable(true);
  mdiArea_->setTabPosition(QTabWidget::North);
  if (QTabBar* tabs = mdiArea_->findChild<QTabBar*>()) {
    // Tabs as wide as their captions, without icons.
    tabs->setExpanding(false);
    tabs->setIconSize(QSize(0, 0));
  }
  setCentralWidget(mdiArea_);
  connect(mdiArea_, &QMdiArea::subWindowActivated, this,
          [this](QMdiSubWindow* window) { OnMdiActivate(window); });

  CreateMenus();
  CreateAccelerators();

  standardToolBar_ = MakeToolBar(IDW_STANDARD_TOOLBAR, QStringLiteral("标准"), kStandardButtons);
  CreateStatusBar();

  elementToolBar_ = MakeToolBar(IDR_ELEMENT_TOOLBAR, QStringLiteral("元件"), kElementButtons);
  ElementToolbar = elementToolBar_;
  alignToolBar_ = MakeToolBar(IDR_ALIGN_TOOLBAR, QStringLiteral("对齐"), kAlignButtons);
  runToolBar_ = MakeToolBar(IDR_RUN_TOOLBAR, QString(), kRunButtons);

  if (!CreateDockingWindows()) return -1;
  ApplyLook();

  // A bitmap strip in the folder the program was started from gives the
  // user toolbars their images.
  if (!userImages_.IsLoaded()) userImages_.Load(UserToolBarImages::kDefaultFile);

  ShowIoAddr = ShowIoAddrSetting::Instance().Get();
  UiErrList::Instance().parent = QtMessageBoxService::ToParentWindow(this);
  MainFrameRef = this;

  // Menus and buttons follow their update rules whenever the loop is idle.
  if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance()) {
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this,
            [this] { UpdateCommandUI(); });
  }
  UpdateCommandUI();
  return 0;
}

// ---- bars and panes ----

QAction* CMainFrame::MakeCommandAction(int id, const QString& text, QObject* parent,
                                       bool withIcon) {
  auto* action = new QAction(text, parent);
  action->setData(id);
  if (withIcon) action->setIcon(CommandIcon(id));
  const std::string statusTip = GetCommandStatusTip(id);
  if (!statusTip.empty()) action->setStatusTip(ToQ(statusTip));
  action->setCheckable(IsCheckable(id));
  action->setEnabled(false);
  connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
  commandActions_.emplace_back(action);
  return action;
}

QToolBar* CMainFrame::MakeToolBar(int id, const QString& title, const std::vector<int>& commands) {
  auto* bar = new QToolBar(title, this);
  bar->setObjectName(ToolBarObjectName(id));
  bar->setIconSize(QSize(16, 16));
  bar->setAllowedAreas(Qt::AllToolBarAreas);
  for (int command : commands) {
    if (command == kSeparator) {
      bar->addSeparator();
      continue;
    }
    std::string tip = GetCommandToolTip(command);
    QAction* action = MakeCommandAction(command, ToQ(tip), bar);
    action->setToolTip(ToQ(tip));
    bar->addAction(action);
  }
  AddCustomizeButton(bar);
  addToolBar(Qt::TopToolBarArea, bar);
  return bar;
}

QAction* CMainFrame::AddCustomizeButton(QToolBar* toolBar) {
  auto* button = new QToolButton(toolBar);
  button->setArrowType(Qt::DownArrow);
  button->setAutoRaise(true);
  button->setPopupMode(QToolButton::InstantPopup);
  button->setToolTip(QString::fromUtf8(kCustomizeText));
  auto* menu = new QMenu(button);
  menu->addAction(
      MakeCommandAction(ID_VIEW_CUSTOMIZE, QString::fromUtf8(kCustomizeText), menu, false));
  connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandUI(); });
  button->setMenu(menu);
  return toolBar->addWidget(button);
}

void CMainFrame::CreateMenus() {
  const auto makeMenu = [this](const QString& title, const std::vector<MenuItem>& items) {
    auto* menu = new QMenu(title, this);
    for (const MenuItem& item : items) {
      if (item.id == kSeparator) {
        menu->addSeparator();
        continue;
      }
      menu->addAction(MakeCommandAction(item.id, QString::fromUtf8(item.text), menu));
    }
    connect(menu, &QMenu::aboutToShow, this, [this] { UpdateCommandUI(); });
    return menu;
  };
  const auto makeViewMenu = [this, &makeMenu](bool withAddresses) {
    QMenu* menu = makeMenu(QStringLiteral("视图(&V)"), {});
    QMenu* panes = menu->addMenu(QStringLiteral("工具栏和停靠窗口(&T)"));
    connect(panes, &QMenu::aboutToShow, this, [this, panes] {
      FillPaneMenu(panes);
      UpdateCommandUI();
    });
    menu->addAction(MakeCommandAction(ID_VIEW_STATUS_BAR, QStringLiteral("状态栏(&S)"), menu));
    if (withAddresses) {
      menu->addAction(MakeCommandAction(ID_SHOW_IO_ADDR, QStringLiteral("显示元件地址"), menu));
    }
    return menu;
  };

  // Menu 128: no page window open.
  frameMenus_ = {
      makeMenu(QStringLiteral("文件(&F)"), {{ID_FILE_NEW, "新建页面(&N)\tCtrl+N"},
                                            {kSeparator, nullptr},
                                            {ID_NEW_PROJECT, "新建工程..."},
                                            {ID_FILE_OPEN, "打开工程(&O)...\tCtrl+O"},
                                            {ID_FILE_SAVE, "保存工程(&S)\tCtrl+S"},
                                            {ID_FILE_SAVE_AS, "另存为..."},
                                            {ID_CLOSE_PROJECT, "关闭工程(&C)"},
                                            {kSeparator, nullptr},
                                            {ID_FILE_PRINT_SETUP, "打印设置(&R)..."},
                                            {kSeparator, nullptr},
                                            {ID_APP_EXIT, "退出(&X)"}}),
      makeViewMenu(false),
      makeMenu(QStringLiteral("生成"), {{ID_CHECK_ERRORS, "错误检测"}}),
      makeMenu(QStringLiteral("帮助(&H)"), {{ID_APP_ABOUT, "关于 Quillane(&A)..."}}),
  };

  // Menu 130: a page window is active.
  QMenu* windowMenu = makeMenu(QStringLiteral("窗口(&W)"),
                               {{ID_WINDOW_NEW, "新建窗口(&N)"}, {ID_WINDOW_SPLIT, "拆分(&P)"}});
  windowMenu->addAction(MakeCommandAction(ID_WINDOW_MANAGER, QString::fromUtf8(kWindowsDialogText),
                                          windowMenu, false));
  connect(windowMenu, &QMenu::aboutToShow, this,
          [this, windowMenu] { FillWindowMenu(windowMenu); });
  documentMenus_ = {
      makeMenu(QStringLiteral("文件(&F)"), {{ID_FILE_NEW, "新建页面(&N)\tCtrl+N"},
                                            {kSeparator, nullptr},
                                            {ID_NEW_PROJECT, "新建工程..."},
                                            {ID_FILE_OPEN, "打开工程(&O)...\tCtrl+O"},
                                            {ID_FILE_SAVE, "保存工程(&S)\tCtrl+S"},
                                            {ID_FILE_SAVE_AS, "另存为(&A)..."},
                                            {ID_CLOSE_PROJECT, "关闭工程(&C)"},
                                            {kSeparator, nullptr},
                                            {ID_FILE_PRINT, "打印(&P)...\tCtrl+P"},
                                            {ID_FILE_PRINT_PREVIEW, "打印预览(&V)"},
                                            {ID_FILE_PRINT_SETUP, "打印设置(&R)..."},
                                            {kSeparator, nullptr},
                                            {ID_APP_EXIT, "退出(&X)"}}),
      makeMenu(QStringLiteral("编辑(&E)"), {{ID_EDIT_UNDO, "撤消(&U)\tCtrl+Z"},
                                            {kSeparator, nullptr},
                                            {ID_EDIT_CUT, "剪切(&T)\tCtrl+X"},
                                            {ID_EDIT_COPY, "复制(&C)\tCtrl+C"},
                                            {ID_EDIT_PASTE, "粘贴(&P)\tCtrl+V"}}),
      makeViewMenu(true),
      makeMenu(QStringLiteral("生成"), {{ID_CHECK_ERRORS, "错误检测"}}),
      windowMenu,
      makeMenu(QStringLiteral("帮助(&H)"), {{ID_APP_ABOUT, "关于 Quillane(&A)..."}}),
  };

  menuBar()->setObjectName(QString::number(IDW_MENUBAR));
  showingDocumentMenus_ = true;
  ShowDocumentMenus(false);
}

void CMainFrame::CreateAccelerators() {
  const struct {
    QKeySequence keys;
    int id;
  } table[] = {
      {QKeySequence(Qt::CTRL | Qt::Key_C), ID_EDIT_COPY},
      {QKeySequence(Qt::CTRL | Qt::Key_Insert), ID_EDIT_COPY},
      {QKeySequence(Qt::SHIFT | Qt::Key_Delete), ID_EDIT_CUT},
      {QKeySequence(Qt::CTRL | Qt::Key_X), ID_EDIT_CUT},
      {QKeySequence(Qt::CTRL | Qt::Key_V), ID_EDIT_PASTE},
      {QKeySequence(Qt::SHIFT | Qt::Key_Insert), ID_EDIT_PASTE},
      {QKeySequence(Qt::ALT | Qt::Key_Backspace), ID_EDIT_UNDO},
      {QKeySequence(Qt::CTRL | Qt::Key_Z), ID_EDIT_UNDO},
      {QKeySequence(Qt::CTRL | Qt::Key_N), ID_FILE_NEW},
      {QKeySequence(Qt::CTRL | Qt::Key_O), ID_FILE_OPEN},
      {QKeySequence(Qt::CTRL | Qt::Key_P), ID_FILE_PRINT},
      {QKeySequence(Qt::CTRL | Qt::Key_S), ID_FILE_SAVE},
      {QKeySequence(Qt::Key_F6), ID_NEXT_PANE},
      {QKeySequence(Qt::SHIFT | Qt::Key_F6), ID_PREV_PANE},
  };
  for (const auto& entry : table) {
    auto* action = new QAction(this);
    action->setShortcut(entry.keys);
    action->setShortcutContext(Qt::WindowShortcut);
    // The key is always taken; the command runs only when its rule allows.
    connect(action, &QAction::triggered, this, [this, id = entry.id] { OnCommand(id); });
    addAction(action);
  }
}

void CMainFrame::CreateStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setObjectName(QString::number(IDW_STATUS_BAR));
  // Prompts cover the idle text while they are shown.
  idleLabel_ = new QLabel(QStringLiteral("就绪"), bar);
  bar->addWidget(idleLabel_, 1);
  const struct {
    const char* text;
    int id;
  } indicators[] = {{"CAP", ID_INDICATOR_CAPS}, {"NUM", ID_INDICATOR_NUM}, {"SCRL", ID_INDICATOR_SCRL}};
  std::size_t index = 0;
  for (const auto& indicator : indicators) {
    auto* label = new QLabel(QString::fromUtf8(indicator.text), bar);
    label->setObjectName(QString::number(indicator.id));
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(label->fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12);
    label->setFrameShape(QFrame::StyledPanel);
    label->setFrameShadow(QFrame::Sunken);
    // Off until the display server says otherwise.
    label->setEnabled(false);
    bar->addPermanentWidget(label);
    keyIndicators_[index++] = label;
  }
}

void CMainFrame::UpdateKeyIndicators() {
  const std::optional<KeyLocks> locks = keyLockQuery ? keyLockQuery() : std::nullopt;
  const bool on[] = {locks && locks->caps, locks && locks->num, locks && locks->scroll};
  for (std::size_t i = 0; i < keyIndicators_.size(); ++i) {
    if (keyIndicators_[i] != nullptr && keyIndicators_[i]->isEnabled() != on[i]) {
      keyIndicators_[i]->setEnabled(on[i]);
    }
  }
}

bool CMainFrame::CreateDockingWindows() {
  const auto setUp = [](QDockWidget* pane, const char* icon) {
    pane->setWindowIcon(QIcon(QString::fromUtf8(icon)));
    pane->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                      QDockWidget::DockWidgetFloatable);
    pane->setAllowedAreas(Qt::AllDockWidgetAreas);
  };
  // The side panes run the frame's full height; the output pane lies
  // between them.
  setCorner(Qt::TopLeftCorner, Qt::LeftDockWidgetArea);
  setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
  setCorner(Qt::TopRightCorner, Qt::RightDockWidgetArea);
  setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);

  // The tree registers as a listener here, ahead of the document listener.
  fileView_ = new CFileView(this);
  setUp(fileView_, ":/app/icons/pane_project.png");
  if (CViewTree* tree = fileView_->GetTree()) {
    tree->onlineModeRequest = [](int wParam) {
      if (MainFrameRef) PostOnlineMode(MainFrameRef, static_cast<uintptr_t>(wParam));
    };
  }
  outputPane_ = new COutputWnd(this);
  setUp(outputPane_, ":/app/icons/pane_output.png");
  propertiesPane_ = new CPropertiesWnd(this);
  setUp(propertiesPane_, ":/app/icons/pane_properties.png");

  addDockWidget(Qt::LeftDockWidgetArea, fileView_);
  addDockWidget(Qt::BottomDockWidgetArea, outputPane_);
  propertiesPane_->setMinimumSize(kPropertiesMinWidth, 0);
  addDockWidget(Qt::RightDockWidgetArea, propertiesPane_);
  resizeDocks({fileView_, propertiesPane_}, {kFileViewWidth, kPropertiesMinWidth}, Qt::Horizontal);
  resizeDocks({outputPane_}, {kOutputPaneHeight}, Qt::Vertical);

  // Page views hand their change callback to the pane while the frame is
  // the main window.
  PaneChangeCallback = &propertiesPane_->changeCallback;
  return true;
}

void CMainFrame::ApplyLook() {
  ApplyVisualLook(*this, SelectVisualLook(lookId_, CurrentOffice2007Scheme()));
  SetOutputFont();
  update();
  if (app_ != nullptr) app_->WriteProfileInt(CQuillaneApp::kLookValue, lookId_);
}

void CMainFrame::SetOutputFont() {
  if (outputPane_ != nullptr && outputPane_->GetOutputList() != nullptr) {
    outputPane_->GetOutputList()->setFont(QApplication::font());
  }
}

QMenu* CMainFrame::CreatePaneMenu(QWidget* parent) {
  auto* menu = new QMenu(parent);
  FillPaneMenu(menu);
  return menu;
}

void CMainFrame::FillPaneMenu(QMenu* menu) {
  // The toggles belong to their bars and panes; only the customise entry
  // goes with the menu.
  menu->clear();
  const auto addBar = [menu](QToolBar* bar) {
    // A bar without a title has nothing to show in the list.
    if (bar != nullptr && !bar->windowTitle().isEmpty()) menu->addAction(bar->toggleViewAction());
  };
  addBar(standardToolBar_);
  addBar(elementToolBar_);
  addBar(alignToolBar_);
  addBar(runToolBar_);
  for (const UserToolBar& user : userToolBars_) addBar(user.bar);
  menu->addSeparator();
  for (QDockWidget* pane :
       std::initializer_list<QDockWidget*>{fileView_, outputPane_, propertiesPane_}) {
    if (pane != nullptr) menu->addAction(pane->toggleViewAction());
  }
  menu->addSeparator();
  menu->addAction(
      MakeCommandAction(ID_VIEW_CUSTOMIZE, QString::fromUtf8(kCustomizeText), menu, false));
}

QMenu* CMainFrame::createPopupMenu() {
  QMenu* menu = CreatePaneMenu(this);
  UpdateCommandUI();
  return menu;
}

// ---- the MDI area ----

CQuillaneView* CMainFrame::GetActivePageView() const {
  if (mdiArea_ == nullptr) return nullptr;
  auto* frame = dynamic_cast<CChildFrame*>(mdiArea_->currentSubWindow());
  return frame != nullptr ? frame->GetActiveView() : nullptr;
}

void CMainFrame::OnMdiActivate(QMdiSubWindow* window) {
  // The area also reports no window while the application is inactive; the
  // page window stays the current one then.
  ShowDocumentMenus(window != nullptr || mdiArea_->currentSubWindow() != nullptr);
}

void CMainFrame::ShowDocumentMenus(bool show) {
  if (show == showingDocumentMenus_) return;
  showingDocumentMenus_ = show;
  QMenuBar* bar = menuBar();
  bar->clear();
  for (QMenu* menu : show ? documentMenus_ : frameMenus_) bar->addMenu(menu);
}

void CMainFrame::FillWindowMenu(QMenu* menu) {
  // The list of page windows follows the fixed entries.
  for (QAction* action : menu->actions()) {
    if (action->property("pageWindowEntry").toBool()) {
      menu->removeAction(action);
      action->deleteLater();
    }
  }
  const QList<QMdiSubWindow*> windows = mdiArea_->subWindowList();
  if (!windows.isEmpty()) {
    QAction* separator = menu->addSeparator();
    separator->setProperty("pageWindowEntry", true);
  }
  int number = 1;
  for (QMdiSubWindow* window : windows) {
    const QString text = number < 10
                             ? QStringLiteral("&%1 %2").arg(number).arg(window->windowTitle())
                             : QStringLiteral("%1 %2").arg(number).arg(window->windowTitle());
    QAction* entry = menu->addAction(text);
    entry->setProperty("pageWindowEntry", true);
    entry->setCheckable(true);
    entry->setChecked(window == mdiArea_->currentSubWindow());
    QPointer<QMdiSubWindow> target(window);
    connect(entry, &QAction::triggered, this, [this, target] {
      if (target) mdiArea_->setActiveSubWindow(target);
    });
    ++number;
  }
  UpdateCommandUI();
}

// ---- command routing ----

std::optional<CmdUiState> CMainFrame::FrameCommandState(int id) const {
  if (IsTool(id)) return CmdUiState{ProjectOpen(), static_cast<uint32_t>(id) == CurrentToolId};
  switch (id) {
    case ID_CONNECT_PLC: return CmdUiState{ProjectOpen(), ChannelManager::Instance().IsRunning()};
    case ID_DOWNLOAD:
    case ID_CHECK_ERRORS: return CmdUiState{ProjectOpen(), false};
    case ID_SHOW_IO_ADDR: return CmdUiState{true, ShowIoAddrSetting::Instance().Get()};
    case ID_WINDOW_MANAGER:
    case ID_VIEW_CUSTOMIZE: return CmdUiState{true, false};
    case ID_VIEW_STATUS_BAR: return CmdUiState{true, statusBar()->isVisible()};
    default: return std::nullopt;
  }
}

CmdUiState CMainFrame::GetCommandState(int id) const {
  if (CQuillaneView::HandlesCommand(id)) {
    if (CQuillaneView* view = GetActivePageView())
      return CmdUiState{view->IsCommandEnabled(id), false};
  }
  if (std::optional<CmdUiState> state = FrameCommandState(id)) return *state;
  if (app_ != nullptr) {
    if (std::optional<CmdUiState> state = app_->GetCommandState(id)) return *state;
  }
  return CmdUiState{};
}

bool CMainFrame::OnCommand(int id) {
  // A button or key may act on a state older than the last update.
  if (!GetCommandState(id).enabled) {
    UpdateCommandUI();
    return false;
  }
  bool ran = false;
  CQuillaneView* view = GetActivePageView();
  if (view != nullptr && CQuillaneView::HandlesCommand(id)) {
    ran = view->OnCommand(id);
  } else if (FrameCommandState(id)) {
    ran = RunFrameCommand(id);
  } else if (app_ != nullptr && app_->HandlesCommand(id)) {
    app_->OnCommand(id);
    ran = true;
  }
  UpdateCommandUI();
  return ran;
}

bool CMainFrame::RunFrameCommand(int id) {
  if (IsTool(id)) {
    OnSelectTool(id);
    return true;
  }
  switch (id) {
    case ID_CONNECT_PLC: OnConnectPlc(); return true;
    case ID_DOWNLOAD: OnDownload(); return true;
    case ID_SHOW_IO_ADDR: OnShowIoAddr(); return true;
    case ID_CHECK_ERRORS: OnCheckErrors(); return true;
    case ID_WINDOW_MANAGER: OnWindowManager(); return true;
    case ID_VIEW_CUSTOMIZE: OnCustomize(); return true;
    case ID_VIEW_STATUS_BAR: OnViewStatusBar(); return true;
    default: return false;
  }
}

void CMainFrame::UpdateCommandUI() {
  if (updating_) return;
  updating_ = true;
  std::map<int, CmdUiState> states;
  commandActions_.erase(std::remove_if(commandActions_.begin(), commandActions_.end(),
                                       [](const QPointer<QAction>& a) { return a.isNull(); }),
                        commandActions_.end());
  for (const QPointer<QAction>& action : commandActions_) {
    const int id = action->data().toInt();
    auto it = states.find(id);
    if (it == states.end()) it = states.emplace(id, GetCommandState(id)).first;
    action->setEnabled(it->second.enabled);
    if (action->isCheckable()) action->setChecked(it->second.checked);
  }

  // The caption names the active page before the program.
  QString title = QString::fromUtf8(CQuillaneApp::kAppTitle);
  if (CQuillaneView* view = GetActivePageView()) {
    const std::string page = view->GetPageTitle();
    if (!page.empty()) title = ToQ(page) + QStringLiteral(" - ") + title;
  }
  setWindowTitle(title);
  UpdateKeyIndicators();
  updating_ = false;
}

std::vector<QAction*> CMainFrame::GetCommandActions(int id) const {
  std::vector<QAction*> found;
  for (const QPointer<QAction>& action : commandActions_) {
    if (action && action->data().toInt() == id) found.push_back(action);
  }
  return found;
}

// ---- the frame's commands ----

void CMainFrame::OnSelectTool(int id) { CurrentToolId = static_cast<uint32_t>(id); }

void CMainFrame::OnConnectPlc() {
  if (ChannelManager::Instance().IsRunning()) {
    StopOnline();
  } else {
    StartOnline();
  }
}

void CMainFrame::StartOnline() {
  ChannelManager& db = ChannelManager::Instance();
  if (!db.IsRunning()) {
    // Nothing read before counts: elements wait for this session's replies.
    db.MarkBlocksUnread();
    db.SetRunning(true);
    const std::vector<std::shared_ptr<Channel>> channels = db.GetChannels();
    for (const std::shared_ptr<Channel>& channel : channels) {
      if (channel) channel->Open();
    }
  }
  std::string failures;
  if (db.ReportOpenFailures(failures)) {
    NsWui::GetUiServices().MessageBox(this, NsPlatform::StrFormat(kStartFailed, failures.c_str()),
                                      kCaption, NsWui::MB_ICONERROR);
  }
  // The pages go live also when some channels failed.
  NodeDbListener::NotifyRunMode(true);
  RepaintRunToolBar();
}

void CMainFrame::StopOnline() {
  ChannelManager& db = ChannelManager::Instance();
  if (db.IsRunning()) {
    const std::vector<std::shared_ptr<Channel>> channels = db.GetChannels();
    for (const std::shared_ptr<Channel>& channel : channels) {
      if (channel) channel->Close();
    }
    db.SetRunning(false);
    // The session's values go with it; its alarms that are still on go off
    // now, into the history.
    db.MarkBlocksUnread();
  }
  NodeDbListener::NotifyRunMode(false);
  RepaintRunToolBar();
}

void CMainFrame::RepaintRunToolBar() {
  UpdateCommandUI();
  if (runToolBar_ != nullptr) runToolBar_->repaint();
}

void CMainFrame::OnDownload() {
  NsWui::GetUiServices().MessageBox(this, kDownloadMessage, kCaption, NsWui::MB_ICONWARNING);
}

void CMainFrame::OnShowIoAddr() {
  ShowIoAddrSetting& setting = ShowIoAddrSetting::Instance();
  const bool on = !setting.Get();
  ShowIoAddr = on;
  if (CQuillaneView* view = GetActivePageView()) view->InvalidateView();
  setting.Set(on);
}

void CMainFrame::OnCheckErrors() {
  if (outputPane_ == nullptr) return;
  outputPane_->show();
  UiErrList::Instance().RunCheck(*outputPane_->GetOutputList());
}

void CMainFrame::OnWindowManager() {
  CWindowsManagerDialog dialog(mdiArea_, this);
  dialog.exec();
}

void CMainFrame::OnCustomize() {
  CToolBarsCustomizeDialog dialog(this);
  dialog.exec();
}

void CMainFrame::OnViewStatusBar() { statusBar()->setVisible(!statusBar()->isVisible()); }

// ---- user toolbars ----

CMainFrame::UserToolBar* CMainFrame::FindUserToolBar(const QToolBar* toolBar) {
  for (UserToolBar& user : userToolBars_) {
    if (toolBar != nullptr && user.bar == toolBar) return &user;
  }
  return nullptr;
}

const CMainFrame::UserToolBar* CMainFrame::FindUserToolBar(const QToolBar* toolBar) const {
  return const_cast<CMainFrame*>(this)->FindUserToolBar(toolBar);
}

bool CMainFrame::IsUserToolBar(const QToolBar* toolBar) const {
  return FindUserToolBar(toolBar) != nullptr;
}

std::vector<QToolBar*> CMainFrame::GetUserToolBars() const {
  std::vector<QToolBar*> bars;
  for (const UserToolBar& user : userToolBars_) {
    if (user.bar) bars.push_back(user.bar);
  }
  return bars;
}

std::vector<int> CMainFrame::GetUserToolBarCommands(const QToolBar* toolBar) const {
  std::vector<int> commands;
  if (const UserToolBar* user = FindUserToolBar(toolBar)) {
    for (const auto& button : user->buttons) commands.push_back(button.first);
  }
  return commands;
}

bool CMainFrame::IsUserToolBarIdFree(int id) const {
  return id >= IDW_USER_TOOLBAR_FIRST && id <= IDW_USER_TOOLBAR_LAST &&
         std::none_of(userToolBars_.begin(), userToolBars_.end(),
                      [id](const UserToolBar& user) { return user.id == id; });
}

QToolBar* CMainFrame::CreateUserToolBar(const QString& name) {
  for (int id = IDW_USER_TOOLBAR_FIRST; id <= IDW_USER_TOOLBAR_LAST; ++id) {
    if (IsUserToolBarIdFree(id)) return CreateUserToolBar(id, name);
  }
  return nullptr;
}

QToolBar* CMainFrame::CreateUserToolBar(int id, const QString& name) {
  if (!IsUserToolBarIdFree(id)) return nullptr;
  auto* bar = new QToolBar(name, this);
  bar->setObjectName(ToolBarObjectName(id));
  bar->setIconSize(QSize(16, 16));
  bar->setAllowedAreas(Qt::AllToolBarAreas);
  UserToolBar user;
  user.id = id;
  user.bar = bar;
  user.customizeButton = AddCustomizeButton(bar);
  userToolBars_.push_back(user);
  addToolBar(Qt::TopToolBarArea, bar);
  bar->show();
  return bar;
}

bool CMainFrame::DeleteUserToolBar(QToolBar* toolBar) {
  const auto it = std::find_if(
      userToolBars_.begin(), userToolBars_.end(),
      [toolBar](const UserToolBar& user) { return toolBar != nullptr && user.bar == toolBar; });
  if (it == userToolBars_.end()) return false;
  removeToolBar(toolBar);
  toolBar->deleteLater();
  userToolBars_.erase(it);
  return true;
}

QAction* CMainFrame::MakeUserButton(int id, int imageIndex, QObject* parent) {
  std::string tip = GetCommandToolTip(id);
  QAction* action = MakeCommandAction(id, ToQ(tip), parent);
  action->setToolTip(ToQ(tip));
  const QPixmap image = userImages_.Image(imageIndex);
  if (!image.isNull()) action->setIcon(QIcon(image));
  // A command without a picture shows its tooltip as text.
  if (action->icon().isNull() && tip.empty()) action->setText(QString::number(id));
  return action;
}

bool CMainFrame::AddUserToolBarButton(QToolBar* toolBar, int id, int imageIndex) {
  UserToolBar* user = FindUserToolBar(toolBar);
  if (user == nullptr || id <= 0) return false;
  if (userImages_.Image(imageIndex).isNull()) imageIndex = -1;
  QAction* action = MakeUserButton(id, imageIndex, toolBar);
  toolBar->insertAction(user->customizeButton, action);
  user->buttons.emplace_back(id, imageIndex);
  UpdateCommandUI();
  return true;
}

bool CMainFrame::RemoveUserToolBarButton(QToolBar* toolBar, int position) {
  UserToolBar* user = FindUserToolBar(toolBar);
  if (user == nullptr || position < 0 || position >= static_cast<int>(user->buttons.size()))
    return false;
  // The buttons stand in order before the customise button.
  QList<QAction*> actions = toolBar->actions();
  actions.removeAll(user->customizeButton.data());
  if (position >= actions.size()) return false;
  QAction* action = actions[position];
  toolBar->removeAction(action);
  action->deleteLater();
  user->buttons.erase(user->buttons.begin() + position);
  return true;
}

// ---- workspace ----

void CMainFrame::SaveWorkspace() const {
  QSettings settings;
  settings.beginGroup(QStringLiteral("Workspace"));
  settings.beginWriteArray(QStringLiteral("UserToolbars"));
  int index = 0;
  for (const UserToolBar& user : userToolBars_) {
    if (!user.bar) continue;
    settings.setArrayIndex(index++);
    settings.setValue(QStringLiteral("id"), user.id);
    settings.setValue(QStringLiteral("name"), user.bar->windowTitle());
    QStringList buttons;
    for (const auto& button : user.buttons) {
      buttons << QStringLiteral("%1:%2").arg(button.first).arg(button.second);
    }
    settings.setValue(QStringLiteral("buttons"), buttons);
  }
  settings.endArray();
  settings.setValue(QStringLiteral("Geometry"), saveGeometry());
  settings.setValue(QStringLiteral("State"), saveState());
  settings.endGroup();
}

void CMainFrame::LoadWorkspace() {
  QSettings settings;
  settings.beginGroup(QStringLiteral("Workspace"));
  const int count = settings.beginReadArray(QStringLiteral("UserToolbars"));
  for (int i = 0; i < count; ++i) {
    settings.setArrayIndex(i);
    // The bar keeps its saved id, so that its saved place finds it.
    QToolBar* bar = CreateUserToolBar(settings.value(QStringLiteral("id")).toInt(),
                                      settings.value(QStringLiteral("name")).toString());
    if (bar == nullptr) continue;
    for (const QString& button : settings.value(QStringLiteral("buttons")).toStringList()) {
      const QStringList parts = button.split(QLatin1Char(':'));
      if (parts.size() != 2) continue;
      AddUserToolBarButton(bar, parts[0].toInt(), parts[1].toInt());
    }
  }
  settings.endArray();
  const QByteArray geometry = settings.value(QStringLiteral("Geometry")).toByteArray();
  if (geometry.isEmpty() || !restoreGeometry(geometry)) {
    // First start: most of the screen.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      const QRect area = screen->availableGeometry();
      const QSize size(area.width() * 4 / 5, area.height() * 4 / 5);
      setGeometry(QRect(area.center() - QPoint(size.width() / 2, size.height() / 2), size));
    }
  }
  const QByteArray state = settings.value(QStringLiteral("State")).toByteArray();
  if (!state.isEmpty()) restoreState(state);
  settings.endGroup();
}

// ---- events ----

bool CMainFrame::event(QEvent* event) {
  if (event->type() == OnlineModeEvent::kType) {
    switch (static_cast<OnlineModeEvent*>(event)->wParam) {
      case 0: StopOnline(); break;
      case 1: StartOnline(); break;
      default: break;
    }
    return true;
  }
  if (event->type() == QEvent::ApplicationFontChange) {
    const bool handled = QMainWindow::event(event);
    SetOutputFont();
    return handled;
  }
  return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  if (DoCloseProject(QtMessageBoxService::ToParentWindow(this)) == kCloseCancelled) {
    event->ignore();
    return;
  }
  // Every page window through its own close question, before anything it
  // may still need goes; one that stays keeps the program running.
  if (mdiArea_ != nullptr) {
    mdiArea_->closeAllSubWindows();
    for (QMdiSubWindow* window : mdiArea_->subWindowList()) {
      if (window->isVisible()) {
        event->ignore();
        return;
      }
    }
  }

  PageListener::GetRegistry().clear();
  ProjectListener::GetRegistry().clear();
  NsUiD2ElemEditor::UiElemSelListener::GetRegistry().clear();
  CDlgQlFuncList::DestroyInstance();
  MainFrameRef = nullptr;

  SaveWorkspace();
  QMainWindow::closeEvent(event);
  // The program ends with its main window, whatever else is still shown.
  if (QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

}  // namespace NsOvrin
