#pragma once
// The rule lists of the data-block dialogs.
#include <memory>

#include "common/UiValidation.h"

namespace NsOvrin {

// "长度": a number of units from 1 up.
std::unique_ptr<UiRule> MakeLengthRule();
// "采样频率": a polling interval in milliseconds, 0 to 65535.
std::unique_ptr<UiRule> MakeIntervalRule();

}  // namespace NsOvrin
