// The editor's entry point. The program takes no arguments of its own and
// starts with no project open.
#include <QApplication>

#include "app/CQuillaneApp.h"
#include "wui/QtUiServices.h"

int main(int argc, char** argv) {
  QApplication qtApp(argc, argv);
  // Qt's own dialogs and buttons speak the program's language.
  NsOvrin::NsWui::InstallQtChineseTranslations(qtApp);

  NsOvrin::CQuillaneApp app;
  if (!app.InitInstance()) {
    // A start that failed ends as a failure.
    app.ExitInstance();
    return 1;
  }
  return app.Run();
}
