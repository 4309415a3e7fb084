#include "ui_services/ProjectFileDialogs.h"

namespace NsOvrin {

namespace {

ProjectFileDialogs* installedDialog = nullptr;

}  // namespace

void ProjectFileDialogs::Install(ProjectFileDialogs* dialogs) { installedDialog = dialogs; }

ProjectFileDialogs* ProjectFileDialogs::Installed() { return installedDialog; }

}  // namespace NsOvrin
