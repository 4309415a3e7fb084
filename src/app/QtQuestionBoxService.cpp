#include "app/QtQuestionBoxService.h"

#include "app/QtMessageBoxService.h"
#include "wui/UiServices.h"

namespace NsOvrin {

QuestionAnswer QtQuestionBoxService::Ask(ParentWindow* owner, const std::string& text,
                                         const std::string& caption) {
  switch (NsWui::GetUiServices().MessageBox(QtMessageBoxService::ToWidget(owner), text, caption,
                                            NsWui::MB_YESNOCANCEL | NsWui::MB_ICONQUESTION)) {
    case NsWui::IDYES: return QuestionAnswer::Yes;
    case NsWui::IDNO: return QuestionAnswer::No;
    default: return QuestionAnswer::Cancel;
  }
}

}  // namespace NsOvrin
