#include "ui_services/VarEventDialog.h"

namespace NsOvrin {

namespace {

VarEventDialog* installedDialog = nullptr;

}  // namespace

void VarEventDialog::Install(VarEventDialog* dialog) { installedDialog = dialog; }

VarEventDialog* VarEventDialog::Installed() { return installedDialog; }

}  // namespace NsOvrin
