#pragma once
// The project store's Yes/No/Cancel questions as message boxes of the
// user-interface services.
#include <string>

#include "ui_services/QuestionBoxService.h"

namespace NsOvrin {

class QtQuestionBoxService : public QuestionBoxService {
 public:
  QuestionAnswer Ask(ParentWindow* owner, const std::string& text,
                     const std::string& caption) override;
};

}  // namespace NsOvrin
