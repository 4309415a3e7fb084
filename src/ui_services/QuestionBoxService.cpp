#include "ui_services/QuestionBoxService.h"

#include "common/Log.h"

namespace NsOvrin {

namespace {

QuestionBoxService* installedService = nullptr;

}  // namespace

void QuestionBoxService::Install(QuestionBoxService* service) { installedService = service; }

QuestionBoxService* QuestionBoxService::Installed() { return installedService; }

QuestionAnswer AskQuestion(ParentWindow* owner, const std::string& text,
                           const std::string& caption) {
  if (installedService == nullptr) {
    OV_LOG(4).AppendText(caption).AppendText(": ").AppendText(text).AppendText(" (cancelled)");
    return QuestionAnswer::Cancel;
  }
  return installedService->Ask(owner, text, caption);
}

}  // namespace NsOvrin
