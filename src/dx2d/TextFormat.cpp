#include "dx2d/TextFormat.h"

#include <utility>

namespace NsOvrin::NsDx2d {

TextFormat::TextFormat(std::string family, FontWeight weight, FontStyle style,
                       FontStretch stretch, float fontSize, std::string locale)
    : family_(std::move(family)),
      weight_(weight),
      style_(style),
      stretch_(stretch),
      fontSize_(fontSize),
      locale_(std::move(locale)) {}

}  // namespace NsOvrin::NsDx2d
