#pragma once
// Text formats for tests, and text measurement by a fixed rule so that
// layouts built on it can be asserted exactly: a character below U+0080
// advances half the font size, any other the whole font size; a line is
// 1.25 font sizes high; only '\n' breaks lines (no wrapping).
#include <memory>
#include <string>

#include "dx2d/DWriteFactory.h"

namespace NsOvrin::NsDx2d {

class RecordingDWriteFactory : public DWriteFactory {
 public:
  static constexpr float kNarrowAdvance = 0.5f;
  static constexpr float kWideAdvance = 1.0f;
  static constexpr float kLineHeight = 1.25f;

  int formatsCreated = 0;
  int layoutsCreated = 0;
  // Make the next creations fail.
  bool failFormats = false;
  bool failLayouts = false;

  std::unique_ptr<TextFormat> CreateTextFormat(const std::string& family, FontWeight weight,
                                               FontStyle style, FontStretch stretch, float fontSize,
                                               const std::string& locale) override;
  std::unique_ptr<TextLayout> CreateTextLayout(const std::string& text, const TextFormat& format,
                                               float maxWidth, float maxHeight) override;
};

}  // namespace NsOvrin::NsDx2d
