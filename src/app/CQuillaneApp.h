#pragma once
// The application object: start-up and shut-down of the editor, the page
// template, the main frame, the document listener, the profile under the
// maker key, and the project commands of the File menu. One exists while
// the program runs; main() makes it once the Qt application object exists.
#include <QString>
#include <memory>
#include <optional>

#include "app/CMainFrame.h"
#include "app/DocListener.h"
#include "app/DocManager.h"
#include "app/QtMessageBoxService.h"
#include "app/QtNewPageDialog.h"
#include "app/QtNewProjectDialog.h"
#include "app/QtProjectFileDialogs.h"
#include "app/QtQuestionBoxService.h"
#include "dialogs/QtAlarmCfgDialog.h"
#include "dialogs/QtVarEventDialog.h"

namespace NsOvrin {

namespace NsDx2d {
class ImagingFactory;
}

// Logical pixels per inch over 96; 1.0 when the value is unknown (0).
float ComputeDpiScale(int logPixelsX);
// Logical pixels per inch of the primary screen; 0 without a screen.
int GetScreenLogPixelsX();

class CQuillaneApp {
 public:
  // The application's title: the caption of the main window and the name of
  // its profile under the maker key.
  static constexpr const char* kAppTitle = "Quillane";
  static constexpr const char* kRegistryKey = "Ovrin";
  static constexpr const char* kLookValue = "ApplicationLook";

  CQuillaneApp();
  CQuillaneApp(const CQuillaneApp&) = delete;
  CQuillaneApp& operator=(const CQuillaneApp&) = delete;
  ~CQuillaneApp();

  // The application object; null while there is none.
  static CQuillaneApp* Instance();

  // Start-up: services, profile, display scale, page template, main frame,
  // document listener. False ends the program.
  bool InitInstance();
  // The message loop until the main frame has closed, then the frame goes
  // and ExitInstance runs; its exit code.
  int Run();
  // Empties the runtime (polling threads, node database, alarms, users) and
  // withdraws the services; the exit code.
  int ExitInstance();

  // The profile: values under the maker key and the application's name.
  int GetProfileInt(const QString& key, int defaultValue) const;
  void WriteProfileInt(const QString& key, int value) const;

  // The look id; 0 until the main frame reads it from the profile.
  int GetLookId() const { return lookId_; }
  void SetLookId(int lookId) { lookId_ = lookId; }

  // ---- the File menu's project commands and the about box ----
  bool HandlesCommand(int id) const;
  std::optional<CmdUiState> GetCommandState(int id) const;
  // Runs a handled command with the main window as parent of whatever it
  // shows.
  void OnCommand(int id);
  void OnAppAbout();
  void OnFilePrintSetup();

  CMainFrame* GetMainWnd() const { return mainFrame_.get(); }
  DocManager& GetDocManager() { return docManager_; }
  DocListener& GetDocListener() { return docListener_; }

 private:
  void InstallServices();
  void WithdrawServices();
  ParentWindow* MainWindowHandle() const;

  QtMessageBoxService messageBoxes_;
  QtQuestionBoxService questions_;
  QtNewPageDialog newPageDialog_;
  QtNewProjectDialog newProjectDialog_;
  QtProjectFileDialogs fileDialogs_;
  QtAlarmCfgDialog alarmCfgDialog_;
  QtVarEventDialog varEventDialog_;
  std::shared_ptr<NsDx2d::ImagingFactory> imaging_;
  std::shared_ptr<NsDx2d::ImagingFactory> previousImaging_;
  bool servicesInstalled_ = false;

  DocListener docListener_;
  DocManager docManager_;
  // Goes before the template and the listener.
  std::unique_ptr<CMainFrame> mainFrame_;
  int lookId_ = 0;
  int exitCode_ = 0;
};

}  // namespace NsOvrin
