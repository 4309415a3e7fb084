#pragma once
// The program's main window: menu bar, the standard, element, align and run
// toolbars, the status bar, the project, output and property panes and the
// tabbed area that holds one window per open page. It carries the editor's own commands: the
// element tools, the online mode and its restart message, the download
// placeholder, the switch that shows element addresses, and the error check.
// Closing it closes the project first; a cancelled save question keeps the
// program running.
#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/KeyLockState.h"
#include "app/UserToolBarImages.h"

class QAction;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;

namespace NsOvrin {

class CFileView;
class COutputWnd;
class CPropertiesWnd;
class CQuillaneApp;
class CQuillaneView;
class CMainFrame;

// The main frame from the end of its creation until it closes; the project
// tree posts its restart of the online mode through it.
extern QPointer<CMainFrame> MainFrameRef;

// The frame's own window message: wParam 1 starts, 0 stops the online mode;
// other values do nothing.
class OnlineModeEvent : public QEvent {
 public:
  static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 1);

  explicit OnlineModeEvent(uintptr_t wParamValue) : QEvent(kType), wParam(wParamValue) {}

  const uintptr_t wParam;
};

// Posted messages reach the frame in the order they were posted, so a stop
// followed by a start restarts the online mode.
void PostOnlineMode(QObject* frame, uintptr_t wParam);

// What a command's update rule says about its menu items and buttons.
struct CmdUiState {
  bool enabled = false;
  bool checked = false;
};

class CMainFrame : public QMainWindow {
 public:
  // The frame takes the look from the application's profile; without an
  // application it uses the default look.
  explicit CMainFrame(CQuillaneApp* app = nullptr);
  CMainFrame(const CMainFrame&) = delete;
  CMainFrame& operator=(const CMainFrame&) = delete;
  ~CMainFrame() override;

  // Builds the frame (OnCreate), gives every user toolbar its customise
  // button and puts back the saved workspace.
  bool LoadFrame();
  int OnCreate();

  // ---- commands ----
  // The update rule of the command: the active page view's, else the
  // frame's, else the application's. A command nobody handles is disabled.
  CmdUiState GetCommandState(int id) const;
  // Runs the command through the same route, only when its rule enables it.
  // False when it did not run.
  bool OnCommand(int id);
  // Every menu item, button and accelerator takes its command's state; the
  // caption follows the active page. Runs whenever the event loop goes idle
  // and before a menu opens.
  void UpdateCommandUI();
  // The items and buttons of the command, menus first.
  std::vector<QAction*> GetCommandActions(int id) const;

  // ---- the frame's commands ----
  // Arms an element tool (32769 arms none).
  void OnSelectTool(int id);
  // Starts the online mode when it is off, stops it when it is on.
  void OnConnectPlc();
  // Opens every channel unless the mode is on already, reports the channels
  // that failed ("启动失败, %s"), announces the mode to the node-database
  // listeners.
  void StartOnline();
  // Closes every channel when the mode is on, then announces it off.
  void StopOnline();
  void OnDownload();
  // Toggles the address labels and stores the new state.
  void OnShowIoAddr();
  // Shows the output pane and runs the whole-project check into it.
  void OnCheckErrors();
  void OnWindowManager();
  void OnCustomize();
  void OnViewStatusBar();

  // ---- parts ----
  QMdiArea* GetMdiClient() const { return mdiArea_; }
  CFileView* GetFileView() const { return fileView_; }
  COutputWnd* GetOutputPane() const { return outputPane_; }
  CPropertiesWnd* GetPropertiesPane() const { return propertiesPane_; }
  QToolBar* GetStandardToolBar() const { return standardToolBar_; }
  QToolBar* GetElementToolBar() const { return elementToolBar_; }
  QToolBar* GetAlignToolBar() const { return alignToolBar_; }
  QToolBar* GetRunToolBar() const { return runToolBar_; }
  QLabel* GetIdleLabel() const { return idleLabel_; }
  // The CAP, NUM and SCRL indicators of the status bar, in that order; each
  // is enabled while its lock is on.
  const std::array<QLabel*, 3>& GetKeyIndicators() const { return keyIndicators_; }
  // Where the indicators learn the lock states; no answer shows them off.
  std::function<std::optional<KeyLocks>()> keyLockQuery = &QueryKeyLocks;
  // The indicators follow the lock states; runs with the update rules.
  void UpdateKeyIndicators();
  // The view of the active page window; null when none.
  CQuillaneView* GetActivePageView() const;
  // The menus of the bar while no page window is active, and while one is.
  const std::vector<QMenu*>& GetFrameMenus() const { return frameMenus_; }
  const std::vector<QMenu*>& GetDocumentMenus() const { return documentMenus_; }
  bool IsShowingDocumentMenus() const { return showingDocumentMenus_; }
  // The toolbars, toggles and customise entry of the view menu.
  QMenu* CreatePaneMenu(QWidget* parent);
  void FillPaneMenu(QMenu* menu);
  // The look in force.
  int GetLookId() const { return lookId_; }

