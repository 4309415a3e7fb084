#pragma once
// Makes text formats and measures texts. One per page view; the formats it
// makes do not depend on any render target.
#include <memory>
#include <string>

#include "dx2d/TextFormat.h"
#include "dx2d/TextLayout.h"

namespace NsOvrin::NsDx2d {

class DWriteFactory {
 public:
  virtual ~DWriteFactory() = default;

  // fontSize in DIPs. Null on failure.
  virtual std::unique_ptr<TextFormat> CreateTextFormat(const std::string& family, FontWeight weight,
                                                       FontStyle style, FontStretch stretch,
                                                       float fontSize,
                                                       const std::string& locale) = 0;
  // The whole text laid out with the format's settings in a box of at most
  // maxWidth x maxHeight DIPs. Null on failure.
  virtual std::unique_ptr<TextLayout> CreateTextLayout(const std::string& text,
                                                       const TextFormat& format, float maxWidth,
                                                       float maxHeight) = 0;
};

}  // namespace NsOvrin::NsDx2d
