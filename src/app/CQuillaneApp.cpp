#include "app/CQuillaneApp.h"

#include <QApplication>
#include <QGuiApplication>
#include <QIcon>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QScreen>
#include <QSettings>
#include <algorithm>
#include <cmath>
#include <csignal>

#include "app/AppCommands.h"
#include "app/CAboutDlg.h"
#include "app/CDlgQlFuncList.h"
#include "app/PageDocTemplate.h"
#include "common/PathUtil.h"
#include "dx2d/ImagingFactory.h"
#include "dx2d/qt/QtImagingFactory.h"
#include "editor/EditorGlobals.h"
#include "editor/QlEPage.h"
#include "project/NodeDbListener.h"
#include "project/PageListener.h"
#include "project/ProjectListener.h"
#include "project/QlEProject.h"
#include "project_persistence/PageCommands.h"
#include "project_persistence/ProjectCommands.h"
#include "ui_services/AlarmCfgDialog.h"
#include "ui_services/NewPageDialog.h"
#include "ui_services/NewProjectDialog.h"
#include "ui_services/ProjectFileDialogs.h"
#include "ui_services/QuestionBoxService.h"
#include "ui_services/VarEventDialog.h"

namespace NsOvrin {

namespace {

CQuillaneApp* theApp = nullptr;

bool ProjectOpen() { return QlEProject::Instance().open; }

bool ProjectChanged() {
  const QlEProject& project = QlEProject::Instance();
  if (!project.open) return false;
  return project.modified ||
         std::any_of(project.openPages.begin(), project.openPages.end(),
                     [](const std::shared_ptr<QlEPage>& page) { return page && page->modified; });
}

}  // namespace

float ComputeDpiScale(int logPixelsX) {
  return logPixelsX > 0 ? static_cast<float>(logPixelsX / 96.0) : 1.0f;
}

int GetScreenLogPixelsX() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return 0;
  const double dpi = screen->logicalDotsPerInchX();
  return std::isfinite(dpi) && dpi > 0.0 ? static_cast<int>(std::lround(dpi)) : 0;
}

CQuillaneApp::CQuillaneApp() {
  theApp = this;
  QCoreApplication::setApplicationName(QString::fromUtf8(kAppTitle));
  QGuiApplication::setApplicationDisplayName(QString::fromUtf8(kAppTitle));
}

CQuillaneApp::~CQuillaneApp() {
  mainFrame_.reset();
  WithdrawServices();
  if (theApp == this) theApp = nullptr;
}

CQuillaneApp* CQuillaneApp::Instance() { return theApp; }

ParentWindow* CQuillaneApp::MainWindowHandle() const {
  return QtMessageBoxService::ToParentWindow(mainFrame_.get());
}

void CQuillaneApp::InstallServices() {
  if (servicesInstalled_) return;
  MessageBoxService::Install(&messageBoxes_);
  QuestionBoxService::Install(&questions_);
  NewPageDialog::Install(&newPageDialog_);
  NewProjectDialog::Install(&newProjectDialog_);
  ProjectFileDialogs::Install(&fileDialogs_);
  // The events dialog reaches the instruction reference through these.
  varEventDialog_.funcListWindow = [] { return static_cast<QWidget*>(CDlgQlFuncList::Instance()); };
  varEventDialog_.existingFuncListWindow = [] { return static_cast<QWidget*>(CDlgQlFuncList::Existing()); };
  varEventDialog_.fillFuncTree = &CDlgQlFuncList::FillTree;
  AlarmCfgDialog::Install(&alarmCfgDialog_);
  VarEventDialog::Install(&varEventDialog_);
  previousImaging_ = NsDx2d::ImagingFactory::Instance();
  imaging_ = std::make_shared<NsDx2d::QtImagingFactory>();
  NsDx2d::ImagingFactory::SetInstance(imaging_);
  servicesInstalled_ = true;
}

void CQuillaneApp::WithdrawServices() {
  if (!servicesInstalled_) return;
  // Only what is still ours: a test may have put its own in since.
  if (MessageBoxService::Installed() == &messageBoxes_) MessageBoxService::Install(nullptr);
  if (QuestionBoxService::Installed() == &questions_) QuestionBoxService::Install(nullptr);
  if (NewPageDialog::Installed() == &newPageDialog_) NewPageDialog::Install(nullptr);
  if (NewProjectDialog::Installed() == &newProjectDialog_) NewProjectDialog::Install(nullptr);
  if (ProjectFileDialogs::Installed() == &fileDialogs_) ProjectFileDialogs::Install(nullptr);
  if (AlarmCfgDialog::Installed() == &alarmCfgDialog_) AlarmCfgDialog::Install(nullptr);
  if (VarEventDialog::Installed() == &varEventDialog_) VarEventDialog::Install(nullptr);
  if (NsDx2d::ImagingFactory::Instance() == imaging_)
    NsDx2d::ImagingFactory::SetInstance(previousImaging_);
  previousImaging_.reset();
  servicesInstalled_ = false;
}

