#include "ui_services/AlarmCfgDialog.h"

namespace NsOvrin {

namespace {

AlarmCfgDialog* installedDialog = nullptr;

}  // namespace

void AlarmCfgDialog::Install(AlarmCfgDialog* dialog) { installedDialog = dialog; }

AlarmCfgDialog* AlarmCfgDialog::Installed() { return installedDialog; }

}  // namespace NsOvrin