  // ---- user toolbars ----
  // A new toolbar under the first free id of 59432-59441, with its
  // customise button; null when all ten exist.
  QToolBar* CreateUserToolBar(const QString& name);
  // The same under that id; null when it is taken or no user toolbar id.
  QToolBar* CreateUserToolBar(int id, const QString& name);
  // Only user toolbars can go.
  bool DeleteUserToolBar(QToolBar* toolBar);
  // A button of the command, with a user image when the index names one.
  bool AddUserToolBarButton(QToolBar* toolBar, int id, int imageIndex = -1);
  bool RemoveUserToolBarButton(QToolBar* toolBar, int position);
  std::vector<QToolBar*> GetUserToolBars() const;
  bool IsUserToolBar(const QToolBar* toolBar) const;
  // The commands a user toolbar shows, in order.
  std::vector<int> GetUserToolBarCommands(const QToolBar* toolBar) const;
  const UserToolBarImages& GetUserImages() const { return userImages_; }
  UserToolBarImages& GetUserImages() { return userImages_; }

  // The workspace (bars, panes, user toolbars, placement) in the profile.
  void SaveWorkspace() const;
  void LoadWorkspace();

 protected:
  // The frame's close: the project first, then the page windows, the
  // registries and the instruction reference.
  void closeEvent(QCloseEvent* event) override;
  bool event(QEvent* event) override;
  QMenu* createPopupMenu() override;

 private:
  struct UserToolBar {
    int id = 0;
    QPointer<QToolBar> bar;
    QPointer<QAction> customizeButton;
    // (command, user image or -1) per button.
    std::vector<std::pair<int, int>> buttons;
  };

  QAction* MakeCommandAction(int id, const QString& text, QObject* parent, bool withIcon = true);
  QToolBar* MakeToolBar(int id, const QString& title, const std::vector<int>& commands);
  // A drop-down at the toolbar's end that opens the customise dialog.
  QAction* AddCustomizeButton(QToolBar* toolBar);
  void CreateMenus();
  void CreateAccelerators();
  void CreateStatusBar();
  bool CreateDockingWindows();
  void ApplyLook();
  void SetOutputFont();
  // Menu 130 while a page window is active, menu 128 otherwise.
  void OnMdiActivate(QMdiSubWindow* window);
  void ShowDocumentMenus(bool show);
  void FillWindowMenu(QMenu* menu);
  std::optional<CmdUiState> FrameCommandState(int id) const;
  bool RunFrameCommand(int id);
  void RepaintRunToolBar();
  bool IsUserToolBarIdFree(int id) const;
  UserToolBar* FindUserToolBar(const QToolBar* toolBar);
  const UserToolBar* FindUserToolBar(const QToolBar* toolBar) const;
  QAction* MakeUserButton(int id, int imageIndex, QObject* parent);

  CQuillaneApp* app_;
  int lookId_;
  QMdiArea* mdiArea_ = nullptr;
  QToolBar* standardToolBar_ = nullptr;
  QLabel* idleLabel_ = nullptr;
  std::array<QLabel*, 3> keyIndicators_{};
  UserToolBarImages userImages_;
  CFileView* fileView_ = nullptr;
  COutputWnd* outputPane_ = nullptr;
  CPropertiesWnd* propertiesPane_ = nullptr;
  QToolBar* elementToolBar_ = nullptr;
  QToolBar* alignToolBar_ = nullptr;
  QToolBar* runToolBar_ = nullptr;

  std::vector<QPointer<QAction>> commandActions_;
  std::vector<QMenu*> frameMenus_;
  std::vector<QMenu*> documentMenus_;
  std::vector<UserToolBar> userToolBars_;
  bool showingDocumentMenus_ = false;
  bool updating_ = false;
};

}  // namespace NsOvrin
