#include "ui_services/NewProjectDialog.h"

namespace NsOvrin {

namespace {

NewProjectDialog* installedDialog = nullptr;

}  // namespace

void NewProjectDialog::Install(NewProjectDialog* dialog) { installedDialog = dialog; }

NewProjectDialog* NewProjectDialog::Installed() { return installedDialog; }

}  // namespace NsOvrin
