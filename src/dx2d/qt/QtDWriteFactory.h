#pragma once
// Text formats and text measurement with Qt. Needs a QGuiApplication.
#include <memory>
#include <string>

#include "dx2d/DWriteFactory.h"

namespace NsOvrin::NsDx2d {

class QtDWriteFactory : public DWriteFactory {
 public:
  std::unique_ptr<TextFormat> CreateTextFormat(const std::string& family, FontWeight weight,
                                               FontStyle style, FontStretch stretch, float fontSize,
                                               const std::string& locale) override;
  // Measured at 96 DPI, where a DIP is a pixel; lines wrap at word
  // boundaries as the format says and '\n' starts a new line.
  std::unique_ptr<TextLayout> CreateTextLayout(const std::string& text, const TextFormat& format,
                                               float maxWidth, float maxHeight) override;
};

}  // namespace NsOvrin::NsDx2d