bool CQuillaneApp::InitInstance() {
  // A file size limit then fails the save that meets it (EFBIG), which says
  // so, instead of ending the program with the user's work.
  std::signal(SIGXFSZ, SIG_IGN);
  // The project store reaches the widgets only through these.
  InstallServices();
  InitWinsockOnce();
  QCoreApplication::setOrganizationName(QString::fromUtf8(kRegistryKey));
  QGuiApplication::setWindowIcon(QIcon(QStringLiteral(":/app/icons/app.png")));

  DpiScale = ComputeDpiScale(GetScreenLogPixelsX());

  docManager_.AddDocTemplate(std::make_unique<PageDocTemplate>());
  PageDocTemplate* pageTemplate = docManager_.GetFirstTemplate();
  if (pageTemplate == nullptr) return false;

  auto frame = std::make_unique<CMainFrame>(this);
  if (!frame->LoadFrame()) return false;
  mainFrame_ = std::move(frame);
  mainFrame_->show();

  pageTemplate->SetMdiArea(mainFrame_->GetMdiClient());
  docListener_.SetDocManager(&docManager_);
  docListener_.SetMdiClient(mainFrame_->GetMdiClient());
  PageListener::Register(&docListener_);
  ProjectListener::Register(&docListener_);
  NodeDbListener::Register(&docListener_);
  return true;
}

int CQuillaneApp::Run() {
  exitCode_ = QApplication::exec();
  // The frame is gone before the runtime goes.
  mainFrame_.reset();
  return ExitInstance();
}

int CQuillaneApp::ExitInstance() {
  ResetProjectRuntime();
  WithdrawServices();
  return exitCode_;
}

// ---- profile ----

int CQuillaneApp::GetProfileInt(const QString& key, int defaultValue) const {
  QSettings settings;
  bool ok = false;
  const int value = settings.value(key, defaultValue).toInt(&ok);
  return ok ? value : defaultValue;
}

void CQuillaneApp::WriteProfileInt(const QString& key, int value) const {
  QSettings settings;
  settings.setValue(key, value);
}

// ---- commands ----

bool CQuillaneApp::HandlesCommand(int id) const { return GetCommandState(id).has_value(); }

std::optional<CmdUiState> CQuillaneApp::GetCommandState(int id) const {
  switch (id) {
    case ID_FILE_NEW:
    case ID_FILE_SAVE_AS:
    case ID_CLOSE_PROJECT: return CmdUiState{ProjectOpen(), false};
    case ID_FILE_SAVE: return CmdUiState{ProjectChanged(), false};
    case ID_NEW_PROJECT:
    case ID_FILE_OPEN:
    case ID_FILE_PRINT_SETUP:
    case ID_APP_ABOUT:
    case ID_APP_EXIT: return CmdUiState{true, false};
    default: return std::nullopt;
  }
}

void CQuillaneApp::OnCommand(int id) {
  ParentWindow* parent = MainWindowHandle();
  switch (id) {
    case ID_FILE_NEW: DoNewPage(parent); break;
    case ID_NEW_PROJECT: DoNewProject(parent); break;
    case ID_FILE_OPEN: DoOpenProject(parent); break;
    case ID_FILE_SAVE: DoSaveProject(parent); break;
    case ID_FILE_SAVE_AS: DoSaveProjectAs(parent); break;
    case ID_CLOSE_PROJECT: DoCloseProject(parent); break;
    case ID_FILE_PRINT_SETUP: OnFilePrintSetup(); break;
    case ID_APP_ABOUT: OnAppAbout(); break;
    case ID_APP_EXIT:
      if (mainFrame_) mainFrame_->close();
      break;
    default: break;
  }
}

void CQuillaneApp::OnAppAbout() {
  CAboutDlg dialog(mainFrame_.get());
  dialog.exec();
}

void CQuillaneApp::OnFilePrintSetup() {
  QPrinter printer;
  QPageSetupDialog dialog(&printer, mainFrame_.get());
  dialog.exec();
}

}  // namespace NsOvrin
