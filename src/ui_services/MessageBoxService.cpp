#include "ui_services/MessageBoxService.h"

#include "common/Log.h"

namespace NsOvrin {

namespace {

MessageBoxService* installedService = nullptr;

}  // namespace

void MessageBoxService::Install(MessageBoxService* service) { installedService = service; }

MessageBoxService* MessageBoxService::Installed() { return installedService; }

void ShowMessageBox(ParentWindow* owner, const std::string& text, const std::string& caption,
                    MessageIcon icon) {
  if (installedService == nullptr) {
    OV_LOG(4).AppendText(caption).AppendText(": ").AppendText(text);
    return;
  }
  installedService->Show(owner, text, caption, icon);
}

}  // namespace NsOvrin
